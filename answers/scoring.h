// Which question and which expected answer each answer field stands for, how
// many fields the page holds, and the texts the header shows for a score.
// Pure code: the window side (verdicts_win.cpp, header_panel_win.cpp,
// answer_field_win.cpp) and the native tests share it.
#pragma once

#include <cstdint>

#include "quiz/quiz_record.h"

// The code field's text while nothing is solved: six spaces.
inline constexpr char NO_REWARD_CODE[] = "      ";
constexpr int SCORE_TEXT_SIZE = 32;

// Answer fields the page makes for each question. The list layout of a text
// quiz has room for one field per row, so it makes one whatever the quiz
// declares; the grid layouts make one or two, and none for any other count.
int32_t FieldsPerQuestion(int32_t mediaKind, int32_t answersPerQuestion);

// Questions the page shows (questionCount limited to 0..96) and the number of
// answer fields on it; fields are numbered 1..AnswerFieldCount in page order.
int32_t ShownQuestionCount(const QuizRecord& quiz);
int32_t AnswerFieldCount(const QuizRecord& quiz);

struct FieldPlace {
    int32_t question;  // from 1
    int32_t answer;    // 1 (answer1) or 2 (answer2)
};

// The question and expected answer of field number n; false when the page
// has no such field. A list layout's field n is question n's, judged against
// its first answer, whatever answersPerQuestion says.
bool LocateAnswerField(const QuizRecord& quiz, int32_t fieldNumber, FieldPlace* place);

// The field number of answer k of question q, or 0 when there is none.
int32_t FieldNumberOf(const QuizRecord& quiz, int32_t question, int32_t answer);

// The name a screen reader gives field number n: "Question 3, Capitale" from
// the quiz's caption of that answer without its closing colon, or
// "Question 3, r\xE9ponse 2" when the caption is empty. Empty when the page has
// no such field.
void FormatFieldName(const QuizRecord& quiz, int32_t fieldNumber, char* out, int outSize);

// The expected answer k (1 or 2) of a question.
const char* ExpectedAnswer(const QuestionNode& node, int32_t answer);

// The verdict for `typed` as answer k of a question: judged against every
// accepted form of that answer, with the quiz's choice about accents.
const char* JudgeQuestionAnswer(const QuizRecord& quiz, const QuestionNode& node, int32_t answer,
                                const char* typed);

// " 3 / 10": a space, the score, " / " and the number of questions.
void FormatScoreText(int32_t score, int32_t questionCount, char* out, int outSize);

// The reward of a score: the k-th code rewards a score of k; a score of 0 (or
// one beyond the table) shows NO_REWARD_CODE.
const char* RewardCode(const QuizRecord& quiz, int32_t score);
