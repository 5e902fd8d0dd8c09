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
        {ID_BY_CAPTION, "Par :"},
        {ID_AUTHOR, "Brelo"},
        {ID_HIDE_CHECKBOX, "Cacher"},
        {ID_SAVE_BUTTON, "Sauver"},
        {ID_TITLE, "Quiz de test"},
        {ID_CODE_CAPTION, " Code :"},
        {ID_SCORE_TEXT, " 0 / 10"},
        {ID_CODE_FIELD, ""},
        {ID_EXPLANATIONS, "Tapez vos r\xE9ponses."},
    };
    for (const auto& t : texts) EXPECT_EQ(player.HeaderText(t.id), t.text) << t.id;

    SetWindowPos(player.header, nullptr, 0, 0, 800, 49, SWP_NOMOVE | SWP_NOZORDER);
    RECT client = {};
    GetClientRect(player.header, &client);
    const LONG w = client.right;
    const struct {
        int id;
        std::array<LONG, 4> box;  // x, y, width, height
    } places[] = {
        {ID_HIDE_CHECKBOX, {w - 204, 0, 55, 18}},  {ID_TITLE, {110, 3, w - 350, 18}},
        {ID_LINK, {w - 134, 0, 115, 18}},          {ID_BY_CAPTION, {w - 134, 25, 26, 18}},
        {ID_AUTHOR, {w - 107, 25, 105, 18}},       {ID_SAVE_BUTTON, {w - 204, 25, 55, 18}},
        {ID_EXPLANATIONS, {110, 19, w - 324, 28}}, {ID_RULE_RIGHT, {w - 145, 0, 1, 50}},
        {ID_SCORE_TEXT, {10, 1, 80, 20}},          {ID_CODE_FIELD, {44, 29, 53, 16}},
    };
    for (const auto& p : places) {
        const RECT r = TestPlayer::RectOn(player.header, GetDlgItem(player.header, p.id));
        EXPECT_EQ((std::array<LONG, 4>{r.left, r.top, r.right - r.left, r.bottom - r.top}), p.box)
            << p.id;
    }
}

}  // namespace
