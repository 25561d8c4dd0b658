// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text as the log file holds it: Windows-1252 bytes, one byte per character,
// in fixed-width fields. Every text of the core is such bytes unless its name
// ends in Utf8; the windows convert to Unicode in one place.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace ondelog {

/** Windows-1252 bytes to UTF-8. Bytes 0x80-0x9F go through the code page's own
 *  table; the five bytes it leaves undefined map to the C1 control of the same value. */
std::string cp1252ToUtf8(std::string_view cp1252);

/** UTF-8 to Windows-1252 bytes. A character the code page cannot hold, or a
 *  malformed UTF-8 sequence, becomes '?'. */
std::string utf8ToCp1252(std::string_view utf8);

/** Appends the UTF-8 form of a code point. */
void appendUtf8(std::string &out, char32_t codePoint);

/** What decodeUtf8() gives for a malformed sequence. */
inline constexpr char32_t kInvalidUtf8 = 0xFFFFFFFF;
/** The code point of the UTF-8 sequence at `pos`, and `pos` moved past it;
 *  kInvalidUtf8 for a malformed one (overlong, surrogate, cut short...), with
 *  `pos` moved past at least one byte. `pos` must be inside the text. */
char32_t decodeUtf8(std::string_view utf8, std::size_t &pos);

/** Windows-1252 byte of a Unicode code point, or '\0' when the code page has none. */
char cp1252FromCodePoint(char32_t codePoint);

/** Unicode code point of one Windows-1252 byte. */
char32_t codePointFromCp1252(char byte);

/** Upper case of one Windows-1252 character ('é' -> 'É', 'ÿ' -> 'Ÿ'); others unchanged. */
char toUpperCp1252(char c);
/** Lower case of one Windows-1252 character. */
char toLowerCp1252(char c);
/** Whole text to upper case, byte by byte (Windows-1252). */
std::string toUpperCp1252(std::string_view text);

/** True for a control byte (0x00-0x1F, 0x7F: NUL, line breaks, tabs, form feed,
 *  Ctrl-Z...): no field of a sound record holds one. */
constexpr bool isControlByte(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b < 0x20 || b == 0x7F;
}

/** True for '0' to '9' only, whatever the locale. */
constexpr bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

/** What a damaged record's control bytes (isControlByte) look like on a line:
 *  one visible character each, so columns stay aligned and a line break never
 *  splits a line. */
inline constexpr char kControlPlaceholder = '\xA4'; // '¤'

/** The text with each control byte replaced by kControlPlaceholder. */
std::string withVisibleControls(std::string_view cp1252);

/** `n` and the noun that agrees with it, as French counts: the singular for 0
 *  and 1 ("0 contact", "3 contacts"), in the nouns' own encoding. */
std::string counted(std::int64_t n, std::string_view singular, std::string_view plural);

/** Pads with blanks on the right or cuts to exactly `width` characters. */
std::string fixedWidth(std::string_view text, std::size_t width);

/** Removes leading and trailing blanks (spaces only, as every reader of a field does). */
std::string trim(std::string_view text);
/** The same, without a copy: a view into `text`. */
std::string_view trimmedView(std::string_view text);

/** The numeric value of a text: leading blanks skipped, then the longest leading
 *  run that reads as a decimal number ("1/" gives 1, "/5" gives 0, "" gives 0,
 *  "-3.5x" gives -3.5, ".5" gives 0.5). A point is the only decimal separator. */
double numericValue(std::string_view text);

/** A number written with a point whatever the locale, at most 7 significant
 *  digits, no thousands separator, no leading blank, no trailing ".0"
 *  (346 -> "346", 5689.2f -> "5689.2", 0.5 -> "0.5"). Magnitudes from 1e15 up or
 *  below 1e-7 take an exponent ("1E+20", "1.5E-09"). */
std::string formatNumber(double value);

} // namespace ondelog
