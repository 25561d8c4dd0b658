// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/merge.h"

#include "geo/calendar.h"
#include "logbook/recordreader.h"
#include "logbook/safefile.h"
#include "maintenance/logcopy.h"
#include "text/text.h"

#include <algorithm>

namespace ondelog {

namespace {

// Records 1..count of the log, copied as they stand.
LogStatus copyContacts(RecordReader &log, std::int32_t count, SafeFileWriter &writer)
{
    const std::int64_t total = static_cast<std::int64_t>(count) * kRecordSize;
    for (std::int64_t offset = 0; offset < total;) {
        const auto size = static_cast<std::size_t>(
            std::min<std::int64_t>(static_cast<std::int64_t>(kChunkBytes), total - offset));
        std::span<char> bytes;
        if (const LogStatus s = log.read(offset, size, bytes); s != LogStatus::Ok)
            return s;
        if (bytes.size() < size)
            return LogStatus::IoError; // the log shrank under us
        if (const LogStatus s = writer.write(bytes.data(), size); s != LogStatus::Ok)
            return s;
        offset += static_cast<std::int64_t>(size);
    }
    return LogStatus::Ok;
}

enum class RecordKind
{
    Contact,
    EndMarker,
    ControlBytes,
    NoCallSign,
    ImpossibleDate,
};

RecordKind kindOf(const QsoRecord &record)
{
    if (record.isEndMarker())
        return RecordKind::EndMarker;
    // A control byte where a contact is named means bytes that were never
    // typed into a log (a picture, a text file with its line breaks); elsewhere
    // it is a blemish of a real contact, blanked rather than the contact lost.
    for (const Field f : {Field::CSGN, Field::DQSO, Field::HDEB}) {
        const std::string raw = record.rawField(static_cast<int>(f));
        if (std::any_of(raw.begin(), raw.end(), isControlByte))
            return RecordKind::ControlBytes;
    }
    const std::string call = record.field(Field::CSGN);
    if (call.empty() || !isCallSignStorable(call))
        return RecordKind::NoCallSign;
    // An empty date is tolerated as the sort tolerates it; a date that reads as
    // none cannot come from a log.
    const std::string date = record.field(Field::DQSO);
    if (!date.empty() && !checkDate(date))
        return RecordKind::ImpossibleDate;
    return RecordKind::Contact;
}

void countSkipped(MergeResult &result, RecordKind kind)
{
    ++result.skipped;
    switch (kind) {
    case RecordKind::ControlBytes:
        ++result.controlBytes;
        break;
    case RecordKind::NoCallSign:
        ++result.noCallSign;
        break;
    case RecordKind::ImpossibleDate:
        ++result.impossibleDate;
        break;
    case RecordKind::Contact:
    case RecordKind::EndMarker:
        break;
    }
}

} // namespace

MergeResult mergeLog(LogFile &log, const std::filesystem::path &other,
                     std::string_view stationLocator)
{
    MergeResult result;
    const std::filesystem::path logPath = log.path();
    auto fail = [&](MergeFailure failure, LogStatus status) {
        result = MergeResult();
        result.failure = failure;
        result.status = status;
        // Counted again, never reopened: a log opened for reading stays so.
        if (log.isOpen())
            log.countRecords();
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
    RecordReader source;
    if (const LogStatus s = source.open(other); s != LogStatus::Ok)
        return fail(MergeFailure::OtherUnreadable, s);
    RecordReader own;
    if (const LogStatus s = own.open(logPath); s != LogStatus::Ok)
        return fail(MergeFailure::LogUnreadable, s);

    SafeFileWriter writer(followLink(logPath));
    if (const LogStatus s = writer.open(); s != LogStatus::Ok)
        return fail(MergeFailure::Write, s);
    if (const LogStatus s = copyContacts(own, count, writer); s != LogStatus::Ok)
        return fail(s == LogStatus::IoError ? MergeFailure::LogUnreadable : MergeFailure::Write, s);

    bool ended = false;
    for (std::int64_t offset = 0; !ended;) {
        std::span<char> bytes;
        if (const LogStatus s = source.read(offset, bytes); s != LogStatus::Ok)
            return fail(MergeFailure::OtherUnreadable, s);
        const std::size_t got = bytes.size();
        const std::size_t whole = got / kRecordSize;
        // Runs of contacts go out in one write; a record that is no contact
        // breaks the run.
        std::size_t runStart = 0;
        std::size_t i = 0;
        for (; i < whole; ++i) {
            char *stored = bytes.data() + i * kRecordSize;
            QsoRecord record;
            std::copy_n(stored, kRecordSize, record.bytes().data());
            const RecordKind kind = kindOf(record);
            if (kind == RecordKind::Contact) {
                ++result.added;
                if (record.blankControlCharacters() > 0) {
                    ++result.cleaned;
                    std::copy_n(record.bytes().data(), kRecordSize, stored);
                }
                continue;
            }
            if (const LogStatus s = writer.write(bytes.data() + runStart * kRecordSize,
                                                 (i - runStart) * kRecordSize);
                s != LogStatus::Ok)
                return fail(MergeFailure::Write, s);
            runStart = i + 1;
            if (kind == RecordKind::EndMarker) {
                ended = true;
                break;
            }
            countSkipped(result, kind);
        }
        if (!ended) {
            if (const LogStatus s = writer.write(bytes.data() + runStart * kRecordSize,
                                                 (whole - runStart) * kRecordSize);
                s != LogStatus::Ok)
                return fail(MergeFailure::Write, s);
        }
        if (ended || got < kChunkBytes) {
            // A piece shorter than a record at the very end is no contact.
            if (!ended && got % kRecordSize != 0) {
                ++result.skipped;
                ++result.partialRecord;
            }
            break;
        }
        offset += static_cast<std::int64_t>(got);
    }
    // An empty log (its end marker alone) is a log with nothing to give; a file
    // with no contact and no end marker, or nothing but records that are no
    // contacts, is no log at all. The counts of what was read stay, to be told.
    if (result.added == 0 && (result.skipped > 0 || !ended)) {
        result.failure = MergeFailure::NotALog;
        return result;
    }

    const QsoRecord marker = QsoRecord::endMarker(stationLocator);
    if (const LogStatus s = writer.write(marker.bytes().data(), kRecordSize); s != LogStatus::Ok)
        return fail(MergeFailure::Write, s);
    if (const LogStatus s = log.commitRewrite(writer); s != LogStatus::Ok) {
        // The temporary file is gone when the rename did not happen: the log is
        // as it was. Otherwise only the folder's sync failed, and the merged log
        // is in place and served.
        if (writer.temporaryPath().empty())
            return fail(MergeFailure::Write, s);
        log.countRecords();
    }
    if (log.lastStatus() != LogStatus::Ok) {
        result.failure = MergeFailure::Reopen;
        result.status = log.lastStatus();
    }
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
    case MergeFailure::NotALog:
        return "Le fichier " + other +
               " ne contient aucun contact : ce n'est pas un log. Rien n'a été ajouté, le log "
               "est resté tel qu'il était." +
               (result.skipped > 0 ? "\n" +
                                         counted(result.skipped, "enregistrement a été lu, ",
                                                 "enregistrements ont été lus, ") +
                                         "aucun n'est un contact."
                                   : std::string());
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

std::string mergeSummaryUtf8(const MergeResult &result, const std::string &other)
{
    std::string text = result.added == 0 ? std::string("Aucun contact n'a été ajouté au log.")
                       : result.added == 1
                           ? std::string("1 contact a été ajouté au log.")
                           : std::to_string(result.added) + " contacts ont été ajoutés au log.";
    if (result.skipped > 0) {
        text += "\n" + (result.skipped == 1
                            ? "1 enregistrement du fichier " + other +
                                  " n'était pas un contact et n'a pas été repris :"
                            : std::to_string(result.skipped) + " enregistrements du fichier " +
                                  other + " n'étaient pas des contacts et n'ont pas été repris :");
        auto line = [&text](std::int32_t n, const char *reason) {
            if (n > 0)
                text += "\n  – " + std::string(reason) + " : " + std::to_string(n);
        };
        line(result.controlBytes, "caractères de contrôle dans l'indicatif, la date ou l'heure");
        line(result.noCallSign, "sans indicatif");
        line(result.impossibleDate, "date impossible");
        line(result.partialRecord, "morceau de fiche à la fin du fichier");
    }
    if (result.cleaned > 0)
        text += "\n" +
                counted(result.cleaned, "contact contenait des caractères de contrôle, remplacés",
                        "contacts contenaient des caractères de contrôle, remplacés") +
                " par des blancs.";
    text += "\nLe classement et la recherche des doublons sont possibles maintenant.";
    return text;
}

} // namespace ondelog
