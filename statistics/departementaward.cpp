// SPDX-License-Identifier: GPL-3.0-or-later
#include "statistics/departementaward.h"

#include "geo/departements.h"
#include "text/text.h"

#include <algorithm>
#include <array>

namespace ondelog {

namespace {

// The 96 codes in the order of the département table: Corsica's two halves
// where the single Corsica of old stands, between 19 and 21.
constexpr std::array<std::string_view, kAwardDepartements> kAwardCodes = [] {
    std::array<std::string_view, kAwardDepartements> codes{};
    constexpr std::string_view numbers = "01020304050607080910111213141516171819"
                                         "2A2B"
                                         "2122232425262728293031323334353637383940"
                                         "4142434445464748495051525354555657585960"
                                         "6162636465666768697071727374757677787980"
                                         "818283848586878889909192939495";
    for (std::size_t i = 0; i < codes.size(); ++i)
        codes[i] = numbers.substr(2 * i, 2);
    return codes;
}();

} // namespace

std::string_view awardCode(int index)
{
    return kAwardCodes.at(static_cast<std::size_t>(index));
}

std::string awardName(int index)
{
    // The table's rows start with a three-character code: "001", "02A".
    std::string rowCode = "0";
    rowCode += awardCode(index);
    for (const std::string &row : deptTable())
        if (row.compare(0, 3, rowCode) == 0)
            return trim(std::string_view(row).substr(3));
    return {};
}

DepartementReading readDepartement(std::string_view field)
{
    using Kind = DepartementReading::Kind;
    std::string code = toUpperCp1252(trim(field));
    if (code.empty())
        return {};
    if (code.size() == 3 && code[0] == '0' && !isDigit(code[2]))
        code.erase(0, 1); // "02A" as the table writes it
    if (code == "2A" || code == "2B")
        return {Kind::Departement, code == "2A" ? 19 : 20};
    if (code.size() > 3 || !std::all_of(code.begin(), code.end(), isDigit))
        return {Kind::Unknown};
    const int number = std::stoi(code);
    if (number == 20)
        return {Kind::Corsica};
    if (number >= 971 && number <= 974)
        return {Kind::Overseas};
    if (number < 1 || number > 95)
        return {Kind::Unknown};
    // 01..19 come first, then 2A and 2B take the place of 20.
    return {Kind::Departement, number < 20 ? number - 1 : number};
}

} // namespace ondelog
