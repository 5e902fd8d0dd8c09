// Checks of a loaded quiz record, shared by the native and the Windows tests:
// a one-line summary, and a field by field comparison with the source it was
// written from.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "quiz/quiz_record.h"
#include "quiz/quiz_writer.h"

// The parsed record on one line: media kind, answers per question, display
// mode, colour, question count, title, second label, then every node.
inline std::string Summary(const QuizRecord& quiz) {
    char head[64];
    std::snprintf(head, sizeof head, "m%d a%d d%d c%06X %d:", quiz.mediaKind,
                  quiz.answersPerQuestion, quiz.displayMode, quiz.QuizColor(), quiz.questionCount);
    std::string text = head + std::string(quiz.title) + "/" + quiz.answerLabel2;
    for (const QuestionNode* n = quiz.firstQuestion; n != nullptr; n = n->next)
        text += std::string(" [") + n->answer1 + "," + n->answer2 + "," + n->prompt + "," +
                n->extraText + "]";
    return text;
}

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
