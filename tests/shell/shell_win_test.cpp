// The whole shell under wine: RunBrelo with the program's own resources (no
// quiz in them, so the built-in sample quiz), checked from a timer inside its
// own message loop: the main window, its header panel and page.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../common/test_player_win.h"
#include "page/control_ids.h"
#include "shell/main_layout.h"
#include "shell/shell_win.h"

namespace {

std::vector<LONG> Box(HWND parent, HWND child) {
    const RECT r = TestPlayer::RectOn(parent, child);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void ExpectLaidOut(HWND main) {
    RECT client = {};
    GetClientRect(main, &client);
    const MainLayout l = LayOutMainWindow(client.right, client.bottom, 96);
    for (const auto& [window, p] : {std::pair{g_hQuestionPage, l.page},
                                    {g_hHeaderPanel, l.header},
                                    {GetDlgItem(main, ID_CREDIT_LINE), l.creditLine}})
        EXPECT_EQ(Box(main, window), std::vector<LONG>({p.x, p.y, p.width, p.height}));
}

// The header shows the quiz and places its right group from its right edge.
void ExpectHeaderShowsTheQuiz(HWND header) {
    for (const auto& [id, text] : {std::pair{ID_TITLE, "Nom du brelo"},
                                   {ID_AUTHOR, "Createur brelo"},
                                   {ID_EXPLANATIONS, "Explications du brelo"}})
        EXPECT_EQ(TestPlayer::TextOf(header, id), text);
    RECT client = {};
    GetClientRect(header, &client);
    const LONG w = client.right;
    // x, y, right edge, height; x 0 where a caption grew to fit its text
    // (or moved after one that did): then only its right edge is fixed.
    const struct {
        int id;
        std::vector<LONG> box;
    } places[] = {
        {ID_HIDE_CHECKBOX, {0, 0, w - 149, 18}},   {ID_TITLE, {110, 3, w - 240, 18}},
        {ID_LINK, {w - 134, 0, w - 19, 18}},       {ID_BY_CAPTION, {w - 134, 25, 0, 18}},
        {ID_AUTHOR, {0, 25, w - 2, 18}},           {ID_SAVE_BUTTON, {0, 25, w - 149, 18}},
        {ID_EXPLANATIONS, {110, 19, w - 214, 28}}, {ID_RULE_RIGHT, {w - 145, 0, w - 144, 50}},
        {ID_CODE_FIELD, {0, 29, 97, 16}},          {ID_CODE_CAPTION, {7, 29, 0, 15}},
    };
    for (const auto& p : places) {
        const RECT r = TestPlayer::RectOn(header, GetDlgItem(header, p.id));
        EXPECT_EQ(std::vector<LONG>({p.box[0] ? r.left : 0, r.top, p.box[2] ? r.right : 0,
                                     r.bottom - r.top}),
                  p.box)
            << p.id;
    }
    // Between the code caption and the left rule.
    EXPECT_GT(TestPlayer::RectOn(header, GetDlgItem(header, ID_CODE_FIELD)).left,
              TestPlayer::RectOn(header, GetDlgItem(header, ID_CODE_CAPTION)).right);
}

bool g_ran = false;

// A timer procedure is CALLBACK (stdcall on i686), which a lambda cannot be.
void CALLBACK EndLoopAfterWaiting(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(7); }

void CALLBACK InspectAndClose(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND main = FindWindowA("Brelo", nullptr);
    if (main == nullptr) return PostQuitMessage(3);
    g_ran = true;
    // Wide enough for a whole row of the page, 600 high, centred on the screen.
    RECT desktop = {}, pageClient = {};
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetClientRect(g_hQuestionPage, &pageClient);
    const std::vector<LONG> place = Box(HWND_DESKTOP, main);
    EXPECT_GE(pageClient.right, g_quiz->contentWidth);
    EXPECT_NEAR(place[0] * 2 + place[2], desktop.right, 1);
    EXPECT_NEAR(place[1] * 2 + place[3], desktop.bottom, 1);
    EXPECT_EQ(place[3], 600);
    ExpectLaidOut(main);
    ExpectHeaderShowsTheQuiz(g_hHeaderPanel);
    // The quiz's texts show an "&" as written, not as a mnemonic.
    for (HWND w : {GetDlgItem(g_hHeaderPanel, ID_TITLE), GetDlgItem(g_hHeaderPanel, ID_AUTHOR),
                   GetDlgItem(g_hHeaderPanel, ID_EXPLANATIONS),
                   GetDlgItem(g_hHeaderPanel, ID_LINK), GetDlgItem(main, ID_CREDIT_LINE)})
        EXPECT_TRUE(GetWindowLongPtrA(w, GWL_STYLE) & SS_NOPREFIX);

    // Minimising leaves the panels alone; a new size lays them out again.
    const LONG width = Box(main, g_hQuestionPage)[2];
    ShowWindow(main, SW_MINIMIZE);
    EXPECT_EQ(Box(main, g_hQuestionPage)[2], width);
    ShowWindow(main, SW_RESTORE);
    SetWindowPos(main, nullptr, 0, 0, 1000, 700, SWP_NOZORDER | SWP_NOMOVE);
    ExpectLaidOut(main);

    // Typed, then closed.
    SetDlgItemTextA(g_hQuestionPage, ID_ANSWER_EDIT + 2, "\xE9t\xE9");
    PostMessageA(main, WM_CLOSE, 0, 0);
}

TEST(ShellWin, RunsTheSampleQuizInACentredWindowAndLeavesTheAnswersAlone) {
    ScratchFolder folder;
    folder.Write(folder.AnswersFile(), "d'un autre quiz\r\n");
    SetTimer(nullptr, 0, 200, InspectAndClose);
    EXPECT_EQ(RunBrelo(GetModuleHandleA(nullptr)), 0);
    ASSERT_TRUE(g_ran);
    // No quiz resource in this program: the loader says so and the sample quiz shows.
    EXPECT_EQ(ReportedMessages().at(0).text, "Ombres sur la rivi\xE8re");
    // The sample is not this program's quiz: closing leaves the saved answers as they were.
    EXPECT_EQ(folder.Read(folder.AnswersFile()), "d'un autre quiz\r\n");
    EXPECT_EQ(ReportedMessages().size(), 1u);
    // Everything is gone: windows, class, record, brush.
    EXPECT_EQ(FindWindowA("Brelo", nullptr), nullptr);
    EXPECT_TRUE(g_quiz == nullptr && g_hQuestionPage == nullptr && g_hHeaderPanel == nullptr &&
                g_backgroundBrush == nullptr);
    WNDCLASSA wc = {};
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "Brelo", &wc));
}

LRESULT CALLBACK RefuseMainWindow(int code, WPARAM wParam, LPARAM lParam) {
    char name[32] = "";
    if (code == HCBT_CREATEWND) GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name);
    if (std::string(name) == "Brelo") return 1;  // creation refused
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(ShellWin, AWindowThatCannotBeMadeIsReportedAndEndsTheProgram) {
    ScratchFolder folder;
    for (bool classTaken : {true, false}) {  // or else the main window is refused
        SCOPED_TRACE(classTaken ? "class registration fails" : "main window cannot be created");
        ReportedMessages().clear();
        const WNDCLASSA taken = {
            0,       DefWindowProcA, 0,       0,       GetModuleHandleA(nullptr),
            nullptr, nullptr,        nullptr, nullptr, "Brelo"};
        ASSERT_TRUE(!classTaken || RegisterClassA(&taken) != 0);
        HHOOK hook =
            classTaken ? nullptr
                       : SetWindowsHookExA(WH_CBT, RefuseMainWindow, nullptr, GetCurrentThreadId());
        // Should the shell wait for a window that does not exist, this ends the loop.
        const UINT_PTR safety =
            SetTimer(nullptr, 0, 5000, EndLoopAfterWaiting);
        EXPECT_EQ(RunBrelo(GetModuleHandleA(nullptr)), 0);
        KillTimer(nullptr, safety);
        if (hook != nullptr) UnhookWindowsHookEx(hook);
        if (classTaken) UnregisterClassA("Brelo", GetModuleHandleA(nullptr));

        // After a loaded quiz, its message comes first.
        ASSERT_EQ(ReportedMessages().size(), classTaken ? 1u : 2u);
        const ReportedMessage& last = ReportedMessages().back();
        EXPECT_EQ(last.text,
                  "Erreur dans la cr\xE9"
                  "ation de la fen\xEAtre principale");
        EXPECT_TRUE(g_quiz == nullptr && g_backgroundBrush == nullptr);
        EXPECT_EQ(FindWindowA("Brelo", nullptr), nullptr);
    }
}

}  // namespace
