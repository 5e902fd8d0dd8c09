#include "tools/windows1252.h"

#include <gtest/gtest.h>

namespace {

struct Conversion {
    const char* utf8;
    const char* bytes;  // null: refused
    uint32_t refused;
};

TEST(Windows1252, ConvertsWhatItCanAndNamesWhatItCannot) {
    const Conversion rows[] = {
        {"abc", "abc", 0},
        {"\xC3\xA9t\xC3\xA9", "\xE9t\xE9", 0},                   // été: Latin-1 range
        {"\xE2\x82\xAC", "\x80", 0},                             // euro sign
        {"\xC5\x93uf", "\x9Cuf", 0},                             // œ from the 0x80-0x9F block
        {"\xE2\x80\x99", "\x92", 0},                             // right single quotation mark
        {"\xC5\xB8", "\x9F", 0},                                 // Ÿ, the last of the block
        {"\xC2\x81", "\x81", 0},                                 // an unassigned byte's control
        {"\xC5\x91", nullptr, 0x151},                            // ő
        {"ok \xE2\x82\xAC \xF0\x9F\x98\x80", nullptr, 0x1F600},  // emoji after good text
        {"\xC2\x80", nullptr, 0x80},    // U+0080 is not byte 0x80 (that is the euro)
        {"\xFF", nullptr, 0xFFFD},      // malformed input is refused, not guessed
        {"\xE2\x82", nullptr, 0xFFFD},  // truncated sequence
    };
    for (const Conversion& row : rows) {
        Windows1252Result r = Utf8ToWindows1252(row.utf8);
        if (row.bytes != nullptr) {
            EXPECT_TRUE(r.ok) << row.utf8;
            EXPECT_EQ(r.text, row.bytes) << row.utf8;
        } else {
            EXPECT_FALSE(r.ok) << row.utf8;
            EXPECT_EQ(r.badCodePoint, row.refused) << row.utf8;
        }
    }
}

TEST(Windows1252, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    Windows1252Result back = Utf8ToWindows1252(Windows1252ToUtf8(all));
    ASSERT_TRUE(back.ok) << CodePointName(back.badCodePoint);
    EXPECT_EQ(back.text, all);
}

}  // namespace
