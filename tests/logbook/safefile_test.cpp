// SPDX-License-Identifier: GPL-3.0-or-later
#include "logbook/safefile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using namespace ondelog;

namespace {

std::string slurp(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

class SafeFileTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("safefile-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        m_target = m_dir / "F1ABC.Ham";
        std::ofstream(m_target, std::ios::binary) << "old";
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::size_t entries() const
    {
        return std::distance(fs::directory_iterator(m_dir), fs::directory_iterator());
    }

    fs::path m_dir;
    fs::path m_target;
};

} // namespace

TEST_F(SafeFileTest, TargetChangesOnlyAtCommitAndNoTemporaryIsLeft)
{
    {
        SafeFileWriter writer(m_target);
        ASSERT_EQ(writer.open(), LogStatus::Ok);
        ASSERT_EQ(writer.write("new content", 11), LogStatus::Ok);
        EXPECT_EQ(slurp(m_target), "old");
        EXPECT_EQ(writer.temporaryPath().parent_path(), m_dir);
        ASSERT_EQ(writer.commit(), LogStatus::Ok);
    }
    EXPECT_EQ(slurp(m_target), "new content");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(SafeFileTest, AbandonedRewriteLeavesTargetAsBefore)
{
    {
        SafeFileWriter writer(m_target);
        ASSERT_EQ(writer.open(), LogStatus::Ok);
        ASSERT_EQ(writer.write("half", 4), LogStatus::Ok);
    }
    EXPECT_EQ(slurp(m_target), "old");
    EXPECT_EQ(entries(), 1u);
}

TEST_F(SafeFileTest, KeepsPermissionsAndReportsMissingFolder)
{
    fs::permissions(m_target,
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    SafeFileWriter writer(m_target);
    ASSERT_EQ(writer.open(), LogStatus::Ok);
    ASSERT_EQ(writer.commit(), LogStatus::Ok);
    EXPECT_EQ(fs::status(m_target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    SafeFileWriter nowhere(m_dir / "absent" / "X.Ham");
    EXPECT_EQ(nowhere.open(), LogStatus::NotFound);
    EXPECT_EQ(nowhere.write("x", 1), LogStatus::NotOpen);
}

TEST_F(SafeFileTest, LeftoversOfKilledRewritesGoAndNothingElse)
{
    const std::vector<std::string> leftovers = {".F1ABC.Ham.a1B2c3", ".F1ABC.Ham.XXXXXX"};
    const std::vector<std::string> kept = {
        "F1ABC.Ham.bak",     ".F1ABC.Ham.abc", ".F1ABC.Ham.abcdefg", ".F1ABC.Ham.ab-def",
        ".F6XYZ.Ham.a1B2c3", ".Ondelog.lock",  "F1ABC.Ham~"};
    for (const auto &name : leftovers)
        std::ofstream(m_dir / name) << "x";
    for (const auto &name : kept)
        std::ofstream(m_dir / name) << "x";
    fs::create_directory(m_dir / ".F1ABC.Ham.folder");

    EXPECT_EQ(SafeFileWriter::removeLeftovers(m_target), 2);
    for (const auto &name : leftovers)
        EXPECT_FALSE(fs::exists(m_dir / name)) << name;
    for (const auto &name : kept)
        EXPECT_TRUE(fs::exists(m_dir / name)) << name;
    EXPECT_EQ(slurp(m_target), "old");

    // In a folder of this program's own, those of every file go, and only them.
    fs::create_symlink(m_dir / "F1ABC.Ham.bak", m_dir / ".lien.Ham.a1B2c3");
    EXPECT_EQ(SafeFileWriter::removeLeftoversIn(m_dir), 1);
    EXPECT_FALSE(fs::exists(m_dir / ".F6XYZ.Ham.a1B2c3"));
    for (const auto &name : kept)
        EXPECT_EQ(fs::exists(m_dir / name), name != ".F6XYZ.Ham.a1B2c3") << name;
    EXPECT_TRUE(fs::is_symlink(m_dir / ".lien.Ham.a1B2c3"));
    EXPECT_TRUE(fs::is_directory(m_dir / ".F1ABC.Ham.folder"));
}

TEST_F(SafeFileTest, ALinkedTargetIsRewrittenWhereItLies)
{
    const fs::path elsewhere = m_dir / "elsewhere";
    fs::create_directory(elsewhere);
    const fs::path real = elsewhere / "F1ABC.Ham";
    fs::rename(m_target, real);
    fs::create_symlink(real, m_target);

    SafeFileWriter writer(m_target);
    ASSERT_EQ(writer.open(), LogStatus::Ok);
    EXPECT_EQ(writer.temporaryPath().parent_path(), elsewhere);
    ASSERT_EQ(writer.write("new", 3), LogStatus::Ok);
    ASSERT_EQ(writer.commit(), LogStatus::Ok);
    EXPECT_TRUE(fs::is_symlink(m_target));
    EXPECT_EQ(slurp(real), "new");

    // What a killed rewrite leaves is found where it was written.
    std::ofstream(elsewhere / ".F1ABC.Ham.a1B2c3") << "x";
    EXPECT_EQ(SafeFileWriter::removeLeftovers(m_target), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(elsewhere), fs::directory_iterator()), 1);
}
