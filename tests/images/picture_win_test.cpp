// Picture resources under wine: the test program carries its own (images_test.rc).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "images/picture_win.h"
#include "shell/report.h"

namespace {

std::vector<std::string> g_messages;

// Within 40 per channel of `expected` (JPEG and halftone scaling blur colours).
bool PixelNear(HBITMAP bitmap, int x, int y, COLORREF expected) {
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, bitmap);
    const COLORREF pixel = GetPixel(dc, x, y);
    DeleteDC(dc);
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(int(pixel >> shift & 0xFF) - int(expected >> shift & 0xFF)) > 40) return false;
    return true;
}

SIZE SizeOf(HBITMAP bitmap) {
    BITMAP info = {};
    GetObjectA(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

// The JPEG is 300x200, red then blue; the PNG 520x130, green then yellow (COLORREF 0x00BBGGRR).
TEST(Picture, LoadsAndFitsEachResource) {
    const struct {
        int identifier;
        SIZE fitted = {};  // zeros: no picture
        COLORREF left = 0, right = 0;
        const char* message = nullptr;  // what the user is told
    } cases[] = {
        {401, {260, 173}, 0x0000FF, 0xFF0000},    // a JPEG "IMG" picture
        {10401, {260, 173}, 0x0000FF, 0xFF0000},  // scrambled above the threshold
        {10401, {260, 173}, 0x0000FF, 0xFF0000},  // again: unscrambled on a copy
        {402},                                    // "IMG" bytes that are no picture
        {10403},                                  // neither "IMG" nor RT_RCDATA
        {500, {260, 65}, 0x00C000, 0x00FFFF},     // PNG as RT_RCDATA
        {501, {}, 0, 0, "Information|Error: couldn't create bitmap|16"},  // filter type 5
        {502, {}, 0, 0, "Information|Error: couldn't decode PNG resource|16"},
        {503},  // a PNG we do not accept is quietly absent
        {504},  // an empty resource
    };
    g_reportMessage = [](const char* text, const char* caption, unsigned style) {
        g_messages.push_back(std::string(caption) + "|" + text + "|" + std::to_string(style));
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.identifier);
        g_messages.clear();
        HBITMAP bitmap = LoadPictureResource(GetModuleHandleA(nullptr), c.identifier, "IMG",
                                             PICTURE_BOX_SIZE, PICTURE_BOX_SIZE);
        EXPECT_EQ(g_messages,
                  c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        SIZE size = SizeOf(bitmap);
        EXPECT_TRUE(size.cx == c.fitted.cx && size.cy == c.fitted.cy) << size.cx << "x" << size.cy;
        if (bitmap == nullptr) continue;
        EXPECT_TRUE(PixelNear(bitmap, size.cx / 8, size.cy / 2, c.left));
        EXPECT_TRUE(PixelNear(bitmap, size.cx * 7 / 8, size.cy / 2, c.right));
        DeleteObject(bitmap);
    }
    g_reportMessage = nullptr;
}

// Small pictures enlarged, a side that would be 0 pixels kept at 1; the source deleted.
TEST(Picture, FitKeepsTheAspectInsideTheBox) {
    const SIZE fits[][2] = {{{3, 7}, {111, 260}}, {{6000, 2}, {260, 1}}, {{2, 6000}, {1, 260}}};
    HDC screen = GetDC(nullptr);
    for (const auto& c : fits) {
        SCOPED_TRACE(c[0].cx);
        HBITMAP source = CreateCompatibleBitmap(screen, c[0].cx, c[0].cy);
        HBITMAP fitted = FitBitmapToBox(source, 260, 260);
        SIZE size = SizeOf(fitted);
        EXPECT_TRUE(size.cx == c[1].cx && size.cy == c[1].cy) << size.cx << "x" << size.cy;
        EXPECT_EQ(GetObjectType(source), 0u);
        DeleteObject(fitted);
    }
    ReleaseDC(nullptr, screen);
}

}  // namespace
