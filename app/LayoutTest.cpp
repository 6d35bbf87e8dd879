#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "app/Layout.h"

namespace plm::app {
namespace {

struct TwipsRow {
    int twips;
    int dpi;
    int pixels;
};

TEST(TwipsToPixels, RoundsToTheNearestPixelAsMulDivDoes) {
    const TwipsRow rows[] = {
        {7350, 96, 490}, {2000, 96, 133}, {1995, 96, 133}, {-1017, 96, -68}, {110, 96, 7},
        {245, 96, 16},   {230, 96, 15},   {407, 96, 27},   {7, 96, 0},       {8, 96, 1},
        {-7, 96, 0},     {-8, 96, -1},    {7350, 120, 613}, {2000, 120, 167}, {7350, 144, 735},
        {2000, 144, 200}, {1995, 144, 200}, {407, 144, 41}, {7350, 192, 980}, {2000, 192, 267},
        {0, 144, 0},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(TwipsToPixels(row.twips, row.dpi), row.pixels) << row.twips << " twips at " << row.dpi << " DPI";
    }
}

TEST(ScalePixels, ScalesDesignPixels) {
    const TwipsRow rows[] = {{1, 96, 1}, {1, 120, 1}, {1, 144, 2}, {1, 192, 2}, {2, 144, 3},
                             {21, 144, 32}, {16, 120, 20}, {16, 144, 24}, {16, 192, 32}, {0, 192, 0}};
    for (const auto& row : rows) {
        EXPECT_EQ(ScalePixels(row.twips, row.dpi), row.pixels) << row.twips << " px at " << row.dpi << " DPI";
    }
}

TEST(Controls, CreationOrderAndTabIndexes) {
    const std::pair<const char*, int> rows[] = {
        {"btnCancel", 7}, {"btnConfiguration", 6}, {"txtUrl", 2}, {"picClose", 1},
        {"lblSample", 12}, {"lblUrl", 4}, {"lblFormCaption", 3},
    };
    ASSERT_EQ(Controls.size(), std::size(rows));
    for (std::size_t i = 0; i < Controls.size(); ++i) {
        const auto& design = Controls[i];
        EXPECT_EQ(std::string(design.name), rows[i].first) << "position " << i;
        EXPECT_EQ(design.tabIndex, rows[i].second) << rows[i].first;
        EXPECT_EQ(IndexOf(design.id), i) << rows[i].first;
        EXPECT_TRUE(IsControlId(static_cast<int>(design.id))) << rows[i].first;
    }
}

// Every control the window makes lies inside the window as start-up sizes
// it, at every DPI, no two overlap, and each scales with the DPI (within the
// pixel rounding takes). The window tests' screenshots pin the places.
TEST(Controls, InsideTheWindowApartAndScaledAtEveryDpi) {
    for (const int dpi : {96, 120, 144, 192}) {
        const PixelRect client{0, 0, TwipsToPixels(ClientWidthTwips, dpi), TwipsToPixels(StartHeightTwips, dpi)};
        for (const auto& design : Controls) {
            const PixelRect at = ToPixels(design, dpi);
            const PixelRect at96 = ToPixels(design, 96);
            for (const auto& [scaled, designed] : {std::pair{at.left, at96.left}, std::pair{at.top, at96.top},
                                                   std::pair{at.width, at96.width}, std::pair{at.height, at96.height}}) {
                EXPECT_NEAR(scaled, designed * dpi / 96.0, 1.0) << design.name << " at " << dpi;
            }
            EXPECT_TRUE(at.left >= 0 && at.top >= 0 && at.left + at.width <= client.width &&
                        at.top + at.height <= client.height)
                << design.name << " at " << dpi;
            for (const auto& other : Controls) {
                const PixelRect o = ToPixels(other, dpi);
                const bool apart = at.left + at.width <= o.left || o.left + o.width <= at.left ||
                                   at.top + at.height <= o.top || o.top + o.height <= at.top;
                if (&other != &design) {
                    EXPECT_TRUE(apart) << design.name << " and " << other.name << " at " << dpi;
                }
            }
        }
    }
    EXPECT_FALSE(IsControlId(101) || IsControlId(106) || IsControlId(114)) << "ids of no control";
}

TEST(Controls, FontsOfTheDesign) {
    for (const auto& design : Controls) {
        std::string name = design.name;
        FontKind expected = FontKind::Window;
        if (name == "picClose") {
            expected = FontKind::SongTi;
        } else if (name.rfind("btn", 0) == 0 || name == "txtUrl" || (name.rfind("lbl", 0) == 0 && name != "lblFormCaption")) {
            expected = FontKind::Arial;
        }
        EXPECT_EQ(design.font, expected) << name;
    }
}

TEST(FittedLabelWidth, GrowsForLongerTextsWithinTheWindow) {
    struct Row {
        const char* label;
        int design;
        int text;
        int left;
        int expected;
    };
    // Client 490 wide.
    const Row rows[] = {
        {"text narrower than designed", 134, 100, 104, 134},
        {"text as wide as designed", 134, 134, 104, 134},
        {"longer translation", 134, 190, 104, 190},
        {"text wider than the room left", 142, 600, 8, 482},
        {"designed wider than the room: never shrinks", 480, 600, 100, 480},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FittedLabelWidth(row.design, row.text, row.left, 490), row.expected) << row.label;
    }
}

}  // namespace
}  // namespace plm::app
