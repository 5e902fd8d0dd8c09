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

// Hide-pass steps move rows up, show-pass steps move them back down.
ShiftStep Hide(int op, int distance, int q) {
    return {op, false, distance, -1, q};
}
ShiftStep Show(int op, int distance, int q) {
    return {op, true, distance, 1, q};
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
         {Hide(1, 100, 1), Hide(1, 100, 2), Hide(1, 100, 3), Hide(2, 165, 4)},
         4835},
        {"without extra texts",
         4,
         1,
         {1, 2, 3},
         {Hide(1, 100, 1), Hide(1, 100, 2), Hide(1, 100, 3), Hide(2, 100, 4)},
         4900},
        {"short last row", 5, 0, {4, 5}, {Hide(1, 101, 4), Hide(1, 101, 5)}, 5000},
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
    ExpectSteps(steps, {Show(3, 100, 1), Show(3, 100, 2), Show(4, 100, 3), Show(5, 165, 4),
                        Show(5, 165, 5), Show(3, 101, 5)});
}

}  // namespace
