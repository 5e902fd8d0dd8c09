// The inflater against zlib and the PNG decoder against libpng (native only).
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "images/inflate.h"
#include "images/png_decoder.h"

namespace {

using Bytes = std::vector<unsigned char>;

// Random bytes, words, runs and a gradient through zlib at every level and strategy.
TEST(InflateOracle, DecodesWhatZlibCompressed) {
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
    for (const Bytes& data : samples) {
        for (auto [level, strategy] : settings) {
            SCOPED_TRACE(testing::Message() << data[0] << " level " << level << " " << strategy);
            z_stream z = {};
            ASSERT_EQ(deflateInit2(&z, level, Z_DEFLATED, 15, 8, strategy), Z_OK);
            Bytes stream(deflateBound(&z, data.size()));
            z.next_in = const_cast<unsigned char*>(data.data());
            z.avail_in = static_cast<uInt>(data.size());
            z.next_out = stream.data();
            z.avail_out = static_cast<uInt>(stream.size());
            ASSERT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
            deflateEnd(&z);
            InflateInput input = FlatInflateInput(stream.data(), z.total_out);
            Bytes out(data.size());
            size_t written = 0;
            ASSERT_EQ(InflateZlib(input, out.data(), out.size(), &written), INFLATE_OK);
            EXPECT_TRUE(written == data.size() && out == data);
            // One byte too small a buffer is refused, never overrun.
            Bytes small(data.size() - 1);
            EXPECT_EQ(InflateZlib(input, small.data(), small.size(), &written),
                      INFLATE_OUTPUT_FULL);
        }
    }
}

struct Decoded {
    uint32_t error;
    PngBitmapFormat format;
    Bytes pixels;
};

Decoded DecodeOurs(const Bytes& file, size_t pixelLimit = SIZE_MAX) {
    Decoded result = {};
    PngDecoder decoder;
    ResetPngDecoder(&decoder);
    bool ok = OpenPngMemory(&decoder, file.data(), static_cast<uint32_t>(file.size()),
                            PNG_SOURCE_MEMORY) &&
              FillPngBitmapFormat(&decoder, &result.format);
    if (ok && size_t{result.format.stride} * result.format.height > pixelLimit) {
        ReleasePngDecoder(&decoder);
        return result;  // too large to bother with here; parsing it was the point
    }
    ok = ok && DecodePngImage(&decoder);
    if (ok) {
        result.pixels.resize(size_t{result.format.stride} * result.format.height);
        ok = ConvertPngRows(&decoder, result.pixels.data(), result.format.stride);
    }
    result.error = ok ? PNG_ERROR_NONE : decoder.lastError;
    EXPECT_EQ(ok, decoder.lastError == PNG_ERROR_NONE);  // a failure always says why
    ReleasePngDecoder(&decoder);
    return result;
}

// libpng's reading, CRCs not checked (ours checks none), reduced the way our
// native formats reduce: high bytes of 16-bit samples, sub-byte samples one
// per byte, grey alpha dropped, no palette expansion.
struct Reference {
    png_uint_32 width = 0, height = 0;
    int colorType = 0, bitDepth = 0, channels = 0;
    std::vector<png_color> palette;
    Bytes rows;  // width * channels bytes per row
};

struct Reader {
    const Bytes* file;
    size_t position;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
    Reader* reader = static_cast<Reader*>(png_get_io_ptr(png));
    if (count > reader->file->size() - reader->position) png_error(png, "end of file");
    std::memcpy(out, reader->file->data() + reader->position, count);
    reader->position += count;
}

bool DecodeReference(const Bytes& file, Reference* ref) {
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr,
                               [](png_structp p, png_const_charp) { png_longjmp(p, 1); });
    png_infop info = png_create_info_struct(png);
    Reader reader = {&file, 0};
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_crc_action(png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
    png_set_read_fn(png, &reader, ReadFromMemory);
    png_read_info(png, info);
    ref->width = png_get_image_width(png, info);
    ref->height = png_get_image_height(png, info);
    ref->colorType = png_get_color_type(png, info);
    ref->bitDepth = png_get_bit_depth(png, info);
    png_colorp palette = nullptr;
    int entries = 0;
    if (png_get_PLTE(png, info, &palette, &entries))
        ref->palette.assign(palette, palette + entries);
    if (ref->bitDepth == 16) png_set_strip_16(png);
    if (ref->bitDepth < 8) png_set_packing(png);
    if (ref->colorType == PNG_COLOR_TYPE_GRAY_ALPHA) png_set_strip_alpha(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    ref->channels = png_get_channels(png, info);
    size_t rowBytes = png_get_rowbytes(png, info);
    EXPECT_EQ(rowBytes, size_t{ref->width} * ref->channels);
    ref->rows.resize(rowBytes * ref->height);
    std::vector<png_bytep> rows(ref->height);
    for (png_uint_32 y = 0; y < ref->height; ++y) rows[y] = ref->rows.data() + y * rowBytes;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    return true;
}

// Our rows as libpng gives them: one byte per sample, red first.
Bytes AsReferenceRows(const Decoded& ours) {
    Bytes rows;
    int bits = ours.format.bitsPerPixel;
    for (int32_t y = 0; y < ours.format.height; ++y) {
        const unsigned char* row = ours.pixels.data() + size_t(y) * ours.format.stride;
        for (int32_t x = 0; x < ours.format.width; ++x) {
            if (bits <= 8) {
                rows.push_back((row[x * bits / 8] >> (8 - bits - x * bits % 8)) &
                               ((1 << bits) - 1));
                continue;
            }
            const unsigned char* p = row + x * (bits / 8);
            rows.insert(rows.end(), {p[2], p[1], p[0]});
            if (bits == 32) rows.push_back(p[3]);
        }
    }
    return rows;
}

// Pixels equal to libpng's, and a colour table holding the PLTE entries
// (black past them) or the grey levels.
void ExpectSamePicture(const Decoded& ours, const Reference& ref) {
    ASSERT_EQ(uint32_t(ours.format.width), ref.width);
    ASSERT_EQ(uint32_t(ours.format.height), ref.height);
    EXPECT_TRUE(AsReferenceRows(ours) == ref.rows);
    unsigned levels = ref.bitDepth < 8 ? 1u << ref.bitDepth : 256;
    for (unsigned i = 0; i < ours.format.tableEntries; ++i) {
        png_color c = {0, 0, 0};
        if (ref.colorType != PNG_COLOR_TYPE_PALETTE) {
            c.red = c.green = c.blue = static_cast<png_byte>(i * 255 / (levels - 1));
        } else if (i < ref.palette.size()) {
            c = ref.palette[i];
        }
        const unsigned char* entry = ours.format.colourTable[i];
        EXPECT_TRUE(entry[0] == c.blue && entry[1] == c.green && entry[2] == c.red) << i;
    }
}

std::vector<std::string> PngSuiteFiles() {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(BRELO_PNGSUITE_DIR)) {
        if (entry.path().extension() == ".png") names.push_back(entry.path().filename());
    }
    return names;
}

Bytes ReadFile(const std::string& name) {
    std::ifstream in(std::string(BRELO_PNGSUITE_DIR) + "/" + name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// Valid files decode to libpng's pixels; x-files (corrupt on purpose) are
// refused, unless only a CRC is wrong, which neither side checks here.
TEST(PngOracle, PngSuiteAgreesWithLibpng) {
    std::vector<std::string> names = PngSuiteFiles();
    EXPECT_GE(names.size(), 170u);
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        Bytes file = ReadFile(name);
        Reference ref;
        bool theirs = DecodeReference(file, &ref);
        Decoded ours = DecodeOurs(file);
        EXPECT_EQ(ours.error == PNG_ERROR_NONE, theirs) << std::hex << ours.error;
        if (name[0] != 'x') {
            EXPECT_TRUE(theirs);
        }
        if (theirs && ours.error == PNG_ERROR_NONE) ExpectSamePicture(ours, ref);
    }
}

// lodepng's pattern: damage every file and require an error or an image,
// never a crash (ASan and UBSan watch the native-asan run).
TEST(PngOracle, FlippedAndTruncatedFilesNeverCrash) {
    for (const std::string& name : PngSuiteFiles()) {
        SCOPED_TRACE(name);
        const Bytes file = ReadFile(name);
        const unsigned char masks[] = {0x01, 0x80, 0xFF};
        // Every byte of the signature and the first chunks, then every fifth.
        for (size_t i = 0; i < file.size(); i += i < 100 ? 1 : 5) {
            Bytes damaged = file;
            damaged[i] ^= masks[i % 3];
            DecodeOurs(damaged, 1 << 20);
            DecodeOurs(Bytes(file.begin(), file.begin() + i), 1 << 20);
        }
    }
}

}  // namespace
