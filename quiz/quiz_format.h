// The stored form of a quiz and how it becomes the quiz record: the settings
// block, the content resource ("PATCH" 104) and the codes resource ("PATCH"
// 105), their decipherment and the whole loading decision. Pure code: the
// Win32 loader (quiz_loader_win.h) only fetches the resource bytes.
//
// Decoded content: byte 0 unused; byte 1 media kind + 1; byte 2 question
// count; byte 3 answers per question; then the fields title, author,
// explanations, answer label 1 and 2; per question the fields answer 1,
// answer 2 (only with two answers) and prompt; one raw display-mode byte; per
// question the extra-text fields (one in modes 1, 2, 4; two in modes 3, 6, the
// second not kept; none otherwise); three colour bytes red, green, blue. A
// field runs to the next '|' or zero byte, which it consumes.
// Decoded codes: one line per question, each ending in CR LF.
//
// Decoded judging block ("PATCH" 106, optional, compressed and enciphered as
// the content is): byte 0 unused; byte 1 the format version; then records,
// each a kind byte, a 16-bit little-endian payload length and the payload.
// Readers skip the kinds they do not know, so later versions of the format
// add kinds; a change that older readers must not misread raises the
// version, and a block of a version above QUIZ_JUDGING_VERSION is ignored.
//   kind 1, options: byte 0 bit 0 set when accents are tolerated; other bits
//     and any further bytes are for later versions.
//   kind 2, other accepted forms of one answer: byte 0 the question number
//     (from 1), byte 1 the answer (1 or 2), then 1 to 7 fields, each a form
//     of 1 to 259 characters ended by '|'.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "quiz/quiz_record.h"

constexpr int QUIZ_CONTENT_RESOURCE = 104;
constexpr int QUIZ_CODES_RESOURCE = 105;
constexpr int QUIZ_JUDGING_RESOURCE = 106;
constexpr const char* QUIZ_RESOURCE_TYPE = "PATCH";
constexpr char QUIZ_FIELD_SEPARATOR = '|';
constexpr int QUIZ_MAX_DISPLAY_MODE = 6;

// "Ombres sur la rivière", 21 Windows-1252 bytes: the key of enciphered quiz
// resources, and also the text shown when the content resource is missing.
extern const char QuizCipherKey[];
constexpr size_t QUIZ_CIPHER_KEY_LENGTH = 21;

// The compressed settings block: two unused characters, the link address up
// to '|' (at most 24 characters), the credit line (at most 42).
constexpr size_t QUIZ_SETTINGS_BLOCK_SIZE = 70;
extern const uint8_t g_settingsBlock[QUIZ_SETTINGS_BLOCK_SIZE];

// XORs bytes 1..size-1 with the key, restarting the key for every call; byte 0
// stays. Its own inverse, so the writer enciphers with it too. A block shorter
// than 2 bytes is left alone.
void DecipherResource(uint8_t* data, size_t size, const char* key, size_t keyLength);

// Parsers of decoded data. None reads past `size`: a field, byte or line that
// would lie beyond it is empty, or 0; every text is cut at its field's size.
void ParseSettings(const uint8_t* data, size_t size, QuizRecord& quiz);
// Replaces the question list. At most 96 questions are kept (the records of
// the rest are read and dropped); answers per question other than 2 count as
// 1, a media kind outside 0-3 and a display mode above 6 as 0.
void ParseContent(const uint8_t* data, size_t size, QuizRecord& quiz);
// Fills codes[0 .. questionCount-1].
void ParseCodes(const uint8_t* data, size_t size, QuizRecord& quiz);
// Whether decoded content is one a writer could have made: media byte 1-4,
// answers per question 1 or 2, display mode 0-6. A block that only decodes
// by chance (an enciphered one read as stored) almost never passes.
bool ContentIsPlausible(const uint8_t* data, size_t size);

constexpr uint8_t QUIZ_JUDGING_VERSION = 1;
constexpr uint8_t QUIZ_JUDGING_OPTIONS = 1;
constexpr uint8_t QUIZ_JUDGING_FORMS = 2;
constexpr uint8_t QUIZ_JUDGING_ACCENTS_TOLERATED = 0x01;
constexpr int QUIZ_MAX_OTHER_FORMS = 7;  // besides the form the content holds

// The other accepted forms of one expected answer.
struct OtherForms {
    int question;  // from 1
    int answer;    // 1 or 2
    std::vector<std::string> forms;
};

// What a judging block holds.
struct JudgingChoices {
    bool accentsTolerated = false;
    std::vector<OtherForms> otherForms;
};

enum JudgingBlockState {
    JUDGING_READ = 0,     // `out` holds the block
    JUDGING_DAMAGED = 1,  // refused as a whole
    JUDGING_NEWER = 2,    // a version this reader does not know: ignored
};

// Reads a decoded judging block of a quiz of `questionCount` questions with
// `answersPerQuestion` answers each. Never reads past `size`; a record that
// runs past the end, names a question or answer the quiz does not have,
// repeats an answer or an options record, or holds no form, more than seven,
// an empty one, one longer than 259 characters or one not ended by '|' makes
// the whole block damaged, and `out` is then left empty.
JudgingBlockState ParseJudging(const uint8_t* data, size_t size, int questionCount,
                               int answersPerQuestion, JudgingChoices& out);

// The built-in quiz shown when the content resource is missing: seven
// questions on two nodes (the page reaches 3-7 through QuestionAt).
void FillSampleQuiz(QuizRecord& quiz);

// What LoadQuizBlocks left in the record.
enum QuizLoadState {
    QUIZ_LOADED = 0,                // everything
    QUIZ_SAMPLE = 1,                // the built-in sample quiz
    QUIZ_NOT_LOADED = 2,            // settings or content failed: defaults, no questions
    QUIZ_LOADED_WITHOUT_CODES = 3,  // codes failed: everything else is there
};

// The three stored blocks, the two resources as private copies (they may be
// deciphered in place). A missing resource is an empty vector.
struct QuizBlocks {
    const uint8_t* settings = g_settingsBlock;
    size_t settingsSize = QUIZ_SETTINGS_BLOCK_SIZE;
    std::vector<uint8_t> content;
    std::vector<uint8_t> codes;
    std::vector<uint8_t> judging;  // optional
};

// The whole load: decodes and parses the blocks into `quiz`, trying the
// content as stored and then deciphered, reports every failure through
// ReportMessage (caption "Brelo") and returns the end state. The judging
// block, when there is one, is read once the questions are: a damaged one is
// reported and the quiz plays without it (the end state does not change).
// The caller makes the quiz brush afterwards.
QuizLoadState LoadQuizBlocks(QuizRecord& quiz, QuizBlocks& blocks);
