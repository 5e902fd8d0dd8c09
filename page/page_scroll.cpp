#include "page/page_scroll.h"

#include <algorithm>

#include "page/control_ids.h"
#include "shell/dpi_scale.h"

namespace {

// Scroll request codes (the platform's SB_* values, which this file cannot
// include).
enum ScrollRequest : int32_t {
    REQUEST_LINE_BACK = 0,
    REQUEST_LINE_FORWARD = 1,
    REQUEST_PAGE_BACK = 2,
    REQUEST_PAGE_FORWARD = 3,
    REQUEST_THUMB_POSITION = 4,
    REQUEST_THUMB_TRACK = 5,
    REQUEST_START = 6,  // SB_TOP, SB_LEFT
    REQUEST_END = 7,    // SB_BOTTOM, SB_RIGHT
};

constexpr int32_t QUESTIONS_PER_ROW = 3;
constexpr int32_t EXTRA_TEXT_FROM_MODE = 2;  // display modes above 1 have extra-text labels

int32_t ShownQuestions(const QuizRecord& quiz) {
    return std::clamp<int32_t>(quiz.questionCount, 0, QUIZ_MAX_QUESTIONS);
}

int32_t RowPictureHeight(const QuizRecord& quiz, int32_t row) {
    return row >= 0 && row < QUIZ_MAX_ROWS ? quiz.rowPictureHeight[row] : 0;
}

int32_t RowOf(int32_t q) {
    return (q - 1) / QUESTIONS_PER_ROW;
}

void HidePass(QuizRecord& quiz, std::vector<ShiftStep>& steps) {
    const int32_t questions = ShownQuestions(quiz);
    const QuestionNode* node = quiz.firstQuestion;
    int32_t hiddenInRow = 0;
    for (int32_t q = 1; q <= questions; ++q) {
        const int32_t row = RowOf(q);
        // Questions past the end of the list share the last node, as
        // QuestionAt does.
        const bool solved = node != nullptr && node->status == 1;
        if (node != nullptr && node->next != nullptr) node = node->next;

        if (quiz.questionState[q] == HIDE_PICTURE) ++hiddenInRow;
        if (solved && quiz.questionState[q] == HIDE_NONE) {
            steps.push_back({1, false, RowPictureHeight(quiz, row), -1, q});
            ++hiddenInRow;
            quiz.questionState[q] = HIDE_PICTURE;
        }
        if (q % QUESTIONS_PER_ROW != 0) continue;
        // A row collapses when all three of its questions are hidden; once
        // collapsed its last question holds HIDE_ROW, so it never counts three
        // again.
        if (hiddenInRow == QUESTIONS_PER_ROW) {
            const int32_t distance = CollapseDistance(quiz, row);
            for (int32_t later = q + 1; later <= questions; ++later) {
                steps.push_back({2, false, distance, -1, later});
            }
            quiz.contentHeight -= distance;
            quiz.questionState[q] = HIDE_ROW;
        }
        hiddenInRow = 0;
    }
}

void ShowPass(QuizRecord& quiz, std::vector<ShiftStep>& steps) {
    const int32_t questions = ShownQuestions(quiz);
    for (int32_t q = 1; q <= questions; ++q) {
        const int32_t row = RowOf(q);
        if (quiz.questionState[q] == HIDE_PICTURE) {
            steps.push_back({3, true, RowPictureHeight(quiz, row), +1, q});
        } else if (quiz.questionState[q] == HIDE_ROW) {
            steps.push_back({4, true, RowPictureHeight(quiz, row), +1, q});
            const int32_t distance = CollapseDistance(quiz, row);
            quiz.contentHeight += distance;
            for (int32_t later = q + 1; later <= questions; ++later) {
                steps.push_back({5, true, distance, +1, later});
            }
        }
        quiz.questionState[q] = HIDE_NONE;
    }
}

}  // namespace

ScrollRange ComputeScrollRange(int32_t contentSize, int32_t clientSize) {
    // The bar's page is one less than the visible size and its maximum two
    // less than the content, so the last position kept is content - client.
    const int32_t visible = std::min(clientSize, contentSize);
    return {std::max<int32_t>(contentSize - 2, 0), std::max<int32_t>(visible - 1, 0)};
}

int32_t WishedScrollPosition(int32_t request, bool vertical, const ScrollBarState& bar,
                             int32_t dpi) {
    const int32_t line = ScaleToDpi(vertical ? SCROLL_LINE_VERTICAL : SCROLL_LINE_HORIZONTAL, dpi);
    const int32_t wheel = ScaleToDpi(SCROLL_WHEEL_STEP, dpi);
    // Computed in 64 bits: a position near the top of the range plus a step
    // must not wrap before it is limited.
    int64_t wished = bar.position;
    switch (request) {
        case REQUEST_LINE_BACK:
            wished -= line;
            break;
        case REQUEST_LINE_FORWARD:
            wished += line;
            break;
        case REQUEST_PAGE_BACK:
            wished -= bar.page;
            break;
        case REQUEST_PAGE_FORWARD:
            wished += bar.page;
            break;
        case REQUEST_THUMB_TRACK:
            wished = bar.trackPosition;
            break;
        case REQUEST_START:
            wished = bar.minimum;
            break;
        case REQUEST_END:
            wished = bar.maximum;
            break;
        case SCROLL_WHEEL_DOWN:
            if (vertical) wished += wheel;
            break;
        case SCROLL_WHEEL_UP:
            if (vertical) wished -= wheel;
            break;
        default:
            break;  // REQUEST_THUMB_POSITION: the thumb already went there
    }
    const int64_t low = bar.minimum;
    const int64_t high = std::max(bar.minimum, bar.maximum);
    return static_cast<int32_t>(std::clamp(wished, low, high));
}

int32_t WheelScrollRequest(int32_t wheelDistance) {
    if (wheelDistance == WHEEL_NOTCH) return SCROLL_WHEEL_UP;
    if (wheelDistance == -WHEEL_NOTCH) return SCROLL_WHEEL_DOWN;
    return 0;
}

int32_t CollapseDistance(const QuizRecord& quiz, int32_t row) {
    const int32_t band = quiz.displayMode >= EXTRA_TEXT_FROM_MODE
                             ? ScaleToDpi(REFLOW_EXTRA_TEXT_BAND, quiz.pageDpi)
                             : 0;
    return RowPictureHeight(quiz, row) + band;
}

void PlanReflow(QuizRecord& quiz, bool hidePictures, std::vector<ShiftStep>& steps) {
    if (hidePictures) {
        HidePass(quiz, steps);
    } else {
        ShowPass(quiz, steps);
    }
}
