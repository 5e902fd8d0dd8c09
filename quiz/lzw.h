// Brelo's own variable-width LZW code: the decoder the loader runs on every
// stored quiz block, and the compressor that makes those blocks (writer,
// authoring tool, tests, benchmarks).
//
// Stream format. Codes only, no header or checksum, packed most-significant
// bit first with no alignment between codes. Width 9 bits at the start; code
// 257 makes every following code one bit wider, 258 sets the width back to 9
// and the next free code back to 259 while the dictionary and the pending
// string stay. 256 ends the stream. The first code of a block is always a
// literal (its low eight bits). Every later code other than 256-258 defines
// the next free entry as the pending string plus the first byte of the code's
// own string (the KwKwK case: a code equal to the next free one).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// Results of LzwDecompress.
constexpr int LZW_OK = 0;
constexpr int LZW_E_NOMEM = -4;    // working storage or the output buffer cannot be had
constexpr int LZW_E_EMPTY = -5;    // not even the first code could be read
constexpr int LZW_E_CORRUPT = -7;  // bad code, width past 32, truncated, or a limit broken

constexpr int LZW_CODE_END = 256;
constexpr int LZW_CODE_WIDEN = 257;
constexpr int LZW_CODE_RESET = 258;
constexpr int LZW_FIRST_FREE = 259;
constexpr int LZW_DICTIONARY_SIZE = 4096;  // codes 0..4095
constexpr int LZW_MAX_STRING = 4096;       // longest string an entry may hold
constexpr int LZW_START_WIDTH = 9;
constexpr int LZW_MAX_WIDTH = 32;
constexpr uint32_t LZW_OUTPUT_CAPACITY = 120000;
constexpr uint32_t LZW_MAX_INPUT = 65535;  // a block's length is a 16-bit count

// Decodes one block. On success, and on every failure after the output buffer
// was obtained, *outputBuffer receives a buffer of LZW_OUTPUT_CAPACITY bytes
// (free it with LzwFreeOutput) whose first *outputLength - 2 bytes are the data
// decoded so far: the length is two more than the byte count. On earlier
// failures (no memory for the working storage, a block longer than
// LZW_MAX_INPUT) both outputs are left untouched.
//
// Never reads past `inputLength` bytes nor writes past its own buffers: a
// stream that would need more than 4096 codes, a string longer than 4096 bytes
// or more than 120000 output bytes is refused with LZW_E_CORRUPT.
int LzwDecompress(const uint8_t* input, uint32_t inputLength, uint8_t** outputBuffer,
                  uint32_t* outputLength);
void LzwFreeOutput(uint8_t* buffer);

struct LzwOutputDeleter {
    void operator()(uint8_t* buffer) const { LzwFreeOutput(buffer); }
};
using LzwOutput = std::unique_ptr<uint8_t, LzwOutputDeleter>;

// How the decoder obtains its storage (std::malloc unless a test replaces it
// to provoke the out-of-memory paths). Released with std::free.
using LzwAllocator = void* (*)(size_t size);
extern LzwAllocator g_lzwAllocate;

// Results of LzwCompress.
constexpr int LZW_COMPRESS_OK = 0;
constexpr int LZW_COMPRESS_EMPTY = -1;      // the decoder always yields at least one byte
constexpr int LZW_COMPRESS_TOO_LONG = -2;   // more than LZW_OUTPUT_CAPACITY input bytes
constexpr int LZW_COMPRESS_TOO_LARGE = -3;  // the block would exceed LZW_MAX_INPUT bytes

// Compresses `size` bytes into `block` (replacing its contents) so that
// LzwDecompress gives them back exactly. Returns LZW_COMPRESS_OK or one of the
// refusals above (then `block` is empty).
int LzwCompress(const uint8_t* data, size_t size, std::vector<uint8_t>& block);
