#pragma once
// Merging another log into the open one: the other log's contacts, up to its end
// marker (or its end of file), are appended after the open log's contacts, in
// their order and unchanged, and a new end marker follows them. The whole new
// log is written beside the old one and renamed over it, so that a merge cut
// short by a crash or a full disk leaves the log as it was, and a finished one
// leaves every merged contact and one end marker.

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
    Write,           ///< the new log could not be written: the log is as it was
    Reopen,          ///< merged, but the log could not be opened again
};

struct MergeResult
{
    MergeFailure failure = MergeFailure::None;
    LogStatus status = LogStatus::Ok;
    std::int32_t added = 0;   ///< contacts appended
    std::int32_t skipped = 0; ///< records of the other log that were no contact

    bool ok() const { return failure == MergeFailure::None; }
};

/** Appends the contacts of the log at `other` to the open `log`, then opens and
 *  counts the log again (also after a failure). Records whose call sign begins
 *  with "\" without being the end marker, and a short piece at the other log's
 *  end, are not copied but counted in `skipped`. The other log is only read. */
MergeResult mergeLog(LogFile &log, const std::filesystem::path &other,
                     std::string_view stationLocator);

/** French sentence saying why a merge of `other` failed (UTF-8). */
std::string mergeFailureMessageUtf8(const MergeResult &result, const std::string &other);

} // namespace ondelog
