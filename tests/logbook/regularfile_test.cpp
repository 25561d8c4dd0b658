// SPDX-License-Identifier: GPL-3.0-or-later
// Files a user names may be pipes, devices or folders: each is refused without
// being opened for real, and without blocking. Every core operation that opens
// such a file is run in a child process with an alarm, so that one that blocks
// fails instead of hanging the tests.

#include "interchange/adiftransfer.h"
#include "logbook/recordreader.h"
#include "logbook/regularfile.h"
#include "maintenance/logcopy.h"
#include "maintenance/merge.h"
#include "printing/labelsheet.h"
#include "setup/config.h"
#include "tests/logbook/logfixture.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace ondelog::test {
namespace {

constexpr const char *kLocator = "JN18EU";

/** Runs `check` in a child process that an alarm ends after two seconds:
 *  true when it returned true in time. */
bool holdsWithinTwoSeconds(const std::function<bool()> &check)
{
    const pid_t child = ::fork();
    if (child == 0) {
        ::alarm(2);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

class RegularFileTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ASSERT_EQ(::mkfifo(m_pipe.c_str(), 0644), 0);
        writeLog(m_log, 3);
        m_before = fileBytes(m_log);
    }

    TempDir m_dir;
    std::filesystem::path m_pipe = m_dir.file("pipe");
    std::filesystem::path m_log = m_dir.file("F6ABC.Ham");
    std::string m_before;
};

TEST_F(RegularFileTest, OpensOnlyRegularFiles)
{
    std::filesystem::create_symlink(m_log, m_dir.file("link.Ham"));
    struct Case
    {
        const char *what;
        std::filesystem::path path;
        int flags;
        LogStatus expected;
    };
    const std::vector<Case> cases = {
        {"a log", m_log, O_RDONLY, LogStatus::Ok},
        {"a log for writing", m_log, O_RDWR, LogStatus::Ok},
        {"a link to a log", m_dir.file("link.Ham"), O_RDONLY, LogStatus::Ok},
        {"a new file", m_dir.file("new.txt"), O_WRONLY | O_CREAT, LogStatus::Ok},
        {"a missing file", m_dir.file("none.txt"), O_RDONLY, LogStatus::NotFound},
        {"a pipe", m_pipe, O_RDONLY, LogStatus::NotRegularFile},
        {"a pipe for writing", m_pipe, O_WRONLY | O_CREAT, LogStatus::NotRegularFile},
        {"a folder", m_dir.path(), O_RDONLY, LogStatus::NotRegularFile},
        {"a device", "/dev/null", O_RDONLY, LogStatus::NotRegularFile},
    };
    for (const Case &c : cases) {
        EXPECT_TRUE(holdsWithinTwoSeconds([&] {
            const OpenedFile file = openRegularFile(c.path, c.flags, 0644);
            const bool blocking = file.fd >= 0 && (::fcntl(file.fd, F_GETFL) & O_NONBLOCK) != 0;
            return file.status() == c.expected && !blocking;
        })) << c.what;
        EXPECT_EQ(regularFileStatus(c.path) == LogStatus::NotRegularFile,
                  c.expected == LogStatus::NotRegularFile)
            << c.what;
    }
}

// Each way a file chosen by the operator (or the label sheet, or the
// configuration) reaches the core: a pipe in its place says so at once, and
// the log stays as it was.
TEST_F(RegularFileTest, EveryOpenerRefusesAPipe)
{
    const std::filesystem::path adi = m_dir.file("pipe.adi");
    ASSERT_EQ(::mkfifo(adi.c_str(), 0644), 0);
    const std::vector<std::pair<const char *, std::function<bool()>>> cases = {
        {"log", [&] { return LogFile().open(m_pipe) == LogStatus::NotRegularFile; }},
        {"log read only",
         [&] { return LogFile().openReadOnly(m_pipe) == LogStatus::NotRegularFile; }},
        {"label sheet",
         [&] {
             LabelSheet sheet(m_pipe);
             return sheet.load() == LogStatus::NotRegularFile && !sheet.read(1);
         }},
        {"merge source",
         [&] {
             LogFile log;
             log.open(m_log);
             const MergeResult r = mergeLog(log, m_pipe, kLocator);
             return r.failure == MergeFailure::OtherUnreadable &&
                    r.status == LogStatus::NotRegularFile;
         }},
        {"copy destination",
         [&] {
             const CopyResult r = copyLog(m_log, m_pipe, kLocator);
             return r.status == LogStatus::NotRegularFile;
         }},
        {"ADIF import",
         [&] {
             return importAdif(m_log, adi, {kLocator, {}}).status == LogStatus::NotRegularFile;
         }},
        {"ADIF export",
         [&] {
             return exportAdif(m_log, adi, AdifFormat::Adi, {"F6ABC", "", {}}).status ==
                    LogStatus::NotRegularFile;
         }},
        {"configuration",
         [&] { return readConfiguration(m_pipe).status == ConfigStatus::ReadFailed; }},
        {"record reader", [&] { return RecordReader().open(m_pipe) == LogStatus::NotRegularFile; }},
    };
    for (const auto &[what, check] : cases) {
        EXPECT_TRUE(holdsWithinTwoSeconds(check)) << what;
        EXPECT_EQ(fileBytes(m_log), m_before) << what;
        EXPECT_TRUE(std::filesystem::is_fifo(m_pipe)) << what;
        EXPECT_TRUE(std::filesystem::is_fifo(adi)) << what;
    }
}

} // namespace
} // namespace ondelog::test
