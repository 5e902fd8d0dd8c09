// The quizzes built into resource-only DLLs for the Windows loader tests. The
// host program make_test_quizzes writes their resources with the quiz writer;
// the tests load each DLL and compare the record with the same definitions.
#pragma once

#include <string>
#include <vector>

#include "quiz/quiz_writer.h"

namespace test_quizzes {

// How a resource is stored in the DLL.
enum Block {
    BLOCK_AS_WRITTEN,  // the writer's output (enciphered when the quiz is)
    BLOCK_MISSING,     // no such resource
    BLOCK_EMPTY,       // present, 0 bytes
    BLOCK_ONE_BYTE,    // present, 1 byte
    BLOCK_OTHER_FORM,  // enciphered when the quiz is plain
};

struct TestQuiz {
    std::string name;  // the DLL is testquiz_<name>.dll
    QuizSource source;
    bool encipher;
    Block content;
    Block codes;
};

std::vector<TestQuiz> All();

}  // namespace test_quizzes
