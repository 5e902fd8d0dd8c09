#include "shell/report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Shown {
    std::string text, caption;
    unsigned style;
};
std::vector<Shown> g_shown;

void Record(const char* text, const char* caption, unsigned style) {
    g_shown.push_back({text, caption, style});
}

TEST(Report, GoesToTheInstalledReporterAndIsSilentWithoutOne) {
    g_shown.clear();
    g_reportMessage = nullptr;
    ReportMessage("lost", "Brelo", REPORT_OK);
    EXPECT_TRUE(g_shown.empty());

    g_reportMessage = Record;
    ReportMessage("Erreur", "Information", REPORT_ICON_INFORMATION);
    g_reportMessage = nullptr;
    ASSERT_EQ(g_shown.size(), 1u);
    EXPECT_EQ(g_shown[0].text, "Erreur");
    EXPECT_EQ(g_shown[0].caption, "Information");
    EXPECT_EQ(g_shown[0].style, 0x40u);
}

}  // namespace
