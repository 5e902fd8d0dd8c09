#include "quiz/quiz_loader_win.h"

#include <vector>

#include "quiz/quiz_format.h"

namespace {

// A private copy of a "PATCH" resource: the bytes may be deciphered in place,
// and a module's resources are read-only. A resource that cannot be found or
// read is empty.
std::vector<uint8_t> CopyResource(HMODULE module, int name) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(name), QUIZ_RESOURCE_TYPE);
    if (found == nullptr) return {};
    const DWORD size = SizeofResource(module, found);
    HGLOBAL loaded = LoadResource(module, found);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr || size == 0) return {};
    const auto* first = static_cast<const uint8_t*>(bytes);
    return std::vector<uint8_t>(first, first + size);
}

}  // namespace

void LoadQuizFromModule(QuizData* quiz, HMODULE module) {
    QuizBlocks blocks;
    blocks.content = CopyResource(module, QUIZ_CONTENT_RESOURCE);
    blocks.codes = CopyResource(module, QUIZ_CODES_RESOURCE);
    blocks.judging = CopyResource(module, QUIZ_JUDGING_RESOURCE);
    const QuizLoadState state = LoadQuizBlocks(*quiz, blocks);
    quiz->holdsOwnQuiz =
        (state == QUIZ_LOADED || state == QUIZ_LOADED_WITHOUT_CODES) && quiz->questionCount > 0;
    quiz->RemakeQuizBrush();
}

void LoadQuiz(QuizData* quiz) {
    LoadQuizFromModule(quiz, GetModuleHandleA(nullptr));
}
