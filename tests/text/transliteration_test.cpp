// SPDX-License-Identifier: GPL-3.0-or-later
// Unicode text made fit for the log's code page: nearest letters, never a
// character the log cannot hold.

#include "text/text.h"
#include "text/transliteration.h"

#include <gtest/gtest.h>

using namespace ondelog;

TEST(FoldToCp1252, NamesOfOtherAlphabetsAsAnOperatorWouldWriteThem)
{
    struct Row
    {
        const char *utf8;
        const char *folded;
        bool changed;
    };
    const Row rows[] = {
        {"\xC5\x81ukasz", "Lukasz", true},                                       // Łukasz
        {"Fran\xC3\xA7ois \xC5\x92uvre", "Fran\xC3\xA7ois \xC5\x92uvre", false}, // in the code page
        {"\xC5\x90z \xC5\xB1r", "\xC3\x96z \xC3\xBCr", true}, // Őz űr: the umlaut
        {"\xC8\x98tefan \xC5\xA2"
         "and\xC4\x83r\xC4\x83",
         "Stefan Tandara", true}, // Ștefan Ţandără
        {"\xC4\x90or\xC4\x91"
         "e",
         "Djordje", true}, // Đorđe
        {"\xC3\x87"
         "a\xC4\x9Flar \xC4\xB0\xC5\x9F\xC4\xB1k",
         "\xC3\x87"
         "aglar Isik",
         true},                                             // Çağlar Işık
        {"\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD", "Ivan", true}, // Иван
        {"\xD0\x96\xD1\x83\xD0\xBA", "Zhuk", true},         // Жук
        {"\xD0\x96\xD0\xA3\xD0\x9A", "ZHUK", true},         // ЖУК
        {"\xD0\x96", "Zh", true},                           // Ж alone
        {"\xCE\xA3\xCF\x89\xCE\xBA\xCF\x81\xCE\xAC\xCF\x84\xCE\xB7\xCF\x82", "Sokratis", true},
        {"Nguy\xE1\xBB\x85n", "Nguyen", true},              // Nguyễn
        {"e\xCC\x81t\xC3\xA9", "\xC3\xA9t\xC3\xA9", false}, // é spelt apart, joined
        {"S\xCC\x8C", "\xC5\xA0", false},                   // Š spelt apart
        {"\xC5\x81\xCC\x81", "L", true},                    // a mark on a folded letter goes
        {"\xEF\xBC\xA6\xEF\xBC\x96", "F6", true},           // full-width F6
        {"a\xE2\x80\xAF:\xE2\x80\x8B", "a :", true},        // narrow no-break space, zero width
        {"\xE2\x88\x92"
         "3 dB",
         "-3 dB", true},                          // minus sign
        {"\xE6\xBC\xA2\xE5\xAD\x97", "??", true}, // no likeness
        {"\xFF"
         "abc",
         "\xFF"
         "abc",
         false}, // malformed bytes left alone
    };
    for (const Row &row : rows) {
        const FoldedText got = foldToCp1252(row.utf8);
        EXPECT_EQ(got.utf8, row.folded) << row.utf8;
        EXPECT_EQ(got.changed, row.changed) << row.utf8;
    }
}

// Every character of the Basic Multilingual Plane: what comes out is held by
// the code page, and it changed exactly when what went in was not.
TEST(FoldToCp1252, EveryCharacterComesOutInTheCodePage)
{
    for (char32_t cp = 0x20; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF)
            continue;
        std::string utf8 = "a";
        appendUtf8(utf8, cp);
        const FoldedText got = foldToCp1252(utf8);
        const bool held = cp1252FromCodePoint(cp) != '\0';
        const bool mark = cp >= 0x300 && cp < 0x370; // joined to the "a" when it can be
        if (!mark) {
            ASSERT_EQ(got.changed, !held) << std::hex << static_cast<std::uint32_t>(cp);
        }
        std::size_t pos = 0;
        while (pos < got.utf8.size()) {
            const char32_t out = decodeUtf8(got.utf8, pos);
            ASSERT_NE(cp1252FromCodePoint(out), '\0')
                << std::hex << static_cast<std::uint32_t>(cp) << " gives "
                << static_cast<std::uint32_t>(out);
        }
    }
}
