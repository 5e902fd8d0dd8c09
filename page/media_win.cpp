// Sound and video clips played by the platform's media player control.
// First version: no player is created yet, so every question shows without
// one and its buttons do nothing.
#include "page/media_win.h"

void MediaHostStartup(QuizData*) {}

void MediaHostShutdown(QuizData*, HWND) {}

bool CreateQuestionPlayer(HWND, int, HWND) { return false; }

INT_PTR OnMediaCommand(HWND, WPARAM) { return FALSE; }

void CloseMediaPage() {}
