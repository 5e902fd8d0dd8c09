// How Brelo tells the user about a failure: one message box, no log.
//
// Every module reports through ReportMessage so the product can show a real
// MessageBoxA while tests capture the text (a box would hang an unattended
// test). The style values are the MessageBox flags Brelo uses.
#pragma once

enum ReportStyle : unsigned {
    REPORT_OK = 0x00000000u,                // MB_OK, no icon
    REPORT_ICON_STOP = 0x00000010u,         // MB_ICONHAND
    REPORT_ICON_INFORMATION = 0x00000040u,  // MB_ICONINFORMATION
};

using MessageReporter = void (*)(const char* text, const char* caption, unsigned style);

// Null means "say nothing"; the player installs its message-box reporter first
// thing in WinMain, tests install a recorder.
extern MessageReporter g_reportMessage;

void ReportMessage(const char* text, const char* caption, unsigned style);

// What the user chose on closing when the answers could not be saved.
enum CloseChoice : int {
    CLOSE_RETRY,
    CLOSE_WITHOUT_SAVING,
    CLOSE_CANCEL,  // the window stays open with everything typed
};

// Null means "close without saving" (an unattended test); the player installs
// its dialog in WinMain.
using CloseQuestion = CloseChoice (*)(const char* text);
extern CloseQuestion g_askOnFailedClose;

CloseChoice AskOnFailedClose(const char* text);
