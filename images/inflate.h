// Brelo's own inflater (zlib streams of DEFLATE blocks, RFC 1950 and 1951),
// small and self-contained: no heap, one fixed working area per call, the
// output buffer doubling as the back-reference window, and Huffman codes read
// one bit at a time against per-length limits.
#pragma once

#include <cstddef>
#include <cstdint>

// Why an inflate call failed. Every failure means the stream is corrupt (or
// larger than the output buffer); what was written so far stays written.
enum InflateError : int {
    INFLATE_OK = 0,
    INFLATE_BAD_HEADER = 1,         // method not 8, window field above 7, or a preset dictionary
    INFLATE_BAD_BLOCK_TYPE = 2,     // block type 3
    INFLATE_BAD_STORED_LENGTH = 3,  // NLEN is not the complement of LEN
    INFLATE_BAD_CODE_LENGTHS = 4,   // a repeat with nothing before it or past the last length,
                                    // lengths for symbols past 285 or distance codes past 29,
                                    // no end-of-block code, or a code with too many or unused
                                    // codes (bar an empty code or a lone one-bit code)
    INFLATE_BAD_CODE = 5,           // no symbol within the table's longest code
    INFLATE_BAD_SYMBOL = 6,         // literal/length symbol 286 or 287, distance code 30 or 31
    INFLATE_DISTANCE_TOO_FAR = 7,   // a back-reference before the start of the output
    INFLATE_OUTPUT_FULL = 8,        // a byte would land past the end of the output buffer
    INFLATE_INPUT_ENDED = 9,        // header or block bits needed after the last input byte
};

// Where the compressed bytes come from: either one flat buffer, or the data of
// a PNG file's IDAT chunks starting at the chunk `firstIdat` and following
// every IDAT that comes straight after it, as far as whole chunks lie before
// `fileEnd`.
struct InflateInput {
    const unsigned char* bytes;      // flat: the stream; chained: null
    size_t size;                     // flat: its byte count
    const unsigned char* firstIdat;  // chained: start (length field) of the first IDAT chunk
    const unsigned char* fileEnd;    // chained: one past the file's last byte
};

inline InflateInput FlatInflateInput(const unsigned char* bytes, size_t size) {
    return {bytes, size, nullptr, nullptr};
}
inline InflateInput IdatInflateInput(const unsigned char* firstIdat, const unsigned char* fileEnd) {
    return {nullptr, 0, firstIdat, fileEnd};
}

// Inflates the zlib stream into output[0..capacity). `*written` receives the
// number of bytes produced (also on failure). The Adler-32 trailer is read
// when present and never checked.
InflateError InflateZlib(const InflateInput& input, unsigned char* output, size_t capacity,
                         size_t* written);
