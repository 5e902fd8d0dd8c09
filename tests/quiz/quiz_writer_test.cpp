#include "quiz/quiz_writer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "quiz/quiz_format.h"
#include "tests/quiz/quiz_expect.h"

namespace {

// Writer -> compressor -> (cipher) -> loader gives back the same quiz, whatever its layout.
TEST(QuizWriter, RoundTripThroughTheLoader) {
    for (uint32_t seed = 0; seed < 120; ++seed) {
        const QuizSource source =
            RandomQuiz(seed, seed % 4, 1 + seed / 7 % 2, seed % 7, seed % 5 == 0 ? 96 : seed % 20);
        for (bool encipher : {false, true}) {
            SCOPED_TRACE(testing::Message() << "seed " << seed << " encipher " << encipher);
            WrittenQuiz written;
            std::string error;
            ASSERT_TRUE(WriteQuiz(source, encipher, written, error)) << error;
            QuizBlocks blocks;
            blocks.content = written.content;
            blocks.codes = written.codes;
            blocks.judging = written.judging;
            QuizRecord quiz;
            ASSERT_EQ(LoadQuizBlocks(quiz, blocks), QUIZ_LOADED);
            EXPECT_EQ(Summary(quiz), Summary(source));
        }
    }
}

// 96 questions with two answers, every question text 259 characters.
void Maximal(QuizSource& quiz, int displayMode, bool random) {
    std::mt19937 generator(9);
    quiz.answersPerQuestion = 2, quiz.displayMode = displayMode;
    quiz.questions.resize(96);
    for (auto& q : quiz.questions)
        for (auto* text : {&q.answer1, &q.answer2, &q.prompt, &q.extraText, &q.extraText2})
            while (text->size() < 259) *text += random ? char('!' + generator() % 90) : 'a';
}

TEST(QuizWriter, RefusesWhatTheFormatCannotHold) {
    using Change = void (*)(QuizSource&);
    // clang-format off
    const struct {
        Change change;
        std::string error;  // empty: accepted
    } rows[] = {
        {[](QuizSource& q) { q.questions.resize(97); }, "questions: 97 questions, at most 96"},
        {[](QuizSource& q) { q.title.assign(260, 't'); }, "title: 260 characters, at most 259"},
        {[](QuizSource& q) { q.answerLabel2.assign("ab\0", 3); },
         "answerLabel2: a zero byte at character 2, not allowed inside a field"},
        {[](QuizSource& q) { q.questions[0].answer1 = "|"; },
         "questions[0].answer1: '|' at character 0, not allowed inside a field"},
        {[](QuizSource& q) { q.answersPerQuestion = 2, q.questions[1].answer2.assign(260, 'b'); },
         "questions[1].answer2: 260 characters, at most 259"},
        {[](QuizSource& q) { q.displayMode = 2, q.questions[1].extraText = "a|b"; },
         "questions[1].extraText: '|' at character 1, not allowed inside a field"},
        {[](QuizSource& q) { q.displayMode = 6, q.questions[2].extraText2.assign(261, 'y'); },
         "questions[2].extraText2: 261 characters, at most 259"},
        {[](QuizSource& q) { q.displayMode = 7; }, "displayMode: 7, must be 0 to 6"},
        {[](QuizSource& q) { q.answersPerQuestion = 0; }, "answersPerQuestion: 0, must be 1 to 2"},
        {[](QuizSource& q) { q.mediaKind = 4; }, "mediaKind: 4, must be 0 to 3"},
        {[](QuizSource& q) { q.codes.assign(4, "C"); },
         "codes: 4 codes, at most one per question (3)"},
        {[](QuizSource& q) { q.codes = {"", std::string(260, 'c')}; },
         "codes[1]: 260 characters, at most 259"},
        {[](QuizSource& q) { q.codes = {"a\rb"}; },
         "codes[0]: a line break at character 1, not allowed in a code"},
        {[](QuizSource& q) { q.questions[1].otherAnswers1.assign(8, "f"); },
         "questions[1].answer1: 9 accepted forms, at most 8"},
        {[](QuizSource& q) { q.answersPerQuestion = 2, q.questions[2].otherAnswers2 = {"f", ""}; },
         "questions[2].answer2[2]: empty, an accepted form needs a character"},
        {[](QuizSource& q) { q.questions[0].otherAnswers1 = {"f|g"}; },
         "questions[0].answer1[1]: '|' at character 1, not allowed inside a field"},
        {[](QuizSource& q) { Maximal(q, 6, false); },
         "content: 124817 bytes once decoded, at most 120000"},
        {[](QuizSource& q) { Maximal(q, 2, true); },
         "content: the compressed block exceeds 65535 bytes"},
        // Texts the layout does not store are not checked either.
        {[](QuizSource& q) {
             q.questions[0].answer2 = "a|b", q.questions[0].otherAnswers2 = {""};
             q.displayMode = 5, q.questions[1].extraText.assign(400, '|');
         },
         ""},
    };
    // clang-format on
    for (const auto& row : rows) {
        QuizSource quiz;
        quiz.title = "Quiz";
        quiz.questions.assign(3, {"a", "b", "p", "x", "y", {}, {}});
        row.change(quiz);
        WrittenQuiz written{{1}, {}, {}};
        std::string error;
        EXPECT_EQ(WriteQuiz(quiz, false, written, error), row.error.empty()) << row.error;
        EXPECT_EQ(error, row.error);
        EXPECT_EQ(written.content.empty() && written.codes.empty(), !row.error.empty()) << error;
    }
}

}  // namespace
