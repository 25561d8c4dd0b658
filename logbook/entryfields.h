// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The seventeen entry fields of the record view, seen from the keyboard: how
// many characters each takes and which keys reach it. The record view uses the
// same fields for new contacts and for stored ones, so these rules hold in both.
//
// Field numbers are those of the record (1..16), with 13 the remarks and 17 the
// QSL manager, the two halves of INFO.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace ondelog {

inline constexpr int kEntryFieldCount = 17;
/** Field number of the QSL manager, the second half of INFO. */
inline constexpr int kManagerField = 17;
/** Field number of the remarks, the first half of INFO. */
inline constexpr int kRemarksField = 13;

/** What a field shows for a refused value, for one second, before it is cleared. */
inline constexpr const char *kErrorText = "ERREUR";

/** Whether `field` is an entry field number (1..17). */
bool isEntryField(int field);

/** How many characters entry field `field` (1..17) takes: its record field's
 *  width, 15 for the remarks (13) and the QSL manager (17), 10 for the date (a
 *  year typed with four digits is shortened on Enter); 0 for any other number. */
std::size_t entryFieldWidth(int field);

/**
 * The character a typed key puts into entry field `field`, as a Windows-1252
 * byte, or nothing when the key is refused and must be discarded.
 *
 * - 1, 6, 9, 10, 13, 16, 17: any character, turned into upper case;
 * - 2, 3, 4, 5: only "." "/" "0"-"9" ":" (and "," in 5, which becomes ".");
 * - 7, 8: those and "+";
 * - 11: digits only;
 * - 12, 14, 15: any character, unchanged.
 *
 * A character the code page cannot hold is refused, and so are control
 * characters: Backspace and Enter are not characters here, the window handles
 * them itself (Backspace edits, Enter validates the field).
 */
std::optional<char> filterKey(int field, char32_t codePoint);

/** Text put into a field at once (pasted): each character through filterKey(),
 *  refused ones dropped, the result cut to the field's width. */
std::string filterText(int field, std::u32string_view text);

/** The same for Windows-1252 text already in hand: what the field would hold had
 *  the text been typed key by key. */
std::string filterCp1252(int field, std::string_view cp1252);

/** First letter of each word in upper case, the rest in lower case
 *  ("jEAN-pierre dupont" -> "Jean-Pierre Dupont", "élodie" -> "Élodie").
 *  Words are separated by blanks and hyphens. Windows-1252 in and out. */
std::string capitalizeWords(std::string_view cp1252);

/** Colour state (as the window's colour table numbers them: 1 the window's
 *  background, 3 light yellow, 4 light red) of a field that loses the focus:
 *  light red while a shown record is being modified with changes pending, light
 *  yellow for the call sign (so the operator sees at a glance which contact the
 *  panel holds), else the window's. */
int colourStateOnFocusLost(int field, bool modifyMode, int pendingChanges);

/** Caption of the record label while a new contact is typed: " Charger fiche N° 12". */
std::string entryRecordCaption(std::int32_t recordNo);

/** Caption of the record label for a shown contact: " Fiche N°12 ". */
std::string displayRecordCaption(std::int32_t recordNo);

} // namespace ondelog
