// SPDX-License-Identifier: GPL-3.0-or-later
// How one field of a contact reads in ADIF, and how ADIF fields read in the log.

#include "interchange/adifmapping.h"
#include "tests/interchange/adifhelpers.h"

#include <gtest/gtest.h>

namespace ondelog::test {
namespace {

std::string adifValue(const std::vector<AdifField> &fields, const std::string &name)
{
    for (const AdifField &f : fields)
        if (f.name == name)
            return f.value;
    return "<none>";
}

// A contact of the log with one field set, and the ADIF fields it must give.
struct ExportCase
{
    Field field;
    std::string logText;
    std::vector<std::pair<std::string, std::string>> expected; // "<none>": absent
};

TEST(AdifMapping, ExportTable)
{
    const std::vector<ExportCase> cases = {
        // Dates across the century rule, times.
        {Field::DQSO, "31/12/59", {{"QSO_DATE", "20591231"}}},
        {Field::DQSO, "01/01/60", {{"QSO_DATE", "19600101"}}},
        {Field::DQSO, "29/02/00", {{"QSO_DATE", "20000229"}}},
        {Field::DQSO, "30/02/01", {{"QSO_DATE", "<none>"}, {"APP_ONDELOG_DQSO", "30/02/01"}}},
        {Field::HDEB, "09:05", {{"TIME_ON", "0905"}}},
        {Field::HFIN, "23:59", {{"TIME_OFF", "2359"}}},
        {Field::HDEB, "24:00", {{"TIME_ON", "<none>"}, {"APP_ONDELOG_HDEB", "24:00"}}},
        // Bands at their edges.
        {Field::FREQ, "14", {{"FREQ", "14"}, {"BAND", "20m"}}},
        {Field::FREQ, "14.35", {{"FREQ", "14.35"}, {"BAND", "20m"}}},
        {Field::FREQ, "14.351", {{"FREQ", "14.351"}, {"BAND", "<none>"}}},
        {Field::FREQ, "13.999", {{"BAND", "<none>"}}},
        {Field::FREQ, "0.1357", {{"BAND", "2190m"}}},
        {Field::FREQ, "1.8", {{"BAND", "160m"}}},
        {Field::FREQ, "54", {{"BAND", "6m"}}},
        {Field::FREQ, "148", {{"BAND", "2m"}}},
        {Field::FREQ, "432.2", {{"BAND", "70cm"}}},
        {Field::FREQ, "10368", {{"BAND", "3cm"}}},
        {Field::FREQ,
         "14,205",
         {{"FREQ", "14.205"}, {"BAND", "20m"}, {"APP_ONDELOG_FREQ", "14,205"}}},
        {Field::FREQ, "QRG?", {{"FREQ", "<none>"}, {"BAND", "<none>"}}},
        // Modes and submodes.
        {Field::MODE, "USB", {{"MODE", "SSB"}, {"SUBMODE", "USB"}}},
        {Field::MODE, "LSB", {{"MODE", "SSB"}, {"SUBMODE", "LSB"}}},
        {Field::MODE, "SSB", {{"MODE", "SSB"}, {"SUBMODE", "<none>"}}},
        {Field::MODE, "PSK31", {{"MODE", "PSK"}, {"SUBMODE", "PSK31"}}},
        {Field::MODE, "FT4", {{"MODE", "MFSK"}, {"SUBMODE", "FT4"}}},
        {Field::MODE, "FT8", {{"MODE", "FT8"}, {"SUBMODE", "<none>"}}},
        {Field::MODE, "ft8", {{"MODE", "FT8"}, {"APP_ONDELOG_MODE", "ft8"}}},
        {Field::MODE, "CW", {{"MODE", "CW"}}},
        {Field::MODE, "XYZ", {{"MODE", "<none>"}, {"APP_ONDELOG_MODE", "XYZ"}}},
        {Field::MODE, "VOICE", {{"MODE", "<none>"}}},
        {Field::MODE, "FST4", {{"MODE", "MFSK"}, {"SUBMODE", "FST4"}}},
        {Field::MODE, "MSK", {{"MODE", "MSK144"}, {"APP_ONDELOG_MODE", "<none>"}}},
        {Field::MODE, "OL8/5", {{"MODE", "OLIVIA"}, {"SUBMODE", "OLIVIA 8/500"}}},
        // Older cuts and the operator's own spellings go out under ADIF names,
        // and come back as they were through our own field.
        {Field::MODE, "MSK14", {{"MODE", "MSK144"}, {"APP_ONDELOG_MODE", "MSK14"}}},
        {Field::MODE, "OLIVI", {{"MODE", "OLIVIA"}, {"SUBMODE", "<none>"}}},
        {Field::MODE, "MFSK1", {{"MODE", "MFSK"}, {"SUBMODE", "<none>"}}},
        {Field::MODE, "BLU", {{"MODE", "SSB"}, {"SUBMODE", "<none>"}, {"APP_ONDELOG_MODE", "BLU"}}},
        {Field::MODE, "bls", {{"MODE", "SSB"}, {"SUBMODE", "USB"}}},
        {Field::MODE, "BLI", {{"MODE", "SSB"}, {"SUBMODE", "LSB"}}},
        {Field::MODE, "A1A", {{"MODE", "CW"}}},
        // QSL states.
        {Field::MQSL, "En cours", {{"QSL_SENT", "Q"}, {"QSLSDATE", "<none>"}}},
        {Field::MQSL, "12/03/24", {{"QSL_SENT", "Y"}, {"QSLSDATE", "20240312"}}},
        {Field::MQSL, "", {{"QSL_SENT", "<none>"}}},
        {Field::SQSL, "05/06/07", {{"QSL_RCVD", "Y"}, {"QSLRDATE", "20070605"}}},
        {Field::SQSL,
         "oui",
         {{"QSL_RCVD", "Y"}, {"QSLRDATE", "<none>"}, {"APP_ONDELOG_SQSL", "oui"}}},
        // Locators, département.
        {Field::SLOC, "JN25RK", {{"GRIDSQUARE", "JN25RK"}}},
        {Field::SLOC, "JN25", {{"GRIDSQUARE", "JN25"}}},
        {Field::SLOC, "JN25R", {{"GRIDSQUARE", "<none>"}, {"APP_ONDELOG_SLOC", "JN25R"}}},
        {Field::MLOC, "JN18EU", {{"MY_GRIDSQUARE", "JN18EU"}, {"APP_ONDELOG_MLOC", "<none>"}}},
        {Field::MLOC, "", {{"MY_GRIDSQUARE", "<none>"}, {"APP_ONDELOG_MLOC", ""}}},
        {Field::DEPT, "2A", {{"APP_ONDELOG_DEPT", "2A"}}},
    };
    for (const ExportCase &c : cases) {
        QsoRecord r = makeContact(1);
        r.setField(c.field, c.logText);
        const auto fields = contactToAdif(r, {"F6ABC"}, AdifFormat::Adi);
        for (const auto &[name, value] : c.expected)
            EXPECT_EQ(adifValue(fields, name), value)
                << fieldLayout(c.field).code << " \"" << c.logText << "\" -> " << name;
    }
}

TEST(AdifMapping, ExportCarriesTheRemarksTheManagerAndTheStation)
{
    const auto adx = contactToAdif(makeContact(7), {"F6ABC"}, AdifFormat::Adx);
    EXPECT_EQ(adifValue(adx, "COMMENT"), "n7");
    EXPECT_EQ(adifValue(adx, "QSL_VIA"), "F5XYZ");
    EXPECT_EQ(adifValue(adx, "STATION_CALLSIGN"), "F6ABC");
    EXPECT_EQ(adifValue(adx, "QTH"), "Saint-Etienne");
    EXPECT_EQ(adifValue(adx, "QTH_INTL"), "Saint-\xC3\x89tienne");
    EXPECT_EQ(adifValue(adx, "NAME_INTL"), "Fran\xC3\xA7ois");
    EXPECT_EQ(adifValue(adx, "APP_ONDELOG_SQTH"), "<none>");
}

// ADIF fields of another program's record, and the log field they must fill.
struct ImportCase
{
    std::vector<AdifField> fields; // added to CALL F6ABC, QSO_DATE 20240314
    Field field;
    std::string expected;
    ImportSkip skip = ImportSkip::None;
};

TEST(AdifMapping, ImportTable)
{
    const char *station = "JN18EU";
    const std::vector<ImportCase> cases = {
        {{{"QSO_DATE", "19600101"}}, Field::DQSO, "01/01/60"},
        {{{"QSO_DATE", "20591231"}}, Field::DQSO, "31/12/59"},
        {{{"QSO_DATE", "19591231"}}, Field::DQSO, "", ImportSkip::DateNotWritable},
        {{{"QSO_DATE", "20600101"}}, Field::DQSO, "", ImportSkip::DateNotWritable},
        {{{"QSO_DATE", "20230229"}}, Field::DQSO, "", ImportSkip::DateNotWritable},
        {{{"TIME_ON", "1234"}}, Field::HDEB, "12:34"},
        {{{"TIME_ON", "123456"}}, Field::HDEB, "12:34"},
        {{{"TIME_ON", "123"}}, Field::HDEB, ""},
        {{{"TIME_OFF", "2400"}}, Field::HFIN, ""},
        {{{"MODE", "SSB"}, {"SUBMODE", "USB"}}, Field::MODE, "USB"},
        {{{"MODE", "MFSK"}, {"SUBMODE", "FT4"}}, Field::MODE, "FT4"},
        {{{"MODE", "ft8"}}, Field::MODE, "FT8"},
        {{{"MODE", "DIGITALVOICE"}}, Field::MODE, "DV"},
        {{{"MODE", "MSK144"}}, Field::MODE, "MSK"},
        {{{"MODE", "OLIVIA"}, {"SUBMODE", "OLIVIA 8/500"}}, Field::MODE, "OL8/5"},
        {{{"MODE", "OLIVIA 8/500"}}, Field::MODE, "OL8/5"},
        {{{"MODE", "MFSK"}, {"SUBMODE", "mfsk16"}}, Field::MODE, "MF16"},
        {{{"MODE", "FST4"}}, Field::MODE, "FST4"},
        {{{"MODE", "CONTESTIA"}}, Field::MODE, "CONTE"},
        {{{"MODE", "PSK"}, {"SUBMODE", "PSK125RC10"}}, Field::MODE, "PSK"},
        {{{"MODE", "MFSK"}, {"SUBMODE", "FT2"}}, Field::MODE, "FT2"},
        {{{"MODE", "NEWDIGIMODE"}}, Field::MODE, "NEWDI"},
        {{{"FREQ", "14.074000"}}, Field::FREQ, "14.074000"},
        {{{"FREQ", "7.07415000"}}, Field::FREQ, "7.07415000"},
        {{{"BAND", "20M"}}, Field::FREQ, "14"},
        {{{"BAND", "2190m"}}, Field::FREQ, "0.1357"},
        {{{"GRIDSQUARE", "jn18eu"}}, Field::SLOC, "JN18EU"},
        {{{"GRIDSQUARE", "JN18EU12"}}, Field::SLOC, "JN18EU"},
        {{{"GRIDSQUARE", "JN18"}}, Field::SLOC, "JN18"},
        {{{"GRIDSQUARE", "JN1"}}, Field::SLOC, ""},
        {{{"MY_GRIDSQUARE", "IN88"}}, Field::MLOC, "IN88"},
        {{}, Field::MLOC, station},
        {{{"QSL_SENT", "Y"}, {"QSLSDATE", "20240312"}}, Field::MQSL, "12/03/24"},
        {{{"QSL_SENT", "Y"}},
         Field::MQSL,
         "Envoy\xE9"
         "e"},
        {{{"QSL_SENT", "Q"}}, Field::MQSL, "En cours"},
        {{{"QSL_SENT", "N"}}, Field::MQSL, ""},
        {{{"QSL_RCVD", "Y"}, {"QSLRDATE", "20070605"}}, Field::SQSL, "05/06/07"},
        {{{"QSL_RCVD", "V"}}, Field::SQSL, "Re\xE7ue"},
        {{{"QSL_RCVD", "R"}}, Field::SQSL, ""},
        {{{"LOTW_QSL_RCVD", "Y"}, {"LOTW_QSLRDATE", "20240310"}}, Field::SQSL, "10/03/24"},
        {{{"EQSL_QSL_RCVD", "y"}}, Field::SQSL, "Re\xE7ue"},
        {{{"QSL_RCVD", "N"}, {"EQSL_QSL_RCVD", "Y"}, {"EQSL_QSLRDATE", "20240311"}},
         Field::SQSL,
         "11/03/24"},
        {{{"QSL_RCVD", "Y"},
          {"QSLRDATE", "20240101"},
          {"LOTW_QSL_RCVD", "Y"},
          {"LOTW_QSLRDATE", "20240310"}},
         Field::SQSL,
         "01/01/24"},
        {{{"NAME", "Helene"}, {"NAME_INTL", "H\xC3\xA9l\xC3\xA8ne"}}, Field::SNOM, "H\xE9l\xE8ne"},
        {{{"QTH", "Montr\xE9"
                  "al"}},
         Field::SQTH,
         "Montr\xE9"
         "al"}, // Windows-1252 bytes
        {{{"CALL", "ea5/f6abc/p"}}, Field::CSGN, "EA5/F6ABC/P"},
        {{{"CALL", ""}}, Field::CSGN, "", ImportSkip::NoCallSign},
        {{{"CALL", "\\"}}, Field::CSGN, "\\", ImportSkip::NoCallSign},
    };
    for (const ImportCase &c : cases) {
        AdifRecord adif;
        adif.fields = c.fields;
        adif.fields.push_back({"CALL", "F6ABC"});
        adif.fields.push_back({"QSO_DATE", "20240314"});
        const ImportedContact got = contactFromAdif(adif, station);
        const std::string what =
            c.fields.empty() ? "(none)" : c.fields.front().name + " " + c.fields.front().value;
        EXPECT_EQ(got.skip, c.skip) << what;
        if (c.skip == ImportSkip::None) {
            EXPECT_EQ(got.record.field(c.field), c.expected) << what;
        }
    }
}

// Each text the log cannot hold as the file gave it counts once: cut to its
// field, a mode without its submode, letters folded, or both.
TEST(AdifMapping, ImportCountsTheTextsItCutsOrFolds)
{
    AdifRecord adif;
    adif.fields = {{"CALL", "F6ABC"},
                   {"QSO_DATE", "20240314"},
                   {"QTH", std::string(30, 'Q')},
                   {"COMMENT", "Un commentaire bien trop long"},
                   {"QSL_VIA", "F5XYZ"},
                   {"NAME", "Lukasz"},
                   {"NAME_INTL", "\xC5\x81ukasz Wi\xC5\x9Bniewski-Kowalczyk"}, // Ł, ś
                   {"MODE", "PSK"},
                   {"SUBMODE", "PSK63RC10"},
                   {"RST_SENT", "59"}};
    const ImportedContact got = contactFromAdif(adif, "JN18EU");
    EXPECT_EQ(got.truncatedFields, 4);
    EXPECT_EQ(got.record.field(Field::SQTH), std::string(25, 'Q'));
    EXPECT_EQ(got.record.field(Field::SNOM), "Lukasz Wisniews");
    EXPECT_EQ(got.record.field(Field::MODE), "PSK");
    const FieldTexts texts = fieldTextsFromRecord(got.record);
    EXPECT_EQ(texts[13], "Un commentaire");
    EXPECT_EQ(texts[17], "F5XYZ");

    adif.fields = {{"CALL", "F6ABC"},
                   {"QSO_DATE", "20240314"},
                   {"QTH_INTL", "\xD0\x9C\xD0\xBE\xD1\x81\xD0\xBA\xD0\xB2\xD0\xB0"}, // Москва
                   {"NAME_INTL", "Fran\xC3\xA7ois"}};
    const ImportedContact russian = contactFromAdif(adif, "JN18EU");
    EXPECT_EQ(russian.truncatedFields, 1);
    EXPECT_EQ(russian.record.field(Field::SQTH), "Moskva");
    EXPECT_EQ(russian.record.field(Field::SNOM), "Fran\xE7ois");
}

} // namespace
} // namespace ondelog::test
