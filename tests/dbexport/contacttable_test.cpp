// SPDX-License-Identifier: GPL-3.0-or-later
#include "dbexport/contacttable.h"
#include "logbook/logfixture.h"
#include "logbook/record.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ondelog {
namespace {

TEST(ContactTable, SixteenTextColumnsInRecordOrderAddingUpToARecord)
{
    const std::vector<std::pair<std::string, int>> expected = {
        {"CSGN", 15}, {"DQSO", 8}, {"HDEB", 5},  {"HFIN", 5}, {"FREQ", 10}, {"MODE", 5},
        {"SRST", 8},  {"MRST", 8}, {"SQTH", 25}, {"SLOC", 6}, {"DEPT", 3},  {"SNOM", 15},
        {"INFO", 30}, {"MQSL", 8}, {"SQSL", 8},  {"MLOC", 6}};
    const auto &columns = contactTableColumns();
    ASSERT_EQ(columns.size(), expected.size());
    int total = 0;
    for (std::size_t k = 0; k < columns.size(); ++k) {
        EXPECT_EQ(columns[k].name, expected[k].first) << k;
        EXPECT_EQ(columns[k].size, expected[k].second) << k;
        total += columns[k].size;
    }
    EXPECT_EQ(total, int(kRecordSize));
}

TEST(ContactTable, RowValuesAreTheFullFieldsDecoded)
{
    QsoRecord r;
    r.setField(Field::CSGN, "F5ABC");
    r.setField(Field::SQTH, "Saint-\xC9tienne"); // É in Windows-1252
    r.setField(Field::SNOM, "Fran\xE7ois \x80"); // ç and the euro sign
    r.setField(Field::MLOC, "JN18EU");
    RowValues values;
    values.assign(test::makeContact(7)); // something else first: the buffer is reused
    values.assign(r);

    struct Case
    {
        Field field;
        std::string utf8;
    };
    const Case cases[] = {
        {Field::CSGN, "F5ABC          "},
        {Field::DQSO, "        "},
        {Field::SQTH, "Saint-\xC3\x89tienne" + std::string(12, ' ')},
        {Field::SNOM, "Fran\xC3\xA7ois \xE2\x82\xAC" + std::string(5, ' ')},
        {Field::MLOC, "JN18EU"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(values.value(static_cast<int>(c.field) - 1), c.utf8) << static_cast<int>(c.field);

    // Plain ASCII after accents: nothing of the previous row is left.
    r.setField(Field::SQTH, "Rennes");
    r.setField(Field::SNOM, "Yves");
    values.assign(r);
    EXPECT_EQ(values.value(0), "F5ABC          ");
    EXPECT_EQ(values.value(8), "Rennes" + std::string(19, ' '));
    EXPECT_EQ(values.value(11), "Yves" + std::string(11, ' '));
    EXPECT_EQ(values.value(15), "JN18EU");
}

TEST(ContactTable, DatabaseNameFollowsTheLogsNameLetterCaseIncluded)
{
    struct Case
    {
        const char *logTitle;
        const char *baseName;
        const char *databaseTitle;
        bool accepted;
    };
    const Case cases[] = {
        {"F6XYZ.Ham", "F6XYZ", "F6XYZ.mdb", true},
        {"F6XYZ.Ham", "F6XYZ", "f6xyz.mdb", false},
        {"F6XYZ.Ham", "F6XYZ", "F6XYZ.MDB", false},
        {"F6XYZ.Ham", "F6XYZ", "F6XYZ.Ham.mdb", false},
        {"Clément.Ham", "Clément", "Clément.mdb", true}, // characters, not bytes
        {".Ham", "", ".mdb", false},
        {"ab", "", ".mdb", false},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(logBaseName(c.logTitle), c.baseName) << c.logTitle;
        EXPECT_EQ(isExpectedDatabase(c.databaseTitle, logBaseName(c.logTitle)), c.accepted)
            << c.logTitle << " " << c.databaseTitle;
    }
}

TEST(ContactTable, EngineErrorsReadInFrench)
{
    EXPECT_EQ(openErrorMessageUtf8(14, "le fichier ne peut pas être ouvert"),
              "Erreur à l'ouverture : 14)le fichier ne peut pas être ouvert)");
    EXPECT_EQ(engineErrorDescriptionUtf8(26), "le fichier n'est pas une base de données");
    EXPECT_EQ(engineErrorDescriptionUtf8(13 | (1 << 8)), "le disque est plein"); // extended code
    EXPECT_EQ(engineErrorDescriptionUtf8(1), "");
}

} // namespace
} // namespace ondelog
