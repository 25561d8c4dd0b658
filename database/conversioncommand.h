// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "versabase --log F6XYZ.Ham --base F6XYZ.mdb": the conversion of Versabase's
// window without the window. The same rules (a log with its end marker, a
// database named like the log, letter case included) and the same functions,
// so the database holds the same rows as after Fabribase and Versabase.

#include "commands/logcommands.h"

#include <filesystem>

namespace ondelog {

/** Copies the contacts of `log` into the database `base`, created first when
 *  it is missing, or built anew (replacing it once complete) when `fresh`;
 *  else the rows go after those already there, as the window adds them. */
CommandOutcome convertLogCommand(const std::filesystem::path &log,
                                 const std::filesystem::path &base, bool fresh);

/** The end of "versabase --help": what each exit status means. */
std::string conversionExitStatuses();

} // namespace ondelog
