// SPDX-License-Identifier: GPL-3.0-or-later
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

TEST(CommandLine, CommandsTheirArgumentsAndOptionValues)
{
    ProgramDescription program = kProgram;
    program.commands = {{"exporter", "export", "FICHIER", 1, 1, "écrit"},
                        {"sauvegarder", "backup", "[DOSSIER]", 0, 1, "sauve"}};
    auto run = [&program](std::vector<const char *> args) {
        args.insert(args.begin(), "ondelog");
        return checkCommandLine(program, static_cast<int>(args.size()), args.data());
    };
    const struct
    {
        std::vector<const char *> args;
        int exitCode;
        const char *command;
        std::vector<std::string> arguments;
        const char *inError;
    } cases[] = {
        {{}, 0, "", {}, ""},
        {{"exporter", "log.adi"}, 0, "exporter", {"log.adi"}, ""},
        {{"export", "--root", "/r", "log.adi"}, 0, "exporter", {"log.adi"}, ""},
        {{"--root=/r", "backup"}, 0, "sauvegarder", {}, ""},
        {{"sauvegarder", "--", "-clé"}, 0, "sauvegarder", {"-clé"}, ""},
        {{"exporter"}, 2, "", {}, "la commande « exporter » attend FICHIER"},
        {{"sauvegarder", "a", "b"}, 2, "", {}, "argument inattendu « b »"},
        {{"Exporter", "x"}, 2, "", {}, "commande inconnue « Exporter »"},
        {{"exporter", "x", "--bogus"}, 2, "", {}, "option inconnue"},
    };
    for (const auto &c : cases) {
        const CommandLineVerdict v = run(c.args);
        const std::string where = c.args.empty() ? std::string("(none)") : c.args.front();
        EXPECT_EQ(v.exitCode, c.exitCode) << where;
        EXPECT_EQ(v.command, c.command) << where;
        EXPECT_EQ(v.arguments, c.arguments) << where;
        EXPECT_NE(v.error.find(c.inError), std::string::npos) << where << ": " << v.error;
    }

    const CommandLineVerdict values = run({"--root", "/a", "--plain", "--root=/b"});
    EXPECT_EQ(values.value("root"), "/b");
    EXPECT_FALSE(values.value("plain"));
    EXPECT_TRUE(values.hasFlag("plain"));
    EXPECT_FALSE(values.hasFlag("root"));

    const std::string help = helpText(program);
    EXPECT_EQ(help.rfind("Utilisation : ondelog [OPTIONS] [COMMANDE]\n", 0), 0u) << help;
    EXPECT_NE(help.find("Commandes (sans fenêtre) :\n  exporter FICHIER        écrit (export)\n"),
              std::string::npos)
        << help;
}
