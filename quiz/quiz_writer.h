// The quiz writer: the exact inverse of the content, codes and judging
// parsers. From a quiz held in plain C++ values it produces the "PATCH" 104
// (content), 105 (codes) and, when the quiz needs it, 106 (judging) resource
// bytes, LZW-compressed and optionally enciphered. Texts are
// Windows-1252 bytes. Every limit of the format is checked; a quiz that breaks
// one is refused with a message naming the field and the limit.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct QuizSourceQuestion {
    std::string answer1;
    std::string answer2;  // only with two answers per question
    std::string prompt;
    std::string extraText;   // display modes 1, 2, 3, 4, 6
    std::string extraText2;  // display modes 3 and 6: stored, never shown
    // Other accepted forms of answer1 and answer2 (at most 7 each); answer1
    // and answer2 stay the forms older players judge against.
    std::vector<std::string> otherAnswers1;
    std::vector<std::string> otherAnswers2;  // only with two answers per question
};

struct QuizSource {
    int mediaKind = 0;           // 0 text, 1 picture, 2 sound, 3 video
    int answersPerQuestion = 1;  // 1 or 2
    int displayMode = 0;         // 0..6
    std::string title;
    std::string author;
    std::string explanations;
    std::string answerLabel1;
    std::string answerLabel2;
    std::vector<QuizSourceQuestion> questions;  // at most 96
    uint8_t colorRed = 90;
    uint8_t colorGreen = 95;
    uint8_t colorBlue = 150;
    std::vector<std::string> codes;  // one per possible score (at most one per question)
    bool accentsTolerated = false;   // an accent-only slip counts as right
};

struct WrittenQuiz {
    std::vector<uint8_t> content;  // resource "PATCH" 104
    std::vector<uint8_t> codes;    // resource "PATCH" 105
    std::vector<uint8_t> judging;  // resource "PATCH" 106; empty when the quiz needs none
};

// Returns true and fills `out`, or false with `error` naming the field and the
// limit (e.g. "questions[3].prompt: 300 characters, at most 259").
bool WriteQuiz(const QuizSource& quiz, bool encipher, WrittenQuiz& out, std::string& error);
