#include <gtest/gtest.h>

#include <string>

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

struct ControlRow {
    const char* name;
    PixelRect at96;
    int tabIndex;
};

TEST(Controls, CreationOrderPlacesAndTabIndexes) {
    // Designed places divided by 15 twips a pixel, rounded.
    const ControlRow rows[] = {
        {"picProgress", {66, 136, 297, 25}, 10},
        {"picBig", {8, -68, 17, 17}, 9},
        {"picSmall", {8, -68, 17, 17}, 8},
        {"btnCancel", {352, 88, 105, 27}, 7},
        {"btnConfiguration", {240, 88, 105, 27}, 6},
        {"picback", {64, 136, 345, 25}, 5},
        {"txtUrl", {104, 40, 337, 22}, 2},
        {"picClose", {467, 7, 16, 15}, 1},
        {"lblSample", {104, 64, 134, 15}, 12},
        {"lblMessage", {40, 176, 411, 71}, 11},
        {"lblRate", {208, 136, 27, 23}, 0},
        {"lblUrl", {40, 48, 45, 15}, 4},
        {"lblFormCaption", {8, 8, 142, 15}, 3},
    };
    ASSERT_EQ(Controls.size(), std::size(rows));
    for (std::size_t i = 0; i < Controls.size(); ++i) {
        const auto& design = Controls[i];
        EXPECT_EQ(std::string(design.name), rows[i].name) << "position " << i;
        EXPECT_EQ(ToPixels(design, 96), rows[i].at96) << rows[i].name;
        EXPECT_EQ(design.tabIndex, rows[i].tabIndex) << rows[i].name;
        EXPECT_EQ(static_cast<int>(design.id), 101 + static_cast<int>(i)) << rows[i].name;
    }
}

// Kept on purpose: the design has six controls nobody can see, the two
// image holders and four below the window's edge. Their rows stay as
// designed; the window makes no window for them (CanBeSeen).
TEST(Controls, OnlyTheImageHoldersAreHiddenAndTheFourBelowTheEdgeLieOutside) {
    int clientHeight = TwipsToPixels(StartHeightTwips, 96);
    for (const auto& design : Controls) {
        std::string name = design.name;
        bool holder = name == "picBig" || name == "picSmall";
        bool below = name == "picback" || name == "picProgress" || name == "lblRate" || name == "lblMessage";
        EXPECT_EQ(design.hidden, holder) << name;
        EXPECT_EQ(ToPixels(design, 96).top >= clientHeight, below) << name;
        EXPECT_EQ(CanBeSeen(design), !holder && !below) << name;
    }
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

TEST(FitProgressFill, SitsInsideItsFrameWithNoWidth) {
    struct Row {
        const char* label;
        PixelRect frame;
        PixelRect fill;
    };
    const Row rows[] = {
        {"designed frame at 96 DPI", {64, 136, 345, 25}, {66, 138, 0, 21}},
        {"designed frame at 144 DPI", {96, 204, 518, 38}, {98, 206, 0, 34}},
        {"a frame too low for the fill", {0, 0, 10, 3}, {2, 2, 0, -1}},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FitProgressFill(row.frame), row.fill) << row.label;
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
    // Client 490 wide, 8 pixels kept free on the right.
    const Row rows[] = {
        {"text narrower than designed", 134, 100, 104, 134},
        {"text as wide as designed", 134, 134, 104, 134},
        {"longer translation", 134, 190, 104, 190},
        {"text wider than the room left", 142, 600, 8, 474},
        {"designed wider than the room: never shrinks", 480, 600, 100, 480},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(FittedLabelWidth(row.design, row.text, row.left, 490, 8), row.expected) << row.label;
    }
}

}  // namespace
}  // namespace plm::app
