// Companion programs are found beside Ondelog's executable, then in the program folder.

#include "logbook/logfixture.h"
#include "maintenance/companions.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace ondelog;
using namespace ondelog::test;

TEST(Companions, FoundBesideTheExecutableThenInTheProgramFolder)
{
    enum Place
    {
        None,
        Program, // an executable file
        Data,    // a file without execute permission
        Folder,  // a folder of that name
    };
    struct Case
    {
        const char *what;
        Place besideExecutable, inProgramFolder;
        const char *expected; // "bin", "Ondelog" or "" (not found)
    };
    const Case cases[] = {
        {"beside the executable", Program, None, "bin"},
        {"in the program folder", None, Program, "Ondelog"},
        {"both: the executable's folder wins", Program, Program, "bin"},
        {"nowhere", None, None, ""},
        {"a file that cannot run is passed over", Data, Program, "Ondelog"},
        {"a folder of that name is passed over", Folder, None, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const auto bin = dir.path() / "bin";
        const auto programFolder = dir.path() / "Ondelog";
        for (const auto &[folder, place] :
             {std::pair{bin, c.besideExecutable}, std::pair{programFolder, c.inProgramFolder}}) {
            std::filesystem::create_directories(folder);
            const auto file = folder / "horalink";
            if (place == Program || place == Data) {
                writeBytes(file, "#!/bin/sh\n");
                ::chmod(file.c_str(), place == Program ? 0755 : 0644);
            } else if (place == Folder) {
                std::filesystem::create_directory(file);
            }
        }
        const auto found = findCompanion(kHoralinkProgram, bin, programFolder);
        if (*c.expected == '\0')
            EXPECT_FALSE(found);
        else
            EXPECT_EQ(found, dir.path() / c.expected / "horalink");
    }
}

TEST(Companions, CandidatesAreTheTwoFoldersOnce)
{
    EXPECT_EQ(
        companionCandidates("versabase", "/opt/bin", "/home/yves/Ondelog"),
        (std::vector<std::filesystem::path>{"/opt/bin/versabase", "/home/yves/Ondelog/versabase"}));
    EXPECT_EQ(companionCandidates("versabase", "/opt/bin", "/opt/bin"),
              (std::vector<std::filesystem::path>{"/opt/bin/versabase"}));
}
