#include "answers/answer_rules.h"

#include <cstring>
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

    // One row of the classic table, overwritten row after row. `diagonal`
    // keeps the entry above-left that the row has just lost, and `left` the
    // entry just made, so the step-to-step chain stays in registers.
    int row[ANSWER_TEXT_SIZE];
    for (int j = 0; j <= m; ++j) row[j] = j;
    for (int i = 1; i <= n; ++i) {
        const unsigned char ca = a[i - 1];
        int diagonal = i - 1;
        int left = i;
        row[0] = i;
        for (int j = 1; j <= m; ++j) {
            const int above = row[j];
            int best = diagonal + (ca == b[j - 1] ? 0 : 1);
            const int step = (above < left ? above : left) + 1;
            if (step < best) best = step;
            diagonal = above;
            left = best;
            row[j] = best;
        }
    }
    return row[m];
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
