// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The command line every program of the suite understands, checked before
// anything needs a display: "--help" and "--version" answer from a terminal
// without one, and a mistyped option is said in French instead of ignored.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ondelog {

/** One option of a program, written "--name VALUE" or "--name=VALUE". */
struct CommandLineOption
{
    std::string name;      ///< without its dashes: "root"
    std::string valueName; ///< "DOSSIER"; empty for an option without a value
    std::string help;      ///< one line of French
};

/** A job a program does without its window: "ondelog exporter FICHIER". */
struct CommandDescription
{
    std::string name;      ///< "exporter"
    std::string alias;     ///< the English word also understood: "export"
    std::string arguments; ///< as shown in the help: "FICHIER.adi|.adx", "[DOSSIER]"
    int minArguments = 0;
    int maxArguments = 0;
    std::string help; ///< one line of French
};

/** What a program says of itself in "--help" and "--version". */
struct ProgramDescription
{
    std::string program; ///< the executable's name: "ondelog"
    std::string title;   ///< "Ondelog"
    std::string summary; ///< one line of French
    std::string version;
    std::vector<CommandLineOption> options;
    std::vector<CommandDescription> commands = {};
    std::string exitStatuses = {}; ///< the end of the help: what each exit status means
};

/** What the program does with its command line. */
struct CommandLineVerdict
{
    bool run = true;     ///< go on and show the window
    int exitCode = 0;    ///< when not running: 0 for --help and --version, 2 for a mistake
    std::string output;  ///< for standard output (help, version)
    std::string error;   ///< for standard error (the mistake, and where to find help)
    std::string command; ///< the command asked for, by its name (not its alias); empty for none
    std::vector<std::string> arguments; ///< the command's arguments
    /** The program's own options given with a value, in the order given. */
    std::vector<std::pair<std::string, std::string>> values = {};
    /** The program's own options given without a value. */
    std::vector<std::string> flags = {};

    /** The value of `--name`, the last one given; nullopt when absent. */
    std::optional<std::string> value(std::string_view name) const;
    bool hasFlag(std::string_view name) const;
};

/**
 * Checks the arguments (argv[0] is the program's path). The program's own
 * options, "--help"/"-h" and "--version"/"-v" are understood; so are the
 * options Qt takes for itself ("-platform offscreen", "-style fusion"...), which
 * are left to it. The first word that is no option names a command (by its name
 * or its alias), the next ones are its arguments; after "--" every word is one.
 * Anything else, an option lacking its value, an unknown command, a command
 * lacking an argument or a stray word stops the program with a French message
 * and status 2.
 */
CommandLineVerdict checkCommandLine(const ProgramDescription &program, int argc,
                                    const char *const *argv);

/** The "--help" text. */
std::string helpText(const ProgramDescription &program);

} // namespace ondelog
