// Writes each test quiz's "PATCH" resources and a resource script naming them into argv[1].
#include <cstdio>
#include <fstream>
#include <string>

#include "quiz/quiz_format.h"
#include "tests/quiz/test_quizzes.h"

static bool WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return static_cast<bool>(out);
}

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string dir = argv[1];
    for (const test_quizzes::TestQuiz& quiz : test_quizzes::All()) {
        WrittenQuiz written;
        std::string error;
        if (!WriteQuiz(quiz.source, quiz.encipher, written, error)) {
            std::fprintf(stderr, "%s: %s\n", quiz.name.c_str(), error.c_str());
            return 1;
        }
        // A DLL needs at least one resource to be loadable as data.
        std::string script = "1 RCDATA { \"test quiz\" }\n";
        for (int id : {QUIZ_CONTENT_RESOURCE, QUIZ_CODES_RESOURCE, QUIZ_JUDGING_RESOURCE}) {
            const bool content = id == QUIZ_CONTENT_RESOURCE;
            const test_quizzes::Block form = content                     ? quiz.content
                                             : id == QUIZ_CODES_RESOURCE ? quiz.codes
                                                                         : test_quizzes::AS_WRITTEN;
            std::vector<uint8_t> bytes = content                     ? written.content
                                         : id == QUIZ_CODES_RESOURCE ? written.codes
                                                                     : written.judging;
            if (bytes.empty() && form == test_quizzes::AS_WRITTEN) continue;
            if (form == test_quizzes::MISSING) continue;
            if (form == test_quizzes::EMPTY) bytes.clear();
            if (form == test_quizzes::ENCIPHERED_ANYWAY)
                DecipherResource(bytes.data(), bytes.size(), QuizCipherKey, QUIZ_CIPHER_KEY_LENGTH);
            const std::string file = dir + "/" + quiz.name + "_" + std::to_string(id) + ".bin";
            if (!WriteFile(file, std::string(bytes.begin(), bytes.end()))) return 1;
            script += std::to_string(id) + " PATCH \"" + file + "\"\n";
        }
        if (!WriteFile(dir + "/" + quiz.name + ".rc", script)) return 1;
    }
    return 0;
}
