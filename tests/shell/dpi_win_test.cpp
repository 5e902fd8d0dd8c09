// The real player with a real quiz (the program's resources) at the DPI the
// prefix is set to: dpi_screens.sh runs it at 96, 120, 144 and 192 with
// BRELO_DPI saying which, on a screen of 1024 x 768 at that scale.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "../common/test_player_win.h"
#include "page/control_ids.h"
#include "page/page_layout.h"
#include "page/question_page_win.h"
#include "shell/shell_win.h"

namespace {

// Room the text of `control` takes in its own font: one line, or wrapped to
// the control's width when `wrapped`.
SIZE TextRoom(HWND control, bool wrapped) {
    char text[300] = "";
    GetWindowTextA(control, text, sizeof text);
    RECT r = {};
    GetClientRect(control, &r);
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    DrawTextA(dc, text, -1, &r, DT_CALCRECT | DT_NOPREFIX | (wrapped ? DT_WORDBREAK : DT_SINGLELINE));
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return {r.right - r.left, r.bottom - r.top};
}

void ExpectPageMatchesScaledLayout(HWND page) {
    const QuizData& quiz = *g_quiz;
    PageLayoutInput input = {quiz.mediaKind, quiz.questionCount, quiz.answersPerQuestion,
                             quiz.displayMode, {}, quiz.pageDpi};
    std::vector<HWND> children;  // in creation order, as the layout lists them
    for (HWND w = GetWindow(page, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        children.push_back(w);
        BITMAP bitmap = {};
        HGDIOBJ shown = reinterpret_cast<HGDIOBJ>(SendMessageA(w, STM_GETIMAGE, IMAGE_BITMAP, 0));
        if (GetDlgCtrlID(w) > ID_PICTURE && shown != nullptr && GetObjectA(shown, sizeof bitmap, &bitmap))
            input.pictures.push_back({bitmap.bmWidth, bitmap.bmHeight});
    }
    const PageLayout layout = LayoutPage(input);
    ASSERT_EQ(children.size(), layout.controls.size());
    RECT client = {};
    GetClientRect(page, &client);
    for (size_t i = 0; i < children.size(); ++i) {
        const PageControl& c = layout.controls[i];
        const RECT r = TestPlayer::RectOn(page, children[i]);
        EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right - r.left, r.bottom - r.top}),
                  std::vector<LONG>({c.x, c.y, c.width, c.height}))
            << c.id;
        // Every verdict is in view without scrolling sideways.
        EXPECT_TRUE(c.kind != PAGE_RESULT_LABEL || r.right <= client.right) << c.id;
    }
}

void ExpectHeaderTextsFit(HWND main) {
    HWND header = g_hHeaderPanel;
    for (int id : {ID_TITLE, ID_AUTHOR, ID_BY_CAPTION, ID_CODE_CAPTION, ID_SCORE_TEXT, ID_LINK,
                   ID_SAVE_BUTTON, ID_HIDE_CHECKBOX, ID_EXPLANATIONS}) {
        HWND control = GetDlgItem(header, id);
        if (control == nullptr) continue;  // "Cacher": picture quizzes only
        RECT r = {};
        GetClientRect(control, &r);
        const SIZE room = TextRoom(control, id == ID_EXPLANATIONS);
        const int check = id == ID_HIDE_CHECKBOX ? GetSystemMetrics(SM_CXMENUCHECK) : 0;
        EXPECT_LE(room.cx + check, r.right) << id;
        EXPECT_LE(room.cy, r.bottom) << id;
    }
    HWND credit = GetDlgItem(main, ID_CREDIT_LINE);
    RECT r = {};
    GetClientRect(credit, &r);
    EXPECT_LE(TextRoom(credit, false).cx, r.right);
}

// The window as it is on the screen, for a person to look at.
void SaveScreenshot(HWND main) {
    const char* path = std::getenv("BRELO_SHOT");
    if (path == nullptr) return;
    RECT r = {};
    GetWindowRect(main, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP shot = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, shot);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    const DWORD size = static_cast<DWORD>((width * 3 + 3) / 4 * 4 * height);
    BITMAPFILEHEADER file = {0x4D42, 0, 0, 0, sizeof file + sizeof info.bmiHeader};
    file.bfSize = file.bfOffBits + size;
    HANDLE out = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(out, &file, sizeof file, &written, nullptr);
    WriteFile(out, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr);
    WriteFile(out, bits, size, &written, nullptr);
    CloseHandle(out);
    DeleteObject(shot);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

bool g_ran = false;

void CALLBACK InspectAndClose(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND main = FindWindowA("Brelo", nullptr);
    if (main == nullptr) return PostQuitMessage(3);
    g_ran = true;
    const char* dpi = std::getenv("BRELO_DPI");
    EXPECT_EQ(g_quiz->pageDpi, dpi != nullptr ? std::atoi(dpi) : 96);
    while (DoPageIdleStep(g_hQuestionPage)) {  // the idle time a busy machine may not give
    }
    ExpectPageMatchesScaledLayout(g_hQuestionPage);
    ExpectHeaderTextsFit(main);
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    SaveScreenshot(main);
    PostMessageA(main, WM_CLOSE, 0, 0);
}

TEST(DpiWin, TheQuizIsLaidOutForTheScreensDpiWithEveryVerdictInView) {
    ScratchFolder folder;
    SetTimer(nullptr, 0, 1500, InspectAndClose);
    EXPECT_EQ(RunBrelo(GetModuleHandleA(nullptr)), 0);
    EXPECT_TRUE(g_ran);
    EXPECT_TRUE(ReportedMessages().empty());
}

}  // namespace
