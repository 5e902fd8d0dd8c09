// QuizData's drawing objects: each is deleted when replaced or when the record goes.
#include "quiz/quiz_data_win.h"

#include <gtest/gtest.h>

namespace {

TEST(QuizData, ReplacedAndOwnedObjectsAreDeleted) {
    auto* quiz = new QuizData();
    HFONT first = CreateFontA(15, 0, 0, 0, 100, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    quiz->SetPageFont(first);
    quiz->SetPageFont(CreateFontA(16, 0, 0, 0, 100, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
    HBRUSH oldBrush = quiz->quizBrush;
    quiz->RemakeQuizBrush();
    EXPECT_EQ(GetObjectType(first), 0u);
    EXPECT_EQ(GetObjectType(oldBrush), 0u);
    quiz->AddQuestion("a", "", "p");
    const HGDIOBJ objects[] = {quiz->quizBrush, quiz->brushRed,         quiz->brushOrange,
                               quiz->brushGold, quiz->brushLightYellow, quiz->emphasisFont,
                               quiz->pageFont,  quiz->textFont};
    for (HGDIOBJ object : objects) ASSERT_NE(GetObjectType(object), 0u);
    delete quiz;
    for (HGDIOBJ object : objects) EXPECT_EQ(GetObjectType(object), 0u);
}

}  // namespace
