#include "page/page_scroll.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

// A picture quiz whose row r has pictures 100 + r high.
void MakePictureQuiz(QuizRecord& quiz, int questions, int displayMode,
                     const std::vector<int>& solved) {
    quiz.mediaKind = MEDIA_PICTURE;
    quiz.questionCount = questions;
    quiz.displayMode = displayMode;
    quiz.contentHeight = 5000;
    for (int q = 1; q <= questions; ++q) quiz.AddQuestion("A", "B", "P");
    for (int row = 0; row < QUIZ_MAX_ROWS; ++row) quiz.rowPictureHeight[row] = 100 + row;
    for (int q : solved) quiz.QuestionAt(q - 1)->status = 1;
}

auto Key(const ShiftStep& s) {
    return std::make_tuple(s.operation, s.show, s.distance, s.direction, s.question);
}

void ExpectSteps(const std::vector<ShiftStep>& steps, const std::vector<ShiftStep>& expected) {
    ASSERT_EQ(steps.size(), expected.size());
    for (size_t i = 0; i < steps.size(); ++i) EXPECT_EQ(Key(steps[i]), Key(expected[i])) << i;
}

TEST(PageScroll, HidePassCollapsesOnlyFullRows) {
    struct Case {
        const char* name;
        int questions, displayMode;
        std::vector<int> solved;
        std::vector<ShiftStep> steps;
        int32_t contentHeight;
    };
    const Case cases[] = {
        {"extra texts give their band back",
         4,
         2,
         {1, 2, 3},
         {{1, false, 100, -1, 1},
          {1, false, 100, -1, 2},
          {1, false, 100, -1, 3},
          {2, false, 165, -1, 4}},
         4835},
        {"without extra texts",
         4,
         1,
         {1, 2, 3},
         {{1, false, 100, -1, 1},
          {1, false, 100, -1, 2},
          {1, false, 100, -1, 3},
          {2, false, 100, -1, 4}},
         4900},
        {"short last row", 5, 0, {4, 5}, {{1, false, 101, -1, 4}, {1, false, 101, -1, 5}}, 5000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QuizRecord quiz;
        MakePictureQuiz(quiz, c.questions, c.displayMode, c.solved);
        std::vector<ShiftStep> steps;
        PlanReflow(quiz, true, steps);
        ExpectSteps(steps, c.steps);
        EXPECT_EQ(quiz.contentHeight, c.contentHeight);
    }
}

TEST(PageScroll, RowsCollapseOnceAndTheShowPassUndoesEverything) {
    QuizRecord quiz;
    MakePictureQuiz(quiz, 5, 3, {1, 2, 3, 5});
    std::vector<ShiftStep> steps;
    PlanReflow(quiz, true, steps);
    steps.clear();
    PlanReflow(quiz, true, steps);  // nothing newly solved: nothing moves
    EXPECT_TRUE(steps.empty());
    EXPECT_EQ(quiz.contentHeight, 5000 - 165);

    PlanReflow(quiz, false, steps);
    EXPECT_EQ(quiz.contentHeight, 5000);
    for (int q = 1; q <= 5; ++q) EXPECT_EQ(quiz.questionState[q], HIDE_NONE) << q;
    ExpectSteps(steps, {{3, true, 100, 1, 1},
                        {3, true, 100, 1, 2},
                        {4, true, 100, 1, 3},
                        {5, true, 165, 1, 4},
                        {5, true, 165, 1, 5},
                        {3, true, 101, 1, 5}});
}

}  // namespace
