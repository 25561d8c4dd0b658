// SPDX-License-Identifier: GPL-3.0-or-later
#include "logbook/record.h"

#include "logbook/logfile.h"
#include "logfixture.h"

#include <gtest/gtest.h>

using namespace ondelog;
using ondelog::test::TempDir;

namespace {

// A full record, field by field, written out by hand: the layout other programs
// read the log with.
const std::string kExpectedBytes = std::string("F6ABC/P        ")     // CSGN 15 @0
                                   + "01/02/03"                       // DQSO 8 @15
                                   + "09:05"                          // HDEB 5 @23
                                   + "09:30"                          // HFIN 5 @28
                                   + "14.205    "                     // FREQ 10 @33
                                   + "SSB  "                          // MODE 5 @43
                                   + "59      "                       // SRST 8 @48
                                   + "57+     "                       // MRST 8 @56
                                   + "Saint-\xC9tienne            "   // SQTH 25 @64
                                   + "JN25RK"                         // SLOC 6 @89
                                   + "042"                            // DEPT 3 @95
                                   + "Fran\xE7ois       "             // SNOM 15 @98
                                   + "Merci QSO      F5XYZ          " // INFO 30 @113
                                   + "ENVOYEE "                       // MQSL 8 @143
                                   + "RECUE   "                       // SQSL 8 @151
                                   + "JN18EU";                        // MLOC 6 @159

FieldTexts sampleTexts()
{
    FieldTexts t;
    t[1] = "F6ABC/P";
    t[2] = "01/02/03";
    t[3] = "09:05";
    t[4] = "09:30";
    t[5] = "14.205";
    t[6] = "SSB";
    t[7] = "59";
    t[8] = "57+";
    t[9] = "Saint-\xC9tienne";
    t[10] = "JN25RK";
    t[11] = "042";
    t[12] = "Fran\xE7ois";
    t[13] = "Merci QSO";
    t[17] = "F5XYZ";
    t[0] = buildInfo(t[13], t[17]);
    t[14] = "ENVOYEE";
    t[15] = "RECUE";
    t[16] = "JN18EU";
    return t;
}

} // namespace

TEST(RecordLayout, FieldsLandAtTheirBytes)
{
    ASSERT_EQ(kExpectedBytes.size(), kRecordSize);
    const QsoRecord record = recordFromFieldTexts(sampleTexts());
    EXPECT_EQ(test::recordBytes(record), kExpectedBytes);

    // The same bytes reach the file, at (n - 1) * 165.
    TempDir dir;
    const auto path = dir.file("F6ABC.Ham");
    ASSERT_EQ(LogFile::create(path, "JN18EU"), LogStatus::Ok);
    LogFile log;
    ASSERT_EQ(log.open(path), LogStatus::Ok);
    ASSERT_EQ(log.appendContact(record, "JN18EU"), LogStatus::Ok);
    ASSERT_EQ(log.appendContact(record, "JN18EU"), LogStatus::Ok);
    const std::string file = test::fileBytes(path);
    ASSERT_EQ(file.size(), 3 * kRecordSize);
    EXPECT_EQ(file.substr(0, 165), kExpectedBytes);
    EXPECT_EQ(file.substr(165, 165), kExpectedBytes);
    EXPECT_EQ(file.substr(330, 165), std::string("\\") + std::string(158, ' ') + "JN18EU");
}

TEST(RecordLayout, EachFieldReadsBackFromItsOwnPlace)
{
    QsoRecord record;
    for (int i = 1; i <= kFieldCount; ++i)
        record.setField(i, std::string(fieldLayout(i).width, static_cast<char>('a' + i)));
    const std::string bytes = test::recordBytes(record);
    for (int i = 1; i <= kFieldCount; ++i) {
        const FieldLayout &f = fieldLayout(i);
        EXPECT_EQ(bytes.substr(f.offset, f.width), std::string(f.width, static_cast<char>('a' + i)))
            << f.code;
        EXPECT_EQ(record.rawField(i), record.field(i)) << f.code;
    }
    EXPECT_STREQ(fieldLayout(Field::INFO).code, "INFO");
}

TEST(QsoRecordFields, ValuesArePaddedCutAndTrimmed)
{
    QsoRecord r;
    EXPECT_EQ(test::recordBytes(r), std::string(kRecordSize, ' '));

    r.setField(Field::CSGN, "F6ABCDEFGHIJKLMN"); // 16 characters
    EXPECT_EQ(r.rawField(static_cast<int>(Field::CSGN)), "F6ABCDEFGHIJKLM");
    EXPECT_EQ(r.bytes()[15], ' ') << "the 16th character spilled into DQSO";

    r.setField(Field::SNOM, "  Jean  ");
    EXPECT_EQ(r.field(Field::SNOM), "Jean");
    EXPECT_EQ(r.rawField(static_cast<int>(Field::SNOM)), "  Jean         ");

    // A wrong field number touches nothing.
    const QsoRecord before = r;
    r.setField(0, "XXXX");
    r.setField(17, "XXXX");
    EXPECT_EQ(r, before);
    EXPECT_EQ(r.field(17), "");
}

TEST(FieldTexts, InfoSplitsIntoRemarksAndManager)
{
    QsoRecord r;
    r.setField(Field::INFO, buildInfo(" Merci", "F5XYZ"));
    const FieldTexts t = fieldTextsFromRecord(r);
    EXPECT_EQ(t[0], " Merci         F5XYZ          "); // untrimmed
    EXPECT_EQ(t[13], "Merci");
    EXPECT_EQ(t[17], "F5XYZ");

    // Remarks of 15 characters run straight into the manager.
    r.setField(Field::INFO, buildInfo("ABCDEFGHIJKLMNOPQ", "VE2/F6ABC"));
    const FieldTexts full = fieldTextsFromRecord(r);
    EXPECT_EQ(full[13], "ABCDEFGHIJKLMNO");
    EXPECT_EQ(full[17], "VE2/F6ABC");
}

TEST(FieldTexts, RecordRoundTripsThroughTheTexts)
{
    const QsoRecord record = recordFromFieldTexts(sampleTexts());
    const FieldTexts back = fieldTextsFromRecord(record);
    EXPECT_EQ(back, sampleTexts());
    EXPECT_EQ(recordFromFieldTexts(back), record);
}

TEST(FieldTexts, InfoIsWrittenFromTextZeroOnly)
{
    FieldTexts t = sampleTexts();
    t[13] = "changed";
    t[17] = "ignored";
    const QsoRecord r = recordFromFieldTexts(t);
    EXPECT_EQ(r.rawField(static_cast<int>(Field::INFO)), "Merci QSO      F5XYZ          ");
}

TEST(EndMarker, OnlyALoneBackslashEndsTheLog)
{
    const QsoRecord marker = QsoRecord::endMarker("JN18EU");
    EXPECT_TRUE(marker.isEndMarker());
    EXPECT_EQ(marker.field(Field::MLOC), "JN18EU");
    EXPECT_EQ(test::recordBytes(marker), "\\" + std::string(158, ' ') + "JN18EU");

    struct Row
    {
        const char *csgn;
        bool marker;
        bool storable;
    };
    const Row rows[] = {
        {"\\", true, false},       {"   \\   ", true, false}, {"\\\\", false, false},
        {"\\F6ABC", false, false}, {" \\X", false, false},    {"F6ABC\\", false, true},
        {"F6ABC/P", false, true},  {"", false, true},
    };
    for (const Row &row : rows) {
        QsoRecord r;
        r.setField(Field::CSGN, row.csgn);
        EXPECT_EQ(r.isEndMarker(), row.marker) << row.csgn;
        EXPECT_EQ(isCallSignStorable(row.csgn), row.storable) << row.csgn;
    }
}
