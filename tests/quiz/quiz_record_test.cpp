#include "quiz/quiz_record.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(QuizRecord, Defaults) {
    QuizRecord quiz;
    EXPECT_STREQ(quiz.title, "Nom du brelo");
    EXPECT_STREQ(quiz.author, "Createur brelo");
    EXPECT_EQ(quiz.questionCount, 2);
    EXPECT_EQ(quiz.answersPerQuestion, 1);
    EXPECT_EQ(quiz.firstQuestion, nullptr);
    EXPECT_EQ(quiz.QuestionAt(0), nullptr);
    EXPECT_EQ(quiz.QuizColor(), 90u + 95u * 256u + 150u * 65536u);
}

TEST(QuizRecord, ListLinksAndLookupPastTheEnd) {
    QuizRecord quiz;
    QuestionNode* a = quiz.AddQuestion("UN", "", "p1");
    QuestionNode* b = quiz.AddQuestion("DEUX", "", "p2");
    EXPECT_EQ(quiz.QuestionAt(5), b);
    QuestionNode* c = quiz.AddQuestion("TROIS", "3", "p3");
    EXPECT_EQ(quiz.firstQuestion, a);
    EXPECT_EQ(quiz.lastQuestion, c);
    EXPECT_EQ(a->next, b);
    EXPECT_EQ(b->next, c);
    EXPECT_EQ(c->next, nullptr);
    EXPECT_EQ(c->prev, b);
    EXPECT_EQ(b->prev, a);
    EXPECT_EQ(a->prev, nullptr);
    const struct {
        int position;
        QuestionNode* expected;
    } rows[] = {{0, a}, {1, b}, {2, c}, {3, c}, {1000, c}, {-1, a}};
    for (const auto& row : rows)
        EXPECT_EQ(quiz.QuestionAt(row.position), row.expected) << row.position;
    EXPECT_STREQ(c->answer2, "3");
    EXPECT_EQ(c->status, 0);
    EXPECT_STREQ(c->extraText, "");
}

TEST(QuizRecord, TextsAreCutAt259) {
    QuizRecord quiz;
    std::string longText(400, 'x');
    QuestionNode* node = quiz.AddQuestion(longText.c_str(), longText.c_str(), longText.c_str());
    EXPECT_EQ(std::string(node->answer1).size(), 259u);
    EXPECT_EQ(std::string(node->prompt).size(), 259u);
}

TEST(QuizRecord, ColourValueIsRedGreenBlueFromLow) {
    QuizRecord quiz;
    quiz.colorRed = 51;
    quiz.colorGreen = 102;
    quiz.colorBlue = 255;
    EXPECT_EQ(quiz.QuizColor(), 0xFF6633u);
}

}  // namespace
