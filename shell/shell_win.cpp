// The main window, the message loop and the order of start-up and shutdown.
#include "shell/shell_win.h"

#include <objbase.h>

#include <cstdio>
#include <memory>

#include "answers/answer_field_win.h"
#include "answers/answer_rules.h"
#include "answers/answers_save_win.h"
#include "answers/header_panel_win.h"
#include "answers/scoring.h"
#include "page/control_ids.h"
#include "page/media_win.h"
#include "page/page_scroll_win.h"
#include "page/question_page_win.h"
#include "quiz/quiz_loader_win.h"
#include "shell/dpi_scale.h"
#include "shell/dpi_win.h"
#include "shell/main_layout.h"
#include "shell/report.h"

namespace {

constexpr char MAIN_WINDOW_CLASS[] = "Brelo";
constexpr char MAIN_CAPTION_ON_ERROR[] = "Brelo";
// "\xE9" is é and "\xEA" is ê; the literals are split so no hex escape runs on.
constexpr char MAIN_WINDOW_ERROR[] =
    "Erreur dans la cr\xE9"
    "ation de la fen\xEA"
    "tre principale";
constexpr COLORREF BACKGROUND_COLOUR = RGB(212, 208, 200);
constexpr int CREDIT_CREATE_X = 720;
constexpr int CREDIT_CREATE_WIDTH = 140;
constexpr int CREDIT_CREATE_HEIGHT = 15;
constexpr int CREDIT_CREATE_BOTTOM_OFFSET = 16;

// The link font is made once per StyleAsLink call and lives as long as the
// program; a later call replaces it after the control has taken the new one.
class OwnedFont {
  public:
    ~OwnedFont() { Reset(nullptr); }
    void Reset(HFONT font) {
        if (font_ != nullptr) DeleteObject(font_);
        font_ = font;
    }

  private:
    HFONT font_ = nullptr;
};
OwnedFont g_linkFont;

void PlaceWindow(HWND window, const PlaceRect& place, UINT flags) {
    if (window == nullptr) return;
    SetWindowPos(window, nullptr, place.x, place.y, place.width, place.height, flags);
}

// The fonts are made for the monitor the window opened on, before any
// control takes one; the credit line is placed for good by LayOutPanels.
int g_mainDpi = DESIGN_DPI;  // the DPI the panels are laid out for

LRESULT OnCreate(HWND window) {
    g_mainDpi = WindowDpi(window);
    if (g_quiz != nullptr) g_quiz->MakeFontsFor(g_mainDpi);
    RECT client = {};
    GetClientRect(window, &client);
    CreateLabel(window, g_quiz != nullptr ? g_quiz->creditLine : "", CREDIT_CREATE_X,
                client.bottom - CREDIT_CREATE_BOTTOM_OFFSET, CREDIT_CREATE_WIDTH,
                CREDIT_CREATE_HEIGHT, ID_CREDIT_LINE);
    HICON question = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_QUESTION));
    SendMessageA(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(question));
    return 0;
}

void LayOutPanels(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    const MainLayout layout = LayOutMainWindow(client.right, client.bottom, g_mainDpi);
    PlaceWindow(g_hQuestionPage, layout.page, SWP_NOZORDER);
    PlaceWindow(g_hHeaderPanel, layout.header, SWP_NOZORDER);
    if (g_hHeaderPanel != nullptr) InvalidateRect(g_hHeaderPanel, nullptr, FALSE);
    HWND credit = GetDlgItem(window, ID_CREDIT_LINE);
    if (credit != nullptr) {
        SetWindowPos(credit, HWND_TOP, layout.creditLine.x, layout.creditLine.y,
                     layout.creditLine.width, layout.creditLine.height,
                     SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    }
}

LRESULT OnSize(HWND window, WPARAM sizeType) {
    if (sizeType != SIZE_MINIMIZED) LayOutPanels(window);
    return 0;
}

// The typed answers, one CR LF line per field, as a save writes them; the
// size written goes to `size`.
std::unique_ptr<char[]> TypedAnswers(HWND page, const QuizRecord& quiz, size_t* size) {
    const int32_t fields = AnswerFieldCount(quiz);
    std::unique_ptr<char[]> lines(new char[static_cast<size_t>(fields) * (ANSWER_TEXT_SIZE + 2) + 1]);
    char* end = lines.get();
    for (int32_t n = 1; n <= fields; ++n) {
        end += GetDlgItemTextA(page, ID_ANSWER_EDIT + n, end, ANSWER_TEXT_SIZE);
        *end++ = '\r';
        *end++ = '\n';
    }
    *size = static_cast<size_t>(end - lines.get());
    return lines;
}

// The window moved to a monitor of another DPI. The fonts every panel holds
// are remade for it, so both panels are made again, the page from what was
// typed (judged again as it is built, so verdicts, reveals and the score come
// back). A media page keeps its players and its layout: only the window moves.
LRESULT OnDpiChanged(HWND window, WPARAM wParam, const RECT* suggested) {
    const int dpi = LOWORD(wParam);
    const bool media = g_quiz != nullptr &&
                       (g_quiz->mediaKind == MEDIA_SOUND || g_quiz->mediaKind == MEDIA_VIDEO);
    if (g_quiz != nullptr && dpi != g_mainDpi && !media && g_hQuestionPage != nullptr) {
        size_t size = 0;
        const std::unique_ptr<char[]> typed = TypedAnswers(g_hQuestionPage, *g_quiz, &size);
        const bool hidden = g_hHeaderPanel != nullptr &&
                            IsDlgButtonChecked(g_hHeaderPanel, ID_HIDE_CHECKBOX) == BST_CHECKED;
        DestroyWindow(g_hQuestionPage);
        if (g_hHeaderPanel != nullptr) DestroyWindow(g_hHeaderPanel);
        g_mainDpi = dpi;
        g_quiz->MakeFontsFor(dpi);
        SendDlgItemMessageA(window, ID_CREDIT_LINE, WM_SETFONT,
                            reinterpret_cast<WPARAM>(g_quiz->guiFont), TRUE);
        HINSTANCE instance = GetModuleHandleA(nullptr);
        g_hHeaderPanel = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_HEADER_PANEL), window,
                                            HeaderPanelProc, 0);
        g_quiz->hHeaderPanel = g_hHeaderPanel;
        const PageRebuild rebuild = {dpi, typed.get(), size};
        g_hQuestionPage = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_QUESTION_PAGE), window,
                                             QuestionPageProc, reinterpret_cast<LPARAM>(&rebuild));
        g_quiz->hQuestionPage = g_hQuestionPage;
        if (hidden && g_hHeaderPanel != nullptr) {
            CheckDlgButton(g_hHeaderPanel, ID_HIDE_CHECKBOX, BST_CHECKED);
            ReflowPage(g_quiz);
        }
        ShowWindow(g_hHeaderPanel, SW_SHOWNORMAL);
        ShowWindow(g_hQuestionPage, SW_SHOWNORMAL);
    }
    if (suggested != nullptr) {
        SetWindowPos(window, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    LayOutPanels(window);
    return 0;
}

LRESULT OnDestroy() {
    if (g_hQuestionPage != nullptr) DestroyWindow(g_hQuestionPage);
    g_hQuestionPage = nullptr;
    if (g_quiz != nullptr) g_quiz->hQuestionPage = nullptr;
    PostQuitMessage(0);
    return 0;
}

constexpr int CLOSE_QUESTION_SIZE = 2 * ANSWERS_NAME_SIZE + 256;
HWND g_closeQuestionOwner = nullptr;  // the window being closed, while it asks

CloseChoice AskAboutFailedSave() {
    const AnswersPlaces& places = CurrentAnswersPlaces();
    char text[CLOSE_QUESTION_SIZE];
    std::snprintf(text, sizeof text,
                  "Les r\xE9ponses n'ont pas pu \xEAtre enregistr\xE9"
                  "es, ni dans %s, ni dans %s.\r\n"
                  "R\xE9"
                  "essayer, quitter sans enregistrer (les r\xE9ponses tap\xE9"
                  "es seront perdues), ou annuler pour garder la fen\xEAtre ouverte ?",
                  places.besideProgram, places.fallback[0] != '\0' ? places.fallback : "-");
    return AskOnFailedClose(text);
}

// Closing saves first, and never drops answers silently: a failed save asks
// whether to try again, quit anyway or keep the window. A record that does
// not hold the program's quiz saves nothing and leaves the file alone. The
// window itself stays until shutdown.
LRESULT OnClose(HWND window) {
    g_closeQuestionOwner = window;
    if (AnswersCanBeSaved(g_quiz)) {
        while (!SaveAnswers(g_quiz, SAVE_ON_CLOSE)) {
            const CloseChoice choice = AskAboutFailedSave();
            if (choice == CLOSE_CANCEL) return 0;
            if (choice == CLOSE_WITHOUT_SAVING) break;
        }
    }
    return OnDestroy();
}

// A logoff or shutdown ends the process without WM_CLOSE, perhaps right
// after this returns: save the answers typed since the last save (beside
// the program, else in the fallback) and remove the clip file. No message
// box: the session is going away.
LRESULT OnEndSession(WPARAM ending) {
    if (!ending) return 0;
    if (g_quiz != nullptr) SaveAnswers(g_quiz, SAVE_SILENT);
    CloseMediaPage();
    return 0;
}

// The credit line is drawn on the background brush, its text without an
// opaque box so it sits on the brush cleanly.
LRESULT OnCtlColorStatic(HWND window, HDC dc, HWND control, WPARAM wParam, LPARAM lParam) {
    if (GetDlgCtrlID(control) == ID_CREDIT_LINE) {
        SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(g_backgroundBrush);
    }
    return DefWindowProcA(window, WM_CTLCOLORSTATIC, wParam, lParam);
}

LRESULT OnMouseWheel(WPARAM wParam) {
    if (g_hQuestionPage != nullptr) ForwardWheelToPage(g_hQuestionPage, wParam);
    return 0;
}

bool RegisterMainClass(HINSTANCE instance) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    wc.hIconSm = wc.hIcon;
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_SCROLLBAR + 1));
    wc.lpszClassName = MAIN_WINDOW_CLASS;
    return RegisterClassExA(&wc) != 0;
}

void ReportMainWindowFailure() {
    ReportMessage(MAIN_WINDOW_ERROR, MAIN_CAPTION_ON_ERROR, REPORT_ICON_INFORMATION);
}

PlaceRect WorkAreaOf(HWND window) {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    RECT area = {};
    if (GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), &monitor)) {
        area = monitor.rcWork;
    } else {
        GetWindowRect(GetDesktopWindow(), &area);
    }
    return {area.left, area.top, area.right - area.left, area.bottom - area.top};
}

// Once the page knows its content, the window takes the width that shows a
// whole row (every verdict of a text quiz, all three questions of a grid),
// centred on its monitor's work area. Everything around the page's client
// area (scroll bar, borders, margins, frame) is measured on the windows as
// they are, so it holds for any theme and scale.
void PlaceMainWindow(HWND window, HWND page) {
    RECT own = {};
    GetWindowRect(window, &own);
    RECT pageClient = {};
    if (page != nullptr) GetClientRect(page, &pageClient);
    const int chrome = (own.right - own.left) - pageClient.right;
    const int contentWidth = page != nullptr && g_quiz != nullptr ? g_quiz->contentWidth : 0;
    const int dpi = WindowDpi(window);
    const PlaceRect place = FirstMainWindowPlace(contentWidth, chrome,
                                                 ScaleToDpi(MAIN_WINDOW_WIDTH, dpi),
                                                 ScaleToDpi(MAIN_WINDOW_HEIGHT, dpi), WorkAreaOf(window));
    SetWindowPos(window, nullptr, place.x, place.y, place.width, place.height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// After start-up the user can type at once: the focus goes to the first
// answer field, or to the page when it has none.
void FocusFirstAnswer(HWND page) {
    if (page == nullptr) return;
    HWND first = GetDlgItem(page, ID_ANSWER_EDIT + 1);
    SetFocus(first != nullptr ? first : page);
}

// A key, a click or the wheel: what may lead the pupil to any field. Moving
// the mouse does not.
bool IsPupilInput(UINT message) {
    return (message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
           (message > WM_MOUSEMOVE && message <= WM_MOUSELAST) ||
           (message > WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK);
}

int RunMessageLoop() {
    MSG msg = {};
    // GetMessage returns -1 on failure: that ends the loop too.
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        // The page makes the rows out of view at idle; the pupil
        // never reaches a page that stops short.
        if (g_hQuestionPage != nullptr && IsPupilInput(msg.message)) {
            FinishPageRows(g_hQuestionPage);
        }
        if (g_hQuestionPage != nullptr && IsDialogMessageA(g_hQuestionPage, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return msg.message == WM_QUIT ? static_cast<int>(msg.wParam) : 0;
}

// Everything made after the quiz was loaded, undone in reverse order.
void ShutDown(HWND mainWindow, bool comStarted) {
    if (g_hHeaderPanel != nullptr) DestroyWindow(g_hHeaderPanel);
    g_hHeaderPanel = nullptr;
    if (g_quiz != nullptr) g_quiz->hHeaderPanel = nullptr;
    MediaHostShutdown(g_quiz, mainWindow);
    // Without clips the media host leaves the main window alone; it goes now,
    // before the brush and the fonts it paints with.
    if (mainWindow != nullptr && IsWindow(mainWindow)) DestroyWindow(mainWindow);
    if (comStarted) CoUninitialize();
    if (g_backgroundBrush != nullptr) DeleteObject(g_backgroundBrush);
    g_backgroundBrush = nullptr;
    delete g_quiz;
    g_quiz = nullptr;
}

INT_PTR OnCloseQuestionInit(HWND dialog, LPARAM text) {
    SetDlgItemTextA(dialog, ID_SAVE_FAILED_TEXT, reinterpret_cast<const char*>(text));
    return TRUE;
}

}  // namespace

INT_PTR CALLBACK CloseQuestionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG:
            return OnCloseQuestionInit(dialog, lParam);
        case WM_COMMAND:
            if (LOWORD(wParam) == ID_SAVE_RETRY || LOWORD(wParam) == ID_QUIT_WITHOUT_SAVING ||
                LOWORD(wParam) == ID_KEEP_OPEN) {
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

CloseChoice AskWithCloseDialog(const char* text) {
    HWND owner = IsWindow(g_closeQuestionOwner) ? g_closeQuestionOwner : nullptr;
    const INT_PTR chosen =
        DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SAVE_FAILED), owner,
                        CloseQuestionProc, reinterpret_cast<LPARAM>(text));
    if (chosen == ID_SAVE_RETRY) return CLOSE_RETRY;
    if (chosen == ID_QUIT_WITHOUT_SAVING) return CLOSE_WITHOUT_SAVING;
    // Annuler, Escape, the close box, or a dialog that could not be shown:
    // nothing is lost by keeping the window.
    return CLOSE_CANCEL;
}

void CreateLabel(HWND parent, const char* text, int x, int y, int width, int height, int id) {
    HWND label = CreateWindowExA(0, "Static", text, WS_CHILD | WS_VISIBLE | SS_NOPREFIX, x, y,
                                 width, height,
                                 parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleA(nullptr), nullptr);
    if (label == nullptr) return;
    HGDIOBJ font = g_quiz != nullptr && g_quiz->guiFont != nullptr
                       ? static_cast<HGDIOBJ>(g_quiz->guiFont)
                       : GetStockObject(DEFAULT_GUI_FONT);
    SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void StyleAsLink(HWND control) {
    if (control == nullptr) return;
    RECT client = {};
    GetClientRect(control, &client);
    LOGFONTA description = {};
    description.lfHeight = -(3 * client.bottom / 4);
    description.lfWeight = FW_NORMAL;
    description.lfUnderline = TRUE;
    HFONT font = CreateFontIndirectA(&description);
    if (font != nullptr) {
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        g_linkFont.Reset(font);
    }
    // The class cursor: every static that takes the mouse (only the link
    // does, with SS_NOTIFY) shows the hand.
    HCURSOR hand = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_LINK_HAND));
    if (hand != nullptr) SetClassLongPtrA(control, GCLP_HCURSOR, reinterpret_cast<LONG_PTR>(hand));
}

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            return OnCreate(window);
        case WM_SIZE:
            return OnSize(window, wParam);
        case WM_CLOSE:
            return OnClose(window);
        case WM_ENDSESSION:
            return OnEndSession(wParam);
        case WM_DESTROY:
            return OnDestroy();
        case WM_CTLCOLORSTATIC:
            return OnCtlColorStatic(window, reinterpret_cast<HDC>(wParam),
                                    reinterpret_cast<HWND>(lParam), wParam, lParam);
        case WM_MOUSEWHEEL:
            return OnMouseWheel(wParam);
        case WM_DPICHANGED:
            return OnDpiChanged(window, wParam, reinterpret_cast<const RECT*>(lParam));
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

int RunBrelo(HINSTANCE instance) {
    BecomeDpiAware();
    if (!RegisterMainClass(instance)) {
        ReportMainWindowFailure();
        return 0;
    }
    g_backgroundBrush = CreateSolidBrush(BACKGROUND_COLOUR);
    g_quiz = new QuizData();
    LoadQuiz(g_quiz);

    // Pictures (OLE) and players (COM objects) both need COM on this thread.
    const bool comStarted = SUCCEEDED(CoInitialize(nullptr));
    MediaHostStartup(g_quiz);

    HWND mainWindow = CreateWindowExA(0, MAIN_WINDOW_CLASS, g_quiz->title, WS_OVERLAPPEDWINDOW,
                                      CW_USEDEFAULT, CW_USEDEFAULT, MAIN_WINDOW_WIDTH,
                                      MAIN_WINDOW_HEIGHT, nullptr, nullptr, instance, nullptr);
    if (mainWindow == nullptr) {
        // Nothing could ever close an invisible process: say so and stop.
        ReportMainWindowFailure();
        ShutDown(nullptr, comStarted);
        UnregisterClassA(MAIN_WINDOW_CLASS, instance);
        return 0;
    }

    g_hHeaderPanel = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_HEADER_PANEL), mainWindow,
                                        HeaderPanelProc, 0);
    if (g_hHeaderPanel != nullptr) ShowWindow(g_hHeaderPanel, SW_SHOWNORMAL);
    g_quiz->hHeaderPanel = g_hHeaderPanel;

    // The page stores its own handle in g_hQuestionPage and the quiz record as
    // its initialisation starts (restored answers are judged during it);
    // storing the result again covers a page that failed to initialise.
    HWND page = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_QUESTION_PAGE), mainWindow,
                                   QuestionPageProc, 0);
    g_hQuestionPage = page;
    g_quiz->hQuestionPage = page;
    LayOutPanels(mainWindow);
    PlaceMainWindow(mainWindow, page);

    ShowWindow(mainWindow, SW_SHOWNORMAL);
    if (page != nullptr) {
        ShowWindow(page, SW_SHOWNORMAL);
        SendMessageA(page, WM_VSCROLL, SB_TOP, 0);
    }
    FocusFirstAnswer(page);

    const int exitCode = RunMessageLoop();
    ShutDown(mainWindow, comStarted);
    UnregisterClassA(MAIN_WINDOW_CLASS, instance);
    return exitCode;
}
