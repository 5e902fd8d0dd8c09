#include "shell/main_layout.h"

#include <gtest/gtest.h>

namespace {

void ExpectPlace(const PlaceRect& got, PlaceRect want, const char* what) {
    EXPECT_EQ(got.x, want.x) << what;
    EXPECT_EQ(got.y, want.y) << what;
    EXPECT_EQ(got.width, want.width) << what;
    EXPECT_EQ(got.height, want.height) << what;
}

TEST(MainLayout, PanelsAndCreditLineFollowTheClientArea) {
    const struct {
        int width, height;
        PlaceRect page, header, credit;
    } cases[] = {
        {784, 562, {5, 50, 773, 494}, {5, 2, 773, 49}, {639, 546, 150, 15}},
        {1000, 700, {5, 50, 989, 632}, {5, 2, 989, 49}, {855, 684, 150, 15}},
        // A window shrunk to almost nothing: no negative sizes.
        {6, 40, {5, 50, 0, 0}, {5, 2, 0, 49}, {-139, 24, 150, 15}},
    };
    for (const auto& c : cases) {
        const MainLayout layout = LayOutMainWindow(c.width, c.height);
        ExpectPlace(layout.page, c.page, "page");
        ExpectPlace(layout.header, c.header, "header");
        ExpectPlace(layout.creditLine, c.credit, "credit line");
    }
}

TEST(MainLayout, CentringTruncatesTowardZero) {
    const struct {
        int left, top, width, height, windowWidth, windowHeight, x, y;
    } cases[] = {
        {0, 0, 1024, 768, 800, 600, 112, 84},
        {0, 0, 801, 601, 800, 600, 0, 0},
        {0, 0, 640, 480, 800, 600, -80, -60},
        {0, 0, 639, 479, 800, 600, -80, -60},  // -161 / 2 truncates to -80
        {-1920, 0, 1920, 1080, 800, 600, -1360, 240},
    };
    for (const auto& c : cases) {
        int x = 0, y = 0;
        CentreOnDesktop(c.left, c.top, c.width, c.height, c.windowWidth, c.windowHeight, x, y);
        EXPECT_EQ(x, c.x) << c.width;
        EXPECT_EQ(y, c.y) << c.height;
    }
}

}  // namespace
