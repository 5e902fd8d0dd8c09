// The PNG decoder on hand-built files (zero CRCs, which it does not check): the refusals that
// keep bad files from reaching memory, and no byte left unset. The PngSuite comparison with libpng
// checks the pixel formats, palettes, bad signatures and a missing IDAT.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "images/jpeg_header.h"
#include "tests/images/stream_builder.h"

namespace {

// IHDR: width, height, then bit depth, colour type, compression, filter, interlace (or zeros).
Bytes Header(uint32_t width, uint32_t height, Bytes rest) {
    rest.resize(5);
    return Chunk("IHDR", Cat({BigEndian(width), BigEndian(height), rest}));
}
Bytes Idat(const Bytes& raw) {
    return Chunk("IDAT", Zlib().Stored(true, std::string(raw.begin(), raw.end())).bytes);
}
const Bytes kSignature = {137, 80, 78, 71, 13, 10, 26, 10};
const Bytes kGrey = Header(1, 1, {8, 0});

// Signature, IHDR, `middle` chunks, an IDAT holding `raw`, IEND.
Bytes Png(const Bytes& header, const Bytes& raw, const Bytes& middle = {}) {
    return Cat({kSignature, header, middle, Idat(raw), Chunk("IEND", {})});
}

TEST(PngDecoder, RefusesWhatItCannotDecode) {
    const Bytes good = Png(kGrey, {0, 7});
    const uint32_t BAD = PNG_ERROR_BAD_DATA, UNSUPPORTED = PNG_ERROR_UNSUPPORTED;
    const struct {
        const char* name;
        Bytes file;
        uint32_t error;
        bool opens = false;  // refused only once inflated
        Bytes pixels = {};   // when given, the bitmap's bytes
    } cases[] = {
        {"no IEND", Drop(good, 12), PNG_ERROR_NONE, true},
        // A stream that ends before the image does leaves zero rows behind.
        {"short stream", Png(Header(1, 3, {8, 0}), {0, 7}), PNG_ERROR_NONE, true,
         Cat({{7}, Bytes(11, 0)})},
        {"length near 2^32 ends the walk",
         Cat({good, BigEndian(0xFFFFFFF4), {'r', 'u', 'b', 'y', 0, 0, 0, 0}}), PNG_ERROR_NONE,
         true},
        {"fewer than 16 bytes", Drop(good, good.size() - 15), BAD},
        {"IHDR of 12 bytes", Cat({kSignature, Chunk("IHDR", Bytes(12, 1)), Idat({0, 7})}), BAD},
        {"IHDR past the file's end", Drop(good, good.size() - 20), BAD},
        {"width 0", Png(Header(0, 1, {8, 0}), {0, 7}), BAD},
        {"palette without PLTE", Png(Header(1, 1, {8, 3}), {0, 0}), BAD},
        {"corrupt image data", Cat({kSignature, kGrey, Chunk("IDAT", {0x78, 0x9C, 0xFF})}), BAD,
         true},
        {"filter type 5", Png(kGrey, {5, 7}), BAD, true},
        {"unknown critical chunk", Png(kGrey, {0, 7}, Chunk("CRIT", {})), UNSUPPORTED},
        {"interlace 2", Png(Header(1, 1, {8, 0, 0, 0, 2}), {0, 0}), UNSUPPORTED},
        // Beyond the pixel limit nothing is allocated; the old size guards sit behind it.
        {"46000 x 46000", Png(Header(46000, 46000, {8, 0}), {0, 0}), PNG_ERROR_TOO_MANY_PIXELS},
        {"4000 x 4000, at the limit", Png(Header(4000, 4000, {8, 0}), {0, 7}), PNG_ERROR_NONE,
         true},
    };
    g_pngAllocate = [](size_t size) {  // fresh memory is never zero
        void* block = std::malloc(size);
        return block != nullptr ? std::memset(block, 0xCD, size) : nullptr;
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Decoded r = DecodePng(c.file);
        EXPECT_EQ(r.error, c.error);
        EXPECT_EQ(r.opened, c.opens);
        EXPECT_TRUE(c.pixels.empty() || r.pixels == c.pixels);
    }
    g_pngAllocate = std::malloc;
}

// The size a picture is laid out with before it is decoded: SOF0 says 600 high, 800 wide.
TEST(JpegHeader, FrameSizeBeforeTheFirstScan) {
    const Bytes soi = {0xFF, 0xD8}, app0 = {0xFF, 0xE0, 0, 4, 1, 2}, sos = {0xFF, 0xDA, 0, 2};
    const Bytes frame = {0xFF, 0xC0, 0, 11, 8, 0x02, 0x58, 0x03, 0x20, 1, 1, 0x11, 0};
    const struct {
        Bytes file;
        uint32_t width;  // 0: refused
    } rows[] = {
        {Cat({soi, app0, {0xFF, 0xD0, 0xFF}, frame}), 800},  // a standalone marker, a fill byte
        {Cat({soi, {0xFF, 0xC4, 0, 2}, frame}), 800},        // DHT is no frame header
        {Cat({soi, sos, frame}), 0},
        {Cat({app0, frame}), 0},  // no SOI
        {Drop(Cat({soi, frame}), 5), 0},
        {Cat({soi, {0xFF, 0xC2, 0, 11, 8, 0x02, 0x58, 0, 0}, Bytes(4)}), 0},  // no width
    };
    for (const auto& row : rows) {
        uint32_t width = 0, height = 0;
        const bool read = ReadJpegFrameSize(row.file.data(), row.file.size(), &width, &height);
        EXPECT_EQ(read, row.width != 0) << &row - rows;
        EXPECT_TRUE(!read || (width == row.width && height == 600));
    }
}

}  // namespace
