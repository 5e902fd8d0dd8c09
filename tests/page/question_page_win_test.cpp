// The real question page under wine, in the test player, read back control by
// control against the pure layout (whose formulas page_layout_test checks).
#include <windows.h>
#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "answers/answer_field_win.h"
#include "answers/answers_save_win.h"
#include "answers/verdicts_win.h"
#include "page/control_ids.h"
#include "page/page_layout.h"
#include "page/question_page_win.h"
#include "shell/shell_win.h"
#include "tests/common/test_player_win.h"

namespace {

// A window's name as a screen reader reads it (through COM, as in the player).
std::string AccessibleName(HWND window) {
    IAccessible* object = nullptr;
    CoInitialize(nullptr);
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT),
                                          IID_IAccessible, reinterpret_cast<void**>(&object))))
        return "<none>";
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    char text[128] = "";
    if (SUCCEEDED(object->get_accName(self, &name)) && name != nullptr)
        WideCharToMultiByte(1252, 0, name, -1, text, sizeof text, nullptr, nullptr);
    SysFreeString(name);
    object->Release();
    return text;
}

std::string TextFor(const QuizData& quiz, const PageControl& c) {
    const QuestionNode* node = quiz.QuestionAt(c.question - 1);
    if (c.kind == PAGE_NUMBER_LABEL) return std::to_string(c.question) + ".";
    if (c.kind == PAGE_PROMPT) return node->prompt;
    if (c.kind == PAGE_RESULT_LABEL) return "?";
    if (c.kind == PAGE_ANSWER_CAPTION) return c.answer == 1 ? "Pays :" : "Capitale :";
    if (c.kind == PAGE_EXTRA_TEXT) return quiz.displayMode == 5 ? "en 1 mot" : node->extraText;
    return "";
}

TEST(QuestionPage, EveryControlMatchesTheLayout) {
    const struct {
        const char* name;
        int kind, questions, nodes, answers, mode;
    } shapes[] = {
        {"list, 4 questions, 2 answers", MEDIA_NONE, 4, 4, 2, 0},
        {"pictures, 4 questions, 2 answers, mode 5", MEDIA_PICTURE, 4, 4, 2, 5},
        {"pictures, 96 questions, 2 answers, mode 3", MEDIA_PICTURE, 96, 96, 2, 3},
        {"sample quiz: 7 questions, 2 nodes", MEDIA_PICTURE, 7, 2, 2, 3},
        {"video, 4 questions, 2 answers", MEDIA_VIDEO, 4, 4, 2, 2},
    };
    for (const auto& s : shapes) {
        SCOPED_TRACE(s.name);
        ScratchFolder folder;
        QuizData* made = NumberedQuiz(s.kind, s.answers, s.mode, s.nodes);
        made->questionCount = s.questions;  // the last node stands in for the rest
        CopyText(made->answerLabel1, QUIZ_TEXT_SIZE, "Pays :");
        CopyText(made->answerLabel2, QUIZ_TEXT_SIZE, "Capitale :");
        TestPlayer player(made);
        const QuizData& quiz = *player.quiz;
        // Every picture of this program is the same portrait, fitted to 195 x 260.
        const int pictures = s.kind == MEDIA_PICTURE ? PagePicturesNeeded(s.questions) : 0;
        const PageLayout layout =
            LayoutPage({s.kind, s.questions, s.answers, s.mode,
                        std::vector<PictureSize>(static_cast<size_t>(pictures), {195, 260})});
        int low = 0, vertical = 0, horizontal = 0;  // scroll maximums: two below the content
        GetScrollRange(player.page, SB_VERT, &low, &vertical);
        GetScrollRange(player.page, SB_HORZ, &low, &horizontal);
        for (int w : {quiz.contentWidth, horizontal + 2}) EXPECT_EQ(w, layout.contentWidth);
        for (int h : {quiz.contentHeight, vertical + 2}) EXPECT_EQ(h, layout.contentHeight);

        std::vector<HWND> children;  // in creation order
        for (HWND w = GetWindow(player.page, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
            children.push_back(w);
        ASSERT_EQ(children.size(), layout.controls.size());
        for (size_t i = 0; i < children.size(); ++i) {
            const PageControl& c = layout.controls[i];
            HWND child = children[i];
            SCOPED_TRACE(std::to_string(c.id) + " of question " + std::to_string(c.question));
            EXPECT_EQ(GetDlgCtrlID(child), c.id);
            char name[64] = "", text[300] = "";
            GetClassNameA(child, name, sizeof name);
            EXPECT_STREQ(name, c.kind == PAGE_ANSWER_FIELD  ? "Edit"
                               : c.kind >= PAGE_PLAY_BUTTON ? "Button"
                                                            : "Static");
            const RECT r = TestPlayer::RectOn(player.page, child);
            EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right - r.left, r.bottom - r.top}),
                      std::vector<LONG>({c.x, c.y, c.width, c.height}));
            // Extra texts wait for the verdict, except mode 5's word count.
            EXPECT_EQ(IsWindowVisible(child) != FALSE, c.kind != PAGE_EXTRA_TEXT || s.mode == 5);
            GetWindowTextA(child, text, sizeof text);
            EXPECT_EQ(text, TextFor(quiz, c));
            // Quiz texts show an "&" as written, not as a mnemonic.
            EXPECT_TRUE((c.kind != PAGE_PROMPT && c.kind != PAGE_ANSWER_CAPTION &&
                         c.kind != PAGE_EXTRA_TEXT) ||
                        (GetWindowLongPtrA(child, GWL_STYLE) & SS_NOPREFIX));
            EXPECT_TRUE(
                c.kind != PAGE_ANSWER_FIELD ||
                (GetWindowLongPtrA(child, GWLP_WNDPROC) ==
                     reinterpret_cast<LONG_PTR>(AnswerFieldProc) &&
                 (c.textLimit == 0 || SendMessageA(child, EM_GETLIMITTEXT, 0, 0) == c.textLimit)));
            EXPECT_TRUE(
                (c.kind != PAGE_PICTURE || SendMessageA(child, STM_GETIMAGE, IMAGE_BITMAP, 0)) &&
                (c.kind < PAGE_PLAY_BUTTON || SendMessageA(child, BM_GETIMAGE, IMAGE_ICON, 0)));
        }
    }
}

// Restored answers fill the fields in page order, whole, and are judged as the
// page is built; the page lets the file go, so a save writes it back.
TEST(QuestionPage, RestoredAnswersAreJudgedAndSavedBackWhole) {
    ScratchFolder folder;
    const std::string fields =
        std::string(259, 'L') + "\r\n\xE9l\xE8ve\r\nREPONSE2\r\nSECONDE2\r\n";
    folder.Write(folder.AnswersFile(), fields.substr(0, fields.size() - 2));
    TestPlayer player(NumberedQuiz(MEDIA_PICTURE, 2, 2, 2));
    std::string restored;
    for (int n = 1; n <= 4; ++n) restored += player.Text(ID_ANSWER_EDIT + n) + "\r\n";
    EXPECT_EQ(restored, fields);
    EXPECT_EQ(player.Text(ID_RESULT_LABEL + 3) + player.Text(ID_RESULT_LABEL + 4), "BRAVOBRAVO");
    EXPECT_EQ(player.HeaderText(ID_SCORE_TEXT), " 1 / 2");
    EXPECT_TRUE(player.Visible(ID_EXTRA_TEXT + 2));  // a solved question shows its extra text
    EXPECT_FALSE(player.Visible(ID_EXTRA_TEXT + 1));
    ASSERT_TRUE(SaveAnswers(player.quiz, SAVE_SILENT));
    EXPECT_EQ(folder.Read(folder.AnswersFile()), fields);
}

// A page longer than its window shows before its last rows exist. They come
// at idle in tab order, or at once and in place when another program scrolls
// the page; an answer to restore further down has them all made at once.
TEST(QuestionPage, RowsPastTheWindowAreMadeAtIdleOrWhenScrolledTo) {
    ScratchFolder folder;
    RECT whole = {};
    {
        TestPlayer player(NumberedQuiz(MEDIA_PICTURE, 1, 0, 96));
        SendMessageA(player.page, WM_VSCROLL, SB_BOTTOM, 0);
        whole = TestPlayer::RectOn(player.page, player.Item(ID_ANSWER_EDIT + 96));
    }
    {
        TestPlayer player(NumberedQuiz(MEDIA_PICTURE, 1, 0, 96), false);
        ASSERT_NE(player.Item(ID_ANSWER_EDIT + 1), nullptr);
        EXPECT_EQ(player.Item(ID_ANSWER_EDIT + 96), nullptr);
        while (DoPageIdleStep(player.page)) {
        }
        HWND field = player.Item(ID_ANSWER_EDIT + 1);
        for (int n = 2; n <= 96; ++n) {
            field = GetNextDlgTabItem(player.page, field, FALSE);
            EXPECT_EQ(GetDlgCtrlID(field), ID_ANSWER_EDIT + n);
        }
    }
    {
        TestPlayer player(NumberedQuiz(MEDIA_PICTURE, 1, 0, 96), false);
        SendMessageA(player.page, WM_VSCROLL, SB_BOTTOM, 0);
        const RECT r = TestPlayer::RectOn(player.page, player.Item(ID_ANSWER_EDIT + 96));
        EXPECT_EQ(std::vector<LONG>({r.left, r.top}), std::vector<LONG>({whole.left, whole.top}));
    }
    std::string lines;
    for (int n = 1; n < 96; ++n) lines += "\r\n";
    folder.Write(folder.AnswersFile(), lines + "REPONSE96\r\n");
    TestPlayer player(NumberedQuiz(MEDIA_PICTURE, 1, 0, 96), false);
    EXPECT_EQ(player.Text(ID_RESULT_LABEL + 96), "BRAVO");
    EXPECT_EQ(player.HeaderText(ID_SCORE_TEXT), " 1 / 96");
}

TEST(QuestionPage, ScreenReadersHearWhichAnswerEachFieldIsAndEachNewVerdict) {
    ScratchFolder folder;
    QuizData* made = NumberedQuiz(MEDIA_PICTURE, 2, 2, 2);
    CopyText(made->answerLabel1, QUIZ_TEXT_SIZE, "Pays\xA0:");  // the second has no caption
    TestPlayer player(made);
    const char* names[] = {"Question 1, Pays", "Question 1, r\xE9ponse 2", "Question 2, Pays",
                           "Question 2, r\xE9ponse 2"};
    for (int n = 1; n <= 4; ++n) EXPECT_EQ(AccessibleName(player.Item(4000 + n)), names[n - 1]);
    player.Put(3, "REPONSE2");
    JudgeAnswer(player.quiz, player.page, ID_ANSWER_EDIT + 3);
    EXPECT_EQ(AccessibleName(player.Item(ID_RESULT_LABEL + 3)), "BRAVO");
}

TEST(QuestionPage, AnotherMonitorsDpiLaysThePageOutAgainKeepingWhatWasTyped) {
    ScratchFolder folder;
    TestPlayer player(NumberedQuiz(MEDIA_NONE, 1, 0, 3));
    player.Put(1, "REPONSE1");
    player.Put(2, "tap\xE9");
    RECT before = {};
    GetWindowRect(player.main, &before);
    const RECT suggested = {10, 20, 1000, 740};
    for (const auto& [dpi, place] : {std::pair{144, suggested}, {96, before}}) {
        SendMessageA(player.main, WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&place));
        player.page = g_hQuestionPage;  // both panels were made again
        player.header = g_hHeaderPanel;
        RECT now = {};
        GetWindowRect(player.main, &now);
        EXPECT_TRUE(EqualRect(&now, &place));
        PageLayoutInput input;
        input.questionCount = 3;
        input.dpi = dpi;
        for (const PageControl& c : LayoutPage(input).controls) {
            if (c.kind != PAGE_ANSWER_FIELD && c.kind != PAGE_RESULT_LABEL) continue;  // ids shared
            const RECT r = TestPlayer::RectOn(player.page, player.Item(c.id));
            EXPECT_EQ(std::vector<LONG>({r.left, r.top, r.right, r.bottom}),
                      std::vector<LONG>({c.x, c.y, c.x + c.width, c.y + c.height}))
                << dpi << " " << c.id;
        }
        EXPECT_EQ(player.Text(4001) + player.Text(4002), "REPONSE1tap\xE9");
        EXPECT_EQ(player.Text(ID_RESULT_LABEL + 1), "BRAVO");
    }
}

// Which paint a static takes is checked natively; here, that the page applies it.
TEST(QuestionPage, StaticsArePaintedByTheirText) {
    ScratchFolder folder;
    TestPlayer player(NumberedQuiz(MEDIA_NONE, 1, 0, 1));
    QuizData* quiz = player.quiz;
    quiz->colorRed = quiz->colorGreen = 60;  // dark: numbers in white
    const COLORREF unset = RGB(1, 2, 3);
    const struct {
        int id;
        const char* text;  // null: left alone
        HBRUSH brush;
        COLORREF background, foreground;
    } cases[] = {
        {ID_RESULT_LABEL + 1, "BRAVO", g_brushGreen, RGB(0, 255, 0), unset},
        {ID_PROMPT, nullptr, quiz->brushLightYellow, RGB(255, 255, 192), unset},
        {ID_NUMBER_LABEL, nullptr, quiz->quizBrush, unset, RGB(255, 255, 255)},  // last: see below
    };
    HDC dc = CreateCompatibleDC(nullptr);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        if (c.text != nullptr) SetWindowTextA(player.Item(c.id), c.text);
        SetBkColor(dc, unset);
        SetTextColor(dc, unset);
        EXPECT_EQ(SendMessageA(player.page, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(player.Item(c.id))),
                  reinterpret_cast<LRESULT>(c.brush));
        EXPECT_EQ(std::vector<COLORREF>({GetBkColor(dc), GetTextColor(dc)}),
                  std::vector<COLORREF>({c.background, c.foreground}));
    }
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);  // the number label's text stands on the quiz colour
    EXPECT_EQ(SendMessageA(player.page, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), 0),
              reinterpret_cast<LRESULT>(quiz->quizBrush));
    DeleteDC(dc);
}

}  // namespace
