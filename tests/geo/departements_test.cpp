// SPDX-License-Identifier: GPL-3.0-or-later
#include "geo/departements.h"

#include "text/text.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

using namespace ondelog;

namespace {

TEST(Departements, TableRows)
{
    fillDeptTable();
    fillDeptTable(); // a second fill changes nothing
    const auto &table = deptTable();
    ASSERT_EQ(table.size(), 102u);
    EXPECT_EQ(table[0], "");
    EXPECT_EQ(table[1], "001Ain");
    EXPECT_EQ(table[5], "005 Hautes-Alpes");
    EXPECT_EQ(table[20], "020Corse");
    EXPECT_EQ(table[21], "02ACorse-du-Sud");
    EXPECT_EQ(table[22], "02B Haute-Corse");
    EXPECT_EQ(table[23], "021C\xF4te-d'Or");
    EXPECT_EQ(table[77], "075Ville-de-Paris");
    EXPECT_EQ(table[97], "095Val-d'Oise");
    EXPECT_EQ(table[101], "974R\xE9union");

    // Every row is pure Windows-1252 with a 3-character code: no stray UTF-8.
    for (std::size_t i = 1; i < table.size(); ++i) {
        EXPECT_GT(table[i].size(), 3u) << i;
        EXPECT_EQ(utf8ToCp1252(cp1252ToUtf8(table[i])), table[i]) << i;
        EXPECT_EQ(table[i].find('\xC3'), std::string::npos) << i;
    }
}

TEST(Departements, DeptName)
{
    struct Case
    {
        std::string code;
        std::optional<std::string> name; // UTF-8 here, compared after conversion
    };
    const std::vector<Case> cases = {
        {"1", "Ain"},
        {"01", "Ain"},
        {"75", "Ville-de-Paris"},
        {"075", "Ville-de-Paris"},
        {" 75", "Ville-de-Paris"},
        {"974", "Réunion"},
        {"5", " Hautes-Alpes"},
        {"13", "Bouches-du-Rhône"},
        {"2", "Aisne"},
        {"2A", "Aisne"},
        {"2B", "Aisne"},
        {"20", "Corse"},
        {"21", "Côte-d'Or"},
        {"95", "Val-d'Oise"},
        {"971", "Guadeloupe"},
        {"96", std::nullopt},
        {"0", std::nullopt},
        {"975", std::nullopt},
        {"A", std::nullopt},
        {"", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE('"' + c.code + '"');
        const auto name = deptName(c.code);
        ASSERT_EQ(name.has_value(), c.name.has_value());
        if (name) {
            EXPECT_EQ(*name, utf8ToCp1252(*c.name));
        }
    }
}

} // namespace
