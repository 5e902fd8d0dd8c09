#include "quiz/lzw.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "tests/quiz/quiz_expect.h"

namespace {

using Codes = std::vector<std::pair<uint32_t, int>>;

// Packs (code, width) pairs MSB first, zero-padded, independently of the compressor.
Bytes Pack(const Codes& codes) {
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

Codes Join(Codes codes, const Codes& more) {
    codes.insert(codes.end(), more.begin(), more.end());
    return codes;
}

TEST(LzwDecompress, HandPackedStreams) {
    // Widened to 12 bits, then the block ends 9 bits into the next code.
    const Codes widened = {{65, 9}, {257, 9}, {257, 10}, {257, 11}};
    // Widened to 32 bits: a 32-bit code starting at bit 469 spans five bytes.
    Codes wide = {{65, 9}};
    for (int w = 9; w < 32; ++w) wide.push_back({257, w});
    // Entries 259..4095 are 3837 codes: one more data code needs a reset first.
    Codes full = {{65, 9}};
    full.resize(1 + LZW_DICTIONARY_SIZE - LZW_FIRST_FREE, {66, 9});
    const std::string body = "A" + std::string(3837, 'B');
    const struct {
        const char* name;
        Bytes block;
        int result;
        std::string text;
    } rows[] = {
        // clang-format off
        {"single literal", {0x20, 0xC0, 0x00}, LZW_OK, "A"},
        {"widen", {0x20, 0xC0, 0x44, 0x24, 0x00}, LZW_OK, "AB"},
        {"reset keeps pending", {0x20, 0x90, 0xA0, 0x44, 0x38, 0x1C, 0x00}, LZW_OK, "ABCBC"},
        {"above next free", {0x20, 0xC1, 0x00}, LZW_E_CORRUPT, ""},
        {"empty", {}, LZW_E_EMPTY, ""},
        {"fewer than 9 bits", {0x20}, LZW_E_EMPTY, ""},
        {"stops inside a code", {0x20, 0x90}, LZW_E_CORRUPT, ""},
        {"first code 321 is a literal", Pack({{321, 9}, {256, 9}}), LZW_OK, "A"},
        {"first code 256 is a literal", Pack({{256, 9}, {66, 9}, {256, 9}}), LZW_OK, {"\0B", 2}},
        {"later 256 ends, rest unread", Pack({{65, 9}, {256, 9}, {999, 9}}), LZW_OK, "A"},
        {"KwKwK chain", Pack({{65, 9}, {66, 9}, {259, 9}, {261, 9}, {256, 9}}), LZW_OK, "ABABABA"},
        {"code spans five bytes", Pack(Join(wide, {{66, 32}, {256, 32}})), LZW_OK, "AB"},
        {"width past 32", Pack(Join(wide, {{257, 32}, {66, 33}, {256, 33}})), LZW_E_CORRUPT, ""},
        {"truncated end code ends normally", Pack(Join(widened, {{256, 9}})), LZW_OK, "A"},
        {"truncated other code", Pack(Join(widened, {{257, 9}})), LZW_E_CORRUPT, ""},
        {"all entries used", Pack(Join(full, {{256, 9}})), LZW_OK, body},
        {"one entry too many", Pack(Join(full, {{67, 9}, {256, 9}})), LZW_E_CORRUPT, body.substr(0, 3837)},
        {"reset before the limit", Pack(Join(full, {{258, 9}, {67, 9}, {259, 9}, {256, 9}})), LZW_OK,
         body + "CBC"},
        {"failure drops pending", Pack({{65, 9}, {66, 9}, {67, 9}, {262, 9}}), LZW_E_CORRUPT, "AB"},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Decoded d = Decode(row.block);
        EXPECT_EQ(d.result, row.result);
        EXPECT_EQ(d.length, row.text.size() + 2);
        EXPECT_EQ(d.text, row.text);
        EXPECT_TRUE(d.outputSet);
    }
}

// Codes 65, 259, 260, ... each define a string one byte longer than the last:
// the output grows quadratically and soon passes 120000 bytes.
TEST(LzwDecompress, OutputLimitIsRefusedNotOverrun) {
    Codes codes = {{65, 9}};
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
    EXPECT_TRUE(length == 77u && buffer == reinterpret_cast<uint8_t*>(&block));
    EXPECT_EQ(Decode(block, 65535).result, LZW_OK);
}

size_t g_failSize = 0;

// The output buffer (reported) or the working storage cannot be had.
TEST(LzwDecompress, StorageFailures) {
    for (size_t failSize : {size_t{LZW_OUTPUT_CAPACITY}, size_t{4096 * 8}}) {
        g_failSize = failSize;
        g_lzwAllocate = [](size_t size) {
            return size == g_failSize ? nullptr : std::malloc(size);
        };
        const Bytes block = {0x20, 0xC0, 0x00};
        uint8_t* buffer = nullptr;
        uint32_t length = 77;
        RecordMessages recorder;
        EXPECT_EQ(LzwDecompress(block.data(), 3, &buffer, &length), LZW_E_NOMEM);
        g_lzwAllocate = std::malloc;
        EXPECT_TRUE(buffer == nullptr && length == 77u) << failSize;
        EXPECT_EQ(g_messages.size(), failSize == LZW_OUTPUT_CAPACITY ? 1u : 0u);
        for (const std::string& message : g_messages)
            EXPECT_EQ(message, "Information|Impossible d'allouer la memoire|0");
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

TEST(LzwCompress, RoundTripsAndRefusals) {
    std::string random(LZW_OUTPUT_CAPACITY, ' ');  // about 12 bits a byte once compressed
    std::mt19937 generator(4);
    for (char& c : random) c = static_cast<char>(generator());
    const struct {
        const char* name;
        std::string data;
        int result;
        bool halves;  // must at least halve
    } rows[] = {
        {"one byte", "\xFF", LZW_COMPRESS_OK, false},
        {"run of 120000", std::string(120000, 'a'), LZW_COMPRESS_OK, true},
        {"text of exactly 120000", FrenchText(120000, 1), LZW_COMPRESS_OK, true},
        {"random 40000", random.substr(0, 40000), LZW_COMPRESS_OK, false},
        {"empty", "", LZW_COMPRESS_EMPTY, false},
        {"over 120000", std::string(120001, 'a'), LZW_COMPRESS_TOO_LONG, false},
        {"block over 65535", random, LZW_COMPRESS_TOO_LARGE, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Bytes block = {1, 2, 3};
        ASSERT_EQ(
            LzwCompress(reinterpret_cast<const uint8_t*>(row.data.data()), row.data.size(), block),
            row.result);
        if (row.result != LZW_COMPRESS_OK) {
            EXPECT_TRUE(block.empty());
            continue;
        }
        EXPECT_LE(block.size(), row.halves ? row.data.size() / 2 : LZW_MAX_INPUT);
        const Decoded d = Decode(block);
        EXPECT_EQ(d.result, LZW_OK);
        EXPECT_TRUE(d.text == row.data);
    }
}

}  // namespace
