// The inflater against zlib and the PNG decoder against libpng (native only).
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "images/inflate.h"
#include "tests/images/stream_builder.h"

namespace {

// zlib's raw inflate and ours agree on accepting each stream and on its bytes, which fit an exact
// buffer; one byte less is refused, never overrun. Streams: random bytes, words, runs and a
// gradient through zlib at every level and strategy, then dynamic blocks on the edge of validity.
TEST(InflateOracle, AgreesWithZlib) {
    std::mt19937 random(7);
    std::vector<Bytes> samples(4, Bytes(150000));
    for (size_t i = 0; i < samples[0].size(); ++i) {
        samples[0][i] = static_cast<unsigned char>(random());
        samples[1][i] = "quiz Brelo presque BRAVO\n"[random() % 25];
        samples[2][i] = static_cast<unsigned char>(i / (1 + random() % 600) % 3);
        samples[3][i] = static_cast<unsigned char>(i / 7 + i % 13);
    }
    samples.push_back({'x'});
    std::vector<std::pair<int, int>> settings = {
        {6, Z_FILTERED}, {6, Z_HUFFMAN_ONLY}, {6, Z_RLE}, {6, Z_FIXED}};
    for (int level = 0; level <= 9; ++level) settings.push_back({level, Z_DEFAULT_STRATEGY});
    std::vector<Bytes> streams = {
        AbBlock(Zlib(), 2, 2, 2, 1).Code(0x3A, 9).bytes,            // complete: "abbbb"
        AbBlock(Zlib(), 2, 2, 2, 0).Code(0x6, 6).Bits(0, 8).bytes,  // no distance code, none used
        AbBlock(Zlib(), 2, 2, 2, 2).Code(0x2, 4).Bits(0, 8).bytes,  // one 2-bit distance code
        AbBlock(Zlib(), 2, 0, 2, 1).Code(0x1, 4).Bits(0, 8).bytes,  // 3 literal/length codes
        AbBlock(Zlib(), 1, 2, 0, 1).Code(0x2, 4).Bits(0, 8).bytes,  // no end of block
        AbBlock(Zlib(), 3, 3, 2, 1).Code(0x2, 4).Bits(0, 8).bytes,  // a 3-bit code missing
        Dynamic(Zlib(), 258, 1, {{18, 127}, {18, 107}, {1, 0}, {0, 0}, {0, 0}}).Bits(0, 9).bytes,
        // Only an end of block, with lengths sent for symbols 286 and 287, or distance code 30.
        Dynamic(Zlib(), 288, 1, {{18, 127}, {18, 107}, {1, 0}, {18, 21}}).Bits(0, 9).bytes,
        Dynamic(Zlib(), 258, 31, {{18, 127}, {18, 107}, {1, 0}, {18, 21}}).Bits(0, 9).bytes,
        Zlib().Bits(5, 3).Bits(1, 14).Bits(146, 12).Bits(0, 32).bytes,  // code-length code 2, 2, 2
    };
    for (const Bytes& data : samples) {
        for (auto [level, strategy] : settings) {
            z_stream z = {};
            ASSERT_EQ(deflateInit2(&z, level, Z_DEFLATED, 15, 8, strategy), Z_OK);
            Bytes stream(deflateBound(&z, data.size()));
            z.next_in = const_cast<unsigned char*>(data.data());
            z.avail_in = uInt(data.size());
            z.next_out = stream.data();
            z.avail_out = uInt(stream.size());
            ASSERT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
            stream.resize(z.total_out);
            deflateEnd(&z);
            streams.push_back(stream);
        }
    }
    for (const Bytes& stream : streams) {
        SCOPED_TRACE(testing::Message() << "stream " << &stream - &streams[0]);
        Bytes theirs(150001);
        z_stream z = {};
        ASSERT_EQ(inflateInit2(&z, -15), Z_OK);
        z.next_in = const_cast<unsigned char*>(stream.data() + 2);
        z.avail_in = uInt(stream.size() - 2);
        z.next_out = theirs.data();
        z.avail_out = uInt(theirs.size());
        const bool accepted = inflate(&z, Z_FINISH) == Z_STREAM_END;
        theirs.resize(z.total_out);
        inflateEnd(&z);
        const InflateInput input = FlatInflateInput(stream.data(), stream.size());
        Bytes ours(accepted ? theirs.size() : 150001);
        size_t written = 0;
        EXPECT_EQ(InflateZlib(input, ours.data(), ours.size(), &written) == INFLATE_OK, accepted);
        if (!accepted) continue;
        EXPECT_TRUE(written == theirs.size() && ours == theirs);
        if (theirs.empty()) continue;
        Bytes small(theirs.size() - 1);
        EXPECT_EQ(InflateZlib(input, small.data(), small.size(), &written), INFLATE_OUTPUT_FULL);
    }
}

// libpng's reading, CRCs not checked (nor are ours), reduced like our native formats: high bytes
// of 16-bit samples, sub-byte samples one per byte, grey alpha dropped, palettes not expanded.
struct Reference {
    int colorType = 0;
    std::vector<png_color> palette;
    Bytes rows;  // one byte per sample
};

bool DecodeReference(const Bytes& file, Reference* ref) {
    FILE* in = fmemopen(const_cast<unsigned char*>(file.data()), file.size(), "rb");
    png_structp png = png_create_read_struct(
        PNG_LIBPNG_VER_STRING, nullptr, [](png_structp p, png_const_charp) { png_longjmp(p, 1); },
        nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::fclose(in);
        return false;
    }
    png_init_io(png, in);
    png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
    png_read_info(png, info);
    ref->colorType = png_get_color_type(png, info);
    int bitDepth = png_get_bit_depth(png, info), entries = 0;
    png_colorp palette = nullptr;
    if (png_get_PLTE(png, info, &palette, &entries))
        ref->palette.assign(palette, palette + entries);
    if (bitDepth == 16) png_set_strip_16(png);
    if (bitDepth < 8) png_set_packing(png);
    if (ref->colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_strip_alpha(png);
    int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    size_t rowBytes = png_get_rowbytes(png, info);
    ref->rows.resize(rowBytes * png_get_image_height(png, info));
    for (int pass = 0; pass < passes; ++pass)
        for (size_t at = 0; at < ref->rows.size(); at += rowBytes)
            png_read_row(png, &ref->rows[at], nullptr);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(in);
    return true;
}

// Our rows as libpng gives them: one byte per sample, red first.
Bytes AsReferenceRows(const Decoded& ours) {
    Bytes rows;
    int bits = ours.format.bitsPerPixel;
    for (int32_t y = 0; y < ours.format.height; ++y) {
        const unsigned char* row = ours.pixels.data() + size_t(y) * ours.format.stride;
        for (int32_t x = 0; x < ours.format.width; ++x) {
            const unsigned char* p = row + x * bits / 8;
            if (bits <= 8) rows.push_back((*p >> (8 - bits - x * bits % 8)) & ((1 << bits) - 1));
            if (bits >= 24) rows.insert(rows.end(), {p[2], p[1], p[0]});
            if (bits == 32) rows.push_back(p[3]);
        }
    }
    return rows;
}

// Valid files decode to libpng's pixels and palette; x-files are refused unless only a CRC is
// wrong.
TEST(PngOracle, PngSuiteAgreesWithLibpng) {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(BRELO_PNGSUITE_DIR)) {
        if (entry.path().extension() != ".png") continue;
        const std::string name = entry.path().filename();
        std::ifstream in(entry.path(), std::ios::binary);
        const Bytes file{std::istreambuf_iterator<char>(in), {}};
        SCOPED_TRACE(name);
        ++count;
        Reference ref;
        bool theirs = DecodeReference(file, &ref);
        Decoded ours = DecodePng(file);
        EXPECT_EQ(ours.error == PNG_ERROR_NONE, theirs) << std::hex << ours.error;
        EXPECT_TRUE(theirs || name[0] == 'x');
        if (!theirs || ours.error != PNG_ERROR_NONE) continue;
        EXPECT_TRUE(AsReferenceRows(ours) == ref.rows);
        // A palette fills the whole table, black past its entries: no index reads stale memory.
        EXPECT_TRUE(ref.colorType != 3 ||
                    ours.format.tableEntries == 1u << ours.format.bitsPerPixel);
        for (unsigned i = 0; ref.colorType == 3 && i < ours.format.tableEntries; ++i) {
            png_color c = i < ref.palette.size() ? ref.palette[i] : png_color{0, 0, 0};
            const unsigned char* rgb = ours.format.colourTable[i];
            EXPECT_TRUE(rgb[0] == c.blue && rgb[1] == c.green && rgb[2] == c.red) << i;
        }
    }
    EXPECT_GE(count, 170);
}

}  // namespace
