// The answer fields' keys, driven through the player's own message loop
// (dialog keys for the page), on the real page.
#include <windows.h>

#include <gtest/gtest.h>

#include "page/control_ids.h"
#include "tests/common/test_player_win.h"

namespace {

// Enter, Tab and F1 on typed answers are driven by real keys in the end-to-end
// test; a blank field's F1 is not.
TEST(AnswerFieldWin, F1OnABlankFieldCopiesNothing) {
    ScratchFolder folder;
    TestPlayer player(NumberedQuiz(MEDIA_NONE, 1, 0, 3));
    player.Put(3, "autre");
    player.Focus(1);
    player.Put(1, "   ");
    player.Press(VK_F1);
    EXPECT_EQ(player.Text(ID_ANSWER_EDIT + 3), "autre");
    EXPECT_EQ(player.Text(ID_RESULT_LABEL + 3), "?");
    EXPECT_EQ(GetFocus(), player.Item(ID_ANSWER_EDIT + 1));
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
