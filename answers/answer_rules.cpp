#include "answers/answer_rules.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

namespace {

// Upper case as the Windows-1252 code page has it. Besides a-z and the
// accented small letters E0..FE, the code page pairs s/z/oe with caron or
// ligature (9A, 9E, 9C) with their capitals (8A, 8E, 8C) and y with diaeresis
// (FF) with its capital at 9F. The division sign F7 sits among the small
// letters but is no letter, and stays as it is.
constexpr unsigned char UpperCase1252(unsigned char c) {
    if (c >= 'a' && c <= 'z') return static_cast<unsigned char>(c - 0x20);
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<unsigned char>(c - 0x20);
    switch (c) {
        case 0x9A:
            return 0x8A;
        case 0x9C:
            return 0x8C;
        case 0x9E:
            return 0x8E;
        case 0xFF:
            return 0x9F;
        default:
            return c;
    }
}

constexpr unsigned char Twin(unsigned char c) {
    switch (c) {
        case 0x91:  // ‘
        case 0x92:  // ’
        case 0xB4:  // ´
        case 0x60:  // `
            return '\'';
        case 0xAB:  // «
        case 0xBB:  // »
        case 0x93:  // “
        case 0x94:  // ”
            return '"';
        case 0x96:  // –
        case 0x97:  // —
            return '-';
        case 0xA0:  // no-break space
            return ' ';
        default:
            return c;
    }
}

// The two ligatures are written out as two letters; in the folding table
// they are marked with the zero byte, which never occurs inside a text.
constexpr unsigned char LIGATURE = 0;
constexpr unsigned char LIGATURE_OE = 0x8C;  // Œ, and œ upper-cased
constexpr unsigned char LIGATURE_AE = 0xC6;  // Æ, and æ upper-cased

// Every byte as the normalisation writes it: its typographic twin, upper-cased.
constexpr std::array<unsigned char, 256> MakeFoldTable() {
    std::array<unsigned char, 256> table = {};
    for (int c = 1; c < 256; ++c) {
        const unsigned char folded = UpperCase1252(Twin(static_cast<unsigned char>(c)));
        table[c] = folded == LIGATURE_OE || folded == LIGATURE_AE ? LIGATURE : folded;
    }
    return table;
}

// An upper-case letter without its accent, for the "Accents" rung: À-Å, Ç,
// È-Ë, Ì-Ï, Ñ, Ò-Ö and Ø, Ù-Ü, Ý and Ÿ, Š and Ž. Other bytes stay.
constexpr std::array<unsigned char, 256> MakeAccentTable() {
    std::array<unsigned char, 256> table = {};
    for (int c = 0; c < 256; ++c) table[c] = static_cast<unsigned char>(c);
    for (int c = 0xC0; c <= 0xC5; ++c) table[c] = 'A';
    table[0xC7] = 'C';
    for (int c = 0xC8; c <= 0xCB; ++c) table[c] = 'E';
    for (int c = 0xCC; c <= 0xCF; ++c) table[c] = 'I';
    table[0xD1] = 'N';
    for (int c = 0xD2; c <= 0xD6; ++c) table[c] = 'O';
    table[0xD8] = 'O';
    for (int c = 0xD9; c <= 0xDC; ++c) table[c] = 'U';
    table[0xDD] = 'Y';
    table[0x9F] = 'Y';
    table[0x8A] = 'S';
    table[0x8E] = 'Z';
    return table;
}

constexpr std::array<unsigned char, 256> kFold = MakeFoldTable();
constexpr std::array<unsigned char, 256> kWithoutAccent = MakeAccentTable();

bool IsFinalMark(char c) {
    return c == '.' || c == '!' || c == '?' || c == '\x85';
}

int ClampLength(int length) {
    if (length < 0) return 0;
    return length > ANSWER_TEXT_MAX ? ANSWER_TEXT_MAX : length;
}

struct NormalizedText {
    char text[ANSWER_TEXT_SIZE];
    int length;

    explicit NormalizedText(const char* source) : length(NormalizeAnswer(source, text)) {}
    bool operator==(const NormalizedText& other) const {
        return length == other.length &&
               std::memcmp(text, other.text, static_cast<size_t>(length)) == 0;
    }
};

// Two texts of the same length are anagrams when every byte value occurs in
// both equally often (the same as comparing them sorted).
bool SameBytes(const char* first, const char* second, int length) {
    int counts[256] = {};
    for (int i = 0; i < length; ++i) {
        ++counts[static_cast<unsigned char>(first[i])];
        --counts[static_cast<unsigned char>(second[i])];
    }
    for (int count : counts) {
        if (count != 0) return false;
    }
    return true;
}

// Removing accents never changes a length, so only texts of one length can
// differ by their accents alone.
bool SameLettersButAccents(const NormalizedText& e, const NormalizedText& t) {
    if (e.length != t.length) return false;
    for (int i = 0; i < e.length; ++i) {
        if (kWithoutAccent[static_cast<unsigned char>(e.text[i])] !=
            kWithoutAccent[static_cast<unsigned char>(t.text[i])])
            return false;
    }
    return true;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A number as pupils write one: an optional sign, digits (a first group of
// one to three, then groups of three, may be parted by spaces: 1 000 000),
// then at most one decimal comma or point followed by digits. Its value is
// spelt canonically into `value`: '-' when it is below zero, the whole part
// without leading zeros, and '.' with the decimals without trailing zeros
// when any remain, so 0,5 0.5 and 0,50 are all "0.5". Returns the spelling's
// length, or -1 when the text is no number.
int NumberValue(const NormalizedText& number, char (&value)[ANSWER_TEXT_SIZE + 1]) {
    const char* text = number.text;
    const int length = number.length;
    int i = 0;
    const bool negative = length > 0 && text[0] == '-';
    if (length > 0 && (text[0] == '-' || text[0] == '+')) ++i;

    const int wholeStart = i;
    int group = 0;  // digits since the last space
    bool grouped = false;
    for (; i < length; ++i) {
        if (IsDigit(text[i])) {
            ++group;
        } else if (text[i] == ' ') {
            if (group == 0 || group > 3 || (grouped && group != 3)) return -1;
            grouped = true;
            group = 0;
        } else {
            break;
        }
    }
    const int wholeEnd = i;
    if (group == 0 || (grouped && group != 3)) return -1;
    int decimalsStart = length;
    if (i < length && (text[i] == ',' || text[i] == '.')) {
        decimalsStart = ++i;
        while (i < length && IsDigit(text[i])) ++i;
        if (i == decimalsStart) return -1;
    }
    if (i != length) return -1;

    int n = 0;
    if (negative) value[n++] = '-';
    int first = wholeStart;
    while (first < wholeEnd && (text[first] == '0' || text[first] == ' ')) ++first;
    for (int k = first; k < wholeEnd; ++k) {
        if (text[k] != ' ') value[n++] = text[k];
    }
    if (first == wholeEnd) value[n++] = '0';
    int decimalsEnd = length;
    while (decimalsEnd > decimalsStart && text[decimalsEnd - 1] == '0') --decimalsEnd;
    if (decimalsEnd > decimalsStart) {
        value[n++] = '.';
        for (int k = decimalsStart; k < decimalsEnd; ++k) value[n++] = text[k];
    }
    // Zero has no sign: -0 and +0,0 are 0.
    if (negative && n == 2 && value[1] == '0') {
        value[0] = '0';
        n = 1;
    }
    value[n] = '\0';
    return n;
}

bool SameNumber(const NormalizedText& e, const NormalizedText& t) {
    // Only texts that start like numbers are worth spelling out.
    const auto startsLikeNumber = [](const NormalizedText& x) {
        return x.length > 0 && (IsDigit(x.text[0]) || x.text[0] == '-' || x.text[0] == '+');
    };
    if (!startsLikeNumber(e) || !startsLikeNumber(t)) return false;
    char eValue[ANSWER_TEXT_SIZE + 1];
    char tValue[ANSWER_TEXT_SIZE + 1];
    const int eLength = NumberValue(e, eValue);
    return eLength >= 0 && NumberValue(t, tValue) == eLength &&
           std::memcmp(eValue, tValue, static_cast<size_t>(eLength)) == 0;
}

// The ladder against one form; the typed text is not empty.
const char* VerdictForForm(const NormalizedText& expected, const NormalizedText& typed,
                           const JudgingOptions& options) {
    const char* e = expected.text;
    const char* t = typed.text;
    const int eLength = expected.length;
    const int tLength = typed.length;
    if (expected == typed || SameNumber(expected, typed)) return VERDICT_BRAVO;
    // The pupil has typed every letter, so this hint gives nothing away even
    // for a short answer.
    if (SameLettersButAccents(expected, typed)) {
        return options.accentsTolerated ? VERDICT_BRAVO : VERDICT_ACCENTS;
    }
    // Short answers (OUI, 12, ...) get no other hints: any near miss would
    // give the answer away.
    if (eLength <= 3) return VERDICT_FAUX;

    // The anagram test comes first, although an anagram may also be one or
    // two edits away.
    if (eLength == tLength && SameBytes(e, t, eLength)) return VERDICT_ANAGRAMME;
    const int distance = EditDistance(e, eLength, t, tLength);
    if (distance == 1) return VERDICT_QUASIMENT;
    if (distance == 2) return VERDICT_PRESQUE;

    // Percentages in whole numbers: 100t/e > 70 is 10t > 7e, > 50 is 2t > e;
    // lengths stay below 260, so nothing overflows.
    switch (FindInside(e, eLength, t, tLength)) {
        case FOUND_TYPED_IN_EXPECTED:
            if (eLength <= 9) return VERDICT_FAUX;
            if (10 * tLength > 7 * eLength) return VERDICT_TROP_COURT;
            if (2 * tLength > eLength) return VERDICT_PAS_LOIN;
            return VERDICT_FAUX;
        case FOUND_EXPECTED_IN_TYPED:
            return tLength > 4 * eLength ? VERDICT_PAS_LOIN : VERDICT_TROP_LONG;
        default:
            break;
    }

    // 100(m - D)/m > 80, with m the shorter length, is m > 5D.
    const int shorter = eLength < tLength ? eLength : tLength;
    return shorter > 5 * distance ? VERDICT_IDEE : VERDICT_FAUX;
}

// The hints from the most to the least helpful, for choosing among forms.
constexpr const char* kHintOrder[] = {
    VERDICT_ACCENTS,   VERDICT_QUASIMENT, VERDICT_PRESQUE, VERDICT_ANAGRAMME, VERDICT_TROP_COURT,
    VERDICT_TROP_LONG, VERDICT_PAS_LOIN,  VERDICT_IDEE,    VERDICT_FAUX,
};

int HintRank(const char* verdict) {
    int rank = 0;
    for (const char* hint : kHintOrder) {
        if (hint == verdict) return rank;
        ++rank;
    }
    return rank;
}

constexpr int WORD_BITS = 64;
constexpr int MAX_WORDS = (ANSWER_TEXT_MAX + WORD_BITS - 1) / WORD_BITS;

// Myers' bit-parallel method in Hyyro's form for the edit distance between a
// (n bytes, 64 * (WORDS - 1) < n <= 64 * WORDS) and b (m bytes): a runs down
// the columns of the classic table, 64 rows to a word, and each column is
// held as two bit sets, where the vertical step from the row above is +1 and
// where it is -1. One byte of b advances a whole word of rows in a dozen
// operations; a word hands the next one the horizontal step of its last row.
// The distance is the bottom row, followed from n by those steps. The word
// count is a constant so that the column stays in registers.
template <int WORDS>
int BitParallelDistance(const unsigned char* a, int n, const unsigned char* b, int m) {
    // Where each byte value stands in a. Short texts clear only the rows of
    // bytes that occur in either; long ones clear the whole table at once.
    uint64_t matches[256][WORDS];
    if (n + m > 64) {
        std::memset(matches, 0, sizeof matches);
    } else {
        for (int i = 0; i < n; ++i) std::memset(matches[a[i]], 0, sizeof matches[0]);
        for (int j = 0; j < m; ++j) std::memset(matches[b[j]], 0, sizeof matches[0]);
    }
    for (int i = 0; i < n; ++i) matches[a[i]][i / WORD_BITS] |= uint64_t{1} << (i % WORD_BITS);

    // Word w works on column t - w at step t: the words of one step depend
    // on each other through nothing, so their chains of operations overlap.
    uint64_t plus[WORDS];
    uint64_t minus[WORDS];
    uint64_t stepPlus[WORDS];  // the step out of each word's last row, its last column
    uint64_t stepMinus[WORDS];
    for (int w = 0; w < WORDS; ++w) {
        plus[w] = ~uint64_t{0};
        minus[w] = 0;
    }
    const int lastBit = (n - 1) % WORD_BITS;
    int distance = n;
    // Word w on column j, the step into its top row coming from word w - 1
    // on the same column (the table's top row grows by one each column).
    auto advance = [&](int w, int j) {
        const uint64_t inPlus = w == 0 ? 1 : stepPlus[w - 1];
        const uint64_t inMinus = w == 0 ? 0 : stepMinus[w - 1];
        const uint64_t pv = plus[w];
        const uint64_t mv = minus[w];
        const uint64_t match = matches[b[j]][w];
        const uint64_t equal = match | inMinus;
        const uint64_t xv = match | mv;
        const uint64_t xh = (((equal & pv) + pv) ^ pv) | equal;
        const uint64_t ph = mv | ~(xh | pv);
        const uint64_t mh = pv & xh;
        const uint64_t phIn = (ph << 1) | inPlus;
        const uint64_t mhIn = (mh << 1) | inMinus;
        plus[w] = mhIn | ~(xv | phIn);
        minus[w] = phIn & xv;
        stepPlus[w] = ph >> (WORD_BITS - 1);
        stepMinus[w] = mh >> (WORD_BITS - 1);
        if (w == WORDS - 1) {
            distance +=
                static_cast<int>((ph >> lastBit) & 1) - static_cast<int>((mh >> lastBit) & 1);
        }
    };
    // Within a step the words go last to first, so each reads the step its
    // upper neighbour left at the step before. m >= n > 64 * (WORDS - 1), so
    // the steps where some word has no column are only the first and last.
    for (int t = 0; t < WORDS - 1; ++t) {
        for (int w = t; w >= 0; --w) advance(w, t - w);
    }
    for (int t = WORDS - 1; t < m; ++t) {
#pragma GCC unroll 8
        for (int w = WORDS - 1; w >= 0; --w) advance(w, t - w);
    }
    for (int t = m; t < m + WORDS - 1; ++t) {
        for (int w = WORDS - 1; w > t - m; --w) advance(w, t - w);
    }
    return distance;
}

}  // namespace

unsigned char TypographicTwin(unsigned char c) {
    return Twin(c);
}

int NormalizeAnswer(const char* text, char (&out)[ANSWER_TEXT_SIZE]) {
    int write = 0;
    bool spacePending = false;
    for (int read = 0; text != nullptr && read < ANSWER_TEXT_MAX && text[read] != '\0'; ++read) {
        const unsigned char raw = static_cast<unsigned char>(text[read]);
        const unsigned char c = kFold[raw];
        if (c == ' ') {
            spacePending = write > 0;
            continue;
        }
        const bool ligature = c == LIGATURE;
        const int needed = (spacePending ? 1 : 0) + (ligature ? 2 : 1);
        if (write + needed > ANSWER_TEXT_MAX) break;
        if (spacePending) {
            out[write++] = ' ';
            spacePending = false;
        }
        if (ligature) {
            out[write++] = UpperCase1252(raw) == LIGATURE_OE ? 'O' : 'A';
            out[write++] = 'E';
        } else {
            out[write++] = static_cast<char>(c);
        }
    }
    // "Paris !" and "Paris" are one answer; a text of marks alone stays.
    int end = write;
    while (end > 0 && (IsFinalMark(out[end - 1]) || out[end - 1] == ' ')) --end;
    if (end > 0) write = end;
    out[write] = '\0';
    return write;
}

int EditDistance(const char* first, int firstLength, const char* second, int secondLength) {
    int n = first == nullptr ? 0 : ClampLength(firstLength);
    int m = second == nullptr ? 0 : ClampLength(secondLength);
    const unsigned char* a = reinterpret_cast<const unsigned char*>(first);
    const unsigned char* b = reinterpret_cast<const unsigned char*>(second);

    // A shared beginning or end never changes the distance; near misses share
    // most of both, so the table usually shrinks to a few cells.
    while (n > 0 && m > 0 && a[0] == b[0]) {
        ++a;
        ++b;
        --n;
        --m;
    }
    while (n > 0 && m > 0 && a[n - 1] == b[m - 1]) {
        --n;
        --m;
    }
    if (n == 0) return m;
    if (m == 0) return n;

    if (n > m) {
        std::swap(a, b);
        std::swap(n, m);
    }
    switch ((n + WORD_BITS - 1) / WORD_BITS) {
        case 1:
            return BitParallelDistance<1>(a, n, b, m);
        case 2:
            return BitParallelDistance<2>(a, n, b, m);
        case 3:
            return BitParallelDistance<3>(a, n, b, m);
        case 4:
            return BitParallelDistance<4>(a, n, b, m);
        default:
            return BitParallelDistance<MAX_WORDS>(a, n, b, m);
    }
}

int FindInside(const char* expected, int expectedLength, const char* typed, int typedLength) {
    if (expected == nullptr || typed == nullptr || expectedLength <= 0 || typedLength <= 0) {
        return FOUND_NOWHERE;
    }
    const std::string_view e(expected, static_cast<size_t>(expectedLength));
    const std::string_view t(typed, static_cast<size_t>(typedLength));
    // A full substring search: every start position is tried, so an
    // occurrence that overlaps a failed partial match is still found.
    if (typedLength < expectedLength) {
        return e.find(t) != std::string_view::npos ? FOUND_TYPED_IN_EXPECTED : FOUND_NOWHERE;
    }
    return t.find(e) != std::string_view::npos ? FOUND_EXPECTED_IN_TYPED : FOUND_NOWHERE;
}

const char* ChooseVerdict(const char* const* forms, int formCount, const char* typed,
                          const JudgingOptions& options) {
    const NormalizedText t(typed);
    if (t.length == 0) return VERDICT_EMPTY;
    const int count = forms == nullptr || formCount < 1 ? 1
                      : formCount > ANSWER_MAX_FORMS    ? ANSWER_MAX_FORMS
                                                        : formCount;
    const char* best = VERDICT_FAUX;
    for (int i = 0; i < count; ++i) {
        const NormalizedText e(forms != nullptr && formCount > 0 ? forms[i] : nullptr);
        const char* verdict = VerdictForForm(e, t, options);
        if (verdict == VERDICT_BRAVO) return verdict;
        if (HintRank(verdict) < HintRank(best)) best = verdict;
    }
    return best;
}

const char* ChooseVerdict(const char* expected, const char* typed) {
    return ChooseVerdict(&expected, 1, typed, JudgingOptions());
}
