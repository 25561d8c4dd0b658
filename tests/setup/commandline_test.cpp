#include "setup/commandline.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ondelog;

namespace {

const ProgramDescription kProgram{"ondelog",
                                  "Ondelog",
                                  "cahier de trafic",
                                  "1.2.3",
                                  {{"root", "DOSSIER", "racine des données"}, {"plain", "", "x"}}};

CommandLineVerdict check(std::vector<const char *> args)
{
    args.insert(args.begin(), "/usr/bin/ondelog");
    return checkCommandLine(kProgram, static_cast<int>(args.size()), args.data());
}

} // namespace

TEST(CommandLine, VerdictsForEachKindOfArgument)
{
    const struct
    {
        std::vector<const char *> args;
        bool run;
        int exitCode;
        const char *inOutput;
        const char *inError;
    } cases[] = {
        {{}, true, 0, "", ""},
        {{"--root", "/tmp/x"}, true, 0, "", ""},
        {{"--root=/tmp/x", "--plain"}, true, 0, "", ""},
        // Qt's own options are left to Qt, with their values
        {{"-platform", "offscreen", "-style=fusion", "-reverse"}, true, 0, "", ""},
        {{"--platform", "xcb"}, true, 0, "", ""},
        {{"--version"}, false, 0, "Ondelog 1.2.3", ""},
        {{"-v"}, false, 0, "Ondelog 1.2.3", ""},
        {{"--root", "/x", "--help"}, false, 0, "Utilisation : ondelog", ""},
        {{"--bogus"}, false, 2, "", "option inconnue « --bogus »"},
        {{"-x"}, false, 2, "", "option inconnue « -x »"},
        {{"-root", "/x"}, false, 2, "", "option inconnue"}, // our options take two dashes
        {{"--root"}, false, 2, "", "attend une valeur"},
        {{"--plain=1"}, false, 2, "", "ne prend pas de valeur"},
        {{"log.Ham"}, false, 2, "", "argument inattendu « log.Ham »"},
    };
    for (const auto &c : cases) {
        const CommandLineVerdict v = check(c.args);
        const std::string where = c.args.empty() ? std::string("(none)") : c.args.front();
        EXPECT_EQ(v.run, c.run) << where;
        EXPECT_EQ(v.exitCode, c.exitCode) << where;
        EXPECT_NE(v.output.find(c.inOutput), std::string::npos) << where << ": " << v.output;
        EXPECT_NE(v.error.find(c.inError), std::string::npos) << where << ": " << v.error;
        if (c.exitCode == 2) {
            EXPECT_NE(v.error.find("ondelog --help"), std::string::npos) << where;
        }
    }
}

TEST(CommandLine, HelpListsEveryOptionInColumns)
{
    const std::string help = helpText(kProgram);
    EXPECT_EQ(help.rfind("Utilisation : ondelog [OPTIONS]\nOndelog — cahier de trafic\n", 0), 0u);
    EXPECT_NE(help.find("  --root DOSSIER   racine des données\n"), std::string::npos) << help;
    EXPECT_NE(help.find("  -v, --version    affiche la version"), std::string::npos) << help;
}
