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
Bytes Pack(Codes codes, const Codes& more = {}) {
    codes.insert(codes.end(), more.begin(), more.end());
    Bytes out;
    size_t bit = 0;
    for (const auto& [code, width] : codes) {
        for (int i = width - 1; i >= 0; --i, ++bit) {
            if (bit % 8 == 0) out.push_back(0);
            out.back() =
                static_cast<uint8_t>(out.back() | (uint64_t{code} >> i & 1u) << (7 - bit % 8));
        }
    }
    return out;
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
        {"reset keeps pending", {0x20, 0x90, 0xA0, 0x44, 0x38, 0x1C, 0x00}, LZW_OK, "ABCBC"},
        {"empty", {}, LZW_E_EMPTY, ""},
        {"first code 256 is a literal", Pack({{256, 9}, {66, 9}, {256, 9}}), LZW_OK, {"\0B", 2}},
        {"code spans five bytes", Pack(wide, {{66, 32}, {256, 32}}), LZW_OK, "AB"},
        {"width past 32", Pack(wide, {{257, 32}, {66, 33}, {256, 33}}), LZW_E_CORRUPT, ""},
        {"truncated end code ends normally", Pack(widened, {{256, 9}}), LZW_OK, "A"},
        {"truncated other code", Pack(widened, {{257, 9}}), LZW_E_CORRUPT, ""},
        {"all entries used", Pack(full, {{256, 9}}), LZW_OK, body},
        {"one entry too many", Pack(full, {{67, 9}, {256, 9}}), LZW_E_CORRUPT, body.substr(0, 3837)},
        {"reset before the limit", Pack(full, {{258, 9}, {67, 9}, {259, 9}, {256, 9}}), LZW_OK,
         body + "CBC"},
        {"failure drops pending", Pack({{65, 9}, {66, 9}, {67, 9}, {262, 9}}), LZW_E_CORRUPT, "AB"},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Decoded d = Decode(row.block);
        EXPECT_EQ(d.result, row.result);
        EXPECT_TRUE(d.outputSet && d.length == row.text.size() + 2) << d.length;
        EXPECT_EQ(d.text, row.text);
    }
}

// Codes 65, 259, 260, ... each define a string one byte longer: the output soon passes 120000.
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
    EXPECT_TRUE(d.length - 2 <= LZW_OUTPUT_CAPACITY && d.length - 2 > LZW_OUTPUT_CAPACITY - 1000);
    EXPECT_EQ(d.text, std::string(d.length - 2, 'A'));
}

size_t g_failSize = 0;

// Refusals give back neither buffer nor length; only a missing output buffer is reported.
TEST(LzwDecompress, RefusalsLeaveNoOutput) {
    Bytes big = Pack({{65, 9}, {256, 9}});
    big.resize(65536, 0);
    const Texts noMemory = {"Information|Impossible d'allouer la memoire|0"};
    const struct {
        const char* name;
        Bytes block;
        size_t failSize;
        int result;
        std::vector<std::string> messages;
    } rows[] = {
        {"block over 65535", big, 0, LZW_E_CORRUPT, {}},
        {"no output buffer", {0x20, 0xC0}, LZW_OUTPUT_CAPACITY, LZW_E_NOMEM, noMemory},
        {"no dictionary", {0x20, 0xC0}, 4096 * 8, LZW_E_NOMEM, {}},
    };
    g_lzwAllocate = [](size_t size) { return size == g_failSize ? nullptr : std::malloc(size); };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        g_failSize = row.failSize;
        RecordMessages recorder;
        const Decoded d = Decode(row.block);
        EXPECT_TRUE(d.result == row.result && d.length == 0xDEADBEEF && !d.outputSet);
        EXPECT_EQ(g_messages, row.messages);
    }
    g_lzwAllocate = std::malloc;
    big.pop_back();
    EXPECT_EQ(Decode(big).result, LZW_OK);
}

// Compressor -> decompressor on 120000 bytes of words; its other limits are the writer's refusals.
TEST(LzwCompress, RoundTripsAtLeastHalvingAndRefusesNothing) {
    std::mt19937 generator(4);
    const char* words[] = {"le ", "des ", "\xE9t\xE9 ", "rivi\xE8re ", "r\xE9ponse. "};
    std::string text;
    while (text.size() < LZW_OUTPUT_CAPACITY) text += words[generator() % std::size(words)];
    text.resize(LZW_OUTPUT_CAPACITY);
    Bytes block;
    ASSERT_EQ(LzwCompress(reinterpret_cast<const uint8_t*>(text.data()), text.size(), block),
              LZW_COMPRESS_OK);
    EXPECT_LE(block.size(), text.size() / 2);
    const Decoded d = Decode(block);
    EXPECT_EQ(d.result, LZW_OK);
    EXPECT_TRUE(d.text == text);
    block = {1, 2, 3};
    EXPECT_EQ(LzwCompress(nullptr, 0, block), LZW_COMPRESS_EMPTY);
    EXPECT_TRUE(block.empty());
}

}  // namespace
