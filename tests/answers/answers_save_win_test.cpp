// Saving the answers: beside the program, else in the fallback, never lost.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "answers/answers_save_win.h"
#include "page/control_ids.h"
#include "shell/shell_win.h"
#include "tests/common/test_player_win.h"

namespace {

enum How { SAUVER, F2, CLOSE, END_SESSION };

void SaveBy(TestPlayer& player, How how) {
    switch (how) {
        case SAUVER:
            SendMessageA(player.header, WM_COMMAND, ID_SAVE_BUTTON, 0);
            break;
        case F2:
            player.Focus(1);
            player.Press(VK_F2);
            break;
        case CLOSE:
            SendMessageA(player.main, WM_CLOSE, 0, 0);
            break;
        case END_SESSION:
            SendMessageA(player.main, WM_ENDSESSION, TRUE, 0);
            break;
    }
    player.Pump();
}

std::vector<std::string> Shown() {
    std::vector<std::string> texts;
    for (const ReportedMessage& shown : ReportedMessages()) texts.push_back(shown.text);
    return texts;
}

bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// Beside the program is read-only (a killed save's leftover too), or its temporary is a folder.
void BlockBeside(const ScratchFolder& folder, bool readOnly) {
    const std::string name = folder.AnswersFile();
    folder.Write(name, "ancien\r\n");
    if (readOnly) folder.Write(name + ".tmp", "vieux\r\n");
    ASSERT_TRUE(readOnly ? SetFileAttributesA(name.c_str(), FILE_ATTRIBUTE_READONLY)
                         : CreateDirectoryA((name + ".tmp").c_str(), nullptr));
}

// The fallback's folder cannot be made: a file has its name.
void BlockFallback(const ScratchFolder& folder) {
    folder.Write("appdata\\Brelo", "");
}

// Fields of 259 and 300 characters: the line buffer holds 259 and CR LF. A
// pasted line break becomes a space, so later lines keep their places.
TEST(SaveAnswersWin, F2WritesEveryFieldAsOneCrLfLineWhole) {
    ScratchFolder folder;
    TestPlayer player(NumberedQuiz(MEDIA_NONE, 1, 0, 6));
    const std::string longest(259, 'x');
    player.Put(1, "un");
    player.Put(2, "a\r\nb\nc\rd");
    player.Put(3, "\xE9l\xE8ve  ");
    player.Put(4, longest.c_str());
    player.Put(5, std::string(300, 'y').c_str());
    player.Focus(3);
    player.Press(VK_F2);
    EXPECT_EQ(folder.Read(folder.AnswersFile()), "un\r\na  b c d\r\n\xE9l\xE8ve  \r\n" + longest +
                                                     "\r\n" + std::string(259, 'y') + "\r\n\r\n");
    EXPECT_EQ(folder.Read(folder.AnswersFile() + ".tmp"), "<missing>");
    EXPECT_EQ(folder.Read(folder.Fallback()), "<missing>");
    EXPECT_TRUE(ReportedMessages().empty());
}

// A quiz that did not load leaves the pupil's file alone; only Sauver and F2 say why.
TEST(SaveAnswersWin, AQuizThatDidNotLoadLeavesTheSavedAnswersAlone) {
    for (How how : {SAUVER, F2, CLOSE, END_SESSION}) {
        SCOPED_TRACE(how);
        ScratchFolder folder;
        folder.Write(folder.AnswersFile(), "ancien\r\nautre\r\n");
        QuizData* quiz = NumberedQuiz(MEDIA_NONE, 1, 0, 2);
        quiz->holdsOwnQuiz = false;
        TestPlayer player(quiz);
        player.Put(1, "nouveau");
        SaveBy(player, how);
        EXPECT_EQ(folder.Read(folder.AnswersFile()), "ancien\r\nautre\r\n");
        EXPECT_EQ(folder.Read(folder.Fallback()), "<missing>");
        const std::vector<std::string> shown = Shown();
        ASSERT_EQ(shown.size(), how == SAUVER || how == F2 ? 1u : 0u);
        for (const std::string& text : shown) EXPECT_TRUE(Has(text, "Aucune r\xE9ponse")) << text;
    }
}

// The fallback takes the answers, says where once per run (not at session end) and is
// restored from; when it fails too, Sauver and F2 say the answers were not saved.
TEST(SaveAnswersWin, AFolderThatCannotBeWrittenSendsTheAnswersToTheFallback) {
    const struct {
        How how;
        bool readOnly, fallbackBlocked;
        int boxes;
    } rows[] = {
        {SAUVER, true, false, 1},      {F2, false, false, 1},   {CLOSE, true, false, 1},
        {END_SESSION, true, false, 0}, {SAUVER, true, true, 2}, {F2, false, true, 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.how) + (row.readOnly ? " read-only" : " tmp folder") +
                     (row.fallbackBlocked ? " both blocked" : ""));
        ScratchFolder folder;
        BlockBeside(folder, row.readOnly);
        if (row.fallbackBlocked) BlockFallback(folder);
        {
            TestPlayer player(NumberedQuiz(MEDIA_NONE, 1, 0, 2));
            EXPECT_EQ(player.Text(ID_ANSWER_EDIT + 1), "ancien");
            player.Put(1, "nouveau");
            SaveBy(player, row.how);
            if (row.how != CLOSE) SaveBy(player, row.how);  // told once per run only
            EXPECT_EQ(folder.Read(folder.AnswersFile()), "ancien\r\n");
            if (row.readOnly) {  // the leftover went even though the save could not
                EXPECT_EQ(folder.Read(folder.AnswersFile() + ".tmp"), "<missing>");
            }
            EXPECT_EQ(folder.Read(folder.Fallback()),
                      row.fallbackBlocked ? "<missing>" : "nouveau\r\n\r\n");
            const std::vector<std::string> shown = Shown();
            ASSERT_EQ(shown.size(), static_cast<size_t>(row.boxes));
            for (const std::string& text : shown) {
                EXPECT_TRUE(
                    Has(text, row.fallbackBlocked ? folder.AnswersFile() : folder.Fallback()))
                    << text;
            }
        }
        if (row.fallbackBlocked) continue;
        TestPlayer again(NumberedQuiz(MEDIA_NONE, 1, 0, 2));
        EXPECT_EQ(again.Text(ID_ANSWER_EDIT + 1), "nouveau");
    }
}

std::vector<int> g_buttons;  // pressed in turn, one per question
std::string g_besideProgram;

BOOL CALLBACK FindCloseQuestion(HWND window, LPARAM found) {
    if (GetDlgItem(window, ID_SAVE_FAILED_TEXT) == nullptr) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// Answers the close question when it shows.
void CALLBACK AnswerCloseQuestion(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = nullptr;  // the question is this thread's only dialog box
    EnumThreadWindows(GetCurrentThreadId(), FindCloseQuestion, reinterpret_cast<LPARAM>(&dialog));
    if (dialog == nullptr || g_buttons.empty()) return;
    EXPECT_TRUE(Has(TestPlayer::TextOf(dialog, ID_SAVE_FAILED_TEXT), g_besideProgram));
    if (g_buttons.size() == 1 && g_buttons[0] == ID_SAVE_RETRY)
        SetFileAttributesA(g_besideProgram.c_str(), FILE_ATTRIBUTE_NORMAL);
    const int button = g_buttons.front();
    g_buttons.erase(g_buttons.begin());
    SendMessageA(dialog, WM_COMMAND, button, 0);
}

// Closing when nothing can be saved asks until the pupil quits, keeps the window, or a retry works.
TEST(SaveAnswersWin, ClosingAfterAFailedSaveAsks) {
    const struct {
        std::vector<int> buttons;
        bool windowStays;
        std::string saved;
    } rows[] = {
        {{ID_KEEP_OPEN}, true, "ancien\r\n"},
        {{ID_QUIT_WITHOUT_SAVING}, false, "ancien\r\n"},
        {{ID_SAVE_RETRY, ID_SAVE_RETRY}, false, "nouveau\r\n\r\n"},  // the file is freed first
    };
    g_askOnFailedClose = AskWithCloseDialog;
    for (const auto& row : rows) {
        ScratchFolder folder;
        g_besideProgram = folder.AnswersFile();
        BlockBeside(folder, true);
        BlockFallback(folder);
        g_buttons = row.buttons;
        const UINT_PTR timer = SetTimer(nullptr, 0, 50, AnswerCloseQuestion);
        TestPlayer player(NumberedQuiz(MEDIA_NONE, 1, 0, 2));
        player.Put(1, "nouveau");
        SendMessageA(player.main, WM_CLOSE, 0, 0);
        KillTimer(nullptr, timer);
        EXPECT_TRUE(g_buttons.empty()) << "asked fewer times than expected";
        EXPECT_EQ(IsWindow(player.page) != FALSE, row.windowStays);
        EXPECT_EQ(player.Text(ID_ANSWER_EDIT + 1), row.windowStays ? "nouveau" : "");
        EXPECT_EQ(folder.Read(folder.AnswersFile()), row.saved);
        EXPECT_TRUE(ReportedMessages().empty());
    }
    g_askOnFailedClose = nullptr;
}

}  // namespace
