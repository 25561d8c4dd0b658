// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How a contact of the log becomes an ADIF record and back. The log keeps
// Windows-1252 text in fixed-width fields (dd/mm/yy, hh:mm, MHz as typed);
// ADIF wants YYYYMMDD, HHMM, enumerated modes and bands, and ASCII in its
// plain fields. Whatever the standard fields cannot carry exactly travels in
// APP_ONDELOG_<code> fields, so that our own export read back gives the same
// record byte for byte (folded to ASCII through ADI, whole through ADX).

#include "interchange/adifmodes.h"
#include "interchange/adifreader.h"
#include "logbook/frequency.h"
#include "logbook/record.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ondelog {

enum class AdifFormat
{
    Adi, ///< tagged text, ASCII only
    Adx, ///< XML, UTF-8; the _INTL fields keep accents
};

/** Windows-1252 text folded to ASCII: accents dropped ("é" -> "e"), ligatures
 *  spelt out ("œ" -> "oe"), typographic quotes and dashes made plain, control
 *  bytes made blanks; what has no ASCII likeness becomes "?". */
std::string foldToAscii(std::string_view cp1252);

/** The record as an ADI export can give it back: every field folded to ASCII
 *  and cut to its width (the remarks and the manager each to their 15). */
QsoRecord foldRecord(const QsoRecord &record);

/** "dd/mm/yy" -> "YYYYMMDD" through the log's century rule, or nothing. */
std::optional<std::string> adifDate(std::string_view logDate);
/** "YYYYMMDD" -> "dd/mm/yy"; nothing when invalid or outside 1960-2059. */
std::optional<std::string> logDate(std::string_view adifDate);
/** "hh:mm" -> "HHMM", or nothing. */
std::optional<std::string> adifTime(std::string_view logTime);
/** "HHMM" or "HHMMSS" -> "hh:mm", or nothing. */
std::optional<std::string> logTime(std::string_view adifTime);
/** A 4, 6 or 8-character Maidenhead locator (any letter case) as the log keeps
 *  it: cut to 6 characters in upper case, a 4-character square as it is. */
std::optional<std::string> logLocator(std::string_view gridSquare);

struct ExportContext
{
    std::string stationCall; ///< STATION_CALLSIGN (Windows-1252)
};

/** The ADIF fields of a contact, values encoded for the format (ASCII for
 *  ADI, UTF-8 for ADX). For ADI give the folded record (foldRecord()). */
std::vector<AdifField> contactToAdif(const QsoRecord &record, const ExportContext &context,
                                     AdifFormat format);

enum class ImportSkip
{
    None,
    NoCallSign,      ///< no call sign, or one that would read as the log's end
    DateNotWritable, ///< no QSO_DATE, an invalid one, or one outside 1960-2059
};

struct ImportedContact
{
    QsoRecord record;
    ImportSkip skip = ImportSkip::None;
    /** Texts the log could not hold as the file gave them: cut to their
     *  field's width, a mode without its submode, or letters Windows-1252
     *  lacks replaced by the nearest ones ("Łukasz" -> "Lukasz"). */
    int truncatedFields = 0;
};

/** The contact an ADIF record holds, from its list of fields alone (a file's
 *  record, or one contact another program sends). `stationLocator` fills MLOC
 *  when the record has no MY_GRIDSQUARE. The other station's QSL is received
 *  (SQSL: its date, else "Reçue") when QSL_RCVD, LOTW_QSL_RCVD or
 *  EQSL_QSL_RCVD says so (Y or V), in that order. */
ImportedContact contactFromAdif(const AdifRecord &adif, std::string_view stationLocator);

} // namespace ondelog
