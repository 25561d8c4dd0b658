// SPDX-License-Identifier: GPL-3.0-or-later
// Control bytes that other programs leave in their ADIF files (form feeds,
// vertical tabs, Ctrl-Z, character references such as "&#1;") never reach the
// log: it must not read as damaged after an import.

#include "interchange/adiftransfer.h"
#include "tests/interchange/adifhelpers.h"
#include "text/text.h"

#include <gtest/gtest.h>

namespace ondelog::test {
namespace {

struct Input
{
    const char *name;
    std::string text;
    std::int64_t imported;
    std::int64_t noCallSign;
};

std::vector<Input> inputs()
{
    return {
        {"journal.adi",
         "Journal\n<EOH>\n"
         "<CALL:5>F4ABC<QSO_DATE:8>20240301<TIME_ON:4>1200<NAME:6>Jean\f\v"
         "<QTH:7>Rennes\x1A<COMMENT:7>A\x0B"
         "B\x0C"
         "C\x1A"
         "D<EOR>\n"
         "<CALL:6>F4\vABD<QSO_DATE:8>20240302<TIME_ON:4>1300<EOR>\n"
         "<CALL:2>\f\v<QSO_DATE:8>20240303<TIME_ON:4>1400<EOR>\n"
         "\x1A",
         2, 1},
        {"journal.adx",
         "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ADX><HEADER></HEADER><RECORDS>\n"
         "<RECORD><CALL>F4XYZ</CALL><QSO_DATE>20240314</QSO_DATE><TIME_ON>0900</TIME_ON>"
         "<NAME_INTL>H&#1;&#233;l&#232;ne&#11;</NAME_INTL><QTH_INTL>Br&#12;est&#x1F;</QTH_INTL>"
         "<COMMENT>a&#127;b</COMMENT>"
         "<APP PROGRAMID=\"ONDELOG\" FIELDNAME=\"SQSL\" TYPE=\"S\">R&#1;&#2;</APP></RECORD>\n"
         "<RECORD><CALL>&#1;&#2;</CALL><QSO_DATE>20240314</QSO_DATE></RECORD>\n"
         "</RECORDS></ADX>\n",
         1, 1},
    };
}

TEST(ControlBytes, NoneReachesTheLogFromAnImport)
{
    for (const Input &input : inputs()) {
        SCOPED_TRACE(input.name);
        TempDir dir;
        const auto log = dir.file("F6ABC.Ham");
        writeRecords(log, {makeContact(1)});
        writeBytes(dir.file(input.name), input.text);

        const ImportResult result = importInto(log, dir.file(input.name));
        ASSERT_EQ(result.status, LogStatus::Ok) << importSummaryUtf8(result);
        EXPECT_EQ(result.imported, input.imported);
        EXPECT_EQ(result.noCallSign, input.noCallSign);

        const std::string bytes = fileBytes(log);
        EXPECT_TRUE(std::none_of(bytes.begin(), bytes.end(), isControlByte));
        LogFile reread;
        ASSERT_EQ(reread.openReadOnly(log), LogStatus::Ok);
        EXPECT_FALSE(reread.inspect().any());
        EXPECT_EQ(reread.recordCount(), 1 + input.imported);
    }
}

// Each control byte becomes one blank: the texts keep their place in the field.
TEST(ControlBytes, EachBecomesABlank)
{
    TempDir dir;
    const auto log = dir.file("F6ABC.Ham");
    writeRecords(log, {});
    writeBytes(dir.file("journal.adi"), inputs()[0].text);
    ASSERT_EQ(importInto(log, dir.file("journal.adi")).imported, 2);
    const std::vector<QsoRecord> records = readRecords(log);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].field(Field::SNOM), "Jean");
    EXPECT_EQ(records[0].field(Field::SQTH), "Rennes");
    EXPECT_EQ(fieldTextsFromRecord(records[0])[13], "A B C D");
    EXPECT_EQ(records[1].field(Field::CSGN), "F4 ABD");
}

TEST(ControlBytes, ALogOpenedForReadingTakesNoImport)
{
    TempDir dir;
    const auto path = dir.file("F6ABC.Ham");
    writeRecords(path, {makeContact(1)});
    writeBytes(dir.file("journal.adi"), inputs()[0].text);
    const std::string before = fileBytes(path);
    LogFile log;
    ASSERT_EQ(log.openReadOnly(path), LogStatus::Ok);
    EXPECT_EQ(importAdif(log, dir.file("journal.adi"), {kStationLocator, {}}).status,
              LogStatus::ReadOnly);
    EXPECT_EQ(fileBytes(path), before);

    // Open for writing, the log serves the new file once the import is done.
    ASSERT_EQ(log.open(path), LogStatus::Ok);
    EXPECT_EQ(importAdif(log, dir.file("journal.adi"), {kStationLocator, {}}).imported, 2);
    EXPECT_EQ(log.recordCount(), 3);
    EXPECT_EQ(log.appendContact(makeContact(4), kStationLocator), LogStatus::Ok);
    EXPECT_EQ(readRecords(path).size(), 4u);
}

} // namespace
} // namespace ondelog::test
