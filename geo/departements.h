// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// French départements: the code the operator types into DEPT and its name.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ondelog {

/** Fills the table once (later calls do nothing). The lookups fill it themselves too. */
void fillDeptTable();

/** The rows, index 0 empty then 101 rows "001Ain" ... (Windows-1252). */
const std::vector<std::string> &deptTable();

/** Name of a département (Windows-1252): "" for an empty code, nothing when no row
 *  matches. Codes compare by numeric value, first match wins ("075" -> Ville-de-Paris,
 *  "2A" -> Aisne, "20" -> Corse, "5" -> " Hautes-Alpes" with its blank). */
std::optional<std::string> deptName(std::string_view code);

} // namespace ondelog
