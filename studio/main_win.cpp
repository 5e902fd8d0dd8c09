// Brelo Studio's entry point: a file named on the command line (or dropped on
// the program) is opened.
#include <windows.h>

#include <shellapi.h>

#include "shell/report.h"
#include "studio/studio_win.h"

namespace {

void ShowMessageBox(const char* text, const char* caption, unsigned style) {
    MessageBoxA(nullptr, text, caption, style);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    g_reportMessage = ShowMessageBox;
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    const std::wstring file = args != nullptr && count > 1 ? args[1] : L"";
    if (args != nullptr) LocalFree(args);
    HWND window = CreateStudioWindow(instance, file);
    return window != nullptr ? RunStudioLoop(window) : 1;
}
