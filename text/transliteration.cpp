// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/transliteration.h"

#include "text/text.h"

#include <array>
#include <optional>
#include <utility>

namespace ondelog {

namespace {

// clang-format off

// Latin Extended-A, U+0100 to U+017F, capital and small letter in turn.
// Hungarian's double acute is nearest to the umlaut the code page has; the
// Croatian and Serbian Đ is written Dj by hand. Œ, Š, Ÿ and Ž are in the code
// page and never looked up here.
constexpr std::array<const char *, 128> kLatinExtendedA = {
    "A", "a", "A", "a", "A", "a", "C", "c", "C", "c", "C", "c", "C", "c", "D", "d",     // U+0100
    "Dj", "dj", "E", "e", "E", "e", "E", "e", "E", "e", "E", "e", "G", "g", "G", "g",   // U+0110
    "G", "g", "G", "g", "H", "h", "H", "h", "I", "i", "I", "i", "I", "i", "I", "i",     // U+0120
    "I", "i", "IJ", "ij", "J", "j", "K", "k", "k", "L", "l", "L", "l", "L", "l", "L",   // U+0130
    "l", "L", "l", "N", "n", "N", "n", "N", "n", "'n", "N", "n", "O", "o", "O", "o",    // U+0140
    "\xC3\x96", "\xC3\xB6", "OE", "oe", "R", "r", "R", "r", "R", "r", "S", "s", "S", "s", "S", "s", // U+0150
    "S", "s", "T", "t", "T", "t", "T", "t", "U", "u", "U", "u", "U", "u", "U", "u",     // U+0160
    "\xC3\x9C", "\xC3\xBC", "U", "u", "W", "w", "Y", "y", "Y", "Z", "z", "Z", "z", "Z", "z", "s", // U+0170
};

// Cyrillic, U+0400 to U+045F: the Latin spelling of passports and QSL cards.
constexpr std::array<const char *, 96> kCyrillic = {
    "E", "Yo", "Dj", "G", "Ye", "Dz", "I", "Yi", "J", "Lj", "Nj", "C", "K", "I", "U", "Dz",  // Ѐ to Џ
    "A", "B", "V", "G", "D", "E", "Zh", "Z", "I", "Y", "K", "L", "M", "N", "O", "P",         // А to П
    "R", "S", "T", "U", "F", "Kh", "Ts", "Ch", "Sh", "Shch", "", "Y", "", "E", "Yu", "Ya",   // Р to Я
    "a", "b", "v", "g", "d", "e", "zh", "z", "i", "y", "k", "l", "m", "n", "o", "p",         // а to п
    "r", "s", "t", "u", "f", "kh", "ts", "ch", "sh", "shch", "", "y", "", "e", "yu", "ya",   // р to я
    "e", "yo", "dj", "g", "ye", "dz", "i", "yi", "j", "lj", "nj", "c", "k", "i", "u", "dz",  // ѐ to џ
};

// Greek, U+0386 to U+03CE, as ELOT 743 spells it ("?" where nothing is coded).
constexpr std::array<const char *, 73> kGreek = {
    "A", "\xC2\xB7", "E", "I", "I", "?", "O", "?", "Y", "O", "i",                        // Ά to ΐ
    "A", "V", "G", "D", "E", "Z", "I", "Th", "I", "K", "L", "M", "N", "X", "O", "P",     // Α to Π
    "R", "?", "S", "T", "Y", "F", "Ch", "Ps", "O", "I", "Y",                             // Ρ to Ϋ
    "a", "e", "i", "i", "y",                                                             // ά to ΰ
    "a", "v", "g", "d", "e", "z", "i", "th", "i", "k", "l", "m", "n", "x", "o", "p",     // α to π
    "r", "s", "s", "t", "y", "f", "ch", "ps", "o", "i", "y", "o", "y", "o",               // ρ to ώ
};

// clang-format on

// Letters the code page holds with a mark, and the mark that makes them from
// their base letter when a text spells them apart (decomposed, as macOS
// writes file names). Small letters are the capitals plus 0x20.
struct Composition
{
    char32_t composed;
    char base;
    char32_t mark;
};
constexpr Composition kCompositions[] = {
    {0xC0, 'A', 0x300}, {0xC1, 'A', 0x301}, {0xC2, 'A', 0x302}, {0xC3, 'A', 0x303},
    {0xC4, 'A', 0x308}, {0xC5, 'A', 0x30A}, {0xC7, 'C', 0x327}, {0xC8, 'E', 0x300},
    {0xC9, 'E', 0x301}, {0xCA, 'E', 0x302}, {0xCB, 'E', 0x308}, {0xCC, 'I', 0x300},
    {0xCD, 'I', 0x301}, {0xCE, 'I', 0x302}, {0xCF, 'I', 0x308}, {0xD1, 'N', 0x303},
    {0xD2, 'O', 0x300}, {0xD3, 'O', 0x301}, {0xD4, 'O', 0x302}, {0xD5, 'O', 0x303},
    {0xD6, 'O', 0x308}, {0xD9, 'U', 0x300}, {0xDA, 'U', 0x301}, {0xDB, 'U', 0x302},
    {0xDC, 'U', 0x308}, {0xDD, 'Y', 0x301},
};

bool isUpperAscii(char c)
{
    return c >= 'A' && c <= 'Z';
}

bool isLowerAscii(char c)
{
    return c >= 'a' && c <= 'z';
}

std::optional<char32_t> composed(char base, char32_t mark)
{
    switch (mark) {
    case 0x30C: // caron: the code page has it on S and Z
        return base == 'S'   ? 0x160
               : base == 's' ? 0x161
               : base == 'Z' ? 0x17D
               : base == 'z' ? std::optional<char32_t>(0x17E)
                             : std::nullopt;
    case 0x308:
        if (base == 'y')
            return 0xFF;
        if (base == 'Y')
            return 0x178;
        break;
    default:
        break;
    }
    const bool lower = isLowerAscii(base);
    const char capital = lower ? static_cast<char>(base - 0x20) : base;
    for (const Composition &c : kCompositions)
        if (c.base == capital && c.mark == mark)
            return lower ? c.composed + 0x20 : c.composed;
    return std::nullopt;
}

// Vietnamese letters, U+1EA0 to U+1EF9: capital and small alternate, and the
// base letter changes at these code points.
char vietnameseBase(char32_t cp)
{
    constexpr std::pair<char32_t, char> kRanges[] = {{0x1EB8, 'A'}, {0x1EC8, 'E'}, {0x1ECC, 'I'},
                                                     {0x1EE4, 'O'}, {0x1EF2, 'U'}, {0x1EFA, 'Y'}};
    for (const auto &[end, base] : kRanges)
        if (cp < end)
            return (cp % 2 == 0) ? base : static_cast<char>(base + 0x20);
    return '?';
}

// The replacement of one character the code page lacks, "?" when none; a
// single letter computed from the code point goes through `letter`.
std::string_view likeness(char32_t cp, char &letter)
{
    if (cp >= 0x100 && cp < 0x180)
        return kLatinExtendedA[cp - 0x100];
    if (cp >= 0x400 && cp < 0x460)
        return kCyrillic[cp - 0x400];
    if (cp >= 0x386 && cp <= 0x3CE)
        return kGreek[cp - 0x386];
    if (cp >= 0x1EA0 && cp <= 0x1EF9) {
        letter = vietnameseBase(cp);
        return {&letter, 1};
    }
    if (cp >= 0xFF01 && cp <= 0xFF5E) { // full-width forms of ASCII
        letter = static_cast<char>(cp - 0xFEE0);
        return {&letter, 1};
    }
    if ((cp >= 0x2000 && cp <= 0x200A) || cp == 0x2028 || cp == 0x2029 || cp == 0x202F ||
        cp == 0x205F || cp == 0x3000 || (cp >= 0x80 && cp < 0xA0))
        return " ";
    if ((cp >= 0x200B && cp <= 0x200F) || cp == 0x2060 || cp == 0xFEFF)
        return "";
    switch (cp) {
    case 0x1CD:
        return "A";
    case 0x1CE:
        return "a";
    case 0x1CF:
        return "I";
    case 0x1D0:
        return "i";
    case 0x1D1:
        return "O";
    case 0x1D2:
        return "o";
    case 0x1D3:
        return "U";
    case 0x1D4:
        return "u";
    case 0x18F:
        return "E"; // Azerbaijani schwa
    case 0x259:
        return "e";
    case 0x218:
        return "S"; // Romanian comma below
    case 0x219:
        return "s";
    case 0x21A:
        return "T";
    case 0x21B:
        return "t";
    case 0x490:
        return "G"; // Ukrainian
    case 0x491:
        return "g";
    case 0x1E9E:
        return "SS";
    case 0x2010:
    case 0x2011:
    case 0x2012:
    case 0x2043:
    case 0x2212:
        return "-";
    case 0x2015:
        return "\xE2\x80\x94"; // —, which the code page has
    case 0x2017:
        return "_";
    case 0x201B:
        return "'";
    case 0x201F:
        return "\"";
    case 0x2023:
        return "\xE2\x80\xA2"; // •
    case 0x2024:
        return ".";
    case 0x2025:
        return "..";
    case 0x2027:
    case 0x2219:
        return "\xC2\xB7"; // ·
    case 0x2032:
        return "'";
    case 0x2033:
        return "\"";
    case 0x2035:
        return "`";
    case 0x2044:
    case 0x2215:
        return "/";
    case 0x2116:
        return "No";
    case 0x2103:
        return "\xC2\xB0"
               "C";
    default:
        return "?";
    }
}

bool isUpperCyrillicOrGreek(char32_t cp)
{
    return (cp >= 0x400 && cp < 0x430) || (cp >= 0x391 && cp <= 0x3AB) || cp == 0x386 ||
           (cp >= 0x388 && cp <= 0x38F);
}

} // namespace

FoldedText foldToCp1252(std::string_view utf8)
{
    FoldedText result;
    std::string &out = result.utf8;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::size_t start = pos;
        const char32_t cp = decodeUtf8(utf8, pos);
        if (cp == kInvalidUtf8 || cp < 0x80 || cp1252FromCodePoint(cp) != '\0') {
            out.append(utf8.substr(start, pos - start));
            continue;
        }
        if (cp >= 0x300 && cp < 0x370) { // a combining mark on the letter before it
            const char base = out.empty() ? '\0' : out.back();
            const auto letter = isUpperAscii(base) || isLowerAscii(base)
                                    ? composed(base, cp)
                                    : std::optional<char32_t>();
            if (letter) {
                out.pop_back();
                appendUtf8(out, *letter);
            } else {
                result.changed = true;
            }
            continue;
        }
        result.changed = true;
        char letter = '\0';
        const std::string_view text = likeness(cp, letter);
        // Ж of ЖУК is ZH, of Жук Zh: a spelling of several letters follows the
        // case of the next letter.
        if (text.size() > 1 && isUpperCyrillicOrGreek(cp) && pos < utf8.size()) {
            std::size_t next = pos;
            const char32_t following = decodeUtf8(utf8, next);
            if (isUpperCyrillicOrGreek(following) ||
                (following < 0x80 && isUpperAscii(static_cast<char>(following)))) {
                for (char c : text)
                    out += isLowerAscii(c) ? static_cast<char>(c - 0x20) : c;
                continue;
            }
        }
        out.append(text);
    }
    return result;
}

} // namespace ondelog
