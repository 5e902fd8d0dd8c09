#include "answers/answer_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

// The textbook full table, an oracle for the one-row version.
int ReferenceDistance(const std::string& a, const std::string& b) {
    std::vector<std::vector<int>> d(a.size() + 1, std::vector<int>(b.size() + 1));
    for (size_t i = 0; i <= a.size(); ++i) d[i][0] = static_cast<int>(i);
    for (size_t j = 0; j <= b.size(); ++j) d[0][j] = static_cast<int>(j);
    for (size_t i = 1; i <= a.size(); ++i) {
        for (size_t j = 1; j <= b.size(); ++j) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1,
                                d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
        }
    }
    return d[a.size()][b.size()];
}

TEST(NormalizeAnswer, SpacesCodePageUpperCaseTwinsAndFinalMarks) {
    const struct {
        std::string input;
        std::string expected;
    } rows[] = {
        {" a  \tb ", "A \tB"},  // only the space bytes are squeezed
        // Accents kept, the code page's own pairs; division sign, sharp s, mu stay.
        {"\xE9l\xE8ve\xFE c\x9A\x9E\xFF", "\xC9L\xC8VE\xDE C\x8A\x8E\x9F"},
        {"6\xF7\xDF\xB5zZ{@", "6\xF7\xDF\xB5ZZ{@"},
        // Twins: quotes and accents alone, guillemets, dashes, no-break space, ligatures.
        {"l\x92o \x91p\xB4 `q`", "L'O 'P' 'Q'"},
        {"\xAB\xA0x\xA0\xBB \x93y\x94 g\x96h\x97i", "\" X \" \"Y\" G-H-I"},
        {"c\x9Cur \x8C \xE6 \xC6", "COEUR OE AE AE"},
        // Final marks after something else, and the spaces before them.
        {"vraiment ?! ...\x85", "VRAIMENT"},
        {"! .", "! ."},
        {"a.b", "A.B"},
        // At most 259 bytes are read and written: a ligature that no longer fits is cut.
        {std::string(257, ' ') + "fin", "FI"},
        {std::string(300, 'x'), std::string(259, 'X')},
        {std::string(258, 'x') + "\x9C", std::string(258, 'X')},
    };
    for (const auto& row : rows) {
        char out[ANSWER_TEXT_SIZE];
        EXPECT_EQ(NormalizeAnswer(row.input.c_str(), out), static_cast<int>(row.expected.size()));
        EXPECT_EQ(out, row.expected) << testing::PrintToString(row.input);
    }
}

// Twenty different letters: any part occurs once, a prefix of n is 20 - n away.
const char kLong20[] = "ABCDEFGHIJKLMNOPQRST";

TEST(ChooseVerdict, Ladder) {
    const struct {
        std::vector<const char*> forms;
        std::string typed;
        const char* verdict;
        bool tolerated = false;
    } rows[] = {
        // Every rung is met below, at its edges where it has them.
        {{"PARIS"}, "VILLE DE PARIS ICI##", VERDICT_TROP_LONG},  // t = 4e against 4e + 1
        {{"PARIS"}, "VILLE DE PARIS ICI###", VERDICT_PAS_LOIN},
        // clang-format off
        // Accents: a near miss at any length, either way round, unless tolerated.
        {{"\xE9l\xE8ve"}, "eleve", VERDICT_BRAVO, true}, {{"o\xF9"}, "ou", VERDICT_ACCENTS},
        {{"ou"}, "o\xF9", VERDICT_ACCENTS},
        {{"\xC0\xC7\xCB\xCF\xD1\xD8\xDC\xDD\x9F\x8A\x8E"}, "acei\xF1oUyY\x9Az", VERDICT_ACCENTS},
        {{"\xE9l\xE8ves"}, "eleve", VERDICT_FAUX},  // with a letter wrong too, accents count
        // Twins: œ is OE, while ö is one letter.
        {{"c\x9Cur"}, "coeur", VERDICT_BRAVO}, {{"c\x9Cur"}, "c\xF6ur", VERDICT_PRESQUE},
        // Numbers: by value when both are numbers, otherwise as text.
        {{"0,5"}, "0.5", VERDICT_BRAVO}, {{"-0"}, "+0,0", VERDICT_BRAVO},
        {{"007"}, "7", VERDICT_BRAVO}, {{"-12,5"}, "12.5", VERDICT_PRESQUE},
        {{"1000000"}, "1\xA0" "000 000,000", VERDICT_BRAVO}, {{"12,"}, "12", VERDICT_FAUX},
        {{"10 00"}, "1000", VERDICT_QUASIMENT}, {{"1000 000"}, "1000000", VERDICT_QUASIMENT},
        {{"12,5"}, "12,5,0", VERDICT_PRESQUE}, {{"1000,5"}, "1 000 ,5", VERDICT_PRESQUE},
        // Several forms: any one solves, otherwise the best hint over them all; eight at most.
        {{"ABCD", "ECRITS", "\xC9" "CRIT"}, "ABDC", VERDICT_ANAGRAMME},
        {{"ABCD", "ECRITS", "\xC9" "CRIT"}, "ECRIT", VERDICT_ACCENTS},  // before "Quasiment"
        {{"A", "B", "C", "D", "E", "F", "G", "H", "I"}, "I", VERDICT_FAUX},
        {{"A", "B", "C", "D", "E", "F", "G", "H", "I"}, "H", VERDICT_BRAVO},
        // clang-format on
        // One edit away comes before containment.
        {{"ABCDEFGHIJ"}, "ABCDEFGHI", VERDICT_QUASIMENT},
        // Mended: the overlapping occurrence is found, 60 % gives "Pas loin".
        {{"XAAAAAABXX"}, "AAAAAB", VERDICT_PAS_LOIN},
        // Containment of a part: e = 9 gives no hint, e = 10 does.
        {{"ABCDEFGHI"}, "ABCDEF", VERDICT_FAUX},
        {{"ABCDEFGHIJ"}, "ABCDEFG", VERDICT_PAS_LOIN},
        // 10t = 7e is still "Pas loin", one more is "Trop court".
        {{kLong20}, std::string(kLong20, 14), VERDICT_PAS_LOIN},
        {{kLong20}, std::string(kLong20, 15), VERDICT_TROP_COURT},
        // 2t = e is "FAUX", one more is "Pas loin".
        {{kLong20}, std::string(kLong20, 10), VERDICT_FAUX},
        {{kLong20}, std::string(kLong20 + 5, 11), VERDICT_PAS_LOIN},
        // m = 5D is "FAUX", 5D + 1 is "y a de l'idée" (D = 3, no containment).
        {{"ABCDEFGHIJKLMNO"}, "XBCDEXGHIJKXMNO", VERDICT_FAUX},
        {{"ABCDEFGHIJKLMNOP"}, "XBCDEXGHIJKXMNOP", VERDICT_IDEE},
    };
    for (const auto& row : rows) {
        JudgingOptions options;
        options.accentsTolerated = row.tolerated;
        EXPECT_STREQ(ChooseVerdict(row.forms.data(), static_cast<int>(row.forms.size()),
                                   row.typed.c_str(), options),
                     row.verdict)
            << testing::PrintToString(row.forms[0]) << " / " << testing::PrintToString(row.typed);
    }
}

TEST(ChooseVerdict, NullInputs) {
    EXPECT_STREQ(ChooseVerdict(nullptr, "A"), VERDICT_FAUX);
    EXPECT_STREQ(ChooseVerdict("CHAT", nullptr), VERDICT_EMPTY);
    EXPECT_STREQ(ChooseVerdict(nullptr, 3, "A", JudgingOptions()), VERDICT_FAUX);
    EXPECT_EQ(EditDistance("XYZ", -5, "XYZ", 3), 3);
    EXPECT_EQ(EditDistance(nullptr, 7, "AB", 2), 2);
}

// Random texts over a small alphabet, so near misses are common, up to beyond
// a field's length (the distance takes its first 259 bytes).
TEST(EditDistance, AgreesWithTheTextbookTable) {
    std::mt19937 random(12345);
    const char alphabet[] = {'A', 'B', 'C', ' ', 'a', '\xDF', '\xD7', ',', '\'', '-'};
    auto randomText = [&](int maxLength) {
        std::string text(random() % (maxLength + 1), ' ');
        for (char& c : text) c = alphabet[random() % sizeof alphabet];
        return text;
    };
    for (int round = 0; round < 3000; ++round) {
        const int maxLength = round % 10 == 0 ? 300 : 14;
        const std::string a = randomText(maxLength), b = randomText(maxLength);
        SCOPED_TRACE(a + "|" + b);
        ASSERT_EQ(EditDistance(a.data(), static_cast<int>(a.size()), b.data(),
                               static_cast<int>(b.size())),
                  ReferenceDistance(a.substr(0, ANSWER_TEXT_MAX), b.substr(0, ANSWER_TEXT_MAX)));
    }
}

}  // namespace
