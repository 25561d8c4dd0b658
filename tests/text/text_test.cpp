// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <string>

using namespace ondelog;

namespace {

std::string allBytes()
{
    std::string s;
    for (int b = 0; b < 256; ++b)
        s += static_cast<char>(b);
    return s;
}

} // namespace

TEST(Cp1252Codec, EveryByteSurvivesTheTripThroughUtf8)
{
    const std::string bytes = allBytes();
    EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(bytes)), bytes);
    for (int b = 1; b < 256; ++b) {
        const char c = static_cast<char>(b);
        EXPECT_EQ(cp1252FromCodePoint(codePointFromCp1252(c)), c) << "byte " << b;
    }
}

TEST(Cp1252Codec, TranslatesTheFrenchLettersAndTheHighTable)
{
    struct Row
    {
        std::string cp1252;
        std::string utf8;
    };
    const Row rows[] = {
        {"F6ABC", "F6ABC"},
        {"\xE9t\xE9", "\xC3\xA9t\xC3\xA9"},                       // été
        {"\xC9\xC0\xC7\xFB", "\xC3\x89\xC3\x80\xC3\x87\xC3\xBB"}, // ÉÀÇû
        {"\x80", "\xE2\x82\xAC"},                                 // €
        {"\x9C\x8C", "\xC5\x93\xC5\x92"},                         // œŒ
        {"\x9F\xFF", "\xC5\xB8\xC3\xBF"},                         // Ÿÿ
        {"\x85", "\xE2\x80\xA6"},                                 // …
        {"\x92", "\xE2\x80\x99"},                                 // ’
        {"\x81\x9D", "\xC2\x81\xC2\x9D"},                         // holes of the code page
        {std::string("a\0b", 3), std::string("a\0b", 3)},
    };
    for (const Row &row : rows) {
        EXPECT_EQ(cp1252ToUtf8(row.cp1252), row.utf8);
        EXPECT_EQ(utf8ToCp1252(row.utf8), row.cp1252);
    }
}

TEST(Cp1252Codec, UnmappableOrMalformedUtf8BecomesOneQuestionMarkEach)
{
    struct Row
    {
        std::string utf8;
        std::string cp1252;
    };
    const Row rows[] = {
        {"\xE6\x97\xA5\xE6\x9C\xAC", "??"}, // two CJK characters
        {"\xF0\x9F\x93\xBB", "?"},          // a radio emoji
        {"\xC2\x80", "?"},                  // U+0080: its byte is the euro sign
        {"a\xC3", "a?"},                    // cut sequence at the end
        {"a\xE2\x82"
         "b",
         "a?b"},                      // cut sequence in the middle
        {"\xC0\xAF", "??"},           // overlong '/'
        {"\xED\xA0\x80", "???"},      // surrogate
        {"\xF4\x90\x80\x80", "????"}, // beyond U+10FFFF
        {"\xFF"
         "F6",
         "?F6"}, // a Windows-1252 byte by mistake
    };
    for (const Row &row : rows)
        EXPECT_EQ(utf8ToCp1252(row.utf8), row.cp1252) << cp1252ToUtf8(row.utf8);
}

TEST(Cp1252Case, FrenchLettersAndTheHighTableChangeCase)
{
    struct Row
    {
        unsigned char lower;
        unsigned char upper;
    };
    const Row rows[] = {{'a', 'A'},   {'z', 'Z'},   {0xE0, 0xC0}, {0xE9, 0xC9},
                        {0xE7, 0xC7}, {0xFB, 0xDB}, {0xFE, 0xDE}, {0xFF, 0x9F},
                        {0x9C, 0x8C}, {0x9A, 0x8A}, {0x9E, 0x8E}};
    for (const Row &row : rows) {
        EXPECT_EQ(toUpperCp1252(static_cast<char>(row.lower)), static_cast<char>(row.upper));
        EXPECT_EQ(toLowerCp1252(static_cast<char>(row.upper)), static_cast<char>(row.lower));
    }
    // Signs and letters without a single-character other case stay as they are.
    for (int c : {0xF7, 0xD7, 0xDF, 0xB5, int{'1'}, int{'\\'}, int{'/'}, int{' '}}) {
        EXPECT_EQ(toUpperCp1252(static_cast<char>(c)), static_cast<char>(c)) << int(c);
        EXPECT_EQ(toLowerCp1252(static_cast<char>(c)), static_cast<char>(c)) << int(c);
    }
    EXPECT_EQ(toUpperCp1252("f6abc/p \xE9l\xE8ve \x9C"), "F6ABC/P \xC9L\xC8VE \x8C");
}

TEST(Cp1252Case, UpperAndLowerAreInverseWhereverACaseChanges)
{
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        if (toUpperCp1252(c) != c) {
            EXPECT_EQ(toLowerCp1252(toUpperCp1252(c)), c) << b;
        }
        if (toLowerCp1252(c) != c) {
            EXPECT_EQ(toUpperCp1252(toLowerCp1252(c)), c) << b;
        }
    }
}

TEST(FixedWidthText, PadsCutsAndTrims)
{
    EXPECT_EQ(fixedWidth("F6ABC", 8), "F6ABC   ");
    EXPECT_EQ(fixedWidth("F6ABCDEFGHIJKLMNOP", 15), "F6ABCDEFGHIJKLM");
    EXPECT_EQ(fixedWidth("", 3), "   ");
    EXPECT_EQ(fixedWidth("\xE9t\xE9", 2), "\xE9t"); // one byte per accented letter
    EXPECT_EQ(trim("  F6ABC  "), "F6ABC");
    EXPECT_EQ(trim("   "), "");
    EXPECT_EQ(trim(""), "");
    EXPECT_EQ(trim(" a b "), "a b");
    EXPECT_EQ(trim("\tx"), "\tx"); // fields are padded with spaces only
}

TEST(NumericValue, ReadsTheLongestLeadingNumber)
{
    struct Row
    {
        const char *text;
        double value;
    };
    const Row rows[] = {
        {"", 0},        {"1/", 1},       {"/5", 0},      {"  12", 12},  {"05/02/03", 5},
        {"09:05", 9},   {"-3.5x", -3.5}, {".5", 0.5},    {"-.5", -0.5}, {"+7", 7},
        {"-", 0},       {".", 0},        {"-.", 0},      {"1.", 1},     {"14.205", 14.205},
        {"1.2.3", 1.2}, {"1,5", 1},      {"12 34", 12},  {"abc", 0},    {"0042", 42},
        {"1e3", 1},     {"  -0", 0},     {"9999", 9999}, {"\t3", 3},
    };
    for (const Row &row : rows)
        EXPECT_DOUBLE_EQ(numericValue(row.text), row.value) << '"' << row.text << '"';
}

TEST(NumericValue, SurvivesHugeRuns)
{
    const std::string huge(400, '9');
    EXPECT_TRUE(std::isinf(numericValue(huge)));
    EXPECT_LT(numericValue("-" + huge), 0);
    EXPECT_EQ(numericValue("0." + std::string(400, '0') + "1"), 0.0);
    EXPECT_DOUBLE_EQ(numericValue(std::string(400, '0') + "7"), 7.0);
}

namespace {

void expectFormatTable()
{
    struct Row
    {
        double value;
        const char *text;
    };
    const Row rows[] = {
        {346, "346"},
        {5689.2f, "5689.2"}, // a single-precision distance keeps its one decimal
        {4.6f, "4.6"},
        {0.5, "0.5"},
        {-0.5, "-0.5"},
        {0, "0"},
        {-0.0, "0"},
        {1911.0, "1911"},
        {111.283095f, "111.2831"},
        {3.14159265358979, "3.141593"},
        {1234567.4, "1234567"},
        {12345678, "12345680"},
        {0.0001, "0.0001"},
        {0.00012345678, "0.0001234568"},
        {100, "100"},
        {9999999.6, "10000000"},
        {1e20, "1E+20"},
        {1.5e-9, "1.5E-09"},
    };
    for (const Row &row : rows)
        EXPECT_EQ(formatNumber(row.value), row.text) << row.value;
}

} // namespace

TEST(FormatNumber, SevenSignificantDigitsWithAPoint)
{
    expectFormatTable();
}

TEST(FormatNumber, IgnoresAFrenchLocale)
{
    const char *found = nullptr;
    for (const char *name : {"fr_FR.UTF-8", "fr_FR.utf8", "fr_FR", "fr_FR@euro"}) {
        if (std::setlocale(LC_ALL, name)) {
            found = name;
            break;
        }
    }
    if (!found)
        GTEST_SKIP() << "no French locale on this machine";
    expectFormatTable();
    EXPECT_DOUBLE_EQ(numericValue("14.205"), 14.205);
    EXPECT_DOUBLE_EQ(numericValue("14,205"), 14);
    std::setlocale(LC_ALL, "C");
}
