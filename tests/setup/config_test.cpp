// SPDX-License-Identifier: GPL-3.0-or-later
#include "setup/config.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include <unistd.h>

namespace fs = std::filesystem;
using namespace ondelog;

namespace {

class ConfigFileTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
        m_folder = fs::temp_directory_path() /
                   ("ondelog-config-" + std::to_string(::getpid()) + "-" + info->name());
        fs::remove_all(m_folder);
        fs::create_directories(m_folder);
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::permissions(m_folder, fs::perms::owner_all, ignored);
        fs::remove_all(m_folder, ignored);
    }

    fs::path path(const std::string &name) const { return m_folder / name; }

    fs::path writeBytes(const std::string &bytes, const std::string &name = kConfigFileName) const
    {
        const fs::path file = path(name);
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file;
    }

    static std::string readBytes(const fs::path &file)
    {
        std::ifstream in(file, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    fs::path m_folder;
};

const std::string kGoodLine = "\"F6ABC\",\"F6ABC.Ham\",\"JN18EU\"\r\n";

} // namespace

TEST_F(ConfigFileTest, WritesOneLineAndReadsItBack)
{
    const Configuration config = makeConfiguration(" f6abc ", "JN18EU");
    EXPECT_EQ(config.callSign, "F6ABC");
    EXPECT_EQ(config.logFileName, "F6ABC.Ham");

    const fs::path file = path(kConfigFileName);
    ASSERT_TRUE(writeConfiguration(file, config));
    EXPECT_EQ(readBytes(file), kGoodLine);

    const ConfigReadResult read = readConfiguration(file);
    ASSERT_EQ(read.status, ConfigStatus::Ok);
    EXPECT_EQ(read.config, config);
    EXPECT_FALSE(fs::exists(path(std::string(kConfigFileName) + ".tmp")));
}

TEST_F(ConfigFileTest, LongAndPortableCallSignsKeepTheWholeCallInItemOne)
{
    const fs::path file = path(kConfigFileName);

    ASSERT_TRUE(writeConfiguration(file, makeConfiguration("TM100ANNIV", "JN18EU")));
    EXPECT_EQ(readBytes(file), "\"TM100ANNIV\",\"TM100ANN.Ham\",\"JN18EU\"\r\n");

    ASSERT_TRUE(writeConfiguration(file, makeConfiguration("EA8/F6ABC", "IL18QI")));
    EXPECT_EQ(readBytes(file), "\"EA8/F6ABC\",\"EA8_F6AB.Ham\",\"IL18QI\"\r\n");
    const ConfigReadResult read = readConfiguration(file);
    ASSERT_EQ(read.status, ConfigStatus::Ok);
    EXPECT_EQ(read.config.callSign, "EA8/F6ABC");
    EXPECT_EQ(read.config.logFileName, "EA8_F6AB.Ham");
}

TEST_F(ConfigFileTest, RewritingReplacesTheWholeFile)
{
    const fs::path file = writeBytes("\"TM100ANNIV\",\"TM100ANN.Ham\",\"JN18EU\"\r\nold tail");
    Configuration config = makeConfiguration("F6ABC", "JN18EU");
    config.stationLocator = "JN18EV";
    ASSERT_TRUE(writeConfiguration(file, config));
    EXPECT_EQ(readBytes(file), "\"F6ABC\",\"F6ABC.Ham\",\"JN18EV\"\r\n");
}

TEST_F(ConfigFileTest, RefusedWritesLeaveThePreviousFileAlone)
{
    const fs::path file = writeBytes(kGoodLine);

    Configuration badLocator = makeConfiguration("F6ABC", "JN18E");
    EXPECT_FALSE(writeConfiguration(file, badLocator));
    Configuration quoteInCall = makeConfiguration("F6\"ABC", "JN18EU");
    EXPECT_FALSE(writeConfiguration(file, quoteInCall));
    Configuration escapingName = makeConfiguration("F6ABC", "JN18EU");
    escapingName.logFileName = "../F6ABC.Ham";
    EXPECT_FALSE(writeConfiguration(file, escapingName));
    EXPECT_EQ(readBytes(file), kGoodLine);

    EXPECT_FALSE(writeConfiguration(path("no-such-folder") / kConfigFileName,
                                    makeConfiguration("F6ABC", "JN18EU")));
}

TEST_F(ConfigFileTest, AFailedRenameKeepsTheOldConfiguration)
{
    // A folder in the way of the rename makes the last step fail after the
    // temporary file was written: the caller must hear of it, and nothing of
    // the attempt may stay behind.
    const fs::path file = path(kConfigFileName);
    fs::create_directories(file / "busy");
    EXPECT_FALSE(writeConfiguration(file, makeConfiguration("F6ABC", "JN18EU")));
    EXPECT_TRUE(fs::is_directory(file));
    EXPECT_FALSE(fs::exists(path(std::string(kConfigFileName) + ".tmp")));
}

TEST_F(ConfigFileTest, FindsTheFileWhateverTheCaseOfItsName)
{
    EXPECT_FALSE(findConfigurationFile(m_folder));
    EXPECT_FALSE(findConfigurationFile(path("missing")));

    fs::create_directories(path("rozovo.CFG")); // a folder of that name is not the file
    EXPECT_FALSE(findConfigurationFile(m_folder));

    writeBytes(kGoodLine, "ROZOVO.CFG");
    writeBytes(kGoodLine, "rozovo.cfg");
    writeBytes(kGoodLine, "RozOvo.cfg.bak");
    auto found = findConfigurationFile(m_folder);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->filename(), "ROZOVO.CFG"); // first in name order

    writeBytes(kGoodLine, "RozOvo.cfg");
    found = findConfigurationFile(m_folder);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->filename(), "RozOvo.cfg"); // the name we write wins
}

TEST_F(ConfigFileTest, MissingFilesAndFoldersAreToldApart)
{
    EXPECT_EQ(readConfiguration(path(kConfigFileName)).status, ConfigStatus::Missing);
    fs::create_directories(path("folder.cfg"));
    EXPECT_EQ(readConfiguration(path("folder.cfg")).status, ConfigStatus::ReadFailed);
}

TEST_F(ConfigFileTest, AnUnreadableFileIsAReadFailure)
{
    const fs::path file = writeBytes(kGoodLine);
    fs::permissions(file, fs::perms::none);
    if (std::ifstream(file).is_open())
        GTEST_SKIP() << "permissions are not enforced for this user";
    EXPECT_EQ(readConfiguration(file).status, ConfigStatus::ReadFailed);
}

namespace {

struct ReadCase
{
    const char *name;
    std::string bytes;
    ConfigStatus status;
    Configuration config = {};
};

const Configuration kF6abc{"F6ABC", "F6ABC.Ham", "JN18EU"};

std::vector<ReadCase> readCases()
{
    using S = ConfigStatus;
    const std::string nul(1, '\0');
    return {
        {"canonical", kGoodLine, S::Ok, kF6abc},
        {"no final line end", "\"F6ABC\",\"F6ABC.Ham\",\"JN18EU\"", S::Ok, kF6abc},
        {"LF only", "\"F6ABC\",\"F6ABC.Ham\",\"JN18EU\"\n", S::Ok, kF6abc},
        {"blank lines after", kGoodLine + "\r\n \r\n", S::Ok, kF6abc},
        {"blanks around items", " \"F6ABC\" ,\t\"F6ABC.Ham\" , \"JN18EU\"  \r\n", S::Ok, kF6abc},
        {"blanks inside items", "\" F6ABC \",\" F6ABC.Ham\",\"JN18EU \"\r\n", S::Ok, kF6abc},
        {"call sign in lower case", "\"f6abc\",\"F6ABC.Ham\",\"JN18EU\"", S::Ok, kF6abc},
        {"long locator cut to its field", "\"F6ABC\",\"F6ABC.Ham\",\"JN18EUAB\"", S::Ok, kF6abc},
        {"extension in another case",
         "\"F6ABC\",\"F6ABC.HAM\",\"JN18EU\"",
         S::Ok,
         {"F6ABC", "F6ABC.HAM", "JN18EU"}},
        {"comma inside the call sign",
         "\"F6,ABC\",\"F6ABC.Ham\",\"JN18EU\"",
         S::Ok,
         {"F6,ABC", "F6ABC.Ham", "JN18EU"}},

        {"empty file", "", S::Damaged},
        {"only a line end", "\r\n", S::Damaged},
        {"two items", "\"F6ABC\",\"F6ABC.Ham\"\r\n", S::Damaged},
        {"four items", "\"F6ABC\",\"F6ABC.Ham\",\"JN18EU\",\"x\"\r\n", S::Damaged},
        {"unquoted items", "F6ABC,F6ABC.Ham,JN18EU\r\n", S::Damaged},
        {"unterminated quote", "\"F6ABC\",\"F6ABC.Ham\",\"JN18EU\r\n", S::Damaged},
        {"missing comma", "\"F6ABC\" \"F6ABC.Ham\",\"JN18EU\"", S::Damaged},
        {"text after the items", "\"F6ABC\",\"F6ABC.Ham\",\"JN18EU\"x", S::Damaged},
        {"a second line", kGoodLine + "\"F1XYZ\",\"F1XYZ.Ham\",\"JN18EU\"\r\n", S::Damaged},
        {"short locator", "\"F6ABC\",\"F6ABC.Ham\",\"JN18E\"", S::Damaged},
        {"lower-case locator", "\"F6ABC\",\"F6ABC.Ham\",\"jn18eu\"", S::Damaged},
        {"empty call sign", "\"\",\"F6ABC.Ham\",\"JN18EU\"", S::Damaged},
        {"blank call sign", "\"   \",\"F6ABC.Ham\",\"JN18EU\"", S::Damaged},
        {"control byte in the call sign", "\"F6\tABC\",\"F6ABC.Ham\",\"JN18EU\"", S::Damaged},
        {"NUL in the call sign", "\"F6" + nul + "ABC\",\"F6ABC.Ham\",\"JN18EU\"", S::Damaged},
        {"parent folder", "\"F6ABC\",\"../F6ABC.Ham\",\"JN18EU\"", S::Damaged},
        {"parent folder, backslash", "\"F6ABC\",\"..\\F6ABC.Ham\",\"JN18EU\"", S::Damaged},
        {"absolute path", "\"F6ABC\",\"/etc/F6ABC.Ham\",\"JN18EU\"", S::Damaged},
        {"drive prefix", "\"F6ABC\",\"C:F6ABC.Ham\",\"JN18EU\"", S::Damaged},
        {"double dot", "\"F6ABC\",\"F6..Ham\",\"JN18EU\"", S::Damaged},
        {"other extension", "\"F6ABC\",\"F6ABC.txt\",\"JN18EU\"", S::Damaged},
        {"extension alone", "\"F6ABC\",\".Ham\",\"JN18EU\"", S::Damaged},
        {"empty log name", "\"F6ABC\",\"\",\"JN18EU\"", S::Damaged},
        {"too long to be ours", kGoodLine + std::string(5000, ' '), S::Damaged},
    };
}

} // namespace

TEST_F(ConfigFileTest, ReadsTolerantlyAndReportsDamage)
{
    for (const ReadCase &c : readCases()) {
        SCOPED_TRACE(c.name);
        const ConfigReadResult read = readConfiguration(writeBytes(c.bytes));
        EXPECT_EQ(read.status, c.status);
        if (c.status == ConfigStatus::Ok) {
            EXPECT_EQ(read.config, c.config);
        }
    }
}

TEST_F(ConfigFileTest, AnyBytesReadWithoutCrashAndOkMeansUsable)
{
    // Every prefix of a good file, every single-byte change of it, then random
    // files drawn from the bytes that matter to the parser. Whatever comes back
    // as Ok must be a configuration we would write ourselves.
    std::vector<std::string> inputs;
    for (std::size_t n = 0; n <= kGoodLine.size(); ++n)
        inputs.push_back(kGoodLine.substr(0, n));
    for (std::size_t i = 0; i < kGoodLine.size(); ++i) {
        for (const char c : std::string("\"\r\n,./\\ \0\xff", 11)) {
            std::string mutated = kGoodLine;
            mutated[i] = c;
            inputs.push_back(mutated);
        }
    }
    std::mt19937 random(20240521);
    const std::string alphabet = "\"\",,,\r\n ./\\HamF6ABCJN18EU\x01\xe9";
    for (int i = 0; i < 3000; ++i) {
        std::string bytes(random() % 64, '\0');
        const bool structured = i % 2 == 0;
        for (char &c : bytes)
            c = structured ? alphabet[random() % alphabet.size()] : static_cast<char>(random());
        inputs.push_back(bytes);
    }

    int okCount = 0;
    for (const std::string &bytes : inputs) {
        const ConfigReadResult read = readConfiguration(writeBytes(bytes));
        ASSERT_TRUE(read.status == ConfigStatus::Ok || read.status == ConfigStatus::Damaged);
        if (read.status != ConfigStatus::Ok)
            continue;
        ++okCount;
        ASSERT_EQ(checkConfiguration(read.config), ConfigStatus::Ok);
        const fs::path again = path("again.cfg");
        ASSERT_TRUE(writeConfiguration(again, read.config));
        ASSERT_EQ(readConfiguration(again).config, read.config);
    }
    // The whole line with or without its line end, and the harmless mutations
    // (a blank or a line end after the last quote), must read.
    EXPECT_GE(okCount, 3);
}

TEST(LogFileName, IsTheFirstEightCharactersMadeSafe)
{
    const struct
    {
        const char *call;
        const char *name;
    } cases[] = {
        {"F6ABC", "F6ABC.Ham"},
        {"  F6ABC ", "F6ABC.Ham"},
        {"TM100ANNIV", "TM100ANN.Ham"},
        {"F6ABC/P", "F6ABC_P.Ham"},
        {"A\\B:C*D?E", "A_B_C_D_.Ham"},
        {"\"<>|", "____.Ham"},
        {"F6.AB", "F6_AB.Ham"},
        {"..", "__.Ham"},
        {"F6\xc9T\xc9", "F6\xc9T\xc9.Ham"}, // accented letters are fine in a file name
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.call);
        const std::string name = logFileNameFor(c.call);
        EXPECT_EQ(name, c.name);
        EXPECT_TRUE(isPlainLogFileName(name));
    }
}
