#include "test_player_win.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "answers/answers_save_win.h"
#include "answers/header_panel_win.h"
#include "page/control_ids.h"
#include "page/question_page_win.h"
#include "shell/report.h"
#include "shell/dpi_win.h"
#include "shell/shell_win.h"

namespace {

constexpr char TEST_MAIN_CLASS[] = "BreloTestMain";

// One main window for all tests: under wine destroying a shown one costs 2 s.
HWND SharedMainWindow() {
    static HWND window = nullptr;
    if (IsWindow(window)) return window;
    const WNDCLASSA wc = {0,       MainWindowProc, 0,       0,       GetModuleHandleA(nullptr),
                          nullptr, nullptr,        nullptr, nullptr, TEST_MAIN_CLASS};
    RegisterClassA(&wc);
    window = CreateWindowExA(0, TEST_MAIN_CLASS, "Brelo", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600,
                             nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    return window;
}

}  // namespace

QuizData* NumberedQuiz(int mediaKind, int answersPerQuestion, int displayMode, int questions) {
    QuizData* quiz = new QuizData();
    quiz->FreeQuestions();
    quiz->mediaKind = mediaKind;
    quiz->answersPerQuestion = answersPerQuestion;
    quiz->displayMode = displayMode;
    quiz->questionCount = questions;
    quiz->holdsOwnQuiz = true;
    CopyText(quiz->title, QUIZ_TEXT_SIZE, "Quiz de test");
    CopyText(quiz->author, QUIZ_TEXT_SIZE, "Brelo");
    CopyText(quiz->explanations, QUIZ_TEXT_SIZE, "Tapez vos r\xE9ponses.");
    for (int q = 1; q <= questions; ++q) {
        const std::string n = std::to_string(q);
        QuestionNode* node =
            quiz->AddQuestion(("REPONSE" + n).c_str(), ("SECONDE" + n).c_str(), ("Q" + n).c_str());
        CopyText(node->extraText, QUIZ_TEXT_SIZE, ("plus " + n).c_str());
        CopyText(quiz->codes[q - 1], QUIZ_TEXT_SIZE, ("CODE" + n).c_str());
    }
    return quiz;
}

std::vector<ReportedMessage>& ReportedMessages() {
    static std::vector<ReportedMessage> messages;
    return messages;
}

namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() : previous_(fs::current_path().string()) {
    static int serial = 0;
    const std::string stem = "brelo-test-" + std::to_string(GetCurrentProcessId()) + "-";
    do {  // a folder left by an earlier process of the same id is not reused
        path_ = (fs::temp_directory_path() / (stem + std::to_string(++serial))).string();
    } while (!fs::create_directory(path_));
    fs::current_path(path_);
    // The program seems to live here, with the user's folders and the
    // temporary folder inside: nothing a test writes lands elsewhere.
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, sizeof module);
    const std::string program = path_ + "\\" + fs::path(module).filename().string();
    fs::create_directory(path_ + "\\appdata");
    fs::create_directory(path_ + "\\tmp");
    FindAnswersPlaces(program.c_str(), (path_ + "\\appdata").c_str());
    SetEnvironmentVariableA("TMP", (path_ + "\\tmp\\").c_str());
    ReportedMessages().clear();
    g_reportMessage = [](const char* text, const char* caption, unsigned) {
        ReportedMessages().push_back({text, caption});
    };
}

ScratchFolder::~ScratchFolder() {
    g_reportMessage = nullptr;
    fs::current_path(previous_);
    SetEnvironmentVariableA("TMP", nullptr);
    std::error_code error;  // read-only files too
    for (const auto& file : fs::recursive_directory_iterator(path_, error))
        SetFileAttributesA(file.path().string().c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(path_, error);
}

std::string ScratchFolder::Read(const std::string& name) const {
    std::ifstream file(name, std::ios::binary);
    if (!file) return "<missing>";
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void ScratchFolder::Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(name, std::ios::binary) << bytes;
}

TestPlayer::TestPlayer(QuizData* ownQuiz, bool idleWorkDone) : quiz(ownQuiz) {
    g_quiz = quiz;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    main = SharedMainWindow();
    quiz->MakeFontsFor(WindowDpi(main));  // as the shell does when its window is made
    header =
        CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_HEADER_PANEL), main, HeaderPanelProc, 0);
    g_hHeaderPanel = quiz->hHeaderPanel = header;
    // The page records its own handle in g_hQuestionPage and the quiz as it starts.
    page = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_QUESTION_PAGE), main, QuestionPageProc,
                              0);
    ShowWindow(header, SW_SHOWNORMAL);
    ShowWindow(page, SW_SHOWNORMAL);
    RECT client = {};
    GetClientRect(main, &client);
    SendMessageA(main, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    SendMessageA(page, WM_VSCROLL, SB_TOP, 0);
    SetForegroundWindow(main);
    Pump();
    // Every picture decoded, as the pupil sees it once in view: a test never
    // depends on which labels another window left uncovered.
    while (idleWorkDone && DoPageIdleStep(page)) {
    }
}

TestPlayer::~TestPlayer() {
    if (page != nullptr && IsWindow(page)) DestroyWindow(page);
    if (header != nullptr && IsWindow(header)) DestroyWindow(header);
    Pump();
    g_hQuestionPage = g_hHeaderPanel = nullptr;
    g_quiz = nullptr;
    delete quiz;
}

std::string TestPlayer::TextOf(HWND parent, int id) {
    char text[1024] = {};
    GetDlgItemTextA(parent, id, text, sizeof text);
    return text;
}

RECT TestPlayer::RectOn(HWND parent, HWND control) {
    RECT rect = {};
    if (control == nullptr) return rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void TestPlayer::Press(WORD key) {
    HWND target = GetFocus();
    const UINT scan = MapVirtualKeyA(key, 0);
    PostMessageA(target, WM_KEYDOWN, key, 1 | (scan << 16));
    PostMessageA(target, WM_KEYUP, key, 1 | (scan << 16) | (1u << 30) | (1u << 31));
    Pump();
}

void TestPlayer::SetHideBox(bool checked) {
    CheckDlgButton(header, ID_HIDE_CHECKBOX, checked ? BST_CHECKED : BST_UNCHECKED);
    SendMessageA(header, WM_COMMAND, MAKEWPARAM(ID_HIDE_CHECKBOX, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(header, ID_HIDE_CHECKBOX)));
}

void TestPlayer::Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        if (page != nullptr && IsDialogMessageA(page, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
