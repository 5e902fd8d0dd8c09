// The loader on real resources: each test quiz is a resource-only DLL loaded
// as data (read-only pages: deciphering must work on a copy), read through
// FindResourceA/LoadResource like the player's own module.
#include "quiz/quiz_loader_win.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tests/quiz/quiz_expect.h"
#include "tests/quiz/test_quizzes.h"

namespace {

TEST(LoadQuizFromModule, EveryTestQuiz) {
    // The one message each case reports; the others load in full.
    const std::map<std::string, std::string> messages = {
        {"missing_content", kMissingContent},
        {"empty_content", kMissingContent},
        {"missing_codes", kCodesError},
        {"plain_content_enciphered_codes", kCodesError},
    };
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.erase(folder.find_last_of("\\/") + 1);
    for (const test_quizzes::TestQuiz& test : test_quizzes::All()) {
        SCOPED_TRACE(test.name);
        const std::string dll = folder + "testquiz_" + test.name + ".dll";
        HMODULE module = LoadLibraryExA(dll.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << dll;
        QuizData quiz;
        {
            RecordMessages recorder;
            LoadQuizFromModule(&quiz, module);
        }
        FreeLibrary(module);
        const auto found = messages.find(test.name);
        const std::string message = found == messages.end() ? "" : found->second;
        EXPECT_EQ(g_messages,
                  message.empty() ? std::vector<std::string>{} : std::vector<std::string>{message});
        EXPECT_EQ(Summary(quiz),
                  message == kMissingContent ? kSampleQuiz : Summary(test.source, message.empty()));
        EXPECT_STREQ(quiz.creditLine, "Fait avec Brelo");
        LOGBRUSH brush = {};
        GetObjectA(quiz.quizBrush, sizeof brush, &brush);
        EXPECT_EQ(brush.lbColor, static_cast<COLORREF>(quiz.QuizColor()));
    }
}

}  // namespace
