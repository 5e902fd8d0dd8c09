// The inflater on hand-built streams, flat and split over IDAT chunks.
#include <gtest/gtest.h>

#include "images/inflate.h"
#include "tests/images/stream_builder.h"

namespace {

struct Case {
    const char* name;
    Bytes input;
    InflateError error;
    std::string output = "";
    bool chained = false;  // `input` is IDAT chunks
};

TEST(Inflate, HandBuiltStreams) {
    const InflateError OK = INFLATE_OK, ENDED = INFLATE_INPUT_ENDED,
                       BAD_LENGTHS = INFLATE_BAD_CODE_LENGTHS;
    // Stored "ab", fixed "c", then dynamic a, b, length 3 at distance 1, end of block. Buffers too
    // small for what comes are left to the zlib oracle.
    const Bytes mixed =
        AbBlock(Zlib().Stored(false, "ab").Bits(2, 3).Fixed('c').Fixed(256), 2, 2, 2, 1)
            .Code(0x3A, 9)
            .bytes;
    const size_t n = mixed.size();
    auto idat = [&](size_t from, size_t to) {
        return Chunk("IDAT", Bytes(mixed.begin() + from, mixed.begin() + to));
    };
    auto fixedA = [] { return Zlib().Bits(3, 3).Fixed('a'); };  // a last fixed block
    const Case cases[] = {
        {"no trailer", Zlib().Stored(true, "hi").bytes, OK, "hi"},
        {"method 7", BitWriter().Bits(0x9C77, 16).Stored(true, "x").bytes, INFLATE_BAD_HEADER},
        {"preset dictionary", BitWriter().Bits(0xBB78, 16).bytes, INFLATE_BAD_HEADER},
        {"block type 3", Zlib().Bits(7, 3).Bits(0, 16).bytes, INFLATE_BAD_BLOCK_TYPE},
        {"bad NLEN", Zlib().Bits(1, 3).Align().Bits(0x20002, 32).bytes, INFLATE_BAD_STORED_LENGTH},
        {"16 first", Dynamic(Zlib(), 258, 1, {{16, 0}}).bytes, BAD_LENGTHS},
        // 138 + 111 zeros leave 10 lengths of 259: a repeat of 11 runs past them.
        {"18 past the end", Dynamic(Zlib(), 258, 1, {{18, 127}, {18, 100}, {18, 0}}).bytes,
         BAD_LENGTHS},
        // Four code-length codes of 1 bit.
        {"over-subscribed", Zlib().Bits(5, 3).Bits(1, 14).Bits(0x249, 12).Bits(0, 16).bytes,
         BAD_LENGTHS},
        {"no distance code", AbBlock(Zlib(), 2, 2, 2, 0).Code(0, 2).Code(3, 2).Bits(0, 16).bytes,
         INFLATE_BAD_CODE, "a"},
        {"literal/length 286", Zlib().Bits(3, 3).Fixed(286).Bits(0, 16).bytes, INFLATE_BAD_SYMBOL},
        {"distance code 30", fixedA().Fixed(257).Code(30, 5).Bits(0, 16).bytes, INFLATE_BAD_SYMBOL,
         "a"},
        {"distance too far", fixedA().Fixed(257).Code(1, 5).Fixed(256).bytes,
         INFLATE_DISTANCE_TOO_FAR, "a"},
        {"empty input", {}, ENDED},
        {"stored block cut short", Drop(Zlib().Stored(true, "abcde").bytes, 4), ENDED, "a"},
        {"no end of block", fixedA().bytes, ENDED, "a"},
        {"split over IDATs, one empty",
         Cat({idat(0, 3), idat(3, 3), idat(3, n), Chunk("IEND", {})}), OK, "abcabbbb", true},
        // Another chunk ends the chain: the last IDAT is never read.
        {"chunk between IDATs", Cat({idat(0, 9), Chunk("tEXt", {'a'}), idat(9, n)}), ENDED, "ab",
         true},
        // A last IDAT longer than the file is not followed.
        {"truncated last IDAT", Drop(Cat({idat(0, 9), idat(9, n)}), 5), ENDED, "ab", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes input = c.input, output(10);  // exact sizes: ASan sees any overrun
        const unsigned char* begin = input.empty() ? nullptr : input.data();
        size_t written = 12345;
        EXPECT_EQ(InflateZlib(c.chained ? IdatInflateInput(begin, begin + input.size())
                                        : FlatInflateInput(begin, input.size()),
                              output.data(), output.size(), &written),
                  c.error);
        ASSERT_LE(written, output.size());
        EXPECT_EQ(std::string(output.begin(), output.begin() + written), c.output);
    }
}

}  // namespace
