#include "maintenance/merge.h"

#include "logbook/safefile.h"
#include "maintenance/fileio.h"
#include "maintenance/logcopy.h"

#include <algorithm>
#include <memory>

namespace ondelog {

namespace {

constexpr std::size_t kChunkBytes = kCopyChunkRecords * kRecordSize;

// Records 1..count of the log, copied as they stand.
LogStatus copyContacts(const ReadOnlyFile &log, std::int32_t count, SafeFileWriter &writer,
                       char *buffer)
{
    const std::int64_t total = static_cast<std::int64_t>(count) * kRecordSize;
    for (std::int64_t offset = 0; offset < total;) {
        const auto size = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(kChunkBytes), total - offset));
        std::size_t got = 0;
        if (const LogStatus s = readAt(log.fd(), offset, buffer, size, got); s != LogStatus::Ok)
            return s;
        if (got < size)
            return LogStatus::IoError; // the log shrank under us
        if (const LogStatus s = writer.write(buffer, size); s != LogStatus::Ok)
            return s;
        offset += static_cast<std::int64_t>(size);
    }
    return LogStatus::Ok;
}

} // namespace

MergeResult mergeLog(LogFile &log, const std::filesystem::path &other,
                     std::string_view stationLocator)
{
    MergeResult result;
    const std::filesystem::path logPath = log.path();
    auto fail = [&](MergeFailure failure, LogStatus status) {
        result.failure = failure;
        result.status = status;
        result.added = 0;
        result.skipped = 0;
        if (!logPath.empty())
            log.open(logPath);
        return result;
    };

    if (!log.isOpen())
        return fail(MergeFailure::LogNotWritable, LogStatus::NotOpen);
    if (log.isReadOnly())
        return fail(MergeFailure::LogNotWritable, LogStatus::ReadOnly);
    // The log would read its own new records back without end.
    if (isSameFile(logPath, other))
        return fail(MergeFailure::SameFile, LogStatus::IoError);

    const std::int32_t count = log.countRecords();
    if (log.lastStatus() != LogStatus::Ok)
        return fail(MergeFailure::LogUnreadable, log.lastStatus());
    const ReadOnlyFile source(other);
    if (source.status() != LogStatus::Ok)
        return fail(MergeFailure::OtherUnreadable, source.status());
    const ReadOnlyFile own(logPath);
    if (own.status() != LogStatus::Ok)
        return fail(MergeFailure::LogUnreadable, own.status());

    SafeFileWriter writer(followLink(logPath));
    if (const LogStatus s = writer.open(); s != LogStatus::Ok)
        return fail(MergeFailure::Write, s);
    const auto buffer = std::make_unique_for_overwrite<char[]>(kChunkBytes);
    if (const LogStatus s = copyContacts(own, count, writer, buffer.get()); s != LogStatus::Ok)
        return fail(s == LogStatus::IoError ? MergeFailure::LogUnreadable : MergeFailure::Write, s);

    std::int32_t added = 0;
    std::int32_t skipped = 0;
    bool ended = false;
    for (std::int64_t offset = 0; !ended;) {
        std::size_t got = 0;
        if (const LogStatus s = readAt(source.fd(), offset, buffer.get(), kChunkBytes, got);
            s != LogStatus::Ok)
            return fail(MergeFailure::OtherUnreadable, s);
        const std::size_t whole = got / kRecordSize;
        // Runs of contacts go out in one write; a record that is no contact
        // breaks the run.
        std::size_t runStart = 0;
        std::size_t i = 0;
        for (; i < whole; ++i) {
            QsoRecord record;
            std::copy_n(buffer.get() + i * kRecordSize, kRecordSize, record.bytes().data());
            const bool endMarker = record.isEndMarker();
            const bool contact =
                !endMarker && isCallSignStorable(record.rawField(static_cast<int>(Field::CSGN)));
            if (contact) {
                ++added;
                continue;
            }
            if (const LogStatus s = writer.write(buffer.get() + runStart * kRecordSize,
                                                 (i - runStart) * kRecordSize);
                s != LogStatus::Ok)
                return fail(MergeFailure::Write, s);
            runStart = i + 1;
            if (endMarker) {
                ended = true;
                break;
            }
            ++skipped;
        }
        if (!ended) {
            if (const LogStatus s = writer.write(buffer.get() + runStart * kRecordSize,
                                                 (whole - runStart) * kRecordSize);
                s != LogStatus::Ok)
                return fail(MergeFailure::Write, s);
        }
        if (ended || got < kChunkBytes) {
            // A piece shorter than a record at the very end is no contact.
            if (!ended && got % kRecordSize != 0)
                ++skipped;
            break;
        }
        offset += static_cast<std::int64_t>(got);
    }

    const QsoRecord marker = QsoRecord::endMarker(stationLocator);
    if (const LogStatus s = writer.write(marker.bytes().data(), kRecordSize); s != LogStatus::Ok)
        return fail(MergeFailure::Write, s);
    // commit() keeps its temporary path only when it failed after the rename
    // (the folder could not be synced): the merged log is then in place.
    if (const LogStatus s = writer.commit(); s != LogStatus::Ok && writer.temporaryPath().empty())
        return fail(MergeFailure::Write, s);
    if (const LogStatus s = log.open(logPath); s != LogStatus::Ok) {
        result.failure = MergeFailure::Reopen;
        result.status = s;
    }
    result.added = added;
    result.skipped = skipped;
    return result;
}

std::string mergeFailureMessageUtf8(const MergeResult &result, const std::string &other)
{
    switch (result.failure) {
    case MergeFailure::None:
        return {};
    case MergeFailure::LogNotWritable:
        return "Le log ouvert ne peut pas recevoir de contacts : le jumelage n'a pas été fait.";
    case MergeFailure::LogUnreadable:
        return "Le log ouvert ne peut pas être lu : le jumelage n'a pas été fait.\n" +
               statusMessageUtf8(result.status);
    case MergeFailure::SameFile:
        return "Le fichier " + other +
               " est le log ouvert lui-même : un log ne peut pas être jumelé avec lui-même.";
    case MergeFailure::OtherUnreadable:
        return "Le fichier " + other + " ne peut pas être lu : le jumelage n'a pas été fait.\n" +
               statusMessageUtf8(result.status);
    case MergeFailure::Write:
        return std::string("Le log n'a pas pu être réécrit : le jumelage n'a pas été fait et le "
                           "log est resté tel qu'il était.\n") +
               (result.status == LogStatus::DiskFull ? "Le disque est plein."
                : result.status == LogStatus::AccessDenied || result.status == LogStatus::ReadOnly
                    ? "L'écriture dans le dossier du log est refusée."
                    : "Erreur d'écriture du fichier.");
    case MergeFailure::Reopen:
        return "Le jumelage a été fait, mais le log ne peut pas être rouvert.\n" +
               statusMessageUtf8(result.status);
    }
    return "Erreur inconnue.";
}

} // namespace ondelog
