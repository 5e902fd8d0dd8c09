#include "authoring/class_results.h"

#include <cstdio>
#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>

#include "answers/answer_rules.h"
#include "answers/answers_file.h"
#include "answers/scoring.h"
#include "authoring/file_output.h"
#include "authoring/pe_resources.h"
#include "authoring/quiz_json.h"
#include "authoring/windows1252.h"
#include "quiz/quiz_format.h"
#include "quiz/quiz_writer.h"

namespace fs = std::filesystem;

namespace {

const PeResource* FindPatch(const std::vector<PeResource>& resources, int id) {
    for (const PeResource& r : resources) {
        if (r.type == ResourceId::Named(QUIZ_RESOURCE_TYPE) &&
            r.name == ResourceId::Number(static_cast<uint16_t>(id))) {
            return &r;
        }
    }
    return nullptr;
}

// The blocks a program carries, or the ones its JSON source would give.
bool QuizBlocksOf(const std::string& path, QuizBlocks& blocks, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes, error)) return false;
    if (bytes.size() >= 2 && bytes[0] == 'M' && bytes[1] == 'Z') {
        std::vector<PeResource> resources;
        if (!ReadPeResources(bytes, resources, error)) {
            error = path + ": " + error;
            return false;
        }
        const PeResource* content = FindPatch(resources, QUIZ_CONTENT_RESOURCE);
        const PeResource* codes = FindPatch(resources, QUIZ_CODES_RESOURCE);
        if (content == nullptr) {
            error = path + ": carries no quiz (no resource PATCH 104)";
            return false;
        }
        blocks.content = content->bytes;
        if (codes != nullptr) blocks.codes = codes->bytes;
        // Accepted forms and the accent choice judge as the player does.
        if (const PeResource* judging = FindPatch(resources, QUIZ_JUDGING_RESOURCE))
            blocks.judging = judging->bytes;
        return true;
    }
    QuizProject project;
    std::vector<std::string> problems;
    WrittenQuiz written;
    if (!ParseQuizJson(std::string(bytes.begin(), bytes.end()), path,
                       fs::u8path(path).parent_path().u8string(), project, problems) ||
        !WriteQuiz(project.quiz, false, written, error)) {
        error = problems.empty() ? path + ": " + error : problems.front();
        return false;
    }
    blocks.content = std::move(written.content);
    blocks.codes = std::move(written.codes);
    blocks.judging = std::move(written.judging);
    return true;
}

// A field for the spreadsheet: quoted when it holds the separator, a quote
// or a line break; a text a spreadsheet would take for a formula keeps a
// leading apostrophe, so a pupil's answer is never run.
std::string CsvField(const std::string& utf8) {
    std::string text = utf8;
    if (!text.empty() && std::strchr("=+-@", text[0]) != nullptr) text.insert(0, "'");
    if (text.find_first_of(";\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string Decimal(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    std::string s = text;
    for (char& c : s) c = c == '.' ? ',' : c;  // the French decimal comma
    return s;
}

}  // namespace

bool LoadResultsQuiz(const std::string& path, QuizRecord& quiz, std::string& error) {
    QuizBlocks blocks;
    if (!QuizBlocksOf(path, blocks, error)) return false;
    const QuizLoadState state = LoadQuizBlocks(quiz, blocks);
    if (state != QUIZ_LOADED && state != QUIZ_LOADED_WITHOUT_CODES) {
        error = path + ": its quiz cannot be read";
        return false;
    }
    return true;
}

bool JudgeAnswersFile(const QuizRecord& quiz, const std::vector<uint8_t>& bytes,
                      PupilResult& result, std::string& why, std::string& warning) {
    const int32_t fields = AnswerFieldCount(quiz);
    // The player writes each field (at most 259 characters) and CR LF.
    const size_t longest = static_cast<size_t>(fields) * (ANSWER_LINE_MAX + 2);
    if (bytes.size() > longest) {
        why = "longer than any answers file of this quiz (" + std::to_string(longest) +
              " bytes), not an answers file";
        return false;
    }
    if (std::memchr(bytes.data(), 0, bytes.size()) != nullptr) {
        why = "holds a NUL byte, not an answers file";
        return false;
    }
    AnswerLineReader reader(bytes.data(), bytes.size());
    result.typed.assign(static_cast<size_t>(fields), std::string());
    result.verdicts.assign(static_cast<size_t>(fields), VERDICT_EMPTY);
    for (int32_t n = 1; n <= fields; ++n) {
        char typed[ANSWER_LINE_SIZE] = "";
        reader.ReadLine(typed, sizeof typed);
        FieldPlace place = {};
        const QuestionNode* node =
            LocateAnswerField(quiz, n, &place) ? quiz.QuestionAt(place.question - 1) : nullptr;
        result.typed[n - 1] = typed;
        if (node != nullptr) {
            result.verdicts[n - 1] = JudgeQuestionAnswer(quiz, *node, place.answer, typed);
        }
    }
    if (reader.Position() < bytes.size()) {
        warning = "more lines than the quiz has answer fields; it may belong to another quiz";
    }
    // The header's score: questions whose every field reads "BRAVO".
    const int32_t perQuestion = FieldsPerQuestion(quiz.mediaKind, quiz.answersPerQuestion);
    result.score = 0;
    for (int32_t q = 1; q <= ShownQuestionCount(quiz) && perQuestion > 0; ++q) {
        bool solved = true;
        for (int32_t k = 1; k <= perQuestion; ++k) {
            solved = solved && std::strcmp(result.verdicts[FieldNumberOf(quiz, q, k) - 1],
                                           VERDICT_BRAVO) == 0;
        }
        result.score += solved ? 1 : 0;
    }
    const char* code = RewardCode(quiz, result.score);
    result.code = std::strcmp(code, NO_REWARD_CODE) == 0 ? "" : code;
    return true;
}

std::string PupilLabel(const std::string& path, const std::string& quizPath) {
    const fs::path file = fs::u8path(path), quiz = fs::u8path(quizPath);
    if (file.stem() == quiz.stem()) {
        const fs::path folder = fs::absolute(file).parent_path().filename();
        if (!folder.empty()) return folder.u8string();
    }
    return file.stem().u8string();
}

std::string ClassResultsCsv(const QuizRecord& quiz, const std::vector<PupilResult>& pupils) {
    const int32_t perQuestion = FieldsPerQuestion(quiz.mediaKind, quiz.answersPerQuestion);
    const int32_t questions = ShownQuestionCount(quiz);
    std::string csv =
        "\xEF\xBB\xBF\xC3\x89l\xC3\xA8ve;Score (sur " + std::to_string(questions) + ");Code";
    for (int32_t q = 1; q <= questions; ++q) {
        for (int32_t k = 1; k <= perQuestion; ++k) {
            const std::string name =
                "Q" + std::to_string(q) + (perQuestion == 2 ? "." + std::to_string(k) : "");
            csv += ";" + name + " r\xC3\xA9ponse;" + name + " verdict";
        }
    }
    csv += "\r\n";
    std::vector<int> solved(static_cast<size_t>(questions), 0);
    for (const PupilResult& p : pupils) {
        csv += CsvField(p.label) + ";" + std::to_string(p.score) + ";" +
               CsvField(Windows1252ToUtf8(p.code));
        for (size_t n = 0; n < p.typed.size(); ++n) {
            csv += ";" + CsvField(Windows1252ToUtf8(p.typed[n])) + ";" +
                   CsvField(Windows1252ToUtf8(p.verdicts[n]));
        }
        csv += "\r\n";
        for (int32_t q = 1; q <= questions; ++q) {
            bool all = perQuestion > 0;
            for (int32_t k = 1; k <= perQuestion; ++k) {
                const size_t n = static_cast<size_t>(FieldNumberOf(quiz, q, k) - 1);
                all =
                    all && n < p.verdicts.size() && std::strcmp(p.verdicts[n], VERDICT_BRAVO) == 0;
            }
            solved[static_cast<size_t>(q - 1)] += all ? 1 : 0;
        }
    }
    csv += "R\xC3\xA9ussite;" + Decimal(ClassAverage(pupils)) + ";";  // no code
    for (int32_t q = 1; q <= questions; ++q) {
        const int share =
            pupils.empty() ? 0
                           : static_cast<int>(
                                 solved[static_cast<size_t>(q - 1)] * 100.0 / pupils.size() + 0.5);
        csv += ";" + std::to_string(share) + " %" +
               std::string(static_cast<size_t>(2 * perQuestion - 1), ';');
    }
    csv += "\r\n";
    return csv;
}

double ClassAverage(const std::vector<PupilResult>& pupils) {
    if (pupils.empty()) return 0;
    double total = 0;
    for (const PupilResult& p : pupils) total += p.score;
    return total / pupils.size();
}

namespace {

// The answers files named, folders searched (not recursively) for ".txt".
std::vector<std::string> AnswersFiles(const std::vector<std::string>& names, ClassResults& r) {
    std::vector<std::string> files;
    for (const std::string& name : names) {
        std::error_code ec;
        const fs::path path = fs::u8path(name);
        if (!fs::is_directory(path, ec)) {
            files.push_back(name);
            continue;
        }
        std::vector<std::string> found;
        for (fs::directory_iterator it(path, ec), end; !ec && it != end; it.increment(ec)) {
            std::string extension = it->path().extension().u8string();
            for (char& c : extension)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (extension == ".txt") found.push_back(it->path().u8string());
        }
        if (ec) {
            r.problems.push_back(name + ": cannot read the folder (" + ec.message() + ")");
            r.trouble = true;
        }
        std::sort(found.begin(), found.end());
        files.insert(files.end(), found.begin(), found.end());
    }
    return files;
}

}  // namespace

ClassResults JudgeClass(const QuizRecord& quiz, const std::string& quizPath,
                        const std::vector<std::string>& paths) {
    ClassResults r;
    for (const std::string& file : AnswersFiles(paths, r)) {
        std::vector<uint8_t> bytes;
        std::string why, warning;
        PupilResult pupil;
        if (!ReadRegularFile(file, MAX_QUIZ_JSON_BYTES, bytes, why) ||
            !JudgeAnswersFile(quiz, bytes, pupil, why, warning)) {
            r.problems.push_back(file + ": skipped: " + why);
            r.trouble = true;
            continue;
        }
        if (!warning.empty()) r.problems.push_back(file + ": warning: " + warning);
        pupil.label = PupilLabel(file, quizPath);
        r.pupils.push_back(std::move(pupil));
    }
    return r;
}

std::string ClassResultsTable(const QuizRecord& quiz, const std::vector<PupilResult>& pupils,
                              const ClassTableHeader& header) {
    // Widths in characters, not bytes: labels and the Studio's header are UTF-8.
    auto length = [](const std::string& text) {
        return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
            return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
        }));
    };
    auto padded = [&](std::string text, size_t to) {
        const size_t have = length(text);
        return text.append(to - std::min(to, have), ' ');
    };
    const std::string questions = std::to_string(ShownQuestionCount(quiz));
    size_t width = length(header.pupil);
    for (const PupilResult& p : pupils) width = std::max(width, length(p.label));
    const size_t scoreWidth = std::max<size_t>(5, length(header.score));
    std::string table = padded(header.pupil, width) + "  " + padded(header.score, scoreWidth) +
                        "  " + header.code + "\n";
    for (const PupilResult& p : pupils) {
        table += padded(p.label, width) + "  " +
                 padded(std::to_string(p.score) + "/" + questions, scoreWidth) + "  " +
                 Windows1252ToUtf8(p.code) + "\n";
    }
    return table;
}
