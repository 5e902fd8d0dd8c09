// The header panel: title, explanations, author, link, score, reward code,
// "Sauver" and, in a picture quiz, "Cacher". Its controls are made at run
// time; the right-hand group keeps its distance from the right edge.
#include "answers/header_panel_win.h"

#include <shellapi.h>

#include <algorithm>

#include "answers/answers_save_win.h"
#include "answers/scoring.h"
#include "page/control_ids.h"
#include "page/page_scroll_win.h"
#include "shell/dpi_scale.h"
#include "shell/dpi_win.h"
#include "shell/report.h"
#include "shell/shell_win.h"

HBRUSH g_headerBrush = nullptr;

namespace {

constexpr COLORREF HEADER_COLOUR = 0xFF8080;  // red 128, green 128, blue 255
constexpr COLORREF LINK_TEXT_COLOUR = RGB(50, 50, 255);
constexpr int FIRST_TINTED_ID = 20;
constexpr int LAST_TINTED_ID = 33;

enum HeaderFont { FONT_DEFAULT_GUI, FONT_LINK, FONT_EMPHASIS, FONT_TEXT, FONT_NONE };

struct HeaderControl {
    int id;
    const char* className;
    DWORD style;
    int x, y, width, height;
    HeaderFont font;
};

// In the order of creation; the texts come from the quiz (HeaderText). The
// quiz's own texts are shown as written: an "&" in them is no mnemonic.
constexpr HeaderControl HEADER_CONTROLS[] = {
    {ID_LINK, "Static", SS_NOTIFY | SS_NOPREFIX, 736, 5, 115, 18, FONT_LINK},
    {ID_BY_CAPTION, "Static", 0, 736, 25, 27, 18, FONT_DEFAULT_GUI},
    {ID_AUTHOR, "Static", SS_NOPREFIX, 763, 25, 85, 18, FONT_DEFAULT_GUI},
    {ID_HIDE_CHECKBOX, "button", BS_AUTOCHECKBOX, 636, 5, 55, 18, FONT_DEFAULT_GUI},
    {ID_SAVE_BUTTON, "button", BS_PUSHBUTTON, 666, 25, 55, 18, FONT_DEFAULT_GUI},
    {ID_EXPLANATIONS, "Static", SS_NOPREFIX, 110, 19, 490, 27, FONT_DEFAULT_GUI},
    {ID_TITLE, "Static", SS_NOPREFIX, 110, 3, 190, 18, FONT_EMPHASIS},
    // One line whatever the font's width: wrapped, " Code :" would fall
    // below its 15 pixels and vanish.
    {ID_CODE_CAPTION, "Static", SS_LEFTNOWORDWRAP, 7, 29, 36, 15, FONT_DEFAULT_GUI},
    {ID_SCORE_TEXT, "Static", SS_CENTER, 10, 1, 80, 20, FONT_TEXT},
    {ID_CODE_FIELD, "edit", ES_READONLY, 44, 29, 53, 16, FONT_DEFAULT_GUI},
    {ID_RULE_HORIZONTAL, "Static", WS_BORDER, 0, 26, 100, 1, FONT_NONE},
    {ID_RULE_LEFT, "Static", WS_BORDER, 100, 0, 1, 50, FONT_NONE},
    {ID_RULE_RIGHT, "Static", WS_BORDER, 730, 0, 1, 50, FONT_NONE},
};

constexpr int SCORE_RULE_Y = 26;  // the rule under the score

// Where each control goes for a panel W pixels wide, in 96-DPI units scaled
// to the panel's DPI: x = W + xFromRight (or xFixed), width = W +
// widthFromRight (or widthFixed). The right-hand group keeps its distance
// from the right edge.
struct HeaderPlace {
    int id;
    bool xFromRight;
    int x;
    int y;
    bool widthFromRight;
    int width;
    int height;
};
constexpr HeaderPlace HEADER_LAYOUT[] = {
    {ID_HIDE_CHECKBOX, true, -204, 0, false, 55, 18},
    {ID_TITLE, false, 110, 3, true, -350, 18},
    {ID_LINK, true, -134, 0, false, 115, 18},
    {ID_BY_CAPTION, true, -134, 25, false, 26, 18},
    {ID_AUTHOR, true, -107, 25, false, 105, 18},
    {ID_SAVE_BUTTON, true, -204, 25, false, 55, 18},
    {ID_EXPLANATIONS, false, 110, 19, true, -324, 28},
    {ID_RULE_RIGHT, true, -145, 0, false, 1, 50},
    {ID_CODE_CAPTION, false, 7, 29, false, 36, 15},
    {ID_SCORE_TEXT, false, 10, 1, false, 80, 20},
    {ID_CODE_FIELD, false, 44, 29, false, 53, 16},
    {ID_RULE_HORIZONTAL, false, 0, SCORE_RULE_Y, false, 100, 1},
    {ID_RULE_LEFT, false, 100, 0, false, 1, 50},
};

const char* HeaderText(const QuizData& quiz, int id, char* scoreText, int scoreSize) {
    switch (id) {
        case ID_LINK:
            return quiz.linkAddress;
        case ID_BY_CAPTION:
            return "Par :";
        case ID_AUTHOR:
            return quiz.author;
        case ID_HIDE_CHECKBOX:
            return "Cacher";
        case ID_SAVE_BUTTON:
            return "Sauver";
        case ID_EXPLANATIONS:
            return quiz.explanations;
        case ID_TITLE:
            return quiz.title;
        case ID_CODE_CAPTION:
            return " Code :";
        case ID_SCORE_TEXT:
            FormatScoreText(0, quiz.questionCount, scoreText, scoreSize);
            return scoreText;
        default:
            return "";
    }
}

void ApplyFont(HWND control, HeaderFont font, const QuizData& quiz) {
    switch (font) {
        case FONT_DEFAULT_GUI:
            SendMessageA(control, WM_SETFONT,
                         reinterpret_cast<WPARAM>(quiz.guiFont != nullptr
                                                      ? quiz.guiFont
                                                      : GetStockObject(DEFAULT_GUI_FONT)),
                         TRUE);
            break;
        case FONT_LINK:
            StyleAsLink(control);
            break;
        case FONT_EMPHASIS:
            SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(quiz.emphasisFont), FALSE);
            break;
        case FONT_TEXT:
            SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(quiz.textFont), FALSE);
            break;
        case FONT_NONE:
            break;
    }
}

BOOL OnInitDialog(HWND panel) {
    if (g_quiz != nullptr) {
        const QuizData& quiz = *g_quiz;
        HINSTANCE instance = GetModuleHandleA(nullptr);
        for (const HeaderControl& c : HEADER_CONTROLS) {
            if (c.id == ID_HIDE_CHECKBOX && quiz.mediaKind != MEDIA_PICTURE) continue;
            char scoreText[SCORE_TEXT_SIZE];
            HWND control = CreateWindowExA(
                0, c.className, HeaderText(quiz, c.id, scoreText, sizeof scoreText),
                WS_CHILD | WS_VISIBLE | c.style, c.x, c.y, c.width, c.height, panel,
                reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
            if (control != nullptr) ApplyFont(control, c.font, quiz);
        }
    }
    if (g_headerBrush == nullptr) g_headerBrush = CreateSolidBrush(HEADER_COLOUR);
    return TRUE;
}

// Width and height of `control`'s text drawn in its own font.
SIZE MeasureText(HWND control) {
    SIZE size = {};
    char text[QUIZ_TEXT_SIZE] = "";
    const int length = GetWindowTextA(control, text, sizeof text);
    HDC dc = GetDC(control);
    if (dc == nullptr) return size;
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    if (!GetTextExtentPoint32A(dc, length > 0 ? text : "X", length > 0 ? length : 1, &size)) {
        size = {};
    }
    if (length == 0) size.cx = 0;
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size;
}

// The width the program's own captions need whatever the system font: the
// text, plus the check box or the button's edges. Quiz texts are not grown
// (they take the room the panel has); 0 means "as laid out".
int NeededWidth(HWND control, int id, int dpi) {
    const int text = MeasureText(control).cx;
    switch (id) {
        case ID_HIDE_CHECKBOX:
            return text + GetSystemMetrics(SM_CXMENUCHECK) + ScaleToDpi(4, dpi);
        case ID_SAVE_BUTTON:
            return text + ScaleToDpi(12, dpi);
        case ID_BY_CAPTION:
        case ID_CODE_CAPTION:
            return text + ScaleToDpi(1, dpi);
        default:
            return 0;
    }
}

void OnSize(HWND panel) {
    RECT client = {};
    GetClientRect(panel, &client);
    const int width = client.right;
    const int dpi = WindowDpi(panel);
    const auto scaled = [dpi](int value) { return ScaleToDpi(value, dpi); };
    int byCaptionRight = 0, codeCaptionRight = 0;
    for (const HeaderPlace& p : HEADER_LAYOUT) {
        HWND control = GetDlgItem(panel, p.id);
        if (control == nullptr) continue;  // no "Cacher" outside picture quizzes
        int x = p.xFromRight ? width + scaled(p.x) : scaled(p.x);
        int w = p.widthFromRight ? width + scaled(p.width) : scaled(p.width);
        int h = scaled(p.height);
        const int needed = NeededWidth(control, p.id, dpi);
        if (needed > w) {
            // Captions of the right-hand group keep their right edge, "Par :"
            // and " Code :" their left one (what follows them moves on).
            if (p.id != ID_BY_CAPTION && p.xFromRight) x -= needed - w;
            w = needed;
        }
        if (p.id == ID_BY_CAPTION) byCaptionRight = x + w;
        if (p.id == ID_CODE_CAPTION) codeCaptionRight = x + w;
        if ((p.id == ID_AUTHOR && x <= byCaptionRight) ||
            (p.id == ID_CODE_FIELD && x <= codeCaptionRight)) {
            const int shift = (p.id == ID_AUTHOR ? byCaptionRight : codeCaptionRight) + 1 - x;
            x += shift;  // keeping its right edge
            w -= shift;
        }
        // The explanations wrap on two lines in whatever font they have; the
        // score takes its font's whole height, above the rule under it.
        int y = scaled(p.y);
        if (p.id == ID_EXPLANATIONS) h = std::max<int>(h, 2 * MeasureText(control).cy);
        if (p.id == ID_SCORE_TEXT) {
            h = std::max<int>(h, MeasureText(control).cy);
            y = std::max(0, std::min(y, scaled(SCORE_RULE_Y) - h));
        }
        SetWindowPos(control, nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// Commands are matched on the whole wParam: only a click (code 0) acts.
void OnCommand(HWND panel, WPARAM wParam) {
    if (g_quiz == nullptr) return;
    switch (wParam) {
        case ID_LINK:
            if (g_quiz->linkAddress[0] != '\0') {
                ShellExecuteA(panel, "open", g_quiz->linkAddress, nullptr, nullptr, SW_SHOWNORMAL);
            }
            break;
        case ID_SAVE_BUTTON:
            SaveAnswers(g_quiz);
            break;
        case ID_HIDE_CHECKBOX:
            ReflowPage(g_quiz);
            break;
        default:
            break;
    }
}

INT_PTR OnColourStatic(HDC dc, HWND control) {
    const int id = GetDlgCtrlID(control);
    if (id == ID_LINK) {
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, LINK_TEXT_COLOUR);
        return reinterpret_cast<INT_PTR>(g_headerBrush);
    }
    if (id >= FIRST_TINTED_ID && id <= LAST_TINTED_ID) {
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<INT_PTR>(g_headerBrush);
    }
    return 0;  // the rules keep the platform's colours
}

void OnDestroy() {
    if (g_headerBrush != nullptr) DeleteObject(g_headerBrush);
    g_headerBrush = nullptr;
}

}  // namespace

INT_PTR CALLBACK HeaderPanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnInitDialog(panel);
        case WM_SIZE:
            OnSize(panel);
            return 0;
        case WM_COMMAND:
            OnCommand(panel, wParam);
            return 0;
        case WM_CTLCOLORDLG:
            return reinterpret_cast<INT_PTR>(g_headerBrush);
        case WM_CTLCOLORSTATIC:
            return OnColourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        case WM_DESTROY:
            OnDestroy();
            return 0;
        default:
            return 0;
    }
}
