#include "answers/scoring.h"

#include <cstdio>
#include <cstring>

#include "answers/answer_rules.h"

int32_t FieldsPerQuestion(int32_t mediaKind, int32_t answersPerQuestion) {
    if (mediaKind == MEDIA_NONE) return 1;
    if (mediaKind < MEDIA_PICTURE || mediaKind > MEDIA_VIDEO) return 0;
    return answersPerQuestion == 1 || answersPerQuestion == 2 ? answersPerQuestion : 0;
}

int32_t ShownQuestionCount(const QuizRecord& quiz) {
    if (quiz.questionCount < 0) return 0;
    return quiz.questionCount > QUIZ_MAX_QUESTIONS ? QUIZ_MAX_QUESTIONS : quiz.questionCount;
}

int32_t AnswerFieldCount(const QuizRecord& quiz) {
    return ShownQuestionCount(quiz) * FieldsPerQuestion(quiz.mediaKind, quiz.answersPerQuestion);
}

bool LocateAnswerField(const QuizRecord& quiz, int32_t fieldNumber, FieldPlace* place) {
    const int32_t perQuestion = FieldsPerQuestion(quiz.mediaKind, quiz.answersPerQuestion);
    if (place == nullptr || perQuestion == 0) return false;
    if (fieldNumber < 1 || fieldNumber > AnswerFieldCount(quiz)) return false;
    place->question = (fieldNumber - 1) / perQuestion + 1;
    place->answer = (fieldNumber - 1) % perQuestion + 1;
    return true;
}

int32_t FieldNumberOf(const QuizRecord& quiz, int32_t question, int32_t answer) {
    const int32_t perQuestion = FieldsPerQuestion(quiz.mediaKind, quiz.answersPerQuestion);
    if (question < 1 || question > ShownQuestionCount(quiz)) return 0;
    if (answer < 1 || answer > perQuestion) return 0;
    return (question - 1) * perQuestion + answer;
}

void FormatFieldName(const QuizRecord& quiz, int32_t fieldNumber, char* out, int outSize) {
    if (out == nullptr || outSize <= 0) return;
    out[0] = '\0';
    FieldPlace place = {};
    if (!LocateAnswerField(quiz, fieldNumber, &place)) return;
    const char* caption = place.answer == 2 ? quiz.answerLabel2 : quiz.answerLabel1;
    // Captions end in " :" (or a non-breaking space and a colon) on screen.
    int length = static_cast<int>(strnlen(caption, QUIZ_TEXT_SIZE));
    while (length > 0 && std::strchr(" :\xA0", caption[length - 1]) != nullptr) --length;
    if (length > 0) {
        std::snprintf(out, static_cast<size_t>(outSize), "Question %d, %.*s", place.question,
                      length, caption);
    } else {
        std::snprintf(out, static_cast<size_t>(outSize), "Question %d, r\xE9ponse %d",
                      place.question, place.answer);
    }
}

const char* ExpectedAnswer(const QuestionNode& node, int32_t answer) {
    return answer == 2 ? node.answer2 : node.answer1;
}

const char* JudgeQuestionAnswer(const QuizRecord& quiz, const QuestionNode& node, int32_t answer,
                                const char* typed) {
    const char* forms[ANSWER_MAX_FORMS] = {ExpectedAnswer(node, answer)};
    int count = 1;
    for (const std::string& form : node.otherForms[answer == 2 ? 1 : 0]) {
        if (count == ANSWER_MAX_FORMS) break;
        forms[count++] = form.c_str();
    }
    JudgingOptions options;
    options.accentsTolerated = quiz.accentsTolerated != 0;
    return ChooseVerdict(forms, count, typed, options);
}

void FormatScoreText(int32_t score, int32_t questionCount, char* out, int outSize) {
    if (out == nullptr || outSize <= 0) return;
    std::snprintf(out, static_cast<size_t>(outSize), " %d / %d", static_cast<int>(score),
                  static_cast<int>(questionCount));
}

const char* RewardCode(const QuizRecord& quiz, int32_t score) {
    if (score < 1 || score > QUIZ_MAX_QUESTIONS) return NO_REWARD_CODE;
    return quiz.codes[score - 1];
}
