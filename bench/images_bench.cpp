// Our inflater against zlib's uncompress and libdeflate on the same 8 MB of
// mixed data and on the image streams of the PNG test suite, and our PNG
// decoder against libpng on the same 2000x2000 photo-like picture (RGB,
// palette and interlaced RGB), both to blue-green-red rows or to indices.
// Compare within one run: the ratio is the figure, not the absolute speed.
// (Both references check the Adler-32 trailer, which Brelo does not read.)
#include <benchmark/benchmark.h>
#include <libdeflate.h>
#include <png.h>
#include <zlib.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

#include "images/inflate.h"
#include "images/png_decoder.h"

namespace {

using Bytes = std::vector<unsigned char>;

// A quarter each: words, noise, runs and a slowly changing signal.
const Bytes& MixedData() {
    static Bytes data = [] {
        const size_t quarter = 2 << 20;
        std::mt19937 random(42);
        Bytes out;
        const char* words[] = {"quiz ", "r\xE9ponse ", "Brelo ", "question ", "BRAVO ", "\r\n"};
        while (out.size() < quarter) {
            const char* word = words[random() % 6];
            out.insert(out.end(), word, word + std::strlen(word));
        }
        for (size_t i = 0; i < quarter; ++i) out.push_back(static_cast<unsigned char>(random()));
        while (out.size() < 3 * quarter) {
            out.insert(out.end(), 1 + random() % 300, static_cast<unsigned char>(random() % 4));
        }
        for (size_t i = 0; out.size() < 4 * quarter; ++i) {
            out.push_back(
                static_cast<unsigned char>(128 + 100 * std::sin(i / 500.0) + random() % 5));
        }
        out.resize(4 * quarter);
        return out;
    }();
    return data;
}

const Bytes& MixedStream() {
    static Bytes stream = [] {
        const Bytes& data = MixedData();
        uLongf size = compressBound(data.size());
        Bytes out(size);
        compress2(out.data(), &size, data.data(), data.size(), 6);
        out.resize(size);
        return out;
    }();
    return stream;
}

// One zlib stream and its inflated size.
struct Stream {
    Bytes compressed;
    size_t size;
};

// The IDAT data of every valid file of the PNG test suite, joined into one flat stream each.
const std::vector<Stream>& PngSuiteStreams() {
    static std::vector<Stream> streams = [] {
        std::vector<Stream> out;
        for (const auto& entry : std::filesystem::directory_iterator(BRELO_PNGSUITE_DIR)) {
            std::ifstream in(entry.path(), std::ios::binary);
            Bytes file{std::istreambuf_iterator<char>(in), {}};
            if (entry.path().extension() != ".png" || entry.path().filename().c_str()[0] == 'x')
                continue;
            Stream stream = {{}, 0};
            for (size_t at = 8; at + 12 <= file.size();) {
                size_t length = size_t{file[at]} << 24 | size_t{file[at + 1]} << 16 |
                                size_t{file[at + 2]} << 8 | file[at + 3];
                if (at + 12 + length > file.size()) break;
                if (std::memcmp(&file[at + 4], "IDAT", 4) == 0)
                    stream.compressed.insert(stream.compressed.end(), &file[at + 8],
                                             &file[at + 8] + length);
                at += 12 + length;
            }
            Bytes inflated(1 << 22);
            uLongf size = inflated.size();
            if (uncompress(inflated.data(), &size, stream.compressed.data(),
                           stream.compressed.size()) == Z_OK) {
                stream.size = size;
                out.push_back(stream);
            }
        }
        return out;
    }();
    return streams;
}

const std::vector<Stream>& MixedStreams() {
    static std::vector<Stream> streams = {{MixedStream(), MixedData().size()}};
    return streams;
}

enum Inflater { BRELO, ZLIB, LIBDEFLATE };

// Every stream of a set once per iteration.
void BM_Inflate(benchmark::State& state, const std::vector<Stream>& (*set)(), Inflater inflater) {
    const std::vector<Stream>& streams = set();
    size_t total = 0;
    for (const Stream& stream : streams) total += stream.size;
    Bytes out(total);
    libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
    for (auto _ : state) {
        unsigned char* to = out.data();
        for (const Stream& stream : streams) {
            const unsigned char* from = stream.compressed.data();
            size_t fromSize = stream.compressed.size(), written = 0;
            uLongf size = stream.size;
            bool ok = inflater == BRELO ? InflateZlib(FlatInflateInput(from, fromSize), to,
                                                      stream.size, &written) == INFLATE_OK
                      : inflater == ZLIB
                          ? uncompress(to, &size, from, fromSize) == Z_OK
                          : libdeflate_zlib_decompress(decompressor, from, fromSize, to,
                                                       stream.size, nullptr) == LIBDEFLATE_SUCCESS;
            if (!ok) state.SkipWithError("inflate failed");
            to += stream.size;
        }
        benchmark::DoNotOptimize(out.data());
    }
    libdeflate_free_decompressor(decompressor);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * total));
}

BENCHMARK_CAPTURE(BM_Inflate, MixedBrelo, MixedStreams, BRELO)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Inflate, MixedZlib, MixedStreams, ZLIB)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Inflate, MixedLibdeflate, MixedStreams, LIBDEFLATE)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Inflate, PngSuiteBrelo, PngSuiteStreams, BRELO);
BENCHMARK_CAPTURE(BM_Inflate, PngSuiteZlib, PngSuiteStreams, ZLIB);
BENCHMARK_CAPTURE(BM_Inflate, PngSuiteLibdeflate, PngSuiteStreams, LIBDEFLATE);

constexpr int PHOTO_SIDE = 2000;

void AppendToBytes(png_structp png, png_bytep data, png_size_t size) {
    Bytes* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

enum Picture { PHOTO_RGB, PHOTO_PALETTE, PHOTO_INTERLACED };

// Smooth shapes, gradients and sensor-like noise, encoded by libpng with its
// default (adaptive) filters and compression: as RGB, as 256 colours (each
// channel cut to a few levels), or as RGB interlaced.
Bytes MakePhotoPng(Picture picture) {
    std::mt19937 random(3);
    const bool palette = picture == PHOTO_PALETTE;
    const size_t pixelBytes = palette ? 1 : 3;
    Bytes pixels(size_t{PHOTO_SIDE} * PHOTO_SIDE * pixelBytes);
    for (int y = 0; y < PHOTO_SIDE; ++y) {
        for (int x = 0; x < PHOTO_SIDE; ++x) {
            unsigned char* p = &pixels[(static_cast<size_t>(y) * PHOTO_SIDE + x) * pixelBytes];
            double sky = 120 + 80 * std::sin(x / 310.0) * std::cos(y / 170.0);
            unsigned red = static_cast<unsigned char>(sky + random() % 9);
            unsigned green = static_cast<unsigned char>(sky * 0.8 + y / 20 + random() % 9);
            unsigned blue = static_cast<unsigned char>(255 - sky * 0.6 + random() % 9);
            if (palette) {
                p[0] = static_cast<unsigned char>(red / 32 * 32 + green / 64 * 8 + blue / 32);
            } else {
                p[0] = static_cast<unsigned char>(red);
                p[1] = static_cast<unsigned char>(green);
                p[2] = static_cast<unsigned char>(blue);
            }
        }
    }
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, AppendToBytes, nullptr);
    png_set_IHDR(png, info, PHOTO_SIDE, PHOTO_SIDE, 8,
                 palette ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB,
                 picture == PHOTO_INTERLACED ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_color colours[256];
    for (int i = 0; i < 256; ++i) {
        colours[i] = {static_cast<png_byte>(i / 32 * 32), static_cast<png_byte>(i / 8 % 4 * 64),
                      static_cast<png_byte>(i % 8 * 32)};
    }
    if (palette) png_set_PLTE(png, info, colours, 256);
    png_write_info(png, info);
    std::vector<png_bytep> rows(PHOTO_SIDE);
    for (int y = 0; y < PHOTO_SIDE; ++y)
        rows[y] = &pixels[static_cast<size_t>(y) * PHOTO_SIDE * pixelBytes];
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

const Bytes& PhotoPng(Picture picture) {
    static Bytes files[3];
    if (files[picture].empty()) files[picture] = MakePhotoPng(picture);
    return files[picture];
}

size_t BitmapBytes(Picture picture) {
    return size_t{PHOTO_SIDE} * PHOTO_SIDE * (picture == PHOTO_PALETTE ? 1 : 3);
}

void BM_PngBrelo(benchmark::State& state, Picture picture) {
    const Bytes& file = PhotoPng(picture);
    Bytes bitmap(BitmapBytes(picture));
    for (auto _ : state) {
        PngDecoder decoder;
        ResetPngDecoder(&decoder);
        PngBitmapFormat format;
        if (!OpenPngMemory(&decoder, file.data(), static_cast<uint32_t>(file.size()),
                           PNG_SOURCE_MEMORY) ||
            !DecodePngImage(&decoder) || !FillPngBitmapFormat(&decoder, &format) ||
            !ConvertPngRows(&decoder, bitmap.data(), format.stride)) {
            state.SkipWithError("decode failed");
        }
        ReleasePngDecoder(&decoder);
        benchmark::DoNotOptimize(bitmap.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bitmap.size()));
}

struct Reader {
    const Bytes* file;
    size_t position;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
    Reader* reader = static_cast<Reader*>(png_get_io_ptr(png));
    std::memcpy(out, reader->file->data() + reader->position, count);
    reader->position += count;
}

// libpng to the same rows: blue-green-red, or palette indices as they are.
void BM_PngLibpng(benchmark::State& state, Picture picture) {
    const Bytes& file = PhotoPng(picture);
    Bytes bitmap(BitmapBytes(picture));
    const size_t rowBytes = bitmap.size() / PHOTO_SIDE;
    std::vector<png_bytep> rows(PHOTO_SIDE);
    for (int y = 0; y < PHOTO_SIDE; ++y) rows[y] = &bitmap[static_cast<size_t>(y) * rowBytes];
    for (auto _ : state) {
        Reader reader = {&file, 0};
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_set_read_fn(png, &reader, ReadFromMemory);
        png_read_info(png, info);
        png_set_bgr(png);
        png_set_interlace_handling(png);
        png_read_update_info(png, info);
        png_read_image(png, rows.data());
        png_read_end(png, nullptr);
        png_destroy_read_struct(&png, &info, nullptr);
        benchmark::DoNotOptimize(bitmap.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bitmap.size()));
}

BENCHMARK_CAPTURE(BM_PngBrelo, Rgb, PHOTO_RGB)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PngLibpng, Rgb, PHOTO_RGB)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PngBrelo, Palette, PHOTO_PALETTE)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PngLibpng, Palette, PHOTO_PALETTE)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PngBrelo, Interlaced, PHOTO_INTERLACED)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_PngLibpng, Interlaced, PHOTO_INTERLACED)->Unit(benchmark::kMillisecond);

}  // namespace
