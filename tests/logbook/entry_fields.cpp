// SPDX-License-Identifier: GPL-3.0-or-later
#include "logbook/entryfields.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace ondelog;

namespace {

struct KeyCase
{
    int field;
    char32_t key;
    std::optional<char> expected;
};

} // namespace

TEST(EntryKeyFilter, EachFieldLetsThroughOnlyItsOwnKeys)
{
    const KeyCase cases[] = {
        // upper-casing fields, accented letters included
        {1, U'f', 'F'},
        {1, U'/', '/'},
        {1, U'\\', '\\'},
        {6, U's', 'S'},
        {9, U'é', '\xC9'},
        {10, U'j', 'J'},
        {13, U'ÿ', '\x9F'},
        {16, U'x', 'X'},
        {17, U'a', 'A'},
        {1, U'ß', '\xDF'}, // no capital in the code page: kept as it is
        // dates, times, frequency: codes 46..58 only
        {2, U'.', '.'},
        {2, U'/', '/'},
        {3, U':', ':'},
        {5, U'9', '9'},
        {2, U'-', std::nullopt},
        {3, U';', std::nullopt},
        {5, U',', '.'}, // the decimal comma of a French keyboard
        {2, U',', std::nullopt},
        {4, U'a', std::nullopt},
        {5, U'+', std::nullopt},
        // reports add "+"
        {7, U'+', '+'},
        {8, U'5', '5'},
        {8, U'.', '.'},
        {7, U'a', std::nullopt},
        {8, U'-', std::nullopt},
        // département: digits only
        {11, U'0', '0'},
        {11, U'9', '9'},
        {11, U'A', std::nullopt},
        {11, U'/', std::nullopt},
        // first name and QSL states: unchanged
        {12, U'é', '\xE9'},
        {12, U'j', 'j'},
        {14, U'o', 'o'},
        {15, U'N', 'N'},
        // what the code page cannot hold, and control characters
        {1, U'€', '\x80'},
        {12, U'あ', std::nullopt},
        {1, U'\u0141', std::nullopt}, // Ł is not in Windows-1252
        {1, U'\b', std::nullopt},
        {12, U'\r', std::nullopt},
        {12, U'\t', std::nullopt},
        {12, U'\u0081', std::nullopt},
        {12, U'\u007F', std::nullopt},
        // not a field
        {0, U'A', std::nullopt},
        {18, U'A', std::nullopt},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(filterKey(c.field, c.key), c.expected)
            << "field " << c.field << ", U+" << std::hex << static_cast<unsigned>(c.key);
    }
}

TEST(EntryKeyFilter, WidthsFollowTheRecordWithFifteenForEachHalfOfInfo)
{
    // The date takes a four-digit year while it is typed.
    const std::size_t widths[] = {0, 15, 10, 5, 5, 10, 5, 8, 8, 25, 6, 3, 15, 15, 8, 8, 6, 15};
    for (int field = 0; field <= 17; ++field) {
        EXPECT_EQ(entryFieldWidth(field), widths[field]) << "field " << field;
    }
    EXPECT_EQ(entryFieldWidth(18), 0u);
}

TEST(EntryKeyFilter, PastedTextIsFilteredAndCutToTheWidth)
{
    EXPECT_EQ(filterText(1, U"f6abc/p"), "F6ABC/P");
    EXPECT_EQ(filterText(11, U"9a7b5c"), "975");
    EXPECT_EQ(filterText(11, U"12345"), "123");
    EXPECT_EQ(filterText(2, U"01-02-2003 "), "01022003");
    EXPECT_EQ(filterText(13, U"abcdefghijklmnopq"), "ABCDEFGHIJKLMNO");
    EXPECT_EQ(filterCp1252(10, "jn18eu"), "JN18EU");
    EXPECT_EQ(filterCp1252(12, "\xE9lodie"), "\xE9lodie");
    EXPECT_EQ(filterCp1252(7, "5 9"), "59");
}

TEST(EntryCapitalize, EveryWordGetsOneCapitalInTheCodePage)
{
    const std::pair<const char *, const char *> cases[] = {
        {"jean", "Jean"},
        {"JEAN", "Jean"},
        {"jEAN pIERRE", "Jean Pierre"},
        {"jean-pierre", "Jean-Pierre"},
        {"\xE9lodie", "\xC9lodie"}, // élodie -> Élodie
        {"\xC9LO\xCF"
         "SE",
         "\xC9lo\xEFse"}, // ÉLOÏSE -> Éloïse
        {"  bob  ", "  Bob  "},
        {"", ""},
        {"2e op", "2e Op"},
    };
    for (const auto &[in, out] : cases) {
        EXPECT_EQ(capitalizeWords(in), out) << in;
    }
}

TEST(EntryCaptions, RecordLabelsAndFocusColours)
{
    EXPECT_EQ(entryRecordCaption(12), " Charger fiche N\xB0 12");
    EXPECT_EQ(displayRecordCaption(7), " Fiche N\xB0"
                                       "7 ");
    EXPECT_EQ(colourStateOnFocusLost(1, false, 0), 3);
    EXPECT_EQ(colourStateOnFocusLost(5, false, 0), 1);
    EXPECT_EQ(colourStateOnFocusLost(5, true, 0), 1);
    EXPECT_EQ(colourStateOnFocusLost(5, true, 2), 4);
    EXPECT_EQ(colourStateOnFocusLost(1, true, 1), 4);
}
