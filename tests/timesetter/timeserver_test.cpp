// SPDX-License-Identifier: GPL-3.0-or-later
#include "timesetter/timeserver.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace ondelog;

namespace {

using Expect = std::optional<TimeServer>;

TEST(TimeServer, Parse)
{
    struct Case
    {
        std::string text;
        Expect server;
    };
    const std::vector<Case> cases = {
        {"pool.ntp.org", TimeServer{"pool.ntp.org", 123}},
        {"ntp.example.fr:1123", TimeServer{"ntp.example.fr", 1123}},
        {"[::1]:40123", TimeServer{"::1", 40123}},
        {"[2001:db8::1]", TimeServer{"2001:db8::1", 123}},
        {"2001:db8::1", TimeServer{"2001:db8::1", 123}},
        {"", std::nullopt},
        {":123", std::nullopt},
        {"host:", std::nullopt},
        {"host:0", std::nullopt},
        {"host:65536", std::nullopt},
        {"host:-1", std::nullopt},
        {"[::1", std::nullopt},
        {"two words", std::nullopt},
        {"http://pool.ntp.org", std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(parseTimeServer(c.text), c.server) << c.text;
}

TEST(TimeServer, CommandLineBeforeEnvironmentBeforeDefault)
{
    using Text = std::optional<std::string>;
    struct Case
    {
        Text option;
        Text environment;
        Expect server;
    };
    const TimeServer pool{"pool.ntp.org", 123};
    const std::vector<Case> cases = {
        {std::nullopt, std::nullopt, pool},
        {std::nullopt, "ntp.home:1234", TimeServer{"ntp.home", 1234}},
        {"127.0.0.1:5000", "ntp.home", TimeServer{"127.0.0.1", 5000}},
        // A wrong choice is said, not replaced by another server.
        {"bad host", "ntp.home", std::nullopt},
        {std::nullopt, "ntp.home:x", std::nullopt},
    };
    for (const Case &c : cases)
        EXPECT_EQ(chooseTimeServer(c.option, c.environment), c.server)
            << c.option.value_or("-") << " / " << c.environment.value_or("-");

    const char *argv[] = {"horalink", "--server", "a.b:9"};
    EXPECT_EQ(serverOption(3, argv), "a.b:9");
    const char *joined[] = {"horalink", "--server=c.d"};
    EXPECT_EQ(serverOption(2, joined), "c.d");
    EXPECT_EQ(serverOption(2, argv), std::nullopt);
    EXPECT_EQ(TimeServer({"::1", 9}).text(), "[::1]:9");
}

} // namespace
