// The application shell: program-wide handles and the small helpers the
// windows share.
#pragma once

#include <windows.h>

#include "quiz/quiz_data_win.h"
#include "shell/report.h"

extern QuizData* g_quiz;
extern HWND g_hHeaderPanel;
extern HWND g_hQuestionPage;
extern HBRUSH g_backgroundBrush;

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void CreateLabel(HWND parent, const char* text, int x, int y, int width, int height, int id);
void StyleAsLink(HWND control);

// The dialog asking what to do when the answers could not be saved on closing
// (template IDD_SAVE_FAILED, the question as its parameter), and the asker
// WinMain installs, which shows it over the main window.
INT_PTR CALLBACK CloseQuestionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
CloseChoice AskWithCloseDialog(const char* text);

// The whole program between WinMain's arguments and its exit code.
int RunBrelo(HINSTANCE instance);
