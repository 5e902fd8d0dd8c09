#include "answers/scoring.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(Scoring, FieldsPerQuestionByLayout) {
    struct Case {
        int32_t mediaKind, answersPerQuestion, fields;
    };
    const Case cases[] = {
        {MEDIA_NONE, 1, 1},  {MEDIA_NONE, 2, 1},  // the list has one field per row
        {MEDIA_NONE, 0, 1},  {MEDIA_PICTURE, 1, 1}, {MEDIA_PICTURE, 2, 2}, {MEDIA_SOUND, 2, 2},
        {MEDIA_VIDEO, 1, 1}, {MEDIA_PICTURE, 3, 0}, {MEDIA_VIDEO, 0, 0},   {4, 1, 0},
        {-1, 1, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FieldsPerQuestion(c.mediaKind, c.answersPerQuestion), c.fields)
            << c.mediaKind << "/" << c.answersPerQuestion;
    }
}

TEST(Scoring, EachFieldBelongsToItsOwnQuestion) {
    struct Case {
        int32_t mediaKind, answersPerQuestion, questionCount, field;
        bool exists;
        int32_t question, answer;
    };
    const Case cases[] = {
        {MEDIA_PICTURE, 2, 4, 1, true, 1, 1},
        {MEDIA_PICTURE, 2, 4, 3, true, 2, 1},
        {MEDIA_PICTURE, 2, 4, 4, true, 2, 2},
        {MEDIA_PICTURE, 2, 4, 8, true, 4, 2},
        {MEDIA_PICTURE, 2, 4, 9, false, 0, 0},
        {MEDIA_PICTURE, 2, 4, 0, false, 0, 0},
        {MEDIA_SOUND, 1, 4, 4, true, 4, 1},
        {MEDIA_SOUND, 1, 4, 5, false, 0, 0},
        // A list quiz declaring two answers: field 3 is question 3's, not
        // question 2's second answer.
        {MEDIA_NONE, 2, 4, 3, true, 3, 1},
        {MEDIA_NONE, 2, 4, 5, false, 0, 0},
        {MEDIA_PICTURE, 3, 4, 1, false, 0, 0},
        {MEDIA_NONE, 1, 200, 96, true, 96, 1},
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

TEST(Scoring, FieldCountFollowsTheLayout) {
    struct Case {
        int32_t mediaKind, answersPerQuestion, questionCount, fields;
    };
    const Case cases[] = {
        {MEDIA_NONE, 2, 7, 7},     {MEDIA_PICTURE, 2, 7, 14}, {MEDIA_PICTURE, 1, 96, 96},
        {MEDIA_VIDEO, 2, 96, 192}, {MEDIA_PICTURE, 2, -3, 0}, {MEDIA_PICTURE, 2, 500, 192},
    };
    for (const Case& c : cases) {
        QuizRecord quiz;
        quiz.mediaKind = c.mediaKind;
        quiz.answersPerQuestion = c.answersPerQuestion;
        quiz.questionCount = c.questionCount;
        EXPECT_EQ(AnswerFieldCount(quiz), c.fields) << c.questionCount;
    }
}

TEST(Scoring, ScoreTextAndRewardCode) {
    QuizRecord quiz;
    for (int k = 0; k < QUIZ_MAX_QUESTIONS; ++k) {
        std::snprintf(quiz.codes[k], sizeof quiz.codes[k], "CODE%d", k + 1);
    }
    struct Case {
        int32_t score, questions;
        const char* text;
        const char* code;
    };
    const Case cases[] = {
        {0, 10, " 0 / 10", "      "},   {3, 10, " 3 / 10", "CODE3"},
        {96, 96, " 96 / 96", "CODE96"}, {97, 96, " 97 / 96", "      "},
        {-1, 5, " -1 / 5", "      "},
    };
    for (const Case& c : cases) {
        char text[SCORE_TEXT_SIZE];
        FormatScoreText(c.score, c.questions, text, sizeof text);
        EXPECT_STREQ(text, c.text);
        EXPECT_STREQ(RewardCode(quiz, c.score), c.code) << c.score;
    }
    EXPECT_EQ(std::strlen(NO_REWARD_CODE), 6u);
}

}  // namespace
