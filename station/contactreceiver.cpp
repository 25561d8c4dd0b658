// SPDX-License-Identifier: GPL-3.0-or-later
#include "station/contactreceiver.h"

#include "logbook/recordreader.h"
#include "text/text.h"

#include <algorithm>
#include <cstring>

namespace ondelog {

namespace {

// WSJT-X sends its two messages of a contact back to back; a few contacts
// are enough to pair them even when several clients log at once.
constexpr std::size_t kRecentContacts = 16;

// "F6ABC" of "F6ABC/P" and of "EA8/F6ABC": the longest part of the call sign.
std::string_view baseCall(std::string_view call)
{
    std::string_view longest;
    while (!call.empty()) {
        const std::size_t slash = call.find('/');
        const std::string_view part = call.substr(0, slash);
        if (part.size() > longest.size())
            longest = part;
        call = slash == std::string_view::npos ? std::string_view() : call.substr(slash + 1);
    }
    return longest;
}

std::string utf8(const std::string &cp1252)
{
    return cp1252ToUtf8(cp1252);
}

/** "F5ABC 14.074 FT8", what is known of it. */
std::string describe(const QsoRecord &record)
{
    std::string text;
    for (const Field f : {Field::CSGN, Field::FREQ, Field::MODE}) {
        const std::string value = record.field(f);
        if (value.empty())
            continue;
        if (!text.empty())
            text += ' ';
        text += utf8(value);
    }
    return text;
}

std::string notice(ReceiveOutcome outcome, const ReceivedContact &received,
                   const ReceivingLog &target, const ReceiveResult &result)
{
    const std::string program =
        received.programUtf8.empty() ? std::string("le réseau") : received.programUtf8;
    const QsoRecord &record = received.contact.record;
    const std::string contact = describe(record);
    switch (outcome) {
    case ReceiveOutcome::Added:
        return contact + " ajouté depuis " + program;
    case ReceiveOutcome::SecondMessage:
        return {};
    case ReceiveOutcome::AlreadyInLog:
        return contact + " reçu de " + program + " : déjà dans le log (fiche " +
               std::to_string(result.recordNo) + "), non ajouté";
    case ReceiveOutcome::NoCallSign:
        return "Contact reçu de " + program + " refusé : pas d'indicatif";
    case ReceiveOutcome::ImpossibleDate:
        return contact + " reçu de " + program + " refusé : date absente ou impossible";
    case ReceiveOutcome::OtherStation:
        return contact + " reçu de " + program + " refusé : contact de " +
               utf8(received.stationCall) + ", le log ouvert est celui de " +
               utf8(target.stationCall);
    case ReceiveOutcome::NotWritable: {
        const char *why = !target.log || !target.log->isOpen() ? "aucun log n'est ouvert"
                          : !target.isOwnLog ? "le log ouvert est celui d'une autre station"
                                             : "le log ouvert est en lecture seule";
        return contact + " reçu de " + program + " non ajouté : " + why;
    }
    case ReceiveOutcome::WriteFailed:
        return contact + " reçu de " + program +
               " non enregistré : " + statusMessageUtf8(result.status);
    }
    return {};
}

} // namespace

ReceiveResult ContactReceiver::receive(const ReceivedContact &contact, const ReceivingLog &target)
{
    return receive(std::span(&contact, 1), target).front();
}

std::vector<ReceiveResult> ContactReceiver::receive(std::span<const ReceivedContact> contacts,
                                                    const ReceivingLog &target)
{
    std::vector<ReceiveResult> results(contacts.size());
    std::vector<QsoRecord> toWrite;
    std::vector<std::size_t> writers; // the index in `contacts` of each of toWrite
    // A contact already among those of the burst to write: the index in toWrite.
    std::vector<std::optional<std::size_t>> sameAs(contacts.size());
    const std::int32_t count = target.log ? target.log->recordCount() : 0;

    for (std::size_t i = 0; i < contacts.size(); ++i) {
        const ReceivedContact &received = contacts[i];
        ReceiveResult &result = results[i];
        if (const auto refused = refusal(received, target)) {
            result.outcome = *refused;
        } else {
            const QsoRecord &record = received.contact.record;
            for (std::size_t j = 0; j < toWrite.size() && !sameAs[i]; ++j)
                if (isSameContact(toWrite[j], record))
                    sameAs[i] = j;
            if (sameAs[i]) {
                result.outcome = ReceiveOutcome::AlreadyInLog;
                result.recordNo = count + 1 + static_cast<std::int32_t>(*sameAs[i]);
            } else if ((result.recordNo = findInLog(*target.log, record)) > 0) {
                result.outcome = ReceiveOutcome::AlreadyInLog;
            } else {
                result.outcome = ReceiveOutcome::Added;
                writers.push_back(i);
                toWrite.push_back(record);
            }
        }
        if (result.outcome != ReceiveOutcome::SecondMessage)
            remember(received, result.outcome == ReceiveOutcome::Added || sameAs[i]);
    }

    if (!toWrite.empty()) {
        const LogStatus status = target.log->appendContacts(toWrite, target.stationLocator);
        if (status == LogStatus::Ok) {
            for (std::size_t j = 0; j < writers.size(); ++j)
                results[writers[j]].recordNo = count + 1 + static_cast<std::int32_t>(j);
            if (m_indexed) {
                for (const QsoRecord &record : toWrite)
                    m_index.add(record);
                m_indexed = stampOf(*target.log);
            }
            for (Handled &h : m_recent)
                h.unwritten = false;
        } else {
            for (std::size_t i = 0; i < contacts.size(); ++i) {
                if (results[i].outcome == ReceiveOutcome::Added || sameAs[i]) {
                    results[i] = {ReceiveOutcome::WriteFailed, {}, 0, status};
                }
            }
            // Their other messages, or the same contacts sent again, try again.
            std::erase_if(m_recent, [](const Handled &h) { return h.unwritten; });
        }
    }
    for (std::size_t i = 0; i < contacts.size(); ++i)
        results[i].noticeUtf8 = notice(results[i].outcome, contacts[i], target, results[i]);
    return results;
}

std::optional<ReceiveOutcome> ContactReceiver::refusal(const ReceivedContact &received,
                                                       const ReceivingLog &target)
{
    if (isSecondMessage(received))
        return ReceiveOutcome::SecondMessage;
    if (received.contact.skip == ImportSkip::NoCallSign)
        return ReceiveOutcome::NoCallSign;
    if (received.contact.skip == ImportSkip::DateNotWritable)
        return ReceiveOutcome::ImpossibleDate;
    if (!received.stationCall.empty() &&
        baseCall(received.stationCall) != baseCall(toUpperCp1252(trim(target.stationCall))))
        return ReceiveOutcome::OtherStation;
    const LogFile *log = target.log;
    if (!log || !log->isOpen() || log->isReadOnly() || !target.isOwnLog)
        return ReceiveOutcome::NotWritable;
    return std::nullopt;
}

std::optional<ContactReceiver::LogStamp> ContactReceiver::stampOf(LogFile &log)
{
    std::error_code ec;
    LogStamp stamp{log.path(), log.recordCount(), std::filesystem::file_size(log.path(), ec), {}};
    if (ec)
        return std::nullopt;
    stamp.changed = std::filesystem::last_write_time(log.path(), ec);
    if (ec)
        return std::nullopt;
    return stamp;
}

bool ContactReceiver::indexLog(LogFile &log)
{
    const std::optional<LogStamp> stamp = stampOf(log);
    if (stamp && m_indexed == stamp)
        return true;
    m_indexed.reset();
    m_index = ContactIndex();
    RecordReader reader;
    if (reader.open(log.path()) != LogStatus::Ok)
        return false;
    m_index.reserve(static_cast<std::size_t>(log.recordCount()) + 64);
    QsoRecord record;
    const LogStatus status =
        reader.forEach(1, log.recordCount(), [&](std::int32_t, const char *bytes) {
            std::memcpy(record.bytes().data(), bytes, kRecordSize);
            m_index.add(record);
        });
    if (status != LogStatus::Ok)
        return false;
    m_indexed = stamp;
    return true;
}

std::int32_t ContactReceiver::findInLog(LogFile &log, const QsoRecord &record)
{
    // Without the index nothing is found: a contact written twice can be
    // deleted, a contact not written is lost.
    for (int attempt = 0; attempt < 2 && indexLog(log); ++attempt) {
        const auto position = m_index.find(record);
        if (!position)
            return 0;
        const auto n = static_cast<std::int32_t>(*position + 1);
        const std::optional<QsoRecord> candidate = log.readRecord(n);
        if (candidate && isSameContact(*candidate, record))
            return n;
        // Changed in a way its stamp did not show: read it again, once.
        m_indexed.reset();
    }
    return 0;
}

bool ContactReceiver::isSecondMessage(const ReceivedContact &received)
{
    for (Handled &h : m_recent) {
        if (!h.paired && h.program == received.programUtf8 && h.source != received.source &&
            isSameContact(h.record, received.contact.record)) {
            h.paired = true;
            return true;
        }
    }
    return false;
}

void ContactReceiver::remember(const ReceivedContact &received, bool unwritten)
{
    m_recent.push_back(
        {received.programUtf8, received.source, received.contact.record, false, unwritten});
    if (m_recent.size() > kRecentContacts)
        m_recent.pop_front();
}

} // namespace ondelog
