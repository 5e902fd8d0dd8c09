// Scrolling and reflow on the real question page, inside the real main
// window. Positions are read back from the controls themselves.
#include <windows.h>

#include <gtest/gtest.h>

#include <map>

#include "answers/verdicts_win.h"
#include "page/control_ids.h"
#include "page/page_scroll_win.h"
#include "tests/common/test_player_win.h"

namespace {

SIZE Client(HWND page) {
    RECT client = {};
    GetClientRect(page, &client);
    return {client.right, client.bottom};
}

void Scroll(TestPlayer& player, UINT message, int request) {
    SendMessageA(player.page, message, static_cast<WPARAM>(request), 0);
    player.Pump();
}

// A list of 96 questions is 2405 pixels high: far taller than the page.
TEST(PageScrollWin, EveryRequestMovesAllControlsByWhatTheBarMoved) {
    ScratchFolder folder;
    TestPlayer player(NumberedQuiz(MEDIA_NONE, 1, 0, 96));
    ASSERT_EQ(player.quiz->contentHeight, 2405);
    const int lastPosition = 2405 - Client(player.page).cy;
    const int page = Client(player.page).cy - 1;
    const struct {
        int request, position;
    } steps[] = {
        {SB_LINEDOWN, 310},
        {SB_LINEDOWN, 620},
        {SB_PAGEDOWN, 620 + page},
        {SB_LINEUP, 310 + page},
        {SCROLL_WHEEL_DOWN, 360 + page},
        {SCROLL_WHEEL_UP, 310 + page},
        {SB_BOTTOM, lastPosition},
        {SB_LINEDOWN, lastPosition},
        {SB_PAGEUP, lastPosition - page},
        {SB_TOP, 0},
        {SB_LINEUP, 0},
    };
    const LONG firstTop = player.Rect(ID_ANSWER_EDIT + 1).top;
    const LONG lastTop = player.Rect(ID_ANSWER_EDIT + 96).top;
    for (const auto& step : steps) {
        Scroll(player, WM_VSCROLL, step.request);
        EXPECT_EQ(GetScrollPos(player.page, SB_VERT), step.position) << step.request;
        EXPECT_EQ(player.Rect(ID_ANSWER_EDIT + 1).top, firstTop - step.position) << step.request;
        EXPECT_EQ(player.Rect(ID_ANSWER_EDIT + 96).top, lastTop - step.position) << step.request;
    }
}

TEST(PageScrollWin, OneWheelNotchScrollsFiftyPixelsOnce) {
    ScratchFolder folder;
    TestPlayer player(NumberedQuiz(MEDIA_NONE, 1, 0, 96));
    const struct {
        const char* where;
        HWND target;
        short distance;
        int moved;
    } cases[] = {
        {"page", player.page, -120, 50},
        {"answer field", player.Item(ID_ANSWER_EDIT + 1), -120, 50},
        {"main window", player.main, -120, 50},
        {"header panel", player.header, -120, 50},
        {"page, up", player.page, 120, -50},
        {"page, two notches at once", player.page, -240, 0},
    };
    SendMessageA(player.page, WM_VSCROLL, SB_LINEDOWN, 0);
    for (const auto& c : cases) {
        const int before = GetScrollPos(player.page, SB_VERT);
        SendMessageA(c.target, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(c.distance)),
                     MAKELPARAM(100, 100));
        player.Pump();
        EXPECT_EQ(GetScrollPos(player.page, SB_VERT) - before, c.moved) << c.where;
    }
}

TEST(PageScrollWin, ResizingKeepsTheViewAndAFittingPageReturnsToTheTopLeft) {
    ScratchFolder folder;
    TestPlayer player(NumberedQuiz(MEDIA_NONE, 1, 0, 96));
    const RECT first = player.Rect(ID_ANSWER_EDIT + 1);
    Scroll(player, WM_VSCROLL, SB_BOTTOM);
    const int bottom = GetScrollPos(player.page, SB_VERT);
    const LONG lastTop = player.Rect(ID_ANSWER_EDIT + 96).top;
    SetWindowPos(player.page, nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    player.Pump();
    EXPECT_EQ(GetScrollPos(player.page, SB_VERT), bottom);
    EXPECT_EQ(player.Rect(ID_ANSWER_EDIT + 96).top, lastTop);
    const int horizontalEnd = player.quiz->contentWidth - Client(player.page).cx;
    Scroll(player, WM_HSCROLL, SB_RIGHT);
    EXPECT_EQ(GetScrollPos(player.page, SB_HORZ), horizontalEnd);
    EXPECT_EQ(player.Rect(ID_ANSWER_EDIT + 1).left, first.left - horizontalEnd);
    Scroll(player, WM_HSCROLL, SB_LEFT);
    EXPECT_EQ(GetScrollPos(player.page, SB_HORZ), 0);

    // Large enough for everything: both positions fall back to 0 and the
    // controls are where they were built.
    SetWindowPos(player.page, nullptr, 0, 0, 1000, 2600, SWP_NOMOVE | SWP_NOZORDER);
    player.Pump();
    for (int bar : {SB_HORZ, SB_VERT}) {  // the bars stay, disabled, at 0
        SCROLLBARINFO info = {};
        info.cbSize = sizeof info;
        GetScrollBarInfo(player.page, bar == SB_VERT ? OBJID_VSCROLL : OBJID_HSCROLL, &info);
        EXPECT_EQ(info.rgstate[0] & (STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_INVISIBLE),
                  static_cast<DWORD>(STATE_SYSTEM_UNAVAILABLE));
        EXPECT_EQ(GetScrollPos(player.page, bar), 0);
    }
    const RECT now = player.Rect(ID_ANSWER_EDIT + 1);
    EXPECT_TRUE(EqualRect(&first, &now));
}

// Every control of the page: its place, and whether it is visible.
using Snapshot = std::map<HWND, std::pair<RECT, bool>>;
Snapshot Take(HWND page) {
    Snapshot controls;
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        controls[child] = {TestPlayer::RectOn(page, child), IsWindowVisible(child) != FALSE};
    return controls;
}

void Solve(TestPlayer& player, int q) {
    const QuestionNode* node = player.quiz->QuestionAt(q - 1);
    const char* answers[] = {node->answer1, node->answer2};
    for (int k = 1; k <= 2; ++k) {
        const int n = 2 * (q - 1) + k;
        player.Put(n, answers[k - 1]);
        JudgeAnswer(player.quiz, player.page, ID_ANSWER_EDIT + n);
    }
}

void ExpectRestored(const Snapshot& before, HWND page) {
    const Snapshot now = Take(page);
    for (const auto& [control, was] : before) {
        const auto& is = now.at(control);
        EXPECT_TRUE(EqualRect(&was.first, &is.first) && was.second == is.second)
            << GetDlgCtrlID(control);
    }
}

std::vector<HWND> CaptionsAt(HWND page, LONG top) {
    std::vector<HWND> found;
    for (HWND child = GetWindow(page, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(child) != ID_ANSWER_CAPTION) continue;
        const LONG captionTop = TestPlayer::RectOn(page, child).top;
        if (captionTop == top || captionTop == top + 20) found.push_back(child);
    }
    return found;
}

TEST(PageScrollWin, HidingSolvedPicturesMovesTheirRowsAndShowingRestoresThem) {
    ScratchFolder folder;
    TestPlayer player(NumberedQuiz(MEDIA_PICTURE, 2, 3, 6));
    const int height = player.quiz->rowPictureHeight[0];
    ASSERT_EQ(height, 260);
    const int collapse = height + 65;
    const int builtContent = player.quiz->contentHeight;

    // Solved while the box is unchecked: in full view until it is checked.
    Solve(player, 2);
    EXPECT_TRUE(player.Visible(ID_PICTURE + 2));
    Snapshot before = Take(player.page);
    player.SetHideBox(true);
    EXPECT_FALSE(player.Visible(ID_PICTURE + 2));
    EXPECT_FALSE(player.Visible(ID_EXTRA_TEXT + 2));
    for (int id : {ID_ANSWER_EDIT + 3, ID_ANSWER_EDIT + 4, ID_RESULT_LABEL + 3, ID_RESULT_LABEL + 4,
                   ID_NUMBER_LABEL + 2, ID_EXTRA_TEXT + 2}) {
        EXPECT_EQ(player.Rect(id).top, before.at(player.Item(id)).first.top - height) << id;
    }
    EXPECT_EQ(player.Rect(ID_PICTURE + 2).top, before.at(player.Item(ID_PICTURE + 2)).first.top);
    player.SetHideBox(false);
    ExpectRestored(before, player.page);

    // Questions 1 and 3 as well: the first row collapses and the second
    // follows with its answers, extra texts and captions.
    Solve(player, 1);
    Solve(player, 3);
    before = Take(player.page);
    player.SetHideBox(true);
    EXPECT_EQ(player.quiz->questionState[3], HIDE_ROW);
    EXPECT_EQ(player.quiz->contentHeight, builtContent - collapse);
    for (int id : {ID_PICTURE + 4, ID_PICTURE + 6, ID_ANSWER_EDIT + 12, ID_RESULT_LABEL + 7,
                   ID_NUMBER_LABEL + 5, ID_EXTRA_TEXT + 4, ID_EXTRA_TEXT + 6}) {
        EXPECT_EQ(player.Rect(id).top, before.at(player.Item(id)).first.top - collapse) << id;
    }
    for (int q : {1, 4}) {
        // Each row's captions stay level with its first question's answers.
        EXPECT_EQ(CaptionsAt(player.page, player.Rect(ID_NUMBER_LABEL + q).top).size(), 2u) << q;
    }
    // Nothing of the second row overlaps what is left of the first.
    EXPECT_GT(player.Rect(ID_NUMBER_LABEL + 4).top, player.Rect(ID_RESULT_LABEL + 2).bottom);

    player.SetHideBox(false);
    EXPECT_EQ(player.quiz->contentHeight, builtContent);
    ExpectRestored(before, player.page);
}

}  // namespace
