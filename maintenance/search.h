// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Finding earlier contacts: by call sign (with or without a portable suffix) or
// on a date, each found contact listed as one line of the contacts panel. The
// duplicate search lists its pairs in the same panel, with the same lines.

#include "logbook/logfile.h"
#include "logbook/record.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ondelog {

/** Width of the record number at the head of a contacts line (a space, then up
 *  to five digits); a longer number widens it rather than being cut. */
inline constexpr std::size_t kContactsNumberWidth = 6;
/** Width of the description after the number. */
inline constexpr std::size_t kContactsDescriptionWidth = 40;

/** What a contacts list holds, which decides its caption. */
enum class ContactsListKind
{
    CallSign,
    Date,
    Duplicates,
};

/** The date a search text names, normalised to dd/mm/yy: the text's 3rd and 6th
 *  characters are each "/", ".", ":" or a space and the date is valid. Nothing
 *  otherwise: the text is then searched as a call sign ("12/05" is one). */
std::optional<std::string> searchDate(std::string_view text);

/** Whether a stored call sign (CSGN) answers a search for `searched`, letter
 *  case ignored: the same call sign, or one that goes on with "/" right after
 *  as many characters as the searched one has ("F5ABC/P" for "F5ABC"), provided
 *  the searched text occurs in it. Every character is taken as itself. */
bool callSignMatches(std::string_view storedCallSign, std::string_view searched);

/** " " and the record number, padded to kContactsNumberWidth, never cut. */
std::string contactsNumberField(std::int32_t recordNo);

/** The line listing record n: its number field, then "Le <date> à <start> sur
 *  <frequency> Mhz" padded or cut to 40 (Windows-1252). */
std::string contactsLine(std::int32_t recordNo, const QsoRecord &record);

/** The line listing record n among contacts of many call signs (the contacts
 *  behind a bar or a département of the statistics): its number field, the
 *  call sign padded to its 15 characters and a space, then the description of
 *  contactsLine. A list by call sign or date need not repeat what it was asked. */
std::string contactsLineWithCallSign(std::int32_t recordNo, const QsoRecord &record);

/** Where record n shows in the log list: its page and its line (0-based). */
struct ListPlace
{
    std::int32_t page = 1;
    int row = 0;
};
ListPlace listPlaceOfRecord(std::int32_t recordNo);

/** "Contact réalisé" / "Contacts réalisés", "Contact" / "Contacts", "Doublon
 *  trouvé" / "Doublons trouvés": the singular below 2 (UTF-8). */
std::string contactsCaptionUtf8(ContactsListKind kind, std::int64_t count);

/** A line of a contacts list and the record it stands for, so that a click
 *  on it goes to that record without reading the number back from the text. */
struct ContactsLine
{
    std::int32_t recordNo = 0;
    std::string text; ///< Windows-1252
};

struct SearchResult
{
    LogStatus status = LogStatus::Ok;
    ContactsListKind kind = ContactsListKind::CallSign;
    /** One contacts line per match, in record order. */
    std::vector<ContactsLine> lines;
};

/** Every contact of the open log that the search text names (trimmed here):
 *  on its date when the text names one, else by call sign. An empty text
 *  finds nothing. */
SearchResult searchLog(const LogFile &log, std::string_view text);

} // namespace ondelog
