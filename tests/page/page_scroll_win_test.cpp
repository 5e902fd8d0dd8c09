// Scrolling and reflow on the real question page, read back from the controls.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>

#include "page/control_ids.h"
#include "tests/common/test_player_win.h"

namespace {

// Each control's left, top (in the content: scroll added back) and visibility.
using Snapshot = std::map<HWND, std::tuple<LONG, LONG, bool>>;
Snapshot Take(HWND page) {
    Snapshot controls;
    const LONG dx = GetScrollPos(page, SB_HORZ), dy = GetScrollPos(page, SB_VERT);
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        const RECT r = TestPlayer::RectOn(page, child);
        controls[child] = {r.left + dx, r.top + dy, IsWindowVisible(child) != FALSE};
    }
    return controls;
}

TEST(PageScrollWin, EveryRequestMovesAllControlsByWhatTheBarMoved) {
    ScratchFolder folder;
    TestPlayer player(NumberedQuiz(MEDIA_NONE, 1, 0, 96));
    ASSERT_EQ(player.quiz->contentHeight, 2405);  // far taller than the page
    RECT client = {};
    GetClientRect(player.page, &client);
    const int page = client.bottom - 1, last = 2405 - client.bottom;
    HWND pg = player.page, field = player.Item(ID_ANSWER_EDIT + 1);
    const struct {
        HWND target;
        UINT message;
        WPARAM request;
        int position;
    } steps[] = {
        // clang-format off
        {pg, WM_VSCROLL, SB_LINEDOWN, 310}, {pg, WM_VSCROLL, SB_PAGEDOWN, 310 + page},
        {pg, WM_VSCROLL, SB_LINEUP, page},
        // An answer field's page and arrow keys scroll the page by a page.
        {field, WM_KEYUP, VK_NEXT, 2 * page}, {field, WM_KEYUP, VK_UP, page},
        // One wheel notch scrolls the page once, wherever it lands; two at once do nothing.
        {pg, WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 50 + page},
        {field, WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 100 + page},
        {player.main, WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 150 + page},
        {player.header, WM_MOUSEWHEEL, MAKEWPARAM(0, -120), 200 + page},
        {pg, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 150 + page},
        {pg, WM_MOUSEWHEEL, MAKEWPARAM(0, -240), 150 + page},
        {pg, WM_VSCROLL, SB_BOTTOM, last}, {pg, WM_VSCROLL, SB_LINEDOWN, last},
        {pg, WM_VSCROLL, SB_PAGEUP, last - page}, {pg, WM_VSCROLL, SB_TOP, 0},
        // clang-format on
    };
    const Snapshot built = Take(player.page);
    for (const auto& step : steps) {
        SCOPED_TRACE(&step - steps);
        SendMessageA(step.target, step.message, step.request, 0);
        player.Pump();
        EXPECT_EQ(GetScrollPos(player.page, SB_VERT), step.position);
        EXPECT_TRUE(Take(player.page) == built);
    }
}

TEST(PageScrollWin, ResizingKeepsTheViewAndAFittingPageReturnsToTheTopLeft) {
    ScratchFolder folder;
    TestPlayer player(NumberedQuiz(MEDIA_NONE, 1, 0, 96));
    HWND page = player.page;
    const Snapshot built = Take(page);
    SendMessageA(page, WM_VSCROLL, SB_BOTTOM, 0);
    const int bottom = GetScrollPos(page, SB_VERT);
    SetWindowPos(page, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    SendMessageA(page, WM_HSCROLL, SB_RIGHT, 0);
    RECT client = {};
    GetClientRect(page, &client);
    const int right = player.quiz->contentWidth - client.right;
    EXPECT_EQ(GetScrollPos(page, SB_VERT), bottom);
    EXPECT_EQ(GetScrollPos(page, SB_HORZ), right);
    EXPECT_TRUE(Take(page) == built);

    // Room for everything: both bars at 0, the controls where they were built.
    SetWindowPos(page, nullptr, 0, 0, 1000, 2600, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(GetScrollPos(page, SB_VERT) + GetScrollPos(page, SB_HORZ), 0);
    EXPECT_TRUE(Take(page) == built);
}

TEST(PageScrollWin, HidingASolvedRowMovesEverythingBelowAndShowingRestoresIt) {
    ScratchFolder folder;
    TestPlayer player(NumberedQuiz(MEDIA_PICTURE, 2, 3, 6));
    const int height = player.quiz->rowPictureHeight[0];
    ASSERT_EQ(height, 260);
    const int collapse = height + 65;  // the pictures and the extra-text band
    const int built = player.quiz->contentHeight;
    for (int n = 1; n <= 6; ++n) {  // the whole first row solved
        player.Put(n, ((n % 2 ? "REPONSE" : "SECONDE") + std::to_string((n + 1) / 2)).c_str());
        player.Leave(n);
    }
    EXPECT_TRUE(player.Visible(ID_PICTURE + 2));  // in full view until the box is checked
    const Snapshot before = Take(player.page);
    const LONG secondRow = std::get<1>(before.at(player.Item(ID_PICTURE + 4)));
    player.SetHideBox(true);
    EXPECT_EQ(player.quiz->contentHeight, built - collapse);
    // The first row's pictures and extra texts hide and its answers and
    // captions rise over them; the second row, captions too, rises by the collapse.
    const Snapshot now = Take(player.page);
    for (const auto& [control, was] : before) {
        const auto [left, top, visible] = was;
        const int id = GetDlgCtrlID(control);
        const bool hidden = (id > ID_PICTURE && id <= ID_PICTURE + 3) ||
                            (id > ID_EXTRA_TEXT && id <= ID_EXTRA_TEXT + 3);
        const LONG dy = top >= secondRow ? -collapse : id > ID_PICTURE ? 0 : -height;
        EXPECT_EQ(now.at(control), std::make_tuple(left, top + dy, visible && !hidden)) << id;
    }
    player.SetHideBox(false);
    EXPECT_EQ(player.quiz->contentHeight, built);
    EXPECT_TRUE(Take(player.page) == before);
}

}  // namespace
