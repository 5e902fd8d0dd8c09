// Inflate: zlib header, stored, fixed and dynamic DEFLATE blocks.
//
// The whole working area of a call lives on the stack in fixed arrays; the
// output buffer is also the window, so back-references may reach as far back
// as the output goes.
//
// Speed comes from three things. Bits sit in a 64-bit buffer refilled by one
// little-endian word load while eight bytes remain in the current chunk (and
// byte by byte near its end, where missing bytes read as zeros that fail the
// stream only if they are used). Each symbol is one lookup in a table indexed
// by the next bits, whose packed entry says what the code means and how many
// bits to drop, extra bits included; codes longer than the table's index run
// on into a sub-table. And while the output has room for the longest match
// and the chunk for a whole refill, a loop without bound checks does the
// work, leaving the careful loop only the ends of chunks and of the output.
#include "images/inflate.h"

#include <cstring>

namespace {

constexpr int MAX_CODE_BITS = 15;
constexpr int MAX_LITERAL_SYMBOLS = 288;
constexpr int MAX_DISTANCE_SYMBOLS = 32;
constexpr int CODE_LENGTH_SYMBOLS = 19;
constexpr int END_OF_BLOCK = 256;
constexpr int MAX_MATCH = 258;

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

// A table entry, 32 bits:
//   bits 0-7   bits to drop: the code's length (within this table) plus its extra bits;
//              for a sub-table link, the bits of the main index
//   bits 8-11  the code's length within this table (where its extra bits start);
//              for a sub-table link, the sub-table's index bits
//   bits 12-15 the flags below
//   bits 16-31 the literal byte, the base length or distance, the code-length symbol, or
//              the sub-table's offset; for an unusable code, one of the Unusable values
// An entry with no flag is a length, a distance or a code-length symbol.
constexpr uint32_t ENTRY_LITERAL = 1u << 12;
constexpr uint32_t ENTRY_EXCEPTIONAL = 1u << 13;  // sub-table link, end of block or unusable
constexpr uint32_t ENTRY_SUBTABLE = 1u << 14;
constexpr uint32_t ENTRY_END_OF_BLOCK = 1u << 15;
enum Unusable : uint32_t { NO_SUCH_CODE = 0, NO_SUCH_SYMBOL = 1 };

constexpr int LITERAL_TABLE_BITS = 10;
constexpr int DISTANCE_TABLE_BITS = 8;
constexpr int CODE_LENGTH_TABLE_BITS = 7;  // the longest code-length code: no sub-table
// Room for the main table and every sub-table. In a complete code a sub-table
// of w index bits holds a full subtree of depth w, so at least w + 1 codes:
// with 286 literal/length codes and at most 5 bits past 10, 47 sub-tables of
// 32 entries and one of 8 at most; with 30 distance codes and at most 7 bits
// past 8, 3 of 128 and one of 32.
constexpr int LITERAL_TABLE_SIZE = (1 << LITERAL_TABLE_BITS) + 47 * 32 + 8;
constexpr int DISTANCE_TABLE_SIZE = (1 << DISTANCE_TABLE_BITS) + 3 * 128 + 32;

enum class Alphabet { LITERAL_LENGTH, DISTANCE, CODE_LENGTH };

// A symbol's entry, less its code length: the meaning, with the count of its
// extra bits in the bits-to-drop field.
uint32_t SymbolEntry(Alphabet alphabet, int symbol) {
    switch (alphabet) {
        case Alphabet::LITERAL_LENGTH:
            if (symbol < END_OF_BLOCK) return uint32_t(symbol) << 16 | ENTRY_LITERAL;
            if (symbol == END_OF_BLOCK) return ENTRY_EXCEPTIONAL | ENTRY_END_OF_BLOCK;
            if (symbol > 285) return uint32_t{NO_SUCH_SYMBOL} << 16 | ENTRY_EXCEPTIONAL;
            return uint32_t{LENGTH_BASE[symbol - 257]} << 16 | LENGTH_EXTRA[symbol - 257];
        case Alphabet::DISTANCE:
            if (symbol >= 30) return uint32_t{NO_SUCH_SYMBOL} << 16 | ENTRY_EXCEPTIONAL;
            return uint32_t{DISTANCE_BASE[symbol]} << 16 | DISTANCE_EXTRA[symbol];
        case Alphabet::CODE_LENGTH:
            break;
    }
    return uint32_t(symbol) << 16;
}

// DEFLATE sends Huffman codes most significant bit first into a buffer read
// from its low end, so tables are indexed by the codes reversed.
unsigned Reversed(unsigned code, int length) {
    unsigned result = 0;
    for (int i = 0; i < length; ++i, code >>= 1) result = (result << 1) | (code & 1u);
    return result;
}

// Canonical Huffman codes from their lengths (RFC 1951 3.2.2) as a lookup
// table of 2^tableBits entries followed by its sub-tables. Only a set of
// lengths an encoder can really send is accepted, as zlib accepts it: one that
// asks for more codes of some length than that length has room for
// (over-subscribed) has no canonical code, and one that leaves codes unused
// (incomplete) is refused too, except for an empty code and, where
// `loneCodeAllowed`, a single one-bit code (a block with one distance). The
// unused codes of those two read as NO_SUCH_CODE.
bool BuildTable(uint32_t* table, int tableBits, const uint8_t* lengths, int symbolCount,
                Alphabet alphabet, bool loneCodeAllowed) {
    int counts[MAX_CODE_BITS + 1] = {};
    for (int symbol = 0; symbol < symbolCount; ++symbol) ++counts[lengths[symbol]];
    counts[0] = 0;

    // The first code of each length, and where its symbols start in `sorted`.
    unsigned nextCode[MAX_CODE_BITS + 1] = {};
    int place[MAX_CODE_BITS + 2] = {};
    unsigned code = 0;
    int longest = 0;
    for (int length = 1; length <= MAX_CODE_BITS; ++length) {
        code = (code + unsigned(counts[length - 1])) << 1;
        nextCode[length] = code;
        place[length + 1] = place[length] + counts[length];
        if (counts[length] == 0) continue;
        if (code + unsigned(counts[length]) > (1u << length)) return false;
        longest = length;
    }
    bool complete = longest > 0 && nextCode[longest] + unsigned(counts[longest]) == 1u << longest;
    if (!complete && longest > 1) return false;
    if (!complete && longest == 1 && !loneCodeAllowed) return false;

    const int tableSize = 1 << tableBits;
    if (!complete) {
        for (int i = 0; i < tableSize; ++i)
            table[i] = uint32_t{NO_SUCH_CODE} << 16 | ENTRY_EXCEPTIONAL;
    }
    // Symbols in canonical order: by length, then by value.
    uint16_t sorted[MAX_LITERAL_SYMBOLS];
    uint16_t codes[MAX_LITERAL_SYMBOLS];
    for (int symbol = 0; symbol < symbolCount; ++symbol) {
        int length = lengths[symbol];
        if (length == 0) continue;
        codes[symbol] = uint16_t(nextCode[length]++);
        sorted[place[length]++] = uint16_t(symbol);
    }
    int total = place[MAX_CODE_BITS + 1];
    int i = 0;
    for (; i < total && lengths[sorted[i]] <= tableBits; ++i) {
        int symbol = sorted[i], length = lengths[symbol];
        uint32_t entry = SymbolEntry(alphabet, symbol) + uint32_t(length) + (uint32_t(length) << 8);
        for (unsigned at = Reversed(codes[symbol], length); at < unsigned(tableSize);
             at += 1u << length) {
            table[at] = entry;
        }
    }
    // Longer codes, in canonical order, share their first tableBits bits in
    // runs; each run gets a sub-table as wide as its longest code needs.
    int offset = tableSize;
    while (i < total) {
        int first = sorted[i];
        unsigned prefix = codes[first] >> (lengths[first] - tableBits);
        int end = i;
        while (end < total &&
               unsigned(codes[sorted[end]]) >> (lengths[sorted[end]] - tableBits) == prefix) {
            ++end;
        }
        int subBits = lengths[sorted[end - 1]] - tableBits;
        table[Reversed(prefix, tableBits)] = uint32_t(offset) << 16 | ENTRY_EXCEPTIONAL |
                                             ENTRY_SUBTABLE | uint32_t(subBits) << 8 |
                                             uint32_t(tableBits);
        for (; i < end; ++i) {
            int symbol = sorted[i], rest = lengths[symbol] - tableBits;
            uint32_t entry = SymbolEntry(alphabet, symbol) + uint32_t(rest) + (uint32_t(rest) << 8);
            unsigned low = codes[symbol] & ((1u << rest) - 1u);
            for (unsigned at = Reversed(low, rest); at < (1u << subBits); at += 1u << rest) {
                table[offset + int(at)] = entry;
            }
        }
        offset += 1 << subBits;
    }
    return true;
}

inline uint32_t ReadBigEndian32(const unsigned char* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

inline uint64_t LoadLittleEndian64(const unsigned char* p) {
    uint64_t word;
    std::memcpy(&word, p, sizeof word);  // x86 only: already little-endian
    return word;
}

inline void Store64(unsigned char* p, uint64_t word) {
    std::memcpy(p, &word, sizeof word);
}

inline uint32_t LowBits(uint64_t bits, uint32_t count) {
    return uint32_t(bits) & ((1u << count) - 1u);
}

// Everything that changes while decoding. The hot loops copy it into locals
// and write it back when they leave.
struct State {
    uint64_t bits;      // unread bits in the low end; above them, only zeros or the bits
                        // of the next input byte (a word load may run ahead)
    uint32_t bitCount;  // 0..63
    uint32_t zeroBits;  // how many of the bits at the top are zeros past the input's end
    const unsigned char* in;
    const unsigned char* inEnd;  // end of the current chunk's data
    const unsigned char* nextChunk;
    const unsigned char* fileEnd;
    unsigned char* outBegin;
    unsigned char* out;
    unsigned char* outEnd;
};

// A PNG's compressed stream is the data of consecutive IDAT chunks. The chain
// ends at the first chunk of another type, and also at a chunk that does not
// lie whole inside the file: its length cannot be trusted. Zero-length IDAT
// chunks are stepped over.
bool EnterNextIdat(State& s) {
    while (s.in == s.inEnd) {
        const unsigned char* chunk = s.nextChunk;
        if (chunk == nullptr) return false;
        s.nextChunk = nullptr;
        if (s.fileEnd - chunk < 12) return false;
        size_t room = static_cast<size_t>(s.fileEnd - chunk) - 12;
        uint32_t length = ReadBigEndian32(chunk);
        if (std::memcmp(chunk + 4, "IDAT", 4) != 0 || length > room) return false;
        s.in = chunk + 8;
        s.inEnd = chunk + 8 + length;
        s.nextChunk = chunk + 12 + length;
    }
    return true;
}

// Brings the buffer to at least 56 bits: one word load when the chunk has
// eight bytes left, else byte by byte across chunks and then zeros.
void RefillSlowly(State& s) {
    while (s.bitCount <= 56) {
        if (s.in == s.inEnd && !EnterNextIdat(s)) {
            s.zeroBits += 8;
        } else {
            s.bits |= uint64_t{*s.in++} << s.bitCount;
        }
        s.bitCount += 8;
    }
}

inline void Refill(State& s) {
    if (s.inEnd - s.in >= 8) {
        s.bits |= LoadLittleEndian64(s.in) << s.bitCount;
        s.in += (63 - s.bitCount) >> 3;
        s.bitCount |= 56;
    } else {
        RefillSlowly(s);
    }
}

// After dropping bits: were any of them zeros past the end?
inline bool Overran(const State& s) {
    return s.bitCount < s.zeroBits;
}

inline uint32_t TakeBits(State& s, uint32_t count) {
    uint32_t value = LowBits(s.bits, count);
    s.bits >>= count;
    s.bitCount -= count;
    return value;
}

// The next code's entry, past its sub-table link if it has one (whose main
// index bits are dropped).
inline uint32_t LookUp(const uint32_t* table, int tableBits, uint64_t& bits, uint32_t& bitCount) {
    uint32_t entry = table[LowBits(bits, uint32_t(tableBits))];
    if ((entry & ENTRY_SUBTABLE) != 0) {
        bits >>= tableBits;
        bitCount -= uint32_t(tableBits);
        entry = table[(entry >> 16) + LowBits(bits, (entry >> 8) & 15u)];
    }
    return entry;
}

// The value of a length or distance entry: its base plus its extra bits.
inline uint32_t EntryValue(uint32_t entry, uint64_t bits) {
    return (entry >> 16) + (LowBits(bits, entry & 0xFFu) >> ((entry >> 8) & 15u));
}

inline InflateError UnusableError(uint32_t entry) {
    return (entry >> 16) == NO_SUCH_SYMBOL ? INFLATE_BAD_SYMBOL : INFLATE_BAD_CODE;
}

struct Codes {
    const uint32_t* literal;
    const uint32_t* distance;
};

// Room past the output position for the fast loop: the longest match, plus
// the word-wide copy running up to 7 bytes beyond it.
constexpr ptrdiff_t FAST_OUTPUT_ROOM = MAX_MATCH + 8;
constexpr int NOT_DONE = -1;

// The loop without bound checks, while the chunk holds a whole word and the
// output room for any symbol. Returns NOT_DONE when it runs out of either
// room, else the block's result. Each turn refills to 56 bits, which covers a
// literal/length code with its extra bits and a distance code with its own
// (15 + 5 + 15 + 13 bits), or two literals.
int InflateFast(State& state, Codes codes) {
    uint64_t bits = state.bits;
    uint32_t bitCount = state.bitCount;
    const unsigned char* in = state.in;
    const unsigned char* const inEnd = state.inEnd;
    unsigned char* out = state.out;
    unsigned char* const outBegin = state.outBegin;
    unsigned char* const outEnd = state.outEnd;
    int result = NOT_DONE;
    while (inEnd - in >= 8 && outEnd - out >= FAST_OUTPUT_ROOM) {
        bits |= LoadLittleEndian64(in) << bitCount;
        in += (63 - bitCount) >> 3;
        bitCount |= 56;

        uint32_t entry = LookUp(codes.literal, LITERAL_TABLE_BITS, bits, bitCount);
        if ((entry & ENTRY_LITERAL) != 0) {
            bits >>= entry & 0xFFu;
            bitCount -= entry & 0xFFu;
            *out++ = static_cast<unsigned char>(entry >> 16);
            entry = codes.literal[LowBits(bits, LITERAL_TABLE_BITS)];
            if ((entry & ENTRY_LITERAL) != 0) {
                bits >>= entry & 0xFFu;
                bitCount -= entry & 0xFFu;
                *out++ = static_cast<unsigned char>(entry >> 16);
            }
            continue;
        }
        if ((entry & ENTRY_EXCEPTIONAL) != 0) {
            bits >>= entry & 0xFFu;
            bitCount -= entry & 0xFFu;
            result = (entry & ENTRY_END_OF_BLOCK) != 0 ? INFLATE_OK : UnusableError(entry);
            break;
        }
        uint32_t length = EntryValue(entry, bits);
        bits >>= entry & 0xFFu;
        bitCount -= entry & 0xFFu;

        entry = LookUp(codes.distance, DISTANCE_TABLE_BITS, bits, bitCount);
        if ((entry & ENTRY_EXCEPTIONAL) != 0) {
            result = UnusableError(entry);
            break;
        }
        uint32_t distance = EntryValue(entry, bits);
        bits >>= entry & 0xFFu;
        bitCount -= entry & 0xFFu;
        if (distance > size_t(out - outBegin)) {
            result = INFLATE_DISTANCE_TOO_FAR;
            break;
        }

        // Whole words, over-running the end by up to 7 bytes that later
        // output replaces. From 8 bytes back each word reads only bytes
        // already final; one byte back, the word is that byte eight times.
        unsigned char* to = out;
        const unsigned char* from = out - distance;
        out += length;
        if (distance >= 8) {
            do {
                Store64(to, LoadLittleEndian64(from));
                to += 8;
                from += 8;
            } while (to < out);
        } else if (distance == 1) {
            uint64_t word = uint64_t{*from} * 0x0101010101010101u;
            do {
                Store64(to, word);
                to += 8;
            } while (to < out);
        } else {
            do *to++ = *from++;
            while (to < out);
        }
    }
    state.bits = bits;
    state.bitCount = bitCount;
    state.in = in;
    state.out = out;
    return result;
}

// One symbol with every check: past the end of the input (zero bits), of the
// output, or before its start. Returns NOT_DONE or the block's result.
int InflateOneSymbol(State& s, Codes codes) {
    Refill(s);
    uint32_t entry = LookUp(codes.literal, LITERAL_TABLE_BITS, s.bits, s.bitCount);
    uint32_t value = EntryValue(entry, s.bits);
    TakeBits(s, entry & 0xFFu);
    if (Overran(s)) return INFLATE_INPUT_ENDED;
    if ((entry & ENTRY_LITERAL) != 0) {
        if (s.out == s.outEnd) return INFLATE_OUTPUT_FULL;
        *s.out++ = static_cast<unsigned char>(entry >> 16);
        return NOT_DONE;
    }
    if ((entry & ENTRY_EXCEPTIONAL) != 0) {
        return (entry & ENTRY_END_OF_BLOCK) != 0 ? INFLATE_OK : UnusableError(entry);
    }
    size_t length = value;

    entry = LookUp(codes.distance, DISTANCE_TABLE_BITS, s.bits, s.bitCount);
    size_t distance = EntryValue(entry, s.bits);
    TakeBits(s, entry & 0xFFu);
    if (Overran(s)) return INFLATE_INPUT_ENDED;
    if ((entry & ENTRY_EXCEPTIONAL) != 0) return UnusableError(entry);
    if (distance > size_t(s.out - s.outBegin)) return INFLATE_DISTANCE_TOO_FAR;
    if (length > size_t(s.outEnd - s.out)) return INFLATE_OUTPUT_FULL;
    // Byte by byte, so a distance shorter than the length repeats what it just wrote.
    const unsigned char* from = s.out - distance;
    for (size_t i = 0; i < length; ++i) s.out[i] = from[i];
    s.out += length;
    return NOT_DONE;
}

InflateError InflateCodes(State& s, Codes codes) {
    for (;;) {
        int result = InflateFast(s, codes);
        if (result == NOT_DONE) result = InflateOneSymbol(s, codes);
        if (result != NOT_DONE) return static_cast<InflateError>(result);
    }
}

// A stored block: LEN, its ones' complement NLEN, then LEN bytes as they are,
// first those already in the bit buffer, then straight from the chunks.
InflateError InflateStored(State& s) {
    TakeBits(s, s.bitCount & 7u);
    Refill(s);
    uint32_t length = TakeBits(s, 16);
    uint32_t complement = TakeBits(s, 16);
    if (Overran(s)) return INFLATE_INPUT_ENDED;
    if (complement != (~length & 0xFFFFu)) return INFLATE_BAD_STORED_LENGTH;
    if (length > size_t(s.outEnd - s.out)) return INFLATE_OUTPUT_FULL;
    for (; length > 0 && s.bitCount >= 8; --length) {
        if (s.bitCount <= s.zeroBits) return INFLATE_INPUT_ENDED;
        *s.out++ = static_cast<unsigned char>(TakeBits(s, 8));
    }
    if (length == 0) return INFLATE_OK;
    s.bits = 0;  // drop what a word load read ahead: those bytes are copied below
    while (length > 0) {
        if (s.in == s.inEnd && !EnterNextIdat(s)) return INFLATE_INPUT_ENDED;
        size_t take = length < size_t(s.inEnd - s.in) ? length : size_t(s.inEnd - s.in);
        std::memcpy(s.out, s.in, take);
        s.in += take;
        s.out += take;
        length -= static_cast<uint32_t>(take);
    }
    return INFLATE_OK;
}

// The fixed code of RFC 1951 3.2.6, built once.
struct FixedCodes {
    uint32_t literal[1 << LITERAL_TABLE_BITS];
    uint32_t distance[1 << DISTANCE_TABLE_BITS];
    FixedCodes() {
        uint8_t lengths[MAX_LITERAL_SYMBOLS];
        std::memset(lengths, 8, 144);
        std::memset(lengths + 144, 9, 112);
        std::memset(lengths + 256, 7, 24);
        std::memset(lengths + 280, 8, 8);
        BuildTable(literal, LITERAL_TABLE_BITS, lengths, MAX_LITERAL_SYMBOLS,
                   Alphabet::LITERAL_LENGTH, false);
        std::memset(lengths, 5, MAX_DISTANCE_SYMBOLS);
        BuildTable(distance, DISTANCE_TABLE_BITS, lengths, MAX_DISTANCE_SYMBOLS, Alphabet::DISTANCE,
                   false);
    }
};

InflateError InflateFixed(State& s) {
    static const FixedCodes fixed;
    return InflateCodes(s, {fixed.literal, fixed.distance});
}

// A dynamic block sends HLIT literal/length and HDIST distance code lengths,
// themselves Huffman coded with a code-length code whose own lengths (3 bits
// each) come first, in CODE_LENGTH_ORDER. Symbols 16, 17 and 18 repeat the
// previous length or zeros; no repeat may run past the last length.
InflateError InflateDynamic(State& s) {
    Refill(s);
    int literalCount = static_cast<int>(TakeBits(s, 5)) + 257;
    int distanceCount = static_cast<int>(TakeBits(s, 5)) + 1;
    int codeLengthCount = static_cast<int>(TakeBits(s, 4)) + 4;
    // Symbols 286, 287 and distance codes 30, 31 can never be used: zlib
    // refuses a block that sends lengths for them, and so does Brelo.
    if (literalCount > 286 || distanceCount > 30) return INFLATE_BAD_CODE_LENGTHS;

    uint8_t lengths[MAX_LITERAL_SYMBOLS + MAX_DISTANCE_SYMBOLS] = {};
    for (int i = 0; i < codeLengthCount; ++i) {
        Refill(s);
        lengths[CODE_LENGTH_ORDER[i]] = static_cast<uint8_t>(TakeBits(s, 3));
    }
    if (Overran(s)) return INFLATE_INPUT_ENDED;
    uint32_t codeLengths[1 << CODE_LENGTH_TABLE_BITS];
    if (!BuildTable(codeLengths, CODE_LENGTH_TABLE_BITS, lengths, CODE_LENGTH_SYMBOLS,
                    Alphabet::CODE_LENGTH, false)) {
        return INFLATE_BAD_CODE_LENGTHS;
    }

    int total = literalCount + distanceCount;
    int known = 0;
    while (known < total) {
        Refill(s);
        uint32_t entry = codeLengths[LowBits(s.bits, CODE_LENGTH_TABLE_BITS)];
        TakeBits(s, entry & 0xFFu);
        if (Overran(s)) return INFLATE_INPUT_ENDED;
        if ((entry & ENTRY_EXCEPTIONAL) != 0) return INFLATE_BAD_CODE;
        uint32_t symbol = entry >> 16;
        if (symbol < 16) {
            lengths[known++] = static_cast<uint8_t>(symbol);
            continue;
        }
        uint8_t value = 0;
        int repeat = 0;
        if (symbol == 16) {
            if (known == 0) return INFLATE_BAD_CODE_LENGTHS;
            value = lengths[known - 1];
            repeat = 3 + static_cast<int>(TakeBits(s, 2));
        } else if (symbol == 17) {
            repeat = 3 + static_cast<int>(TakeBits(s, 3));
        } else {
            repeat = 11 + static_cast<int>(TakeBits(s, 7));
        }
        if (Overran(s)) return INFLATE_INPUT_ENDED;
        if (repeat > total - known) return INFLATE_BAD_CODE_LENGTHS;
        std::memset(lengths + known, value, static_cast<size_t>(repeat));
        known += repeat;
    }

    uint32_t literal[LITERAL_TABLE_SIZE];
    uint32_t distance[DISTANCE_TABLE_SIZE];
    if (lengths[END_OF_BLOCK] == 0 ||
        !BuildTable(literal, LITERAL_TABLE_BITS, lengths, literalCount, Alphabet::LITERAL_LENGTH,
                    true) ||
        !BuildTable(distance, DISTANCE_TABLE_BITS, lengths + literalCount, distanceCount,
                    Alphabet::DISTANCE, true)) {
        return INFLATE_BAD_CODE_LENGTHS;
    }
    return InflateCodes(s, {literal, distance});
}

// RFC 1950: CMF (method in the low half, window size in the high half) then
// FLG. The check value that makes CMF*256+FLG a multiple of 31 is not tested.
InflateError ReadStreamHeader(State& s) {
    Refill(s);
    uint32_t header = TakeBits(s, 16);
    if (Overran(s)) return INFLATE_INPUT_ENDED;
    uint32_t method = header & 0x0Fu;
    uint32_t window = (header >> 4) & 0x0Fu;
    uint32_t flags = header >> 8;
    if (method != 8 || window > 7 || (flags & 0x20u) != 0) return INFLATE_BAD_HEADER;
    return INFLATE_OK;
}

}  // namespace

InflateError InflateZlib(const InflateInput& input, unsigned char* output, size_t capacity,
                         size_t* written) {
    State s = {};
    if (input.firstIdat != nullptr) {
        s.nextChunk = input.firstIdat;
        s.fileEnd = input.fileEnd;
    } else if (input.bytes != nullptr) {
        s.in = input.bytes;
        s.inEnd = input.bytes + input.size;
    }
    s.outBegin = output;
    s.out = output;
    s.outEnd = output != nullptr ? output + capacity : output;

    InflateError result = ReadStreamHeader(s);
    bool last = false;
    while (result == INFLATE_OK && !last) {
        Refill(s);
        uint32_t header = TakeBits(s, 3);
        if (Overran(s)) {
            result = INFLATE_INPUT_ENDED;
            break;
        }
        last = (header & 1u) != 0;
        switch (header >> 1) {
            case 0:
                result = InflateStored(s);
                break;
            case 1:
                result = InflateFixed(s);
                break;
            case 2:
                result = InflateDynamic(s);
                break;
            default:
                result = INFLATE_BAD_BLOCK_TYPE;
                break;
        }
    }
    // The Adler-32 trailer is never compared, so it is not read.
    if (written != nullptr) *written = size_t(s.out - s.outBegin);
    return result;
}
