// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/sort.h"

#include "geo/calendar.h"
#include "logbook/record.h"
#include "logbook/regularfile.h"
#include "logbook/safefile.h"
#include "logbook/recordreader.h"
#include "text/text.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace ondelog {

namespace {

// The value of a piece of at most two characters, rounded to a whole number
// as an integer assignment does (half to even).
int pieceValue(std::string_view piece)
{
    // Two digits, by far the usual case, need no general reading.
    if (piece.size() == 2 && piece[0] >= '0' && piece[0] <= '9' && piece[1] >= '0' &&
        piece[1] <= '9')
        return (piece[0] - '0') * 10 + (piece[1] - '0');
    return static_cast<int>(std::nearbyint(numericValue(piece)));
}

// One contact in the sort: its key packed so that integer order is key order,
// and its record number, which breaks ties so that the order is stable.
struct Entry
{
    std::uint64_t key;
    std::int32_t recordNo;
};

/** The first bytes of a file, mapped read-only for the time of the copy. */
class MappedLog
{
  public:
    MappedLog() = default;
    ~MappedLog()
    {
        if (m_data != MAP_FAILED)
            ::munmap(m_data, m_size);
    }
    MappedLog(const MappedLog &) = delete;
    MappedLog &operator=(const MappedLog &) = delete;

    LogStatus map(const std::filesystem::path &path, std::int64_t size)
    {
        const OpenedFile file = openRegularFile(path, O_RDONLY);
        if (file.fd < 0)
            return file.status();
        const int fd = file.fd;
        m_size = static_cast<std::size_t>(size);
        m_data = ::mmap(nullptr, m_size, PROT_READ, MAP_SHARED, fd, 0);
        const int error = errno;
        ::close(fd);
        return m_data == MAP_FAILED ? statusFromErrno(error) : LogStatus::Ok;
    }
    const char *data() const { return static_cast<const char *>(m_data); }

  private:
    void *m_data = MAP_FAILED;
    std::size_t m_size = 0;
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
    // Trimmed, then read as a fixed-width field: built on the stack, as this
    // runs on every record.
    auto fixed = [recordBytes](Field f, char *out, std::size_t width) {
        const FieldLayout &layout = fieldLayout(f);
        std::string_view text(recordBytes + layout.offset, layout.width);
        const std::size_t first = text.find_first_not_of(' ');
        text = first == std::string_view::npos
                   ? std::string_view()
                   : text.substr(first, text.find_last_not_of(' ') - first + 1);
        std::fill(out, out + width, ' ');
        std::copy_n(text.data(), std::min(width, text.size()), out);
    };
    char d[8];
    char t[5];
    fixed(Field::DQSO, d, sizeof d);
    fixed(Field::HDEB, t, sizeof t);

    SortKey key;
    key.day = pieceValue({d, 2});
    key.month = pieceValue({d + 3, 2});
    // A year is a byte: what cannot be one (a stray "-5") reads as 0 instead of
    // stopping the sort.
    const int yy = pieceValue({d + 6, 2});
    key.year = yearFromTwoDigits(static_cast<std::uint8_t>(yy >= 0 && yy <= 255 ? yy : 0));
    key.hour = pieceValue({t, 2});
    key.minute = pieceValue({t + 3, 2});
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

    // The records are fetched from the old file mapped into memory: a shuffled
    // log is then copied at the speed of memory rather than one read per
    // record. The mapping is the file's own pages, which the system reads in
    // and lets go as it needs; only the keys are held by the sort.
    MappedLog source;
    if (const LogStatus s = source.map(path, exactSize - std::int64_t{kRecordSize});
        s != LogStatus::Ok)
        return {s, false};
    constexpr std::size_t kBufferRecords = kChunkRecords;
    const auto buffer = std::make_unique_for_overwrite<char[]>(kBufferRecords * kRecordSize);
    std::size_t filled = 0;
    std::int32_t written = 0;
    tell(SortStage::Writing, 0);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::memcpy(buffer.get() + filled * kRecordSize,
                    source.data() + std::size_t(entries[i].recordNo - 1) * kRecordSize,
                    kRecordSize);
        if (++filled == kBufferRecords || i + 1 == entries.size()) {
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
    // The log follows the new file itself, opened before the rename: opening it
    // again by its path afterwards could fail and leave no log open at all.
    const LogStatus committed = log.commitRewrite(writer);
    return {committed, committed == LogStatus::Ok};
}

} // namespace ondelog
