// Compares a loaded quiz record with the source it was written from, field by
// field. Shared by the native round trips and the Windows loader tests.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "quiz/quiz_record.h"
#include "quiz/quiz_writer.h"

inline void ExpectQuizMatches(const QuizRecord& quiz, const QuizSource& source,
                              bool withCodes = true) {
    EXPECT_EQ(quiz.mediaKind, source.mediaKind);
    EXPECT_EQ(quiz.answersPerQuestion, source.answersPerQuestion);
    EXPECT_EQ(quiz.displayMode, source.displayMode);
    EXPECT_EQ(quiz.title, source.title);
    EXPECT_EQ(quiz.author, source.author);
    EXPECT_EQ(quiz.explanations, source.explanations);
    EXPECT_EQ(quiz.answerLabel1, source.answerLabel1);
    EXPECT_EQ(quiz.answerLabel2, source.answerLabel2);
    EXPECT_EQ(quiz.colorRed, source.colorRed);
    EXPECT_EQ(quiz.colorGreen, source.colorGreen);
    EXPECT_EQ(quiz.colorBlue, source.colorBlue);
    ASSERT_EQ(quiz.questionCount, static_cast<int>(source.questions.size()));
    const bool extra =
        source.displayMode >= 1 && source.displayMode <= 6 && source.displayMode != 5;
    const QuestionNode* node = quiz.firstQuestion;
    for (size_t i = 0; i < source.questions.size(); ++i) {
        ASSERT_NE(node, nullptr) << "question " << i;
        const QuizSourceQuestion& q = source.questions[i];
        EXPECT_EQ(node->answer1, q.answer1) << "question " << i;
        EXPECT_EQ(node->answer2, source.answersPerQuestion == 2 ? q.answer2 : "")
            << "question " << i;
        EXPECT_EQ(node->prompt, q.prompt) << "question " << i;
        EXPECT_EQ(node->extraText, extra ? q.extraText : "") << "question " << i;
        EXPECT_EQ(node->status, 0);
        node = node->next;
    }
    EXPECT_EQ(node, nullptr);
    for (size_t i = 0; i < source.questions.size(); ++i) {
        const std::string expected =
            withCodes && i < source.codes.size() ? source.codes[i] : std::string();
        EXPECT_EQ(quiz.codes[i], expected) << "code " << i;
    }
}
