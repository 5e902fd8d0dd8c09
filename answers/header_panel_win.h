// The header panel (dialog 1002).
#pragma once

#include <windows.h>

#include "quiz/quiz_data_win.h"

extern HBRUSH g_headerBrush;

INT_PTR CALLBACK HeaderPanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam);
