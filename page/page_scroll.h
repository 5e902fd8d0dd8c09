// The arithmetic of the question page's scrolling and of the reflow that hides
// solved questions' pictures: scroll ranges, where each scroll request leads,
// and which question controls move by how much. Pure code; page_scroll_win.cpp
// applies it to the real page.
#pragma once

#include <cstdint>
#include <vector>

#include "quiz/quiz_record.h"

// Steps at 96 DPI; a page at another scale takes them scaled (ScaleToDpi).
constexpr int32_t SCROLL_LINE_VERTICAL = 310;  // about one picture row
constexpr int32_t SCROLL_LINE_HORIZONTAL = 1;
constexpr int32_t SCROLL_WHEEL_STEP = 50;  // one wheel notch
constexpr int32_t WHEEL_NOTCH = 120;       // the platform's distance of one notch

// Room the extra-text labels take below a row's answers; a collapsing row
// gives it back with its picture height when the quiz has extra texts.
constexpr int32_t REFLOW_EXTRA_TEXT_BAND = 65;

// What one scroll bar is set to for a content size and a client size: the
// largest position it then keeps is content - client, or 0 when it fits.
struct ScrollRange {
    int32_t maximum;
    int32_t page;
};
ScrollRange ComputeScrollRange(int32_t contentSize, int32_t clientSize);

// A scroll bar as read back from the platform.
struct ScrollBarState {
    int32_t minimum;
    int32_t maximum;
    int32_t page;
    int32_t position;
    int32_t trackPosition;
};

// The position a scroll request asks for (the low word of the scroll
// message), limited to the bar's minimum and maximum; the platform then keeps
// no more than maximum - page + 1. Line and wheel steps are scaled to `dpi`.
int32_t WishedScrollPosition(int32_t request, bool vertical, const ScrollBarState& bar,
                             int32_t dpi);

// The page's own request for a wheel distance: SCROLL_WHEEL_UP for exactly one
// notch away from the user, SCROLL_WHEEL_DOWN for one notch towards, 0 (none)
// for any other distance.
int32_t WheelScrollRequest(int32_t wheelDistance);

// One call of ShiftQuestionControls.
struct ShiftStep {
    int32_t operation;  // ShiftOperation, 1..5
    bool show;          // show (true) or hide the picture
    int32_t distance;   // pixels
    int32_t direction;  // -1 up, +1 down
    int32_t question;   // from 1
};

// How far the questions below a row move when that row collapses: its picture
// height, plus the extra-text band (at the page's scale) when the quiz shows
// extra texts.
int32_t CollapseDistance(const QuizRecord& quiz, int32_t row);

// Runs the hide pass (hidePictures) or the show pass over the questions:
// updates questionState and contentHeight and lists, in order, the moves the
// page must make. A question is hidden once solved; a row whose three
// questions are hidden collapses once, pulling every later question up; the
// show pass undoes everything.
void PlanReflow(QuizRecord& quiz, bool hidePictures, std::vector<ShiftStep>& steps);
