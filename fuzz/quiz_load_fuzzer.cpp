// The whole load on any pair of blocks (content and codes, stored or
// enciphered): the first two bytes give the content's length, the rest is
// split there. Every path must end in one of the four states with a sound
// record.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "quiz/quiz_format.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t wanted = static_cast<size_t>(data[0]) << 8 | data[1];
    const size_t contentSize = wanted < size - 2 ? wanted : size - 2;
    QuizBlocks blocks;
    blocks.content.assign(data + 2, data + 2 + contentSize);
    blocks.codes.assign(data + 2 + contentSize, data + size);
    QuizRecord quiz;
    const QuizLoadState state = LoadQuizBlocks(quiz, blocks);
    if (state != QUIZ_LOADED && state != QUIZ_SAMPLE && state != QUIZ_NOT_LOADED &&
        state != QUIZ_LOADED_WITHOUT_CODES)
        std::abort();
    if (quiz.questionCount < 0 || quiz.questionCount > QUIZ_MAX_QUESTIONS) std::abort();
    if (quiz.answersPerQuestion != 1 && quiz.answersPerQuestion != 2) std::abort();
    if (std::memchr(quiz.title, 0, QUIZ_TEXT_SIZE) == nullptr) std::abort();
    return 0;
}
