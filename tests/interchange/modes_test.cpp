// SPDX-License-Identifier: GPL-3.0-or-later
// The table of modes against the ADIF enumeration, both ways.

#include "interchange/adifmodes.h"
#include "tests/interchange/adifenumeration.h"

#include <gtest/gtest.h>

#include <map>

namespace ondelog::test {
namespace {

std::string pairText(std::string_view mode, std::string_view submode)
{
    return std::string(mode) + (submode.empty() ? "" : "/" + std::string(submode));
}

TEST(ModeTable, EveryFormIsShortAndStandsForOneAdifPairBothWays)
{
    std::map<std::string, std::string> pairOfLogText; // every form and spelling
    std::map<std::string, std::string> formOfPair;
    for (const auto &table : {modeForms(), modeSpellings()}) {
        for (const ModeForm &f : table) {
            const std::string log(f.log), pair = pairText(f.mode, f.submode);
            EXPECT_LE(log.size(), 5u) << log;
            EXPECT_EQ(log.find_first_of("abcdefghijklmnopqrstuvwxyz "), std::string::npos) << log;
            EXPECT_TRUE(isAdifModePair(std::string(f.mode), std::string(f.submode))) << pair;
            EXPECT_TRUE(pairOfLogText.emplace(log, pair).second) << log << " is there twice";
            EXPECT_EQ(adifMode(log), (AdifMode{std::string(f.mode), std::string(f.submode)}))
                << log;
        }
    }
    for (const ModeForm &f : modeForms()) {
        const std::string pair = pairText(f.mode, f.submode);
        EXPECT_TRUE(formOfPair.emplace(pair, f.log).second) << pair << " has two forms";
        // An import of the pair gives the form back, whether the file writes the
        // submode as SUBMODE or, as older files do, as MODE.
        EXPECT_EQ(logModeFromAdif(f.mode, f.submode).text, f.log) << pair;
        EXPECT_FALSE(logModeFromAdif(f.mode, f.submode).shortened) << pair;
        if (!f.submode.empty()) {
            EXPECT_EQ(logModeFromAdif(f.submode, "").text, f.log) << pair;
        }
    }
    // A form never reads as the ADIF name of another pair.
    for (const auto &[mode, submodes] : adifModeEnumeration()) {
        auto check = [&](const std::string &name, const std::string &pair) {
            const auto it = pairOfLogText.find(name);
            if (it != pairOfLogText.end()) {
                EXPECT_EQ(it->second, pair) << name;
            }
        };
        check(mode, mode);
        for (const std::string &submode : submodes)
            check(submode, pairText(mode, submode));
    }
}

TEST(ModeTable, CoversTheWholeEnumerationButRarePskSubmodes)
{
    std::map<std::string, bool> covered;
    for (const ModeForm &f : modeForms())
        covered[pairText(f.mode, f.submode)] = true;
    int uncovered = 0;
    for (const auto &[mode, submodes] : adifModeEnumeration()) {
        EXPECT_TRUE(covered.count(mode)) << mode;
        for (const std::string &submode : submodes) {
            if (covered.count(pairText(mode, submode)))
                continue;
            ++uncovered;
            // PSK's variants by carriers and speeds: their contacts keep PSK.
            EXPECT_EQ(mode, "PSK") << submode;
            EXPECT_GT(submode.size(), 5u) << submode;
            EXPECT_EQ(logModeFromAdif(mode, submode).text, "PSK");
            EXPECT_TRUE(logModeFromAdif(mode, submode).shortened);
        }
    }
    EXPECT_LT(uncovered, 40);
}

} // namespace
} // namespace ondelog::test
