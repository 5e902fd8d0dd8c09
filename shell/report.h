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
