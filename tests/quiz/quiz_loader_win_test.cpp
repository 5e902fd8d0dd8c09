// The Win32 quiz layer: drawing objects, and the loader on resource-only DLLs loaded as data
// (read-only pages: deciphering must work on a copy).
#include "quiz/quiz_loader_win.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/quiz/quiz_expect.h"
#include "tests/quiz/test_quizzes.h"

namespace {

TEST(LoadQuizFromModule, EveryTestQuiz) {
    for (const test_quizzes::TestQuiz& test : test_quizzes::All()) {
        SCOPED_TRACE(test.name);
        const std::string dll = "testquiz_" + test.name + ".dll";  // beside the test program
        HMODULE module = LoadLibraryExA(dll.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << dll;
        QuizData quiz;
        RecordMessages recorder;
        LoadQuizFromModule(&quiz, module);
        FreeLibrary(module);
        // A damaged content block falls back to the sample quiz; damaged codes are dropped.
        const std::string message = test.content != test_quizzes::AS_WRITTEN ? kMissingContent
                                    : test.codes != test_quizzes::AS_WRITTEN ? kCodesError
                                                                             : "";
        EXPECT_EQ(g_messages, std::vector<std::string>(!message.empty(), message));
        EXPECT_EQ(Summary(quiz),
                  message == kMissingContent ? kSampleQuiz : Summary(test.source, message.empty()));
        EXPECT_STREQ(quiz.creditLine, "Fait avec Brelo");
        EXPECT_EQ(quiz.holdsOwnQuiz, message != kMissingContent);  // only its own quiz saves
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
