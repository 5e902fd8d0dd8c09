// Scrolling of the question page and the reflow that hides solved questions'
// pictures when the header's "Cacher" box is checked.
#pragma once

#include <windows.h>

#include "quiz/quiz_data_win.h"

// ShiftQuestionControls operations.
enum ShiftOperation : int {
    SHIFT_HIDE_PICTURE = 1,   // hide picture (and extra text), move answers up
    SHIFT_MOVE_UP = 2,        // move a whole question (row collapse)
    SHIFT_SHOW_PICTURE = 3,   // show a picture hidden by operation 1
    SHIFT_SHOW_ROW_END = 4,   // show the last picture of a collapsed row
    SHIFT_MOVE_DOWN = 5,      // move a whole question back (row expand)
};

void SetupPageScrollBars(QuizData* quiz, HWND page);
void ReflowPage(QuizData* quiz);
void ShiftQuestionControls(QuizData* quiz, int operation, int showCommand, HWND page, int distance,
                           int direction, int q);

// Message handlers the page procedure forwards to and whose result it returns:
// FALSE, except the wheel handler, which returns TRUE (handled) so the dialog
// does not pass the wheel on to the main window for a second scroll.
INT_PTR OnPageVScroll(QuizData* quiz, HWND page, WPARAM wParam);
INT_PTR OnPageHScroll(QuizData* quiz, HWND page, WPARAM wParam);
INT_PTR OnPageMouseWheel(HWND page, WPARAM wParam);
INT_PTR OnPageSize(QuizData* quiz, HWND page);
