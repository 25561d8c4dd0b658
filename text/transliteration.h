// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text from other programs comes in Unicode; the log holds Windows-1252. A name
// in Polish, Czech, Romanian, Turkish or Russian would otherwise reach the log
// with a "?" for each letter the code page lacks ("?ukasz"). Here each such
// character becomes the nearest letters the code page has, as an operator would
// write the name by hand.

#include <string>
#include <string_view>

namespace ondelog {

struct FoldedText
{
    std::string utf8;
    bool changed = false; ///< some character was replaced or dropped
};

/** The UTF-8 text with every character Windows-1252 cannot hold replaced:
 *  letters with a mark the code page lacks by the letter with the nearest mark
 *  it has, or none ("Ł" -> "L", "ő" -> "ö", "ș" -> "s", "Đ" -> "Dj"); Cyrillic
 *  and Greek spelt in Latin letters ("Иван" -> "Ivan", "ЖУК" -> "ZHUK"); a letter
 *  followed by a combining accent joined into the one character the code page
 *  has for them ("e" U+0301 -> "é", not a change); other spaces, dashes and
 *  signs by plain ones, invisible ones dropped; "?" for what has no likeness.
 *  Characters the code page holds, and malformed bytes, are left as they are. */
FoldedText foldToCp1252(std::string_view utf8);

} // namespace ondelog
