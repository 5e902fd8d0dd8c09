#include "page/page_scroll.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "page/control_ids.h"

namespace {

TEST(PageScroll, RangeKeepsContentMinusClientAsLastPosition) {
    struct Case {
        int32_t content, client, maximum, page;
    };
    const Case cases[] = {
        {1000, 400, 998, 399}, {400, 400, 398, 399}, {300, 400, 298, 299},
        {1, 400, 0, 0},        {0, 400, 0, 0},       {13125, 494, 13123, 493},
    };
    for (const Case& c : cases) {
        const ScrollRange range = ComputeScrollRange(c.content, c.client);
        EXPECT_EQ(range.maximum, c.maximum) << c.content << "/" << c.client;
        EXPECT_EQ(range.page, c.page) << c.content << "/" << c.client;
    }
}

TEST(PageScroll, RequestsLeadToTheirPositions) {
    const ScrollBarState bar = {0, 998, 399, 310, 420};
    struct Case {
        int32_t request;
        bool vertical;
        int32_t position;
    };
    const Case cases[] = {
        {0, true, 0},
        {1, true, 620},
        {2, true, 0},
        {3, true, 709},
        {4, true, 310},
        {5, true, 420},
        {6, true, 0},
        {7, true, 998},
        {SCROLL_WHEEL_DOWN, true, 360},
        {SCROLL_WHEEL_UP, true, 260},
        {999, true, 310},
        {0, false, 309},
        {1, false, 311},
        {2, false, 0},
        {3, false, 709},
        {5, false, 420},
        {6, false, 0},
        {7, false, 998},
        {SCROLL_WHEEL_DOWN, false, 310},
        {SCROLL_WHEEL_UP, false, 310},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WishedScrollPosition(c.request, c.vertical, bar), c.position)
            << c.request << (c.vertical ? " vertical" : " horizontal");
    }
}

TEST(PageScroll, StepsNearTheLimitsDoNotWrap) {
    const ScrollBarState high = {0, INT_MAX, 100, INT_MAX - 5, 0};
    EXPECT_EQ(WishedScrollPosition(1, true, high), INT_MAX);
    EXPECT_EQ(WishedScrollPosition(3, true, high), INT_MAX);
    const ScrollBarState low = {INT_MIN, 0, 100, INT_MIN + 5, 0};
    EXPECT_EQ(WishedScrollPosition(0, true, low), INT_MIN);
}

TEST(PageScroll, OnlyWholeNotchesScroll) {
    const int32_t cases[][2] = {
        {120, SCROLL_WHEEL_UP}, {-120, SCROLL_WHEEL_DOWN}, {240, 0}, {-240, 0}, {60, 0}, {0, 0}};
    for (const auto& c : cases) EXPECT_EQ(WheelScrollRequest(c[0]), c[1]) << c[0];
}

// A picture quiz of `questions` questions whose solved ones are listed.
void MakePictureQuiz(QuizRecord& quiz, int questions, int displayMode,
                     const std::vector<int>& solved) {
    quiz.mediaKind = MEDIA_PICTURE;
    quiz.questionCount = questions;
    quiz.answersPerQuestion = 2;
    quiz.displayMode = displayMode;
    quiz.contentHeight = 5000;
    for (int q = 1; q <= questions; ++q) quiz.AddQuestion("A", "B", "P");
    for (int row = 0; row < QUIZ_MAX_ROWS; ++row) quiz.rowPictureHeight[row] = 100 + row;
    for (int q : solved) quiz.QuestionAt(q - 1)->status = 1;
}

bool SameStep(const ShiftStep& a, const ShiftStep& b) {
    return a.operation == b.operation && a.show == b.show && a.distance == b.distance &&
           a.direction == b.direction && a.question == b.question;
}

TEST(PageScroll, HidePassHidesSolvedQuestionsAndCollapsesFullRows) {
    struct Case {
        const char* name;
        int questions, displayMode;
        std::vector<int> solved;
        std::vector<ShiftStep> steps;
        int32_t contentHeight;
    };
    const Case cases[] = {
        {"one question", 6, 0, {2}, {{1, false, 100, -1, 2}}, 5000},
        {"first row full",
         5,
         0,
         {1, 2, 3},
         {{1, false, 100, -1, 1},
          {1, false, 100, -1, 2},
          {1, false, 100, -1, 3},
          {2, false, 100, -1, 4},
          {2, false, 100, -1, 5}},
         4900},
        {"extra texts give their band back",
         4,
         2,
         {1, 2, 3},
         {{1, false, 100, -1, 1},
          {1, false, 100, -1, 2},
          {1, false, 100, -1, 3},
          {2, false, 165, -1, 4}},
         4835},
        {"second row",
         6,
         5,
         {4, 5, 6},
         {{1, false, 101, -1, 4}, {1, false, 101, -1, 5}, {1, false, 101, -1, 6}},
         4834},
        {"short last row never collapses",
         5,
         0,
         {4, 5},
         {{1, false, 101, -1, 4}, {1, false, 101, -1, 5}},
         5000},
    };
    for (const Case& c : cases) {
        QuizRecord quiz;
        MakePictureQuiz(quiz, c.questions, c.displayMode, c.solved);
        std::vector<ShiftStep> steps;
        PlanReflow(quiz, true, steps);
        ASSERT_EQ(steps.size(), c.steps.size()) << c.name;
        for (size_t i = 0; i < steps.size(); ++i) {
            EXPECT_TRUE(SameStep(steps[i], c.steps[i])) << c.name << " step " << i;
        }
        EXPECT_EQ(quiz.contentHeight, c.contentHeight) << c.name;
    }
}

TEST(PageScroll, RowsCollapseOnceAndTheShowPassUndoesEverything) {
    QuizRecord quiz;
    MakePictureQuiz(quiz, 9, 3, {1, 2, 3, 5});
    std::vector<ShiftStep> steps;
    PlanReflow(quiz, true, steps);
    EXPECT_EQ(quiz.questionState[3], HIDE_ROW);
    EXPECT_EQ(quiz.questionState[5], HIDE_PICTURE);
    EXPECT_EQ(quiz.contentHeight, 5000 - 165);

    // Nothing new solved: a second hide pass changes nothing.
    steps.clear();
    PlanReflow(quiz, true, steps);
    EXPECT_TRUE(steps.empty());
    EXPECT_EQ(quiz.contentHeight, 5000 - 165);

    // Unchecking: pictures shown again, the row expanded, every state reset.
    steps.clear();
    PlanReflow(quiz, false, steps);
    EXPECT_EQ(quiz.contentHeight, 5000);
    for (int q = 1; q <= 9; ++q) EXPECT_EQ(quiz.questionState[q], HIDE_NONE) << q;
    const std::vector<ShiftStep> expected = {
        {3, true, 100, 1, 1}, {3, true, 100, 1, 2}, {4, true, 100, 1, 3}, {5, true, 165, 1, 4},
        {5, true, 165, 1, 5}, {5, true, 165, 1, 6}, {5, true, 165, 1, 7}, {5, true, 165, 1, 8},
        {5, true, 165, 1, 9}, {3, true, 101, 1, 5},
    };
    ASSERT_EQ(steps.size(), expected.size());
    for (size_t i = 0; i < steps.size(); ++i) EXPECT_TRUE(SameStep(steps[i], expected[i])) << i;
}

}  // namespace
