// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Contacts logged twice: neighbouring records equal in call sign, date, start
// and end times and frequency, compared exactly as stored. Only neighbours are
// compared, so a log is sorted first.

#include "logbook/logfile.h"
#include "maintenance/search.h"

#include <cstdint>
#include <string>
#include <vector>

namespace ondelog {

/** Whether two records' 165 bytes hold the same contact: the fields CSGN,
 *  DQSO, HDEB, HFIN and FREQ equal byte for byte (letter case and padding
 *  count); the mode and the rest are not looked at. */
bool isDuplicatePair(const char *first, const char *second);

/** The line listing the pair (i, i + 1): the number field of i, then a space,
 *  the first 10 characters of the second record's call sign field, "Le ", its
 *  date field, " à " and its start time field, padded or cut to 40. */
std::string duplicateLine(std::int32_t first, const char *secondBytes);

struct DuplicateSearch
{
    LogStatus status = LogStatus::Ok;
    /** One line per pair found, standing for its first record, in record order. */
    std::vector<ContactsLine> lines;
};

/** Every neighbouring pair (i, i + 1) of contacts 1..N of the open log that is
 *  a duplicate; the end marker is never compared. */
DuplicateSearch findDuplicates(const LogFile &log);

} // namespace ondelog
