#pragma once
// The command line every program of the suite understands, checked before
// anything needs a display: "--help" and "--version" answer from a terminal
// without one, and a mistyped option is said in French instead of ignored.

#include <string>
#include <vector>

namespace ondelog {

/** One option of a program, written "--name VALUE" or "--name=VALUE". */
struct CommandLineOption
{
    std::string name;      ///< without its dashes: "root"
    std::string valueName; ///< "DOSSIER"; empty for an option without a value
    std::string help;      ///< one line of French
};

/** What a program says of itself in "--help" and "--version". */
struct ProgramDescription
{
    std::string program; ///< the executable's name: "ondelog"
    std::string title;   ///< "Ondelog"
    std::string summary; ///< one line of French
    std::string version;
    std::vector<CommandLineOption> options;
};

/** What the program does with its command line. */
struct CommandLineVerdict
{
    bool run = true;    ///< go on and show the window
    int exitCode = 0;   ///< when not running: 0 for --help and --version, 2 for a mistake
    std::string output; ///< for standard output (help, version)
    std::string error;  ///< for standard error (the mistake, and where to find help)
};

/**
 * Checks the arguments (argv[0] is the program's path). The program's own
 * options, "--help"/"-h" and "--version"/"-v" are understood; so are the
 * options Qt takes for itself ("-platform offscreen", "-style fusion"...), which
 * are left to it. Anything else, an option lacking its value, or a stray word
 * stops the program with a French message and status 2.
 */
CommandLineVerdict checkCommandLine(const ProgramDescription &program, int argc,
                                    const char *const *argv);

/** The "--help" text. */
std::string helpText(const ProgramDescription &program);

} // namespace ondelog
