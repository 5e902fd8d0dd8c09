// The header panel's texts and layout.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "answers/header_panel_win.h"
#include "page/control_ids.h"
#include "tests/common/test_player_win.h"

namespace {

TEST(HeaderPanelWin, ShowsTheQuizAndPlacesTheRightGroupFromTheRightEdge) {
    ScratchFolder folder;
    TestPlayer player(NumberedQuiz(MEDIA_PICTURE, 1, 0, 10));
    const struct {
        int id;
        const char* text;
    } texts[] = {
        {ID_AUTHOR, "Brelo"},
        {ID_TITLE, "Quiz de test"},
        {ID_EXPLANATIONS, "Tapez vos r\xE9ponses."},
    };
    for (const auto& t : texts) EXPECT_EQ(player.HeaderText(t.id), t.text) << t.id;

    SetWindowPos(player.header, nullptr, 0, 0, 800, 49, SWP_NOMOVE | SWP_NOZORDER);
    RECT client = {};
    GetClientRect(player.header, &client);
    const LONG w = client.right;
    // x, y, right edge, height; x 0 where a caption grew to fit its text
    // (or moved after one that did): then only its right edge is fixed.
    const struct {
        int id;
        std::array<LONG, 4> box;
    } places[] = {
        {ID_HIDE_CHECKBOX, {0, 0, w - 149, 18}},   {ID_TITLE, {110, 3, w - 240, 18}},
        {ID_LINK, {w - 134, 0, w - 19, 18}},       {ID_BY_CAPTION, {w - 134, 25, 0, 18}},
        {ID_AUTHOR, {0, 25, w - 2, 18}},           {ID_SAVE_BUTTON, {0, 25, w - 149, 18}},
        {ID_EXPLANATIONS, {110, 19, w - 214, 28}}, {ID_RULE_RIGHT, {w - 145, 0, w - 144, 50}},
        {ID_CODE_FIELD, {0, 29, 97, 16}},          {ID_CODE_CAPTION, {7, 29, 0, 15}},
    };
    for (const auto& p : places) {
        const RECT r = TestPlayer::RectOn(player.header, GetDlgItem(player.header, p.id));
        EXPECT_EQ((std::array<LONG, 4>{p.box[0] ? r.left : 0, r.top, p.box[2] ? r.right : 0,
                                       r.bottom - r.top}),
                  p.box)
            << p.id;
    }
    // Between the code caption and the left rule.
    EXPECT_GT(TestPlayer::RectOn(player.header, GetDlgItem(player.header, ID_CODE_FIELD)).left,
              TestPlayer::RectOn(player.header, GetDlgItem(player.header, ID_CODE_CAPTION)).right);
}

}  // namespace
