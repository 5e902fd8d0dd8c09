#include "authoring/windows1252.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

TEST(Windows1252, NamesWhatHasNoFormAndRefusesMalformedText) {
    const std::pair<const char*, const char*> rows[] = {
        {"ok \xE2\x82\xAC \xF0\x9F\x98\x80", "refused U+1F600"},  // emoji after good text
        {"\xC2\x80", "refused U+0080"},  // U+0080 is not byte 0x80 (that is the euro)
        {"\xFF", "refused U+FFFD"},      // malformed input is refused, not guessed
        {"\xE2\x82", "refused U+FFFD"},  // truncated sequence
    };
    for (const auto& [utf8, expected] : rows) {
        const Windows1252Result r = Utf8ToWindows1252(utf8);
        EXPECT_EQ(r.ok ? r.text : "refused " + CodePointName(r.badCodePoint), expected) << utf8;
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
