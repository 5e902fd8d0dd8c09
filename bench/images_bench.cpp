// Our inflater against zlib's uncompress on the same 8 MB of mixed data, and
// our PNG decoder against libpng on the same 2000x2000 photo-like RGB
// picture, both to 24-bit blue-green-red rows. Compare the pairs within one
// run: the ratio is the figure, not the absolute speed.
#include <benchmark/benchmark.h>
#include <png.h>
#include <zlib.h>

#include <cmath>
#include <cstring>
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

void BM_InflateBrelo(benchmark::State& state) {
    const Bytes& stream = MixedStream();
    Bytes out(MixedData().size());
    for (auto _ : state) {
        size_t written = 0;
        if (InflateZlib(FlatInflateInput(stream.data(), stream.size()), out.data(), out.size(),
                        &written) != INFLATE_OK) {
            state.SkipWithError("inflate failed");
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out.size()));
}

void BM_InflateZlib(benchmark::State& state) {
    const Bytes& stream = MixedStream();
    Bytes out(MixedData().size());
    for (auto _ : state) {
        uLongf size = out.size();
        if (uncompress(out.data(), &size, stream.data(), stream.size()) != Z_OK) {
            state.SkipWithError("uncompress failed");
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out.size()));
}

constexpr int PHOTO_SIDE = 2000;

void AppendToBytes(png_structp png, png_bytep data, png_size_t size) {
    Bytes* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + size);
}

// Smooth shapes, gradients and sensor-like noise, encoded by libpng with its
// default (adaptive) filters and compression.
const Bytes& PhotoPng() {
    static Bytes file = [] {
        std::mt19937 random(3);
        Bytes pixels(size_t{PHOTO_SIDE} * PHOTO_SIDE * 3);
        for (int y = 0; y < PHOTO_SIDE; ++y) {
            for (int x = 0; x < PHOTO_SIDE; ++x) {
                unsigned char* p = &pixels[(static_cast<size_t>(y) * PHOTO_SIDE + x) * 3];
                double sky = 120 + 80 * std::sin(x / 310.0) * std::cos(y / 170.0);
                p[0] = static_cast<unsigned char>(sky + random() % 9);
                p[1] = static_cast<unsigned char>(sky * 0.8 + y / 20 + random() % 9);
                p[2] = static_cast<unsigned char>(255 - sky * 0.6 + random() % 9);
            }
        }
        Bytes out;
        png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_set_write_fn(png, &out, AppendToBytes, nullptr);
        png_set_IHDR(png, info, PHOTO_SIDE, PHOTO_SIDE, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(png, info);
        for (int y = 0; y < PHOTO_SIDE; ++y)
            png_write_row(png, &pixels[static_cast<size_t>(y) * PHOTO_SIDE * 3]);
        png_write_end(png, nullptr);
        png_destroy_write_struct(&png, &info);
        return out;
    }();
    return file;
}

void BM_PngBrelo(benchmark::State& state) {
    const Bytes& file = PhotoPng();
    Bytes bitmap(size_t{PHOTO_SIDE} * PHOTO_SIDE * 3);
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

void BM_PngLibpng(benchmark::State& state) {
    const Bytes& file = PhotoPng();
    Bytes bitmap(size_t{PHOTO_SIDE} * PHOTO_SIDE * 3);
    std::vector<png_bytep> rows(PHOTO_SIDE);
    for (int y = 0; y < PHOTO_SIDE; ++y) rows[y] = &bitmap[static_cast<size_t>(y) * PHOTO_SIDE * 3];
    for (auto _ : state) {
        Reader reader = {&file, 0};
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_set_read_fn(png, &reader, ReadFromMemory);
        png_read_info(png, info);
        png_set_bgr(png);
        png_read_image(png, rows.data());
        png_read_end(png, nullptr);
        png_destroy_read_struct(&png, &info, nullptr);
        benchmark::DoNotOptimize(bitmap.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bitmap.size()));
}

BENCHMARK(BM_InflateBrelo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_InflateZlib)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngBrelo)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PngLibpng)->Unit(benchmark::kMillisecond);

}  // namespace
