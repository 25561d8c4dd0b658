// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Putting a log into chronological order. The contacts are ordered by date and
// start time, those with equal keys keeping their order, and the sorted log
// replaces the old one whole: it is written beside it, synced and renamed over
// it, so a crash or a full disk leaves either the old log or the new one.
//
// Only the keys are held in memory (a few bytes per contact); each record is
// read from the old file and written to the new one once.

#include "logbook/logfile.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace ondelog {

/** The chronological key of a contact, read from its date and start time. */
struct SortKey
{
    int year = 2000; ///< four digits
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;

    auto operator<=>(const SortKey &) const = default;
};

/** Key of a record's 165 bytes. The date, trimmed, is read as an 8-character
 *  field: day from its characters 1-2, month from 4-5, year from its last two
 *  (00-59 are 2000-2059, 60-99 are 1960-1999); the start time, trimmed, as a
 *  5-character field: hour from 1-2, minute from its last two. Each piece is
 *  read as far as it forms a number: an empty or non-numeric piece is 0, so an
 *  empty date sorts as 00/00/2000. */
SortKey sortKeyOf(const char *recordBytes);

/** The stages of a sort, in the order they run. */
enum class SortStage
{
    Reading,  ///< reading the dates and times
    Ordering, ///< ordering the keys in memory
    Writing,  ///< writing the sorted log
};

/** Name of a stage for the progress label (UTF-8). */
std::string sortStageNameUtf8(SortStage stage);

/** Told of the stage and of the records done so far in it, every few hundred records. */
using SortProgress = std::function<void(SortStage stage, std::int32_t position)>;

struct SortOutcome
{
    LogStatus status = LogStatus::Ok;
    /** The file was replaced (false when it was already in order, or on failure). */
    bool rewritten = false;
};

/** Sorts the open log. A log already in order, holding nothing after its end
 *  marker, is left as it is. Otherwise the file is replaced by the N contacts
 *  in order, then the end marker (the old one, or one holding `stationLocator`
 *  when the file had none), and nothing else; `log` is then open on the new file
 *  and counted. On failure the file is as before and `log` still open on it. */
SortOutcome sortLog(LogFile &log, std::string_view stationLocator,
                    const SortProgress &progress = {});

} // namespace ondelog
