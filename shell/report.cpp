#include "shell/report.h"

MessageReporter g_reportMessage = nullptr;

void ReportMessage(const char* text, const char* caption, unsigned style) {
    if (g_reportMessage != nullptr) g_reportMessage(text, caption, style);
}
