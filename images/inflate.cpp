// Inflate: zlib header, stored, fixed and dynamic DEFLATE blocks.
//
// The whole working area of a call lives on the stack in fixed arrays; the
// output buffer is also the window, so back-references may reach as far back
// as the output goes. Huffman codes are decoded one bit at a time: with the
// canonical code, the codes of one length are consecutive numbers, so a code
// read so far belongs to length L exactly when it is below that length's
// limit (first code plus count).
#include "images/inflate.h"

#include <cstring>

namespace {

constexpr int MAX_CODE_BITS = 15;
constexpr int FIXED_LITERAL_BITS = 9;
constexpr int CODE_LENGTH_BITS = 7;
constexpr int MAX_LITERAL_SYMBOLS = 288;
constexpr int MAX_DISTANCE_SYMBOLS = 32;
constexpr int CODE_LENGTH_SYMBOLS = 19;
constexpr int END_OF_BLOCK = 256;

// RFC 1951 3.2.5: base lengths and extra bits of length symbols 257..285.
constexpr uint16_t LENGTH_BASE[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                      15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                      67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr uint8_t LENGTH_EXTRA[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                      2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
// Base distances and extra bits of distance codes 0..29.
constexpr uint16_t DISTANCE_BASE[30] = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr uint8_t DISTANCE_EXTRA[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                        6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// The order in which a dynamic block sends the code-length code lengths.
constexpr uint8_t CODE_LENGTH_ORDER[CODE_LENGTH_SYMBOLS] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                            11, 4,  12, 3, 13, 2, 14, 1, 15};

struct HuffmanEntry {
    uint16_t limit;        // first code of this length plus the count; 0 when none
    uint16_t symbolStart;  // where this length's symbols begin in `symbols`
};

// Symbols are grouped by code length, shortest first; within one length they
// stand in decreasing order, so that the code `limit - 1 - k` yields the k-th
// largest, which is the canonical assignment read backwards.
struct HuffmanTable {
    int maxBits;
    HuffmanEntry entries[MAX_CODE_BITS + 1];  // indexed by code length, entry 0 unused
    uint16_t symbols[MAX_LITERAL_SYMBOLS];
};

// The compressed bytes, one at a time, least significant bit first.
struct BitReader {
    unsigned current;                // unread bits in the low end
    int bitsLeft;                    // 0..8
    const unsigned char* position;   // next byte of the current chunk
    size_t chunkLeft;                // bytes of the current chunk not yet fetched
    const unsigned char* nextChunk;  // chained input: the chunk after the current one
    const unsigned char* fileEnd;
    bool overrun;  // bits were asked for after the input ended; they read as zeros
};

uint32_t ReadBigEndian32(const unsigned char* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

// A PNG's compressed stream is the data of consecutive IDAT chunks. The chain
// ends at the first chunk of another type, and also at a chunk that does not
// lie whole inside the file: its length cannot be trusted. Zero-length IDAT
// chunks are stepped over.
bool EnterNextIdat(BitReader& reader) {
    while (reader.chunkLeft == 0) {
        const unsigned char* chunk = reader.nextChunk;
        if (chunk == nullptr) return false;
        reader.nextChunk = nullptr;
        if (reader.fileEnd - chunk < 12) return false;
        size_t room = static_cast<size_t>(reader.fileEnd - chunk) - 12;
        uint32_t length = ReadBigEndian32(chunk);
        if (std::memcmp(chunk + 4, "IDAT", 4) != 0 || length > room) return false;
        reader.position = chunk + 8;
        reader.chunkLeft = length;
        reader.nextChunk = chunk + 12 + length;
    }
    return true;
}

// Past the end there is no byte: the reader hands out zeros and remembers it,
// so that a header or block read fails while the trailer may be missing.
void NextIdatByte(BitReader& reader) {
    if (reader.chunkLeft == 0 && !EnterNextIdat(reader)) {
        reader.current = 0;
        reader.bitsLeft = 8;
        reader.overrun = true;
        return;
    }
    reader.current = *reader.position++;
    --reader.chunkLeft;
    reader.bitsLeft = 8;
}

inline unsigned ReadBit(BitReader& reader) {
    if (reader.bitsLeft == 0) NextIdatByte(reader);
    unsigned bit = reader.current & 1u;
    reader.current >>= 1;
    --reader.bitsLeft;
    return bit;
}

// Values of up to 16 bits, least significant bit first.
inline unsigned ReadBits(BitReader& reader, int count) {
    unsigned value = 0;
    int have = 0;
    while (have < count) {
        if (reader.bitsLeft == 0) NextIdatByte(reader);
        int take = count - have < reader.bitsLeft ? count - have : reader.bitsLeft;
        value |= (reader.current & ((1u << take) - 1u)) << have;
        reader.current >>= take;
        reader.bitsLeft -= take;
        have += take;
    }
    return value;
}

// Stored blocks and the trailer start on a byte boundary: the unread bits of
// a partly read byte are dropped.
void AlignToByte(BitReader& reader) {
    reader.bitsLeft = 0;
}

// Canonical Huffman codes from their lengths (RFC 1951 3.2.2). Only a set
// of lengths an encoder can really send is accepted, as zlib accepts it: one
// that asks for more codes of some length than that length has room for
// (over-subscribed) has no canonical code, and one that leaves codes unused
// (incomplete) is refused too, except for an empty code and, where
// `loneCodeAllowed`, a single one-bit code (a block with one distance).
bool BuildHuffmanTable(HuffmanTable& table, const uint8_t* lengths, int symbolCount, int maxBits,
                       bool loneCodeAllowed) {
    uint16_t counts[MAX_CODE_BITS + 1] = {};
    for (int symbol = 0; symbol < symbolCount; ++symbol) ++counts[lengths[symbol]];
    counts[0] = 0;

    uint16_t nextPlace[MAX_CODE_BITS + 1] = {};
    uint32_t code = 0;
    uint16_t place = 0;
    int longest = 0;
    uint32_t longestEnd = 0;  // one past the last code of the longest length
    table.maxBits = maxBits;
    table.entries[0] = {0, 0};
    for (int length = 1; length <= maxBits; ++length) {
        code = (code + counts[length - 1]) << 1;
        if (counts[length] == 0) {
            table.entries[length] = {0, 0};
            continue;
        }
        if (code + counts[length] > (uint32_t{1} << length)) return false;
        table.entries[length] = {static_cast<uint16_t>(code + counts[length]), place};
        nextPlace[length] = place;
        place = static_cast<uint16_t>(place + counts[length]);
        longest = length;
        longestEnd = code + counts[length];
    }
    bool complete = longest == 0 || longestEnd == (uint32_t{1} << longest);
    if (!complete && !(loneCodeAllowed && longest == 1)) return false;
    for (int symbol = symbolCount - 1; symbol >= 0; --symbol) {
        if (lengths[symbol] != 0) table.symbols[nextPlace[lengths[symbol]]++] = symbol;
    }
    return true;
}

// One bit at a time, most significant bit of the code first. Returns -1 when
// no code of up to maxBits bits matches.
inline int DecodeSymbol(BitReader& reader, const HuffmanTable& table) {
    uint32_t code = 0;
    for (int length = 1; length <= table.maxBits; ++length) {
        code = (code << 1) | ReadBit(reader);
        uint32_t limit = table.entries[length].limit;
        if (code < limit)
            return table.symbols[table.entries[length].symbolStart + (limit - code - 1)];
    }
    return -1;
}

struct Output {
    unsigned char* bytes;
    size_t capacity;
    size_t written;
};

// A stored block: LEN, its ones' complement NLEN, then LEN bytes as they are.
InflateError InflateStored(BitReader& reader, Output& out) {
    AlignToByte(reader);
    unsigned length = ReadBits(reader, 16);
    unsigned complement = ReadBits(reader, 16);
    if (reader.overrun) return INFLATE_INPUT_ENDED;
    if (complement != (~length & 0xFFFFu)) return INFLATE_BAD_STORED_LENGTH;
    if (length > out.capacity - out.written) return INFLATE_OUTPUT_FULL;
    while (length > 0) {
        if (reader.chunkLeft == 0 && !EnterNextIdat(reader)) return INFLATE_INPUT_ENDED;
        size_t take = length < reader.chunkLeft ? length : reader.chunkLeft;
        std::memcpy(out.bytes + out.written, reader.position, take);
        reader.position += take;
        reader.chunkLeft -= take;
        out.written += take;
        length -= static_cast<unsigned>(take);
    }
    return INFLATE_OK;
}

// The fixed distance code is the 5-bit code number itself, sent most
// significant bit first, so the plain bits come out reversed.
inline int ReadFixedDistanceCode(BitReader& reader) {
    unsigned bits = ReadBits(reader, 5);
    return static_cast<int>(((bits & 1u) << 4) | ((bits & 2u) << 2) | (bits & 4u) |
                            ((bits & 8u) >> 2) | ((bits & 16u) >> 4));
}

// Literals, and length/distance pairs copied forward byte by byte from the
// output itself, so a distance shorter than the length repeats what it just
// wrote. `distance` is null in a fixed block.
InflateError InflateCodes(BitReader& reader, const HuffmanTable& literal,
                          const HuffmanTable* distance, Output& out) {
    for (;;) {
        int symbol = DecodeSymbol(reader, literal);
        if (reader.overrun) return INFLATE_INPUT_ENDED;
        if (symbol < 0) return INFLATE_BAD_CODE;
        if (symbol < END_OF_BLOCK) {
            if (out.written == out.capacity) return INFLATE_OUTPUT_FULL;
            out.bytes[out.written++] = static_cast<unsigned char>(symbol);
            continue;
        }
        if (symbol == END_OF_BLOCK) return INFLATE_OK;
        symbol -= END_OF_BLOCK + 1;
        if (symbol >= 29) return INFLATE_BAD_SYMBOL;
        size_t length = LENGTH_BASE[symbol] + ReadBits(reader, LENGTH_EXTRA[symbol]);

        int code =
            distance != nullptr ? DecodeSymbol(reader, *distance) : ReadFixedDistanceCode(reader);
        if (reader.overrun) return INFLATE_INPUT_ENDED;
        if (code < 0) return INFLATE_BAD_CODE;
        if (code >= 30) return INFLATE_BAD_SYMBOL;
        size_t back = DISTANCE_BASE[code] + ReadBits(reader, DISTANCE_EXTRA[code]);
        if (reader.overrun) return INFLATE_INPUT_ENDED;
        if (back > out.written) return INFLATE_DISTANCE_TOO_FAR;
        if (length > out.capacity - out.written) return INFLATE_OUTPUT_FULL;

        unsigned char* to = out.bytes + out.written;
        const unsigned char* from = to - back;
        for (size_t i = 0; i < length; ++i) to[i] = from[i];
        out.written += length;
    }
}

// The fixed code of RFC 1951 3.2.6, built afresh for every fixed block.
InflateError InflateFixed(BitReader& reader, Output& out) {
    uint8_t lengths[MAX_LITERAL_SYMBOLS];
    std::memset(lengths, 8, 144);
    std::memset(lengths + 144, 9, 112);
    std::memset(lengths + 256, 7, 24);
    std::memset(lengths + 280, 8, 8);
    HuffmanTable literal;
    BuildHuffmanTable(literal, lengths, MAX_LITERAL_SYMBOLS, FIXED_LITERAL_BITS, false);
    return InflateCodes(reader, literal, nullptr, out);
}

// A dynamic block sends HLIT literal/length and HDIST distance code lengths,
// themselves Huffman coded with a code-length code whose own lengths (3 bits
// each) come first, in CODE_LENGTH_ORDER. Symbols 16, 17 and 18 repeat the
// previous length or zeros; no repeat may run past the last length.
InflateError InflateDynamic(BitReader& reader, Output& out) {
    int literalCount = static_cast<int>(ReadBits(reader, 5)) + 257;
    int distanceCount = static_cast<int>(ReadBits(reader, 5)) + 1;
    int codeLengthCount = static_cast<int>(ReadBits(reader, 4)) + 4;
    // Symbols 286, 287 and distance codes 30, 31 can never be used: zlib
    // refuses a block that sends lengths for them, and so does Brelo.
    if (literalCount > 286 || distanceCount > 30) return INFLATE_BAD_CODE_LENGTHS;

    uint8_t lengths[MAX_LITERAL_SYMBOLS + MAX_DISTANCE_SYMBOLS] = {};
    for (int i = 0; i < codeLengthCount; ++i) {
        lengths[CODE_LENGTH_ORDER[i]] = static_cast<uint8_t>(ReadBits(reader, 3));
    }
    if (reader.overrun) return INFLATE_INPUT_ENDED;
    HuffmanTable codeLengths;
    if (!BuildHuffmanTable(codeLengths, lengths, CODE_LENGTH_SYMBOLS, CODE_LENGTH_BITS, false)) {
        return INFLATE_BAD_CODE_LENGTHS;
    }

    int total = literalCount + distanceCount;
    int known = 0;
    while (known < total) {
        int symbol = DecodeSymbol(reader, codeLengths);
        if (reader.overrun) return INFLATE_INPUT_ENDED;
        if (symbol < 0) return INFLATE_BAD_CODE;
        if (symbol < 16) {
            lengths[known++] = static_cast<uint8_t>(symbol);
            continue;
        }
        uint8_t value = 0;
        int repeat = 0;
        if (symbol == 16) {
            if (known == 0) return INFLATE_BAD_CODE_LENGTHS;
            value = lengths[known - 1];
            repeat = 3 + static_cast<int>(ReadBits(reader, 2));
        } else if (symbol == 17) {
            repeat = 3 + static_cast<int>(ReadBits(reader, 3));
        } else {
            repeat = 11 + static_cast<int>(ReadBits(reader, 7));
        }
        if (reader.overrun) return INFLATE_INPUT_ENDED;
        if (repeat > total - known) return INFLATE_BAD_CODE_LENGTHS;
        std::memset(lengths + known, value, static_cast<size_t>(repeat));
        known += repeat;
    }

    HuffmanTable literal;
    HuffmanTable distance;
    if (lengths[END_OF_BLOCK] == 0 ||
        !BuildHuffmanTable(literal, lengths, literalCount, MAX_CODE_BITS, true) ||
        !BuildHuffmanTable(distance, lengths + literalCount, distanceCount, MAX_CODE_BITS, true)) {
        return INFLATE_BAD_CODE_LENGTHS;
    }
    return InflateCodes(reader, literal, &distance, out);
}

// RFC 1950: CMF (method in the low half, window size in the high half) then
// FLG. The check value that makes CMF*256+FLG a multiple of 31 is not tested.
InflateError ReadStreamHeader(BitReader& reader) {
    unsigned header = ReadBits(reader, 16);
    if (reader.overrun) return INFLATE_INPUT_ENDED;
    unsigned method = header & 0x0Fu;
    unsigned window = (header >> 4) & 0x0Fu;
    unsigned flags = header >> 8;
    if (method != 8 || window > 7 || (flags & 0x20u) != 0) return INFLATE_BAD_HEADER;
    return INFLATE_OK;
}

}  // namespace

InflateError InflateZlib(const InflateInput& input, unsigned char* output, size_t capacity,
                         size_t* written) {
    BitReader reader = {};
    if (input.firstIdat != nullptr) {
        reader.nextChunk = input.firstIdat;
        reader.fileEnd = input.fileEnd;
    } else {
        reader.position = input.bytes;
        reader.chunkLeft = input.bytes != nullptr ? input.size : 0;
    }
    Output out = {output, output != nullptr ? capacity : 0, 0};

    InflateError result = ReadStreamHeader(reader);
    bool last = false;
    while (result == INFLATE_OK && !last) {
        unsigned header = ReadBits(reader, 3);
        if (reader.overrun) {
            result = INFLATE_INPUT_ENDED;
            break;
        }
        last = (header & 1u) != 0;
        switch (header >> 1) {
            case 0:
                result = InflateStored(reader, out);
                break;
            case 1:
                result = InflateFixed(reader, out);
                break;
            case 2:
                result = InflateDynamic(reader, out);
                break;
            default:
                result = INFLATE_BAD_BLOCK_TYPE;
                break;
        }
    }
    if (result == INFLATE_OK) {
        // The Adler-32 trailer: read when present, never compared.
        AlignToByte(reader);
        ReadBits(reader, 16);
        ReadBits(reader, 16);
    }
    if (written != nullptr) *written = out.written;
    return result;
}
