// The PNG decoder on hand-built files: every error code, the refusals that
// keep bad files from reaching memory, and the conversions to bitmap rows.
// Every chunk here carries a zero CRC, which the decoder does not check.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "images/png_decoder.h"
#include "tests/images/stream_builder.h"

namespace {

struct Result {
    uint32_t error;
    PngBitmapFormat format;
    Bytes pixels;
};

// Open, decode, describe and convert, stopping at the first failure.
Result Decode(const Bytes& file) {
    Result r;
    std::memset(&r.format, 0xAA, sizeof r.format);
    PngDecoder d;
    ResetPngDecoder(&d);
    if (OpenPngMemory(&d, file.data(), static_cast<uint32_t>(file.size()), PNG_SOURCE_MEMORY) &&
        DecodePngImage(&d) && FillPngBitmapFormat(&d, &r.format)) {
        r.pixels.assign(size_t{r.format.stride} * r.format.height, 0xEE);
        ConvertPngRows(&d, r.pixels.data(), r.format.stride);
    }
    r.error = d.lastError;
    ReleasePngDecoder(&d);
    return r;
}

// Signature, IHDR, `middle` chunks, one IDAT holding `raw` in a stored block, IEND.
Bytes Png(const Bytes& header, const Bytes& raw, const Bytes& middle = {}) {
    Bytes file = Signature();
    Append(file, header);
    Append(file, middle);
    Append(file, Chunk("IDAT", StoredZlib(raw)));
    Append(file, Chunk("IEND", {}));
    return file;
}

const Bytes kGrey1x1 = ImageHeader(1, 1, 8, 0);

struct ErrorCase {
    const char* name;
    Bytes file;
    uint32_t error;
};

std::vector<ErrorCase> ErrorCases() {
    Bytes good = Png(kGrey1x1, {0, 7});
    Bytes badSignature = good;
    badSignature[1] = 'Q';
    Bytes shortIhdr = Signature();
    Append(shortIhdr, Chunk("IHDR", Bytes(12, 1)));
    Append(shortIhdr, Chunk("IDAT", StoredZlib({0, 7})));
    Bytes cutIhdr(good.begin(), good.begin() + 20);
    Bytes noIdat = Signature();
    Append(noIdat, kGrey1x1);
    Append(noIdat, Chunk("IEND", {}));
    Bytes endless = Png(kGrey1x1, {0, 7});
    Append(endless, {0xFF, 0xFF, 0xFF, 0xF4, 'r', 'u', 'b', 'y'});
    Bytes corrupt = Signature();
    Append(corrupt, kGrey1x1);
    Append(corrupt, Chunk("IDAT", {0x78, 0x9C, 0xFF, 0xFF}));
    Bytes noIend = Png(kGrey1x1, {0, 7});
    noIend.resize(noIend.size() - 12);
    return {
        {"valid", good, PNG_ERROR_NONE},
        {"no IEND", noIend, PNG_ERROR_NONE},
        {"ancillary chunk skipped", Png(kGrey1x1, {0, 7}, Chunk("ruby", {1})), PNG_ERROR_NONE},
        {"length near 2^32 ends the walk", endless, PNG_ERROR_NONE},
        {"signature", badSignature, PNG_ERROR_BAD_DATA},
        {"fewer than 16 bytes", Bytes(good.begin(), good.begin() + 15), PNG_ERROR_BAD_DATA},
        {"IHDR not first", Png(Chunk("PLTE", {1, 2, 3}), {0, 7}), PNG_ERROR_BAD_DATA},
        {"IHDR of 12 bytes", shortIhdr, PNG_ERROR_BAD_DATA},
        {"IHDR past the file's end", cutIhdr, PNG_ERROR_BAD_DATA},
        {"width 0", Png(ImageHeader(0, 1, 8, 0), {0, 7}), PNG_ERROR_BAD_DATA},
        {"no IDAT", noIdat, PNG_ERROR_BAD_DATA},
        {"palette without PLTE", Png(ImageHeader(1, 1, 8, 3), {0, 0}), PNG_ERROR_BAD_DATA},
        {"corrupt image data", corrupt, PNG_ERROR_BAD_DATA},
        {"filter type 5", Png(kGrey1x1, {5, 7}), PNG_ERROR_BAD_DATA},
        {"unknown critical chunk", Png(kGrey1x1, {0, 7}, Chunk("CRIT", {})), PNG_ERROR_UNSUPPORTED},
        {"palette at 16 bits", Png(ImageHeader(1, 1, 16, 3), {0, 0}), PNG_ERROR_UNSUPPORTED},
        {"colour type 1", Png(ImageHeader(1, 1, 8, 1), {0, 0}), PNG_ERROR_UNSUPPORTED},
        {"interlace 2", Png(ImageHeader(1, 1, 8, 0, 2), {0, 0}), PNG_ERROR_UNSUPPORTED},
        {"compression 1", Png(ImageHeader(1, 1, 8, 0, 0, 1), {0, 0}), PNG_ERROR_UNSUPPORTED},
        {"filter method 1", Png(ImageHeader(1, 1, 8, 0, 0, 0, 1), {0, 0}), PNG_ERROR_UNSUPPORTED},
        {"width 2^31", Png(ImageHeader(0x80000000u, 1, 8, 0), {0, 0}), PNG_ERROR_TOO_LARGE},
        {"row past 2^31 bytes", Png(ImageHeader(0x7FFFFFFF, 1, 16, 6), {0, 0}),
         PNG_ERROR_TOO_LARGE},
        {"raw size past 2^31", Png(ImageHeader(0x10000, 0x10000, 8, 2), {0, 0}),
         PNG_ERROR_TOO_LARGE},
        {"bitmap past 2^31", Png(ImageHeader(0x7FFFFFF0, 3, 2, 0), {0, 0}), PNG_ERROR_TOO_LARGE},
    };
}

TEST(PngDecoder, RefusesWhatItCannotDecode) {
    for (const ErrorCase& c : ErrorCases()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Decode(c.file).error, c.error);
    }
}

struct PixelCase {
    const char* name;
    Bytes file;
    uint16_t bitsPerPixel;
    uint32_t colorsUsed;
    Bytes firstRow;  // the bitmap's first row, padding included
};

// The conversions the PngSuite comparison cannot show on Windows (no libpng
// there); the comparison covers every format natively.
TEST(PngDecoder, ConvertsToNativeRows) {
    Bytes rgb16 = {0, 0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC};
    Bytes rgba16 = {0};
    for (int i = 0; i < 24; ++i) rgba16.push_back(static_cast<unsigned char>(i * 10));
    const PixelCase cases[] = {
        {"grey 2 to 4", Png(ImageHeader(4, 1, 2, 0), {0, 0x1B}), 4, 4, {0x01, 0x23, 0, 0}},
        {"grey alpha 8", Png(ImageHeader(1, 1, 8, 4), {0, 9, 200}), 8, 256, {9, 0, 0, 0}},
        {"rgb 16", Png(ImageHeader(1, 1, 16, 2), rgb16), 24, 0, {0x9A, 0x56, 0x12, 0}},
        {"rgba 16, odd width",
         Png(ImageHeader(3, 1, 16, 6), rgba16),
         32,
         0,
         {40, 20, 0, 60, 120, 100, 80, 140, 200, 180, 160, 220}},
        {"paeth filter, first row", Png(ImageHeader(2, 1, 8, 0), {4, 3, 4}), 8, 256, {3, 7, 0, 0}},
    };
    for (const PixelCase& c : cases) {
        SCOPED_TRACE(c.name);
        Result r = Decode(c.file);
        ASSERT_EQ(r.error, PNG_ERROR_NONE);
        EXPECT_EQ(r.format.bitsPerPixel, c.bitsPerPixel);
        EXPECT_EQ(r.format.colorsUsed, c.colorsUsed);
        EXPECT_EQ(Bytes(r.pixels.begin(), r.pixels.begin() + c.firstRow.size()), c.firstRow);
    }
}

// Index 5 of a one-entry palette reads black, never what was in memory.
TEST(PngDecoder, IndexPastThePaletteIsBlack) {
    Result palette = Decode(Png(ImageHeader(2, 1, 8, 3), {0, 0, 5}, Chunk("PLTE", {10, 20, 30})));
    ASSERT_EQ(palette.error, PNG_ERROR_NONE);
    EXPECT_EQ(palette.format.tableEntries, 256u);
    EXPECT_EQ(Bytes(palette.format.colourTable[0], palette.format.colourTable[0] + 4),
              (Bytes{30, 20, 10, 0}));
    EXPECT_EQ(Bytes(palette.format.colourTable[5], palette.format.colourTable[5] + 4),
              (Bytes{0, 0, 0, 0}));
}

TEST(PngDecoder, Adam7MatchesItsPlainTwin) {
    // A 3x3 grey picture plain, then as Adam7 passes 1 (0,0), 4 (2,0),
    // 5 (0,2)(2,2), 6 (1,0)(1,2) and 7 (row 1).
    Result twin =
        Decode(Png(ImageHeader(3, 3, 8, 0), {0, 11, 22, 33, 0, 44, 55, 66, 0, 77, 88, 99}));
    Result interlaced = Decode(
        Png(ImageHeader(3, 3, 8, 0, 1), {0, 11, 0, 33, 0, 77, 99, 0, 22, 0, 88, 0, 44, 55, 66}));
    ASSERT_EQ(interlaced.error, PNG_ERROR_NONE);
    EXPECT_EQ(interlaced.pixels, twin.pixels);
}

void* FilledAllocation(size_t size) {
    void* block = std::malloc(size);
    if (block != nullptr) std::memset(block, 0xCD, size);
    return block;
}
int g_allocationsLeft = 0;
void* FailingAllocation(size_t size) {
    return g_allocationsLeft-- > 0 ? std::malloc(size) : nullptr;
}

// A stream that ends before the image does leaves zero rows behind.
TEST(PngDecoder, ShortStreamLeavesZeroRows) {
    g_pngAllocate = FilledAllocation;
    Result r = Decode(Png(ImageHeader(1, 3, 8, 0), {0, 7}));
    g_pngAllocate = std::malloc;
    ASSERT_EQ(r.error, PNG_ERROR_NONE);
    EXPECT_EQ(r.pixels, (Bytes{7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(PngDecoder, StatesAndAllocations) {
    Bytes file = Png(kGrey1x1, {0, 7});
    PngDecoder d;
    ResetPngDecoder(&d);
    PngBitmapFormat format;
    unsigned char pixels[4];
    EXPECT_FALSE(DecodePngImage(&d));
    EXPECT_EQ(d.lastError, PNG_ERROR_WRONG_STATE);
    EXPECT_FALSE(FillPngBitmapFormat(&d, &format));
    EXPECT_EQ(d.lastError, PNG_ERROR_WRONG_STATE);
    ASSERT_TRUE(
        OpenPngMemory(&d, file.data(), static_cast<uint32_t>(file.size()), PNG_SOURCE_MEMORY));
    EXPECT_FALSE(
        OpenPngMemory(&d, file.data(), static_cast<uint32_t>(file.size()), PNG_SOURCE_MEMORY));
    EXPECT_EQ(d.lastError, PNG_ERROR_ALREADY_LOADED);
    EXPECT_FALSE(ConvertPngRows(&d, pixels, 4));
    EXPECT_EQ(d.lastError, PNG_ERROR_WRONG_STATE);

    g_pngAllocate = FailingAllocation;
    g_allocationsLeft = 0;
    EXPECT_FALSE(DecodePngImage(&d));  // the raw buffer
    EXPECT_EQ(d.lastError, PNG_ERROR_OUT_OF_MEMORY);
    EXPECT_EQ(d.state, PNG_STATE_LOADED);
    g_allocationsLeft = 1;
    ASSERT_TRUE(DecodePngImage(&d));
    EXPECT_FALSE(ConvertPngRows(&d, pixels, 4));  // the row buffers
    EXPECT_EQ(d.lastError, PNG_ERROR_OUT_OF_MEMORY);
    g_pngAllocate = std::malloc;

    EXPECT_FALSE(ConvertPngRows(&d, pixels, 3));  // narrower than a bitmap row
    EXPECT_EQ(d.lastError, PNG_ERROR_BITMAP);
    EXPECT_TRUE(ConvertPngRows(&d, pixels, 4));
    EXPECT_EQ(pixels[0], 7);
    ReleasePngDecoder(&d);
    EXPECT_EQ(d.state, PNG_STATE_EMPTY);
    EXPECT_EQ(d.raw, nullptr);
}

}  // namespace
