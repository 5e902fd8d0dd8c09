// The whole shell under wine: RunBrelo with the program's own resources (no
// quiz in them, so the built-in sample quiz), checked from a timer inside its
// own message loop.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../common/test_player_win.h"
#include "page/control_ids.h"
#include "shell/main_layout.h"
#include "shell/report.h"
#include "shell/shell_win.h"

namespace {

std::vector<LONG> Box(HWND parent, HWND child) {
    const RECT r = TestPlayer::RectOn(parent, child);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void ExpectLaidOut(HWND main) {
    RECT client = {};
    GetClientRect(main, &client);
    const MainLayout layout = LayOutMainWindow(client.right, client.bottom);
    const struct {
        HWND window;
        PlaceRect place;
    } parts[] = {{g_hQuestionPage, layout.page},
                 {g_hHeaderPanel, layout.header},
                 {GetDlgItem(main, ID_CREDIT_LINE), layout.creditLine}};
    for (const auto& part : parts) {
        EXPECT_EQ(Box(main, part.window), std::vector<LONG>({part.place.x, part.place.y,
                                                             part.place.width, part.place.height}));
    }
}

bool g_ran = false;

void CALLBACK InspectAndClose(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND main = FindWindowA("Brelo", nullptr);
    if (main == nullptr) return PostQuitMessage(3);
    g_ran = true;
    char text[300] = "";
    GetWindowTextA(main, text, sizeof text);
    EXPECT_STREQ(text, "Nom du brelo");
    RECT desktop = {};
    GetWindowRect(GetDesktopWindow(), &desktop);
    int x = 0, y = 0;
    CentreOnDesktop(0, 0, desktop.right, desktop.bottom, 800, 600, x, y);
    EXPECT_EQ(Box(HWND_DESKTOP, main), std::vector<LONG>({x, y, 800, 600}));
    EXPECT_EQ(GetFocus(), GetDlgItem(g_hQuestionPage, ID_ANSWER_EDIT + 1));
    GetDlgItemTextA(main, ID_CREDIT_LINE, text, sizeof text);
    EXPECT_STRNE(text, "");
    EXPECT_TRUE(g_quiz != nullptr && g_quiz->hQuestionPage == g_hQuestionPage &&
                g_quiz->hHeaderPanel == g_hHeaderPanel);
    EXPECT_TRUE(IsWindowVisible(main) && IsWindowVisible(g_hQuestionPage));
    ExpectLaidOut(main);

    // Minimising leaves the panels alone; a new size lays them out again.
    const std::vector<LONG> before = Box(main, g_hQuestionPage);
    ShowWindow(main, SW_MINIMIZE);
    const std::vector<LONG> minimised = Box(main, g_hQuestionPage);
    EXPECT_TRUE(minimised[2] == before[2] && minimised[3] == before[3]);
    ShowWindow(main, SW_RESTORE);
    SetWindowPos(main, nullptr, 0, 0, 1000, 700, SWP_NOZORDER | SWP_NOMOVE);
    ExpectLaidOut(main);

    // Closing saves what was typed.
    SetDlgItemTextA(g_hQuestionPage, ID_ANSWER_EDIT + 2, "\xE9t\xE9");
    PostMessageA(main, WM_CLOSE, 0, 0);
}

class ShellTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ReportedMessages().clear();
        g_reportMessage = [](const char* text, const char* caption, unsigned style) {
            ReportedMessages().push_back({text, caption, style});
        };
    }
    void TearDown() override { g_reportMessage = nullptr; }
    ScratchFolder folder_;
};

TEST_F(ShellTest, RunsTheSampleQuizInACentredWindowAndSavesOnClose) {
    SetTimer(nullptr, 0, 200, InspectAndClose);
    EXPECT_EQ(RunBrelo(GetModuleHandleA(nullptr)), 0);
    ASSERT_TRUE(g_ran);
    // No quiz resource in this program: the loader says so and the sample quiz shows.
    ASSERT_FALSE(ReportedMessages().empty());
    EXPECT_EQ(ReportedMessages()[0].text, "Ombres sur la rivi\xE8re");
    // Seven questions of two answers: fourteen lines, the second one typed.
    std::string saved = "\r\n\xE9t\xE9\r\n";
    for (int n = 3; n <= 14; ++n) saved += "\r\n";
    EXPECT_EQ(folder_.Read(folder_.AnswersFile()), saved);
    // Everything is gone: windows, class, record, brush.
    EXPECT_EQ(FindWindowA("Brelo", nullptr), nullptr);
    EXPECT_TRUE(g_quiz == nullptr && g_hQuestionPage == nullptr && g_hHeaderPanel == nullptr &&
                g_backgroundBrush == nullptr);
    WNDCLASSA wc = {};
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "Brelo", &wc));
}

HHOOK g_hook = nullptr;

void CALLBACK GiveUp(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    PostQuitMessage(7);
}

LRESULT CALLBACK RefuseMainWindow(int code, WPARAM wParam, LPARAM lParam) {
    char name[32] = "";
    if (code == HCBT_CREATEWND) GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name);
    if (std::string(name) == "Brelo") return 1;  // creation refused
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

TEST_F(ShellTest, AWindowThatCannotBeMadeIsReportedAndEndsTheProgram) {
    for (bool classTaken : {true, false}) {  // or else the main window is refused
        SCOPED_TRACE(classTaken ? "class registration fails" : "main window cannot be created");
        ReportedMessages().clear();
        WNDCLASSA taken = {};
        taken.lpfnWndProc = DefWindowProcA;
        taken.lpszClassName = "Brelo";
        taken.hInstance = GetModuleHandleA(nullptr);
        ASSERT_TRUE(!classTaken || RegisterClassA(&taken) != 0);
        if (!classTaken)
            g_hook = SetWindowsHookExA(WH_CBT, RefuseMainWindow, nullptr, GetCurrentThreadId());
        // Should the shell wait for a window that does not exist, this ends the loop.
        const UINT_PTR safety = SetTimer(nullptr, 0, 5000, GiveUp);
        EXPECT_EQ(RunBrelo(GetModuleHandleA(nullptr)), 0);
        KillTimer(nullptr, safety);
        if (g_hook != nullptr) UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
        if (classTaken) UnregisterClassA("Brelo", GetModuleHandleA(nullptr));

        // After a loaded quiz, its message comes first.
        ASSERT_EQ(ReportedMessages().size(), classTaken ? 1u : 2u);
        const ReportedMessage& last = ReportedMessages().back();
        EXPECT_EQ(last.text,
                  "Erreur dans la cr\xE9"
                  "ation de la fen\xEAtre principale");
        EXPECT_EQ(last.caption, "Brelo");
        EXPECT_EQ(last.style, static_cast<unsigned>(REPORT_ICON_INFORMATION));
        EXPECT_TRUE(g_quiz == nullptr && g_backgroundBrush == nullptr);
        EXPECT_EQ(FindWindowA("Brelo", nullptr), nullptr);
    }
}

TEST_F(ShellTest, LinksAreUnderlinedAtThreeQuartersOfTheirHeight) {
    HWND host = CreateWindowExA(0, "Static", "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    const HCURSOR hand = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_LINK_HAND));
    ASSERT_TRUE(host != nullptr && hand != nullptr);
    for (const auto& [height, fontHeight] : {std::pair{18, -13}, {4, -3}, {40, -30}}) {
        HWND link = CreateWindowExA(0, "Static", "https://", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 0,
                                    0, 115, height, host, nullptr, nullptr, nullptr);
        StyleAsLink(link);
        LOGFONTA font = {};
        HFONT handle = reinterpret_cast<HFONT>(SendMessageA(link, WM_GETFONT, 0, 0));
        ASSERT_NE(GetObjectA(handle, sizeof font, &font), 0) << height;
        EXPECT_EQ(font.lfHeight, fontHeight);
        EXPECT_TRUE(font.lfUnderline && font.lfWeight == FW_NORMAL);
        EXPECT_EQ(GetClassLongPtrA(link, GCLP_HCURSOR), reinterpret_cast<ULONG_PTR>(hand));
    }
    DestroyWindow(host);
}

}  // namespace
