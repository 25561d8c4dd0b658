// SPDX-License-Identifier: GPL-3.0-or-later
// The commands without a window, run in sequence on a station's folder: what
// each says, its exit status, and what it leaves on disk. That the files are
// the windows' own is tested beside the windows (tests/ui/tst_commands.cpp).

#include "commands/logcommands.h"

#include "logbook/logfile.h"
#include "logbook/logfixture.h"
#include "maintenance/autobackup.h"
#include "setup/config.h"
#include "setup/settings.h"

#include <gtest/gtest.h>

#include <set>

#include <sys/stat.h>

using namespace ondelog;
using namespace ondelog::test;

namespace {

class Station
{
  public:
    explicit Station(int contacts)
    {
        std::filesystem::create_directories(folder());
        writeConfiguration(folder() / kConfigFileName, makeConfiguration("F6XYZ", "JN18EU"));
        writeLog(log(), contacts);
    }
    std::filesystem::path folder() const { return m_dir.path() / "Ondelog"; }
    std::filesystem::path log() const { return folder() / "F6XYZ.Ham"; }
    std::filesystem::path file(const std::string &name) const { return m_dir.file(name); }

    CommandOutcome run(const std::string &command, std::vector<std::string> arguments = {})
    {
        const CommandContext context{folder(), m_now, "20240314 174207"};
        return runLogCommand(command, arguments, context);
    }
    void passDays(int days) { m_now += days * 24 * 60 * 60; }

  private:
    TempDir m_dir;
    SkipDiskSyncs m_fast;
    std::time_t m_now = epochSeconds({2024, 3, 14, 18, 42, 7});
};

std::set<std::string> namesIn(const std::filesystem::path &folder)
{
    std::set<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

} // namespace

TEST(LogCommands, CheckSaysWhetherTheLogIsWhole)
{
    const struct
    {
        const char *what;
        std::string tail; // bytes after 3 contacts and the end marker ("cut" removes it)
        int status;
        const char *says;
    } cases[] = {
        {"whole", "", kExitOk, "est entier : 3 contacts."},
        {"bytes left after a crash", "abc", kExitFailed, "incomplète (3 octets au lieu de 165)"},
        {"no end marker", "cut", kExitFailed, "sans la fiche de fin"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        Station station(3);
        std::string bytes = fileBytes(station.log());
        if (c.tail == "cut")
            bytes.resize(3 * kRecordSize);
        else
            bytes += c.tail;
        writeBytes(station.log(), bytes);
        const CommandOutcome out = station.run("verifier");
        EXPECT_EQ(out.status, c.status);
        EXPECT_NE((out.output + out.error).find(c.says), std::string::npos)
            << out.output << out.error;
        EXPECT_TRUE(fileBytes(station.log()) == bytes); // a check never repairs
    }
}

TEST(LogCommands, WithoutAStationNothingIsDone)
{
    Station station(2);
    writeBytes(station.folder() / kConfigFileName, "\"F6XYZ\"\r\n");
    CommandOutcome out = station.run("sauvegarder");
    EXPECT_EQ(out.status, kExitFailed);
    EXPECT_NE(out.error.find("configuration"), std::string::npos) << out.error;

    std::filesystem::remove(station.folder() / kConfigFileName);
    out = station.run("exporter", {station.file("x.adi").string()});
    EXPECT_EQ(out.status, kExitFailed);
    EXPECT_NE(out.error.find("Aucune station"), std::string::npos) << out.error;
    EXPECT_EQ(namesIn(station.folder()), std::set<std::string>{"F6XYZ.Ham"});
    EXPECT_FALSE(std::filesystem::exists(station.file("x.adi")));
}

TEST(LogCommands, ExportThenImportGivesBackTheSameLog)
{
    Station station(40);
    const std::string log = fileBytes(station.log());

    // A name without extension gets ".adi", as the window's dialog gives it.
    CommandOutcome out = station.run("exporter", {station.file("journal").string()});
    ASSERT_EQ(out.status, kExitOk) << out.error;
    EXPECT_EQ(out.output, "40 contacts exportés dans « journal.adi ».\n");
    const std::string adi = fileBytes(station.file("journal.adi"));
    EXPECT_NE(adi.find("<CREATED_TIMESTAMP:15>20240314 174207"), std::string::npos);
    EXPECT_NE(adi.find("<STATION_CALLSIGN:5>F6XYZ"), std::string::npos);

    out = station.run("exporter", {station.log().string()});
    EXPECT_EQ(out.status, kExitFailed);
    EXPECT_NE(out.error.find("le log lui-même"), std::string::npos);

    // Everything is already in the log: nothing is added, the log stays as it is.
    out = station.run("importer", {station.file("journal.adi").string()});
    ASSERT_EQ(out.status, kExitOk) << out.error;
    EXPECT_NE(out.output.find("0 contact ajouté au log."), std::string::npos) << out.output;
    EXPECT_NE(out.output.find("déjà dans le log : 40"), std::string::npos) << out.output;
    EXPECT_TRUE(fileBytes(station.log()) == log);

    // Into an empty log, an ADX export (which keeps the accents) gives back the log.
    ASSERT_EQ(station.run("exporter", {station.file("journal.adx").string()}).status, kExitOk);
    writeLog(station.log(), 0);
    out = station.run("importer", {station.file("journal.adx").string()});
    ASSERT_EQ(out.status, kExitOk) << out.error;
    EXPECT_TRUE(fileBytes(station.log()) == log);

    const struct
    {
        std::string path;
        const char *says;
    } refused[] = {
        {station.file("absent.adi").string(), "introuvable"},
        {station.file("tube.adi").string(), "un tube nommé"},
        {"/dev/zero", "un tube nommé"},
    };
    ASSERT_EQ(mkfifo(refused[1].path.c_str(), 0600), 0);
    for (const auto &r : refused) {
        SCOPED_TRACE(r.path);
        out = station.run("importer", {r.path});
        EXPECT_EQ(out.status, kExitFailed);
        EXPECT_NE(out.error.find(r.says), std::string::npos) << out.error;
        EXPECT_TRUE(fileBytes(station.log()) == log);
    }
}

TEST(LogCommands, BackupsKeepTheNumberTheSettingsSay)
{
    Station station(5);
    Settings settings;
    settings.setInt("sauvegarde.copies", 2);
    ASSERT_TRUE(settings.save(settingsPath(station.folder())));
    const auto ridEzav = station.folder() / "RidEzav";

    CommandOutcome out = station.run("sauvegarder");
    ASSERT_EQ(out.status, kExitOk) << out.error;
    EXPECT_EQ(out.output, "Le log est sauvegardé dans " + (ridEzav / "F6XYZ.Ham").string() +
                              " (5 contacts).\n");
    out = station.run("sauvegarder");
    EXPECT_NE(out.output.find("déjà à jour (5 contacts)"), std::string::npos) << out.output;

    for (int contacts = 6; contacts <= 8; ++contacts) {
        station.passDays(1);
        writeLog(station.log(), contacts);
        out = station.run("sauvegarder");
        ASSERT_EQ(out.status, kExitOk) << out.error;
        EXPECT_NE(out.output.find("la précédente devient F6XYZ_2024-03-"), std::string::npos)
            << out.output;
    }
    const std::set<std::string> kept = namesIn(ridEzav);
    EXPECT_EQ(kept, (std::set<std::string>{"F6XYZ.Ham", "F6XYZ_2024-03-16_184207.Ham"}));
    EXPECT_TRUE(fileBytes(ridEzav / "F6XYZ.Ham") == fileBytes(station.log()));

    // Into another folder, for a medium a script mounts.
    out = station.run("sauvegarder", {station.file("clé").string()});
    ASSERT_EQ(out.status, kExitOk) << out.error;
    EXPECT_TRUE(fileBytes(station.file("clé") / "F6XYZ.Ham") == fileBytes(station.log()));

    writeBytes(station.file("fichier"), "x");
    out = station.run("sauvegarder", {station.file("fichier").string()});
    EXPECT_EQ(out.status, kExitFailed);
    EXPECT_NE(out.error.find("n'a pas été faite"), std::string::npos) << out.error;
}
