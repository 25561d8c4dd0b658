// SPDX-License-Identifier: GPL-3.0-or-later
#include "logbook/entryfields.h"

#include "logbook/record.h"
#include "text/text.h"

namespace ondelog {

namespace {

constexpr std::size_t kTypedDateWidth = 10; // dd/mm/yyyy

enum class KeyRule
{
    UpperCase,
    DateTimeNumber, // codes 46..58: . / 0-9 :
    Report,         // the same and "+"
    Digits,
    Unchanged,
};

KeyRule keyRule(int field)
{
    switch (field) {
    case 2:
    case 3:
    case 4:
    case 5:
        return KeyRule::DateTimeNumber;
    case 7:
    case 8:
        return KeyRule::Report;
    case 11:
        return KeyRule::Digits;
    case 12:
    case 14:
    case 15:
        return KeyRule::Unchanged;
    default:
        return KeyRule::UpperCase;
    }
}

bool isDateTimeNumberChar(char32_t c)
{
    return c >= U'.' && c <= U':';
}

bool isWordSeparator(char c)
{
    return c == ' ' || c == '-';
}

} // namespace

bool isEntryField(int field)
{
    return field >= 1 && field <= kEntryFieldCount;
}

std::size_t entryFieldWidth(int field)
{
    if (!isEntryField(field)) {
        return 0;
    }
    if (field == kRemarksField || field == kManagerField) {
        return kInfoPartWidth;
    }
    if (field == static_cast<int>(Field::DQSO)) {
        return kTypedDateWidth;
    }
    return fieldLayout(field).width;
}

std::optional<char> filterKey(int field, char32_t codePoint)
{
    if (!isEntryField(field)) {
        return std::nullopt;
    }
    // Control characters, C0 and C1 alike, would be stored as bytes no reader
    // of the log expects; the C1 range also holds the code page's five holes.
    if (codePoint < 0x20 || (codePoint >= 0x7F && codePoint <= 0x9F)) {
        return std::nullopt;
    }
    switch (keyRule(field)) {
    case KeyRule::DateTimeNumber:
        // A French keyboard writes 14,205 for 14.205 MHz.
        if (codePoint == U',' && field == static_cast<int>(Field::FREQ)) {
            return '.';
        }
        if (!isDateTimeNumberChar(codePoint)) {
            return std::nullopt;
        }
        return static_cast<char>(codePoint);
    case KeyRule::Report:
        if (!isDateTimeNumberChar(codePoint) && codePoint != U'+') {
            return std::nullopt;
        }
        return static_cast<char>(codePoint);
    case KeyRule::Digits:
        if (codePoint < U'0' || codePoint > U'9') {
            return std::nullopt;
        }
        return static_cast<char>(codePoint);
    case KeyRule::UpperCase:
    case KeyRule::Unchanged:
        break;
    }
    const char byte = cp1252FromCodePoint(codePoint);
    if (byte == '\0') {
        return std::nullopt;
    }
    return keyRule(field) == KeyRule::UpperCase ? toUpperCp1252(byte) : byte;
}

std::string filterText(int field, std::u32string_view text)
{
    std::string result;
    const std::size_t width = entryFieldWidth(field);
    for (char32_t c : text) {
        if (result.size() >= width) {
            break;
        }
        if (auto byte = filterKey(field, c)) {
            result.push_back(*byte);
        }
    }
    return result;
}

std::string filterCp1252(int field, std::string_view cp1252)
{
    std::u32string codePoints;
    codePoints.reserve(cp1252.size());
    for (char c : cp1252) {
        codePoints.push_back(codePointFromCp1252(c));
    }
    return filterText(field, codePoints);
}

std::string capitalizeWords(std::string_view cp1252)
{
    std::string result;
    result.reserve(cp1252.size());
    bool wordStart = true;
    for (char c : cp1252) {
        result.push_back(wordStart ? toUpperCp1252(c) : toLowerCp1252(c));
        wordStart = isWordSeparator(c);
    }
    return result;
}

int colourStateOnFocusLost(int field, bool modifyMode, int pendingChanges)
{
    constexpr int kWindow = 1, kLightYellow = 3, kLightRed = 4;
    if (modifyMode && pendingChanges > 0) {
        return kLightRed;
    }
    return field == 1 ? kLightYellow : kWindow;
}

std::string entryRecordCaption(std::int32_t recordNo)
{
    return " Charger fiche N\xB0 " + std::to_string(recordNo);
}

std::string displayRecordCaption(std::int32_t recordNo)
{
    return " Fiche N\xB0" + std::to_string(recordNo) + " ";
}

} // namespace ondelog
