#include "quiz/quiz_record.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// QuestionAt gives the last node for any position past the end and the first
// for a negative one; AddQuestion links both ways and cuts texts at 259.
TEST(QuizRecord, QuestionList) {
    QuizRecord quiz;
    EXPECT_EQ(quiz.QuestionAt(0), nullptr);
    const std::string longText(400, 'x');
    QuestionNode* a = quiz.AddQuestion("UN", "", "p1");
    QuestionNode* b = quiz.AddQuestion("DEUX", "", "p2");
    QuestionNode* c = quiz.AddQuestion(longText.c_str(), longText.c_str(), longText.c_str());
    const struct {
        int position;
        QuestionNode* expected;
    } rows[] = {{0, a}, {1, b}, {2, c}, {3, c}, {1000, c}, {-1, a}};
    for (const auto& row : rows)
        EXPECT_EQ(quiz.QuestionAt(row.position), row.expected) << row.position;
    EXPECT_TRUE(a->prev == nullptr && b->prev == a && c->prev == b && c->next == nullptr);
    EXPECT_EQ(quiz.lastQuestion, c);
    EXPECT_EQ(std::string(c->answer1) + c->answer2 + c->prompt, std::string(3 * 259, 'x'));
}

}  // namespace
