// The answer fields' keys, driven through the player's own message loop
// (dialog keys for the page), on the real page.
#include <windows.h>

#include <gtest/gtest.h>

#include "page/control_ids.h"
#include "tests/common/test_player_win.h"

namespace {

int VerticalPosition(HWND page) {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS;
    GetScrollInfo(page, SB_VERT, &info);
    return info.nPos;
}

TEST(AnswerFieldWin, EnterReleasedJudgesWithoutInsertingAndKeepsTheFocus) {
    ScratchFolder folder;
    TestPlayer player(NumberedQuiz(MEDIA_NONE, 1, 0, 3));
    player.Focus(1);
    player.Put(1, "reponse1");
    EXPECT_EQ(player.Text(ID_RESULT_LABEL + 1), "?");  // typing alone judges nothing
    player.Press(VK_RETURN);
    EXPECT_EQ(player.Text(ID_RESULT_LABEL + 1), "BRAVO");
    EXPECT_EQ(player.Text(ID_ANSWER_EDIT + 1), "reponse1");
    EXPECT_EQ(GetFocus(), player.Item(ID_ANSWER_EDIT + 1));
    for (WPARAM character : {WPARAM('\r'), WPARAM('\t'), WPARAM(0)}) {
        EXPECT_EQ(SendMessageA(player.Item(ID_ANSWER_EDIT + 1), WM_CHAR, character, 1), 0);
    }
    EXPECT_EQ(player.Text(ID_ANSWER_EDIT + 1), "reponse1");
}

TEST(AnswerFieldWin, TabJudgesTheFieldLeftAndSelectsTheNextOne) {
    ScratchFolder folder;
    TestPlayer player(NumberedQuiz(MEDIA_NONE, 1, 0, 3));
    player.Put(2, "reponse");
    player.Focus(1);
    player.Put(1, "reponse1");
    player.Press(VK_TAB);
    EXPECT_EQ(GetFocus(), player.Item(ID_ANSWER_EDIT + 2));
    EXPECT_EQ(player.Text(ID_RESULT_LABEL + 1), "BRAVO");
    EXPECT_EQ(player.Text(ID_RESULT_LABEL + 2), "?");
    DWORD start = 1, end = 0;
    SendMessageA(player.Item(ID_ANSWER_EDIT + 2), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 7u);
    player.Press(VK_TAB);
    EXPECT_EQ(player.Text(ID_RESULT_LABEL + 2), "Quasiment");
    EXPECT_EQ(player.HeaderText(ID_SCORE_TEXT), " 1 / 3");
}

TEST(AnswerFieldWin, F1CopiesTheFieldIntoEveryUnsolvedField) {
    struct Case {
        const char* typed;
        const char* second;  // what field 2 holds afterwards
        const char* third;
    };
    const Case cases[] = {
        {"PARIS", "reponse2", "PARIS"},
        {"", "reponse2", "autre"},  // an empty field copies nothing
        {"   ", "reponse2", "autre"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        ScratchFolder folder;
        TestPlayer player(NumberedQuiz(MEDIA_NONE, 1, 0, 3));
        player.Put(2, "reponse2");
        player.Leave(2);
        player.Put(3, "autre");
        player.Focus(1);
        player.Put(1, c.typed);
        player.Press(VK_F1);
        EXPECT_EQ(player.Text(ID_ANSWER_EDIT + 1), c.typed);
        EXPECT_EQ(player.Text(ID_ANSWER_EDIT + 2), c.second);
        EXPECT_EQ(player.Text(ID_ANSWER_EDIT + 3), c.third);
        EXPECT_EQ(GetFocus(), player.Item(ID_ANSWER_EDIT + 1));
        EXPECT_EQ(player.Text(ID_RESULT_LABEL + 2), "BRAVO");
    }
    // Every field that was filled carries its new verdict.
    ScratchFolder folder;
    TestPlayer player(NumberedQuiz(MEDIA_NONE, 1, 0, 3));
    player.Focus(1);
    player.Put(1, "reponse3");
    player.Press(VK_F1);
    EXPECT_EQ(player.Text(ID_RESULT_LABEL + 1), "Quasiment");
    EXPECT_EQ(player.Text(ID_RESULT_LABEL + 2), "Quasiment");
    EXPECT_EQ(player.Text(ID_RESULT_LABEL + 3), "BRAVO");
}

TEST(AnswerFieldWin, F2SavesWithoutMovingTheFocus) {
    ScratchFolder folder;
    TestPlayer player(NumberedQuiz(MEDIA_NONE, 1, 0, 3));
    player.Focus(2);
    player.Put(2, "deux");
    player.Press(VK_F2);
    EXPECT_EQ(folder.Read(folder.AnswersFile()), "\r\ndeux\r\n\r\n");
    EXPECT_EQ(GetFocus(), player.Item(ID_ANSWER_EDIT + 2));
}

TEST(AnswerFieldWin, ArrowAndPageKeysScrollThePageByAPage) {
    ScratchFolder folder;
    TestPlayer player(NumberedQuiz(MEDIA_NONE, 1, 0, 96));
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_PAGE;
    GetScrollInfo(player.page, SB_VERT, &info);
    const int page = static_cast<int>(info.nPage);
    player.Focus(1);
    struct Step {
        WORD key;
        int position;
    };
    const Step steps[] = {
        {VK_NEXT, page}, {VK_DOWN, 2 * page}, {VK_PRIOR, page}, {VK_UP, 0}, {VK_UP, 0}};
    for (const Step& step : steps) {
        player.Press(step.key);
        EXPECT_EQ(VerticalPosition(player.page), step.position) << step.key;
    }
}

}  // namespace
