#include "test_player_win.h"

#include <cstdio>

#include "answers/answers_file.h"
#include "answers/header_panel_win.h"
#include "page/control_ids.h"
#include "page/question_page_win.h"
#include "shell/report.h"
#include "shell/shell_win.h"

namespace {

constexpr char TEST_MAIN_CLASS[] = "BreloTestMain";

void RecordMessage(const char* text, const char* caption, unsigned style) {
    ReportedMessages().push_back({text, caption, style});
}

// One main window serves every test of the program: under wine, destroying a
// shown top-level window costs about two seconds.
HWND SharedMainWindow() {
    static HWND window = nullptr;
    if (window != nullptr && IsWindow(window)) return window;
    WNDCLASSA wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_SCROLLBAR + 1));
    wc.lpszClassName = TEST_MAIN_CLASS;
    RegisterClassA(&wc);
    window = CreateWindowExA(0, TEST_MAIN_CLASS, "Brelo", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600,
                             nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    return window;
}

void FillQuiz(QuizData& quiz, const TestQuiz& spec) {
    quiz.FreeQuestions();
    quiz.mediaKind = spec.mediaKind;
    quiz.answersPerQuestion = spec.answersPerQuestion;
    quiz.displayMode = spec.displayMode;
    quiz.questionCount = static_cast<int32_t>(spec.questions.size());
    CopyText(quiz.title, sizeof quiz.title, "Quiz de test");
    CopyText(quiz.author, sizeof quiz.author, "Brelo");
    CopyText(quiz.explanations, sizeof quiz.explanations, "Tapez vos r\xE9ponses.");
    CopyText(quiz.answerLabel1, sizeof quiz.answerLabel1, "Ville");
    CopyText(quiz.answerLabel2, sizeof quiz.answerLabel2, "Pays");
    for (const TestQuestion& q : spec.questions) {
        QuestionNode* node =
            quiz.AddQuestion(q.answer1.c_str(), q.answer2.c_str(), q.prompt.c_str());
        CopyText(node->extraText, sizeof node->extraText, q.extraText.c_str());
    }
    for (size_t k = 0; k < spec.codes.size() && k < QUIZ_MAX_QUESTIONS; ++k) {
        CopyText(quiz.codes[k], sizeof quiz.codes[k], spec.codes[k].c_str());
    }
}

}  // namespace

TestQuiz NumberedQuiz(int mediaKind, int answersPerQuestion, int displayMode, int questions) {
    TestQuiz quiz;
    quiz.mediaKind = mediaKind;
    quiz.answersPerQuestion = answersPerQuestion;
    quiz.displayMode = displayMode;
    for (int q = 1; q <= questions; ++q) {
        const std::string n = std::to_string(q);
        quiz.questions.push_back({"REPONSE" + n, "SECONDE" + n, "Q" + n, "plus " + n});
        quiz.codes.push_back("CODE" + n);
    }
    return quiz;
}

std::vector<ReportedMessage>& ReportedMessages() {
    static std::vector<ReportedMessage> messages;
    return messages;
}

ScratchFolder::ScratchFolder() {
    GetCurrentDirectoryA(sizeof previous_, previous_);
    char base[MAX_PATH] = {};
    GetTempPathA(sizeof base, base);
    static int serial = 0;
    char folder[MAX_PATH] = {};
    std::snprintf(folder, sizeof folder, "%sbrelo-test-%lu-%d", base, GetCurrentProcessId(),
                  ++serial);
    CreateDirectoryA(folder, nullptr);
    path_ = folder;
    SetCurrentDirectoryA(folder);
}

ScratchFolder::~ScratchFolder() {
    SetCurrentDirectoryA(previous_);
    WIN32_FIND_DATAA found = {};
    const std::string pattern = path_ + "\\*";
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string file = path_ + "\\" + found.cFileName;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
            SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(file.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(path_.c_str());
}

std::string ScratchFolder::AnswersFile() const {
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, sizeof module);
    char name[ANSWERS_NAME_SIZE] = {};
    MakeAnswersFileName(module, name, sizeof name);
    return name;
}

std::string ScratchFolder::Read(const std::string& name) const {
    std::string bytes;
    FILE* file = std::fopen(name.c_str(), "rb");
    if (file == nullptr) return "<missing>";
    char buffer[4096];
    size_t count = 0;
    while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, count);
    std::fclose(file);
    return bytes;
}

void ScratchFolder::Write(const std::string& name, const std::string& bytes) const {
    FILE* file = std::fopen(name.c_str(), "wb");
    if (file == nullptr) return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

TestPlayer::TestPlayer(const TestQuiz& spec) {
    ReportedMessages().clear();
    g_reportMessage = RecordMessage;
    quiz = new QuizData();
    FillQuiz(*quiz, spec);
    g_quiz = quiz;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    main = SharedMainWindow();
    header =
        CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_HEADER_PANEL), main, HeaderPanelProc, 0);
    g_hHeaderPanel = header;
    quiz->hHeaderPanel = header;
    page = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_QUESTION_PAGE), main, QuestionPageProc,
                              0);
    g_hQuestionPage = page;
    quiz->hQuestionPage = page;
    ShowWindow(header, SW_SHOWNORMAL);
    ShowWindow(page, SW_SHOWNORMAL);
    // The main window lays the panels out on its size message.
    RECT client = {};
    GetClientRect(main, &client);
    SendMessageA(main, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
    SendMessageA(page, WM_VSCROLL, SB_TOP, 0);
    SetForegroundWindow(main);
    Pump();
}

TestPlayer::~TestPlayer() {
    if (page != nullptr && IsWindow(page)) DestroyWindow(page);
    if (header != nullptr && IsWindow(header)) DestroyWindow(header);
    Pump();
    g_hQuestionPage = nullptr;
    g_hHeaderPanel = nullptr;
    g_quiz = nullptr;
    delete quiz;
    g_reportMessage = nullptr;
}

std::string TestPlayer::TextOf(HWND parent, int id) {
    char text[1024] = {};
    GetDlgItemTextA(parent, id, text, sizeof text);
    return text;
}

bool TestPlayer::Visible(int id) const {
    HWND control = Item(id);
    return control != nullptr && (GetWindowLongPtrA(control, GWL_STYLE) & WS_VISIBLE) != 0;
}

RECT TestPlayer::RectOn(HWND parent, HWND control) {
    RECT rect = {};
    if (control == nullptr) return rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT TestPlayer::Rect(int id) const {
    return RectOn(page, Item(id));
}

void TestPlayer::Put(int fieldNumber, const char* text) {
    SetDlgItemTextA(page, ID_ANSWER_EDIT + fieldNumber, text);
}

void TestPlayer::Focus(int fieldNumber) {
    SetFocus(Item(ID_ANSWER_EDIT + fieldNumber));
}

void TestPlayer::Leave(int fieldNumber) {
    Focus(fieldNumber);
    SetFocus(page);
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
