// Verdicts on the page. The result labels' texts are the only record of each
// answer's verdict: the score, the whole-quiz check and the F1 fill read them
// back, never the question nodes.
#include "answers/verdicts_win.h"

#include <cstring>

#include "answers/answer_rules.h"
#include "answers/scoring.h"
#include "images/picture_win.h"
#include "page/control_ids.h"
#include "page/page_layout.h"
#include "page/page_scroll_win.h"

namespace {

constexpr int VERDICT_TEXT_SIZE = 255;
constexpr int SHORT_ANSWER_LENGTH = 3;  // no hints, and "BRAVO" needs the whole question

// What solving a question reveals, by display mode.
struct Reveal {
    bool extraText;
    bool answerPicture;
};
constexpr Reveal REVEAL_BY_MODE[] = {
    {false, false},  // 0
    {false, true},   // 1
    {true, false},   // 2
    {true, true},    // 3
    {false, false},  // 4: extra texts come with the whole quiz
    {false, false},  // 5: the word count is always shown
    {false, true},   // 6: picture now, extra texts with the whole quiz
};
constexpr int WORD_COUNT_MODE = 5;

Reveal RevealFor(int32_t displayMode) {
    const int count = static_cast<int>(sizeof REVEAL_BY_MODE / sizeof REVEAL_BY_MODE[0]);
    return displayMode >= 0 && displayMode < count ? REVEAL_BY_MODE[displayMode]
                                                   : Reveal{false, false};
}

bool WholeQuizMode(int32_t displayMode) {
    return displayMode == 4 || displayMode == 6;
}

void ReadText(HWND window, int id, char* out, int size) {
    out[0] = '\0';
    GetDlgItemTextA(window, id, out, size);
}

bool LabelReadsBravo(HWND page, int32_t fieldNumber) {
    char text[VERDICT_TEXT_SIZE];
    ReadText(page, ID_RESULT_LABEL + fieldNumber, text, sizeof text);
    return std::strcmp(text, VERDICT_BRAVO) == 0;
}

int NormalizedLength(const char* text) {
    char normalized[ANSWER_TEXT_SIZE];
    return NormalizeAnswer(text, normalized);
}

bool FieldIsRight(const QuizData* quiz, HWND page, const QuestionNode& node, int32_t q, int32_t k) {
    char typed[ANSWER_TEXT_SIZE];
    ReadText(page, ID_ANSWER_EDIT + FieldNumberOf(*quiz, q, k), typed, sizeof typed);
    return JudgeQuestionAnswer(*quiz, node, k, typed) == VERDICT_BRAVO;
}

// Every field of the question holds one of its accepted answers.
bool QuestionSolved(const QuizData* quiz, HWND page, const QuestionNode& node, int32_t q) {
    const int32_t perQuestion = FieldsPerQuestion(quiz->mediaKind, quiz->answersPerQuestion);
    for (int32_t k = 1; k <= perQuestion; ++k) {
        if (!FieldIsRight(quiz, page, node, q, k)) return false;
    }
    return perQuestion > 0;
}

void ShowItem(HWND page, int id, bool show) {
    if (HWND control = GetDlgItem(page, id)) ShowWindow(control, show ? SW_SHOWNORMAL : SW_HIDE);
}

// Only a picture quiz's picture labels take an answer picture: elsewhere the
// identifier is a media host or nothing, and a loaded bitmap would belong to
// nobody.
HWND PictureLabel(const QuizData* quiz, HWND page, int32_t q) {
    if (quiz->mediaKind != MEDIA_PICTURE) return nullptr;
    HWND label = GetDlgItem(page, ID_PICTURE + q);
    if (label == nullptr) return nullptr;
    const LONG_PTR style = GetWindowLongPtrA(label, GWL_STYLE);
    return (style & SS_TYPEMASK) == SS_BITMAP ? label : nullptr;
}

void ShowAnswerPicture(const QuizData* quiz, HWND page, int32_t q) {
    HWND label = PictureLabel(quiz, page, q);
    if (label == nullptr) return;
    const int32_t box = PagePictureBox(quiz->pageDpi);
    HBITMAP picture =
        LoadPictureResource(GetModuleHandleA(nullptr), ID_ANSWER_PICTURE + q, "IMG", box, box);
    if (picture == nullptr) return;  // the question keeps its picture
    HANDLE old = reinterpret_cast<HANDLE>(
        SendMessageA(label, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture)));
    if (old != nullptr && old != picture) DeleteObject(old);
    // A static control of common controls 6 may keep a copy of a bitmap with
    // alpha; then ours is no longer used.
    HANDLE shown = reinterpret_cast<HANDLE>(SendMessageA(label, STM_GETIMAGE, IMAGE_BITMAP, 0));
    if (shown != picture) DeleteObject(picture);
}

void RevealSolvedQuestion(const QuizData* quiz, HWND page, int32_t q) {
    const Reveal reveal = RevealFor(quiz->displayMode);
    if (reveal.extraText) ShowItem(page, ID_EXTRA_TEXT + q, true);
    if (reveal.answerPicture) ShowAnswerPicture(quiz, page, q);
}

bool HideBoxChecked(const QuizData* quiz) {
    return quiz->hHeaderPanel != nullptr &&
           IsDlgButtonChecked(quiz->hHeaderPanel, ID_HIDE_CHECKBOX) == BST_CHECKED;
}

// Display modes 4 and 6: when every label reads "BRAVO" the quiz is solved
// and all extra texts appear (unless solved pictures are being hidden).
void CheckWholeQuiz(QuizData* quiz, HWND page) {
    const int32_t fields = AnswerFieldCount(*quiz);
    if (fields == 0) return;
    for (int32_t n = 1; n <= fields; ++n) {
        if (!LabelReadsBravo(page, n)) return;
    }
    quiz->quizSolved = 1;
    if (HideBoxChecked(quiz)) return;
    const int32_t questions = ShownQuestionCount(*quiz);
    for (int32_t q = 1; q <= questions; ++q) ShowItem(page, ID_EXTRA_TEXT + q, true);
}

}  // namespace

void JudgeAnswer(QuizData* quiz, HWND page, int fieldIdentifier) {
    if (quiz == nullptr || page == nullptr) return;
    FieldPlace place = {};
    if (!LocateAnswerField(*quiz, fieldIdentifier - ID_ANSWER_EDIT, &place)) return;
    QuestionNode* node = quiz->QuestionAt(place.question - 1);
    if (node == nullptr) return;

    char oldVerdict[VERDICT_TEXT_SIZE];
    ReadText(page, fieldIdentifier - ID_ANSWER_EDIT + ID_RESULT_LABEL, oldVerdict,
             sizeof oldVerdict);
    char typed[ANSWER_TEXT_SIZE];
    ReadText(page, fieldIdentifier, typed, sizeof typed);
    const char* expected = ExpectedAnswer(*node, place.answer);
    const char* verdict = JudgeQuestionAnswer(*quiz, *node, place.answer, typed);
    const bool bravo = std::strcmp(verdict, VERDICT_BRAVO) == 0;
    // Above three characters "BRAVO" is never luck: the question is
    // solved for the page layout even before its other field is right.
    if (bravo && NormalizedLength(expected) > SHORT_ANSWER_LENGTH) node->status = 1;
    if (std::strcmp(verdict, oldVerdict) == 0) return;

    HWND label = GetDlgItem(page, fieldIdentifier - ID_ANSWER_EDIT + ID_RESULT_LABEL);
    SetWindowTextA(label, verdict);
    // The label's name is its text: a screen reader hears the new verdict.
    NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, label, OBJID_CLIENT, CHILDID_SELF);
    if (bravo) {
        if (QuestionSolved(quiz, page, *node, place.question)) {
            node->status = 1;
            RevealSolvedQuestion(quiz, page, place.question);
        }
    } else {
        if (quiz->displayMode != WORD_COUNT_MODE) {
            ShowItem(page, ID_EXTRA_TEXT + place.question, false);
        }
        quiz->quizSolved = 0;
    }
    if (WholeQuizMode(quiz->displayMode) && quiz->quizSolved == 0) CheckWholeQuiz(quiz, page);
    UpdateScore(quiz, page);
}

void UpdateScore(QuizData* quiz, HWND page) {
    if (quiz == nullptr) return;
    const int32_t questions = ShownQuestionCount(*quiz);
    const int32_t perQuestion = FieldsPerQuestion(quiz->mediaKind, quiz->answersPerQuestion);
    int32_t score = 0;
    for (int32_t q = 1; q <= questions && perQuestion > 0; ++q) {
        bool solved = true;
        for (int32_t k = 1; k <= perQuestion && solved; ++k) {
            solved = LabelReadsBravo(page, FieldNumberOf(*quiz, q, k));
        }
        if (solved) ++score;
    }
    char scoreText[SCORE_TEXT_SIZE];
    FormatScoreText(score, quiz->questionCount, scoreText, sizeof scoreText);
    if (quiz->hHeaderPanel != nullptr) {
        SetDlgItemTextA(quiz->hHeaderPanel, ID_SCORE_TEXT, scoreText);
        SetDlgItemTextA(quiz->hHeaderPanel, ID_CODE_FIELD, RewardCode(*quiz, score));
    }
    ReflowPage(quiz);
}
