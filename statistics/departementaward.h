// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The French départements award: the 96 départements of metropolitan France
// (01 to 95, Corsica as 2A and 2B), named as the département table names
// them, and what a contact's département field means for the award.

#include <string>
#include <string_view>

namespace ondelog {

/** Number of départements of metropolitan France in the award. */
inline constexpr int kAwardDepartements = 96;

/** Code of award département `index` (0..95): "01" .. "19", "2A", "2B", "21" .. "95". */
std::string_view awardCode(int index);
/** Its name as the département table gives it (Windows-1252). */
std::string awardName(int index);

/** What a contact's département field means for the award. */
struct DepartementReading
{
    enum class Kind
    {
        None,        ///< empty: not a French station
        Departement, ///< one of the 96; `index` says which
        Corsica,     ///< "20": Corsica, without its half
        Overseas,    ///< 971 to 974: not in the award
        Unknown,     ///< anything else
    };
    Kind kind = Kind::None;
    int index = -1;
};
/** Reads a département field in every form the entry keeps ("1", "01", "001"
 *  are the same) and in the Corsican codes "2A" and "2B" ("02A", any case). */
DepartementReading readDepartement(std::string_view field);

} // namespace ondelog
