// Host program of the Windows build: writes, for every test quiz, its "PATCH"
// resources and a resource script naming them, into the directory given.
#include <cstdio>
#include <fstream>
#include <string>

#include "quiz/quiz_format.h"
#include "tests/quiz/test_quizzes.h"

namespace {

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// The bytes of one resource, or false when it is left out.
bool BlockBytes(test_quizzes::Block form, const std::vector<uint8_t>& written, bool enciphered,
                std::vector<uint8_t>& bytes) {
    switch (form) {
        case test_quizzes::BLOCK_MISSING:
            return false;
        case test_quizzes::BLOCK_EMPTY:
            bytes.clear();
            return true;
        case test_quizzes::BLOCK_ONE_BYTE:
            bytes = {0x20};
            return true;
        case test_quizzes::BLOCK_OTHER_FORM:
            bytes = written;
            if (!enciphered)
                DecipherResource(bytes.data(), bytes.size(), QuizCipherKey, QUIZ_CIPHER_KEY_LENGTH);
            return true;
        case test_quizzes::BLOCK_AS_WRITTEN:
        default:
            bytes = written;
            return true;
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_test_quizzes <output directory>\n");
        return 2;
    }
    const std::string dir = argv[1];
    for (const test_quizzes::TestQuiz& quiz : test_quizzes::All()) {
        WrittenQuiz written;
        std::string error;
        if (!WriteQuiz(quiz.source, quiz.encipher, written, error)) {
            std::fprintf(stderr, "%s: %s\n", quiz.name.c_str(), error.c_str());
            return 1;
        }
        std::string script;
        std::vector<uint8_t> bytes;
        const struct {
            int id;
            test_quizzes::Block form;
            const std::vector<uint8_t>& block;
        } resources[] = {{QUIZ_CONTENT_RESOURCE, quiz.content, written.content},
                         {QUIZ_CODES_RESOURCE, quiz.codes, written.codes}};
        for (const auto& resource : resources) {
            if (!BlockBytes(resource.form, resource.block, quiz.encipher, bytes)) continue;
            const std::string file =
                dir + "/" + quiz.name + "_" + std::to_string(resource.id) + ".bin";
            if (!WriteFile(file, bytes)) {
                std::fprintf(stderr, "cannot write %s\n", file.c_str());
                return 1;
            }
            script += std::to_string(resource.id) + " PATCH \"" + file + "\"\n";
        }
        // A DLL needs at least one resource to be loadable as data.
        script += "1 RCDATA { \"test quiz " + quiz.name + "\" }\n";
        if (!WriteFile(dir + "/" + quiz.name + ".rc",
                       std::vector<uint8_t>(script.begin(), script.end())))
            return 1;
    }
    return 0;
}
