// Hand-built zlib streams, every bit chosen by the test, and the PNG decoder in one call.
#pragma once

#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "images/png_decoder.h"

using Bytes = std::vector<unsigned char>;

// DEFLATE bit order: values least significant bit first, Huffman codes most significant first.
class BitWriter {
  public:
    BitWriter& Bits(unsigned value, int count) {
        for (int i = 0; i < count; ++i) Bit((value >> i) & 1u);
        return *this;
    }
    BitWriter& Code(unsigned code, int length) {
        for (int i = length - 1; i >= 0; --i) Bit((code >> i) & 1u);
        return *this;
    }
    BitWriter& Align() {
        used_ = 8;
        return *this;
    }
    // A literal or length symbol of the fixed code.
    BitWriter& Fixed(unsigned s) {
        if (s < 144) return Code(0x30 + s, 8);
        if (s < 256) return Code(0x190 + s - 144, 9);
        return s < 280 ? Code(s - 256, 7) : Code(0xC0 + s - 280, 8);
    }
    BitWriter& Stored(bool last, const std::string& data) {
        unsigned length = static_cast<unsigned>(data.size());
        Bits(last, 3).Align().Bits(length, 16).Bits(~length, 16);
        for (char c : data) Bits(static_cast<unsigned char>(c), 8);
        return *this;
    }
    Bytes bytes;

  private:
    void Bit(unsigned bit) {
        if (used_ == 8) bytes.push_back(0), used_ = 0;
        bytes.back() = static_cast<unsigned char>(bytes.back() | bit << used_++);
    }
    int used_ = 8;
};

// A last dynamic block's header and code lengths, given as (symbol, extra) pairs. The
// code-length code is complete: symbols 0..12 get 4 bits (code s), 13..18 get 5 (code s + 13).
inline BitWriter Dynamic(BitWriter w, unsigned literals, unsigned distances,
                         std::initializer_list<std::pair<unsigned, unsigned>> lengths) {
    w.Bits(5, 3).Bits(literals - 257, 5).Bits(distances - 1, 5).Bits(15, 4);
    for (unsigned s : {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15})
        w.Bits(s < 13 ? 4 : 5, 3);
    for (auto [s, extra] : lengths)
        (s < 13 ? w.Code(s, 4) : w.Code(s + 13, 5))
            .Bits(extra, s == 16   ? 2
                         : s == 17 ? 3
                         : s == 18 ? 7
                                   : 0);
    return w;
}

inline BitWriter Zlib() {
    return BitWriter().Bits(0x9C78, 16);
}  // deflate, 32K window

// After `w`, a last dynamic block where 'a', 'b' and end of block get codes of `a`, `b` and `end`
// bits, length 3 one of 2 bits (00, 01, 10, 11 when all are 2), distance 1 one of `distance`.
inline BitWriter AbBlock(BitWriter w, unsigned a, unsigned b, unsigned end, unsigned distance) {
    return Dynamic(w, 258, 1,
                   {{18, 86}, {a, 0}, {b, 0}, {18, 127}, {18, 8}, {end, 0}, {2, 0}, {distance, 0}});
}

struct Decoded {
    uint32_t error;
    bool opened;
    PngBitmapFormat format;  // 0xAA where not filled
    Bytes pixels;            // 0xEE where not converted
};

// Open, describe (from the header, as pictures are laid out), decode, convert; stop at a failure.
inline Decoded DecodePng(const Bytes& file) {
    Decoded r = {};
    std::memset(&r.format, 0xAA, sizeof r.format);
    PngDecoder d;
    ResetPngDecoder(&d);
    r.opened = OpenPngMemory(&d, file.data(), uint32_t(file.size()), PNG_SOURCE_MEMORY);
    bool ok = r.opened && FillPngBitmapFormat(&d, &r.format);
    if (ok) {
        r.pixels.assign(size_t{r.format.stride} * r.format.height, 0xEE);
        ok = DecodePngImage(&d) && ConvertPngRows(&d, r.pixels.data(), r.format.stride);
    }
    r.error = d.lastError;
    EXPECT_EQ(ok, r.error == PNG_ERROR_NONE);  // a failure always says why
    ReleasePngDecoder(&d);
    return r;
}
