#include "page/page_scroll.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

// Requests 0 line up, 3 page down, 5 thumb track: 64-bit sums, the whole thumb position.
TEST(PageScroll, WishedPositionsNeitherWrapNorCutTheThumbPosition) {
    const ScrollBarState high = {0, INT_MAX, 100, INT_MAX - 5, 70000};
    EXPECT_EQ(WishedScrollPosition(3, true, high, 96), INT_MAX);
    EXPECT_EQ(WishedScrollPosition(5, true, high, 96), 70000);
    const ScrollBarState low = {INT_MIN, 0, 100, INT_MIN + 5, 0};
    EXPECT_EQ(WishedScrollPosition(0, true, low, 96), INT_MIN);
    // Line and wheel steps (request 501, one notch up) grow with the page's scale.
    const ScrollBarState middle = {0, 5000, 100, 2000, 0};
    EXPECT_EQ(WishedScrollPosition(1, true, middle, 144), 2000 + 465);
    EXPECT_EQ(WishedScrollPosition(501, true, middle, 192), 2000 - 100);
}

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

// The plan as text: "h" hide or "s" show, operation, signed distance / question.
std::string Plan(QuizRecord& quiz, bool hidePictures) {
    std::vector<ShiftStep> steps;
    PlanReflow(quiz, hidePictures, steps);
    std::string text;
    for (const ShiftStep& s : steps) {
        text += std::string(text.empty() ? "" : " ") + (s.show ? "s" : "h") +
                std::to_string(s.operation) + (s.direction < 0 ? "-" : "+") +
                std::to_string(s.distance) + "/" + std::to_string(s.question);
    }
    return text;
}

TEST(PageScroll, HidePassCollapsesOnlyFullRows) {
    const struct {
        int questions, displayMode;
        std::vector<int> solved;
        int32_t contentHeight;
        const char* plan;
    } cases[] = {
        // From mode 2 a collapsing row gives its extra-text band back too.
        {4, 2, {1, 2, 3}, 4835, "h1-100/1 h1-100/2 h1-100/3 h2-165/4"},
        {4, 1, {1, 2, 3}, 4900, "h1-100/1 h1-100/2 h1-100/3 h2-100/4"},
        {5, 0, {4, 5}, 5000, "h1-101/4 h1-101/5"},  // a short last row never collapses
    };
    for (const auto& c : cases) {
        QuizRecord quiz;
        MakePictureQuiz(quiz, c.questions, c.displayMode, c.solved);
        EXPECT_EQ(Plan(quiz, true), c.plan);
        EXPECT_EQ(quiz.contentHeight, c.contentHeight) << c.plan;
    }
}

TEST(PageScroll, RowsCollapseOnceAndTheShowPassUndoesEverything) {
    QuizRecord quiz;
    MakePictureQuiz(quiz, 5, 3, {1, 2, 3, 5});
    Plan(quiz, true);
    EXPECT_EQ(Plan(quiz, true), "");  // nothing newly solved: nothing moves
    EXPECT_EQ(quiz.contentHeight, 5000 - 165);
    EXPECT_EQ(Plan(quiz, false), "s3+100/1 s3+100/2 s4+100/3 s5+165/4 s5+165/5 s3+101/5");
    EXPECT_EQ(quiz.contentHeight, 5000);
    for (int q = 1; q <= 5; ++q) EXPECT_EQ(quiz.questionState[q], HIDE_NONE) << q;
}

}  // namespace
