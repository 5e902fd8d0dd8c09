// The loader on real resources: each test quiz is a resource-only DLL loaded
// as data, read through FindResourceA/LoadResource like the player's own.
#include "quiz/quiz_loader_win.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "shell/report.h"
#include "tests/quiz/quiz_expect.h"
#include "tests/quiz/test_quizzes.h"

namespace {

std::vector<std::string> g_messages;
void Record(const char* text, const char* caption, unsigned style) {
    g_messages.push_back(std::string(caption) + "|" + text + "|" + std::to_string(style));
}

std::string Beside(const std::string& file) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    folder.erase(folder.find_last_of("\\/") + 1);
    return folder + file;
}

COLORREF BrushColour(HBRUSH brush) {
    LOGBRUSH description = {};
    GetObjectA(brush, sizeof description, &description);
    return description.lbColor;
}

enum Outcome { FULL, NO_CODES, SAMPLE, NOTHING };
const std::string kCodes =
    "Brelo|Erreur dans le d\xE9"
    "cryptage des codes|0";
const std::string kMissing = "Brelo|Ombres sur la rivi\xE8re|0";
const std::vector<std::string> kMessages[] = {{},
                                              {kCodes},
                                              {kMissing},
                                              {"Brelo|Erreur dans le d\xE9"
                                               "cryptage des reponses|0"}};

// Seven questions on two nodes, colour 51,102,255.
void ExpectSample(const QuizData& quiz) {
    EXPECT_EQ(Summary(quiz),
              "m1 a2 d3 cFF6633 7:Nom du brelo/TEST [TEST,TEST,emplacement,] "
              "[TEST,TEST,emplacement,]");
    EXPECT_STREQ(quiz.explanations, "Explications du brelo");
    EXPECT_EQ(BrushColour(quiz.quizBrush), static_cast<COLORREF>(0xFF6633));
}

TEST(LoadQuizFromModule, EveryTestQuiz) {
    // Every other test quiz loads in full.
    const std::map<std::string, Outcome> outcomes = {
        {"missing_content", SAMPLE},
        {"empty_content", SAMPLE},
        {"missing_codes", NO_CODES},
        {"plain_content_enciphered_codes", NO_CODES},
        {"enciphered_missing_codes", NO_CODES},
        {"enciphered_one_byte_codes", NO_CODES},
        {"garbage_content", NOTHING},
    };
    const std::vector<test_quizzes::TestQuiz> quizzes = test_quizzes::All();
    ASSERT_EQ(quizzes.size(), 16u);
    for (const test_quizzes::TestQuiz& test : quizzes) {
        SCOPED_TRACE(test.name);
        const auto found = outcomes.find(test.name);
        const Outcome outcome = found == outcomes.end() ? FULL : found->second;
        const std::string path = Beside("testquiz_" + test.name + ".dll");
        HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr) << path;

        QuizData quiz;
        g_messages.clear();
        g_reportMessage = Record;
        LoadQuizFromModule(&quiz, module);
        g_reportMessage = nullptr;
        FreeLibrary(module);

        EXPECT_EQ(g_messages, kMessages[outcome]);
        EXPECT_STREQ(quiz.linkAddress, "http://brelo.fr");
        EXPECT_STREQ(quiz.creditLine, "Fait avec Brelo");
        switch (outcome) {
            case FULL:
            case NO_CODES:
                ExpectQuizMatches(quiz, test.source, outcome == FULL);
                EXPECT_EQ(BrushColour(quiz.quizBrush), static_cast<COLORREF>(quiz.QuizColor()));
                break;
            case SAMPLE:
                ExpectSample(quiz);
                break;
            case NOTHING:
                EXPECT_EQ(Summary(quiz), "m0 a1 d0 c965F5A 0:Nom du brelo/");
                EXPECT_EQ(BrushColour(quiz.quizBrush), RGB(90, 95, 150));
                break;
        }
    }
}

// The player's entry reads its own module; this test program carries no quiz.
TEST(LoadQuiz, OwnModuleWithoutQuizGivesTheSample) {
    QuizData quiz;
    g_messages.clear();
    g_reportMessage = Record;
    LoadQuiz(&quiz);
    g_reportMessage = nullptr;
    EXPECT_EQ(g_messages, std::vector<std::string>{kMissing});
    ExpectSample(quiz);
}

}  // namespace
