// Hand-built zlib streams and PNG files for the images tests: every bit is
// chosen by the test, so edge cases need no encoder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// DEFLATE bit order: values least significant bit first, Huffman codes most
// significant bit first.
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
    BitWriter& Byte(unsigned char value) { return Align().Bits(value, 8); }
    // A literal or length symbol of the fixed code.
    BitWriter& Fixed(unsigned symbol) {
        if (symbol < 144) return Code(0x30 + symbol, 8);
        if (symbol < 256) return Code(0x190 + symbol - 144, 9);
        if (symbol < 280) return Code(symbol - 256, 7);
        return Code(0xC0 + symbol - 280, 8);
    }
    // A stored block holding `data`.
    BitWriter& Stored(bool last, const std::string& data) {
        Bits(last ? 1 : 0, 1).Bits(0, 2).Align();
        unsigned length = static_cast<unsigned>(data.size());
        Bits(length, 16).Bits(~length & 0xFFFFu, 16);
        for (char c : data) Byte(static_cast<unsigned char>(c));
        return *this;
    }
    const Bytes& bytes() const { return bytes_; }

  private:
    void Bit(unsigned bit) {
        if (used_ == 8) {
            bytes_.push_back(0);
            used_ = 0;
        }
        bytes_.back() = static_cast<unsigned char>(bytes_.back() | (bit << used_++));
    }
    Bytes bytes_;
    int used_ = 8;
};

inline void Append(Bytes& to, const Bytes& from) {
    to.insert(to.end(), from.begin(), from.end());
}

inline void AppendBigEndian(Bytes& to, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        to.push_back(static_cast<unsigned char>(value >> shift));
}

// A chunk with a zero CRC (the decoder reads CRCs and checks none).
inline Bytes Chunk(const char* type, const Bytes& data) {
    Bytes chunk;
    AppendBigEndian(chunk, static_cast<uint32_t>(data.size()));
    chunk.insert(chunk.end(), type, type + 4);
    Append(chunk, data);
    AppendBigEndian(chunk, 0);
    return chunk;
}

inline Bytes Signature() {
    return {137, 80, 78, 71, 13, 10, 26, 10};
}

inline Bytes ImageHeader(uint32_t width, uint32_t height, int bitDepth, int colorType,
                         int interlace = 0, int compression = 0, int filter = 0) {
    Bytes data;
    AppendBigEndian(data, width);
    AppendBigEndian(data, height);
    for (int v : {bitDepth, colorType, compression, filter, interlace})
        data.push_back(static_cast<unsigned char>(v));
    return Chunk("IHDR", data);
}

// The filtered scanlines as one stored block behind a zlib header.
inline Bytes StoredZlib(const Bytes& raw) {
    BitWriter w;
    w.Bits(0x9C78, 16)
        .Stored(true, std::string(raw.begin(), raw.end()))
        .Align()
        .Bits(0, 16)
        .Bits(0, 16);
    return w.bytes();
}
