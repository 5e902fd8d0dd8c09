// The Win32 quiz layer: drawing objects, and the loader on a module loaded as data (read-only
// pages: deciphering must work on a copy).
#include "quiz/quiz_loader_win.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "quiz/quiz_format.h"
#include "tests/quiz/quiz_expect.h"

namespace {

// A copy of this program carrying `quiz` (blocks left empty left out), loaded as data.
HMODULE QuizModule(const char* path, const WrittenQuiz& quiz) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    HANDLE update = CopyFileA(self, path, FALSE) ? BeginUpdateResourceA(path, FALSE) : nullptr;
    const std::pair<int, const Bytes*> blocks[] = {{QUIZ_CONTENT_RESOURCE, &quiz.content},
                                                   {QUIZ_CODES_RESOURCE, &quiz.codes},
                                                   {QUIZ_JUDGING_RESOURCE, &quiz.judging}};
    for (auto [id, bytes] : blocks)
        if (update != nullptr && !bytes->empty())
            UpdateResourceA(update, QUIZ_RESOURCE_TYPE, MAKEINTRESOURCEA(id), 0,
                            const_cast<uint8_t*>(bytes->data()), DWORD(bytes->size()));
    if (update == nullptr || !EndUpdateResourceA(update, FALSE)) return nullptr;
    return LoadLibraryExA(path, nullptr, LOAD_LIBRARY_AS_DATAFILE);
}

// An enciphered quiz with codes and accepted forms, then the same without its content, which
// falls back to the sample quiz: only its own quiz saves.
TEST(LoadQuizFromModule, EncipheredQuizAndMissingContent) {
    const QuizSource source = RandomQuiz(1, 1, 2, 3, 5);
    WrittenQuiz written;
    std::string error;
    ASSERT_TRUE(WriteQuiz(source, true, written, error)) << error;
    for (bool ownQuiz : {true, false}) {
        SCOPED_TRACE(ownQuiz);
        if (!ownQuiz) written.content.clear();
        HMODULE module = QuizModule(".\\quiz_module.dll", written);
        ASSERT_NE(module, nullptr) << GetLastError();
        QuizData quiz;
        RecordMessages recorder;
        LoadQuizFromModule(&quiz, module);
        FreeLibrary(module);
        DeleteFileA(".\\quiz_module.dll");
        EXPECT_EQ(g_messages, Texts(!ownQuiz, kMissingContent));
        EXPECT_EQ(Summary(quiz), ownQuiz ? Summary(source) : kSampleQuiz);
        EXPECT_EQ(quiz.holdsOwnQuiz, ownQuiz);
        LOGBRUSH brush = {};
        GetObjectA(quiz.quizBrush, sizeof brush, &brush);
        EXPECT_EQ(brush.lbColor, static_cast<COLORREF>(quiz.QuizColor()));
    }
}

// QuizData's drawing objects: each is deleted when replaced or when the record goes.
TEST(QuizData, ReplacedAndOwnedObjectsAreDeleted) {
    auto* quiz = new QuizData();
    HFONT first = CreateFontA(15, 0, 0, 0, 100, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    quiz->SetPageFont(first);
    quiz->SetPageFont(CreateFontA(16, 0, 0, 0, 100, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
    HBRUSH oldBrush = quiz->quizBrush;
    quiz->RemakeQuizBrush();
    EXPECT_EQ(GetObjectType(first), 0u);
    EXPECT_EQ(GetObjectType(oldBrush), 0u);
    quiz->AddQuestion("a", "", "p");
    const HGDIOBJ objects[] = {quiz->quizBrush, quiz->brushRed,         quiz->brushOrange,
                               quiz->brushGold, quiz->brushLightYellow, quiz->emphasisFont,
                               quiz->pageFont,  quiz->textFont};
    for (HGDIOBJ object : objects) ASSERT_NE(GetObjectType(object), 0u);
    delete quiz;
    for (HGDIOBJ object : objects) EXPECT_EQ(GetObjectType(object), 0u);
}

}  // namespace
