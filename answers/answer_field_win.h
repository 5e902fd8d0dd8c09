// The answer fields' subclass procedure: judging on focus loss and Enter,
// F1 fill, F2 save, keys and wheel scrolling the page.
#pragma once

#include <windows.h>

LRESULT CALLBACK AnswerFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam);
void FillUnsolvedFields(HWND field);
// Turns a wheel notch (+120 / -120 exactly) into a posted scroll request.
void ForwardWheelToPage(HWND page, WPARAM wheelWParam);
