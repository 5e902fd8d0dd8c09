// The Win32 quiz layer: the loader on a module, drawing objects.
#include "quiz/quiz_loader_win.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "quiz/quiz_format.h"
#include "tests/quiz/quiz_expect.h"

namespace {

// An enciphered quiz in a copy of this program loaded as data: read-only pages, so deciphering
// works on a copy. A program without a quiz is the shell test's.
TEST(LoadQuizFromModule, EncipheredQuiz) {
    const QuizSource source = RandomQuiz(1, 1, 2, 3, 5);
    WrittenQuiz written;
    std::string error;
    ASSERT_TRUE(WriteQuiz(source, true, written, error)) << error;
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const char* copy = ".\\quiz_module.dll";
    HANDLE update = CopyFileA(self, copy, FALSE) ? BeginUpdateResourceA(copy, FALSE) : nullptr;
    ASSERT_NE(update, nullptr) << GetLastError();
    const std::pair<int, Bytes*> blocks[] = {{QUIZ_CONTENT_RESOURCE, &written.content},
                                             {QUIZ_CODES_RESOURCE, &written.codes},
                                             {QUIZ_JUDGING_RESOURCE, &written.judging}};
    for (auto [id, block] : blocks)
        UpdateResourceA(update, QUIZ_RESOURCE_TYPE, MAKEINTRESOURCEA(id), 0, block->data(),
                        DWORD(block->size()));
    ASSERT_TRUE(EndUpdateResourceA(update, FALSE));
    HMODULE module = LoadLibraryExA(copy, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << GetLastError();
    QuizData quiz;
    RecordMessages recorder;
    LoadQuizFromModule(&quiz, module);
    FreeLibrary(module);
    DeleteFileA(copy);
    EXPECT_EQ(g_messages, Texts());
    EXPECT_EQ(Summary(quiz), Summary(source));
    EXPECT_TRUE(quiz.holdsOwnQuiz);
    LOGBRUSH brush = {};
    GetObjectA(quiz.quizBrush, sizeof brush, &brush);
    EXPECT_EQ(brush.lbColor, static_cast<COLORREF>(quiz.QuizColor()));
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
