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

size_t Length(std::mt19937& random) {
    switch (random() % 4) {
        case 0:
            return 0;
        case 1:
            return 259;
        default:
            return random() % 40;
    }
}

QuizSource RandomQuiz(uint32_t seed) {
    std::mt19937 random(seed);
    QuizSource quiz;
    quiz.mediaKind = static_cast<int>(random() % 4);
    quiz.answersPerQuestion = 1 + static_cast<int>(random() % 2);
    quiz.displayMode = static_cast<int>(seed % 7);
    quiz.title = Text(random, Length(random));
    quiz.author = Text(random, Length(random));
    quiz.explanations = Text(random, Length(random));
    quiz.answerLabel1 = Text(random, Length(random));
    quiz.answerLabel2 = Text(random, Length(random));
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
    quiz.colorRed = static_cast<uint8_t>(random());
    quiz.colorGreen = static_cast<uint8_t>(random());
    quiz.colorBlue = static_cast<uint8_t>(random());
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

}  // namespace
