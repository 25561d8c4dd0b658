// SPDX-License-Identifier: GPL-3.0-or-later
// The radio through Hamlib: its dummy radio in this process, a rigctld server
// started here on 127.0.0.1, and a serial port where nothing answers.

#include "radio/hamlibradio.h"
#include "radio/radiopoller.h"

#include <hamlib/rig.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <arpa/inet.h>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <mutex>
#include <netinet/in.h>
#include <spawn.h>
#include <strings.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace ondelog::test {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

/** The reports of a poller, as its thread hands them over. */
class Reports
{
  public:
    RadioPoller::Report sink()
    {
        return [this](const RadioReport &r) {
            const std::lock_guard lock(m_mutex);
            m_reports.push_back(r);
            m_changed.notify_all();
        };
    }
    /** Waits until a report satisfies `match`; false after `limit`. */
    bool waitFor(const std::function<bool(const RadioReport &)> &match,
                 std::chrono::milliseconds limit = 20s)
    {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, limit, [&] {
            for (; m_seen < m_reports.size(); ++m_seen)
                if (match(m_reports[m_seen]))
                    return true;
            return false;
        });
    }
    std::vector<RadioReport> all()
    {
        const std::lock_guard lock(m_mutex);
        return m_reports;
    }

  private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<RadioReport> m_reports;
    std::size_t m_seen = 0;
};

bool isState(const RadioReport &r, RadioState s)
{
    return r.state == s;
}

std::string findProgram(const char *name)
{
    const char *path = std::getenv("PATH");
    std::string dirs = path ? path : "/usr/bin:/bin";
    for (std::size_t start = 0; start <= dirs.size();) {
        const std::size_t end = std::min(dirs.find(':', start), dirs.size());
        const std::filesystem::path candidate =
            std::filesystem::path(dirs.substr(start, end - start)) / name;
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

int freePort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

/** True once a program listens on 127.0.0.1:`port`. Read from the system's
 *  table rather than by connecting: rigctld takes every connection for a
 *  client, and one that goes at once can disturb the next. */
bool isListening(int port)
{
    char wanted[32];
    std::snprintf(wanted, sizeof wanted, "0100007F:%04X 00000000:0000 0A", port);
    std::ifstream table("/proc/net/tcp");
    for (std::string line; std::getline(table, line);)
        if (line.find(wanted) != std::string::npos)
            return true;
    return false;
}

/** `rigctld -m 1` on 127.0.0.1, started and stopped by the test itself. */
class Rigctld
{
  public:
    Rigctld(const std::string &program, int port) : m_port(port)
    {
        const std::string portText = std::to_string(port);
        const char *argv[] = {program.c_str(),  "-m",   "1", "-T", "127.0.0.1", "-t",
                              portText.c_str(), nullptr};
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (::posix_spawn(&m_pid, program.c_str(), &actions, nullptr, const_cast<char **>(argv),
                          environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        for (int i = 0; i < 200 && m_pid > 0 && !isListening(port); ++i)
            std::this_thread::sleep_for(50ms);
    }
    ~Rigctld() { kill(); }
    bool isReady() const { return m_pid > 0 && isListening(m_port); }
    void kill()
    {
        if (m_pid <= 0)
            return;
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }

  private:
    pid_t m_pid = -1;
    int m_port;
};

TEST(Radio, HamlibListsItsModelsByMakerAndName)
{
    const std::vector<RadioModel> models = radioModels();
    ASSERT_GT(models.size(), 100u);
    auto has = [&](int id) {
        return std::any_of(models.begin(), models.end(),
                           [id](const RadioModel &m) { return m.id == id; });
    };
    EXPECT_TRUE(has(RIG_MODEL_DUMMY));
    EXPECT_TRUE(has(kRigctldRadioModel));
    EXPECT_TRUE(std::is_sorted(models.begin(), models.end(), [](const auto &a, const auto &b) {
        return strcasecmp(a.maker.c_str(), b.maker.c_str()) < 0;
    }));
}

TEST(Radio, TheDummyRadioInProcessGivesItsFrequencyAndMode)
{
    HamlibRadio radio(TransceiverSettings{RIG_MODEL_DUMMY, {}, 0, {}});
    std::string why;
    ASSERT_TRUE(radio.open(why)) << why;
    ASSERT_EQ(rig_set_freq(radio.handle(), RIG_VFO_CURR, 7074000), RIG_OK);
    ASSERT_EQ(rig_set_mode(radio.handle(), RIG_VFO_CURR, RIG_MODE_PKTUSB, RIG_PASSBAND_NORMAL),
              RIG_OK);
    const auto reading = radio.read(why);
    ASSERT_TRUE(reading) << why;
    EXPECT_EQ(radioFrequencyText(reading->frequencyHz), "7.074");
    EXPECT_EQ(reading->hamlibMode, "PKTUSB");
    EXPECT_EQ(radioModeText(reading->hamlibMode, std::string("FT8")), "FT8");

    radio.close();
    EXPECT_FALSE(radio.read(why));
}

TEST(Radio, APollerReportsWhatChangesAndNothingForNoRadio)
{
    Reports none;
    {
        RadioPoller poller(TransceiverSettings{}, none.sink());
    }
    ASSERT_EQ(none.all().size(), 1u);
    EXPECT_EQ(none.all()[0].state, RadioState::Off);

    Reports reports;
    {
        RadioPoller poller(TransceiverSettings{RIG_MODEL_DUMMY, {}, 0, {}}, reports.sink(),
                           {20ms, 200, 0});
        ASSERT_TRUE(reports.waitFor(
            [](const RadioReport &r) { return isState(r, RadioState::Answering); }));
        std::this_thread::sleep_for(100ms); // a few more readings, all alike
    }
    const std::vector<RadioReport> all = reports.all();
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].state, RadioState::Connecting);
    EXPECT_EQ(radioFrequencyText(all[1].frequencyHz), "145"); // the dummy's own frequency
    EXPECT_EQ(all[1].hamlibMode, "FM");
    EXPECT_EQ(radioLineUtf8(all[1]), "Transceiver : 145 FM");
}

TEST(Radio, ADeadSerialPortIsReportedAndNeverWaitedFor)
{
    // A terminal that exists and where nothing ever answers, as a radio switched off.
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
        GTEST_SKIP() << "pas de pseudo-terminal ici : test sauté";
    const std::string port = ::ptsname(master);
    const TransceiverSettings icom{3073, port, 19200, {}}; // IC-7300 on CI-V

    Reports reports;
    {
        RadioPoller poller(icom, reports.sink(), {50ms, 100, 0});
        EXPECT_TRUE(reports.waitFor([](const RadioReport &r) {
            return isState(r, RadioState::NoAnswer) || isState(r, RadioState::CannotOpen);
        }));
    }
    {
        // Destroyed while Hamlib waits on the port: nothing more is reported, and
        // the destruction does not wait for Hamlib (which takes seconds here).
        Reports late;
        const auto start = Clock::now();
        {
            RadioPoller poller(icom, late.sink(), {50ms, 2000, 3});
            ASSERT_TRUE(late.waitFor(
                [](const RadioReport &r) { return isState(r, RadioState::Connecting); }));
        }
        EXPECT_LT(Clock::now() - start, 1s);
        std::this_thread::sleep_for(200ms);
        EXPECT_EQ(late.all().size(), 1u);
    }
    const auto missing = [] {
        Reports r;
        RadioPoller poller(TransceiverSettings{3073, "/dev/ondelog-no-such-port", 0, {}}, r.sink(),
                           {50ms, 100, 0});
        r.waitFor([](const RadioReport &x) { return isState(x, RadioState::CannotOpen); });
        return r.all();
    }();
    ASSERT_FALSE(missing.empty());
    EXPECT_EQ(missing.back().state, RadioState::CannotOpen);
    EXPECT_NE(missing.back().detailUtf8.find("/dev/ondelog-no-such-port"), std::string::npos);
    ::close(master);
}

TEST(Radio, RigctldIsReadUntilItStopsAndAgainWhenItComesBack)
{
    const std::string program = findProgram("rigctld");
    if (program.empty())
        GTEST_SKIP() << "rigctld est absent (paquet libhamlib-utils) : test sauté";
    const int port = freePort();
    auto server = std::make_unique<Rigctld>(program, port);
    ASSERT_TRUE(server->isReady());

    const TransceiverSettings rigctld{
        kRigctldRadioModel, {}, 0, "127.0.0.1:" + std::to_string(port)};
    {
        // Another client of the server sets the radio, as a knob would.
        HamlibRadio knob(rigctld);
        std::string why;
        // A server just started may still be opening its own radio.
        bool opened = false;
        for (int i = 0; i < 10 && !(opened = knob.open(why)); ++i)
            std::this_thread::sleep_for(200ms);
        ASSERT_TRUE(opened) << why;
        ASSERT_EQ(rig_set_freq(knob.handle(), RIG_VFO_CURR, 7074000), RIG_OK);
        ASSERT_EQ(rig_set_mode(knob.handle(), RIG_VFO_CURR, RIG_MODE_USB, RIG_PASSBAND_NORMAL),
                  RIG_OK);
    }

    Reports reports;
    RadioPoller poller(rigctld, reports.sink()); // the timing of the windows
    ASSERT_TRUE(reports.waitFor([](const RadioReport &r) {
        return isState(r, RadioState::Answering) && r.frequencyHz == 7074000;
    }));
    const RadioReport answering = reports.all().back();
    EXPECT_EQ(radioFrequencyText(answering.frequencyHz), "7.074");
    EXPECT_EQ(radioModeText(answering.hamlibMode, std::nullopt), "SSB");

    // Stopped: said within three seconds.
    server->kill();
    EXPECT_TRUE(
        reports.waitFor([](const RadioReport &r) { return isState(r, RadioState::NoAnswer); }, 3s));
    EXPECT_EQ(radioLineUtf8(reports.all().back()), "Transceiver : pas de réponse");

    // Started again: read again.
    server = std::make_unique<Rigctld>(program, port);
    ASSERT_TRUE(server->isReady());
    EXPECT_TRUE(
        reports.waitFor([](const RadioReport &r) { return isState(r, RadioState::Answering); }));
}

} // namespace
} // namespace ondelog::test
