// The inflater and the PNG decoder on hand-built input (zero CRCs, never checked): one refusal per
// error, IDAT chains, no byte left unset. The oracles check the decoding, bad signatures and a
// missing IDAT; the fuzz targets, the bounds other rows guard already.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "images/inflate.h"
#include "images/jpeg_header.h"
#include "tests/images/stream_builder.h"

namespace {

Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// All but the last `count` bytes.
Bytes Drop(Bytes bytes, size_t count) {
    bytes.resize(bytes.size() - count);
    return bytes;
}

Bytes BigEndian(uint32_t v) {
    return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
}

// A chunk with a zero CRC (the decoder reads CRCs and checks none).
Bytes Chunk(const char* type, const Bytes& data) {
    return Cat({BigEndian(uint32_t(data.size())), Bytes(type, type + 4), data, BigEndian(0)});
}

TEST(Inflate, HandBuiltStreams) {
    // Stored "ab", fixed "c", then dynamic a, b, length 3 at distance 1, end of block.
    const Bytes mixed =
        AbBlock(Zlib().Stored(false, "ab").Bits(2, 3).Fixed('c').Fixed(256), 2, 2, 2, 1)
            .Code(0x3A, 9)
            .bytes;
    const size_t n = mixed.size();
    auto idat = [&](size_t from, size_t to) {
        return Chunk("IDAT", Bytes(mixed.begin() + from, mixed.begin() + to));
    };
    const struct {
        const char* name;
        Bytes input;
        InflateError error;
        std::string output = "";
        bool chained = false;  // `input` is IDAT chunks
    } cases[] = {
        {"method 7", BitWriter().Bits(0x9C77, 16).Stored(true, "x").bytes, INFLATE_BAD_HEADER},
        {"block type 3", Zlib().Bits(7, 3).Bits(0, 16).bytes, INFLATE_BAD_BLOCK_TYPE},
        {"bad NLEN", Zlib().Bits(1, 3).Align().Bits(0x20002, 32).bytes, INFLATE_BAD_STORED_LENGTH},
        {"16 first", Dynamic(Zlib(), 258, 1, {{16, 0}}).bytes, INFLATE_BAD_CODE_LENGTHS},
        {"no distance code", AbBlock(Zlib(), 2, 2, 2, 0).Code(0, 2).Code(3, 2).Bits(0, 16).bytes,
         INFLATE_BAD_CODE, "a"},
        {"literal/length 286", Zlib().Bits(3, 3).Fixed(286).Bits(0, 16).bytes, INFLATE_BAD_SYMBOL},
        {"distance too far", Zlib().Bits(3, 3).Fixed('a').Fixed(257).Code(1, 5).Fixed(256).bytes,
         INFLATE_DISTANCE_TOO_FAR, "a"},
        {"stored block cut short", Drop(Zlib().Stored(true, "abcde").bytes, 4), INFLATE_INPUT_ENDED,
         "a"},
        {"no end of block", Zlib().Bits(3, 3).Fixed('a').bytes, INFLATE_INPUT_ENDED, "a"},
        {"split over IDATs, one empty",
         Cat({idat(0, 3), idat(3, 3), idat(3, n), Chunk("IEND", {})}), INFLATE_OK, "abcabbbb",
         true},
        // Another chunk ends the chain: the last IDAT is never read.
        {"chunk between IDATs", Cat({idat(0, 9), Chunk("tEXt", {'a'}), idat(9, n)}),
         INFLATE_INPUT_ENDED, "ab", true},
        // A last IDAT longer than the file is not followed.
        {"truncated last IDAT", Drop(Cat({idat(0, 9), idat(9, n)}), 5), INFLATE_INPUT_ENDED, "ab",
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes input = c.input, output(10);  // exact sizes: ASan sees any overrun
        const unsigned char* begin = input.data();
        size_t written = 12345;
        EXPECT_EQ(InflateZlib(c.chained ? IdatInflateInput(begin, begin + input.size())
                                        : FlatInflateInput(begin, input.size()),
                              output.data(), output.size(), &written),
                  c.error);
        ASSERT_LE(written, output.size());
        EXPECT_EQ(std::string(output.begin(), output.begin() + written), c.output);
    }
}

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
        {"IHDR of 12 bytes", Cat({kSignature, Chunk("IHDR", Bytes(12, 1)), Idat({0, 7})}), BAD},
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
