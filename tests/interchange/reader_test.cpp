// SPDX-License-Identifier: GPL-3.0-or-later
// ADIF files as other programs write them, and damaged ones.

#include "interchange/adifreader.h"

#include <gtest/gtest.h>

#include <sstream>

namespace ondelog::test {
namespace {

// What a reader found: per record "CALL|NAME" (NAME as Windows-1252), and "!"
// per damaged record.
std::string readAll(AdifReader &reader)
{
    std::string out;
    AdifRecord record;
    for (int guard = 0; guard < 1000; ++guard) {
        switch (reader.next(record)) {
        case AdifReadResult::End:
            return out;
        case AdifReadResult::Damaged:
            out += "! ";
            break;
        case AdifReadResult::Record: {
            const std::string *call = record.find("CALL");
            const std::string *name = record.find("NAME");
            out +=
                (call ? textFromAdif(*call) : "?") + "|" + (name ? textFromAdif(*name) : "") + " ";
            break;
        }
        }
    }
    return out + "(no end)";
}

std::string readAdi(const std::string &text)
{
    std::istringstream in(text);
    AdiReader reader(in);
    return readAll(reader);
}

// A literal with its NUL bytes.
template <std::size_t N> std::string bytes(const char (&literal)[N])
{
    return std::string(literal, N - 1);
}

struct ReaderCase
{
    const char *what;
    std::string text;
    std::string expected;
};

TEST(AdiReader, FilesOfOtherPrograms)
{
    const std::vector<ReaderCase> cases = {
        {"no header, upper case", "<CALL:5>F6ABC<NAME:4>Jean<EOR><CALL:5>F5XYZ<EOR>",
         "F6ABC|Jean F5XYZ| "},
        {"lower-case tags, header comment, CR LF",
         "Exported by some logger\r\n<adif_ver:5>3.1.4\r\n<programid:3>XYZ\r\n<eoh>\r\n"
         "<call:5>F6ABC <qso_date:8>20240314 <eor>\r\n",
         "F6ABC| "},
        {"one field per line, LF, fields in any order",
         "header\n<EOH>\n<NAME:4>Jean\n<QSO_DATE:8>20240314\n<CALL:5>F6ABC\n<EoR>\n",
         "F6ABC|Jean "},
        {"type indicators and user-defined fields",
         "<USERDEF1:8:N>EPC<EOH><CALL:5:S>F6ABC<NAME:4:s>Jean<EPC:3>123<APP_N1MM_X:1>1<EOR>",
         "F6ABC|Jean "},
        {"zero-length fields and tags without length",
         "<EOH><CALL:5>F6ABC<NAME:0><COMMENT:0><BOGUS><EOR>", "F6ABC| "},
        {"comments between fields and records, stray '<'",
         "<EOH>a comment < with angle <CALL:5>F6ABC note <3 <EOR> between <CALL:5>F5XYZ<EOR>",
         "F6ABC| F5XYZ| "},
        {"UTF-8 name, length in bytes", "<CALL:5>F6ABC<NAME:8>H\xC3\xA9l\xC3\xA8ne<EOR>",
         "F6ABC|H\xE9l\xE8ne "},
        {"UTF-8 name, length in characters", "<CALL:5>F6ABC<NAME:6>H\xC3\xA9l\xC3\xA8ne<EOR>",
         "F6ABC|H\xE9l\xE8ne "},
        {"UTF-8, length in characters, then a blank",
         "<CALL:5>F6ABC <NAME:6>H\xC3\xA9l\xC3\xA8ne <EOR>", "F6ABC|H\xE9l\xE8ne "},
        {"Windows-1252 name", "<CALL:5>F6ABC<NAME:6>H\xE9l\xE8ne<EOR>", "F6ABC|H\xE9l\xE8ne "},
        {"empty records are nothing", "<EOH><EOR><EOR><CALL:5>F6ABC<EOR>", "F6ABC| "},
        {"DOS end-of-file byte", "<CALL:5>F6ABC<EOR>\r\n\x1A", "F6ABC| "},
        // Damaged records are counted and the rest is read.
        {"length past the end of the file", "<CALL:5>F6ABC<EOR><CALL:5>F5XYZ<NAME:99>Jean",
         "F6ABC| ! "},
        {"length over the next record", "<CALL:5>F6ABC<NAME:40>Jean<EOR><CALL:5>F5XYZ<EOR>",
         "! F5XYZ| "},
        {"length not a number", "<CALL:x>F6ABC<EOR><CALL:5>F5XYZ<EOR>", "! F5XYZ| "},
        {"no <EOR> at the end", "<CALL:5>F6ABC<EOR><CALL:5>F5XYZ", "F6ABC| ! "},
        {"binary garbage between fields",
         bytes("<CALL:5>F6ABC<EOR><CALL:5>F5XYZ\x01\x02\xFF\x00<EOR><CALL:5>F4AAA<EOR>"),
         "F6ABC| ! F4AAA| "},
        {"control bytes inside a value", bytes("<CALL:5>F6\0BC<EOR><CALL:5>F4AAA<EOR>"),
         "! F4AAA| "},
        // A value's length is honoured over an <EOR> in its text when a blank
        // follows it, as our export writes; otherwise the length is the lie.
        {"<eor> in a value, then a blank",
         "<CALL:5>F6ABC <NAME:15>Lyon <eor> Nord <EOR><CALL:5>F5XYZ<EOR>",
         "F6ABC|Lyon <eor> Nord F5XYZ| "},
        {"length over the next record up to its tag",
         "<CALL:5>F6ABC<NAME:9>Jean<EOR><CALL:5>F5XYZ<EOR>", "! F5XYZ| "},
        {"length over the next record into its text",
         "<CALL:5>F6ABC<NAME:11>Jean<EOR><CALL:5>F5XYZ<EOR>", "! F5XYZ| "},
        {"length cutting an <EOR> in two", "<CALL:5>F6ABC<NAME:7>Jean<EOR><CALL:5>F5XYZ<EOR>",
         "! F5XYZ| "},
    };
    for (const ReaderCase &c : cases)
        EXPECT_EQ(readAdi(c.text), c.expected) << c.what;
}

TEST(AdiReader, ReportsItsProgressAndStopsAtTheEnd)
{
    std::istringstream in("<CALL:5>F6ABC<EOR>");
    AdiReader reader(in);
    AdifRecord record;
    EXPECT_EQ(reader.next(record), AdifReadResult::Record);
    EXPECT_EQ(reader.bytesRead(), 18u);
    EXPECT_EQ(reader.next(record), AdifReadResult::End);
    EXPECT_EQ(reader.next(record), AdifReadResult::End);
}

TEST(AdiReader, RecordsAcrossTheReadAhead)
{
    // Values and tags straddle the reader's block boundaries.
    std::string text = "<EOH>";
    for (int i = 0; i < 5000; ++i)
        text += "<CALL:6>F" + std::to_string(100000 + i).substr(1) +
                "<NAME:6>H\xC3\xA9l\xC3\xA8ne "
                "<COMMENT:20>" +
                std::string(20, 'x') + "<EOR>\n";
    std::istringstream in(text);
    AdiReader reader(in);
    AdifRecord record;
    int records = 0;
    while (reader.next(record) == AdifReadResult::Record) {
        ASSERT_EQ(textFromAdif(*record.find("NAME")), "H\xE9l\xE8ne") << records;
        ++records;
    }
    EXPECT_EQ(records, 5000);
}

TEST(AdxReader, RecordsApplicationFieldsAndDamage)
{
    const std::string text =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<ADX><HEADER><ADIF_VER>3.1.4</ADIF_VER>"
        "<USERDEF FIELDNUM=\"1\" TYPE=\"N\">EPC</USERDEF></HEADER><RECORDS>\n"
        "<RECORD><CALL>F6ABC</CALL><NAME>Helene</NAME><NAME_INTL>H\xC3\xA9l\xC3\xA8ne</NAME_INTL>"
        "<APP PROGRAMID=\"ondelog\" FIELDNAME=\"dept\" TYPE=\"S\">042</APP>"
        "<USERDEF FIELDNAME=\"EPC\">12</USERDEF></RECORD>\n"
        "<!-- a comment --><RECORD><CALL>F5XYZ</CALL><NAME>A &amp; B</NAME></RECORD>\n"
        "<RECORD><CALL>BAD<NAME>x</NAME></RECORD>\n"
        "<RECORD><CALL>F4AAA</CALL></RECORD>\n"
        "<RECORD><CALL>CUT</CALL>\n";
    std::istringstream in(text);
    AdxReader reader(in);
    AdifRecord record;
    ASSERT_EQ(reader.next(record), AdifReadResult::Record);
    EXPECT_EQ(*record.find("NAME_INTL"), "H\xC3\xA9l\xC3\xA8ne");
    EXPECT_EQ(*record.find("APP_ONDELOG_DEPT"), "042");
    EXPECT_EQ(*record.find("USERDEF_EPC"), "12");
    ASSERT_EQ(reader.next(record), AdifReadResult::Record);
    EXPECT_EQ(*record.find("NAME"), "A & B");
    EXPECT_EQ(reader.next(record), AdifReadResult::Damaged);
    ASSERT_EQ(reader.next(record), AdifReadResult::Record);
    EXPECT_EQ(*record.find("CALL"), "F4AAA");
    EXPECT_EQ(reader.next(record), AdifReadResult::Damaged);
    EXPECT_EQ(reader.next(record), AdifReadResult::End);
}

} // namespace
} // namespace ondelog::test
