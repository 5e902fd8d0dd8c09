#include "quiz/lzw.h"

#include <cstdlib>
#include <cstring>

#include "shell/report.h"

LzwAllocator g_lzwAllocate = std::malloc;

void LzwFreeOutput(uint8_t* buffer) {
    std::free(buffer);
}

namespace {

// ---------------------------------------------------------------------------
// Decoder

// Codes arrive most-significant bit first, up to 32 bits wide, straddling
// bytes freely. A code is cut from one big-endian word loaded at its first
// byte (eight bytes hold any code plus the bits before it in that byte); the
// last few bytes are gathered one by one. When the block ends inside a code,
// the bits that were there are handed back (right-aligned) so the caller can
// recognise a truncated end code, which the format accepts as a normal end.
struct CodeReader {
    const uint8_t* data;
    uint32_t size;
    uint32_t bitPosition = 0;  // bits already used; the input is below 2^16 bytes

    bool Read(int width, uint32_t& code) {
        const uint32_t at = bitPosition >> 3;
        uint64_t word = 0;
        if (size - at >= 8) {
            std::memcpy(&word, data + at, 8);
            word = __builtin_bswap64(word);  // x86 is little-endian
        } else {
            for (uint32_t i = at; i < size; ++i) word |= uint64_t{data[i]} << (56 - 8 * (i - at));
        }
        word <<= bitPosition & 7;
        const uint32_t available = size * 8 - bitPosition;
        if (available < static_cast<uint32_t>(width)) {
            code = available == 0 ? 0 : static_cast<uint32_t>(word >> (64 - available));
            bitPosition = size * 8;
            return false;
        }
        code = static_cast<uint32_t>(word >> (64 - width));
        bitPosition += static_cast<uint32_t>(width);
        return true;
    }
};

// Every entry's string is the pending string plus one byte, and the pending
// string is written to the output right when the entry is defined; the extra
// byte is the first byte written next. So each entry's string lies in the
// output, whole, at the place its pending string went: an entry is an offset
// and a length, and no string is ever copied into the dictionary. Entries are
// only read after that next write, and a reassigned code (after a reset) only
// moves its offset, so older strings stay intact for a pending string that
// outlives the reset.
struct Entry {
    uint32_t offset;
    uint32_t length;
};

// Short strings are copied as two words when the output has room for them.
constexpr uint32_t WORD_COPY = 16;

// Decodes the codes into `output`, counting the bytes in `*written`. The
// state lives in locals: the output is written through a byte pointer, which
// may alias anything, and would otherwise force every field back to memory.
int DecodeCodes(CodeReader reader, Entry* dictionary, uint8_t* output, uint32_t* written) {
    uint32_t code = 0;
    if (!reader.Read(LZW_START_WIDTH, code)) return LZW_E_EMPTY;
    // The pending string: a run already in the output, or the literal byte
    // `pendingByte`. The first code is a literal whatever its value.
    uint32_t count = 0;
    uint8_t pendingByte = static_cast<uint8_t>(code & 0xFF);
    bool pendingIsLiteral = true;
    Entry pending = {0, 1};

    // Appends the pending string. The run may overlap the place it is
    // copied to (a code equal to the next free one repeats its own first
    // byte), so overlapping runs are copied forwards byte by byte.
    auto writePending = [&]() {
        if (pending.length > LZW_OUTPUT_CAPACITY - count) return false;
        uint8_t* to = output + count;
        const uint8_t* from = output + pending.offset;
        if (pendingIsLiteral) {
            *to = pendingByte;
        } else if (pending.offset + pending.length > count) {
            for (uint32_t i = 0; i < pending.length; ++i) to[i] = from[i];
        } else if (pending.length <= WORD_COPY && count + WORD_COPY <= LZW_OUTPUT_CAPACITY) {
            // Both words are read before either is written; the bytes past
            // the string are overwritten by what follows.
            uint64_t low, high;
            std::memcpy(&low, from, 8);
            std::memcpy(&high, from + 8, 8);
            std::memcpy(to, &low, 8);
            std::memcpy(to + 8, &high, 8);
        } else {
            std::memcpy(to, from, pending.length);
        }
        count += pending.length;
        return true;
    };

    uint32_t nextFree = LZW_FIRST_FREE;
    int width = LZW_START_WIDTH;
    int result = LZW_OK;
    for (;;) {
        if (width > LZW_MAX_WIDTH) {
            result = LZW_E_CORRUPT;
            break;
        }
        if (!reader.Read(width, code)) {
            if (code != LZW_CODE_END) result = LZW_E_CORRUPT;
            break;
        }
        if (code == LZW_CODE_END) break;
        if (code == LZW_CODE_RESET) {
            nextFree = LZW_FIRST_FREE;
            width = LZW_START_WIDTH;
            continue;
        }
        if (code == LZW_CODE_WIDEN) {
            ++width;
            continue;
        }
        // A data code defines entry `nextFree` as the pending string plus
        // one byte, writes the pending string and makes the code's string
        // pending. Refused: a code above the next free one, a dictionary
        // already full, an entry longer than 4096 bytes, output past its
        // capacity.
        if (code > nextFree || nextFree >= LZW_DICTIONARY_SIZE ||
            pending.length >= static_cast<uint32_t>(LZW_MAX_STRING)) {
            result = LZW_E_CORRUPT;
            break;
        }
        const Entry defined = {count, pending.length + 1};
        if (!writePending()) {
            result = LZW_E_CORRUPT;
            break;
        }
        dictionary[nextFree] = defined;
        if (code < 256) {
            pendingIsLiteral = true;
            pendingByte = static_cast<uint8_t>(code);
            pending = {0, 1};
        } else {
            pendingIsLiteral = false;
            pending = dictionary[code];
        }
        ++nextFree;
    }
    if (result == LZW_OK && !writePending()) result = LZW_E_CORRUPT;
    *written = count;
    return result;
}

// ---------------------------------------------------------------------------
// Compressor

// Entries keyed by (prefix code, next byte), open addressing. At most
// 4096 - 259 entries live between two resets, so 8192 slots stay half empty.
class EntryTable {
  public:
    EntryTable() { Clear(); }
    void Clear() { std::memset(slots_, 0xFF, sizeof slots_); }

    void Insert(uint32_t prefix, uint8_t byte, uint32_t code) {
        const uint32_t key = (prefix << 8) | byte;
        uint32_t i = Hash(key);
        while (slots_[i] != kEmpty) i = (i + 1) & kMask;
        slots_[i] = (key << 12) | code;
    }

    // The code of prefix+byte, or -1.
    int Find(uint32_t prefix, uint8_t byte) const {
        const uint32_t key = (prefix << 8) | byte;
        for (uint32_t i = Hash(key);; i = (i + 1) & kMask) {
            const uint32_t slot = slots_[i];
            if (slot == kEmpty) return -1;
            if ((slot >> 12) == key) return static_cast<int>(slot & 0xFFF);
        }
    }

  private:
    static constexpr uint32_t kSize = 8192;
    static constexpr uint32_t kMask = kSize - 1;
    static constexpr uint32_t kEmpty = 0xFFFFFFFFu;
    static uint32_t Hash(uint32_t key) { return (key * 2654435761u) >> 19; }
    uint32_t slots_[kSize];
};

class CodeWriter {
  public:
    explicit CodeWriter(std::vector<uint8_t>& block) : block_(block) {}
    void Put(uint32_t code, int width) {
        bits_ = (bits_ << width) | code;
        bitCount_ += width;
        while (bitCount_ >= 8) {
            bitCount_ -= 8;
            block_.push_back(static_cast<uint8_t>(bits_ >> bitCount_));
        }
    }
    void Flush() {
        if (bitCount_ > 0) block_.push_back(static_cast<uint8_t>(bits_ << (8 - bitCount_)));
        bitCount_ = 0;
    }

  private:
    std::vector<uint8_t>& block_;
    uint64_t bits_ = 0;
    int bitCount_ = 0;
};

// The longest match is kept below the decoder's string limit, so that the
// entry made from it plus one byte still fits.
constexpr size_t kLongestMatch = LZW_MAX_STRING - 1;

}  // namespace

int LzwDecompress(const uint8_t* input, uint32_t inputLength, uint8_t** outputBuffer,
                  uint32_t* outputLength) {
    // Longer blocks cannot be described by the format's 16-bit length; taking
    // only the low bits would decode some other, shorter block.
    if (inputLength > LZW_MAX_INPUT) return LZW_E_CORRUPT;
    if (input == nullptr) inputLength = 0;

    auto* dictionary = static_cast<Entry*>(
        g_lzwAllocate(sizeof(Entry) * static_cast<size_t>(LZW_DICTIONARY_SIZE)));
    if (dictionary == nullptr) return LZW_E_NOMEM;
    auto* output = static_cast<uint8_t*>(g_lzwAllocate(LZW_OUTPUT_CAPACITY));
    if (output == nullptr) {
        ReportMessage("Impossible d'allouer la memoire", "Information", REPORT_OK);
        std::free(dictionary);
        return LZW_E_NOMEM;
    }

    uint32_t written = 0;
    const int result = DecodeCodes(CodeReader{input, inputLength}, dictionary, output, &written);
    std::free(dictionary);
    *outputBuffer = output;
    *outputLength = written + 2;
    return result;
}

int LzwCompress(const uint8_t* data, size_t size, std::vector<uint8_t>& block) {
    block.clear();
    if (size == 0 || data == nullptr) return LZW_COMPRESS_EMPTY;
    if (size > LZW_OUTPUT_CAPACITY) return LZW_COMPRESS_TOO_LONG;

    std::unique_ptr<EntryTable> table(new EntryTable());
    CodeWriter writer(block);
    writer.Put(data[0], LZW_START_WIDTH);  // the first code is always a literal

    uint32_t previous = data[0];  // code of the string just emitted
    bool previousKnown = true;    // whether it belongs to the current dictionary
    uint32_t nextFree = LZW_FIRST_FREE;
    int width = LZW_START_WIDTH;
    size_t position = 1;
    while (position < size) {
        // The decoder defines an entry with every data code; reset before it
        // would have to define code 4096. After a reset it still builds the
        // first entry from the pending string, whose code now means nothing,
        // so that entry is left out of our table and simply never used.
        if (nextFree == LZW_DICTIONARY_SIZE) {
            writer.Put(LZW_CODE_RESET, width);
            nextFree = LZW_FIRST_FREE;
            width = LZW_START_WIDTH;
            table->Clear();
            previousKnown = previous < 256;
        }
        // Defined before matching, as the decoder will see it: this is what
        // makes a code equal to the next free one usable.
        if (previousKnown) table->Insert(previous, data[position], nextFree);

        uint32_t code = data[position];
        size_t length = 1;
        while (length < kLongestMatch && length < size - position) {
            const int longer = table->Find(code, data[position + length]);
            if (longer < 0) break;
            code = static_cast<uint32_t>(longer);
            ++length;
        }
        while (code >= (1u << width)) {
            writer.Put(LZW_CODE_WIDEN, width);
            ++width;
        }
        writer.Put(code, width);
        ++nextFree;
        previous = code;
        previousKnown = true;
        position += length;
        if (block.size() > LZW_MAX_INPUT) break;
    }
    writer.Put(LZW_CODE_END, width);
    writer.Flush();
    if (block.size() > LZW_MAX_INPUT) {
        block.clear();
        return LZW_COMPRESS_TOO_LARGE;
    }
    return LZW_COMPRESS_OK;
}
