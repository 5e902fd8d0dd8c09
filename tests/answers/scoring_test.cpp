#include "answers/scoring.h"

#include <gtest/gtest.h>

namespace {

TEST(Scoring, EachFieldBelongsToItsOwnQuestion) {
    struct Case {
        int32_t mediaKind, answersPerQuestion, questionCount, field;
        bool exists;
        int32_t question, answer;
    };
    const Case cases[] = {
        {MEDIA_PICTURE, 2, 4, 3, true, 2, 1},
        {MEDIA_PICTURE, 2, 4, 8, true, 4, 2},
        {MEDIA_PICTURE, 2, 4, 9, false, 0, 0},
        {MEDIA_SOUND, 1, 4, 0, false, 0, 0},
        // A list quiz declaring two answers has one field per row: field 3 is
        // question 3's, not question 2's second answer.
        {MEDIA_NONE, 2, 4, 3, true, 3, 1},
        {MEDIA_NONE, 2, 4, 5, false, 0, 0},
        {MEDIA_PICTURE, 3, 4, 1, false, 0, 0},
        {MEDIA_NONE, 1, 200, 97, false, 0, 0},
    };
    for (const Case& c : cases) {
        QuizRecord quiz;
        quiz.mediaKind = c.mediaKind;
        quiz.answersPerQuestion = c.answersPerQuestion;
        quiz.questionCount = c.questionCount;
        FieldPlace place = {-1, -1};
        ASSERT_EQ(LocateAnswerField(quiz, c.field, &place), c.exists) << c.field;
        if (!c.exists) continue;
        EXPECT_EQ(place.question, c.question) << c.field;
        EXPECT_EQ(place.answer, c.answer) << c.field;
        EXPECT_EQ(FieldNumberOf(quiz, c.question, c.answer), c.field);
    }
}

TEST(Scoring, OnlyScoresWithACodeShowOne) {
    QuizRecord quiz;
    CopyText(quiz.codes[0], sizeof quiz.codes[0], "UN");
    CopyText(quiz.codes[95], sizeof quiz.codes[95], "TOUT");
    const struct {
        int32_t score;
        const char* code;
    } cases[] = {{0, "      "}, {1, "UN"}, {96, "TOUT"}, {97, "      "}, {-1, "      "}};
    for (const auto& c : cases) EXPECT_STREQ(RewardCode(quiz, c.score), c.code) << c.score;
}

}  // namespace
