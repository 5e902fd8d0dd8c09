// The one quiz the player holds: its texts, questions, codes and the page's
// run-time state. Pure data and list handling; the drawing objects the panels
// paint with live in QuizData (quiz_data_win.h), which extends this record.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

constexpr int QUIZ_MAX_QUESTIONS = 96;
constexpr int QUIZ_MAX_ROWS = 32;          // rows of three questions in the grid layouts
constexpr int QUIZ_TEXT_SIZE = 260;        // every text field holds at most 259 characters
constexpr int QUIZ_TEXT_MAX = QUIZ_TEXT_SIZE - 1;
constexpr int QUIZ_LINK_SIZE = 25;         // link address: at most 24 characters
constexpr int QUIZ_CREDIT_SIZE = 43;       // credit line: at most 42 characters

// What accompanies every question (one value for the whole quiz).
enum MediaKind : int32_t {
    MEDIA_NONE = 0,     // text only, list layout
    MEDIA_PICTURE = 1,  // grid layouts from here on
    MEDIA_SOUND = 2,
    MEDIA_VIDEO = 3,
};

// How the page shows a question after a reflow (questionState).
enum HideState : int32_t {
    HIDE_NONE = 0,
    HIDE_PICTURE = 1,
    HIDE_ROW = 2,
};

struct QuestionNode {
    char answer1[QUIZ_TEXT_SIZE];
    char answer2[QUIZ_TEXT_SIZE];
    char prompt[QUIZ_TEXT_SIZE];
    char extraText[QUIZ_TEXT_SIZE];
    int32_t status;  // 1 once solved; never reset
    // The other accepted forms of answer1 and answer2, from the optional
    // judging block; empty for most quizzes.
    std::vector<std::string> otherForms[2];
    QuestionNode* prev;
    QuestionNode* next;
};

struct QuizRecord {
    int32_t contentWidth;
    int32_t contentHeight;
    int32_t mediaKind;
    char title[QUIZ_TEXT_SIZE];
    char author[QUIZ_TEXT_SIZE];
    char explanations[QUIZ_TEXT_SIZE];
    char answerLabel1[QUIZ_TEXT_SIZE];
    char answerLabel2[QUIZ_TEXT_SIZE];
    int32_t questionCount;
    int32_t answersPerQuestion;
    char codes[QUIZ_MAX_QUESTIONS][QUIZ_TEXT_SIZE];  // codes[k] rewards a score of k + 1
    int32_t displayMode;
    int32_t accentsTolerated;  // 1: an accent-only slip counts as right (judging block)
    int32_t quizSolved;
    int32_t rowPictureHeight[QUIZ_MAX_ROWS];
    int32_t pageDpi;  // the page's layout, row heights and scroll steps are made for it
    int32_t questionState[QUIZ_MAX_QUESTIONS + 1];  // indexed by question number 1..96
    uint8_t colorRed;
    uint8_t colorBlue;
    uint8_t colorGreen;
    char linkAddress[QUIZ_LINK_SIZE];
    char creditLine[QUIZ_CREDIT_SIZE];
    QuestionNode* firstQuestion;
    QuestionNode* lastQuestion;

    QuizRecord();
    ~QuizRecord();
    QuizRecord(const QuizRecord&) = delete;
    QuizRecord& operator=(const QuizRecord&) = delete;

    // Appends a node; each text is copied and cut at 259 characters.
    QuestionNode* AddQuestion(const char* answer1, const char* answer2, const char* prompt);
    // Node at a 0-based position; the last node for any position past the end,
    // null only when the list is empty. A negative position yields the first.
    QuestionNode* QuestionAt(int position) const;
    void FreeQuestions();

    // The quiz colour as a Windows colour value: red + green*256 + blue*65536.
    uint32_t QuizColor() const;
};

// Copies at most size-1 bytes of text (stopping at its zero) and terminates.
void CopyText(char* destination, int size, const char* text);
