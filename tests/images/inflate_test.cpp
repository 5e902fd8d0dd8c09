// The inflater on hand-built streams: each edge case of the format and each
// error code, flat and split over IDAT chunks.
#include <gtest/gtest.h>

#include "images/inflate.h"
#include "tests/images/stream_builder.h"

namespace {

BitWriter Zlib() {
    return std::move(BitWriter().Bits(0x9C78, 16));
}

// A dynamic block whose code-length code gives all 19 symbols 5 bits, so
// code-length symbol s is sent as the 5-bit number s.
BitWriter& DynamicStart(BitWriter& w, int literals, int distances) {
    w.Bits(1, 1).Bits(2, 2).Bits(literals - 257, 5).Bits(distances - 1, 5).Bits(15, 4);
    for (int i = 0; i < 19; ++i) w.Bits(5, 3);
    return w;
}
BitWriter& Lengths(BitWriter& w, std::initializer_list<std::pair<int, int>> symbols) {
    for (auto [symbol, extra] : symbols) {
        w.Code(symbol, 5);
        if (symbol == 16) w.Bits(extra, 2);
        if (symbol == 17) w.Bits(extra, 3);
        if (symbol == 18) w.Bits(extra, 7);
    }
    return w;
}
// 'a', 'b', end of block and length 3 get 2-bit codes 00, 01, 10, 11;
// distance code 0 (distance 1) gets `distanceLength` bits.
BitWriter& AbTables(BitWriter& w, int distanceLength) {
    DynamicStart(w, 258, 1);
    return Lengths(
        w, {{18, 86}, {2, 0}, {2, 0}, {18, 127}, {18, 8}, {2, 0}, {2, 0}, {distanceLength, 0}});
}

struct InflateCase {
    const char* name;
    Bytes input;
    size_t capacity;
    InflateError error;
    std::string output;
    bool chained;
};

std::vector<InflateCase> Cases() {
    std::vector<InflateCase> cases;
    auto add = [&](const char* name, const BitWriter& w, size_t capacity, InflateError error,
                   std::string output) {
        cases.push_back({name, w.bytes(), capacity, error, output, false});
    };
    BitWriter w = Zlib();
    add("stored length 0", Zlib().Stored(true, ""), 10, INFLATE_OK, "");
    add("distance 1 length 258", Zlib().Bits(3, 3).Fixed('x').Fixed(285).Code(0, 5).Fixed(256), 300,
        INFLATE_OK, std::string(259, 'x'));
    w = Zlib().Stored(false, "ab").Bits(2, 3).Fixed('c').Fixed(256);
    AbTables(w, 1).Code(0, 2).Code(1, 2).Code(3, 2).Code(0, 1).Code(2, 2);
    InflateCase mixed = {
        "stored, fixed and dynamic", w.bytes(), 100, INFLATE_OK, "abcabbbb", false};
    cases.push_back(mixed);
    add("no trailer", Zlib().Stored(true, "hi"), 10, INFLATE_OK, "hi");
    add("wrong trailer", Zlib().Stored(true, "hi").Bits(0xFFFF, 16).Bits(0x1234, 16), 10,
        INFLATE_OK, "hi");
    add("header not a multiple of 31", BitWriter().Bits(0x0078, 16).Stored(true, "ok"), 10,
        INFLATE_OK, "ok");
    add("method 7", BitWriter().Bits(0x9C77, 16).Stored(true, "x"), 10, INFLATE_BAD_HEADER, "");
    add("window 8", BitWriter().Bits(0x9C88, 16).Stored(true, "x"), 10, INFLATE_BAD_HEADER, "");
    add("preset dictionary", BitWriter().Bits(0xBB78, 16).Stored(true, "x"), 10, INFLATE_BAD_HEADER,
        "");
    add("block type 3", Zlib().Bits(7, 3).Bits(0, 16), 10, INFLATE_BAD_BLOCK_TYPE, "");
    add("NLEN not the complement", Zlib().Bits(1, 3).Align().Bits(2, 16).Bits(2, 16), 10,
        INFLATE_BAD_STORED_LENGTH, "");
    w = Zlib();
    Lengths(DynamicStart(w, 258, 1), {{16, 0}});
    add("repeat before any length", w, 10, INFLATE_BAD_CODE_LENGTHS, "");
    w = Zlib();
    Lengths(DynamicStart(w, 258, 1), {{18, 127}, {18, 109}, {16, 0}});
    add("16 past the last length", w, 10, INFLATE_BAD_CODE_LENGTHS, "");
    w = Zlib();
    Lengths(DynamicStart(w, 258, 1), {{18, 127}, {18, 109}, {17, 0}});
    add("17 past the last length", w, 10, INFLATE_BAD_CODE_LENGTHS, "");
    w = Zlib();
    Lengths(DynamicStart(w, 258, 1), {{18, 127}, {18, 100}, {18, 0}});
    add("18 past the last length", w, 10, INFLATE_BAD_CODE_LENGTHS, "");
    w = Zlib().Bits(1, 1).Bits(2, 2).Bits(1, 5).Bits(0, 5).Bits(0, 4);
    w.Bits(1, 3).Bits(1, 3).Bits(1, 3).Bits(1, 3).Bits(0, 16);
    add("over-subscribed code-length code", w, 10, INFLATE_BAD_CODE_LENGTHS, "");
    w = Zlib();
    AbTables(w, 0).Code(0, 2).Code(3, 2).Bits(0, 16);
    add("no distance code matches", w, 10, INFLATE_BAD_CODE, "a");
    add("literal/length 286", Zlib().Bits(3, 3).Fixed(286).Bits(0, 16), 10, INFLATE_BAD_SYMBOL, "");
    add("distance code 30", Zlib().Bits(3, 3).Fixed('a').Fixed(257).Code(30, 5).Bits(0, 16), 10,
        INFLATE_BAD_SYMBOL, "a");
    add("distance before the start", Zlib().Bits(3, 3).Fixed('a').Fixed(257).Code(1, 5).Fixed(256),
        10, INFLATE_DISTANCE_TOO_FAR, "a");
    add("stored past the buffer", Zlib().Stored(true, "abc"), 2, INFLATE_OUTPUT_FULL, "");
    add("literal past the buffer", Zlib().Bits(3, 3).Fixed('a').Fixed('b').Fixed('c').Fixed(256), 2,
        INFLATE_OUTPUT_FULL, "ab");
    add("copy past the buffer", Zlib().Bits(3, 3).Fixed('a').Fixed(257).Code(0, 5).Fixed(256), 3,
        INFLATE_OUTPUT_FULL, "a");
    add("empty input", BitWriter(), 10, INFLATE_INPUT_ENDED, "");
    add("header only", Zlib(), 10, INFLATE_INPUT_ENDED, "");
    add("stored block cut short", Zlib().Bits(1, 3).Align().Bits(5, 16).Bits(~5u, 16).Byte('a'), 10,
        INFLATE_INPUT_ENDED, "a");
    add("no end of block", Zlib().Bits(3, 3).Fixed('a'), 10, INFLATE_INPUT_ENDED, "a");

    // The same mixed stream over IDAT chunks, one of them empty.
    Bytes split = Chunk("IDAT", Bytes(mixed.input.begin(), mixed.input.begin() + 3));
    Append(split, Chunk("IDAT", {}));
    Append(split, Chunk("IDAT", Bytes(mixed.input.begin() + 3, mixed.input.end())));
    Append(split, Chunk("IEND", {}));
    cases.push_back({"split over IDATs", split, 100, INFLATE_OK, "abcabbbb", true});
    // An ancillary chunk ends the chain: the last IDAT is never read.
    Bytes broken = Chunk("IDAT", Bytes(mixed.input.begin(), mixed.input.begin() + 9));
    Append(broken, Chunk("tEXt", {'a'}));
    Append(broken, Chunk("IDAT", Bytes(mixed.input.begin() + 9, mixed.input.end())));
    cases.push_back({"chunk between IDATs", broken, 100, INFLATE_INPUT_ENDED, "ab", true});
    // A last IDAT longer than the file is not followed (and not read past).
    Bytes truncated = Chunk("IDAT", Bytes(mixed.input.begin(), mixed.input.begin() + 9));
    Append(truncated, Chunk("IDAT", Bytes(mixed.input.begin() + 9, mixed.input.end())));
    truncated.resize(truncated.size() - 5);
    cases.push_back({"truncated last IDAT", truncated, 100, INFLATE_INPUT_ENDED, "ab", true});
    return cases;
}

TEST(Inflate, HandBuiltStreams) {
    for (const InflateCase& c : Cases()) {
        SCOPED_TRACE(c.name);
        // Exactly sized copies, so a read or write past either end is caught.
        Bytes input = c.input;
        std::vector<unsigned char> output(c.capacity);
        const unsigned char* begin = input.empty() ? nullptr : input.data();
        InflateInput source = c.chained ? IdatInflateInput(begin, begin + input.size())
                                        : FlatInflateInput(begin, input.size());
        size_t written = 12345;
        EXPECT_EQ(InflateZlib(source, output.data(), output.size(), &written), c.error);
        ASSERT_LE(written, output.size());
        EXPECT_EQ(std::string(output.begin(), output.begin() + written), c.output);
    }
}

}  // namespace
