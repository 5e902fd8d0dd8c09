// QuizData's drawing objects: what the constructor makes, what the record
// replaces, and that the destructor deletes each exactly once.
#include "quiz/quiz_data_win.h"

#include <gtest/gtest.h>

#include <string>

namespace {

COLORREF BrushColour(HBRUSH brush) {
    LOGBRUSH description = {};
    if (GetObjectA(brush, sizeof description, &description) != sizeof description)
        return 0xFFFFFFFF;
    return description.lbColor;
}

LOGFONTA FontOf(HFONT font) {
    LOGFONTA description = {};
    GetObjectA(font, sizeof description, &description);
    return description;
}

TEST(QuizData, ConstructorMakesFontsAndBrushes) {
    QuizData quiz;
    EXPECT_STREQ(quiz.title, "Nom du brelo");
    EXPECT_EQ(quiz.questionCount, 2);
    EXPECT_EQ(quiz.pageFont, nullptr);
    EXPECT_EQ(quiz.hQuestionPage, nullptr);
    EXPECT_EQ(quiz.hHeaderPanel, nullptr);

    const struct {
        const char* name;
        HBRUSH brush;
        COLORREF colour;
    } brushes[] = {
        {"quiz", quiz.quizBrush, RGB(90, 95, 150)},
        {"red", quiz.brushRed, RGB(255, 0, 0)},
        {"orange", quiz.brushOrange, RGB(255, 100, 0)},
        {"gold", quiz.brushGold, RGB(255, 203, 38)},
        {"light yellow", quiz.brushLightYellow, RGB(255, 255, 192)},
    };
    for (const auto& row : brushes) {
        EXPECT_EQ(GetObjectType(row.brush), static_cast<DWORD>(OBJ_BRUSH)) << row.name;
        EXPECT_EQ(BrushColour(row.brush), row.colour) << row.name;
    }

    const LOGFONTA text = FontOf(quiz.textFont);
    EXPECT_EQ(text.lfHeight, 25);
    EXPECT_EQ(text.lfWeight, FW_NORMAL);
    EXPECT_EQ(text.lfItalic, 0);
    EXPECT_STREQ(text.lfFaceName, "Arial");
    const LOGFONTA emphasis = FontOf(quiz.emphasisFont);
    EXPECT_EQ(emphasis.lfHeight, -15);
    EXPECT_EQ(emphasis.lfWeight, FW_BOLD);
    EXPECT_NE(emphasis.lfItalic, 0);
    EXPECT_STREQ(emphasis.lfFaceName, "");
}

TEST(QuizData, RemakeQuizBrushFollowsTheColour) {
    QuizData quiz;
    HBRUSH old = quiz.quizBrush;
    quiz.colorRed = 51;
    quiz.colorGreen = 102;
    quiz.colorBlue = 255;
    quiz.RemakeQuizBrush();
    EXPECT_EQ(BrushColour(quiz.quizBrush), static_cast<COLORREF>(0xFF6633));
    EXPECT_EQ(GetObjectType(old), 0u);
}

TEST(QuizData, DestructorDeletesEveryObjectOnce) {
    auto* quiz = new QuizData();
    HFONT first = CreateFontA(15, 0, 0, 0, 100, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    HFONT second = CreateFontA(16, 0, 0, 0, 100, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    quiz->SetPageFont(first);
    quiz->SetPageFont(second);  // the record owns the page font: the first goes
    EXPECT_EQ(GetObjectType(first), 0u);
    quiz->AddQuestion("a", "", "p");
    quiz->AddQuestion("b", "", "q");
    const HGDIOBJ objects[] = {quiz->quizBrush, quiz->brushRed,         quiz->brushOrange,
                               quiz->brushGold, quiz->brushLightYellow, quiz->emphasisFont,
                               quiz->pageFont,  quiz->textFont};
    for (HGDIOBJ object : objects) ASSERT_NE(GetObjectType(object), 0u);
    delete quiz;
    for (HGDIOBJ object : objects) EXPECT_EQ(GetObjectType(object), 0u);
}

}  // namespace
