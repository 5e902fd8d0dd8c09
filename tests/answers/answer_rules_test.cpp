#include "answers/answer_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Normalized(std::string text) {
    NormalizeAnswer(text.data());
    return std::string(text.c_str());
}

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

TEST(NormalizeAnswer, SpacesAndCodePageUpperCase) {
    const struct {
        std::string input;
        const char* expected;
    } rows[] = {
        {"  marie   curie ", "MARIE CURIE"},
        {"a\tb", "A\tB"},  // only the space byte is squeezed
        // Accents kept, the code page's own pairs; division sign, sharp s, mu stay.
        {"\xE9l\xE8ve\xFE c\x9C\x9A\x9E\xFF", "\xC9L\xC8VE\xDE C\x8C\x8A\x8E\x9F"},
        {"6\xF7\xDF\xB5zZ{`@", "6\xF7\xDF\xB5ZZ{`@"},
        {std::string(5000, ' ') + "fin" + std::string(3000, ' ') + "x", "FIN X"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Normalized(row.input), row.expected) << testing::PrintToString(row.input);
    }
    NormalizeAnswer(nullptr);  // must simply return
}

// Twenty different letters: any part occurs once, a prefix of n is 20 - n away.
const std::string kLong20 = "ABCDEFGHIJKLMNOPQRST";

TEST(ChooseVerdict, Ladder) {
    const std::string long250(250, 'Q');
    const struct {
        std::string expected, typed;
        const char* verdict;
    } rows[] = {
        // CHAT: every rung below containment.
        {"CHAT", "  chat  ", VERDICT_BRAVO},
        {"CHAT", "CHTA", VERDICT_ANAGRAMME},
        {"CHAT", "CHAP", VERDICT_QUASIMENT},
        {"CHAT", "CH", VERDICT_PRESQUE},
        {"CHAT", "CHIEN", VERDICT_FAUX},
        {"CHAT", "     ", VERDICT_EMPTY},
        // Three characters or fewer: no hints (e = 3 against e = 4).
        {"OUI", "oui", VERDICT_BRAVO},
        {"OUI", "ou", VERDICT_FAUX},
        {"OUI", "UIO", VERDICT_FAUX},
        {"OUIS", "OUI", VERDICT_QUASIMENT},
        {"", "X", VERDICT_FAUX},
        // MARIE CURIE: distance rungs come before containment.
        {"MARIE CURIE", "marie   curie", VERDICT_BRAVO},
        {"MARIE CURIE", "MARIE", VERDICT_FAUX},
        {"MARIE CURIE", "MARIE CU", VERDICT_TROP_COURT},
        {"MARIE CURIE", "MARIE C", VERDICT_PAS_LOIN},
        {"MARIE CURIE", "MARIE CUR", VERDICT_PRESQUE},
        {"MARIE CURIE", "CURIE MARIE", VERDICT_ANAGRAMME},
        // The expected answer inside the typed one: t = 4e against 4e + 1.
        {"PARIS", "PARIS FRANCE", VERDICT_TROP_LONG},
        {"PARIS", "VILLE DE PARIS ICI!!", VERDICT_TROP_LONG},
        {"PARIS", "VILLE DE PARIS ICI!!!", VERDICT_PAS_LOIN},
        {"ANTICONSTITUTIONNELLEMENT", "ANTIKONSTITUSIONELLEMENT", VERDICT_IDEE},
        // Accents are not folded.
        {"\xE9l\xE8ve", "\xC9L\xC8VE", VERDICT_BRAVO},
        {"\xE9l\xE8ve", "ELEVE", VERDICT_PRESQUE},
        // Mended: the overlapping occurrence is found, 60 % gives "Pas loin".
        {"XAAAAAABXX", "AAAAAB", VERDICT_PAS_LOIN},
        // Mended: the code page's own upper case.
        {"C\x8CUR", "c\x9Cur", VERDICT_BRAVO},
        {"L\x9FS", "l\xFFs", VERDICT_BRAVO},
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
        // m = 5D is "FAUX", 5D + 1 is "y a de l'idée" (D = 3, no containment).
        {"ABCDEFGHIJKLMNO", "XBCDEXGHIJKXMNO", VERDICT_FAUX},
        {"ABCDEFGHIJKLMNOP", "XBCDEXGHIJKXMNOP", VERDICT_IDEE},
        // Longer than a field: judged on the first 259 characters.
        {long250 + "ABCDEFGHI", long250 + "ABCDEFGHIEXTRA", VERDICT_BRAVO},
        {long250 + "ABCDEFGHIJ", long250 + "ABCDEFGHI", VERDICT_BRAVO},
    };
    for (const auto& row : rows) {
        EXPECT_STREQ(ChooseVerdict(row.expected.c_str(), row.typed.c_str()), row.verdict)
            << testing::PrintToString(row.expected) << " / " << testing::PrintToString(row.typed);
    }
}

TEST(ChooseVerdict, NullAndLongInputsAndArgumentsLeftAlone) {
    char expected[] = "  marie curie ";
    EXPECT_STREQ(ChooseVerdict(expected, " MARIE  CURIE"), VERDICT_BRAVO);
    EXPECT_STREQ(expected, "  marie curie ");
    EXPECT_STREQ(ChooseVerdict(nullptr, "A"), VERDICT_FAUX);
    EXPECT_STREQ(ChooseVerdict("CHAT", nullptr), VERDICT_EMPTY);
    const std::string a(400, 'A'), b = std::string(259, 'A') + std::string(141, 'B');
    EXPECT_EQ(EditDistance(a.data(), 400, b.data(), 400), 0);
    EXPECT_EQ(EditDistance(a.data(), -5, b.data(), 3), 3);
    EXPECT_EQ(EditDistance(nullptr, 7, b.data(), 2), 2);
}

// Random texts over a small alphabet, so near misses and containment are common.
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
        const std::string a = randomText(maxLength), b = randomText(maxLength);
        SCOPED_TRACE(a + "|" + b);
        const int n = std::min<int>(a.size(), ANSWER_TEXT_MAX);
        const int m = std::min<int>(b.size(), ANSWER_TEXT_MAX);
        const int ab = EditDistance(a.data(), n, b.data(), m);
        ASSERT_EQ(ab, EditDistance(b.data(), m, a.data(), n));
        ASSERT_EQ(ab == 0, a.compare(0, n, b, 0, m) == 0);
        ASSERT_LE(ab, std::max(n, m));
        ASSERT_EQ(ab, ReferenceDistance(a.substr(0, n), b.substr(0, m)));

        const char* verdict = ChooseVerdict(a.c_str(), b.c_str());
        ASSERT_NE(std::find(std::begin(VERDICT_TEXTS), std::end(VERDICT_TEXTS), verdict),
                  std::end(VERDICT_TEXTS));
        // "BRAVO" exactly when the normalised texts are equal.
        const std::string na = Normalized(a.substr(0, n)), nb = Normalized(b.substr(0, m));
        if (!nb.empty()) {
            ASSERT_EQ(verdict == VERDICT_BRAVO, na == nb);
        }
        ASSERT_EQ(Normalized(na), na);
    }
}

}  // namespace
