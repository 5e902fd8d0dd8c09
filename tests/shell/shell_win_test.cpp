// The whole shell under wine: RunBrelo with the program's own resources (no
// quiz in them, so the built-in sample quiz), driven from a timer inside its
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

std::vector<ReportedMessage> g_reports;

void Record(const char* text, const char* caption, unsigned style) {
    g_reports.push_back({text, caption, style});
}

void ExpectPlaced(HWND parent, HWND child, const PlaceRect& place, const char* what) {
    ASSERT_NE(child, nullptr) << what;
    const RECT r = TestPlayer::RectOn(parent, child);
    EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right - r.left, r.bottom - r.top}),
              std::vector<LONG>({place.x, place.y, place.width, place.height}))
        << what;
}

void ExpectLaidOut(HWND main) {
    RECT client = {};
    GetClientRect(main, &client);
    const MainLayout layout = LayOutMainWindow(client.right, client.bottom);
    ExpectPlaced(main, g_hQuestionPage, layout.page, "page");
    ExpectPlaced(main, g_hHeaderPanel, layout.header, "header panel");
    ExpectPlaced(main, GetDlgItem(main, ID_CREDIT_LINE), layout.creditLine, "credit line");
}

bool g_ran = false;

// Checks the running player from inside its loop, then closes it.
void CALLBACK InspectAndClose(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND main = FindWindowA("Brelo", nullptr);
    if (main == nullptr) {
        PostQuitMessage(3);
        return;
    }
    g_ran = true;
    char text[300] = "";
    GetWindowTextA(main, text, sizeof text);
    EXPECT_STREQ(text, "Nom du brelo");
    RECT window = {}, desktop = {};
    GetWindowRect(main, &window);
    GetWindowRect(GetDesktopWindow(), &desktop);
    int x = 0, y = 0;
    CentreOnDesktop(desktop.left, desktop.top, desktop.right - desktop.left,
                    desktop.bottom - desktop.top, 800, 600, x, y);
    EXPECT_EQ(std::vector<LONG>({window.left, window.top, window.right, window.bottom}),
              std::vector<LONG>({x, y, x + 800, y + 600}));
    HWND firstField = GetDlgItem(g_hQuestionPage, ID_ANSWER_EDIT + 1);
    EXPECT_NE(firstField, nullptr);
    EXPECT_EQ(GetFocus(), firstField);
    GetDlgItemTextA(main, ID_CREDIT_LINE, text, sizeof text);
    EXPECT_STRNE(text, "");
    EXPECT_TRUE(g_quiz != nullptr && g_hQuestionPage != nullptr && g_hHeaderPanel != nullptr &&
                g_quiz->hQuestionPage == g_hQuestionPage && g_quiz->hHeaderPanel == g_hHeaderPanel);
    EXPECT_TRUE(IsWindowVisible(main));
    EXPECT_TRUE(IsWindowVisible(g_hQuestionPage));
    ExpectLaidOut(main);

    // Minimising leaves the panels where they are; a new size lays them out.
    const RECT before = TestPlayer::RectOn(main, g_hQuestionPage);
    ShowWindow(main, SW_MINIMIZE);
    const RECT minimised = TestPlayer::RectOn(main, g_hQuestionPage);
    ShowWindow(main, SW_RESTORE);
    EXPECT_EQ(minimised.right - minimised.left, before.right - before.left);
    EXPECT_EQ(minimised.bottom - minimised.top, before.bottom - before.top);
    SetWindowPos(main, nullptr, 0, 0, 1000, 700, SWP_NOZORDER | SWP_NOMOVE);
    ExpectLaidOut(main);

    // A field's text is saved when the window is closed.
    SetDlgItemTextA(g_hQuestionPage, ID_ANSWER_EDIT + 2, "\xE9t\xE9");
    PostMessageA(main, WM_CLOSE, 0, 0);
}

class ShellTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_reports.clear();
        g_reportMessage = Record;
        g_ran = false;
    }
    void TearDown() override { g_reportMessage = nullptr; }
    ScratchFolder folder_;
};

TEST_F(ShellTest, RunsTheSampleQuizInACentredWindowAndSavesOnClose) {
    SetTimer(nullptr, 0, 200, InspectAndClose);
    const int exitCode = RunBrelo(GetModuleHandleA(nullptr));
    EXPECT_EQ(exitCode, 0);
    ASSERT_TRUE(g_ran);

    // No quiz resource in this program: the loader says so and the sample quiz shows.
    ASSERT_FALSE(g_reports.empty());
    EXPECT_EQ(g_reports[0].text, "Ombres sur la rivi\xE8re");
    EXPECT_EQ(g_reports[0].caption, "Brelo");

    // Seven questions of two answers: fourteen lines, the second one typed.
    std::string expected = "\r\n\xE9t\xE9\r\n";
    for (int n = 3; n <= 14; ++n) expected += "\r\n";
    EXPECT_EQ(folder_.Read(folder_.AnswersFile()), expected);

    // Everything is gone: windows, class, record, brush.
    EXPECT_EQ(FindWindowA("Brelo", nullptr), nullptr);
    EXPECT_EQ(g_quiz, nullptr);
    EXPECT_EQ(g_hQuestionPage, nullptr);
    EXPECT_EQ(g_hHeaderPanel, nullptr);
    EXPECT_EQ(g_backgroundBrush, nullptr);
    WNDCLASSA wc = {};
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "Brelo", &wc));
}

// A stand-in that stops the loop should the shell ever wait for a window
// that does not exist.
void CALLBACK GiveUp(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    PostQuitMessage(7);
}

HHOOK g_hook = nullptr;

LRESULT CALLBACK RefuseMainWindow(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        char name[32] = "";
        GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name);
        if (std::string(name) == "Brelo") return 1;  // creation refused
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

TEST_F(ShellTest, AWindowThatCannotBeMadeIsReportedAndEndsTheProgram) {
    const char* const kError =
        "Erreur dans la cr\xE9"
        "ation de la fen\xEA"
        "tre principale";
    const struct {
        const char* name;
        bool classTaken;  // the class cannot be registered
        bool refuseWindow;
        bool quizMade;  // the failure comes after the quiz was loaded
    } cases[] = {
        {"class registration fails", true, false, false},
        {"main window cannot be created", false, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        g_reports.clear();
        WNDCLASSA taken = {};
        taken.lpfnWndProc = DefWindowProcA;
        taken.lpszClassName = "Brelo";
        taken.hInstance = GetModuleHandleA(nullptr);
        if (c.classTaken) {
            ASSERT_NE(RegisterClassA(&taken), 0);
        }
        if (c.refuseWindow)
            g_hook = SetWindowsHookExA(WH_CBT, RefuseMainWindow, nullptr, GetCurrentThreadId());
        const UINT_PTR safety = SetTimer(nullptr, 0, 5000, GiveUp);
        EXPECT_EQ(RunBrelo(GetModuleHandleA(nullptr)), 0);
        KillTimer(nullptr, safety);
        if (g_hook != nullptr) UnhookWindowsHookEx(g_hook);
        g_hook = nullptr;
        if (c.classTaken) UnregisterClassA("Brelo", GetModuleHandleA(nullptr));

        ASSERT_FALSE(g_reports.empty());
        EXPECT_EQ(g_reports.back().text, kError);
        EXPECT_EQ(g_reports.back().caption, "Brelo");
        EXPECT_EQ(g_reports.back().style, static_cast<unsigned>(REPORT_ICON_INFORMATION));
        // The sample quiz's message comes first only when the quiz was loaded.
        EXPECT_EQ(g_reports.size(), c.quizMade ? 2u : 1u);
        EXPECT_EQ(g_quiz, nullptr);
        EXPECT_EQ(g_backgroundBrush, nullptr);
        EXPECT_EQ(FindWindowA("Brelo", nullptr), nullptr);
    }
}

TEST_F(ShellTest, LinksAreUnderlinedAtThreeQuartersOfTheirHeight) {
    HWND host = CreateWindowExA(0, "Static", "", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(host, nullptr);
    const struct {
        int height;
        LONG fontHeight;
    } cases[] = {{18, -13}, {4, -3}, {40, -30}};
    for (const auto& c : cases) {
        HWND link = CreateWindowExA(0, "Static", "https://", WS_CHILD | WS_VISIBLE | SS_NOTIFY, 0,
                                    0, 115, c.height, host, nullptr, nullptr, nullptr);
        StyleAsLink(link);
        LOGFONTA font = {};
        HFONT handle = reinterpret_cast<HFONT>(SendMessageA(link, WM_GETFONT, 0, 0));
        ASSERT_NE(GetObjectA(handle, sizeof font, &font), 0) << c.height;
        EXPECT_EQ(font.lfHeight, c.fontHeight);
        EXPECT_TRUE(font.lfUnderline);
        EXPECT_EQ(font.lfWeight, FW_NORMAL);
        const HCURSOR hand =
            LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_LINK_HAND));
        EXPECT_TRUE(hand != nullptr &&
                    GetClassLongPtrA(link, GCLP_HCURSOR) == reinterpret_cast<ULONG_PTR>(hand));
    }
    DestroyWindow(host);
}

}  // namespace
