#include "shell/main_layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> Of(const PlaceRect& r) {
    return {r.x, r.y, r.width, r.height};
}

TEST(MainLayout, PanelsAndCreditLineFollowTheClientArea) {
    const struct {
        int width, height;
        std::vector<int> page, header, credit;
    } cases[] = {
        {784, 562, {5, 50, 773, 494}, {5, 2, 773, 49}, {639, 546, 150, 15}},
        {1000, 700, {5, 50, 989, 632}, {5, 2, 989, 49}, {855, 684, 150, 15}},
        // A window shrunk to almost nothing: no negative sizes.
        {6, 40, {5, 50, 0, 0}, {5, 2, 0, 49}, {-139, 24, 150, 15}},
    };
    for (const auto& c : cases) {
        const MainLayout layout = LayOutMainWindow(c.width, c.height);
        EXPECT_EQ(Of(layout.page), c.page) << c.width;
        EXPECT_EQ(Of(layout.header), c.header) << c.width;
        EXPECT_EQ(Of(layout.creditLine), c.credit) << c.width;
    }
}

TEST(MainLayout, CentringTruncatesTowardZero) {
    const struct {
        int left, width, height, x, y;  // an 800 x 600 window
    } cases[] = {
        {0, 1024, 768, 112, 84},         {0, 801, 601, 0, 0},
        {0, 640, 480, -80, -60},         {0, 639, 479, -80, -60},  // -161 / 2 truncates to -80
        {-1920, 1920, 1080, -1360, 240},
    };
    for (const auto& c : cases) {
        int x = 0, y = 0;
        CentreOnDesktop(c.left, 0, c.width, c.height, 800, 600, x, y);
        EXPECT_EQ(std::vector<int>({x, y}), std::vector<int>({c.x, c.y})) << c.width;
    }
}

}  // namespace
