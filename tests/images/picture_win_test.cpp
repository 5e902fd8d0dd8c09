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
    int width, height;
};

Size BitmapSize(HBITMAP bitmap) {
    BITMAP info = {};
    if (GetObjectA(bitmap, sizeof info, &info) == 0) return {-1, -1};
    return {info.bmWidth, info.bmHeight};
}

// Within 40 per channel of `expected` (JPEG and halftone scaling blur colours).
bool PixelNear(HBITMAP bitmap, int x, int y, COLORREF expected) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    COLORREF pixel = GetPixel(dc, x, y);
    SelectObject(dc, old);
    DeleteDC(dc);
    for (int shift = 0; shift < 24; shift += 8) {
        if (std::abs(int((pixel >> shift) & 0xFF) - int((expected >> shift) & 0xFF)) > 40) {
            return false;
        }
    }
    return true;
}

// The test JPEG is 300x200, red on its left half and blue on its right; the
// PNG is 520x130, green on its left half and yellow on its right (colours as
// COLORREF, 0x00BBGGRR).
struct PictureCase {
    int identifier;
    bool found;
    Size fitted;
    unsigned left;
    unsigned right;
    const char* message;  // what the user is told, or null
};

const PictureCase kPictures[] = {
    {401, true, {260, 173}, 0x0000FF, 0xFF0000, nullptr},    // a JPEG "IMG" picture
    {10000, true, {260, 173}, 0x0000FF, 0xFF0000, nullptr},  // the threshold is not scrambled
    {10401, true, {260, 173}, 0x0000FF, 0xFF0000, nullptr},  // scrambled above the threshold
    {10401, true, {260, 173}, 0x0000FF, 0xFF0000, nullptr},  // again: the resource is unchanged
    {10402, false, {}, 0, 0, nullptr},  // stored plainly above the threshold: unreadable swapped
    {402, false, {}, 0, 0, nullptr},    // "IMG" bytes that are no picture
    {10403, false, {}, 0, 0, nullptr},  // neither "IMG" nor RT_RCDATA
    {500, true, {260, 65}, 0x00C000, 0x00FFFF, nullptr},                     // PNG as RT_RCDATA
    {501, false, {}, 0, 0, "Information|Error: couldn't create bitmap|16"},  // filter type 5
    {502, false, {}, 0, 0, "Information|Error: couldn't decode PNG resource|16"},
    {503, false, {}, 0, 0, nullptr},  // a PNG we do not accept is quietly absent
    {504, false, {}, 0, 0, nullptr},  // an empty resource
};

TEST_F(PictureTest, LoadsAndFitsEachResource) {
    for (const PictureCase& c : kPictures) {
        SCOPED_TRACE(c.identifier);
        g_messages.clear();
        HBITMAP bitmap = LoadPictureResource(GetModuleHandleA(nullptr), c.identifier, "IMG",
                                             PICTURE_BOX_SIZE, PICTURE_BOX_SIZE);
        EXPECT_EQ(g_messages,
                  c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        if (!c.found) {
            EXPECT_EQ(bitmap, nullptr);
            continue;
        }
        ASSERT_NE(bitmap, nullptr);
        Size size = BitmapSize(bitmap);
        EXPECT_EQ(size.width, c.fitted.width);
        EXPECT_EQ(size.height, c.fitted.height);
        EXPECT_TRUE(PixelNear(bitmap, size.width / 8, size.height / 2, c.left));
        EXPECT_TRUE(PixelNear(bitmap, size.width * 7 / 8, size.height / 2, c.right));
        DeleteObject(bitmap);
    }
}

TEST_F(PictureTest, PngResourceSteps) {
    HMODULE module = GetModuleHandleA(nullptr);
    struct {
        int name;
        uint32_t error;
    } const opens[] = {{10403, PNG_ERROR_RESOURCE_NOT_FOUND}, {504, PNG_ERROR_RESOURCE_LOAD}};
    for (const auto& c : opens) {
        PngDecoder decoder;
        ResetPngDecoder(&decoder);
        EXPECT_FALSE(OpenPngResource(&decoder, module, c.name));
        EXPECT_EQ(decoder.lastError, c.error) << c.name;
    }

    PngDecoder decoder;
    ResetPngDecoder(&decoder);
    ASSERT_TRUE(OpenPngResource(&decoder, module, 500));
    EXPECT_EQ(decoder.source, PNG_SOURCE_RESOURCE);
    EXPECT_EQ(MakePngBitmap(&decoder, nullptr), nullptr);
    EXPECT_EQ(decoder.lastError, PNG_ERROR_WRONG_STATE);
    ASSERT_TRUE(DecodePngImage(&decoder));
    HBITMAP section = MakePngBitmap(&decoder, nullptr);
    ReleasePngDecoder(&decoder);
    ASSERT_NE(section, nullptr);
    DIBSECTION dib = {};
    ASSERT_EQ(GetObjectA(section, sizeof dib, &dib), static_cast<int>(sizeof dib));
    EXPECT_EQ(dib.dsBm.bmWidth, 520);
    EXPECT_EQ(dib.dsBm.bmHeight, 130);
    EXPECT_EQ(dib.dsBm.bmBitsPixel, 24);
    const unsigned char* first = static_cast<const unsigned char*>(dib.dsBm.bmBits);
    EXPECT_EQ(first[0] | first[1] << 8 | first[2] << 16, 0x00C000);  // blue, green, red
    DeleteObject(section);
}

TEST_F(PictureTest, FitKeepsTheAspectInsideTheBox) {
    const struct {
        Size picture, fitted;
    } fits[] = {
        {{640, 480}, {260, 195}}, {{3, 7}, {111, 260}},   // smaller pictures are enlarged
        {{260, 260}, {260, 260}}, {{6000, 2}, {260, 1}},  // would truncate to 0 rows: kept at one
        {{2, 6000}, {1, 260}},
    };
    for (const auto& c : fits) {
        SCOPED_TRACE(std::to_string(c.picture.width) + "x" + std::to_string(c.picture.height));
        HDC screen = GetDC(nullptr);
        HBITMAP source = CreateCompatibleBitmap(screen, c.picture.width, c.picture.height);
        ReleaseDC(nullptr, screen);
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
