// Picture resources under wine: the test program carries its own "IMG" and
// RT_RCDATA resources (images_test.rc), loaded the way the page loads them.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "images/picture_win.h"
#include "shell/report.h"

namespace {

std::vector<std::string> g_messages;

void RecordMessage(const char* text, const char* caption, unsigned style) {
    g_messages.push_back(std::string(caption) + "|" + text + "|" + std::to_string(style));
}

class PictureTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_messages.clear();
        g_reportMessage = RecordMessage;
    }
    void TearDown() override { g_reportMessage = nullptr; }
};

struct Size {
    int width;
    int height;
};

Size BitmapSize(HBITMAP bitmap) {
    BITMAP info = {};
    if (GetObjectA(bitmap, sizeof info, &info) == 0) return {-1, -1};
    return {info.bmWidth, info.bmHeight};
}

// The bitmap's pixels as 32-bit 0x00RRGGBB, rows top-down.
std::vector<unsigned> BitmapPixels(HBITMAP bitmap) {
    Size size = BitmapSize(bitmap);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.width;
    info.bmiHeader.biHeight = -size.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<unsigned> pixels(static_cast<size_t>(size.width) * size.height);
    HDC screen = GetDC(nullptr);
    int rows = GetDIBits(screen, bitmap, 0, size.height, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != size.height) pixels.clear();
    return pixels;
}

bool NearColour(unsigned pixel, unsigned expected) {
    for (int shift = 0; shift < 24; shift += 8) {
        int got = (pixel >> shift) & 0xFF;
        int want = (expected >> shift) & 0xFF;
        if (std::abs(got - want) > 40) return false;
    }
    return true;
}

HBITMAP MakeBitmap(int width, int height) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

// The test JPEG is 300x200, red on its left half and blue on its right; the
// PNG is 520x130, green on its left half and yellow on its right.
struct PictureCase {
    int identifier;
    bool found;
    Size fitted;
    unsigned left;
    unsigned right;
};

const PictureCase kPictures[] = {
    {401, true, {260, 173}, 0xFF0000, 0x0000FF},    // a JPEG "IMG" picture
    {10000, true, {260, 173}, 0xFF0000, 0x0000FF},  // the threshold itself is not scrambled
    {10401, true, {260, 173}, 0xFF0000, 0x0000FF},  // scrambled above the threshold
    {10402, false, {0, 0}, 0, 0},  // stored plainly above the threshold: unreadable once swapped
    {402, false, {0, 0}, 0, 0},    // "IMG" bytes that are no picture
    {10403, false, {0, 0}, 0, 0},  // neither "IMG" nor RT_RCDATA
};

TEST_F(PictureTest, LoadsAndFitsEachResource) {
    for (const PictureCase& c : kPictures) {
        SCOPED_TRACE(c.identifier);
        HBITMAP bitmap = LoadPictureResource(GetModuleHandleA(nullptr), c.identifier, "IMG",
                                             PICTURE_BOX_SIZE, PICTURE_BOX_SIZE);
        EXPECT_TRUE(g_messages.empty());
        if (!c.found) {
            EXPECT_EQ(bitmap, nullptr);
            continue;
        }
        ASSERT_NE(bitmap, nullptr);
        Size size = BitmapSize(bitmap);
        EXPECT_EQ(size.width, c.fitted.width);
        EXPECT_EQ(size.height, c.fitted.height);
        std::vector<unsigned> pixels = BitmapPixels(bitmap);
        ASSERT_FALSE(pixels.empty());
        int middleRow = size.height / 2;
        EXPECT_TRUE(NearColour(pixels[middleRow * size.width + size.width / 8], c.left))
            << std::hex << pixels[middleRow * size.width + size.width / 8];
        EXPECT_TRUE(NearColour(pixels[middleRow * size.width + size.width * 7 / 8], c.right))
            << std::hex << pixels[middleRow * size.width + size.width * 7 / 8];
        DeleteObject(bitmap);
    }
}

TEST_F(PictureTest, ScrambledPictureReadsTheSameEveryTime) {
    HMODULE module = GetModuleHandleA(nullptr);
    HBITMAP first = LoadPictureResource(module, 10401, "IMG", 260, 260);
    HBITMAP second = LoadPictureResource(module, 10401, "IMG", 260, 260);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(BitmapPixels(first), BitmapPixels(second));
    DeleteObject(first);
    DeleteObject(second);
}

TEST_F(PictureTest, OlePictureKeepsItsOwnSize) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(401), "IMG");
    ASSERT_NE(found, nullptr);
    const unsigned char* bytes =
        static_cast<const unsigned char*>(LockResource(LoadResource(module, found)));
    HBITMAP bitmap = LoadOlePicture(bytes, SizeofResource(module, found));
    ASSERT_NE(bitmap, nullptr);
    Size size = BitmapSize(bitmap);
    EXPECT_EQ(size.width, 300);
    EXPECT_EQ(size.height, 200);
    DeleteObject(bitmap);
    EXPECT_EQ(LoadOlePicture(bytes, 0), nullptr);
}

struct FitCase {
    Size picture;
    Size fitted;
};

const FitCase kFits[] = {
    {{640, 480}, {260, 195}}, {{300, 200}, {260, 173}},
    {{3, 7}, {111, 260}},  // smaller pictures are enlarged
    {{260, 260}, {260, 260}}, {{520, 130}, {260, 65}},
    {{6000, 2}, {260, 1}},  // would truncate to 0 rows: kept at one
    {{2, 6000}, {1, 260}},
};

TEST_F(PictureTest, FitKeepsTheAspectInsideTheBox) {
    for (const FitCase& c : kFits) {
        SCOPED_TRACE(std::to_string(c.picture.width) + "x" + std::to_string(c.picture.height));
        HBITMAP source = MakeBitmap(c.picture.width, c.picture.height);
        ASSERT_NE(source, nullptr);
        HBITMAP fitted = FitBitmapToBox(source, 260, 260);
        ASSERT_NE(fitted, nullptr);
        Size size = BitmapSize(fitted);
        EXPECT_EQ(size.width, c.fitted.width);
        EXPECT_EQ(size.height, c.fitted.height);
        // The source belongs to the fit now and is gone.
        EXPECT_EQ(GetObjectType(source), 0u);
        DeleteObject(fitted);
    }
    EXPECT_EQ(FitBitmapToBox(nullptr, 260, 260), nullptr);
}

}  // namespace
