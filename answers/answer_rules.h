// How a typed answer is judged against the expected one: the normalisation
// used wherever answers are compared, the edit distance, the containment test
// and the ladder of verdicts with its graded hints. Pure code, no window.
//
// Texts are Windows-1252 bytes, zero-terminated. Answers are judged on their
// first ANSWER_TEXT_MAX characters, the most an answer field holds.
#pragma once

constexpr int ANSWER_TEXT_SIZE = 260;
constexpr int ANSWER_TEXT_MAX = ANSWER_TEXT_SIZE - 1;

// The verdicts a result label can show. The labels' texts are the only record
// of each answer's verdict, so other code compares label texts with these.
// ChooseVerdict returns one of these very pointers.
inline constexpr char VERDICT_BRAVO[] = "BRAVO";
inline constexpr char VERDICT_FAUX[] = "FAUX";
inline constexpr char VERDICT_EMPTY[] = "?";
inline constexpr char VERDICT_ANAGRAMME[] = "Anagramme";
inline constexpr char VERDICT_QUASIMENT[] = "Quasiment";
inline constexpr char VERDICT_PRESQUE[] = "Presque";
inline constexpr char VERDICT_TROP_COURT[] = "Trop court";
inline constexpr char VERDICT_TROP_LONG[] = "Trop long";
inline constexpr char VERDICT_PAS_LOIN[] = "Pas loin";
inline constexpr char VERDICT_IDEE[] =
    "y a de l'id\xE9"
    "e";

inline constexpr const char* const VERDICT_TEXTS[] = {
    VERDICT_BRAVO,   VERDICT_FAUX,       VERDICT_EMPTY,     VERDICT_ANAGRAMME, VERDICT_QUASIMENT,
    VERDICT_PRESQUE, VERDICT_TROP_COURT, VERDICT_TROP_LONG, VERDICT_PAS_LOIN,  VERDICT_IDEE,
};
inline constexpr int VERDICT_COUNT = sizeof(VERDICT_TEXTS) / sizeof(VERDICT_TEXTS[0]);

// Results of FindInside.
constexpr int FOUND_TYPED_IN_EXPECTED = -2;
constexpr int FOUND_NOWHERE = 0;
constexpr int FOUND_EXPECTED_IN_TYPED = 2;

// Rewrites a zero-terminated text in place, any length: leading and trailing
// spaces dropped, runs of spaces squeezed to one, letters upper-cased as the
// Windows-1252 code page does. Only the space byte counts as a space; accents
// are kept (E and É differ). A null text is left alone.
void NormalizeAnswer(char* text);

// Levenshtein distance between two byte strings. Each is taken on its first
// ANSWER_TEXT_MAX bytes; a negative length counts as zero.
int EditDistance(const char* first, int firstLength, const char* second, int secondLength);

// Whether one normalised answer occurs inside the other: FOUND_TYPED_IN_EXPECTED
// when the typed answer is shorter and occurs in the expected one,
// FOUND_EXPECTED_IN_TYPED when the expected answer occurs in the typed one,
// FOUND_NOWHERE otherwise or when either text is empty.
int FindInside(const char* expected, int expectedLength, const char* typed, int typedLength);

// The verdict for a typed answer: one of VERDICT_TEXTS. Neither text is
// changed; a null text counts as empty.
const char* ChooseVerdict(const char* expected, const char* typed);
