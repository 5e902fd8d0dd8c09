#include "answers/answer_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Normalized(const std::string& text) {
    char out[ANSWER_TEXT_SIZE];
    const int length = NormalizeAnswer(text.c_str(), out);
    EXPECT_EQ(length, static_cast<int>(std::strlen(out)));
    return out;
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

// The ladder as it stood before typographic twins, accents and numbers: the
// oracle for every input that none of those rules touches.
std::string OldNormalized(const std::string& text) {
    std::string out;
    bool space = false;
    for (unsigned char c : text.substr(0, ANSWER_TEXT_MAX)) {
        if (c != ' ' && space) out += ' ';
        space = c == ' ' ? space || !out.empty() : false;
        if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) c -= 0x20;
        if (c != ' ') out += static_cast<char>(c);
    }
    return out;
}

const char* OldVerdict(const std::string& expected, const std::string& typed) {
    const std::string e = OldNormalized(expected), t = OldNormalized(typed);
    const int el = static_cast<int>(e.size()), tl = static_cast<int>(t.size());
    if (tl == 0) return VERDICT_EMPTY;
    if (e == t) return VERDICT_BRAVO;
    if (el <= 3) return VERDICT_FAUX;
    std::string se = e, st = t;
    std::sort(se.begin(), se.end());
    std::sort(st.begin(), st.end());
    if (se == st) return VERDICT_ANAGRAMME;
    const int d = ReferenceDistance(e, t);
    if (d <= 2) return d == 1 ? VERDICT_QUASIMENT : VERDICT_PRESQUE;
    if (tl < el && e.find(t) != std::string::npos) {
        if (el > 9 && 10 * tl > 7 * el) return VERDICT_TROP_COURT;
        return el > 9 && 2 * tl > el ? VERDICT_PAS_LOIN : VERDICT_FAUX;
    }
    if (tl >= el && t.find(e) != std::string::npos)
        return tl > 4 * el ? VERDICT_PAS_LOIN : VERDICT_TROP_LONG;
    return std::min(el, tl) > 5 * d ? VERDICT_IDEE : VERDICT_FAUX;
}

TEST(NormalizeAnswer, SpacesCodePageUpperCaseTwinsAndFinalMarks) {
    const struct {
        std::string input;
        std::string expected;
    } rows[] = {
        {"a\tb", "A\tB"},  // only the space bytes are squeezed
        // Accents kept, the code page's own pairs; division sign, sharp s, mu stay.
        {"\xE9l\xE8ve\xFE c\x9A\x9E\xFF", "\xC9L\xC8VE\xDE C\x8A\x8E\x9F"},
        {"6\xF7\xDF\xB5zZ{@", "6\xF7\xDF\xB5ZZ{@"},
        // Twins: quotes and accents alone, guillemets, dashes, no-break space, ligatures.
        {"l\x92"
         "a \x91"
         "b\xB4 `c\x60",
         "L'A 'B' 'C'"},
        {"\xAB\xA0x\xA0\xBB \x93y\x94 a\x96"
         "b\x97"
         "c",
         "\" X \" \"Y\" A-B-C"},
        {"c\x9Cur \x8C \xE6 \xC6", "COEUR OE AE AE"},
        // Final marks after something else, and the spaces before them.
        {"Paris !", "PARIS"},
        {"vraiment ?! ...\x85", "VRAIMENT"},
        {"?", "?"},
        {"! .", "! ."},
        {"a.b", "A.B"},
        // At most 259 bytes are read and written: a ligature that no longer fits is cut.
        {std::string(5000, ' ') + "fin", ""},
        {std::string(300, 'x'), std::string(259, 'X')},
        {std::string(258, 'x') + "\x9C", std::string(258, 'X')},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(Normalized(row.input), row.expected) << testing::PrintToString(row.input);
    }
    char out[ANSWER_TEXT_SIZE];
    EXPECT_EQ(NormalizeAnswer(nullptr, out), 0);
}

// Twenty different letters: any part occurs once, a prefix of n is 20 - n away.
const std::string kLong20 = "ABCDEFGHIJKLMNOPQRST";

// Expected forms are parted by '|', which no stored answer holds.
TEST(ChooseVerdict, Ladder) {
    const std::string long250(250, 'Q');
    const struct {
        std::string expected, typed;
        const char* verdict;
        bool tolerated = false;
    } rows[] = {
        // The old rungs are the property test's; here their edges and what came later.
        {"PARIS", "VILLE DE PARIS ICI##", VERDICT_TROP_LONG},  // t = 4e against 4e + 1
        {"PARIS", "VILLE DE PARIS ICI###", VERDICT_PAS_LOIN},
        // clang-format off
        // Accents: a near miss at any length, either way round, unless tolerated.
        {"\xE9l\xE8ve", "\xC9L\xC8VE", VERDICT_BRAVO}, {"\xE9l\xE8ve", "ELEVE", VERDICT_ACCENTS},
        {"\xE9l\xE8ve", "eleve", VERDICT_BRAVO, true}, {"o\xF9", "ou", VERDICT_ACCENTS},
        {"ou", "o\xF9", VERDICT_ACCENTS}, {"\xE9t\xE9", "ETA", VERDICT_FAUX, true},
        {"\xC0\xC7\xCB\xCF\xD1\xD8\xDC\xDD\x9F\x8A\x8E", "acei\xF1oUyY\x9Az", VERDICT_ACCENTS},
        {"\xE9l\xE8ves", "eleve", VERDICT_FAUX},  // with a letter wrong too, accents count
        // Twins on either side; ö is one letter, OE two.
        {"c\x9Cur", "coeur", VERDICT_BRAVO}, {"l\x92" "eau", "l'eau", VERDICT_BRAVO},
        {"Paris", "paris ?!", VERDICT_BRAVO}, {"\xABoui\xBB", "\"OUI\"", VERDICT_BRAVO},
        {"c\x9Cur", "c\xF6ur", VERDICT_PRESQUE},
        // Numbers: by value when both are numbers, otherwise as text.
        {"0,5", "0.5", VERDICT_BRAVO}, {"0,5", "0,50", VERDICT_BRAVO}, {"-0", "+0,0", VERDICT_BRAVO},
        {"1 000", "1000", VERDICT_BRAVO}, {"1000000", "1\xA0" "000 000,000", VERDICT_BRAVO},
        {"007", "7", VERDICT_BRAVO}, {"+12,5", "12.5", VERDICT_BRAVO},
        {"-12,5", "12.5", VERDICT_PRESQUE}, {"0,5", "0,6", VERDICT_FAUX},
        {"10 00", "1000", VERDICT_QUASIMENT}, {"1000,5", "1 000 ,5", VERDICT_PRESQUE},
        {"12,5", "12,5,0", VERDICT_PRESQUE}, {"12,", "12", VERDICT_FAUX},
        // Several forms: any one solves, otherwise the best hint over them all; eight at most.
        {"Vienne|Wien", "wien", VERDICT_BRAVO}, {"VIENNE|WIEN", "WIEM", VERDICT_QUASIMENT},
        {"ABCDEFGHIJ|ABCDEFGHXX", "ABCDEFGHIJKLMN", VERDICT_TROP_LONG},
        {"ABCD|XBCDX|\xC9" "CRIT", "ABDC", VERDICT_ANAGRAMME},
        {"ABCD|XBCDX|\xC9" "CRIT", "ECRIT", VERDICT_ACCENTS},
        {"ABCD|XBCDX|\xC9" "CRIT", "ECRIT", VERDICT_BRAVO, true},
        {"ABCD|XBCDX|\xC9" "CRIT", "XBCD", VERDICT_QUASIMENT},
        {"A|B|C|D|E|F|G|H|I", "I", VERDICT_FAUX}, {"A|B|C|D|E|F|G|H|I", "H", VERDICT_BRAVO},
        // clang-format on
        // Mended: the overlapping occurrence is found, 60 % gives "Pas loin".
        {"XAAAAAABXX", "AAAAAB", VERDICT_PAS_LOIN},
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
        std::vector<std::string> forms;
        for (size_t start = 0, bar = 0; bar != std::string::npos; start = bar + 1) {
            bar = row.expected.find('|', start);
            forms.push_back(row.expected.substr(start, bar - start));
        }
        std::vector<const char*> pointers;
        for (const std::string& form : forms) pointers.push_back(form.c_str());
        JudgingOptions options;
        options.accentsTolerated = row.tolerated;
        EXPECT_STREQ(ChooseVerdict(pointers.data(), static_cast<int>(pointers.size()),
                                   row.typed.c_str(), options),
                     row.verdict)
            << testing::PrintToString(row.expected) << " / " << testing::PrintToString(row.typed);
    }
}

TEST(ChooseVerdict, NullAndLongInputsAndArgumentsLeftAlone) {
    char expected[] = "  marie curie ";
    EXPECT_STREQ(ChooseVerdict(expected, " MARIE  CURIE"), VERDICT_BRAVO);
    EXPECT_STREQ(expected, "  marie curie ");
    EXPECT_STREQ(ChooseVerdict(nullptr, "A"), VERDICT_FAUX);
    EXPECT_STREQ(ChooseVerdict("CHAT", nullptr), VERDICT_EMPTY);
    EXPECT_STREQ(ChooseVerdict(nullptr, 3, "A", JudgingOptions()), VERDICT_FAUX);
    const std::string a(400, 'A'), b = std::string(259, 'A') + std::string(141, 'B');
    EXPECT_EQ(EditDistance(a.data(), 400, b.data(), 400), 0);
    EXPECT_EQ(EditDistance(a.data(), -5, b.data(), 3), 3);
    EXPECT_EQ(EditDistance(nullptr, 7, b.data(), 2), 2);
}

// Random texts over a small alphabet, so near misses and containment are common.
// It holds no twin, accent, digit or final mark, so the old ladder still holds.
TEST(Properties, RandomPairs) {
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
        const int n = std::min<int>(a.size(), ANSWER_TEXT_MAX);
        const int m = std::min<int>(b.size(), ANSWER_TEXT_MAX);
        const int ab = EditDistance(a.data(), n, b.data(), m);
        ASSERT_EQ(ab, EditDistance(b.data(), m, a.data(), n));
        ASSERT_EQ(ab == 0, a.compare(0, n, b, 0, m) == 0);
        ASSERT_LE(ab, std::max(n, m));
        ASSERT_EQ(ab, ReferenceDistance(a.substr(0, n), b.substr(0, m)));

        ASSERT_STREQ(ChooseVerdict(a.c_str(), b.c_str()), OldVerdict(a, b));
        const std::string na = Normalized(a);
        ASSERT_EQ(na, OldNormalized(a));
        ASSERT_EQ(Normalized(na), na);
    }
}

}  // namespace
