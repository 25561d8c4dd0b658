// SPDX-License-Identifier: GPL-3.0-or-later
// Texts fitted to their cells: made smaller, then cut with a mark. The sheets
// filled to the widest the log allows are checked with real fonts by tst_paper.

#include "printing/printsurface.h"
#include "printing/textfit.h"

#include <gtest/gtest.h>

using namespace ondelog;

namespace {

std::string marked(const char *text)
{
    return std::string(text) + kCutMark;
}

} // namespace

// Widths on the recording surface: half a point's worth of ten twips a character.
TEST(TextFit, SmallerThenCut)
{
    struct Case
    {
        const char *what;
        std::string text;
        double width;
        double points;
        std::string fitted;
        double size;
    };
    const Case cases[] = {
        {"fits as asked", "16/10/99", 640, 8, "16/10/99", 8},
        {"a little smaller", "16/10/99", 600, 8, "16/10/99", 7.5},
        {"quarter points", "16/10/99", 590, 8, "16/10/99", 7.25},
        {"just the smallest", "16/10/99", 480, 8, "16/10/99", 6},
        {"cut below the smallest", "16/10/99", 479, 8, marked("16/10/"), 6},
        {"no blank before the mark", "AB CDEFG", 299, 8, marked("AB"), 6},
        {"only the mark fits", "ABCDEF", 70, 8, marked(""), 6},
        {"not even the mark", "ABCDEF", 50, 8, "", 6},
        {"empty", "", 0, 10, "", 10},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        RecordingSurface s;
        const FittedText fitted = fitText(s, c.text, c.width, c.points);
        EXPECT_EQ(fitted.text, c.fitted);
        EXPECT_EQ(fitted.points, c.size);
        s.print("x");
        EXPECT_EQ(s.commands().back().fontSize, c.size);
    }
}

TEST(TextFit, PlacedInsideTheRoom)
{
    struct Case
    {
        const char *what;
        bool centred;
        double at; // x, or the centre
        TextRoom room;
        std::string text;
        double left;
        double size;
    };
    // 8 points: 80 twips a character.
    const Case cases[] = {
        {"from its x", false, 720, {700, 1350}, "12345", 730, 8},
        {"off the left rule", false, 705, {700, 1350}, "12345", 730, 8},
        {"smaller before the right rule", false, 1000, {700, 1350}, "12345", 1000, 6.25},
        {"centred", true, 1000, {700, 1350}, "12345", 800, 8},
        {"centred near the left rule", true, 800, {700, 1350}, "12345", 730, 8},
        {"centred near the right rule", true, 1300, {700, 1350}, "12345", 920, 8},
        {"centred, smaller, off the left rule", true, 800, {700, 1350}, "12345678", 730, 7.25},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        RecordingSurface s;
        if (c.centred)
            printCentred(s, c.text, c.at, 500, c.room, 8);
        else
            printFromLeft(s, c.text, c.at, 500, c.room, 8);
        ASSERT_EQ(s.commands().size(), 1u);
        const PrintCommand &t = s.commands()[0];
        EXPECT_EQ(t.text, c.text);
        EXPECT_DOUBLE_EQ(t.x1, c.left);
        EXPECT_EQ(t.fontSize, c.size);
        // Smaller, it stands on the line of the size asked for.
        EXPECT_DOUBLE_EQ(t.y1 + 0.85 * 20 * t.fontSize, 500 + 0.85 * 20 * 8);
        EXPECT_LE(t.x2, c.room.right - kCellPadding);
    }
}
