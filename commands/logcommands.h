// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Ondelog's commands without a window, for scripts and cron: export, import,
// backup and check of the station's own log. Each does what the window's menu
// item does, with the same core functions, so it writes the same files; what
// the window would say in a message box is returned as French lines for the
// terminal, with an exit status a script can test. The caller holds the
// program folder's lock (ui/foldercommand.h): this layer has no Qt.

#include "setup/commandline.h"

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace ondelog {

/** Exit statuses of the commands, the same for every program of the suite. */
enum ExitStatus : int
{
    kExitOk = 0,         ///< done (a check: the log is whole)
    kExitFailed = 1,     ///< not done, nothing changed (a check: the log is damaged)
    kExitUsage = 2,      ///< a mistake on the command line
    kExitFolderBusy = 3, ///< an Ondelog already works on the folder
};

/** "exporter", "importer", "sauvegarder", "verifier", with their English aliases. */
const std::vector<CommandDescription> &logCommands();
/** The end of "ondelog --help": what each exit status means. */
std::string logCommandExitStatuses();
/** True for the commands that write the log itself: they are refused when the
 *  program folder's lock cannot be taken for any reason. */
bool commandWritesLog(const std::string &command);

struct CommandContext
{
    std::filesystem::path programFolder;
    std::time_t now = 0;             ///< the local clock: backups are stamped with it
    std::string createdTimestampUtc; ///< "YYYYMMDD HHMMSS" for an ADIF file's header
};

struct CommandOutcome
{
    int status = kExitOk;
    std::string output; ///< French lines for standard output (UTF-8)
    std::string error;  ///< French lines for standard error (UTF-8)
};

/** Runs `command` (a name of logCommands(), as checkCommandLine() returns it)
 *  on the own log of `context.programFolder`. Relative paths among `arguments`
 *  are taken from the current folder. */
CommandOutcome runLogCommand(const std::string &command, const std::vector<std::string> &arguments,
                             const CommandContext &context);

} // namespace ondelog
