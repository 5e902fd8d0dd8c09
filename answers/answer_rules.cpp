#include "answers/answer_rules.h"

#include <cstdint>
#include <cstring>
#include <utility>
#include <string_view>

namespace {

// Upper case as the Windows-1252 code page has it. Besides a-z and the
// accented small letters E0..FE, the code page pairs s/z/oe with caron or
// ligature (9A, 9E, 9C) with their capitals (8A, 8E, 8C) and y with diaeresis
// (FF) with its capital at 9F. The division sign F7 sits among the small
// letters but is no letter, and stays as it is.
unsigned char UpperCase1252(unsigned char c) {
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

int ClampLength(int length) {
    if (length < 0) return 0;
    return length > ANSWER_TEXT_MAX ? ANSWER_TEXT_MAX : length;
}

// Copies at most ANSWER_TEXT_MAX bytes of a text, as an answer field would
// hold it, then normalises the copy. Returns the normalised length.
int NormalizedCopy(char (&destination)[ANSWER_TEXT_SIZE], const char* text) {
    int n = 0;
    if (text != nullptr) {
        while (n < ANSWER_TEXT_MAX && text[n] != '\0') ++n;
        std::memcpy(destination, text, static_cast<size_t>(n));
    }
    destination[n] = '\0';
    NormalizeAnswer(destination);
    return static_cast<int>(std::strlen(destination));
}

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

void NormalizeAnswer(char* text) {
    if (text == nullptr) return;
    // The write position never passes the read position: every space written
    // stands for at least one space already read and skipped.
    size_t read = 0;
    size_t write = 0;
    while (text[read] == ' ') ++read;
    bool spacePending = false;
    for (; text[read] != '\0'; ++read) {
        const unsigned char c = static_cast<unsigned char>(text[read]);
        if (c == ' ') {
            spacePending = true;
            continue;
        }
        if (spacePending) {
            text[write++] = ' ';
            spacePending = false;
        }
        text[write++] = static_cast<char>(UpperCase1252(c));
    }
    text[write] = '\0';
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

const char* ChooseVerdict(const char* expected, const char* typed) {
    char e[ANSWER_TEXT_SIZE];
    char t[ANSWER_TEXT_SIZE];
    const int eLength = NormalizedCopy(e, expected);
    const int tLength = NormalizedCopy(t, typed);
    const bool equal = eLength == tLength && std::memcmp(e, t, static_cast<size_t>(eLength)) == 0;

    // Short answers (OUI, 12, ...) get no hints: any near miss would give
    // the answer away.
    if (tLength == 0) return VERDICT_EMPTY;
    if (equal) return VERDICT_BRAVO;
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
