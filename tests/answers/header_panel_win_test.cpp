// The header panel's controls and layout, and the saving of answers.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "answers/header_panel_win.h"
#include "page/control_ids.h"
#include "tests/common/test_player_win.h"

namespace {

TEST(HeaderPanelWin, ShowsTheQuizAndPlacesTheRightGroupFromTheRightEdge) {
    ScratchFolder folder;
    TestPlayer player(NumberedQuiz(MEDIA_PICTURE, 1, 0, 10));
    CopyText(player.quiz->linkAddress, sizeof player.quiz->linkAddress, "brelo.example");
    struct Text {
        int id;
        const char* text;
    };
    const Text texts[] = {
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
    for (const Text& t : texts) EXPECT_EQ(player.HeaderText(t.id), t.text) << t.id;

    SetWindowPos(player.header, nullptr, 0, 0, 800, 49, SWP_NOMOVE | SWP_NOZORDER);
    RECT client = {};
    GetClientRect(player.header, &client);
    const LONG w = client.right;
    struct Place {
        int id;
        LONG x, y, width, height;
    };
    const Place places[] = {
        {ID_HIDE_CHECKBOX, w - 204, 0, 55, 18},  {ID_TITLE, 110, 3, w - 350, 18},
        {ID_LINK, w - 134, 0, 115, 18},          {ID_BY_CAPTION, w - 134, 25, 26, 18},
        {ID_AUTHOR, w - 107, 25, 105, 18},       {ID_SAVE_BUTTON, w - 204, 25, 55, 18},
        {ID_EXPLANATIONS, 110, 19, w - 324, 28}, {ID_RULE_RIGHT, w - 145, 0, 1, 50},
        {ID_SCORE_TEXT, 10, 1, 80, 20},          {ID_CODE_FIELD, 44, 29, 53, 16},
    };
    for (const Place& p : places) {
        const RECT r = TestPlayer::RectOn(player.header, GetDlgItem(player.header, p.id));
        EXPECT_EQ(r.left, p.x) << p.id;
        EXPECT_EQ(r.top, p.y) << p.id;
        EXPECT_EQ(r.right - r.left, p.width) << p.id;
        EXPECT_EQ(r.bottom - r.top, p.height) << p.id;
    }
}

TEST(HeaderPanelWin, OnlyAPictureQuizHasTheHideBox) {
    ScratchFolder folder;
    TestPlayer player(NumberedQuiz(MEDIA_NONE, 1, 0, 2));
    EXPECT_EQ(GetDlgItem(player.header, ID_HIDE_CHECKBOX), nullptr);
}

TEST(SaveAnswersWin, WritesEveryFieldAsOneCrLfLineWhole) {
    ScratchFolder folder;
    TestPlayer player(NumberedQuiz(MEDIA_NONE, 1, 0, 6));
    const std::string longest(259, 'x');
    const std::string tooLong(300, 'y');
    player.Put(1, "un");
    player.Put(3, "\xE9l\xE8ve  ");
    player.Put(4, longest.c_str());
    player.Put(5, tooLong.c_str());
    ASSERT_TRUE(SaveAnswers(player.quiz));
    const std::string expected =
        "un\r\n\r\n\xE9l\xE8ve  \r\n" + longest + "\r\n" + tooLong.substr(0, 259) + "\r\n\r\n";
    EXPECT_EQ(folder.Read(folder.AnswersFile()), expected);
    EXPECT_EQ(folder.Read(folder.AnswersFile() + ".tmp"), "<missing>");

    // A second save replaces the first; "Sauver" saves as well.
    player.Put(4, "");
    player.Put(5, "");
    SendMessageA(player.header, WM_COMMAND, ID_SAVE_BUTTON, 0);
    EXPECT_EQ(folder.Read(folder.AnswersFile()), "un\r\n\r\n\xE9l\xE8ve  \r\n\r\n\r\n\r\n");
    EXPECT_TRUE(ReportedMessages().empty());
}

TEST(SaveAnswersWin, TwoAnswersPerQuestionGiveTwoLinesEach) {
    ScratchFolder folder;
    TestPlayer player(NumberedQuiz(MEDIA_PICTURE, 2, 0, 3));
    player.Put(2, "b");
    player.Put(5, "e");
    ASSERT_TRUE(SaveAnswers(player.quiz));
    EXPECT_EQ(folder.Read(folder.AnswersFile()), "\r\nb\r\n\r\n\r\ne\r\n\r\n");
}

TEST(SaveAnswersWin, AFailedSaveKeepsTheOldFileAndSaysSo) {
    struct Case {
        const char* why;
        bool readOnly;      // the answers file is read-only
        bool blockedWrite;  // the file beside it cannot be created
    };
    const Case cases[] = {{"read-only", true, false}, {"unwritable", false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        ScratchFolder folder;
        const std::string name = folder.AnswersFile();
        folder.Write(name, "ancien\r\n");
        if (c.readOnly) {
            ASSERT_TRUE(SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_READONLY));
        }
        if (c.blockedWrite) {
            ASSERT_TRUE(CreateDirectoryA((name + ".tmp").c_str(), nullptr));
        }
        TestPlayer player(NumberedQuiz(MEDIA_NONE, 1, 0, 2));
        player.Put(1, "nouveau");
        EXPECT_FALSE(SaveAnswers(player.quiz));
        EXPECT_EQ(folder.Read(name), "ancien\r\n");
        ASSERT_EQ(ReportedMessages().size(), 1u);
        EXPECT_EQ(ReportedMessages()[0].caption, "Brelo");
        EXPECT_NE(ReportedMessages()[0].text.find(name), std::string::npos);

        // F2 reports as well; a save asked not to report stays silent.
        player.Focus(1);
        player.Press(VK_F2);
        EXPECT_EQ(ReportedMessages().size(), 2u);
        EXPECT_FALSE(SaveAnswers(player.quiz, false));
        EXPECT_EQ(ReportedMessages().size(), 2u);
        EXPECT_EQ(folder.Read(name), "ancien\r\n");
        if (c.blockedWrite) RemoveDirectoryA((name + ".tmp").c_str());
    }
}

// Windows ending the session sends WM_ENDSESSION, never WM_CLOSE.
TEST(SaveAnswersWin, TheEndOfTheSessionSavesTheAnswers) {
    for (WPARAM ending : {WPARAM(FALSE), WPARAM(TRUE)}) {
        ScratchFolder folder;
        TestPlayer player(NumberedQuiz(MEDIA_NONE, 1, 0, 2));
        player.Put(2, "tard");
        SendMessageA(player.main, WM_ENDSESSION, ending, 0);
        EXPECT_EQ(folder.Read(folder.AnswersFile()), ending ? "\r\ntard\r\n" : "<missing>");
    }
}

TEST(SaveAnswersWin, WithoutItsPageNothingIsOverwritten) {
    ScratchFolder folder;
    const std::string name = folder.AnswersFile();
    folder.Write(name, "garder\r\n");
    TestPlayer player(NumberedQuiz(MEDIA_NONE, 1, 0, 1));
    DestroyWindow(player.page);
    EXPECT_FALSE(SaveAnswers(player.quiz));
    EXPECT_EQ(folder.Read(name), "garder\r\n");
}

}  // namespace
