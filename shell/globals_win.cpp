// Program-wide handles, set once during start-up. Kept apart from WinMain so
// the Windows tests can link every window procedure without the entry point.
#include "shell/shell_win.h"

QuizData* g_quiz = nullptr;
HWND g_hHeaderPanel = nullptr;
HWND g_hQuestionPage = nullptr;
HBRUSH g_backgroundBrush = nullptr;
