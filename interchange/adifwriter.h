// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Writing ADIF: the header once, then one record at a time appended to a
// buffer the caller flushes, so that an export holds one record in memory.

#include "interchange/adifmapping.h"
#include "interchange/adifreader.h"

#include <string>
#include <vector>

namespace ondelog {

/** The header fields of an export: ADIF_VER, PROGRAMID, PROGRAMVERSION,
 *  CREATED_TIMESTAMP ("YYYYMMDD HHMMSS", UTC). */
std::vector<AdifField> exportHeader(const std::string &createdTimestamp);

/** Appends the opening of the file and its header. */
void appendAdifHeader(std::string &out, const std::vector<AdifField> &header, AdifFormat format);
/** Appends one record. Values are already encoded for the format. */
void appendAdifRecord(std::string &out, const std::vector<AdifField> &fields, AdifFormat format);
/** Appends what closes the file (nothing for ADI). */
void appendAdifFooter(std::string &out, AdifFormat format);

} // namespace ondelog
