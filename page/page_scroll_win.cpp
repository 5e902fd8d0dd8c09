// Scrolling works the platform's classic way: controls keep their places
// relative to the content and ScrollWindow moves the whole client area. The
// reflow moves single questions' controls within that content.
#include "page/page_scroll_win.h"

#include <vector>

#include "answers/scoring.h"
#include "page/control_ids.h"
#include "page/page_scroll.h"
#include "page/question_page_win.h"
#include "shell/dpi_scale.h"

namespace {

// The second answer caption sits one field lower than the first, which is
// level with the number label of its row's first question.
constexpr int CAPTION_STEP = 20;

ScrollBarState ReadScrollBar(HWND page, int bar) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(page, bar, &info);
    return {info.nMin, info.nMax, static_cast<int32_t>(info.nPage), info.nPos, info.nTrackPos};
}

int ScrollPosition(HWND page, int bar) {
    return ReadScrollBar(page, bar).position;
}

void SetScrollRange(HWND page, int bar, int32_t contentSize, int32_t clientSize) {
    const ScrollRange range = ComputeScrollRange(contentSize, clientSize);
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL;
    info.nMin = 0;
    info.nMax = range.maximum;
    info.nPage = static_cast<UINT>(range.page);
    SetScrollInfo(page, bar, &info, TRUE);
}

// Moves the client area by what the positions moved, so the view follows
// the bars.
void ScrollContents(HWND page, int oldHorizontal, int oldVertical) {
    const int dx = oldHorizontal - ScrollPosition(page, SB_HORZ);
    const int dy = oldVertical - ScrollPosition(page, SB_VERT);
    if (dx != 0 || dy != 0) ScrollWindow(page, dx, dy, nullptr, nullptr);
}

void ScrollOneBar(const QuizData* quiz, HWND page, int bar, WPARAM wParam) {
    const ScrollBarState state = ReadScrollBar(page, bar);
    const int32_t dpi = quiz != nullptr ? quiz->pageDpi : DESIGN_DPI;
    const int32_t wished = WishedScrollPosition(LOWORD(wParam), bar == SB_VERT, state, dpi);
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    info.nPos = wished;
    SetScrollInfo(page, bar, &info, TRUE);
    // The platform keeps no more than maximum - page + 1: scroll by what it kept.
    const int moved = state.position - ScrollPosition(page, bar);
    if (moved == 0) return;
    if (bar == SB_VERT) {
        ScrollWindow(page, 0, moved, nullptr, nullptr);
    } else {
        ScrollWindow(page, moved, 0, nullptr, nullptr);
    }
}

RECT RectOnPage(HWND page, HWND control) {
    RECT rect = {};
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, page, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void MoveControl(HWND page, HWND control, int dy) {
    if (control == nullptr || dy == 0) return;
    const RECT rect = RectOnPage(page, control);
    SetWindowPos(control, nullptr, rect.left, rect.top + dy, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void MoveItem(HWND page, int id, int dy) {
    MoveControl(page, GetDlgItem(page, id), dy);
}

// Both answer captions of a row carry the same identifier, so they are found
// by where they stand: beside the number label of the row's first question,
// with which they always travel.
void MoveRowCaptions(HWND page, HWND numberLabel, int dy) {
    if (numberLabel == nullptr || dy == 0) return;
    const LONG labelTop = RectOnPage(page, numberLabel).top;
    std::vector<HWND> captions;
    for (HWND child = GetWindow(page, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(child) != ID_ANSWER_CAPTION) continue;
        const LONG top = RectOnPage(page, child).top;
        if (top == labelTop || top == labelTop + CAPTION_STEP) captions.push_back(child);
    }
    for (HWND caption : captions) MoveControl(page, caption, dy);
}

void ShowItem(HWND page, int id, int showCommand) {
    if (HWND control = GetDlgItem(page, id)) ShowWindow(control, showCommand);
}

bool IsPictureOperation(int operation) {
    return operation == SHIFT_HIDE_PICTURE || operation == SHIFT_SHOW_PICTURE ||
           operation == SHIFT_SHOW_ROW_END;
}

// In display modes 4 and 6 the extra texts appear only with the whole quiz
// solved; showing a picture again must not reveal them earlier.
bool ExtraTextKeepsVisibility(const QuizData* quiz, int operation) {
    const bool showing = operation == SHIFT_SHOW_PICTURE || operation == SHIFT_SHOW_ROW_END;
    const bool wholeQuizMode = quiz->displayMode == 4 || quiz->displayMode == 6;
    return showing && quiz->quizSolved != 1 && wholeQuizMode;
}

void ResetScrollBarsKeepingView(QuizData* quiz, HWND page) {
    const int oldHorizontal = ScrollPosition(page, SB_HORZ);
    const int oldVertical = ScrollPosition(page, SB_VERT);
    SetupPageScrollBars(quiz, page);
    ScrollContents(page, oldHorizontal, oldVertical);
}

}  // namespace

void SetupPageScrollBars(QuizData* quiz, HWND page) {
    if (quiz == nullptr || page == nullptr) return;
    RECT client = {};
    GetClientRect(page, &client);
    // A content that fits starts at position 0; the callers move the contents.
    if (quiz->contentWidth <= client.right) SetScrollPos(page, SB_HORZ, 0, FALSE);
    if (quiz->contentHeight <= client.bottom) SetScrollPos(page, SB_VERT, 0, FALSE);
    SetScrollRange(page, SB_HORZ, quiz->contentWidth, client.right);
    SetScrollRange(page, SB_VERT, quiz->contentHeight, client.bottom);
}

void ShiftQuestionControls(QuizData* quiz, int operation, int showCommand, HWND page, int distance,
                           int direction, int q) {
    if (quiz == nullptr || page == nullptr || q < 1 || q > QUIZ_MAX_QUESTIONS) return;
    const int dy = distance * direction;  // row heights: a few hundred pixels at most
    if (IsPictureOperation(operation)) {
        ShowItem(page, ID_PICTURE + q, showCommand);
        if (!ExtraTextKeepsVisibility(quiz, operation)) {
            ShowItem(page, ID_EXTRA_TEXT + q, showCommand);
        }
    } else {
        MoveItem(page, ID_PICTURE + q, dy);
    }
    const int32_t perQuestion = FieldsPerQuestion(quiz->mediaKind, quiz->answersPerQuestion);
    for (int32_t k = 1; k <= perQuestion; ++k) {
        const int32_t n = FieldNumberOf(*quiz, q, k);
        if (n == 0) continue;
        MoveItem(page, ID_ANSWER_EDIT + n, dy);
        MoveItem(page, ID_RESULT_LABEL + n, dy);
    }
    // The extra text and the row's captions go wherever the answers go, so
    // nothing is left behind to overlap a row that moved up.
    MoveItem(page, ID_EXTRA_TEXT + q, dy);
    HWND numberLabel = GetDlgItem(page, ID_NUMBER_LABEL + q);
    if ((q - 1) % 3 == 0) MoveRowCaptions(page, numberLabel, dy);
    MoveControl(page, numberLabel, dy);
}

void ReflowPage(QuizData* quiz) {
    if (quiz == nullptr) return;
    HWND page = quiz->hQuestionPage;
    if (page == nullptr || !IsWindow(page)) return;
    // The moves are planned for every question, and a row made later would
    // take its place from a page that moved meanwhile.
    FinishPageRows(page);
    const bool hide = quiz->hHeaderPanel != nullptr &&
                      IsDlgButtonChecked(quiz->hHeaderPanel, ID_HIDE_CHECKBOX) == BST_CHECKED;
    std::vector<ShiftStep> steps;
    PlanReflow(*quiz, hide, steps);
    for (const ShiftStep& step : steps) {
        ShiftQuestionControls(quiz, step.operation, step.show ? SW_SHOWNORMAL : SW_HIDE, page,
                              step.distance, step.direction, step.question);
    }
    ResetScrollBarsKeepingView(quiz, page);
}

INT_PTR OnPageVScroll(QuizData* quiz, HWND page, WPARAM wParam) {
    ScrollOneBar(quiz, page, SB_VERT, wParam);
    return FALSE;
}

INT_PTR OnPageHScroll(QuizData* quiz, HWND page, WPARAM wParam) {
    ScrollOneBar(quiz, page, SB_HORZ, wParam);
    return FALSE;
}

INT_PTR OnPageMouseWheel(HWND page, WPARAM wParam) {
    const int32_t request = WheelScrollRequest(GET_WHEEL_DELTA_WPARAM(wParam));
    if (request != 0) PostMessageA(page, WM_VSCROLL, static_cast<WPARAM>(request), 0);
    // Handled here: left unhandled, the dialog would pass the wheel on to the
    // main window, which forwards it back as a second scroll.
    SetWindowLongPtrA(page, DWLP_MSGRESULT, 0);
    return TRUE;
}

INT_PTR OnPageSize(QuizData* quiz, HWND page) {
    ResetScrollBarsKeepingView(quiz, page);
    return FALSE;
}
