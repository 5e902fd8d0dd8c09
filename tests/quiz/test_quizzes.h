// Random quizzes, and the set that make_test_quizzes turns into resource-only DLLs, one per
// loader case.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "quiz/quiz_writer.h"

namespace test_quizzes {

// Texts of 0, 259 or a few Windows-1252 characters (never '|' or zero); codes for some questions.
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
