// The real question page under wine: dialog 1001 from Brelo's resource script,
// built from quizzes made in memory, read back control by control.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "answers/answer_field_win.h"
#include "answers/answers_file.h"
#include "answers/header_panel_win.h"
#include "images/picture_win.h"
#include "page/control_ids.h"
#include "page/page_layout.h"
#include "page/question_page_win.h"
#include "shell/report.h"
#include "shell/shell_win.h"
#include "tests/common/test_player_win.h"

namespace {

struct QuizShape {
    const char* name;
    int mediaKind;
    int questions;
    int nodes;  // fewer nodes than questions: the last node stands in for the rest
    int answers;
    int displayMode;
};

std::unique_ptr<QuizData> MakeQuiz(const QuizShape& shape) {
    auto quiz = std::make_unique<QuizData>();
    quiz->mediaKind = shape.mediaKind;
    quiz->questionCount = shape.questions;
    quiz->answersPerQuestion = shape.answers;
    quiz->displayMode = shape.displayMode;
    CopyText(quiz->answerLabel1, QUIZ_TEXT_SIZE, "Pays :");
    CopyText(quiz->answerLabel2, QUIZ_TEXT_SIZE, "Capitale :");
    for (int i = 1; i <= shape.nodes; ++i) {
        const std::string n = std::to_string(i);
        QuestionNode* node = quiz->AddQuestion(("REPONSE" + n).c_str(), ("DEUX" + n).c_str(),
                                               ("Question " + n).c_str());
        CopyText(node->extraText, QUIZ_TEXT_SIZE, ("l'arc-en-ciel " + n).c_str());
    }
    return quiz;
}

// A top-level window standing in for the main window, and the page in it.
class PageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        host_ = CreateWindowExA(0, "Static", "page test", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600,
                                nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(host_, nullptr);
        g_reportMessage = nullptr;
        DeleteFileA(folder_.AnswersFile().c_str());
    }
    void TearDown() override {
        if (page_ != nullptr) DestroyWindow(page_);
        if (host_ != nullptr) DestroyWindow(host_);
        g_quiz = nullptr;
        g_hQuestionPage = nullptr;
        DeleteFileA(folder_.AnswersFile().c_str());
    }

    HWND Build(QuizData* quiz) {
        if (page_ != nullptr) DestroyWindow(page_);
        g_quiz = quiz;
        page_ = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_QUESTION_PAGE),
                                   host_, QuestionPageProc, 0);
        if (page_ != nullptr) {
            SetWindowPos(page_, nullptr, 5, 50, 773, 494, SWP_NOZORDER);
            ShowWindow(host_, SW_SHOWNORMAL);
            ShowWindow(page_, SW_SHOWNORMAL);
        }
        return page_;
    }

    std::string Text(int id) const { return TestPlayer::TextOf(page_, id); }

    ScratchFolder folder_;
    HWND host_ = nullptr;
    HWND page_ = nullptr;
};

// What each kind of control must be, whatever its place.
struct Expected {
    const char* className;
    DWORD style;  // bits that must be set
    bool visible;
    std::string text;
};

Expected ExpectedFor(const QuizData& quiz, const PageControl& c) {
    const QuestionNode* node = quiz.QuestionAt(c.question - 1);
    char number[16];
    FormatQuestionNumber(c.question, number, sizeof number);
    switch (c.kind) {
        case PAGE_NUMBER_LABEL:
            return {"Static", SS_RIGHT, true, number};
        case PAGE_PROMPT:
            return {"Static", WS_BORDER | SS_CENTER | SS_CENTERIMAGE, true, node->prompt};
        case PAGE_ANSWER_FIELD:
            // The edit control takes WS_BORDER over and draws the border itself.
            return {"Edit", WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL, true, ""};
        case PAGE_RESULT_LABEL:
            return {"Static", WS_BORDER | SS_CENTER | SS_CENTERIMAGE, true, "?"};
        case PAGE_ANSWER_CAPTION:
            return {"Static", SS_LEFT, true, c.answer == 1 ? quiz.answerLabel1 : quiz.answerLabel2};
        case PAGE_EXTRA_TEXT: {  // mode 5 shows the word count at once
            char words[32];
            FormatWordCount(CountAnswerWords(node->answer1), words, sizeof words);
            const bool count = quiz.displayMode == 5;
            return {"Static", SS_CENTER, count, count ? words : node->extraText};
        }
        case PAGE_PICTURE:
            return {"Static", WS_BORDER | SS_BITMAP | SS_CENTERIMAGE, true, ""};
        case PAGE_MEDIA_HOST:
            return {"Static", WS_BORDER, true, ""};
        case PAGE_PLAY_BUTTON:
        case PAGE_STOP_BUTTON:
            return {"Button", WS_TABSTOP | BS_ICON | BS_DEFPUSHBUTTON, true, ""};
    }
    return {"", 0, false, ""};
}

// The layout the page should have: the pure layout fed with the sizes the
// picture loader gives for this program's own pictures.
PageLayout ExpectedLayout(const QuizData& quiz) {
    PageLayoutInput input{
        quiz.mediaKind, quiz.questionCount, quiz.answersPerQuestion, quiz.displayMode, {}};
    for (int q = 1; quiz.mediaKind == MEDIA_PICTURE && q <= PagePicturesNeeded(quiz.questionCount);
         ++q) {
        HBITMAP bitmap = LoadPictureResource(GetModuleHandleA(nullptr), ID_QUESTION_PICTURE + q,
                                             "IMG", PAGE_PICTURE_BOX, PAGE_PICTURE_BOX);
        BITMAP info = {};
        const bool loaded = bitmap != nullptr && GetObjectA(bitmap, sizeof info, &info) != 0;
        input.pictures.push_back(loaded ? PictureSize{info.bmWidth, info.bmHeight}
                                        : PAGE_MISSING_PICTURE);
        if (bitmap != nullptr) DeleteObject(bitmap);
    }
    return LayoutPage(input);
}

TEST_F(PageTest, EveryControlMatchesTheLayout) {
    const QuizShape shapes[] = {
        {"list, 1 question", MEDIA_NONE, 1, 1, 1, 0},
        {"list, 3 questions", MEDIA_NONE, 3, 3, 1, 0},
        {"list, 4 questions, 2 answers", MEDIA_NONE, 4, 4, 2, 0},
        {"list, 96 questions", MEDIA_NONE, 96, 96, 1, 0},
        {"pictures, 1 question", MEDIA_PICTURE, 1, 1, 1, 0},
        {"pictures, 3 questions, mode 2", MEDIA_PICTURE, 3, 3, 1, 2},
        {"pictures, 4 questions, 2 answers, mode 5", MEDIA_PICTURE, 4, 4, 2, 5},
        {"pictures, 96 questions, 2 answers, mode 3", MEDIA_PICTURE, 96, 96, 2, 3},
        {"sample quiz: 7 questions, 2 nodes", MEDIA_PICTURE, 7, 2, 2, 3},
        {"sound, 3 questions", MEDIA_SOUND, 3, 3, 1, 0},
        {"video, 4 questions, 2 answers", MEDIA_VIDEO, 4, 4, 2, 2},
    };
    for (const QuizShape& shape : shapes) {
        SCOPED_TRACE(shape.name);
        auto quiz = MakeQuiz(shape);
        ASSERT_NE(Build(quiz.get()), nullptr);
        const PageLayout layout = ExpectedLayout(*quiz);
        EXPECT_EQ(quiz->contentWidth, layout.contentWidth);
        EXPECT_EQ(quiz->contentHeight, layout.contentHeight);
        std::vector<HWND> children;  // in creation order
        for (HWND w = GetWindow(page_, GW_CHILD); w != nullptr; w = GetWindow(w, GW_HWNDNEXT))
            children.push_back(w);
        ASSERT_EQ(children.size(), layout.controls.size());
        for (size_t i = 0; i < children.size(); ++i) {
            const PageControl& c = layout.controls[i];
            HWND child = children[i];
            SCOPED_TRACE("control " + std::to_string(c.id) + " of question " +
                         std::to_string(c.question));
            const Expected want = ExpectedFor(*quiz, c);
            EXPECT_EQ(GetDlgCtrlID(child), c.id);
            char name[64] = "";
            GetClassNameA(child, name, sizeof name);
            EXPECT_STREQ(name, want.className);
            const RECT r = TestPlayer::RectOn(page_, child);
            EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right - r.left, r.bottom - r.top}),
                      std::vector<LONG>({c.x, c.y, c.width, c.height}));
            const DWORD style = static_cast<DWORD>(GetWindowLongPtrA(child, GWL_STYLE));
            EXPECT_EQ(style & want.style, want.style);
            EXPECT_EQ((style & WS_VISIBLE) != 0, want.visible);
            char text[300] = "";
            GetWindowTextA(child, text, sizeof text);
            EXPECT_EQ(std::string(text), want.text);
            if (c.kind == PAGE_ANSWER_FIELD) {
                EXPECT_EQ(GetWindowLongPtrA(child, GWLP_WNDPROC),
                          reinterpret_cast<LONG_PTR>(AnswerFieldProc));
                if (c.textLimit > 0) {
                    EXPECT_EQ(SendMessageA(child, EM_GETLIMITTEXT, 0, 0), c.textLimit);
                }
            }
            if (c.kind == PAGE_PICTURE) {
                EXPECT_EQ(SendMessageA(child, STM_GETIMAGE, IMAGE_BITMAP, 0) != 0, c.height > 0);
            }
            if (c.kind == PAGE_PLAY_BUTTON || c.kind == PAGE_STOP_BUTTON) {
                EXPECT_NE(SendMessageA(child, BM_GETIMAGE, IMAGE_ICON, 0), 0);
            }
        }
        for (int row = 0; row < layout.rowCount; ++row) {
            EXPECT_EQ(quiz->rowPictureHeight[row], layout.rowPictureHeight[row]) << row;
        }
        int low = 0, vertical = 0, horizontal = 0;
        GetScrollRange(page_, SB_VERT, &low, &vertical);
        GetScrollRange(page_, SB_HORZ, &low, &horizontal);
        EXPECT_EQ(vertical, quiz->contentHeight - 2);
        EXPECT_EQ(horizontal, quiz->contentWidth - 2);
        EXPECT_EQ(quiz->hQuestionPage, page_);
        EXPECT_EQ(g_hQuestionPage, page_);
        DestroyWindow(page_);
        page_ = nullptr;
    }
}

TEST_F(PageTest, AnswersFileRestoresEachFieldWhole) {
    const std::string long200(200, 'L');
    const struct {
        const char* name;
        bool write;
        std::string file;
        std::vector<std::string> fields;  // 4 fields
    } cases[] = {
        {"missing file", false, "", {"", "", "", ""}},
        {"200 characters", true, long200 + "\r\nB\r\n\r\nD\r\n", {long200, "B", "", "D"}},
        {"accented bytes",
         true,
         "\xE9l\xE8ve\r\n\xC0 c\xF4t\xE9\r\n",
         {"\xE9l\xE8ve", "\xC0 c\xF4t\xE9", "", ""}},
        {"fewer lines", true, "un\r\n", {"un", "", "", ""}},
        {"no final crlf", true, "un\r\ndeux\r\ntrois", {"un", "deux", "trois", ""}},
        {"lf only", true, "un\ndeux\ntrois\nquatre\n", {"un", "deux", "trois", "quatre"}},
        {"empty file", true, "", {"", "", "", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteFileA(folder_.AnswersFile().c_str());
        if (c.write) folder_.Write(folder_.AnswersFile(), c.file);
        auto quiz = MakeQuiz({"list", MEDIA_NONE, 4, 4, 1, 0});
        ASSERT_NE(Build(quiz.get()), nullptr);
        for (int n = 1; n <= 4; ++n) EXPECT_EQ(Text(ID_ANSWER_EDIT + n), c.fields[n - 1]) << n;

        // The file is let go once the page is built: it can be rewritten at once.
        HANDLE exclusive = CreateFileA(folder_.AnswersFile().c_str(), GENERIC_READ | GENERIC_WRITE,
                                       0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(exclusive, INVALID_HANDLE_VALUE);
        if (exclusive != INVALID_HANDLE_VALUE) CloseHandle(exclusive);

        // Saving writes every field back whole, and a second start restores the same.
        ASSERT_TRUE(SaveAnswers(quiz.get(), false));
        std::string expected;
        for (const std::string& field : c.fields) expected += field + "\r\n";
        EXPECT_EQ(folder_.Read(folder_.AnswersFile()), expected);
        ASSERT_NE(Build(quiz.get()), nullptr);
        for (int n = 1; n <= 4; ++n) EXPECT_EQ(Text(ID_ANSWER_EDIT + n), c.fields[n - 1]) << n;
    }
}

TEST_F(PageTest, RestoredAnswersAreJudgedWhileThePageIsBuilt) {
    // Two answers per question in a picture grid: fields 4001..4006.
    folder_.Write(folder_.AnswersFile(), "REPONSE1\r\nDEUX1\r\nfaux\r\n\r\nREPONSE3\r\nDEUX3\r\n");
    auto quiz = MakeQuiz({"grid", MEDIA_PICTURE, 3, 3, 2, 2});
    ASSERT_NE(Build(quiz.get()), nullptr);
    EXPECT_EQ(Text(ID_RESULT_LABEL + 1), "BRAVO");
    EXPECT_EQ(Text(ID_RESULT_LABEL + 2), "BRAVO");
    EXPECT_NE(Text(ID_RESULT_LABEL + 3), "BRAVO");
    EXPECT_EQ(Text(ID_RESULT_LABEL + 4), "?");
    EXPECT_EQ(Text(ID_RESULT_LABEL + 6), "BRAVO");
    EXPECT_EQ(quiz->QuestionAt(0)->status, 1);
    EXPECT_EQ(quiz->QuestionAt(1)->status, 0);
    // Display mode 2: a solved question shows its extra text.
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(page_, ID_EXTRA_TEXT + 1)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(page_, ID_EXTRA_TEXT + 2)));
}

TEST_F(PageTest, StaticsArePaintedByTheirText) {
    auto quiz = MakeQuiz({"list", MEDIA_NONE, 2, 2, 1, 0});
    ASSERT_NE(Build(quiz.get()), nullptr);
    HDC dc = CreateCompatibleDC(nullptr);
    const struct {
        int id;
        const char* text;  // null: leave the text alone
        HBRUSH brush;      // null: not one of the page's brushes
        COLORREF background;
    } cases[] = {
        {ID_RESULT_LABEL + 1, "BRAVO", g_brushGreen, RGB(0, 255, 0)},
        {ID_RESULT_LABEL + 1, "FAUX", quiz->brushRed, RGB(255, 0, 0)},
        {ID_RESULT_LABEL + 2, "Anagramme", quiz->brushOrange, RGB(255, 0, 0)},
        {ID_RESULT_LABEL + 2, "Presque", quiz->brushGold, RGB(255, 0, 0)},
        {ID_PROMPT, nullptr, quiz->brushLightYellow, RGB(255, 255, 192)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text != nullptr ? c.text : "prompt");
        HWND control = GetDlgItem(page_, c.id);
        if (c.text != nullptr) SetWindowTextA(control, c.text);
        SetBkColor(dc, RGB(1, 2, 3));
        const LRESULT brush = SendMessageA(page_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                           reinterpret_cast<LPARAM>(control));
        EXPECT_EQ(brush, reinterpret_cast<LRESULT>(c.brush));
        EXPECT_EQ(GetBkColor(dc), c.background);
    }
    // Number labels stand on the quiz colour, in white on a dark one.
    quiz->colorRed = 60;
    quiz->colorGreen = 60;
    SetBkMode(dc, OPAQUE);
    EXPECT_EQ(SendMessageA(page_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(GetDlgItem(page_, ID_NUMBER_LABEL))),
              reinterpret_cast<LRESULT>(quiz->quizBrush));
    EXPECT_EQ(GetTextColor(dc), RGB(255, 255, 255));
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    EXPECT_EQ(SendMessageA(page_, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(page_)),
              reinterpret_cast<LRESULT>(quiz->quizBrush));
    DeleteDC(dc);
}

TEST_F(PageTest, TheLastRowOfTheMaximalQuizCanBeScrolledIntoView) {
    auto quiz = MakeQuiz({"maximal", MEDIA_PICTURE, 96, 96, 2, 3});
    ASSERT_NE(Build(quiz.get()), nullptr);
    EXPECT_GT(quiz->contentHeight, 32 * 270);
    SendMessageA(page_, WM_VSCROLL, SB_BOTTOM, 0);
    RECT client = {};
    GetClientRect(page_, &client);
    for (int id : {ID_ANSWER_EDIT + 192, ID_RESULT_LABEL + 192, ID_EXTRA_TEXT + 96}) {
        const RECT r = TestPlayer::RectOn(page_, GetDlgItem(page_, id));
        EXPECT_GE(r.top, 0) << id;
        EXPECT_LE(r.bottom, client.bottom) << id;
    }
}

}  // namespace
