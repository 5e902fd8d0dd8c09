#include "tests/quiz/test_quizzes.h"

namespace test_quizzes {

namespace {

QuizSource Quiz(int mediaKind, int answers, int displayMode, int questions) {
    QuizSource quiz;
    quiz.mediaKind = mediaKind;
    quiz.answersPerQuestion = answers;
    quiz.displayMode = displayMode;
    quiz.title = "Quiz " + std::to_string(mediaKind) + std::to_string(answers) +
                 std::to_string(displayMode) + " des r\xE9gions";
    quiz.author = "Mme B\xE9rang\xE8re L\xE9ger";
    quiz.explanations = "Tapez le nom de chaque lieu ; \xE0 vous !";
    quiz.answerLabel1 = "Lieu";
    quiz.answerLabel2 = answers == 2 ? "R\xE9gion" : "";
    static const char* const places[] = {"Chambord",          "Carcassonne", "\xC9tretat", "Verdon",
                                         "Mont-Saint-Michel", "Colmar",      "Annecy"};
    for (int i = 0; i < questions; ++i) {
        QuizSourceQuestion q;
        q.answer1 = places[i % 7];
        if (answers == 2) q.answer2 = "R\xE9gion " + std::to_string(i + 1);
        q.prompt = "Question " + std::to_string(i + 1) + " : o\xF9 est-ce ?";
        if (displayMode != 0 && displayMode != 5)
            q.extraText = "Le saviez-vous ? n\xB0" + std::to_string(i + 1);
        if (displayMode == 3 || displayMode == 6) q.extraText2 = "jamais montr\xE9";
        quiz.questions.push_back(q);
        quiz.codes.push_back("CODE-" + std::to_string(i + 1) + "-\xC7");
    }
    quiz.colorRed = static_cast<uint8_t>(10 + displayMode);
    quiz.colorGreen = static_cast<uint8_t>(100 + mediaKind);
    quiz.colorBlue = static_cast<uint8_t>(200 + answers);
    return quiz;
}

}  // namespace

std::vector<TestQuiz> All() {
    QuizSource fullLength = Quiz(1, 2, 6, 3);
    fullLength.title = std::string(259, 'T');
    fullLength.questions[1].prompt = std::string(259, '\xE9');
    fullLength.questions[2].answer1 = "";
    fullLength.codes[2] = std::string(259, 'c');
    QuizSource withoutCodes = Quiz(0, 1, 0, 2);
    withoutCodes.codes.clear();
    return {
        {"plain", Quiz(0, 1, 0, 4), false, BLOCK_AS_WRITTEN, BLOCK_AS_WRITTEN},
        {"enciphered", Quiz(1, 2, 3, 5), true, BLOCK_AS_WRITTEN, BLOCK_AS_WRITTEN},
        {"sound_mode1", Quiz(2, 1, 1, 3), false, BLOCK_AS_WRITTEN, BLOCK_AS_WRITTEN},
        {"video_mode2", Quiz(3, 2, 2, 3), true, BLOCK_AS_WRITTEN, BLOCK_AS_WRITTEN},
        {"picture_mode4", Quiz(1, 1, 4, 6), false, BLOCK_AS_WRITTEN, BLOCK_AS_WRITTEN},
        {"text_mode5", Quiz(0, 2, 5, 2), false, BLOCK_AS_WRITTEN, BLOCK_AS_WRITTEN},
        {"picture_mode6", Quiz(1, 2, 6, 4), true, BLOCK_AS_WRITTEN, BLOCK_AS_WRITTEN},
        {"full_length_texts", fullLength, true, BLOCK_AS_WRITTEN, BLOCK_AS_WRITTEN},
        {"no_codes_given", withoutCodes, false, BLOCK_AS_WRITTEN, BLOCK_AS_WRITTEN},
        {"missing_content", Quiz(0, 1, 0, 2), false, BLOCK_MISSING, BLOCK_AS_WRITTEN},
        {"empty_content", Quiz(0, 1, 0, 2), false, BLOCK_EMPTY, BLOCK_AS_WRITTEN},
        {"missing_codes", Quiz(1, 1, 2, 3), false, BLOCK_AS_WRITTEN, BLOCK_MISSING},
        {"plain_content_enciphered_codes", Quiz(0, 2, 2, 3), false, BLOCK_AS_WRITTEN,
         BLOCK_OTHER_FORM},
        {"enciphered_missing_codes", Quiz(2, 2, 6, 2), true, BLOCK_AS_WRITTEN, BLOCK_MISSING},
        {"enciphered_one_byte_codes", Quiz(3, 1, 3, 2), true, BLOCK_AS_WRITTEN, BLOCK_ONE_BYTE},
        {"garbage_content", Quiz(0, 1, 0, 2), false, BLOCK_ONE_BYTE, BLOCK_AS_WRITTEN},
    };
}

}  // namespace test_quizzes
