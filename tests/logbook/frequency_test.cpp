// SPDX-License-Identifier: GPL-3.0-or-later
// The frequency of a contact read the same way by every reader of the log.

#include "logbook/frequency.h"

#include <gtest/gtest.h>

using namespace ondelog;

TEST(Frequency, ReadsAPointOrACommaAndNothingElse)
{
    struct Row
    {
        const char *text;
        std::optional<double> megahertz;
        const char *withPoint; // nullptr: not a frequency
    };
    const Row rows[] = {
        {"14.205", 14.205, "14.205"},
        {"14,205", 14.205, "14.205"},
        {" 7,0745 ", 7.0745, "7.0745"},
        {"144", 144.0, "144"},
        {".5", 0.5, ".5"},
        {"28.", 28.0, "28."},
        {"0014.2", 14.2, "0014.2"},
        {"", std::nullopt, nullptr},
        {"   ", std::nullopt, nullptr},
        {",", std::nullopt, nullptr},
        {"QRG?", std::nullopt, nullptr},
        {"14.205.1", std::nullopt, nullptr},
        {"1,234.5", std::nullopt, nullptr},
        {"-7", std::nullopt, nullptr},
        {"14 MHz", std::nullopt, nullptr},
        {"1e3", std::nullopt, nullptr},
        {"9999999999", 9999999999.0, "9999999999"},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(frequencyMegahertz(row.text), row.megahertz) << '"' << row.text << '"';
        EXPECT_EQ(frequencyWithPoint(row.text),
                  row.withPoint ? std::optional<std::string>(row.withPoint) : std::nullopt)
            << '"' << row.text << '"';
    }
}
