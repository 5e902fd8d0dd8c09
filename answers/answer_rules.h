// How a typed answer is judged against the expected one: the normalisation
// used wherever answers are compared, the edit distance, the containment test
// and the ladder of verdicts with its graded hints. Pure code, no window: the
// player and the command-line tools judge through the same ChooseVerdict.
//
// Texts are Windows-1252 bytes, zero-terminated. Answers are judged on their
// first ANSWER_TEXT_MAX characters, the most an answer field holds.
#pragma once

constexpr int ANSWER_TEXT_SIZE = 260;
constexpr int ANSWER_TEXT_MAX = ANSWER_TEXT_SIZE - 1;

// The most accepted forms one expected answer may have: the one the quiz
// content holds and up to seven others.
constexpr int ANSWER_MAX_FORMS = 8;

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
// Every letter right, only accents differ: a near miss, never a solved answer.
inline constexpr char VERDICT_ACCENTS[] = "Accents";

inline constexpr const char* const VERDICT_TEXTS[] = {
    VERDICT_BRAVO,     VERDICT_FAUX,    VERDICT_EMPTY,      VERDICT_ANAGRAMME,
    VERDICT_QUASIMENT, VERDICT_PRESQUE, VERDICT_TROP_COURT, VERDICT_TROP_LONG,
    VERDICT_PAS_LOIN,  VERDICT_IDEE,    VERDICT_ACCENTS,
};
inline constexpr int VERDICT_COUNT = sizeof(VERDICT_TEXTS) / sizeof(VERDICT_TEXTS[0]);

// Results of FindInside.
constexpr int FOUND_TYPED_IN_EXPECTED = -2;
constexpr int FOUND_NOWHERE = 0;
constexpr int FOUND_EXPECTED_IN_TYPED = 2;

// What a quiz chooses about judging.
struct JudgingOptions {
    bool accentsTolerated = false;  // an accent-only slip is "BRAVO", not "Accents"
};

// The normalised form of a text, taken on its first ANSWER_TEXT_MAX bytes as
// an answer field would hold it, into `out` (cut at ANSWER_TEXT_MAX bytes);
// returns its length. Letters are upper-cased as the Windows-1252 code page
// does; typographic twins become what a keyboard types (TypographicTwin, and
// the ligatures œ and æ become OE and AE); leading and trailing spaces are
// dropped and runs of spaces squeezed to one; final . ! ? and … marks are
// dropped when something else comes before them. Only the space byte and the
// no-break space count as spaces; accents are kept (E and É differ). A null
// text is empty.
int NormalizeAnswer(const char* text, char (&out)[ANSWER_TEXT_SIZE]);

// What a character stands for once its typographic twin is folded: ’ ‘ ´ and
// ` stand for the apostrophe, « » “ and ” for ", – and — for -, the no-break
// space for a space; any other character stands for itself.
unsigned char TypographicTwin(unsigned char c);

// Levenshtein distance between two byte strings. Each is taken on its first
// ANSWER_TEXT_MAX bytes; a negative length counts as zero.
int EditDistance(const char* first, int firstLength, const char* second, int secondLength);

// Whether one normalised answer occurs inside the other: FOUND_TYPED_IN_EXPECTED
// when the typed answer is shorter and occurs in the expected one,
// FOUND_EXPECTED_IN_TYPED when the expected answer occurs in the typed one,
// FOUND_NOWHERE otherwise or when either text is empty.
int FindInside(const char* expected, int expectedLength, const char* typed, int typedLength);

// The one judging entry point: the verdict for a typed answer against every
// accepted form of the expected answer (the first ANSWER_MAX_FORMS; no form
// at all counts as one empty form), one of VERDICT_TEXTS. "BRAVO" when a form
// is matched: equal once normalised, the same number (both texts numbers of
// the same value), or, with accents tolerated, the same letters but for their
// accents. Otherwise the best verdict over all forms, in the order Accents,
// Quasiment, Presque, Anagramme, Trop court, Trop long, Pas loin, y a de
// l'idée, FAUX. No text is changed; a null text counts as empty.
const char* ChooseVerdict(const char* const* forms, int formCount, const char* typed,
                          const JudgingOptions& options);

// One expected form, accents strict.
const char* ChooseVerdict(const char* expected, const char* typed);
