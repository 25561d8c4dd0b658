// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Contacts received from WSJT-X or JTDX, appended to the station's own log.
// A contact is written as "Suivant" writes one (LogFile::appendContact: on the
// disk before it is reported), once: the second message WSJT-X sends for the
// same contact, and a contact the log already holds, are not written again.
// Every contact gets one short French notice saying what became of it. The
// contacts of a burst are written together, with one wait for the disk.
//
// To answer "already in the log?" at once in a log of a hundred thousand
// contacts, the receiver keeps an index of the log's contacts (the import's
// ContactIndex) and reads back the one it finds. It reads the log again
// whenever the log is another one, or has changed since (count, size or time
// of change), when the contact read back is not the one indexed, and when told so.

#include "interchange/samecontact.h"
#include "logbook/logfile.h"
#include "station/livecontact.h"

#include <cstdint>
#include <deque>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace ondelog {

/** The log received contacts go to, as the main window holds it. */
struct ReceivingLog
{
    LogFile *log = nullptr;
    std::string stationCall;    ///< the station's call sign (Windows-1252)
    std::string stationLocator; ///< written into the end marker after the contact
    /** False for another station's log, opened for reading: it never receives. */
    bool isOwnLog = false;
};

enum class ReceiveOutcome
{
    Added,          ///< written as the log's last contact
    SecondMessage,  ///< the other message of a contact just handled: nothing to say
    AlreadyInLog,   ///< the log holds the same contact: not written
    NoCallSign,     ///< refused: no call sign (or one that would end the log)
    ImpossibleDate, ///< refused: no date, or one the log cannot hold
    OtherStation,   ///< refused: made by another station than the log's
    NotWritable,    ///< refused: no log open, read-only, or not the station's own
    WriteFailed,    ///< the write failed: the log is as it was
};

struct ReceiveResult
{
    ReceiveOutcome outcome = ReceiveOutcome::WriteFailed;
    /** French, UTF-8: "F5ABC 14.074 FT8 ajouté depuis WSJT-X". Empty for SecondMessage. */
    std::string noticeUtf8;
    /** Added: the contact's record number; AlreadyInLog: the one already there. */
    std::int32_t recordNo = 0;
    LogStatus status = LogStatus::Ok; ///< why a write failed
};

class ContactReceiver
{
  public:
    /** The contacts of one burst, in the order they came: those to write are
     *  written together, with one wait for the disk. One result each, in order. */
    std::vector<ReceiveResult> receive(std::span<const ReceivedContact> contacts,
                                       const ReceivingLog &target);
    ReceiveResult receive(const ReceivedContact &contact, const ReceivingLog &target);

    /** The log was changed otherwise (modified, deleted, sorted, merged, imported,
     *  another log opened): its contacts are read again before the next one. */
    void logChanged() { m_indexed.reset(); }

  private:
    struct LogStamp
    {
        std::filesystem::path path;
        std::int32_t recordCount = 0;
        std::uintmax_t size = 0;
        std::filesystem::file_time_type changed;
        bool operator==(const LogStamp &) const = default;
    };
    struct Handled
    {
        std::string program;
        NetworkMessageType source;
        QsoRecord record;
        bool paired = false;
        bool unwritten = false; ///< to be written with the rest of its burst
    };

    static std::optional<LogStamp> stampOf(LogFile &log);
    bool indexLog(LogFile &log);
    std::int32_t findInLog(LogFile &log, const QsoRecord &record);
    std::optional<ReceiveOutcome> refusal(const ReceivedContact &received,
                                          const ReceivingLog &target);
    bool isSecondMessage(const ReceivedContact &received);
    void remember(const ReceivedContact &received, bool unwritten);

    std::optional<LogStamp> m_indexed;
    ContactIndex m_index; ///< position p is record p + 1
    std::deque<Handled> m_recent;
};

} // namespace ondelog
