// The header panel: title, explanations, author, link, score, reward code,
// "Sauver" and, in a picture quiz, "Cacher". Its controls are made at run
// time; the right-hand group keeps its distance from the right edge.
#include "answers/header_panel_win.h"

#include <shellapi.h>

#include <cstdio>

#include "answers/answers_file.h"
#include "answers/scoring.h"
#include "page/control_ids.h"
#include "page/page_scroll_win.h"
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

// Where the right-hand group goes for a panel W pixels wide: x = W + xFromRight
// (or xFixed), width = W + widthFromRight (or widthFixed).
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
                         reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
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

void OnSize(HWND panel) {
    RECT client = {};
    GetClientRect(panel, &client);
    const int width = client.right;
    for (const HeaderPlace& p : HEADER_LAYOUT) {
        HWND control = GetDlgItem(panel, p.id);
        if (control == nullptr) continue;  // no "Cacher" outside picture quizzes
        SetWindowPos(control, nullptr, p.xFromRight ? width + p.x : p.x, p.y,
                     p.widthFromRight ? width + p.width : p.width, p.height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
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

// The answers go to a file beside the old one, which is replaced only once
// the new one is whole: a save that fails half-way loses nothing.
constexpr char TEMPORARY_SUFFIX[] = ".tmp";
constexpr int TEMPORARY_NAME_SIZE = ANSWERS_NAME_SIZE + sizeof TEMPORARY_SUFFIX;
constexpr int SAVE_MESSAGE_SIZE = ANSWERS_NAME_SIZE + 256;

bool WriteAnswerLines(HANDLE file, const QuizData& quiz, HWND page) {
    const int32_t fields = AnswerFieldCount(quiz);
    for (int32_t n = 1; n <= fields; ++n) {
        // Room for the longest field text and its CR LF.
        char line[ANSWER_LINE_SIZE + 2];
        line[0] = '\0';
        const UINT length = GetDlgItemTextA(page, ID_ANSWER_EDIT + n, line, ANSWER_LINE_SIZE);
        if (length > ANSWER_LINE_MAX) return false;
        line[length] = '\r';
        line[length + 1] = '\n';
        DWORD written = 0;
        if (!WriteFile(file, line, length + 2, &written, nullptr) || written != length + 2) {
            return false;
        }
    }
    return true;
}

bool WriteAnswersFile(const char* temporaryName, const QuizData& quiz, HWND page) {
    HANDLE file = CreateFileA(temporaryName, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    bool written = WriteAnswerLines(file, quiz, page) && FlushFileBuffers(file);
    if (!CloseHandle(file)) written = false;
    return written;
}

// A read-only answers file is one the user chose to keep as it is. Replacing
// it is refused by the platform on Windows; the check makes the refusal come
// before anything is written, wherever the player runs.
bool IsReadOnly(const char* name) {
    const DWORD attributes = GetFileAttributesA(name);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

bool SaveAnswersTo(const QuizData& quiz, HWND page, const char* name) {
    if (IsReadOnly(name)) return false;
    char temporaryName[TEMPORARY_NAME_SIZE];
    std::snprintf(temporaryName, sizeof temporaryName, "%s%s", name, TEMPORARY_SUFFIX);
    if (WriteAnswersFile(temporaryName, quiz, page) &&
        MoveFileExA(temporaryName, name, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
    }
    DeleteFileA(temporaryName);
    return false;
}

void ReportSaveFailure(const char* name) {
    char message[SAVE_MESSAGE_SIZE];
    std::snprintf(message, sizeof message,
                  "Les r\xE9ponses n'ont pas pu \xEAtre enregistr\xE9"
                  "es dans le fichier %s.\r\n"
                  "V\xE9rifiez que ce fichier n'est pas en lecture seule et que le dossier "
                  "accepte l'\xE9"
                  "criture.",
                  name);
    ReportMessage(message, "Brelo", REPORT_ICON_STOP);
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

bool SaveAnswers(QuizData* quiz, bool reportFailure) {
    char modulePath[ANSWERS_NAME_SIZE];
    char name[ANSWERS_NAME_SIZE] = {};
    const DWORD pathLength = GetModuleFileNameA(nullptr, modulePath, sizeof modulePath);
    const bool named = pathLength > 0 && pathLength < sizeof modulePath &&
                       MakeAnswersFileName(modulePath, name, sizeof name);
    // Without its page there are no fields to read: writing would replace
    // the saved answers with empty lines.
    HWND page = quiz != nullptr ? quiz->hQuestionPage : nullptr;
    const bool saved =
        named && page != nullptr && IsWindow(page) && SaveAnswersTo(*quiz, page, name);
    if (!saved && reportFailure) ReportSaveFailure(name[0] != '\0' ? name : "des r\xE9ponses");
    return saved;
}
