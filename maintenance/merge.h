// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Merging another log into the open one: the other log's contacts, up to its end
// marker (or its end of file), are appended after the open log's contacts, in
// their order, and a new end marker follows them. The whole new log is written
// beside the old one and renamed over it, so that a merge cut short by a crash
// or a full disk leaves the log as it was, and a finished one leaves every
// merged contact and one end marker.
//
// Any file can be chosen as "the other log": only records that are contacts
// come in. What names a contact (call sign, date, start time) must be text, the
// call sign present and the date a date; a file with no contact at all (a
// picture, a letter renamed .Ham) adds nothing and is refused. Control bytes
// in the other fields of a contact are blanked on the way in.

#include "logbook/logfile.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace ondelog {

enum class MergeFailure
{
    None,
    LogNotWritable,  ///< no log open, or opened for reading only
    LogUnreadable,   ///< the open log cannot be counted or read
    SameFile,        ///< the other log is the open log itself
    OtherUnreadable, ///< the other log cannot be opened or read
    NotALog,         ///< the other file holds no contact: nothing was added
    Write,           ///< the new log could not be written: the log is as it was
    Reopen,          ///< merged, but the log could not be opened again
};

struct MergeResult
{
    MergeFailure failure = MergeFailure::None;
    LogStatus status = LogStatus::Ok;
    std::int32_t added = 0;   ///< contacts appended
    std::int32_t skipped = 0; ///< records of the other log that were no contact, in all
    // The same records by reason:
    std::int32_t controlBytes = 0;   ///< a control byte in the call sign, date or start time
    std::int32_t noCallSign = 0;     ///< no call sign, or one beginning with "\"
    std::int32_t impossibleDate = 0; ///< a date that is no date
    std::int32_t partialRecord = 0;  ///< a piece shorter than a record at the end of the file
    /** Contacts added whose other fields held control bytes, blanked. */
    std::int32_t cleaned = 0;

    bool ok() const { return failure == MergeFailure::None; }
};

/** Appends the contacts of the log at `other` to the open `log`, which then
 *  serves the merged log (after a failure it is counted again, its mode kept).
 *  Records that are no contact are not copied but counted in `skipped` and by
 *  reason; a file with some records but no contact (or no record and no end
 *  marker) is refused as NotALog. Every contact goes through
 *  QsoRecord::blankControlCharacters(). The other log is only read. */
MergeResult mergeLog(LogFile &log, const std::filesystem::path &other,
                     std::string_view stationLocator);

/** French sentence saying why a merge of `other` failed (UTF-8). */
std::string mergeFailureMessageUtf8(const MergeResult &result, const std::string &other);

/** French summary of a merge that succeeded: contacts added, records of `other`
 *  left out with the count for each reason, contacts cleaned (UTF-8). */
std::string mergeSummaryUtf8(const MergeResult &result, const std::string &other);

} // namespace ondelog
