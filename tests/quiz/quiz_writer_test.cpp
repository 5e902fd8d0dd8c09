#include "quiz/quiz_writer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "quiz/quiz_format.h"
#include "tests/quiz/quiz_expect.h"

namespace {

// Texts of a given length drawn from Windows-1252 letters, accents included,
// never '|' or a zero byte.
std::string Text(std::mt19937& random, size_t length) {
    static const char letters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ '-?!.,"
        "\xE0\xE2\xE7\xE8\xE9\xEA\xEB\xEE\xEF\xF4\xF9\xFB\xFC\xC9\xC0\x9C\x80\xAB\xBB";
    std::string s;
    for (size_t i = 0; i < length; ++i) s += letters[random() % (sizeof letters - 1)];
    return s;
}

// 0, 259 or a short length.
size_t Length(std::mt19937& random) {
    const uint32_t pick = random() % 4;
    return pick == 0 ? 0 : pick == 1 ? 259 : random() % 40;
}

QuizSource RandomQuiz(uint32_t seed) {
    std::mt19937 random(seed);
    QuizSource quiz;
    quiz.mediaKind = static_cast<int>(random() % 4);
    quiz.answersPerQuestion = 1 + static_cast<int>(random() % 2);
    quiz.displayMode = static_cast<int>(seed % 7);
    for (auto* text :
         {&quiz.title, &quiz.author, &quiz.explanations, &quiz.answerLabel1, &quiz.answerLabel2})
        *text = Text(random, Length(random));
    const size_t count = seed % 5 == 0 ? 96 : random() % 20;
    for (size_t i = 0; i < count; ++i) {
        QuizSourceQuestion q;
        q.answer1 = Text(random, Length(random));
        if (quiz.answersPerQuestion == 2) q.answer2 = Text(random, Length(random));
        q.prompt = Text(random, Length(random));
        if (quiz.displayMode != 0 && quiz.displayMode != 5)
            q.extraText = Text(random, Length(random));
        if (quiz.displayMode == 3 || quiz.displayMode == 6)
            q.extraText2 = Text(random, Length(random));
        quiz.questions.push_back(q);
    }
    const size_t codes = count == 0 ? 0 : random() % (count + 1);
    for (size_t i = 0; i < codes; ++i) quiz.codes.push_back(Text(random, Length(random)));
    quiz.colorRed = random(), quiz.colorGreen = random(), quiz.colorBlue = random();
    return quiz;
}

TEST(QuizWriter, RoundTripThroughTheLoader) {
    for (uint32_t seed = 0; seed < 120; ++seed) {
        const QuizSource source = RandomQuiz(seed);
        for (bool encipher : {false, true}) {
            WrittenQuiz written;
            std::string error;
            ASSERT_TRUE(WriteQuiz(source, encipher, written, error)) << seed << " " << error;
            QuizBlocks blocks;
            blocks.content = written.content;
            blocks.codes = written.codes;
            QuizRecord quiz;
            ASSERT_EQ(LoadQuizBlocks(quiz, blocks), QUIZ_LOADED) << seed << " " << encipher;
            SCOPED_TRACE(testing::Message() << "seed " << seed << " encipher " << encipher);
            ExpectQuizMatches(quiz, source);
        }
    }
}

QuizSource ValidQuiz(int questions) {
    QuizSource quiz;
    quiz.title = "Quiz";
    for (int i = 0; i < questions; ++i) quiz.questions.push_back({"a", "b", "p", "x", "y"});
    return quiz;
}

TEST(QuizWriter, RefusesWhatTheFormatCannotHold) {
    using Change = void (*)(QuizSource&);
    const struct {
        const char* name;
        Change change;
        std::string error;
    } rows[] = {
        {"97 questions", [](QuizSource& q) { q = ValidQuiz(97); },
         "questions: 97 questions, at most 96"},
        {"title of 260", [](QuizSource& q) { q.title = std::string(260, 't'); },
         "title: 260 characters, at most 259"},
        {"author with '|'", [](QuizSource& q) { q.author = "M|N"; },
         "author: '|' at character 1, not allowed inside a field"},
        {"label with a zero byte", [](QuizSource& q) { q.answerLabel2 = std::string("ab\0", 3); },
         "answerLabel2: a zero byte at character 2, not allowed inside a field"},
        {"prompt of 300", [](QuizSource& q) { q.questions[2].prompt = std::string(300, 'p'); },
         "questions[2].prompt: 300 characters, at most 259"},
        {"answer1 with '|'", [](QuizSource& q) { q.questions[0].answer1 = "|"; },
         "questions[0].answer1: '|' at character 0, not allowed inside a field"},
        {"answer2 with two answers",
         [](QuizSource& q) {
             q.answersPerQuestion = 2, q.questions[1].answer2 = std::string(260, 'b');
         },
         "questions[1].answer2: 260 characters, at most 259"},
        {"extra text in mode 2",
         [](QuizSource& q) { q.displayMode = 2, q.questions[1].extraText = "a|b"; },
         "questions[1].extraText: '|' at character 1, not allowed inside a field"},
        {"second extra text in mode 6",
         [](QuizSource& q) {
             q.displayMode = 6, q.questions[2].extraText2 = std::string(261, 'y');
         },
         "questions[2].extraText2: 261 characters, at most 259"},
        {"display mode 7", [](QuizSource& q) { q.displayMode = 7; },
         "displayMode: 7, must be 0 to 6"},
        {"three answers", [](QuizSource& q) { q.answersPerQuestion = 3; },
         "answersPerQuestion: 3, must be 1 to 2"},
        {"display mode -1", [](QuizSource& q) { q.displayMode = -1; },
         "displayMode: -1, must be 0 to 6"},
        {"no answer", [](QuizSource& q) { q.answersPerQuestion = 0; },
         "answersPerQuestion: 0, must be 1 to 2"},
        {"media kind 4", [](QuizSource& q) { q.mediaKind = 4; }, "mediaKind: 4, must be 0 to 3"},
        {"more codes than questions", [](QuizSource& q) { q.codes.assign(4, "C"); },
         "codes: 4 codes, at most one per question (3)"},
        {"code of 260",
         [](QuizSource& q) {
             q.codes = {"", std::string(260, 'c')};
         },
         "codes[1]: 260 characters, at most 259"},
        {"code with CR", [](QuizSource& q) { q.codes = {"a\rb"}; },
         "codes[0]: a line break at character 1, not allowed in a code"},
        {"code with LF", [](QuizSource& q) { q.codes = {"ab\n"}; },
         "codes[0]: a line break at character 2, not allowed in a code"},
        {"decoded content over 120000",
         [](QuizSource& q) {
             q = ValidQuiz(96);
             q.answersPerQuestion = 2;
             q.displayMode = 6;
             for (auto& question : q.questions)
                 for (auto* text : {&question.answer1, &question.answer2, &question.prompt,
                                    &question.extraText, &question.extraText2})
                     *text = std::string(259, 'a');
         },
         "content: 124817 bytes once decoded, at most 120000"},
        {"compressed content over 65535",
         [](QuizSource& q) {
             std::mt19937 random(9);
             q = ValidQuiz(96);
             q.answersPerQuestion = 2;
             q.displayMode = 2;
             for (auto& question : q.questions)
                 for (auto* text :
                      {&question.answer1, &question.answer2, &question.prompt, &question.extraText})
                     *text = Text(random, 259);
         },
         "content: the compressed block exceeds 65535 bytes"},
    };
    for (const auto& row : rows) {
        QuizSource quiz = ValidQuiz(3);
        row.change(quiz);
        WrittenQuiz written;
        written.content = {1};
        std::string error;
        EXPECT_FALSE(WriteQuiz(quiz, false, written, error)) << row.name;
        EXPECT_EQ(error, row.error) << row.name;
        EXPECT_TRUE(written.content.empty() && written.codes.empty()) << row.name;
    }
}

// Texts the current layout does not store are not checked either: a second
// answer with one answer per question, extra texts in modes 0 and 5.
TEST(QuizWriter, IgnoresFieldsTheLayoutDoesNotStore) {
    for (int mode : {0, 5}) {
        QuizSource quiz = ValidQuiz(2);
        quiz.displayMode = mode;
        quiz.questions[0].answer2 = "a|b";
        quiz.questions[0].extraText = std::string(400, 'x');
        quiz.questions[1].extraText2 = "|";
        WrittenQuiz written;
        std::string error;
        EXPECT_TRUE(WriteQuiz(quiz, false, written, error)) << error;
    }
}

}  // namespace
