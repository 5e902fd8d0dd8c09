#include "shell/main_layout.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<int> Of(const PlaceRect& r) {
    return {r.x, r.y, r.width, r.height};
}

TEST(MainLayout, PanelsAndCreditLineFollowTheClientArea) {
    const struct {
        int width, height, dpi;
        std::vector<int> page, header, credit;
    } cases[] = {
        {784, 562, 96, {5, 50, 773, 494}, {5, 2, 773, 49}, {639, 546, 150, 15}},
        // Every measure scaled: at 144 DPI 5 -> 8 (halves round up), 11 -> 17, 145 -> 218.
        {1200, 900, 144, {8, 75, 1183, 798}, {8, 3, 1183, 74}, {982, 876, 225, 23}},
        // A window shrunk to almost nothing: no negative sizes.
        {6, 40, 96, {5, 50, 0, 0}, {5, 2, 0, 49}, {-139, 24, 150, 15}},
    };
    for (const auto& c : cases) {
        const MainLayout layout = LayOutMainWindow(c.width, c.height, c.dpi);
        EXPECT_EQ(Of(layout.page), c.page) << c.width;
        EXPECT_EQ(Of(layout.header), c.header) << c.width;
        EXPECT_EQ(Of(layout.creditLine), c.credit) << c.width;
    }
}

TEST(MainLayout, FirstPlaceShowsAWholeRowCentredOnTheWorkArea) {
    const struct {
        int content;  // the page's content width; the chrome around it is 46
        PlaceRect work;
        std::vector<int> place;
    } cases[] = {
        {900, {0, 0, 1024, 768}, {39, 84, 946, 600}},   // 78 / 2
        {300, {0, 0, 1024, 768}, {112, 84, 800, 600}},  // never below 800
        {1200, {0, 0, 1024, 768}, {0, 84, 1024, 600}},  // never beyond the work area
        {300, {0, 0, 640, 480}, {0, 0, 640, 480}},      // not even for the minimum
        {1200, {-1920, 40, 1920, 1040}, {-1583, 260, 1246, 600}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Of(FirstMainWindowPlace(c.content, 46, 800, 600, c.work)), c.place) << c.content;
    }
}

}  // namespace
