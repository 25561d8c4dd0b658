// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every command without a window does around its work: hold the program
// folder's lock exactly as a window of Ondelog does, so that a script never
// writes under an open window (nor a window opens while a script writes), and
// print the outcome on the terminal. Needs a QCoreApplication, never a
// QApplication: it runs where there is no display.

#include "commands/logcommands.h"

#include <filesystem>
#include <functional>

namespace ondelog {

/**
 * Runs `work` holding the lock of `programFolder`, prints its outcome and
 * returns its exit status. A folder held by another Ondelog refuses the work
 * (kExitFolderBusy). A lock that cannot be written (read-only medium, no
 * right) refuses it only when `writesLog`: reading a log on a read-only medium
 * needs no lock, as no window can write there either. A folder that does not
 * exist is not created, and needs no lock.
 */
int runOnProgramFolder(const std::filesystem::path &programFolder, bool writesLog,
                       const std::function<CommandOutcome()> &work);

/** Prints an outcome's lines and returns its status. */
int printOutcome(const CommandOutcome &outcome);

} // namespace ondelog
