// The header panel (dialog 1002) and the saving of answers.
#pragma once

#include <windows.h>

#include "quiz/quiz_data_win.h"

extern HBRUSH g_headerBrush;

INT_PTR CALLBACK HeaderPanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam);

// Writes every answer field's text, one CRLF line each, to the answers file.
// Returns false (and leaves any earlier file intact) when the file cannot be
// written; `reportFailure` then also tells the user.
bool SaveAnswers(QuizData* quiz, bool reportFailure = true);
