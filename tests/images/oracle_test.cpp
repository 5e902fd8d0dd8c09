// The inflater against zlib and the PNG decoder against libpng, the trusted
// decoders serving as oracles (native only), plus the flip-and-truncate loop
// over every PngSuite file.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cstring>
#include <dirent.h>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "images/inflate.h"
#include "images/png_decoder.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Deflate(const Bytes& data, int level, int strategy) {
    z_stream z = {};
    EXPECT_EQ(deflateInit2(&z, level, Z_DEFLATED, 15, 8, strategy), Z_OK);
    Bytes out(deflateBound(&z, data.size()));
    z.next_in = const_cast<unsigned char*>(data.data());
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

// Random bytes, English-like words, long runs and a gradient.
std::vector<Bytes> SampleData() {
    std::mt19937 random(7);
    Bytes noise(70000), words, runs, gradient;
    for (unsigned char& b : noise) b = static_cast<unsigned char>(random());
    const char* vocabulary[] = {"quiz ", "Brelo ", "image ", "presque ", "BRAVO ", "\n"};
    while (words.size() < 200000) {
        const char* word = vocabulary[random() % 6];
        words.insert(words.end(), word, word + std::strlen(word));
    }
    for (int i = 0; i < 300; ++i)
        runs.insert(runs.end(), random() % 600, static_cast<unsigned char>(random() % 3));
    for (int i = 0; i < 100000; ++i)
        gradient.push_back(static_cast<unsigned char>(i / 7 + (i % 13)));
    return {noise, words, runs, gradient, Bytes{'x'}};
}

TEST(InflateOracle, DecodesWhatZlibCompressed) {
    struct Setting {
        int level;
        int strategy;
    };
    std::vector<Setting> settings;
    for (int level = 0; level <= 9; ++level) settings.push_back({level, Z_DEFAULT_STRATEGY});
    for (int strategy : {Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED})
        settings.push_back({6, strategy});
    for (const Bytes& data : SampleData()) {
        for (const Setting& s : settings) {
            SCOPED_TRACE(testing::Message() << data.size() << " bytes, level " << s.level
                                            << " strategy " << s.strategy);
            Bytes stream = Deflate(data, s.level, s.strategy);
            Bytes out(data.size());
            size_t written = 0;
            ASSERT_EQ(InflateZlib(FlatInflateInput(stream.data(), stream.size()), out.data(),
                                  out.size(), &written),
                      INFLATE_OK);
            EXPECT_EQ(written, data.size());
            EXPECT_TRUE(out == data);
            // One byte too small a buffer is refused, never overrun.
            Bytes small(data.size() - 1);
            EXPECT_EQ(InflateZlib(FlatInflateInput(stream.data(), stream.size()), small.data(),
                                  small.size(), &written),
                      INFLATE_OUTPUT_FULL);
        }
    }
}

// Our decoder's bitmap: format, colour table and rows.
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
    if (ok)
        EXPECT_EQ(decoder.lastError, PNG_ERROR_NONE);
    else
        EXPECT_NE(decoder.lastError, PNG_ERROR_NONE);
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

unsigned PackedAt(const unsigned char* row, uint32_t x, int bits) {
    uint32_t bit = x * bits;
    return (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
}

// Every pixel of ours against libpng's, through our colour table where we have one.
void ExpectSamePixels(const Decoded& ours, const Reference& ref) {
    ASSERT_EQ(uint32_t(ours.format.width), ref.width);
    ASSERT_EQ(uint32_t(ours.format.height), ref.height);
    int bits = ours.format.bitsPerPixel;
    int levels = ref.bitDepth < 8 ? 1 << ref.bitDepth : 256;
    for (uint32_t y = 0; y < ref.height; ++y) {
        const unsigned char* row = ours.pixels.data() + y * ours.format.stride;
        const unsigned char* want = ref.rows.data() + size_t{y} * ref.width * ref.channels;
        for (uint32_t x = 0; x < ref.width; ++x, want += ref.channels) {
            SCOPED_TRACE(testing::Message() << "pixel " << x << "," << y);
            if (bits <= 8) {
                unsigned value = PackedAt(row, x, bits);
                ASSERT_EQ(value, want[0]);
                const unsigned char* entry = ours.format.colourTable[value];
                if (ref.colorType == PNG_COLOR_TYPE_PALETTE) {
                    png_color c =
                        value < ref.palette.size() ? ref.palette[value] : png_color{0, 0, 0};
                    ASSERT_EQ(entry[2], c.red);
                    ASSERT_EQ(entry[1], c.green);
                    ASSERT_EQ(entry[0], c.blue);
                } else {
                    ASSERT_EQ(entry[0], value * 255 / (levels - 1));
                }
            } else {
                const unsigned char* got = row + x * (bits / 8);
                ASSERT_EQ(got[2], want[0]);
                ASSERT_EQ(got[1], want[1]);
                ASSERT_EQ(got[0], want[2]);
                if (bits == 32) {
                    ASSERT_EQ(got[3], want[3]);
                }
            }
        }
    }
}

std::vector<std::string> PngSuiteFiles() {
    std::vector<std::string> names;
    DIR* dir = opendir(BRELO_PNGSUITE_DIR);
    EXPECT_NE(dir, nullptr) << BRELO_PNGSUITE_DIR;
    if (dir == nullptr) return names;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0) names.push_back(name);
    }
    closedir(dir);
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
        if (theirs && ours.error == PNG_ERROR_NONE) ExpectSamePixels(ours, ref);
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
