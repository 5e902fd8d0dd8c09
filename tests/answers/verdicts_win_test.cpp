// Verdicts on the real page: labels, extra texts, answer pictures, the
// whole-quiz check, the header's score and code, and the answer fields' F1.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "answers/answers_save_win.h"
#include "page/control_ids.h"
#include "tests/common/test_player_win.h"

namespace {

// Question pictures are 4:3 (260 x 195 once fitted), answer pictures 4:1 (65 high).
LONG PictureHeight(const TestPlayer& player, int q) {
    HBITMAP shown = reinterpret_cast<HBITMAP>(
        SendMessageA(player.Item(ID_PICTURE + q), STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP info = {};
    if (shown == nullptr || GetObjectA(shown, sizeof info, &info) == 0) return 0;
    return info.bmHeight;
}

void Answer(TestPlayer& player, int field, const char* text) {
    player.Put(field, text);
    player.Leave(field);
}

// Modes 4 and 6 show every extra text once the whole quiz is solved, unless
// solved pictures are being hidden.
TEST(VerdictsWin, EachDisplayModeRevealsWhatItShould) {
    const struct {
        int mode;
        bool hide, extraTextExists, extraShownWhenSolved, answerPicture, extraShownWhenWrong,
            wholeQuiz;
    } cases[] = {
        {0, false, false, false, false, false, false}, {1, false, false, false, true, false, false},
        {2, false, true, true, false, false, false},   {3, false, true, true, true, false, false},
        {4, false, true, false, false, false, true},   {4, true, true, false, false, false, true},
        {5, false, true, true, false, true, false},    {6, false, true, false, true, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode * 10 + c.hide);
        ScratchFolder folder;
        TestPlayer player(NumberedQuiz(MEDIA_PICTURE, 1, c.mode, 3));
        player.SetHideBox(c.hide);
        EXPECT_EQ(PictureHeight(player, 1), 195);
        Answer(player, 1, "  reponse1 ");
        EXPECT_EQ(player.Text(ID_RESULT_LABEL + 1), "BRAVO");
        EXPECT_EQ(player.HeaderText(ID_SCORE_TEXT), " 1 / 3");
        EXPECT_EQ(player.HeaderText(ID_CODE_FIELD), "CODE1");
        EXPECT_EQ(player.quiz->quizSolved, 0);
        EXPECT_EQ(player.Item(ID_EXTRA_TEXT + 1) != nullptr, c.extraTextExists);
        EXPECT_EQ(player.Visible(ID_EXTRA_TEXT + 1), c.extraShownWhenSolved);
        EXPECT_EQ(PictureHeight(player, 1), c.answerPicture ? 65 : 195);

        // Spoiling it: label, score and extra text follow; the layout keeps it solved.
        Answer(player, 1, "reponse");
        EXPECT_EQ(player.Text(ID_RESULT_LABEL + 1), "Quasiment");
        EXPECT_EQ(player.HeaderText(ID_SCORE_TEXT), " 0 / 3");
        EXPECT_EQ(player.HeaderText(ID_CODE_FIELD), "      ");
        EXPECT_EQ(player.Visible(ID_EXTRA_TEXT + 1), c.extraShownWhenWrong);
        EXPECT_EQ(player.quiz->QuestionAt(0)->status, 1);

        for (int q = 1; q <= 3; ++q) Answer(player, q, ("reponse" + std::to_string(q)).c_str());
        EXPECT_EQ(player.quiz->quizSolved, c.wholeQuiz);
        EXPECT_EQ(player.HeaderText(ID_CODE_FIELD), "CODE3");
        for (int q = 1; q <= 3; ++q) {
            EXPECT_EQ(player.Visible(ID_EXTRA_TEXT + q), c.extraTextExists && !c.hide) << q;
        }
        Answer(player, 2, "");
        EXPECT_EQ(player.quiz->quizSolved, 0);
        EXPECT_EQ(player.Visible(ID_EXTRA_TEXT + 2), c.extraShownWhenWrong);
        EXPECT_EQ(player.Visible(ID_EXTRA_TEXT + 3), c.extraTextExists && !c.hide);
    }
}

TEST(VerdictsWin, AQuestionOfTwoAnswersScoresWhenBothAreRight) {
    const struct {
        const char* first;
        const char* second;
        int statusAfterFirst;  // a long first answer marks the question at once
    } cases[] = {{"PARIS", "FRANCE", 1}, {"OUI", "NON", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        ScratchFolder folder;
        QuizData* quiz = NumberedQuiz(MEDIA_PICTURE, 2, 0, 3);
        CopyText(quiz->QuestionAt(1)->answer1, QUIZ_TEXT_SIZE, c.first);
        CopyText(quiz->QuestionAt(1)->answer2, QUIZ_TEXT_SIZE, c.second);
        TestPlayer player(quiz);
        Answer(player, 3, c.first);
        EXPECT_EQ(player.quiz->QuestionAt(1)->status, c.statusAfterFirst);
        EXPECT_EQ(player.HeaderText(ID_SCORE_TEXT), " 0 / 3");
        Answer(player, 4, c.second);
        EXPECT_EQ(player.quiz->QuestionAt(1)->status, 1);
        EXPECT_EQ(player.HeaderText(ID_SCORE_TEXT), " 1 / 3");
    }
}

// The list layout has one field per row even when the quiz declares two
// answers: each is its own question's, judged against its first answer, and
// saved as one line. Restored answers are judged as the page is built.
TEST(VerdictsWin, AListQuizDeclaringTwoAnswersJudgesEachRowAgainstItsQuestion) {
    ScratchFolder folder;
    folder.Write(folder.AnswersFile(), "reponse1\r\n\r\nreponse3\r\n");
    TestPlayer player(NumberedQuiz(MEDIA_NONE, 2, 0, 3));
    ASSERT_EQ(player.Item(ID_ANSWER_EDIT + 4), nullptr);
    EXPECT_EQ(player.HeaderText(ID_SCORE_TEXT), " 2 / 3");
    Answer(player, 2, "seconde2");
    EXPECT_EQ(player.Text(ID_RESULT_LABEL + 2), "FAUX");
    Answer(player, 2, "reponse2");
    EXPECT_EQ(player.HeaderText(ID_SCORE_TEXT), " 3 / 3");
    ASSERT_TRUE(SaveAnswers(player.quiz));
    EXPECT_EQ(folder.Read(folder.AnswersFile()), "reponse1\r\nreponse2\r\nreponse3\r\n");
}

// Enter, Tab and F1 on typed answers are driven by real keys in the end-to-end
// test, the page and arrow keys in the page's scroll test; a blank field's F1
// is not.
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

}  // namespace
