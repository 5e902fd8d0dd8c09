// The application shell: program-wide handles and the small helpers the
// windows share.
#pragma once

#include <windows.h>

#include "quiz/quiz_data_win.h"

extern QuizData* g_quiz;
extern HWND g_hHeaderPanel;
extern HWND g_hQuestionPage;
extern HBRUSH g_backgroundBrush;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void CreateLabel(HWND parent, const char* text, int x, int y, int width, int height, int id);
void StyleAsLink(HWND control);

// The whole program between WinMain's arguments and its exit code.
int RunBrelo(HINSTANCE instance);
