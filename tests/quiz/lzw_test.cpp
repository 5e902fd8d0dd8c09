#include "quiz/lzw.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "shell/report.h"

namespace {

using Bytes = std::vector<uint8_t>;

// Packs (code, width) pairs MSB first, zero-padded, independently of the compressor.
Bytes Pack(const std::vector<std::pair<uint32_t, int>>& codes) {
    Bytes out;
    uint64_t bits = 0;
    int count = 0;
    for (const auto& [code, width] : codes) {
        for (int i = width - 1; i >= 0; --i) {
            bits = (bits << 1) | ((uint64_t{code} >> i) & 1u);
            if (++count == 8) {
                out.push_back(static_cast<uint8_t>(bits));
                bits = 0;
                count = 0;
            }
        }
    }
    if (count > 0) out.push_back(static_cast<uint8_t>(bits << (8 - count)));
    return out;
}

struct Decoded {
    int result = 1;
    uint32_t length = 0;
    std::string text;
    bool outputSet = false;
};

Decoded Decode(const Bytes& block, uint32_t length) {
    Decoded d;
    uint8_t* buffer = nullptr;
    d.length = 0xDEADBEEF;
    d.result = LzwDecompress(block.data(), length, &buffer, &d.length);
    LzwOutput owner(buffer);
    d.outputSet = buffer != nullptr;
    if (buffer != nullptr && d.length >= 2 && d.length - 2 <= LZW_OUTPUT_CAPACITY)
        d.text.assign(reinterpret_cast<const char*>(buffer), d.length - 2);
    return d;
}
Decoded Decode(const Bytes& block) {
    return Decode(block, static_cast<uint32_t>(block.size()));
}

TEST(LzwDecompress, HandPackedStreams) {
    // 65 at 9 bits, four widenings to 12 bits, then only 9 bits of an end
    // code: the block runs out inside a code whose bits read 256.
    const Bytes truncatedEnd = Pack({{65, 9}, {257, 9}, {257, 10}, {257, 11}, {256, 9}});
    ASSERT_EQ(truncatedEnd.size(), 6u);
    // The same but the short tail reads 257.
    const Bytes truncatedOther = Pack({{65, 9}, {257, 9}, {257, 10}, {257, 11}, {257, 9}});
    // Widened to 32 bits: the 32-bit code 66 starts at bit 469 and spans five bytes.
    std::vector<std::pair<uint32_t, int>> wide = {{65, 9}};
    for (int w = 9; w < 32; ++w) wide.push_back({257, w});
    std::vector<std::pair<uint32_t, int>> tooWide = wide;
    wide.push_back({66, 32});
    wide.push_back({256, 32});
    tooWide.push_back({257, 32});
    tooWide.push_back({66, 33});
    tooWide.push_back({256, 33});

    const struct {
        const char* name;
        Bytes block;
        int result;
        uint32_t length;
        std::string text;
    } rows[] = {
        {"single literal", {0x20, 0xC0, 0x00}, LZW_OK, 3, "A"},
        {"code equal to next free", {0x20, 0xC0, 0xE0, 0x00}, LZW_OK, 5, "AAA"},
        {"reset keeps pending", {0x20, 0x90, 0xA0, 0x44, 0x38, 0x00}, LZW_OK, 5, "ABC"},
        {"widen", {0x20, 0xC0, 0x44, 0x24, 0x00}, LZW_OK, 4, "AB"},
        {"entry after reset", {0x20, 0x90, 0xA0, 0x44, 0x38, 0x1C, 0x00}, LZW_OK, 7, "ABCBC"},
        {"above next free", {0x20, 0xC1, 0x00}, LZW_E_CORRUPT, 2, ""},
        {"empty", {}, LZW_E_EMPTY, 2, ""},
        {"fewer than 9 bits", {0x20}, LZW_E_EMPTY, 2, ""},
        {"stops inside a code", {0x20, 0x90}, LZW_E_CORRUPT, 2, ""},
        {"first code 321 is a literal", Pack({{321, 9}, {256, 9}}), LZW_OK, 3, "A"},
        {"first code 256 is a literal", Pack({{256, 9}, {66, 9}, {256, 9}}), LZW_OK, 4,
         std::string("\0B", 2)},
        {"later 256 ends, rest unread", Pack({{65, 9}, {256, 9}, {999, 9}}), LZW_OK, 3, "A"},
        {"KwKwK chain", Pack({{65, 9}, {66, 9}, {259, 9}, {261, 9}, {256, 9}}), LZW_OK, 9,
         "ABABABA"},
        {"code spans five bytes", Pack(wide), LZW_OK, 4, "AB"},
        {"width past 32", Pack(tooWide), LZW_E_CORRUPT, 2, ""},
        {"truncated end code ends normally", truncatedEnd, LZW_OK, 3, "A"},
        {"truncated other code", truncatedOther, LZW_E_CORRUPT, 2, ""},
        {"failure keeps all but the pending", Pack({{65, 9}, {66, 9}, {67, 9}, {262, 9}}),
         LZW_E_CORRUPT, 4, "AB"},
        {"old entry after reset", Pack({{65, 9}, {66, 9}, {259, 9}, {258, 9}, {66, 9}, {256, 9}}),
         LZW_OK, 7, "ABABB"},
    };
    for (const auto& row : rows) {
        const Decoded d = Decode(row.block);
        EXPECT_EQ(d.result, row.result) << row.name;
        EXPECT_EQ(d.length, row.length) << row.name;
        EXPECT_EQ(d.text, row.text) << row.name;
        EXPECT_TRUE(d.outputSet) << row.name;
    }
}

// Entries 259..4095 are 3837 codes; one more data code without a reset has no
// entry to define.
TEST(LzwDecompress, DictionaryLimit) {
    std::vector<std::pair<uint32_t, int>> codes = {{65, 9}};
    for (int i = 0; i < LZW_DICTIONARY_SIZE - LZW_FIRST_FREE; ++i) codes.push_back({66, 9});
    auto full = codes;
    full.push_back({256, 9});
    auto over = codes;
    over.push_back({67, 9});
    over.push_back({256, 9});
    auto reset = codes;
    reset.push_back({258, 9});
    reset.push_back({67, 9});
    reset.push_back({259, 9});  // the pending B plus C
    reset.push_back({256, 9});

    const std::string body = "A" + std::string(3837, 'B');
    const struct {
        const char* name;
        Bytes block;
        int result;
        std::string text;
    } rows[] = {
        {"all entries used", Pack(full), LZW_OK, body},
        {"one entry too many", Pack(over), LZW_E_CORRUPT, body.substr(0, body.size() - 1)},
        {"reset before the limit", Pack(reset), LZW_OK, body + "CBC"},
    };
    for (const auto& row : rows) {
        const Decoded d = Decode(row.block);
        EXPECT_EQ(d.result, row.result) << row.name;
        EXPECT_EQ(d.text, row.text) << row.name;
        EXPECT_EQ(d.length, row.text.size() + 2) << row.name;
    }
}

// Codes 65, 259, 260, ... each define a string one byte longer than the last:
// the output grows quadratically and soon passes 120000 bytes.
TEST(LzwDecompress, OutputLimitIsRefusedNotOverrun) {
    std::vector<std::pair<uint32_t, int>> codes = {{65, 9}};
    int width = 9;
    for (uint32_t code = 259; code < 1000; ++code) {
        if (code >= (1u << width)) codes.push_back({257, width++});
        codes.push_back({code, width});
    }
    codes.push_back({256, width});
    const Decoded d = Decode(Pack(codes));
    EXPECT_EQ(d.result, LZW_E_CORRUPT);
    EXPECT_LE(d.length - 2, LZW_OUTPUT_CAPACITY);
    EXPECT_GT(d.length - 2, LZW_OUTPUT_CAPACITY - 1000);
    EXPECT_EQ(d.text, std::string(d.length - 2, 'A'));
}

TEST(LzwDecompress, BlockLongerThan65535IsRefused) {
    Bytes block = Pack({{65, 9}, {256, 9}});
    block.resize(65536, 0);
    uint8_t* buffer = reinterpret_cast<uint8_t*>(&block);  // must stay untouched
    uint32_t length = 77;
    EXPECT_EQ(LzwDecompress(block.data(), 65536, &buffer, &length), LZW_E_CORRUPT);
    EXPECT_EQ(length, 77u);
    EXPECT_EQ(buffer, reinterpret_cast<uint8_t*>(&block));
    EXPECT_EQ(Decode(block, 65535).result, LZW_OK);
}

std::vector<std::string> g_messages;
void Record(const char* text, const char* caption, unsigned style) {
    g_messages.push_back(std::string(caption) + "|" + text + "|" + std::to_string(style));
}
size_t g_failSize = 0;
void* FailingAllocate(size_t size) {
    return size == g_failSize ? nullptr : std::malloc(size);
}

TEST(LzwDecompress, StorageFailures) {
    const struct {
        const char* name;
        size_t failSize;
        std::vector<std::string> messages;
    } rows[] = {
        {"output buffer", LZW_OUTPUT_CAPACITY, {"Information|Impossible d'allouer la memoire|0"}},
        {"working storage", 4096 * 8, {}},
    };
    for (const auto& row : rows) {
        g_messages.clear();
        g_failSize = row.failSize;
        g_reportMessage = Record;
        g_lzwAllocate = FailingAllocate;
        const Bytes block = {0x20, 0xC0, 0x00};
        uint8_t* buffer = nullptr;
        uint32_t length = 77;
        const int result = LzwDecompress(block.data(), 3, &buffer, &length);
        g_lzwAllocate = std::malloc;
        g_reportMessage = nullptr;
        EXPECT_EQ(result, LZW_E_NOMEM) << row.name;
        EXPECT_EQ(buffer, nullptr) << row.name;
        EXPECT_EQ(length, 77u) << row.name;
        EXPECT_EQ(g_messages, row.messages) << row.name;
    }
}

// Compressor -> decompressor

std::string FrenchText(size_t size, uint32_t seed) {
    static const std::string words[] = {"le",          "la",         "des",        "une",
                                        "\xE9t\xE9",   "ch\xE2teau", "for\xEAt",   "rivi\xE8re",
                                        "\xE9l\xE8ve", "r\xE9ponse", "no\xEBl",    "fa\xE7on",
                                        "o\xF9",       "c\x9Cur",    "aujourd'hui"};
    std::mt19937 random(seed);
    std::string text;
    while (text.size() < size)
        text += words[random() % std::size(words)] + (random() % 9 == 0 ? ". " : " ");
    text.resize(size);
    return text;
}

Bytes RandomBytes(size_t size, uint32_t seed) {
    std::mt19937 random(seed);
    Bytes b(size);
    for (auto& x : b) x = static_cast<uint8_t>(random());
    return b;
}

TEST(LzwCompress, RoundTrips) {
    auto fromText = [](const std::string& s) { return Bytes(s.begin(), s.end()); };
    Bytes allValues;
    for (int round = 0; round < 40; ++round)
        for (int v = 0; v < 256; ++v) allValues.push_back(static_cast<uint8_t>(v * (round + 1)));
    Bytes cycles;  // repeats that make many codes equal to the next free one
    for (int i = 1; cycles.size() < 100000; ++i) cycles.insert(cycles.end(), i % 97, 'x');

    const struct {
        const char* name;
        Bytes data;
        bool halves;  // text must at least halve
    } rows[] = {
        {"one byte", {0xFF}, false},
        {"two equal bytes", {7, 7}, false},
        {"run of 120000", Bytes(120000, 'a'), true},
        {"text", fromText(FrenchText(100000, 1)), true},
        {"text of exactly 120000", fromText(FrenchText(120000, 2)), true},
        {"random 40000", RandomBytes(40000, 4), false},
        {"all byte values", allValues, false},
        {"growing runs", cycles, true},
    };
    for (const auto& row : rows) {
        Bytes block;
        ASSERT_EQ(LzwCompress(row.data.data(), row.data.size(), block), LZW_COMPRESS_OK)
            << row.name;
        EXPECT_LE(block.size(), row.halves ? row.data.size() / 2 : LZW_MAX_INPUT) << row.name;
        const Decoded d = Decode(block);
        ASSERT_EQ(d.result, LZW_OK) << row.name;
        EXPECT_TRUE(d.text == std::string(row.data.begin(), row.data.end())) << row.name;
    }
}

TEST(LzwCompress, Refusals) {
    const Bytes over = Bytes(LZW_OUTPUT_CAPACITY + 1, 'a');
    const Bytes random = RandomBytes(LZW_OUTPUT_CAPACITY, 6);  // ~12 bits a byte: too large
    const struct {
        const char* name;
        const uint8_t* data;
        size_t size;
        int result;
    } rows[] = {
        {"empty", over.data(), 0, LZW_COMPRESS_EMPTY},
        {"over 120000", over.data(), over.size(), LZW_COMPRESS_TOO_LONG},
        {"block over 65535", random.data(), random.size(), LZW_COMPRESS_TOO_LARGE},
    };
    for (const auto& row : rows) {
        Bytes block = {1, 2, 3};
        EXPECT_EQ(LzwCompress(row.data, row.size, block), row.result) << row.name;
        EXPECT_TRUE(block.empty()) << row.name;
    }
}

}  // namespace
