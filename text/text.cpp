// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/text.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <system_error>

namespace ondelog {

namespace {

// Bytes 0x80-0x9F of Windows-1252. The five holes of the code page (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) keep the C1 control of the same value, so that any byte of
// a file survives a trip through Unicode and back.
constexpr std::array<char32_t, 32> kHighTable = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, //
};

} // namespace

void appendUtf8(std::string &out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// A malformed sequence advances past its longest valid-looking prefix (at
// least one byte), so one bad sequence gives one '?' and never swallows the
// good characters that follow it.
char32_t decodeUtf8(std::string_view s, std::size_t &pos)
{
    const auto b0 = static_cast<unsigned char>(s[pos++]);
    if (b0 < 0x80)
        return b0;

    int length = 0;
    char32_t cp = 0;
    unsigned char lo = 0x80, hi = 0xBF; // allowed range of the second byte
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        length = 2;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        length = 3;
        cp = b0 & 0x0F;
        if (b0 == 0xE0)
            lo = 0xA0; // overlong
        if (b0 == 0xED)
            hi = 0x9F; // surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        length = 4;
        cp = b0 & 0x07;
        if (b0 == 0xF0)
            lo = 0x90; // overlong
        if (b0 == 0xF4)
            hi = 0x8F; // above U+10FFFF
    } else {
        return kInvalidUtf8;
    }

    for (int i = 1; i < length; ++i) {
        if (pos >= s.size())
            return kInvalidUtf8;
        const auto b = static_cast<unsigned char>(s[pos]);
        const unsigned char min = (i == 1) ? lo : 0x80;
        const unsigned char max = (i == 1) ? hi : 0xBF;
        if (b < min || b > max)
            return kInvalidUtf8;
        cp = (cp << 6) | (b & 0x3F);
        ++pos;
    }
    return cp;
}

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

char32_t codePointFromCp1252(char byte)
{
    const auto b = static_cast<unsigned char>(byte);
    if (b >= 0x80 && b <= 0x9F)
        return kHighTable[b - 0x80];
    return b;
}

char cp1252FromCodePoint(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<char>(codePoint);
    for (std::size_t i = 0; i < kHighTable.size(); ++i) {
        if (kHighTable[i] == codePoint)
            return static_cast<char>(0x80 + i);
    }
    return '\0';
}

std::string cp1252ToUtf8(std::string_view cp1252)
{
    std::string out;
    out.reserve(cp1252.size() + cp1252.size() / 4);
    for (char c : cp1252)
        appendUtf8(out, codePointFromCp1252(c));
    return out;
}

std::string utf8ToCp1252(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t cp = decodeUtf8(utf8, pos);
        if (cp == 0) {
            out += '\0';
            continue;
        }
        const char byte = (cp == kInvalidUtf8) ? '\0' : cp1252FromCodePoint(cp);
        out += (byte == '\0') ? '?' : byte;
    }
    return out;
}

char toUpperCp1252(char c)
{
    const auto b = static_cast<unsigned char>(c);
    if (b >= 'a' && b <= 'z')
        return static_cast<char>(b - 0x20);
    // à..þ, but ÷ (0xF7) is the division sign and has no case.
    if (b >= 0xE0 && b <= 0xFE && b != 0xF7)
        return static_cast<char>(b - 0x20);
    switch (b) {
    case 0xFF: // ÿ
        return static_cast<char>(0x9F);
    case 0x9A: // š
        return static_cast<char>(0x8A);
    case 0x9C: // œ
        return static_cast<char>(0x8C);
    case 0x9E: // ž
        return static_cast<char>(0x8E);
    default:
        return c;
    }
}

char toLowerCp1252(char c)
{
    const auto b = static_cast<unsigned char>(c);
    if (b >= 'A' && b <= 'Z')
        return static_cast<char>(b + 0x20);
    // À..Þ, but × (0xD7) is the multiplication sign.
    if (b >= 0xC0 && b <= 0xDE && b != 0xD7)
        return static_cast<char>(b + 0x20);
    switch (b) {
    case 0x9F: // Ÿ
        return static_cast<char>(0xFF);
    case 0x8A: // Š
        return static_cast<char>(0x9A);
    case 0x8C: // Œ
        return static_cast<char>(0x9C);
    case 0x8E: // Ž
        return static_cast<char>(0x9E);
    default:
        return c;
    }
}

std::string toUpperCp1252(std::string_view text)
{
    std::string out(text);
    for (char &c : out)
        c = toUpperCp1252(c);
    return out;
}

std::string withVisibleControls(std::string_view cp1252)
{
    std::string text(cp1252);
    for (char &c : text) {
        if (isControlByte(c))
            c = kControlPlaceholder;
    }
    return text;
}

std::string fixedWidth(std::string_view text, std::size_t width)
{
    std::string out(text.substr(0, width));
    out.resize(width, ' ');
    return out;
}

std::string counted(std::int64_t n, std::string_view singular, std::string_view plural)
{
    return std::to_string(n) + " " + std::string(n > 1 ? plural : singular);
}

std::string trim(std::string_view text)
{
    return std::string(trimmedView(text));
}

std::string_view trimmedView(std::string_view text)
{
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

double numericValue(std::string_view text)
{
    std::size_t pos = 0;
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;

    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }

    const std::size_t intStart = pos;
    while (pos < text.size() && isDigit(text[pos]))
        ++pos;
    const std::size_t intEnd = pos;
    std::size_t fracEnd = pos;
    if (pos < text.size() && text[pos] == '.') {
        ++pos;
        while (pos < text.size() && isDigit(text[pos]))
            ++pos;
        fracEnd = pos;
    }
    if (fracEnd == intStart || (fracEnd == intEnd + 1 && intEnd == intStart))
        return 0.0; // no digit at all: "", "-", ".", "/5"

    // from_chars never looks at the locale, unlike strtod.
    double value = 0.0;
    const char *first = text.data() + intStart;
    const char *last = text.data() + fracEnd;
    const auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::fixed);
    if (ec == std::errc::result_out_of_range) {
        // Without an exponent only a huge integer part can overflow; anything
        // else out of range is a vanishing fraction.
        const auto intDigits = text.substr(intStart, intEnd - intStart);
        const bool huge = intDigits.find_first_not_of('0') != std::string_view::npos;
        value = huge ? HUGE_VAL : 0.0;
    } else if (ec != std::errc()) {
        value = 0.0;
    }
    return negative ? -value : value;
}

std::string formatNumber(double value)
{
    if (std::isnan(value))
        return "NaN";
    if (std::isinf(value))
        return value < 0 ? "-Inf" : "Inf";
    if (value == 0.0)
        return "0"; // also for -0.0

    // Rounded to 7 significant digits by to_chars, which ignores the locale:
    // "d.dddddde±x".
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, 6);
    const std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));

    const bool negative = sci.front() == '-';
    const std::size_t mantStart = negative ? 1 : 0;
    const std::size_t ePos = sci.find('e');
    std::string digits;
    for (std::size_t i = mantStart; i < ePos; ++i) {
        if (sci[i] != '.')
            digits += sci[i];
    }
    const int exponent = std::atoi(std::string(sci.substr(ePos + 1)).c_str());
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();

    std::string out = negative ? "-" : "";
    // Plain notation for every magnitude a log deals with; far outside that,
    // an exponent keeps the text short.
    if (exponent < -7 || exponent >= 15) {
        out += digits.substr(0, 1);
        if (digits.size() > 1) {
            out += '.';
            out += digits.substr(1);
        }
        out += (exponent < 0) ? "E-" : "E+";
        const int absExp = std::abs(exponent);
        if (absExp < 10)
            out += '0';
        out += std::to_string(absExp);
        return out;
    }

    if (exponent < 0) {
        out += "0.";
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
    } else {
        const auto intLen = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= intLen) {
            out += digits;
            out.append(intLen - digits.size(), '0');
        } else {
            out += digits.substr(0, intLen);
            out += '.';
            out += digits.substr(intLen);
        }
    }
    return out;
}

} // namespace ondelog
