// Brelo's own PNG decoder (pure part): chunk walk, IHDR/PLTE/IDAT, inflating
// the image data, the five scanline filters, Adam7, and the conversion of the
// rows into the bitmap formats Windows takes (top-down DIB rows, padded to a
// multiple of 4 bytes). The Win32 step that makes the DIB section lives in
// picture_win.h (OpenPngResource, MakePngBitmap, LoadPngResource).
//
// Every operation takes the decoder first, returns 1 on success and 0 on
// failure, and leaves its error code in `lastError`.
#pragma once

#include <cstddef>
#include <cstdint>

enum PngError : uint32_t {
    PNG_ERROR_NONE = 0,
    PNG_ERROR_OUT_OF_MEMORY = 0x1001,       // a buffer cannot be allocated
    PNG_ERROR_ALREADY_LOADED = 0x1002,      // opening an object that is not empty
    PNG_ERROR_BAD_DATA = 0x2000,            // not a PNG, bad IHDR, no IDAT, palette picture
                                            // without PLTE, corrupt image data, bad filter type
    PNG_ERROR_UNSUPPORTED = 0x2001,         // unknown critical chunk, bad depth/colour pair,
                                            // compression or filter method, interlace method
    PNG_ERROR_TOO_LARGE = 0x2002,           // sizes that do not fit the raw or bitmap arithmetic
    PNG_ERROR_WRONG_STATE = 0x2003,         // decoding before loading, converting before decoding
    PNG_ERROR_TOO_MANY_PIXELS = 0x2004,     // more than PNG_MAX_PIXELS
    PNG_ERROR_BITMAP = 0x2006,              // the bitmap cannot be made (or is too small)
    PNG_ERROR_RESOURCE_NOT_FOUND = 0x3001,  // no RT_RCDATA resource of that name
    PNG_ERROR_RESOURCE_LOAD = 0x3002,       // the resource cannot be loaded, or is empty
};

// The player shows pictures of a few hundred pixels a side; decoding one
// costs up to 8 bytes a pixel in a 32-bit process, so a header declaring more
// is refused before anything is allocated.
constexpr uint64_t PNG_MAX_PIXELS = 16000000;

enum PngState : uint32_t {
    PNG_STATE_EMPTY = 0,
    PNG_STATE_LOADED = 1,   // chunks parsed
    PNG_STATE_DECODED = 2,  // `raw` filled
};

enum PngSource : uint32_t {
    PNG_SOURCE_NONE = 0,
    PNG_SOURCE_MEMORY = 1,    // bytes the caller keeps (tests, tools)
    PNG_SOURCE_RESOURCE = 2,  // a resource of the executable
};

// One record per picture. Every pointer into the file points into the bytes
// the decoder was opened on; it copies nothing of the file.
struct PngDecoder {
    uint32_t width;
    uint32_t height;
    uint32_t lastError;
    uint32_t paletteCount;  // PLTE entries, at most 256
    uint8_t colorType;
    uint8_t bitDepth;
    uint8_t interlace;
    const unsigned char* data;
    uint32_t dataSize;
    const unsigned char* chunk;  // the chunk being examined while parsing
    unsigned char* raw;          // inflated, still filtered scanlines (owned)
    uint32_t rawSize;
    const unsigned char* palette;  // data of the first PLTE chunk
    uint32_t source;
    const unsigned char* header;     // data of the IHDR chunk
    const unsigned char* firstIdat;  // start of the first IDAT chunk
    uint32_t state;
};

// What the Win32 side needs to make the DIB section: BITMAPINFOHEADER values
// (height given positive; the rows run top-down) and the colour table as
// blue, green, red, 0 quadruples.
struct PngBitmapFormat {
    int32_t width;
    int32_t height;
    uint16_t bitsPerPixel;  // 1, 4, 8, 24 or 32
    uint32_t colorsUsed;    // grey tables: the number of levels; otherwise 0
    uint32_t tableEntries;  // entries of colourTable to hand over (0 for 24 and 32 bits)
    uint32_t stride;        // bytes per bitmap row, a multiple of 4
    unsigned char colourTable[256][4];
};

// Where the decoder's buffers come from: like std::malloc (contents
// undefined, released with std::free). Tests swap it to provoke
// PNG_ERROR_OUT_OF_MEMORY or to prove that no byte is left unset.
using PngAllocator = void* (*)(size_t size);
extern PngAllocator g_pngAllocate;

// Clears every field (state empty).
int ResetPngDecoder(PngDecoder* decoder);

// Takes a PNG file held in memory the caller keeps alive, and parses its
// chunks. Fails with PNG_ERROR_ALREADY_LOADED on an object that is not empty.
int OpenPngMemory(PngDecoder* decoder, const unsigned char* bytes, uint32_t size, uint32_t source);

// Walks the chunks of decoder->data: IHDR first, the first PLTE, the first
// IDAT; refuses what cannot be decoded before anything is inflated.
int ParsePngChunks(PngDecoder* decoder);

// Inflates the image data into `raw`. State must be loaded.
int DecodePngImage(PngDecoder* decoder);

// Inflates the IDAT chain into decoder->raw (capacity rawSize). Leaves
// PNG_ERROR_NONE or PNG_ERROR_BAD_DATA.
int PngInflate(PngDecoder* decoder);

// Header values, colour table and stride of the bitmap format the picture
// converts to.
int FillPngBitmapFormat(PngDecoder* decoder, PngBitmapFormat* format);

// Unfilters and converts every row into `pixels` (top-down rows of `stride`
// bytes, `stride` at least the format's). State must be decoded.
int ConvertPngRows(PngDecoder* decoder, unsigned char* pixels, size_t stride);

// Frees what the decoder owns and clears every field; the object can be used
// again.
int ReleasePngDecoder(PngDecoder* decoder);
