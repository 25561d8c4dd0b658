// SPDX-License-Identifier: GPL-3.0-or-later
#include "interchange/adiftransfer.h"

#include "interchange/adifwriter.h"
#include "interchange/samecontact.h"
#include "logbook/recordreader.h"
#include "logbook/regularfile.h"
#include "logbook/safefile.h"
#include "text/text.h"

#include <algorithm>
#include <array>
#include <memory>
#include <vector>

namespace ondelog {

namespace {

constexpr std::size_t kFlushSize = 1u << 20;
constexpr std::uint64_t kProgressEvery = 256;

/** Calls `each` with every contact of the log, in order, up to its end marker
 *  (or the last whole record of a log without one), until it returns false. */
template <typename Each> LogStatus forEachContact(const std::filesystem::path &logPath, Each each)
{
    RecordReader reader;
    if (const LogStatus s = reader.open(logPath); s != LogStatus::Ok)
        return s;
    QsoRecord record;
    return reader.scan([&](const char *bytes) {
        std::copy_n(bytes, kRecordSize, record.bytes().data());
        return !record.isEndMarker() && each(record);
    });
}

class Output
{
  public:
    explicit Output(const std::filesystem::path &target) : m_writer(target) {}
    LogStatus open() { return m_writer.open(); }
    std::string &buffer() { return m_buffer; }
    /** Writes the buffer out once it is big enough (always when `force`). */
    LogStatus flush(bool force = false)
    {
        if (m_buffer.empty() || (!force && m_buffer.size() < kFlushSize))
            return LogStatus::Ok;
        const LogStatus status = m_writer.write(m_buffer.data(), m_buffer.size());
        m_buffer.clear();
        return status;
    }
    /** Writes over bytes already given, at `offset` from the start. */
    LogStatus patch(std::uint64_t offset, std::string_view bytes)
    {
        const LogStatus status = flush(true);
        return status == LogStatus::Ok ? m_writer.writeAt(offset, bytes.data(), bytes.size())
                                       : status;
    }
    LogStatus commit()
    {
        const LogStatus status = flush(true);
        return status == LogStatus::Ok ? m_writer.commit() : status;
    }

  private:
    SafeFileWriter m_writer;
    std::string m_buffer;
};

} // namespace

AdifFormat adifFormatForPath(const std::filesystem::path &path)
{
    std::string ext = path.extension().string();
    for (char &c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".adx" ? AdifFormat::Adx : AdifFormat::Adi;
}

ExportResult exportAdif(const std::filesystem::path &logPath, const std::filesystem::path &target,
                        AdifFormat format, const ExportOptions &options)
{
    ExportResult result;
    std::error_code ec;
    // Renaming the export over the log itself would lose every contact.
    if (std::filesystem::equivalent(logPath, target, ec)) {
        result.status = LogStatus::AccessDenied;
        return result;
    }
    const auto size = std::filesystem::file_size(logPath, ec);
    const std::uint64_t total = ec ? 0 : size / kRecordSize;

    Output out(target);
    if ((result.status = out.open()) != LogStatus::Ok)
        return result;
    appendAdifHeader(out.buffer(), exportHeader(options.createdTimestamp), format);

    const ExportContext context{options.stationCall};
    LogStatus writeStatus = LogStatus::Ok;
    const LogStatus readStatus = forEachContact(logPath, [&](const QsoRecord &record) {
        const QsoRecord &source = format == AdifFormat::Adi ? foldRecord(record) : record;
        appendAdifRecord(out.buffer(), contactToAdif(source, context, format), format);
        ++result.exported;
        if ((writeStatus = out.flush()) != LogStatus::Ok)
            return false;
        if (options.progress && result.exported % kProgressEvery == 0 &&
            !options.progress(static_cast<std::uint64_t>(result.exported), total)) {
            result.cancelled = true;
            return false;
        }
        return true;
    });
    if (readStatus != LogStatus::Ok || writeStatus != LogStatus::Ok || result.cancelled) {
        result.status = readStatus != LogStatus::Ok ? readStatus : writeStatus;
        result.exported = 0;
        return result;
    }
    appendAdifFooter(out.buffer(), format);
    result.status = out.commit();
    if (result.status != LogStatus::Ok)
        result.exported = 0;
    return result;
}

ImportResult importAdif(const std::filesystem::path &logPath, const std::filesystem::path &source,
                        const ImportOptions &options)
{
    ImportResult result;
    std::error_code ec;
    const auto size = std::filesystem::file_size(source, ec);
    const std::uint64_t total = ec ? 0 : size;
    // Progress is told, and a cancellation heard, before each block of the
    // file is read, whatever the reader makes of it: a long damaged region
    // gives no record for a long time, never a long time without a block.
    RegularFileStream in(source, [&](std::uint64_t bytesRead) {
        return !options.progress || options.progress(bytesRead, total);
    });
    if (in.openStatus() != LogStatus::Ok) {
        result.status = in.openStatus();
        return result;
    }

    Output out(logPath);
    if ((result.status = out.open()) != LogStatus::Ok)
        return result;

    // The log's contacts first, as they are; the index finds the contacts the
    // file brings again, and their SQSL whether it may take a confirmation.
    // Sized for the log: a file of contacts the log holds adds nothing to it.
    ContactIndex index;
    using Received = std::array<char, 8>; // the SQSL field, 8 bytes at 151
    std::vector<Received> received;
    const std::size_t sqslOffset = fieldLayout(Field::SQSL).offset;
    auto remember = [&](const QsoRecord &record) {
        index.add(record);
        Received r;
        std::copy_n(record.bytes().data() + sqslOffset, r.size(), r.data());
        received.push_back(r);
    };
    const auto logSize = std::filesystem::file_size(logPath, ec);
    index.reserve(ec ? 0 : logSize / kRecordSize);
    received.reserve(ec ? 0 : logSize / kRecordSize);
    LogStatus writeStatus = LogStatus::Ok;
    result.status = forEachContact(logPath, [&](const QsoRecord &record) {
        remember(record);
        out.buffer().append(record.bytes().data(), kRecordSize);
        return (writeStatus = out.flush()) == LogStatus::Ok;
    });
    if (result.status == LogStatus::Ok)
        result.status = writeStatus;
    if (result.status != LogStatus::Ok)
        return result;

    const std::unique_ptr<AdifReader> reader = makeAdifReader(adifFormatForPath(source), in);

    // Confirmations are written over the copy once every record is in it.
    std::vector<std::pair<std::uint32_t, Received>> confirmations;
    AdifRecord adif;
    for (;;) {
        const AdifReadResult read = reader->next(adif);
        if (in.stopped()) {
            result.cancelled = true;
            return result;
        }
        if (read == AdifReadResult::End)
            break;
        if (read == AdifReadResult::Damaged) {
            ++result.damaged;
            continue;
        }
        ImportedContact contact = contactFromAdif(adif, options.stationLocator);
        // Form feeds, Ctrl-Z or "&#1;" in a value would make the log read as damaged.
        if (contact.record.blankControlCharacters() > 0 && contact.skip == ImportSkip::None &&
            contact.record.field(Field::CSGN).empty())
            contact.skip = ImportSkip::NoCallSign;
        if (contact.skip == ImportSkip::NoCallSign) {
            ++result.noCallSign;
        } else if (contact.skip == ImportSkip::DateNotWritable) {
            ++result.dateNotWritable;
        } else if (const auto position = index.find(contact.record)) {
            const QsoRecord &r = contact.record;
            const std::string inFile = r.field(Field::SQSL);
            Received &known = received[*position];
            const std::string inLog = trim(std::string_view(known.data(), known.size()));
            if (!inFile.empty() && inLog.empty()) {
                std::copy_n(r.bytes().data() + sqslOffset, known.size(), known.data());
                confirmations.emplace_back(*position, known);
                ++result.confirmed;
            } else if (adifDate(inFile) && !inLog.empty() && inLog != inFile) {
                if (result.differing.size() < ImportResult::kListedDifferences)
                    result.differing.push_back({r.field(Field::CSGN), r.field(Field::DQSO),
                                                r.field(Field::HDEB), inLog, inFile});
                ++result.differingConfirmations;
            } else {
                ++result.alreadyInLog;
            }
        } else {
            remember(contact.record);
            out.buffer().append(contact.record.bytes().data(), kRecordSize);
            ++result.imported;
            result.truncatedFields += contact.truncatedFields;
            if ((result.status = out.flush()) != LogStatus::Ok)
                return result;
        }
    }
    if (in.bad()) {
        result.status = in.readError() != LogStatus::Ok ? in.readError() : LogStatus::IoError;
        return result;
    }
    if (result.imported == 0 && result.confirmed == 0)
        return result; // nothing to change: the log is not touched

    const QsoRecord marker = QsoRecord::endMarker(options.stationLocator);
    out.buffer().append(marker.bytes().data(), kRecordSize);
    for (const auto &[position, text] : confirmations) {
        const std::uint64_t offset = std::uint64_t{position} * kRecordSize + sqslOffset;
        if ((result.status = out.patch(offset, {text.data(), text.size()})) != LogStatus::Ok)
            return result;
    }
    result.status = out.commit();
    return result;
}

ImportResult importAdif(LogFile &log, const std::filesystem::path &source,
                        const ImportOptions &options)
{
    ImportResult result;
    if (!log.isOpen() || log.isReadOnly()) {
        result.status = log.isOpen() ? LogStatus::ReadOnly : LogStatus::NotOpen;
        return result;
    }
    const std::filesystem::path path = log.path();
    result = importAdif(path, source, options);
    // The file at the path is a new one: the log must serve it, not the old.
    if (result.changedLog())
        log.open(path);
    return result;
}

std::string exportSummaryUtf8(const ExportResult &result, const std::string &fileNameUtf8)
{
    if (result.cancelled)
        return "Export annulé : aucun fichier n'a été écrit.";
    if (result.status != LogStatus::Ok)
        return "L'export dans « " + fileNameUtf8 + " » a échoué, aucun fichier n'a été écrit :\n" +
               statusMessageUtf8(result.status);
    return counted(result.exported, "contact exporté", "contacts exportés") + " dans « " +
           fileNameUtf8 + " ».";
}

std::string importSummaryUtf8(const ImportResult &result)
{
    if (result.cancelled)
        return "Import annulé : le log est resté tel qu'il était.";
    if (result.status != LogStatus::Ok)
        return "L'import a échoué, le log est resté tel qu'il était :\n" +
               statusMessageUtf8(result.status);
    std::string text = counted(result.imported, "contact ajouté", "contacts ajoutés") + " au log.";
    if (result.confirmed > 0)
        text += "\n" + counted(result.confirmed,
                               "contact confirmé : la date de réception de sa QSL est notée "
                               "dans le log.",
                               "contacts confirmés : la date de réception de leur QSL est notée "
                               "dans le log.");
    if (result.differingConfirmations > 0) {
        text += "\n" + counted(result.differingConfirmations,
                               "confirmation laissée de côté, le log en note déjà une autre :",
                               "confirmations laissées de côté, le log en note déjà d'autres :");
        for (const DifferingConfirmation &d : result.differing)
            text += "\n  – " + cp1252ToUtf8(d.callSign) + " du " + d.date + " à " + d.time + " : " +
                    cp1252ToUtf8(d.inLog) + " dans le log, " + cp1252ToUtf8(d.inFile) +
                    " dans le fichier";
        const auto unlisted =
            result.differingConfirmations - static_cast<std::int64_t>(result.differing.size());
        if (unlisted > 0)
            text += "\n  – et " + counted(unlisted, "autre", "autres");
    }
    const std::int64_t skipped =
        result.alreadyInLog + result.noCallSign + result.dateNotWritable + result.damaged;
    if (skipped > 0) {
        text += "\n" + counted(skipped, "contact écarté :", "contacts écartés :");
        auto line = [&text](std::int64_t n, const char *reason) {
            if (n > 0)
                text += "\n  – " + std::string(reason) + " : " + std::to_string(n);
        };
        line(result.alreadyInLog, "déjà dans le log");
        line(result.noCallSign, "sans indicatif");
        line(result.dateNotWritable, "date absente ou hors de 1960 à 2059, impossible à écrire");
        line(result.damaged, "fiche endommagée dans le fichier");
    }
    if (result.truncatedFields > 0)
        text += "\n" + counted(result.truncatedFields,
                               "texte adapté au log : coupé à la largeur de son champ, ou des "
                               "lettres remplacées par les plus proches (Ł → L).",
                               "textes adaptés au log : coupés à la largeur de leur champ, ou "
                               "des lettres remplacées par les plus proches (Ł → L).");
    return text;
}

} // namespace ondelog
