// The player's entry point: failures are shown in message boxes from here on.
#include <windows.h>

#include "shell/report.h"
#include "shell/shell_win.h"

namespace {

void ShowMessageBox(const char* text, const char* caption, unsigned style) {
    MessageBoxA(nullptr, text, caption, style);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    g_reportMessage = ShowMessageBox;
    g_askOnFailedClose = AskWithCloseDialog;
    return RunBrelo(instance);
}
