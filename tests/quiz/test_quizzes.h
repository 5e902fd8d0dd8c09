// Quizzes for the quiz tests: random ones for the round trip, and the set the
// Windows build turns into resource-only DLLs, one per loader case (the host
// program make_test_quizzes writes their resources with the quiz writer).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "quiz/quiz_writer.h"

namespace test_quizzes {

// Every text (stored or not) of 0, 259 or a few Windows-1252 characters,
// accents included, never '|' or a zero byte; codes for some questions.
QuizSource RandomQuiz(uint32_t seed, int mediaKind, int answers, int displayMode, size_t questions);

// How a resource is stored in a test DLL.
enum Block { AS_WRITTEN, MISSING, EMPTY, ENCIPHERED_ANYWAY };

struct TestQuiz {
    std::string name;  // the DLL is testquiz_<name>.dll
    QuizSource source;
    bool encipher;
    Block content = AS_WRITTEN;
    Block codes = AS_WRITTEN;
};

std::vector<TestQuiz> All();

}  // namespace test_quizzes
