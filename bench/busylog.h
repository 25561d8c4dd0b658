// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The log of a busy French station, written once per run for the benchmarks
// of the "Statistiques" window and of the count behind it.

#include "logbook/record.h"
#include "tests/logbook/logfixture.h"

#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <string>

namespace bench {

using namespace ondelog;
namespace fs = std::filesystem;

struct Activity
{
    double megahertz; ///< where the session starts
    const char *mode;
    bool fixed; ///< a digital mode on its one dial frequency
};

constexpr Activity kActivities[] = {
    {14.074, "FT8", true},  {7.074, "FT8", true},   {10.136, "FT8", true},
    {50.313, "FT8", true},  {14.080, "FT4", true},  {3.573, "FT8", true},
    {14.150, "SSB", false}, {7.060, "SSB", false},  {3.650, "SSB", false},
    {21.200, "SSB", false}, {28.400, "SSB", false}, {144.250, "SSB", false},
    {14.010, "CW", false},  {7.010, "CW", false},   {18.070, "CW", false},
    {145.500, "FM", false}, {27.555, "USB", false}, {432.200, "SSB", false},
};

// Sessions as a French station works them: a run of contacts on one band and
// mode, a few minutes apart; SSB and CW frequencies move from contact to
// contact. A third of the contacts are French (a département), and most carry
// a locator, all different.
inline std::string busyRecords(std::int64_t n, std::mt19937 &random)
{
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(n + 1) * kRecordSize);
    char text[24];
    for (std::int64_t i = 1; i <= n;) {
        const Activity &a = kActivities[random() % std::size(kActivities)];
        std::snprintf(text, sizeof text, "%02u/%02u/%02u", unsigned(random() % 28 + 1),
                      unsigned(random() % 12 + 1), unsigned(random() % 10 + 14));
        const std::string date = text;
        int minute = static_cast<int>(random() % 1440);
        for (std::int64_t run = random() % 60 + 1; run > 0 && i <= n; --run, ++i) {
            QsoRecord r = test::makeContact(i);
            r.setField(Field::DQSO, date);
            minute = (minute + static_cast<int>(random() % 5)) % 1440;
            std::snprintf(text, sizeof text, "%02d:%02d", minute / 60, minute % 60);
            r.setField(Field::HDEB, text);
            const double mhz = a.fixed ? a.megahertz : a.megahertz + (random() % 50) / 1000.0;
            std::snprintf(text, sizeof text, "%.3f", mhz);
            r.setField(Field::FREQ, text);
            r.setField(Field::MODE, a.mode);
            const unsigned dept = random() % 285;
            r.setField(Field::DEPT, dept < 95 ? std::to_string(dept + 1) : std::string());
            std::snprintf(text, sizeof text, "%c%c%u%u%c%c", 'A' + int(random() % 18),
                          'A' + int(random() % 18), unsigned(random() % 10),
                          unsigned(random() % 10), 'A' + int(random() % 24),
                          'A' + int(random() % 24));
            const unsigned locator = random() % 5;
            r.setField(Field::SLOC, locator == 0   ? std::string()
                                    : locator == 1 ? std::string(text, 4)
                                                   : std::string(text));
            r.setField(Field::SQSL, random() % 3 == 0 ? "12/03/24" : "");
            bytes += test::recordBytes(r);
        }
    }
    return bytes;
}

/** The log of n contacts, in a temporary folder removed at exit. */
inline const fs::path &busyLog(std::int64_t n)
{
    static test::TempDir dir;
    static std::map<std::int64_t, fs::path> logs;
    auto it = logs.find(n);
    if (it != logs.end())
        return it->second;
    std::mt19937 random(static_cast<unsigned>(n));
    std::string bytes = busyRecords(n, random);
    bytes += test::recordBytes(QsoRecord::endMarker("JN18EU"));
    const fs::path path = dir.file(std::string("busy").append(std::to_string(n)).append(".Ham"));
    test::writeBytes(path, bytes);
    return logs.emplace(n, path).first->second;
}

} // namespace bench
