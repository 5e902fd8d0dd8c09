// Verdicts on the real page: labels, solved questions, extra texts, answer
// pictures, the whole-quiz check and the header's score and code.
#include <windows.h>

#include <gtest/gtest.h>

#include "answers/verdicts_win.h"
#include "page/control_ids.h"
#include "tests/common/test_player_win.h"

namespace {

// Question pictures are 4:3 (260 x 195 once fitted), answer pictures 4:1.
constexpr LONG QUESTION_PICTURE_HEIGHT = 195;
constexpr LONG ANSWER_PICTURE_HEIGHT = 65;

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

TEST(VerdictsWin, EachDisplayModeRevealsWhatItShould) {
    struct Case {
        int mode;
        bool extraTextExists, extraShownWhenSolved, answerPicture, extraShownWhenWrong;
    };
    const Case cases[] = {
        {0, false, false, false, false}, {1, false, false, true, false},
        {2, true, true, false, false},   {3, true, true, true, false},
        {4, true, false, false, false},  {5, true, true, false, true},
        {6, true, false, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        ScratchFolder folder;
        TestPlayer player(NumberedQuiz(MEDIA_PICTURE, 1, c.mode, 3));
        EXPECT_EQ(player.Text(ID_RESULT_LABEL + 1), "?");
        EXPECT_EQ(player.HeaderText(ID_SCORE_TEXT), " 0 / 3");
        EXPECT_EQ(PictureHeight(player, 1), QUESTION_PICTURE_HEIGHT);

        Answer(player, 1, "  reponse1 ");
        EXPECT_EQ(player.Text(ID_RESULT_LABEL + 1), "BRAVO");
        EXPECT_EQ(player.quiz->QuestionAt(0)->status, 1);
        EXPECT_EQ(player.HeaderText(ID_SCORE_TEXT), " 1 / 3");
        EXPECT_EQ(player.HeaderText(ID_CODE_FIELD), "CODE1");
        EXPECT_EQ(player.Item(ID_EXTRA_TEXT + 1) != nullptr, c.extraTextExists);
        EXPECT_EQ(player.Visible(ID_EXTRA_TEXT + 1), c.extraShownWhenSolved);
        EXPECT_EQ(PictureHeight(player, 1),
                  c.answerPicture ? ANSWER_PICTURE_HEIGHT : QUESTION_PICTURE_HEIGHT);

        // Spoiling it: the label, the score and the extra text follow; the
        // question stays solved for the layout.
        Answer(player, 1, "reponse");
        EXPECT_EQ(player.Text(ID_RESULT_LABEL + 1), "Quasiment");
        EXPECT_EQ(player.HeaderText(ID_SCORE_TEXT), " 0 / 3");
        EXPECT_EQ(player.HeaderText(ID_CODE_FIELD), "      ");
        EXPECT_EQ(player.Visible(ID_EXTRA_TEXT + 1), c.extraShownWhenWrong);
        EXPECT_EQ(player.quiz->QuestionAt(0)->status, 1);
        EXPECT_EQ(player.quiz->quizSolved, 0);
    }
}

TEST(VerdictsWin, ModesFourAndSixShowEveryExtraTextOnceTheQuizIsSolved) {
    struct Case {
        int mode;
        bool hideBoxChecked, extraTextsShown;
    };
    const Case cases[] = {{4, false, true}, {6, false, true}, {4, true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode * 10 + c.hideBoxChecked);
        ScratchFolder folder;
        TestPlayer player(NumberedQuiz(MEDIA_PICTURE, 1, c.mode, 3));
        player.SetHideBox(c.hideBoxChecked);
        Answer(player, 1, "reponse1");
        Answer(player, 2, "reponse2");
        EXPECT_EQ(player.quiz->quizSolved, 0);
        EXPECT_FALSE(player.Visible(ID_EXTRA_TEXT + 1));
        Answer(player, 3, "reponse3");
        EXPECT_EQ(player.quiz->quizSolved, 1);
        EXPECT_EQ(player.HeaderText(ID_CODE_FIELD), "CODE3");
        for (int q = 1; q <= 3; ++q)
            EXPECT_EQ(player.Visible(ID_EXTRA_TEXT + q), c.extraTextsShown);

        Answer(player, 2, "");
        EXPECT_EQ(player.quiz->quizSolved, 0);
        EXPECT_FALSE(player.Visible(ID_EXTRA_TEXT + 2));
        EXPECT_EQ(player.Visible(ID_EXTRA_TEXT + 3), c.extraTextsShown);
    }
}

TEST(VerdictsWin, AQuestionOfTwoAnswersScoresWhenBothAreRight) {
    struct Case {
        const char* first;
        const char* second;
        int statusAfterFirst;  // a long first answer marks the question at once
    };
    const Case cases[] = {{"PARIS", "FRANCE", 1}, {"OUI", "NON", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first);
        ScratchFolder folder;
        QuizData* quiz = NumberedQuiz(MEDIA_PICTURE, 2, 0, 3);
        CopyText(quiz->QuestionAt(1)->answer1, QUIZ_TEXT_SIZE, c.first);
        CopyText(quiz->QuestionAt(1)->answer2, QUIZ_TEXT_SIZE, c.second);
        TestPlayer player(quiz);
        Answer(player, 3, c.first);
        EXPECT_EQ(player.Text(ID_RESULT_LABEL + 3), "BRAVO");
        EXPECT_EQ(player.quiz->QuestionAt(1)->status, c.statusAfterFirst);
        EXPECT_EQ(player.HeaderText(ID_SCORE_TEXT), " 0 / 3");
        Answer(player, 4, c.second);
        EXPECT_EQ(player.Text(ID_RESULT_LABEL + 4), "BRAVO");
        EXPECT_EQ(player.quiz->QuestionAt(1)->status, 1);
        EXPECT_EQ(player.HeaderText(ID_SCORE_TEXT), " 1 / 3");
        EXPECT_EQ(player.HeaderText(ID_CODE_FIELD), "CODE1");
    }
}

TEST(VerdictsWin, RestoredAnswersShowTheirVerdictsAndScoreAtOnce) {
    ScratchFolder folder;
    folder.Write(folder.AnswersFile(), "reponse1\r\nREPONSE\r\n\r\nREPONSE4\r\n");
    TestPlayer player(NumberedQuiz(MEDIA_NONE, 1, 0, 4));
    const char* labels[] = {"BRAVO", "Quasiment", "?", "BRAVO"};
    for (int n = 1; n <= 4; ++n) EXPECT_EQ(player.Text(ID_RESULT_LABEL + n), labels[n - 1]) << n;
    EXPECT_EQ(player.HeaderText(ID_SCORE_TEXT), " 2 / 4");
    EXPECT_EQ(player.HeaderText(ID_CODE_FIELD), "CODE2");
}

TEST(VerdictsWin, AnUnchangedVerdictChangesNothingElse) {
    ScratchFolder folder;
    TestPlayer player(NumberedQuiz(MEDIA_NONE, 1, 0, 2));
    Answer(player, 1, "reponse1");
    SetDlgItemTextA(player.header, ID_SCORE_TEXT, "untouched");
    Answer(player, 1, "REPONSE1");
    EXPECT_EQ(player.HeaderText(ID_SCORE_TEXT), "untouched");
    JudgeAnswer(player.quiz, player.page, ID_ANSWER_EDIT + 3);  // no such field
    JudgeAnswer(player.quiz, player.page, ID_ANSWER_EDIT);
    EXPECT_EQ(player.HeaderText(ID_SCORE_TEXT), "untouched");
}

// The list layout has one field per row even when the quiz declares two
// answers: each field is its own question's, judged against its first answer.
TEST(VerdictsWin, AListQuizDeclaringTwoAnswersJudgesEachRowAgainstItsQuestion) {
    ScratchFolder folder;
    folder.Write(folder.AnswersFile(), "reponse1\r\n\r\nreponse3\r\n");
    TestPlayer player(NumberedQuiz(MEDIA_NONE, 2, 0, 3));
    ASSERT_EQ(player.Item(ID_ANSWER_EDIT + 4), nullptr);
    EXPECT_EQ(player.Text(ID_RESULT_LABEL + 1), "BRAVO");
    EXPECT_EQ(player.Text(ID_RESULT_LABEL + 3), "BRAVO");
    EXPECT_EQ(player.HeaderText(ID_SCORE_TEXT), " 2 / 3");
    Answer(player, 2, "seconde2");
    EXPECT_EQ(player.Text(ID_RESULT_LABEL + 2), "FAUX");
    Answer(player, 2, "reponse2");
    EXPECT_EQ(player.HeaderText(ID_SCORE_TEXT), " 3 / 3");
    EXPECT_EQ(player.HeaderText(ID_CODE_FIELD), "CODE3");
}

}  // namespace
