#include "answers/answer_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Normalized(std::string text) {
    NormalizeAnswer(text.data());
    return std::string(text.c_str());
}

bool IsVerdict(const char* verdict) {
    return std::find(std::begin(VERDICT_TEXTS), std::end(VERDICT_TEXTS), verdict) !=
           std::end(VERDICT_TEXTS);
}

// The textbook full table, kept as an oracle for the one-row version.
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

TEST(NormalizeAnswer, SpacesAndCodePageUpperCase) {
    const struct {
        const char* input;
        const char* expected;
    } rows[] = {
        {"", ""},
        {"   ", ""},
        {"  chat  ", "CHAT"},
        {"marie   curie", "MARIE CURIE"},
        // Only the space byte is squeezed; a tab is an ordinary character.
        {"a\tb", "A\tB"},
        {"\t a", "\t A"},
        // Accents are kept, small accented letters become their capitals.
        {"\xE9l\xE8ve", "\xC9L\xC8VE"},
        {"\xE0\xE7\xEF\xF4\xFB\xFE", "\xC0\xC7\xCF\xD4\xDB\xDE"},
        // The code page's own pairs outside E0..FE.
        {"c\x9Cur", "C\x8CUR"},
        {"\x9A\x9E\xFF", "\x8A\x8E\x9F"},
        // The division sign is no letter; sharp s and mu have no capital here.
        {"6\xF7(2)", "6\xF7(2)"},
        {"\xDF\xB5", "\xDF\xB5"},
        {"zZ{`@", "ZZ{`@"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Normalized(row.input), row.expected) << testing::PrintToString(row.input);
    }
}

TEST(NormalizeAnswer, LongTextAndNull) {
    EXPECT_EQ(Normalized(std::string(5000, ' ') + "fin" + std::string(3000, ' ') + "x"), "FIN X");
    NormalizeAnswer(nullptr);  // must simply return
}

TEST(EditDistance, OnlyTheFirst259BytesCount) {
    const std::string a(400, 'A');
    std::string b(259, 'A');
    b += std::string(141, 'B');
    EXPECT_EQ(EditDistance(a.data(), 400, b.data(), 400), 0);
    EXPECT_EQ(EditDistance(a.data(), 400, b.data(), 258), 1);
    EXPECT_EQ(EditDistance(a.data(), -5, b.data(), 3), 3);
    EXPECT_EQ(EditDistance(nullptr, 7, b.data(), 2), 2);
}

TEST(FindInside, WhichTextOccursInWhich) {
    const struct {
        const char* expected;
        const char* typed;
        int result;
    } rows[] = {
        {"CHAT", "C", FOUND_TYPED_IN_EXPECTED},
        {"CHAT", "TA", FOUND_NOWHERE},
        {"PARIS", "PARIS FRANCE", FOUND_EXPECTED_IN_TYPED},
        {"PARIS", "PARI S", FOUND_NOWHERE},
        {"CHAT", "CHAT", FOUND_EXPECTED_IN_TYPED},
        // Occurrences that overlap a failed partial match.
        {"AAAB", "AAB", FOUND_TYPED_IN_EXPECTED},
        {"XAAAAAABXX", "AAAAAB", FOUND_TYPED_IN_EXPECTED},
        {"ABABAC", "ABAC", FOUND_TYPED_IN_EXPECTED},
        {"", "A", FOUND_NOWHERE},
        {"A", "", FOUND_NOWHERE},
    };
    for (const auto& row : rows) {
        const int e = static_cast<int>(std::strlen(row.expected));
        const int t = static_cast<int>(std::strlen(row.typed));
        EXPECT_EQ(FindInside(row.expected, e, row.typed, t), row.result)
            << row.expected << " / " << row.typed;
    }
}

// Twenty different letters: any part of it occurs once, and a prefix of
// length n is 20 - n edits away.
const std::string kLong20 = "ABCDEFGHIJKLMNOPQRST";

TEST(ChooseVerdict, Ladder) {
    const std::string parisIn20 = "VILLE DE PARIS ICI!!";   // 20 characters
    const std::string parisIn21 = "VILLE DE PARIS ICI!!!";  // 21 characters
    const std::string long250 = std::string(250, 'Q');
    const struct {
        std::string expected;
        std::string typed;
        const char* verdict;
    } rows[] = {
        // CHAT: every rung below containment.
        {"CHAT", "chat", VERDICT_BRAVO},
        {"CHAT", "  chat  ", VERDICT_BRAVO},
        {"CHAT", "CHTA", VERDICT_ANAGRAMME},
        {"CHAT", "CHAP", VERDICT_QUASIMENT},
        {"CHAT", "CH", VERDICT_PRESQUE},
        {"CHAT", "C", VERDICT_FAUX},
        {"CHAT", "CHIEN", VERDICT_FAUX},
        {"CHAT", "", VERDICT_EMPTY},
        {"CHAT", "     ", VERDICT_EMPTY},
        // Three characters or fewer: no hints at all (e = 3 against e = 4).
        {"OUI", "oui", VERDICT_BRAVO},
        {"OUI", "non", VERDICT_FAUX},
        {"OUI", "ou", VERDICT_FAUX},
        {"OUI", "UIO", VERDICT_FAUX},
        {"OUI", "", VERDICT_EMPTY},
        {"OUIS", "OUI", VERDICT_QUASIMENT},
        {"OUIS", "SIUO", VERDICT_ANAGRAMME},
        {"", "X", VERDICT_FAUX},
        {"", "", VERDICT_EMPTY},
        // MARIE CURIE: distance rungs come before containment.
        {"MARIE CURIE", "marie   curie", VERDICT_BRAVO},
        {"MARIE CURIE", "MARIE", VERDICT_FAUX},
        {"MARIE CURIE", "MARIE CU", VERDICT_TROP_COURT},
        {"MARIE CURIE", "MARIE C", VERDICT_PAS_LOIN},
        {"MARIE CURIE", "MARIE CURI", VERDICT_QUASIMENT},
        {"MARIE CURIE", "MARIE CUR", VERDICT_PRESQUE},
        {"MARIE CURIE", "CURIE MARIE", VERDICT_ANAGRAMME},
        // The expected answer inside the typed one: t = 4e against 4e + 1.
        {"PARIS", "PARIS FRANCE", VERDICT_TROP_LONG},
        {"PARIS", parisIn20, VERDICT_TROP_LONG},
        {"PARIS", parisIn21, VERDICT_PAS_LOIN},
        // Distance 3, no containment, 24 > 5 * 3.
        {"ANTICONSTITUTIONNELLEMENT", "ANTIKONSTITUSIONELLEMENT", VERDICT_IDEE},
        // Accents are not folded.
        {"\xE9l\xE8ve", "\xC9L\xC8VE", VERDICT_BRAVO},
        {"\xE9l\xE8ve", "\xE9l\xE8ve", VERDICT_BRAVO},
        {"\xE9l\xE8ve", "ELEVE", VERDICT_PRESQUE},
        // Mended: the overlapping occurrence is found, 60 % gives "Pas loin".
        {"XAAAAAABXX", "AAAAAB", VERDICT_PAS_LOIN},
        // Mended: the code page's own upper case.
        {"C\x8CUR", "c\x9Cur", VERDICT_BRAVO},
        {"\x8AKODA", "\x9Akoda", VERDICT_BRAVO},
        {"\x8EUPA", "\x9Eupa", VERDICT_BRAVO},
        {"L\x9FS", "l\xFFs", VERDICT_BRAVO},
        {"GRO\xDF", "gro\xFF", VERDICT_QUASIMENT},
        {"6\xD7(2)=12", "6\xF7(2)=12", VERDICT_QUASIMENT},
        // Containment of a part: e = 9 gives no hint, e = 10 does.
        {"ABCDEFGHI", "ABCDEF", VERDICT_FAUX},
        {"ABCDEFGHIJ", "ABCDEFG", VERDICT_PAS_LOIN},
        // 10t = 7e is still "Pas loin", one more is "Trop court".
        {kLong20, kLong20.substr(0, 14), VERDICT_PAS_LOIN},
        {kLong20, kLong20.substr(0, 15), VERDICT_TROP_COURT},
        // 2t = e is "FAUX", one more is "Pas loin".
        {kLong20, kLong20.substr(0, 10), VERDICT_FAUX},
        {kLong20, kLong20.substr(5, 11), VERDICT_PAS_LOIN},
        // m = 5D is "FAUX", m = 5D + 1 is "y a de l'idée" (D = 3, no containment).
        {"ABCDEFGHIJKLMNO", "XBCDEXGHIJKXMNO", VERDICT_FAUX},
        {"ABCDEFGHIJKLMNOP", "XBCDEXGHIJKXMNOP", VERDICT_IDEE},
        // Longer than a field: judged on the first 259 characters.
        {long250 + "ABCDEFGHI", long250 + "ABCDEFGHI" + "EXTRA", VERDICT_BRAVO},
        {long250 + "ABCDEFGHIJ", long250 + "ABCDEFGHI", VERDICT_BRAVO},
    };
    for (const auto& row : rows) {
        const char* verdict = ChooseVerdict(row.expected.c_str(), row.typed.c_str());
        EXPECT_STREQ(verdict, row.verdict)
            << testing::PrintToString(row.expected) << " / " << testing::PrintToString(row.typed);
    }
}

TEST(ChooseVerdict, ArgumentsAreLeftAlone) {
    char expected[] = "  marie curie ";
    char typed[] = " MARIE  CURIE";
    EXPECT_STREQ(ChooseVerdict(expected, typed), VERDICT_BRAVO);
    EXPECT_STREQ(expected, "  marie curie ");
    EXPECT_STREQ(typed, " MARIE  CURIE");
    EXPECT_STREQ(ChooseVerdict(nullptr, "A"), VERDICT_FAUX);
    EXPECT_STREQ(ChooseVerdict("CHAT", nullptr), VERDICT_EMPTY);
}

// Random texts over a small alphabet, so near misses and containment happen
// often, checked against the properties every verdict must keep.
TEST(Properties, RandomPairs) {
    std::mt19937 random(12345);
    const char alphabet[] = {'A', 'B', 'C', ' ', 'a', '\xE9', '\xC9', '\x9C'};
    auto randomText = [&](int maxLength) {
        std::string text(random() % (maxLength + 1), ' ');
        for (char& c : text) c = alphabet[random() % sizeof alphabet];
        return text;
    };
    for (int round = 0; round < 3000; ++round) {
        const int maxLength = round % 10 == 0 ? 300 : 14;
        const std::string a = randomText(maxLength);
        const std::string b = randomText(maxLength);
        const int aLength = static_cast<int>(std::min<size_t>(a.size(), ANSWER_TEXT_MAX));
        const int bLength = static_cast<int>(std::min<size_t>(b.size(), ANSWER_TEXT_MAX));
        const int ab = EditDistance(a.data(), aLength, b.data(), bLength);
        ASSERT_EQ(ab, EditDistance(b.data(), bLength, a.data(), aLength)) << a << "|" << b;
        ASSERT_EQ(ab == 0, a.compare(0, aLength, b, 0, bLength) == 0) << a << "|" << b;
        ASSERT_LE(ab, std::max(aLength, bLength));
        if (maxLength < 100) {
            ASSERT_EQ(ab, ReferenceDistance(a, b)) << a << "|" << b;
        }

        const char* verdict = ChooseVerdict(a.c_str(), b.c_str());
        ASSERT_TRUE(IsVerdict(verdict)) << a << "|" << b;
        // "BRAVO" means the normalised texts are equal, and equal ones are "BRAVO".
        const std::string na = Normalized(a.substr(0, ANSWER_TEXT_MAX));
        const std::string nb = Normalized(b.substr(0, ANSWER_TEXT_MAX));
        if (!nb.empty()) {
            ASSERT_EQ(verdict == VERDICT_BRAVO, na == nb) << a << "|" << b;
        }
        // Normalising twice changes nothing.
        ASSERT_EQ(Normalized(na), na);
    }
}

}  // namespace
