#include "shell/report.h"

MessageReporter g_reportMessage = nullptr;

void ReportMessage(const char* text, const char* caption, unsigned style) {
    if (g_reportMessage != nullptr) g_reportMessage(text, caption, style);
}

CloseQuestion g_askOnFailedClose = nullptr;

CloseChoice AskOnFailedClose(const char* text) {
    return g_askOnFailedClose != nullptr ? g_askOnFailedClose(text) : CLOSE_WITHOUT_SAVING;
}
