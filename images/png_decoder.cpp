// PNG decoder, pure part. The file stays where it is (a resource, or the
// caller's memory); the decoder holds the whole inflated, still filtered image
// once (`raw`) and converts it row by row straight into the bitmap memory.
#include "images/png_decoder.h"

#include <cstdlib>
#include <cstring>

#include "images/inflate.h"

PngAllocator g_pngAllocate = std::malloc;

namespace {

const unsigned char PNG_SIGNATURE[8] = {137, 80, 78, 71, 13, 10, 26, 10};

// Sizes that the raw buffer, the bitmap and the Win32 header (signed 32-bit
// width and height) can all hold.
constexpr uint64_t PNG_SIZE_LIMIT = 0x7FFFFFFFu;

enum ChunkKind {
    CHUNK_IHDR,
    CHUNK_PLTE,
    CHUNK_IDAT,
    CHUNK_IEND,
    CHUNK_ANCILLARY,  // unknown, first letter lower case: skipped
    CHUNK_CRITICAL,   // unknown, first letter upper case: cannot be decoded
};

// How rows of each colour type and bit depth become bitmap rows.
enum NativeFormat {
    FORMAT_COPY,          // grey and palette at 1, 4 and 8 bits: as they are
    FORMAT_TWO_TO_FOUR,   // grey and palette at 2 bits: each sample in a half-byte
    FORMAT_GREY16,        // high byte of each sample
    FORMAT_RGB8,          // blue, green, red
    FORMAT_RGB16,         // high bytes, blue, green, red
    FORMAT_GREY_ALPHA8,   // grey byte, alpha dropped
    FORMAT_GREY_ALPHA16,  // high byte of grey, alpha dropped
    FORMAT_RGBA8,         // blue, green, red, alpha
    FORMAT_RGBA16,        // high bytes, blue, green, red, alpha
};

// Adam7 passes: start column, start row, column step, row step.
struct Adam7Pass {
    uint32_t startColumn;
    uint32_t startRow;
    uint32_t columnStep;
    uint32_t rowStep;
};
const Adam7Pass ADAM7_PASSES[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                                   {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};

int Fail(PngDecoder* decoder, uint32_t error) {
    decoder->lastError = error;
    return 0;
}

uint32_t ReadBigEndian32(const unsigned char* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

// A chunk is a 4-byte big-endian length, a 4-byte type, the data and a 4-byte
// CRC (read by nobody). It counts only when all of it lies inside the file;
// the length is compared with the room left, never added to a pointer first,
// so a length near 0xFFFFFFFF cannot wrap around.
bool ReadChunkHeader(const PngDecoder* decoder, ChunkKind* kind, uint32_t* length) {
    const unsigned char* end = decoder->data + decoder->dataSize;
    const unsigned char* chunk = decoder->chunk;
    if (chunk == nullptr || chunk > end || end - chunk < 12) return false;
    uint32_t dataLength = ReadBigEndian32(chunk);
    if (dataLength > static_cast<size_t>(end - chunk) - 12) return false;

    const unsigned char* type = chunk + 4;
    if (std::memcmp(type, "IHDR", 4) == 0) {
        *kind = CHUNK_IHDR;
    } else if (std::memcmp(type, "PLTE", 4) == 0) {
        *kind = CHUNK_PLTE;
    } else if (std::memcmp(type, "IDAT", 4) == 0) {
        *kind = CHUNK_IDAT;
    } else if (std::memcmp(type, "IEND", 4) == 0) {
        *kind = CHUNK_IEND;
    } else {
        // Bit 5 of the first type byte is the ancillary bit (a lower-case letter).
        *kind = (type[0] & 0x20) != 0 ? CHUNK_ANCILLARY : CHUNK_CRITICAL;
    }
    *length = dataLength;
    return true;
}

uint32_t SamplesPerPixel(uint8_t colorType) {
    switch (colorType) {
        case 2:
            return 3;
        case 4:
            return 2;
        case 6:
            return 4;
        default:
            return 1;
    }
}

uint32_t FileBitsPerPixel(const PngDecoder* decoder) {
    return SamplesPerPixel(decoder->colorType) * decoder->bitDepth;
}

// The fifteen pairs ISO/IEC 15948 allows.
bool IsAllowedDepth(uint8_t colorType, uint8_t bitDepth) {
    switch (colorType) {
        case 0:
            return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8 ||
                   bitDepth == 16;
        case 3:
            return bitDepth == 1 || bitDepth == 2 || bitDepth == 4 || bitDepth == 8;
        case 2:
        case 4:
        case 6:
            return bitDepth == 8 || bitDepth == 16;
        default:
            return false;
    }
}

NativeFormat NativeFormatOf(uint8_t colorType, uint8_t bitDepth) {
    switch (colorType) {
        case 0:
            if (bitDepth == 2) return FORMAT_TWO_TO_FOUR;
            return bitDepth == 16 ? FORMAT_GREY16 : FORMAT_COPY;
        case 2:
            return bitDepth == 16 ? FORMAT_RGB16 : FORMAT_RGB8;
        case 3:
            return bitDepth == 2 ? FORMAT_TWO_TO_FOUR : FORMAT_COPY;
        case 4:
            return bitDepth == 16 ? FORMAT_GREY_ALPHA16 : FORMAT_GREY_ALPHA8;
        default:
            return bitDepth == 16 ? FORMAT_RGBA16 : FORMAT_RGBA8;
    }
}

uint32_t NativeBitsPerPixel(NativeFormat format, uint8_t bitDepth) {
    switch (format) {
        case FORMAT_COPY:
            return bitDepth;
        case FORMAT_TWO_TO_FOUR:
            return 4;
        case FORMAT_RGB8:
        case FORMAT_RGB16:
            return 24;
        case FORMAT_RGBA8:
        case FORMAT_RGBA16:
            return 32;
        default:
            return 8;
    }
}

// Bytes of `pixels` pixels of `bitsPerPixel` bits, rounded up to whole bytes;
// false when that does not fit the size limit.
bool RowBytes(uint64_t pixels, uint32_t bitsPerPixel, uint64_t* bytes) {
    *bytes = (pixels * bitsPerPixel + 7) / 8;
    return *bytes <= PNG_SIZE_LIMIT;
}

uint32_t PassWidth(const PngDecoder* decoder, const Adam7Pass& pass) {
    if (pass.startColumn >= decoder->width) return 0;
    return (decoder->width - pass.startColumn + pass.columnStep - 1) / pass.columnStep;
}

uint32_t PassHeight(const PngDecoder* decoder, const Adam7Pass& pass) {
    if (pass.startRow >= decoder->height) return 0;
    return (decoder->height - pass.startRow + pass.rowStep - 1) / pass.rowStep;
}

// Rows of `width` pixels, each behind a filter-type byte, `height` times,
// added to *total; every step is checked against the limit before the next
// multiplication, so nothing can wrap.
bool AddFilteredRows(uint32_t width, uint32_t height, uint32_t bitsPerPixel, uint64_t* total) {
    uint64_t rowBytes = 0;
    if (!RowBytes(width, bitsPerPixel, &rowBytes)) return false;
    uint64_t bytes = (rowBytes + 1) * height;
    if (bytes > PNG_SIZE_LIMIT - *total) return false;
    *total += bytes;
    return true;
}

// The size of the inflated image: every row (of every Adam7 pass that holds
// pixels) with its filter-type byte. False when the picture is too large.
bool RawImageSize(const PngDecoder* decoder, uint32_t* size) {
    uint32_t bitsPerPixel = FileBitsPerPixel(decoder);
    uint64_t total = 0;
    if (decoder->interlace == 0) {
        if (!AddFilteredRows(decoder->width, decoder->height, bitsPerPixel, &total)) return false;
    } else {
        for (const Adam7Pass& pass : ADAM7_PASSES) {
            uint32_t width = PassWidth(decoder, pass);
            uint32_t height = PassHeight(decoder, pass);
            if (width == 0 || height == 0) continue;
            if (!AddFilteredRows(width, height, bitsPerPixel, &total)) return false;
        }
    }
    *size = static_cast<uint32_t>(total);
    return true;
}

// Bitmap rows are padded to a multiple of 4 bytes.
bool BitmapStride(const PngDecoder* decoder, uint32_t* stride) {
    NativeFormat format = NativeFormatOf(decoder->colorType, decoder->bitDepth);
    uint64_t bits = uint64_t{decoder->width} * NativeBitsPerPixel(format, decoder->bitDepth);
    uint64_t bytes = (bits + 31) / 32 * 4;
    if (bytes > PNG_SIZE_LIMIT || bytes * decoder->height > PNG_SIZE_LIMIT) return false;
    *stride = static_cast<uint32_t>(bytes);
    return true;
}

// IHDR: width, height (4 bytes each), bit depth, colour type, compression
// method, filter method, interlace method.
int CheckImageHeader(PngDecoder* decoder) {
    const unsigned char* header = decoder->header;
    decoder->bitDepth = header[8];
    decoder->colorType = header[9];
    decoder->interlace = header[12];
    if (!IsAllowedDepth(decoder->colorType, decoder->bitDepth)) {
        return Fail(decoder, PNG_ERROR_UNSUPPORTED);
    }
    if (header[10] != 0 || header[11] != 0 || decoder->interlace > 1) {
        return Fail(decoder, PNG_ERROR_UNSUPPORTED);
    }
    return 1;
}

// Adam7 scatter and the two-to-four conversion read and write packed pixels.
inline unsigned GetPacked(const unsigned char* row, uint32_t index, uint32_t bits) {
    uint32_t bit = index * bits;
    unsigned shift = 8 - bits - (bit & 7);
    return (row[bit >> 3] >> shift) & ((1u << bits) - 1);
}

inline void OrPacked(unsigned char* row, uint32_t index, uint32_t bits, unsigned value) {
    uint32_t bit = index * bits;
    unsigned shift = 8 - bits - (bit & 7);
    row[bit >> 3] = static_cast<unsigned char>(row[bit >> 3] | (value << shift));
}

// Paeth predictor: the neighbour closest to left + up - upper-left, ties
// going to left, then up. The distances are |up - upperLeft|, |left -
// upperLeft| and |left + up - 2 upperLeft|; the choice is made by selects,
// not branches, which image data would mispredict half the time.
inline unsigned char Paeth(int left, int up, int upperLeft) {
    int distanceLeft = std::abs(up - upperLeft);
    int distanceUp = std::abs(left - upperLeft);
    int distanceUpperLeft = std::abs(left + up - 2 * upperLeft);
    int chosen = distanceUp <= distanceUpperLeft ? up : upperLeft;
    chosen = distanceLeft <= distanceUp && distanceLeft <= distanceUpperLeft ? left : chosen;
    return static_cast<unsigned char>(chosen);
}

// Filters work bytewise modulo 256 on the row as filtered (`in`) with the
// unfiltered previous row (`up`, all zero for the first row of the image and
// of each pass); the byte left of the first complete pixel counts as 0.
// The pixel size is a constant here: the loops then step by whole pixels of
// known size, which the compiler unrolls and vectorises (Up and, across the
// rows' bytes, the others' independent parts).
template <size_t PIXEL_BYTES>
void UnfilterRowOf(unsigned filter, const unsigned char* in, const unsigned char* up,
                   unsigned char* out, size_t rowBytes) {
    constexpr size_t pixelBytes = PIXEL_BYTES;
    size_t lead = pixelBytes < rowBytes ? pixelBytes : rowBytes;
    switch (filter) {
        case 1:  // Sub
            for (size_t i = 0; i < lead; ++i) out[i] = in[i];
            for (size_t i = lead; i < rowBytes; ++i) {
                out[i] = static_cast<unsigned char>(in[i] + out[i - pixelBytes]);
            }
            break;
        case 2:  // Up
            for (size_t i = 0; i < rowBytes; ++i)
                out[i] = static_cast<unsigned char>(in[i] + up[i]);
            break;
        case 3:  // Average, of a 9-bit sum
            for (size_t i = 0; i < lead; ++i)
                out[i] = static_cast<unsigned char>(in[i] + up[i] / 2);
            for (size_t i = lead; i < rowBytes; ++i) {
                out[i] = static_cast<unsigned char>(in[i] + (out[i - pixelBytes] + up[i]) / 2);
            }
            break;
        default:  // 4, Paeth
            for (size_t i = 0; i < lead; ++i) out[i] = static_cast<unsigned char>(in[i] + up[i]);
            for (size_t i = lead; i < rowBytes; ++i) {
                out[i] = static_cast<unsigned char>(
                    in[i] + Paeth(out[i - pixelBytes], up[i], up[i - pixelBytes]));
            }
            break;
    }
}

void UnfilterRow(unsigned filter, const unsigned char* in, const unsigned char* up,
                 unsigned char* out, size_t rowBytes, size_t pixelBytes) {
    switch (pixelBytes) {
        case 1:
            return UnfilterRowOf<1>(filter, in, up, out, rowBytes);
        case 2:
            return UnfilterRowOf<2>(filter, in, up, out, rowBytes);
        case 3:
            return UnfilterRowOf<3>(filter, in, up, out, rowBytes);
        case 4:
            return UnfilterRowOf<4>(filter, in, up, out, rowBytes);
        case 6:
            return UnfilterRowOf<6>(filter, in, up, out, rowBytes);
        default:
            return UnfilterRowOf<8>(filter, in, up, out, rowBytes);
    }
}

// One unfiltered file row (`width` pixels, `rowBytes` bytes) into bitmap
// bytes; returns the number of bytes written.
size_t ConvertRow(NativeFormat format, const unsigned char* in, uint32_t width, size_t rowBytes,
                  unsigned char* out) {
    switch (format) {
        case FORMAT_COPY:
            std::memcpy(out, in, rowBytes);
            return rowBytes;
        case FORMAT_TWO_TO_FOUR: {
            size_t outBytes = (size_t{width} + 1) / 2;
            for (size_t i = 0; i < outBytes; ++i) {
                unsigned byte = in[i / 2];
                unsigned pair = (i & 1) == 0 ? byte >> 4 : byte & 0x0F;
                out[i] = static_cast<unsigned char>(((pair >> 2) << 4) | (pair & 3));
            }
            return outBytes;
        }
        case FORMAT_GREY16:
            for (uint32_t x = 0; x < width; ++x) out[x] = in[2 * size_t{x}];
            return width;
        case FORMAT_RGB8:
            for (uint32_t x = 0; x < width; ++x) {
                const unsigned char* p = in + 3 * size_t{x};
                unsigned char* q = out + 3 * size_t{x};
                q[0] = p[2];
                q[1] = p[1];
                q[2] = p[0];
            }
            return 3 * size_t{width};
        case FORMAT_RGB16:
            for (uint32_t x = 0; x < width; ++x) {
                const unsigned char* p = in + 6 * size_t{x};
                unsigned char* q = out + 3 * size_t{x};
                q[0] = p[4];
                q[1] = p[2];
                q[2] = p[0];
            }
            return 3 * size_t{width};
        case FORMAT_GREY_ALPHA8:
            for (uint32_t x = 0; x < width; ++x) out[x] = in[2 * size_t{x}];
            return width;
        case FORMAT_GREY_ALPHA16:
            for (uint32_t x = 0; x < width; ++x) out[x] = in[4 * size_t{x}];
            return width;
        case FORMAT_RGBA8:
            for (uint32_t x = 0; x < width; ++x) {
                const unsigned char* p = in + 4 * size_t{x};
                unsigned char* q = out + 4 * size_t{x};
                q[0] = p[2];
                q[1] = p[1];
                q[2] = p[0];
                q[3] = p[3];
            }
            return 4 * size_t{width};
        case FORMAT_RGBA16:
            for (uint32_t x = 0; x < width; ++x) {
                const unsigned char* p = in + 8 * size_t{x};
                unsigned char* q = out + 4 * size_t{x};
                q[0] = p[4];
                q[1] = p[2];
                q[2] = p[0];
                q[3] = p[6];
            }
            return 4 * size_t{width};
    }
    return 0;
}

// Two row buffers take turns as the current and the previous row; a row with
// filter 0 is used where it lies in `raw`, so the previous row may be either.
struct RowBuffers {
    unsigned char* block;
    unsigned char* first;
    unsigned char* second;
    unsigned char* passRow;     // Adam7: one converted pass row
    const unsigned char* zero;  // an all-zero row: the one above every first row
};

bool AllocateRowBuffers(RowBuffers* buffers, size_t rowBytes, size_t passRowBytes) {
    size_t rowSize = rowBytes + 8;
    buffers->block = static_cast<unsigned char*>(g_pngAllocate(3 * rowSize + passRowBytes));
    if (buffers->block == nullptr) return false;
    std::memset(buffers->block + 2 * rowSize, 0, rowSize);
    buffers->first = buffers->block;
    buffers->second = buffers->block + rowSize;
    buffers->zero = buffers->block + 2 * rowSize;
    buffers->passRow = passRowBytes != 0 ? buffers->block + 3 * rowSize : nullptr;
    return true;
}

// Unfilters the rows of one image (or one pass) of `height` rows of
// `rowBytes` bytes read from `*position` in raw, handing each unfiltered row
// to `emit(rowIndex, row)`. False on a filter type above 4.
template <typename Emit>
bool UnfilterRows(const unsigned char** position, uint32_t height, size_t rowBytes,
                  size_t pixelBytes, RowBuffers& buffers, Emit emit) {
    const unsigned char* previous = buffers.zero;
    for (uint32_t y = 0; y < height; ++y) {
        unsigned filter = (*position)[0];
        const unsigned char* in = *position + 1;
        *position += rowBytes + 1;
        const unsigned char* row = in;
        if (filter > 4) return false;
        if (filter != 0) {
            unsigned char* out = previous == buffers.first ? buffers.second : buffers.first;
            UnfilterRow(filter, in, previous, out, rowBytes, pixelBytes);
            row = out;
        }
        emit(y, row);
        previous = row;
    }
    return true;
}

int ConvertPlainRows(PngDecoder* decoder, NativeFormat format, unsigned char* pixels, size_t stride,
                     RowBuffers& buffers) {
    uint32_t bitsPerPixel = FileBitsPerPixel(decoder);
    size_t rowBytes = (size_t{decoder->width} * bitsPerPixel + 7) / 8;
    size_t pixelBytes = bitsPerPixel >= 8 ? bitsPerPixel / 8 : 1;
    const unsigned char* position = decoder->raw;
    uint32_t width = decoder->width;
    bool ok = UnfilterRows(&position, decoder->height, rowBytes, pixelBytes, buffers,
                           [&](uint32_t y, const unsigned char* row) {
                               unsigned char* target = pixels + y * stride;
                               size_t written = ConvertRow(format, row, width, rowBytes, target);
                               std::memset(target + written, 0, stride - written);
                           });
    return ok ? 1 : Fail(decoder, PNG_ERROR_BAD_DATA);
}

// Adam7: each pass row is converted on its own, then its pixels are placed
// at their columns. The bitmap is cleared first: below 8 bits per pixel the
// pixels are OR-ed into their bytes.
int ConvertInterlacedRows(PngDecoder* decoder, NativeFormat format, unsigned char* pixels,
                          size_t stride, RowBuffers& buffers) {
    uint32_t bitsPerPixel = FileBitsPerPixel(decoder);
    size_t pixelBytes = bitsPerPixel >= 8 ? bitsPerPixel / 8 : 1;
    uint32_t nativeBits = NativeBitsPerPixel(format, decoder->bitDepth);
    std::memset(pixels, 0, stride * decoder->height);
    const unsigned char* position = decoder->raw;
    for (const Adam7Pass& pass : ADAM7_PASSES) {
        uint32_t width = PassWidth(decoder, pass);
        uint32_t height = PassHeight(decoder, pass);
        if (width == 0 || height == 0) continue;
        size_t rowBytes = (size_t{width} * bitsPerPixel + 7) / 8;
        bool ok = UnfilterRows(
            &position, height, rowBytes, pixelBytes, buffers,
            [&](uint32_t k, const unsigned char* row) {
                ConvertRow(format, row, width, rowBytes, buffers.passRow);
                unsigned char* target =
                    pixels + (pass.startRow + size_t{k} * pass.rowStep) * stride;
                for (uint32_t j = 0; j < width; ++j) {
                    uint32_t x = pass.startColumn + j * pass.columnStep;
                    if (nativeBits < 8) {
                        OrPacked(target, x, nativeBits, GetPacked(buffers.passRow, j, nativeBits));
                    } else {
                        size_t bytes = nativeBits / 8;
                        std::memcpy(target + x * bytes, buffers.passRow + j * bytes, bytes);
                    }
                }
            });
        if (!ok) return Fail(decoder, PNG_ERROR_BAD_DATA);
    }
    return 1;
}

}  // namespace

int ResetPngDecoder(PngDecoder* decoder) {
    std::memset(decoder, 0, sizeof *decoder);
    return 1;
}

int OpenPngMemory(PngDecoder* decoder, const unsigned char* bytes, uint32_t size, uint32_t source) {
    if (decoder->state != PNG_STATE_EMPTY || decoder->source != PNG_SOURCE_NONE) {
        return Fail(decoder, PNG_ERROR_ALREADY_LOADED);
    }
    decoder->lastError = PNG_ERROR_NONE;
    decoder->data = bytes;
    decoder->dataSize = bytes != nullptr ? size : 0;
    decoder->source = source;
    if (!ParsePngChunks(decoder)) {
        uint32_t error = decoder->lastError;
        ResetPngDecoder(decoder);
        return Fail(decoder, error);
    }
    decoder->state = PNG_STATE_LOADED;
    return 1;
}

// The signature, then IHDR as the first chunk, then any chunks in any order:
// the first PLTE and the first IDAT are remembered, unknown ancillary chunks
// and IEND are stepped over (the walk goes on after IEND; only the end of the
// whole chunks ends it), an unknown critical chunk cannot be decoded. A file
// that cannot be decoded is refused here, before anything is inflated.
int ParsePngChunks(PngDecoder* decoder) {
    decoder->chunk = nullptr;
    decoder->header = nullptr;
    decoder->firstIdat = nullptr;
    decoder->palette = nullptr;
    decoder->paletteCount = 0;
    decoder->lastError = PNG_ERROR_NONE;
    if (decoder->data == nullptr || decoder->dataSize < 16 ||
        std::memcmp(decoder->data, PNG_SIGNATURE, 8) != 0) {
        return Fail(decoder, PNG_ERROR_BAD_DATA);
    }

    decoder->chunk = decoder->data + 8;
    ChunkKind kind;
    uint32_t length = 0;
    if (!ReadChunkHeader(decoder, &kind, &length) || kind != CHUNK_IHDR || length < 13) {
        return Fail(decoder, PNG_ERROR_BAD_DATA);
    }
    decoder->header = decoder->chunk + 8;
    decoder->width = ReadBigEndian32(decoder->header);
    decoder->height = ReadBigEndian32(decoder->header + 4);
    if (decoder->width == 0 || decoder->height == 0) return Fail(decoder, PNG_ERROR_BAD_DATA);
    if (uint64_t{decoder->width} * decoder->height > PNG_MAX_PIXELS) {
        return Fail(decoder, PNG_ERROR_TOO_MANY_PIXELS);
    }

    for (;;) {
        decoder->chunk += 12 + size_t{length};
        if (!ReadChunkHeader(decoder, &kind, &length)) break;
        if (kind == CHUNK_CRITICAL) return Fail(decoder, PNG_ERROR_UNSUPPORTED);
        if (kind == CHUNK_PLTE && decoder->palette == nullptr) {
            decoder->palette = decoder->chunk + 8;
            decoder->paletteCount = length / 3 < 256 ? length / 3 : 256;
        } else if (kind == CHUNK_IDAT && decoder->firstIdat == nullptr) {
            decoder->firstIdat = decoder->chunk;
        }
    }

    if (!CheckImageHeader(decoder)) return 0;
    if (decoder->firstIdat == nullptr) return Fail(decoder, PNG_ERROR_BAD_DATA);
    if (decoder->colorType == 3 && decoder->palette == nullptr) {
        return Fail(decoder, PNG_ERROR_BAD_DATA);
    }
    uint32_t rawSize = 0;
    uint32_t stride = 0;
    if (!RawImageSize(decoder, &rawSize) || !BitmapStride(decoder, &stride)) {
        return Fail(decoder, PNG_ERROR_TOO_LARGE);
    }
    return 1;
}

int DecodePngImage(PngDecoder* decoder) {
    if (decoder->state != PNG_STATE_LOADED) return Fail(decoder, PNG_ERROR_WRONG_STATE);
    uint32_t rawSize = 0;
    if (!RawImageSize(decoder, &rawSize)) return Fail(decoder, PNG_ERROR_TOO_LARGE);
    decoder->raw = static_cast<unsigned char*>(g_pngAllocate(rawSize));
    if (decoder->raw == nullptr) return Fail(decoder, PNG_ERROR_OUT_OF_MEMORY);
    decoder->rawSize = rawSize;
    if (!PngInflate(decoder)) {
        std::free(decoder->raw);
        decoder->raw = nullptr;
        decoder->rawSize = 0;
        return 0;
    }
    decoder->state = PNG_STATE_DECODED;
    return 1;
}

// A stream that ends (properly) before filling the image leaves the rest of
// the rows zero, never whatever the allocator handed out.
int PngInflate(PngDecoder* decoder) {
    decoder->lastError = PNG_ERROR_BAD_DATA;
    if (decoder->firstIdat == nullptr || decoder->raw == nullptr) return 0;
    size_t written = 0;
    InflateError result =
        InflateZlib(IdatInflateInput(decoder->firstIdat, decoder->data + decoder->dataSize),
                    decoder->raw, decoder->rawSize, &written);
    if (result != INFLATE_OK) return 0;
    std::memset(decoder->raw + written, 0, decoder->rawSize - written);
    decoder->lastError = PNG_ERROR_NONE;
    return 1;
}

// Grey tables hold n levels i * 255 / (n - 1); palette tables the PLTE
// triples, and black past the last PLTE entry so that an index the palette
// does not cover shows black rather than whatever was in memory.
int FillPngBitmapFormat(PngDecoder* decoder, PngBitmapFormat* format) {
    if (decoder->state == PNG_STATE_EMPTY) return Fail(decoder, PNG_ERROR_WRONG_STATE);
    std::memset(format, 0, sizeof *format);
    NativeFormat native = NativeFormatOf(decoder->colorType, decoder->bitDepth);
    uint32_t stride = 0;
    if (!BitmapStride(decoder, &stride)) return Fail(decoder, PNG_ERROR_TOO_LARGE);
    format->width = static_cast<int32_t>(decoder->width);
    format->height = static_cast<int32_t>(decoder->height);
    format->bitsPerPixel = static_cast<uint16_t>(NativeBitsPerPixel(native, decoder->bitDepth));
    format->stride = stride;
    if (format->bitsPerPixel > 8) {
        decoder->lastError = PNG_ERROR_NONE;
        return 1;
    }

    if (decoder->colorType == 3) {
        format->tableEntries = 1u << format->bitsPerPixel;
        for (uint32_t i = 0; i < decoder->paletteCount && i < format->tableEntries; ++i) {
            const unsigned char* rgb = decoder->palette + 3 * i;
            format->colourTable[i][0] = rgb[2];
            format->colourTable[i][1] = rgb[1];
            format->colourTable[i][2] = rgb[0];
        }
    } else {
        uint32_t levels = decoder->bitDepth < 8 ? 1u << decoder->bitDepth : 256;
        format->colorsUsed = levels;
        format->tableEntries = levels;
        for (uint32_t i = 0; i < levels; ++i) {
            unsigned char grey = static_cast<unsigned char>(i * 255 / (levels - 1));
            format->colourTable[i][0] = grey;
            format->colourTable[i][1] = grey;
            format->colourTable[i][2] = grey;
        }
    }
    decoder->lastError = PNG_ERROR_NONE;
    return 1;
}

int ConvertPngRows(PngDecoder* decoder, unsigned char* pixels, size_t stride) {
    if (decoder->state != PNG_STATE_DECODED) return Fail(decoder, PNG_ERROR_WRONG_STATE);
    uint32_t needed = 0;
    if (!BitmapStride(decoder, &needed)) return Fail(decoder, PNG_ERROR_TOO_LARGE);
    if (pixels == nullptr || stride < needed) return Fail(decoder, PNG_ERROR_BITMAP);

    NativeFormat format = NativeFormatOf(decoder->colorType, decoder->bitDepth);
    size_t rowBytes = (size_t{decoder->width} * FileBitsPerPixel(decoder) + 7) / 8;
    size_t passRowBytes = decoder->interlace != 0 ? stride + 16 : 0;
    RowBuffers buffers;
    if (!AllocateRowBuffers(&buffers, rowBytes, passRowBytes)) {
        return Fail(decoder, PNG_ERROR_OUT_OF_MEMORY);
    }
    decoder->lastError = PNG_ERROR_NONE;
    int result = decoder->interlace != 0
                     ? ConvertInterlacedRows(decoder, format, pixels, stride, buffers)
                     : ConvertPlainRows(decoder, format, pixels, stride, buffers);
    std::free(buffers.block);
    return result;
}

int ReleasePngDecoder(PngDecoder* decoder) {
    std::free(decoder->raw);
    return ResetPngDecoder(decoder);
}
