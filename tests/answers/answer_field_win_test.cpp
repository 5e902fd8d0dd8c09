// The answer fields' keys, driven through the player's own message loop
// (dialog keys for the page), on the real page.
#include <windows.h>

#include <gtest/gtest.h>

#include "page/control_ids.h"
#include "tests/common/test_player_win.h"

namespace {

TEST(AnswerFieldWin, EnterJudgesWithoutInsertingAndTabJudgesTheFieldLeft) {
    ScratchFolder folder;
    TestPlayer player(NumberedQuiz(MEDIA_NONE, 1, 0, 3));
    player.Put(2, "reponse");
    player.Focus(1);
    player.Put(1, "reponse1");
    EXPECT_EQ(player.Text(ID_RESULT_LABEL + 1), "?");  // typing alone judges nothing
    player.Press(VK_RETURN);
    EXPECT_EQ(player.Text(ID_RESULT_LABEL + 1), "BRAVO");
    for (WPARAM c : {WPARAM('\r'), WPARAM('\t')})
        SendMessageA(player.Item(ID_ANSWER_EDIT + 1), WM_CHAR, c, 1);
    EXPECT_EQ(player.Text(ID_ANSWER_EDIT + 1), "reponse1");
    EXPECT_EQ(GetFocus(), player.Item(ID_ANSWER_EDIT + 1));
    player.Press(VK_TAB);
    EXPECT_EQ(GetFocus(), player.Item(ID_ANSWER_EDIT + 2));
    EXPECT_EQ(player.Text(ID_RESULT_LABEL + 2), "?");
    player.Press(VK_TAB);
    EXPECT_EQ(player.Text(ID_RESULT_LABEL + 2), "Quasiment");
    EXPECT_EQ(player.HeaderText(ID_SCORE_TEXT), " 1 / 3");
}

TEST(AnswerFieldWin, F1CopiesTheFieldIntoEveryUnsolvedField) {
    const struct {
        const char* typed;
        const char *first, *third;  // verdicts of fields 1 and 3 afterwards
    } cases[] = {
        {"reponse3", "Quasiment", "BRAVO"},
        {"   ", "?", "?"},  // a blank field copies nothing
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        ScratchFolder folder;
        TestPlayer player(NumberedQuiz(MEDIA_NONE, 1, 0, 3));
        player.Put(2, "reponse2");
        player.Leave(2);
        player.Put(3, "autre");
        player.Focus(1);
        player.Put(1, c.typed);
        player.Press(VK_F1);
        const bool copied = c.third[0] == 'B';
        EXPECT_EQ(player.Text(ID_ANSWER_EDIT + 1), c.typed);
        EXPECT_EQ(player.Text(ID_ANSWER_EDIT + 2), "reponse2");  // solved: kept
        EXPECT_EQ(player.Text(ID_ANSWER_EDIT + 3), copied ? c.typed : "autre");
        EXPECT_EQ(GetFocus(), player.Item(ID_ANSWER_EDIT + 1));
        EXPECT_EQ(player.Text(ID_RESULT_LABEL + 1), c.first);
        EXPECT_EQ(player.Text(ID_RESULT_LABEL + 3), c.third);
    }
}

TEST(AnswerFieldWin, ArrowAndPageKeysScrollThePageByAPage) {
    ScratchFolder folder;
    TestPlayer player(NumberedQuiz(MEDIA_NONE, 1, 0, 96));
    SCROLLINFO info = {sizeof info, SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
    GetScrollInfo(player.page, SB_VERT, &info);
    const int page = static_cast<int>(info.nPage);
    player.Focus(1);
    const struct {
        WORD key;
        int position;
    } steps[] = {{VK_NEXT, page}, {VK_DOWN, 2 * page}, {VK_PRIOR, page}, {VK_UP, 0}, {VK_UP, 0}};
    for (const auto& step : steps) {
        player.Press(step.key);
        GetScrollInfo(player.page, SB_VERT, &info);
        EXPECT_EQ(info.nPos, step.position) << step.key;
    }
}

}  // namespace
