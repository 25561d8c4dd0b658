// SPDX-License-Identifier: GPL-3.0-or-later
#include "statistics/logstatistics.h"

#include "geo/calendar.h"
#include "logbook/logfile.h"
#include "logbook/logfixture.h"
#include "logbook/record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>
#include <set>

namespace ondelog {
namespace {

namespace fs = std::filesystem;
using Records = std::vector<std::int32_t>;

struct Row
{
    const char *date;
    const char *time;
    const char *frequency;
    const char *mode;
    const char *dept;
    const char *locator;
    const char *theirQsl;
};

// A log kept by hand over three years, with the slips operators make and two
// records that a damaged file could hold. The expected figures of the tests
// below were counted from this table by hand.
const Row kLog[] = {
    /*  1 */ {"03/01/22", "08:15", "3.650", "SSB", "35", "IN98GC", "10/02/22"},
    /*  2 */ {"15/01/22", "09:40", "7.088", "SSB", "35", "IN98GC", ""},
    /*  3 */ {"20/02/22", "10:05", "14.205", "SSB", "1", "JN26", ""},
    /*  4 */ {"21/02/22", "10:30", "14.074", "FT8", "", "JO30LW", ""},
    /*  5 */ {"05/03/22", "18:00", "14,074", "ft8", "", "IO91WM", "15/04/22"},
    /*  6 */ {"06/03/22", "18:20", "144.300", "SSB", "075", "JN18EU", ""},
    /*  7 */ {"06/03/22", "19:45", "432.200", "CW", "2A", "JN41", ""},
    /*  8 */ {"07/04/22", "20:10", "7.020", "CW", "2b", "JN42", "RECUE"},
    /*  9 */ {"08/05/22", "21:00", "3.550", "CW", "20", "", ""},
    /* 10 */ {"09/06/22", "22:15", "21.074", "FT8", "", "JN11CJ", ""},
    /* 11 */ {"10/07/22", "07:05", "7.088", "SSB", "13", "JN23", "12/08/22"},
    /* 12 */ {"11/08/22", "07:30", "7,088", "LSB", "69", "JN25DS", ""},
    /* 13 */ {"02/01/23", "06:00", "14.205", "SSB", "95", "JN19", ""},
    /* 14 */ {"03/01/23", "06:10", "14.205", "SSB", "95", "JN19", "01/03/23"},
    /* 15 */ {"04/02/23", "12:00", "28.500", "SSB", "", "JO20SP", ""},
    /* 16 */ {"05/02/23", "12:30", "50.150", "SSB", "59", "JO10", ""},
    /* 17 */ {"06/03/23", "13:00", "27.555", "AM", "", "", ""},
    /* 18 */ {"07/03/23", "13:15", "145.500", "FM", "974", "", ""},
    /* 19 */ {"08/04/23", "14:00", "14.074", "FT8", "96", "", ""},
    /* 20 */ {"09/04/23", "14:45", "", "", "", "", ""},
    /* 21 */ {"10/05/23", "15:00", "14.205", "SSB", "", "JN36BF", ""},
    /* 22 */ {"11/05/23", "15:20", "10.120", "CW", "29", "IN78", "re\xE7ue"},
    /* 23 */ {"12/06/23", "16:00", "18.100", "FT8", "29", "IN78", ""},
    /* 24 */ {"13/07/23", "16:30", "24.900", "CW", "1", "JN26", ""},
    /* 25 */ {"14/08/23", "17:00", "7.074", "FT8", "01", "", "20/09/23"},
    /* 26 */ {"15/09/23", "17:45", "7.074", "FT8", "001", "", ""},
    /* 27 */ {"16/10/23", "00:10", "3.573", "FT8", "2B", "", ""},
    /* 28 */ {"17/11/23", "23:59", "3.573", "FT8", "02B", "", ""},
    /* 29 */ {"18/12/23", "23:00", "1.840", "FT8", "59", "", "NON"},
    /* 30 */ {"31/12/23", "12:00", "14.205", "SSB", "75", "", ""},
    /* 31 */ {"01/01/23", "01:00", "14.250", "SSB", "", "FN42", ""},
    /* 32 */ {"02/01/23", "02:00", "21.200", "CW", "", "PM95", ""},
    /* 33 */ {"01/01/24", "09:00", "14.205", "SSB", "35", "IN88", ""},
    /* 34 */ {"02/02/24", "09:30", "7.130", "SSB", "44", "IN97WF", ""},
    /* 35 */ {"03/03/24", "10:00", "144.174", "FT8", "80", "JN19DV", ""},
    /* 36 */ {"04/04/24", "10:30", "14.205", "SSB", "37", "JN07BJ", "05/05/24"},
    /* 37 */ {"05/05/24", "11:00", "14.205", "SSB", "", "QF56", ""},
    /* 38 */ {"06/06/24", "11:30", "14.205", "SSB", "", "RF72", ""},
    /* 39 */ {"", "12:00", "14.205", "SSB", "35", "ZZ99ZZ", ""},
    /* 40 */ {"3x/13/24", "ab:cd", "14.2.0", "\x01\x02", "X", "IN9", ""},
};

QsoRecord contactOf(const Row &row, int i)
{
    QsoRecord r;
    r.setField(Field::CSGN, "F" + std::to_string(i));
    r.setField(Field::DQSO, row.date);
    r.setField(Field::HDEB, row.time);
    r.setField(Field::FREQ, row.frequency);
    r.setField(Field::MODE, row.mode);
    r.setField(Field::DEPT, row.dept);
    r.setField(Field::SLOC, row.locator);
    r.setField(Field::SQSL, row.theirQsl);
    r.setField(Field::MLOC, "JN18EU");
    return r;
}

fs::path writeHandLog(const test::TempDir &dir)
{
    std::string bytes;
    int i = 0;
    for (const Row &row : kLog)
        bytes += test::recordBytes(contactOf(row, ++i));
    bytes[39 * kRecordSize + 2] = '\0'; // a damaged call sign too
    bytes += test::recordBytes(QsoRecord::endMarker("JN18EU"));
    const fs::path path = dir.file("F6XYZ.Ham");
    test::writeBytes(path, bytes);
    return path;
}

LogStatistics statisticsOf(const fs::path &path, const Period &period = {})
{
    LogFile log;
    EXPECT_EQ(log.openReadOnly(path), LogStatus::Ok);
    return computeStatistics(log, period);
}

std::map<std::string, std::int32_t> counts(const std::vector<Tally> &tallies)
{
    std::map<std::string, std::int32_t> m;
    for (const Tally &t : tallies)
        m[t.label] = t.count;
    return m;
}

std::vector<std::string> labels(const std::vector<Tally> &tallies)
{
    std::vector<std::string> l;
    for (const Tally &t : tallies)
        l.push_back(t.label);
    return l;
}

// The records behind the bar of a chart that has this label.
Records recordsOf(const LogStatistics &s, Chart chart, const std::string &label)
{
    const auto &tallies = s.chart(chart);
    for (std::size_t i = 0; i < tallies.size(); ++i)
        if (tallies[i].label == label)
            return s.records(chart, i);
    return {};
}

int awardIndex(std::string_view code)
{
    for (int i = 0; i < kAwardDepartements; ++i)
        if (awardCode(i) == code)
            return i;
    return -1;
}

TEST(HandLog, ChartsMatchTheCountsMadeByHand)
{
    test::TempDir dir;
    const LogStatistics s = statisticsOf(writeHandLog(dir));
    EXPECT_EQ(s.status, LogStatus::Ok);
    EXPECT_EQ(s.contacts, 40);
    EXPECT_EQ(s.leftOut, 0);

    EXPECT_EQ(labels(s.years), (std::vector<std::string>{"2022", "2023", "2024", "inconnu"}));
    EXPECT_EQ(counts(s.years), (std::map<std::string, std::int32_t>{
                                   {"2022", 12}, {"2023", 20}, {"2024", 6}, {"inconnu", 2}}));
    EXPECT_EQ(recordsOf(s, Chart::Years, "inconnu"), (Records{39, 40}));

    EXPECT_EQ(labels(s.bands),
              (std::vector<std::string>{"160m", "80m", "40m", "30m", "20m", "17m", "15m", "12m",
                                        "10m", "6m", "2m", "70cm", "autre", "inconnu"}));
    EXPECT_EQ(counts(s.bands), (std::map<std::string, std::int32_t>{{"160m", 1},
                                                                    {"80m", 4},
                                                                    {"40m", 7},
                                                                    {"30m", 1},
                                                                    {"20m", 14},
                                                                    {"17m", 1},
                                                                    {"15m", 2},
                                                                    {"12m", 1},
                                                                    {"10m", 1},
                                                                    {"6m", 1},
                                                                    {"2m", 3},
                                                                    {"70cm", 1},
                                                                    {"autre", 1},
                                                                    {"inconnu", 2}}));
    // A comma is read as the decimal point.
    EXPECT_EQ(recordsOf(s, Chart::Bands, "40m"), (Records{2, 8, 11, 12, 25, 26, 34}));
    EXPECT_EQ(recordsOf(s, Chart::Bands, "autre"), (Records{17}));
    EXPECT_EQ(recordsOf(s, Chart::Bands, "inconnu"), (Records{20, 40}));

    EXPECT_EQ(labels(s.modes),
              (std::vector<std::string>{"SSB", "FT8", "CW", "AM", "FM", "LSB", "inconnu"}));
    EXPECT_EQ(counts(s.modes), (std::map<std::string, std::int32_t>{{"SSB", 18},
                                                                    {"FT8", 11},
                                                                    {"CW", 6},
                                                                    {"AM", 1},
                                                                    {"FM", 1},
                                                                    {"LSB", 1},
                                                                    {"inconnu", 2}}));

    ASSERT_EQ(s.hours.size(), 25u);
    const std::vector<std::int32_t> perHour = {1, 1, 1, 0, 0, 0, 2, 2, 1, 3, 4, 2, 4,
                                               2, 2, 2, 2, 2, 2, 1, 1, 1, 1, 2, 1};
    for (std::size_t h = 0; h < perHour.size(); ++h)
        EXPECT_EQ(s.hours[h].count, perHour[h]) << s.hours[h].label;
    EXPECT_EQ(s.hours[0].label, "00");
    EXPECT_EQ(s.hours[23].label, "23");
    EXPECT_EQ(s.hours[24].label, "inconnu");
    EXPECT_EQ(s.records(Chart::Hours, 12), (Records{15, 16, 30, 39}));
    EXPECT_EQ(recordsOf(s, Chart::Modes, "FT8"),
              (Records{4, 5, 10, 19, 23, 25, 26, 27, 28, 29, 35}));
    EXPECT_EQ(recordsOf(s, Chart::Years, "2024"), (Records{33, 34, 35, 36, 37, 38}));
    EXPECT_TRUE(s.records(Chart::Hours, 99).empty());
}

TEST(HandLog, AwardMatchesTheCountsMadeByHand)
{
    test::TempDir dir;
    const LogStatistics s = statisticsOf(writeHandLog(dir));
    const AwardView all = s.award();
    EXPECT_EQ(all.worked, 13);
    EXPECT_EQ(all.confirmed, 7);
    const std::map<std::string, std::pair<AwardState, Records>> expected = {
        {"35", {AwardState::Confirmed, {1, 2, 33, 39}}},
        {"01", {AwardState::Confirmed, {3, 24, 25, 26}}},
        {"75", {AwardState::Worked, {6, 30}}},
        {"2A", {AwardState::Worked, {7}}},
        {"2B", {AwardState::Confirmed, {8, 27, 28}}},
        {"13", {AwardState::Confirmed, {11}}},
        {"69", {AwardState::Worked, {12}}},
        {"95", {AwardState::Confirmed, {13, 14}}},
        {"59", {AwardState::Worked, {16, 29}}},
        {"29", {AwardState::Confirmed, {22, 23}}},
        {"44", {AwardState::Worked, {34}}},
        {"80", {AwardState::Worked, {35}}},
        {"37", {AwardState::Confirmed, {36}}},
    };
    for (int i = 0; i < kAwardDepartements; ++i) {
        const std::string code(awardCode(i));
        const AwardCell &cell = all.cells[static_cast<std::size_t>(i)];
        const auto it = expected.find(code);
        if (it == expected.end()) {
            EXPECT_EQ(cell.state, AwardState::NotWorked) << code;
            EXPECT_TRUE(cell.records.empty()) << code;
        } else {
            EXPECT_EQ(cell.state, it->second.first) << code;
            EXPECT_EQ(cell.records, it->second.second) << code;
        }
    }
    EXPECT_EQ(s.corsicaRecords(), (Records{9}));
    EXPECT_EQ(s.unknownDepartementRecords(), (Records{19, 40}));

    // Per band: a card confirms its own band only.
    auto band = [&](const char *name) {
        const auto it = std::find_if(s.bands.begin(), s.bands.end(),
                                     [&](const Tally &t) { return t.label == name; });
        return static_cast<std::size_t>(it - s.bands.begin());
    };
    const AwardView twenty = s.award(band("20m"));
    EXPECT_EQ(twenty.worked, 5);
    EXPECT_EQ(twenty.confirmed, 2);
    EXPECT_EQ(twenty.cells[std::size_t(awardIndex("35"))].state, AwardState::Worked);
    EXPECT_EQ(twenty.cells[std::size_t(awardIndex("35"))].records, (Records{33, 39}));
    const AwardView forty = s.award(band("40m"));
    EXPECT_EQ(forty.worked, 6);
    EXPECT_EQ(forty.confirmed, 3);
    const AwardView eighty = s.award(band("80m"));
    EXPECT_EQ(eighty.worked, 2);
    EXPECT_EQ(eighty.confirmed, 1);
    EXPECT_EQ(eighty.cells[std::size_t(awardIndex("2B"))].state, AwardState::Worked);
}

TEST(HandLog, LocatorsMatchTheCountsMadeByHand)
{
    test::TempDir dir;
    const LogStatistics s = statisticsOf(writeHandLog(dir));
    const std::vector<WorkedLocator> locators = s.locators();
    EXPECT_EQ(locators.size(), 23u);
    EXPECT_EQ(s.unlocated(), 13);
    std::map<std::string, std::int32_t> contacts;
    for (const WorkedLocator &l : locators)
        contacts[l.locator] = l.contacts;
    EXPECT_EQ(contacts["IN98GC"], 2);
    EXPECT_EQ(contacts["JN19"], 2);
    EXPECT_EQ(contacts["PM95"], 1);
    EXPECT_EQ(s.locatorRecords("IN98GC"), (Records{1, 2}));
    EXPECT_EQ(s.locatorRecords("jn19"), (Records{13, 14}));
    EXPECT_TRUE(s.locatorRecords("ZZ99ZZ").empty());
    EXPECT_EQ(locators.front().locator, "IN98GC");
    // A square is placed at its middle, a sub-square at its own.
    const auto &square = *std::find_if(locators.begin(), locators.end(),
                                       [](const WorkedLocator &l) { return l.locator == "JN26"; });
    EXPECT_DOUBLE_EQ(square.latitude, 46.5);
    EXPECT_DOUBLE_EQ(square.longitude, -5.0);
    const auto &sub = *std::find_if(locators.begin(), locators.end(),
                                    [](const WorkedLocator &l) { return l.locator == "JN18EU"; });
    EXPECT_NEAR(sub.latitude, 48.854166, 1e-5);
    EXPECT_NEAR(sub.longitude, -2.375, 1e-9);
}

TEST(HandLog, APeriodCountsItsContactsOnly)
{
    test::TempDir dir;
    const fs::path path = writeHandLog(dir);
    const struct
    {
        const char *from;
        const char *to;
        std::int32_t contacts;
        int worked;
    } cases[] = {
        {"01/01/23", "31/12/23", 20, 6}, // 95 59 29 01 2B 75
        {"01/07/2023", "", 13, 8},       // four-digit year, open end
        {"", "31/12/22", 12, 7},         // open start
        {"01/01/25", "", 0, 0},          // after the last contact
        {"31/12/23", "01/01/23", 0, 0},  // the wrong way round: nothing
    };
    for (const auto &c : cases) {
        Period period;
        if (*c.from)
            period.from = dateKey(c.from);
        if (*c.to)
            period.to = dateKey(c.to);
        const LogStatistics s = statisticsOf(path, period);
        EXPECT_EQ(s.contacts, c.contacts) << c.from << " " << c.to;
        EXPECT_EQ(s.leftOut, 40 - c.contacts) << c.from << " " << c.to;
        EXPECT_EQ(s.award().worked, c.worked) << c.from << " " << c.to;
        // With a period, every contact counted has a known year.
        EXPECT_TRUE(recordsOf(s, Chart::Years, "inconnu").empty());
    }
}

// The frequency is read by the log's own reader, tested with the log.
TEST(Reading, DateAndDepartement)
{
    const struct
    {
        const char *text;
        std::optional<int> key;
    } dates[] = {
        {"01/02/03", 20030201},
        {"31/12/99", 19991231},
        {"29/02/04", 20040229},
        {"29/02/03", {}},
        {"01/02/2003", 20030201},
        {"01/02/1955", {}},
        {"", {}},
        {"00/01/05", {}},
        {"15/13/05", {}},
    };
    for (const auto &d : dates)
        EXPECT_EQ(dateKey(d.text), d.key) << d.text;

    using Kind = DepartementReading::Kind;
    const struct
    {
        const char *field;
        Kind kind;
        const char *code;
    } depts[] = {
        {"1", Kind::Departement, "01"},   {"01", Kind::Departement, "01"},
        {"001", Kind::Departement, "01"}, {"075", Kind::Departement, "75"},
        {"95", Kind::Departement, "95"},  {"21", Kind::Departement, "21"},
        {"19", Kind::Departement, "19"},  {"2A", Kind::Departement, "2A"},
        {"2a", Kind::Departement, "2A"},  {"02A", Kind::Departement, "2A"},
        {"02b", Kind::Departement, "2B"}, {"20", Kind::Corsica, ""},
        {"020", Kind::Corsica, ""},       {"974", Kind::Overseas, ""},
        {"971", Kind::Overseas, ""},      {"", Kind::None, ""},
        {"0", Kind::Unknown, ""},         {"96", Kind::Unknown, ""},
        {"975", Kind::Unknown, ""},       {"2C", Kind::Unknown, ""},
        {"A1", Kind::Unknown, ""},        {"\x01", Kind::Unknown, ""},
    };
    for (const auto &d : depts) {
        const DepartementReading r = readDepartement(d.field);
        EXPECT_EQ(r.kind, d.kind) << d.field;
        if (r.kind == Kind::Departement) {
            EXPECT_EQ(awardCode(r.index), d.code) << d.field;
        }
    }
}

// The count reads the dates and times the log writes itself (dd/mm/yy, hh:mm)
// without the general checks; every such text must come out as they say.
TEST(Reading, WrittenDatesAndTimesAsTheChecksReadThem)
{
    StatisticsCounter counter;
    std::vector<std::optional<int>> years, hours;
    std::int32_t n = 0;
    for (int day = 0; day <= 32; ++day)
        for (int month = 0; month <= 13; ++month)
            for (int yy : {0, 3, 4, 59, 60, 99}) {
                char date[9];
                std::snprintf(date, sizeof date, "%02d/%02d/%02d", day, month, yy);
                char time[6];
                std::snprintf(time, sizeof time, "%02d:%02d", day + month * 4 % 60, n % 97);
                QsoRecord r;
                r.setField(Field::DQSO, date);
                r.setField(Field::HDEB, time);
                counter.add(++n, r.bytes().data());
                const auto key = dateKey(date);
                years.push_back(key ? std::optional(*key / 10000) : std::nullopt);
                const auto checked = checkTime(time);
                hours.push_back(checked ? std::optional(std::stoi(checked->substr(0, 2)))
                                        : std::nullopt);
            }
    const LogStatistics s = counter.take();
    for (std::size_t i = 0; i < s.years.size(); ++i)
        for (std::int32_t record : s.records(Chart::Years, i)) {
            const auto &expected = years[std::size_t(record - 1)];
            EXPECT_EQ(s.years[i].label, expected ? std::to_string(*expected) : "inconnu") << record;
        }
    for (std::size_t i = 0; i < s.hours.size(); ++i)
        for (std::int32_t record : s.records(Chart::Hours, i)) {
            const auto &expected = hours[std::size_t(record - 1)];
            EXPECT_EQ(expected ? std::optional(int(i)) : std::nullopt,
                      s.hours[i].label == "inconnu" ? std::nullopt : std::optional(int(i)))
                << record;
        }
}

// The count reads its fields at places fixed at compile time; they must be
// the record's, and SLOC and DEPT side by side (it copies them as one).
TEST(Reading, TheCountReadsTheFieldsWhereTheRecordHasThem)
{
    const struct
    {
        Field field;
        std::size_t offset, width;
    } places[] = {{Field::DQSO, 15, 8}, {Field::HDEB, 23, 5}, {Field::FREQ, 33, 10},
                  {Field::MODE, 43, 5}, {Field::SLOC, 89, 6}, {Field::DEPT, 95, 3},
                  {Field::SQSL, 151, 8}};
    for (const auto &p : places) {
        EXPECT_EQ(fieldLayout(p.field).offset, p.offset) << fieldLayout(p.field).code;
        EXPECT_EQ(fieldLayout(p.field).width, p.width) << fieldLayout(p.field).code;
    }
}

TEST(Award, TheNinetySixAsTheTableNamesThem)
{
    std::set<std::string> codes;
    for (int i = 0; i < kAwardDepartements; ++i) {
        codes.insert(std::string(awardCode(i)));
        EXPECT_FALSE(awardName(i).empty()) << awardCode(i);
        EXPECT_EQ(readDepartement(awardCode(i)).index, i);
    }
    EXPECT_EQ(codes.size(), 96u);
    EXPECT_EQ(codes.count("20"), 0u);
    EXPECT_EQ(awardName(awardIndex("2A")), "Corse-du-Sud");
    EXPECT_EQ(awardName(awardIndex("2B")), "Haute-Corse");
    EXPECT_EQ(awardName(awardIndex("05")), "Hautes-Alpes");
    EXPECT_EQ(awardName(awardIndex("75")), "Ville-de-Paris");
}

// Any bytes at all: each chart shares out exactly the contacts counted, each
// record once, and nothing is counted twice in the award.
TEST(Property, EveryChartSharesOutTheContactsOnce)
{
    std::mt19937 random(2024);
    const std::vector<std::string> pools[] = {
        {"01/02/03", "29/02/04", "31/04/05", "", "12/12/12", "1/2/3", "\x01\x02/03/04"},
        {"09:05", "23:59", "24:00", "", "12", "ab:cd", std::string("\0\0:00", 5)},
        {"14.205", "14,205", "27.5", "", "7", "x", "14..2", "99999999999"},
        {"SSB", "cw", "", "FT8", "\x7F", "\xE9t\xE9"},
        {"35", "2A", "20", "974", "", "ZZ", "1", "075"},
        {"JN18EU", "JN18", "jn18eu", "", "ZZ99ZZ", "IN9"},
    };
    const Field fields[] = {Field::DQSO, Field::HDEB, Field::FREQ,
                            Field::MODE, Field::DEPT, Field::SLOC};
    for (int round = 0; round < 200; ++round) {
        const int n = static_cast<int>(random() % 60);
        const bool withPeriod = round % 2 == 1;
        Period period;
        if (withPeriod)
            period = {20030101, 20121231};
        StatisticsCounter counter(period);
        for (int r = 1; r <= n; ++r) {
            QsoRecord record;
            if (random() % 5 == 0) {
                for (char &b : record.bytes())
                    b = static_cast<char>(random());
            } else {
                for (std::size_t f = 0; f < std::size(fields); ++f)
                    record.setField(fields[f], pools[f][random() % pools[f].size()]);
            }
            counter.add(r, record.bytes().data());
        }
        const LogStatistics s = counter.take();
        ASSERT_EQ(s.contacts + s.leftOut, n);
        for (Chart chart : {Chart::Years, Chart::Bands, Chart::Modes, Chart::Hours}) {
            std::multiset<std::int32_t> seen;
            for (std::size_t i = 0; i < s.chart(chart).size(); ++i) {
                const Records records = s.records(chart, i);
                ASSERT_EQ(static_cast<std::int32_t>(records.size()), s.chart(chart)[i].count);
                seen.insert(records.begin(), records.end());
            }
            ASSERT_EQ(seen.size(), static_cast<std::size_t>(s.contacts));
            ASSERT_EQ(std::set<std::int32_t>(seen.begin(), seen.end()).size(), seen.size());
        }
        std::int32_t located = 0;
        for (const WorkedLocator &l : s.locators()) {
            located += l.contacts;
            ASSERT_EQ(static_cast<std::int32_t>(s.locatorRecords(l.locator).size()), l.contacts);
        }
        ASSERT_EQ(located + s.unlocated(), s.contacts);
        const AwardView all = s.award();
        ASSERT_LE(all.confirmed, all.worked);
        // Each contact of the award falls on exactly one band.
        std::multiset<std::int32_t> perBand;
        for (std::size_t b = 0; b < s.bands.size(); ++b)
            for (const AwardCell &cell : s.award(b).cells)
                perBand.insert(cell.records.begin(), cell.records.end());
        std::multiset<std::int32_t> inAward;
        for (const AwardCell &cell : all.cells)
            inAward.insert(cell.records.begin(), cell.records.end());
        ASSERT_EQ(perBand, inAward);
    }
}

// The figures are a picture of the log when they were taken: taken again after
// a change, they follow it; a log cut short under them is an error, not a crash.
TEST(Sequence, FiguresFollowTheLogAndSurviveAShortenedFile)
{
    test::TempDir dir;
    const fs::path path = writeHandLog(dir);
    LogFile log;
    ASSERT_EQ(log.open(path), LogStatus::Ok);
    EXPECT_EQ(computeStatistics(log).contacts, 40);

    QsoRecord more = contactOf(kLog[0], 41);
    more.setField(Field::DEPT, "2A");
    more.setField(Field::SQSL, "01/01/25");
    ASSERT_EQ(log.appendContact(more, "JN18EU"), LogStatus::Ok);
    LogStatistics s = computeStatistics(log);
    EXPECT_EQ(s.contacts, 41);
    EXPECT_EQ(s.award().cells[std::size_t(awardIndex("2A"))].records, (Records{7, 41}));
    EXPECT_EQ(s.award().confirmed, 8);

    ASSERT_EQ(log.deleteRecord(1, "JN18EU"), LogStatus::Ok);
    s = computeStatistics(log);
    EXPECT_EQ(s.contacts, 40);
    EXPECT_EQ(s.records(Chart::Years, 0).front(), 1); // the old record 2
    EXPECT_EQ(s.award().cells[std::size_t(awardIndex("35"))].records, (Records{1, 32, 38}));

    std::filesystem::resize_file(path, 10 * kRecordSize);
    s = computeStatistics(log);
    EXPECT_NE(s.status, LogStatus::Ok);

    log.close();
    EXPECT_EQ(computeStatistics(log).status, LogStatus::NotOpen);
}

} // namespace
} // namespace ondelog
