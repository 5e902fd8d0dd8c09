// The parsers of decoded quiz data on any bytes: the first byte picks content,
// codes, settings or the judging block. Whatever the input, every text stays within its field and
// the record's counts within their limits.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "quiz/quiz_format.h"

namespace {

void CheckText(const char* text, size_t size) {
    if (std::memchr(text, 0, size) == nullptr) std::abort();
}

void CheckRecord(const QuizRecord& quiz) {
    if (quiz.questionCount < 0 || quiz.questionCount > QUIZ_MAX_QUESTIONS) std::abort();
    if (quiz.answersPerQuestion != 1 && quiz.answersPerQuestion != 2) std::abort();
    if (quiz.displayMode < 0 || quiz.displayMode > QUIZ_MAX_DISPLAY_MODE) std::abort();
    if (quiz.mediaKind < MEDIA_NONE || quiz.mediaKind > MEDIA_VIDEO) std::abort();
    CheckText(quiz.title, QUIZ_TEXT_SIZE);
    CheckText(quiz.linkAddress, QUIZ_LINK_SIZE);
    CheckText(quiz.creditLine, QUIZ_CREDIT_SIZE);
    int nodes = 0;
    for (const QuestionNode* node = quiz.firstQuestion; node != nullptr; node = node->next) {
        CheckText(node->answer1, QUIZ_TEXT_SIZE);
        CheckText(node->answer2, QUIZ_TEXT_SIZE);
        CheckText(node->prompt, QUIZ_TEXT_SIZE);
        CheckText(node->extraText, QUIZ_TEXT_SIZE);
        ++nodes;
    }
    if (nodes != quiz.questionCount) std::abort();
    for (int i = 0; i < quiz.questionCount; ++i) CheckText(quiz.codes[i], QUIZ_TEXT_SIZE);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    QuizRecord quiz;
    const uint8_t* rest = data + 1;
    const size_t restSize = size - 1;
    switch (data[0] % 4) {
        case 0:
            ParseContent(rest, restSize, quiz);
            ContentIsPlausible(rest, restSize);
            ParseCodes(rest, restSize, quiz);
            break;
        case 1:
            quiz.questionCount = QUIZ_MAX_QUESTIONS;
            ParseCodes(rest, restSize, quiz);
            quiz.questionCount = 0;
            break;
        case 2: {
            // Every form read is one a writer could have stored, for an answer the quiz has.
            JudgingChoices choices;
            const int questions = data[0] / 4 % 100, answers = data[0] / 128 + 1;
            if (ParseJudging(rest, restSize, questions, answers, choices) != JUDGING_READ &&
                (choices.accentsTolerated || !choices.otherForms.empty()))
                std::abort();
            for (const OtherForms& entry : choices.otherForms) {
                if (entry.question < 1 || entry.question > questions || entry.answer < 1 ||
                    entry.answer > answers || entry.forms.empty() || entry.forms.size() > 7)
                    std::abort();
                for (const std::string& form : entry.forms)
                    if (form.empty() || form.size() > QUIZ_TEXT_MAX ||
                        form.find_first_of(std::string("|\0", 2)) != std::string::npos)
                        std::abort();
            }
            quiz.questionCount = 0;
            break;
        }
        default:
            ParseSettings(rest, restSize, quiz);
            quiz.questionCount = 0;
            break;
    }
    CheckRecord(quiz);
    return 0;
}
