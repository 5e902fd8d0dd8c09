#include "tests/quiz/test_quizzes.h"

#include <random>

namespace test_quizzes {

QuizSource RandomQuiz(uint32_t seed, int mediaKind, int answers, int displayMode,
                      size_t questions) {
    static const char letters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ '-?!.,"
        "\xE0\xE2\xE7\xE8\xE9\xEA\xEB\xEE\xEF\xF4\xF9\xFB\xFC\xC9\xC0\x9C\x80\xAB\xBB";
    std::mt19937 random(seed);
    auto text = [&random]() {
        const uint32_t pick = random() % 4;
        std::string s(pick == 0 ? 0 : pick == 1 ? 259 : random() % 40, ' ');
        for (char& c : s) c = letters[random() % (sizeof letters - 1)];
        return s;
    };
    QuizSource quiz;
    quiz.mediaKind = mediaKind, quiz.answersPerQuestion = answers, quiz.displayMode = displayMode;
    for (std::string* field :
         {&quiz.title, &quiz.author, &quiz.explanations, &quiz.answerLabel1, &quiz.answerLabel2})
        *field = text();
    quiz.questions.resize(questions);
    for (QuizSourceQuestion& q : quiz.questions)
        for (std::string* field : {&q.answer1, &q.answer2, &q.prompt, &q.extraText, &q.extraText2})
            *field = text();
    quiz.codes.resize(random() % (questions + 1));
    for (std::string& code : quiz.codes) code = text();
    quiz.colorRed = random(), quiz.colorGreen = random(), quiz.colorBlue = random();
    // Other accepted forms for a third of the answers, of 1 to 259 characters.
    for (QuizSourceQuestion& q : quiz.questions)
        for (auto* forms : {&q.otherAnswers1, &q.otherAnswers2})
            for (uint32_t k = random() % 3 == 0 ? 1 + random() % 7 : 0; k > 0; --k)
                forms->push_back((text() + "x").substr(0, 259));
    quiz.accentsTolerated = random() % 2 == 0;
    return quiz;
}

std::vector<TestQuiz> All() {
    return {
        {"enciphered", RandomQuiz(1, 1, 2, 3, 5), true},
        {"missing_content", RandomQuiz(7, 0, 1, 0, 2), false, MISSING},
        {"empty_content", RandomQuiz(8, 0, 1, 0, 2), false, EMPTY},
        {"plain_content_enciphered_codes", RandomQuiz(10, 0, 2, 2, 3), false, AS_WRITTEN,
         ENCIPHERED_ANYWAY},
    };
}

}  // namespace test_quizzes
