#include "maintenance/sort.h"

#include "geo/calendar.h"
#include "logbook/record.h"
#include "logbook/safefile.h"
#include "logbook/text.h"
#include "maintenance/recordreader.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

namespace ondelog {

namespace {

// The value of a piece of at most two characters, rounded to a whole number
// as an integer assignment does (half to even).
int pieceValue(std::string_view piece)
{
    return static_cast<int>(std::nearbyint(numericValue(piece)));
}

// One contact in the sort: its key packed so that integer order is key order,
// and its record number, which breaks ties so that the order is stable.
struct Entry
{
    std::uint64_t key;
    std::int32_t recordNo;
};

std::uint64_t packKey(const SortKey &k)
{
    // Two-character pieces read -9..99 and years 1900..2155: eight bits each
    // once offset, kept in range all the same.
    auto byte = [](int v) { return static_cast<std::uint64_t>(std::clamp(v, 0, 255)); };
    return byte(k.year - 1900) << 32 | byte(k.month + 16) << 24 | byte(k.day + 16) << 16 |
           byte(k.hour + 16) << 8 | byte(k.minute + 16);
}

} // namespace

SortKey sortKeyOf(const char *recordBytes)
{
    const FieldLayout &dateField = fieldLayout(Field::DQSO);
    const FieldLayout &timeField = fieldLayout(Field::HDEB);
    const std::string d =
        fixedWidth(trim(std::string_view(recordBytes + dateField.offset, dateField.width)), 8);
    const std::string t =
        fixedWidth(trim(std::string_view(recordBytes + timeField.offset, timeField.width)), 5);
    const std::string_view date(d);
    const std::string_view time(t);

    SortKey key;
    key.day = pieceValue(date.substr(0, 2));
    key.month = pieceValue(date.substr(3, 2));
    // A year is a byte: what cannot be one (a stray "-5") reads as 0 instead of
    // stopping the sort.
    const int yy = pieceValue(date.substr(6, 2));
    key.year = yearFromTwoDigits(static_cast<std::uint8_t>(yy >= 0 && yy <= 255 ? yy : 0));
    key.hour = pieceValue(time.substr(0, 2));
    key.minute = pieceValue(time.substr(3, 2));
    return key;
}

std::string sortStageNameUtf8(SortStage stage)
{
    switch (stage) {
    case SortStage::Reading:
        return "Lecture des dates";
    case SortStage::Ordering:
        return "Classement";
    case SortStage::Writing:
        return "Écriture";
    }
    return {};
}

SortOutcome sortLog(LogFile &log, std::string_view stationLocator, const SortProgress &progress)
{
    auto tell = [&](SortStage stage, std::int32_t position) {
        if (progress)
            progress(stage, position);
    };
    if (!log.isOpen())
        return {LogStatus::NotOpen, false};
    if (log.isReadOnly())
        return {LogStatus::ReadOnly, false};
    const std::int32_t n = log.recordCount();
    if (n < 2)
        return {LogStatus::Ok, false};
    const std::filesystem::path path = log.path();

    RecordReader reader;
    if (const LogStatus s = reader.open(path); s != LogStatus::Ok)
        return {s, false};

    std::vector<Entry> entries;
    entries.reserve(static_cast<std::size_t>(n));
    bool inOrder = true;
    tell(SortStage::Reading, 0);
    LogStatus status = reader.forEach(
        1, n,
        [&](std::int32_t r, const char *bytes) {
            const std::uint64_t key = packKey(sortKeyOf(bytes));
            if (!entries.empty() && key < entries.back().key)
                inOrder = false;
            entries.push_back({key, r});
        },
        [&](std::int32_t r) { tell(SortStage::Reading, r); });
    if (status != LogStatus::Ok)
        return {status, false};

    // The end marker goes after the contacts as it was; a log without one
    // (counted to its last whole record) gets one.
    const std::int64_t size = reader.fileSize();
    const std::int64_t exactSize = (std::int64_t{n} + 1) * std::int64_t{kRecordSize};
    QsoRecord endMarker = QsoRecord::endMarker(stationLocator);
    bool hasEndMarker = false;
    if (size >= exactSize) {
        status = reader.forEach(n + 1, n + 1, [&](std::int32_t, const char *bytes) {
            QsoRecord record;
            std::memcpy(record.bytes().data(), bytes, kRecordSize);
            if (record.isEndMarker()) {
                endMarker = record;
                hasEndMarker = true;
            }
        });
        if (status != LogStatus::Ok)
            return {status, false};
    }
    if (inOrder && hasEndMarker && size == exactSize)
        return {LogStatus::Ok, false};

    tell(SortStage::Ordering, 0);
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        return a.key != b.key ? a.key < b.key : a.recordNo < b.recordNo;
    });
    tell(SortStage::Ordering, n);

    SafeFileWriter writer(path);
    if (const LogStatus s = writer.open(); s != LogStatus::Ok)
        return {s, false};

    // The records are fetched in runs: contacts already in order are read many
    // at a time, a shuffled log costs one read per record. Either way each
    // record is read once and the new file written in large pieces.
    constexpr std::size_t kBufferRecords = RecordReader::kChunkRecords;
    const auto buffer = std::make_unique_for_overwrite<char[]>(kBufferRecords * kRecordSize);
    std::size_t filled = 0;
    std::int32_t written = 0;
    RecordReader source;
    if (const LogStatus s = source.open(path); s != LogStatus::Ok)
        return {s, false};
    tell(SortStage::Writing, 0);
    for (std::size_t i = 0; i < entries.size();) {
        std::size_t run = 1;
        while (i + run < entries.size() && filled + run < kBufferRecords &&
               entries[i + run].recordNo == entries[i].recordNo + static_cast<std::int32_t>(run))
            ++run;
        char *out = buffer.get() + filled * kRecordSize;
        status = source.forEach(
            entries[i].recordNo, entries[i].recordNo + static_cast<std::int32_t>(run) - 1,
            [&](std::int32_t r, const char *bytes) {
                std::memcpy(out + static_cast<std::size_t>(r - entries[i].recordNo) * kRecordSize,
                            bytes, kRecordSize);
            });
        if (status != LogStatus::Ok)
            return {status, false};
        filled += run;
        i += run;
        if (filled == kBufferRecords || i == entries.size()) {
            if (const LogStatus s = writer.write(buffer.get(), filled * kRecordSize);
                s != LogStatus::Ok)
                return {s, false};
            written += static_cast<std::int32_t>(filled);
            filled = 0;
            tell(SortStage::Writing, written);
        }
    }
    if (const LogStatus s = writer.write(endMarker.bytes().data(), kRecordSize); s != LogStatus::Ok)
        return {s, false};
    if (const LogStatus s = writer.commit(); s != LogStatus::Ok) {
        // A commit that failed after its rename (the folder sync) leaves the new
        // file at the path: the log is opened again on whatever is there.
        log.open(path);
        return {s, false};
    }
    return {log.open(path), true};
}

} // namespace ondelog
