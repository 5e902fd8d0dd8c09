// The header panel's texts and layout, and the saving of answers.
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

// Fields of 259 and 300 characters: the line buffer holds 259 and CR LF.
TEST(SaveAnswersWin, F2AndSauverWriteEveryFieldAsOneCrLfLineWhole) {
    ScratchFolder folder;
    TestPlayer player(NumberedQuiz(MEDIA_NONE, 1, 0, 6));
    EXPECT_EQ(GetDlgItem(player.header, ID_HIDE_CHECKBOX), nullptr);  // picture quizzes only
    const std::string longest(259, 'x');
    player.Put(1, "un");
    player.Put(3, "\xE9l\xE8ve  ");
    player.Put(4, longest.c_str());
    player.Put(5, std::string(300, 'y').c_str());
    player.Focus(3);
    player.Press(VK_F2);
    EXPECT_EQ(GetFocus(), player.Item(ID_ANSWER_EDIT + 3));
    EXPECT_EQ(folder.Read(folder.AnswersFile()), "un\r\n\r\n\xE9l\xE8ve  \r\n" + longest + "\r\n" +
                                                     std::string(259, 'y') + "\r\n\r\n");
    EXPECT_EQ(folder.Read(folder.AnswersFile() + ".tmp"), "<missing>");

    player.Put(4, "");
    player.Put(5, "");
    SendMessageA(player.header, WM_COMMAND, ID_SAVE_BUTTON, 0);
    EXPECT_EQ(folder.Read(folder.AnswersFile()), "un\r\n\r\n\xE9l\xE8ve  \r\n\r\n\r\n\r\n");
    EXPECT_TRUE(ReportedMessages().empty());
}

TEST(SaveAnswersWin, AFailedSaveKeepsTheOldFileAndSaysSo) {
    for (bool readOnly : {true, false}) {  // else the file beside it cannot be created
        SCOPED_TRACE(readOnly);
        ScratchFolder folder;
        const std::string name = folder.AnswersFile();
        folder.Write(name, "ancien\r\n");
        ASSERT_TRUE(readOnly ? SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_READONLY)
                             : CreateDirectoryA((name + ".tmp").c_str(), nullptr));
        TestPlayer player(NumberedQuiz(MEDIA_NONE, 1, 0, 2));
        player.Put(1, "nouveau");
        SendMessageA(player.header, WM_COMMAND, ID_SAVE_BUTTON, 0);
        player.Focus(1);
        player.Press(VK_F2);
        EXPECT_FALSE(SaveAnswers(player.quiz, false));  // asked not to report: silent
        EXPECT_EQ(folder.Read(name), "ancien\r\n");
        EXPECT_EQ(ReportedMessages().size(), 2u);  // "Sauver" and F2
        for (const ReportedMessage& shown : ReportedMessages()) {
            EXPECT_EQ(shown.caption, "Brelo");
            EXPECT_NE(shown.text.find(name), std::string::npos);
        }
        if (!readOnly) RemoveDirectoryA((name + ".tmp").c_str());
    }
}

// Windows ending the session sends WM_ENDSESSION, never WM_CLOSE. Without its
// page a save must not blank the file.
TEST(SaveAnswersWin, TheEndOfTheSessionSavesAndNoPageSavesNothing) {
    for (WPARAM ending : {WPARAM(FALSE), WPARAM(TRUE)}) {
        ScratchFolder folder;
        TestPlayer player(NumberedQuiz(MEDIA_NONE, 1, 0, 2));
        player.Put(2, "tard");
        SendMessageA(player.main, WM_ENDSESSION, ending, 0);
        EXPECT_EQ(folder.Read(folder.AnswersFile()), ending ? "\r\ntard\r\n" : "<missing>");
        DestroyWindow(player.page);
        EXPECT_FALSE(SaveAnswers(player.quiz, false));
        EXPECT_EQ(folder.Read(folder.AnswersFile()), ending ? "\r\ntard\r\n" : "<missing>");
    }
}

}  // namespace
