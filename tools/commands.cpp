#include "tools/commands.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include "answers/scoring.h"
#include "authoring/class_results.h"
#include "authoring/file_output.h"
#include "authoring/windows1252.h"
#include "authoring/player_output.h"
#include "authoring/quiz_resources.h"
#include "authoring/quiz_unpack.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kUsage =
    "usage: brelo-make check QUIZ.json\n"
    "       brelo-make build QUIZ.json -o QUIZ.exe [--encipher] [--player brelo.exe]\n"
    "       brelo-make unpack QUIZ.exe -o FOLDER\n"
    "       brelo-make resources QUIZ.json -o FOLDER [--encipher] [--depfile FILE]\n"
    "       brelo-make results QUIZ.exe|QUIZ.json FILE|FOLDER... -o RESULTS.csv\n";

struct Options {
    std::string command;
    std::string input;
    std::vector<std::string> answers;  // results: the answers files and folders
    std::string output;
    std::string player;
    std::string depfile;
    bool encipher = false;
};

// Options take their value from the next argument; each command accepts
// only its own.
bool ParseOptions(const std::vector<std::string>& args, Options& o, std::string& error) {
    if (args.size() < 2) {
        error = "no command given";
        return false;
    }
    o.command = args[1];
    const bool check = o.command == "check", build = o.command == "build",
               unpack = o.command == "unpack", resources = o.command == "resources",
               results = o.command == "results";
    if (!check && !build && !unpack && !resources && !results) {
        error = "unknown command '" + o.command + "'";
        return false;
    }
    for (size_t i = 2; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& into) {
            if (i + 1 >= args.size()) {
                error = "'" + a + "' needs a value";
                return false;
            }
            into = args[++i];
            return true;
        };
        if (a == "-o" && !check) {
            if (!value(o.output)) return false;
        } else if (a == "--player" && build) {
            if (!value(o.player)) return false;
        } else if (a == "--depfile" && resources) {
            if (!value(o.depfile)) return false;
        } else if (a == "--encipher" && (build || resources)) {
            o.encipher = true;
        } else if (a.size() > 1 && a[0] == '-') {
            error = "'" + a + "' is not an option of " + o.command;
            return false;
        } else if (o.input.empty()) {
            o.input = a;
        } else if (results) {
            o.answers.push_back(a);
        } else {
            error = "more than one input file ('" + o.input + "', '" + a + "')";
            return false;
        }
    }
    if (o.input.empty()) {
        error = o.command + " needs " + (unpack ? "a player program" : "a quiz file (.json)");
        return false;
    }
    if (results && o.answers.empty()) {
        error = "results needs answers files or folders after the quiz";
        return false;
    }
    if (!check && o.output.empty()) {
        error = o.command + " needs -o " +
                (build     ? "QUIZ.exe"
                 : results ? "RESULTS.csv"
                           : "FOLDER");
        return false;
    }
    return true;
}

void PrintProblems(const std::vector<std::string>& problems, std::ostream& err) {
    for (const std::string& p : problems) err << p << "\n";
}

int Check(const Options& o, std::ostream& out, std::ostream& err) {
    QuizProject project;
    std::vector<QuizResource> resources;
    std::vector<std::string> problems;
    if (!LoadQuizResources(o.input, false, project, resources, problems)) {
        PrintProblems(problems, err);
        err << o.input << ": " << problems.size()
            << (problems.size() == 1 ? " problem" : " problems") << "\n";
        return EXIT_PROBLEMS;
    }
    out << o.input << ": ok, " << project.quiz.questions.size() << " questions, "
        << resources.size() - 2 << " media files\n";
    return EXIT_OK;
}

int Build(const Options& o, std::ostream& out, std::ostream& err) {
    QuizProject project;
    std::vector<QuizResource> resources;
    std::vector<std::string> problems;
    if (!LoadQuizResources(o.input, o.encipher, project, resources, problems)) {
        PrintProblems(problems, err);
        return EXIT_PROBLEMS;
    }
    const std::string player = o.player.empty() ? DefaultPlayerPath() : o.player;
    if (SameFile(player, o.output)) {
        err << o.output << ": is the player itself; choose another output file\n";
        return EXIT_PROBLEMS;
    }
    std::string error;
    if (!WritePlayerWithQuiz(player, resources, o.output, error)) {
        err << error << "\n";
        return EXIT_PROBLEMS;
    }
    out << o.output << ": " << project.quiz.questions.size() << " questions"
        << (o.encipher ? ", enciphered" : "") << "\n";
    return EXIT_OK;
}

int Unpack(const Options& o, std::ostream& out, std::ostream& err) {
    std::vector<uint8_t> image;
    std::vector<PeResource> resources;
    std::string error;
    if (!ReadWholeFile(o.input, image, error)) {
        err << error << "\n";
        return EXIT_PROBLEMS;
    }
    UnpackedQuiz quiz;
    if (!ReadPeResources(image, resources, error) || !UnpackQuiz(resources, quiz, error)) {
        err << o.input << ": " << error << "\n";
        return EXIT_PROBLEMS;
    }
    std::vector<OutputFile> files;
    const std::string json = QuizJsonText(quiz.project);
    files.push_back(OutputFile{"quiz.json", std::vector<uint8_t>(json.begin(), json.end())});
    for (UnpackedFile& f : quiz.files) files.push_back(OutputFile{f.name, std::move(f.bytes)});
    if (!WriteFolderAtomically(o.output, files, error)) {
        err << error << "\n";
        return EXIT_PROBLEMS;
    }
    for (const std::string& note : quiz.notes) err << o.input << ": note: " << note << "\n";
    if (quiz.enciphered) {
        err << o.input
            << ": note: the quiz was enciphered; build it with --encipher to keep it so\n";
    }
    out << (fs::u8path(o.output) / "quiz.json").u8string() << ": "
        << quiz.project.quiz.questions.size() << " questions, " << quiz.files.size()
        << " media files\n";
    return EXIT_OK;
}

int Results(const Options& o, std::ostream& out, std::ostream& err) {
    QuizRecord quiz;
    std::string error;
    if (!LoadResultsQuiz(o.input, quiz, error)) {
        err << error << "\n";
        return EXIT_PROBLEMS;
    }
    const ClassResults judged = JudgeClass(quiz, o.input, o.answers);
    for (const std::string& problem : judged.problems) err << problem << "\n";
    const std::vector<PupilResult>& pupils = judged.pupils;
    if (pupils.empty()) {
        err << o.input << ": no answers file to judge\n";
        return EXIT_PROBLEMS;
    }
    const std::string csv = ClassResultsCsv(quiz, pupils);
    if (!WriteFileAtomically(o.output, std::vector<uint8_t>(csv.begin(), csv.end()), error)) {
        err << error << "\n";
        return EXIT_PROBLEMS;
    }
    const int32_t questions = ShownQuestionCount(quiz);
    out << ClassResultsTable(quiz, pupils);
    char average[32];
    std::snprintf(average, sizeof average, "%.1f", ClassAverage(pupils));
    out << "class average: " << average << " / " << questions << " (" << pupils.size()
        << " pupils) -> " << o.output << "\n";
    return judged.trouble ? EXIT_PROBLEMS : EXIT_OK;
}

std::string ResourceFileName(const QuizResource& r) {
    const std::string type =
        r.type == ResourceId::Number(RESOURCE_TYPE_RCDATA) ? "RCDATA" : r.type.Describe();
    return type + "-" + r.name.Describe() + ".bin";
}

// Make-style dependency line; spaces in names are escaped.
std::string DepfileName(const std::string& path) {
    std::string escaped;
    for (char c : path) {
        if (c == ' ' || c == '#' || c == '\\') escaped += '\\';
        escaped += c;
    }
    return escaped;
}

int Resources(const Options& o, std::ostream& out, std::ostream& err) {
    QuizProject project;
    std::vector<QuizResource> resources;
    std::vector<std::string> problems;
    if (!LoadQuizResources(o.input, o.encipher, project, resources, problems)) {
        PrintProblems(problems, err);
        return EXIT_PROBLEMS;
    }
    std::error_code ec;
    const fs::path folder = fs::absolute(fs::u8path(o.output), ec).lexically_normal();
    const std::string folderText = folder.generic_u8string();
    if (ec || folderText.find_first_of("\"\\") != std::string::npos) {
        err << o.output << ": a resource script cannot name this folder\n";
        return EXIT_PROBLEMS;
    }
    fs::create_directories(folder, ec);
    std::string error;
    std::string script = "// Quiz resources of " + fs::u8path(o.input).filename().u8string() +
                         ", written by brelo-make resources.\n";
    for (const QuizResource& r : resources) {
        const std::string path = (folder / ResourceFileName(r)).generic_u8string();
        if (!WriteFileAtomically(path, r.bytes, error)) {
            err << error << "\n";
            return EXIT_PROBLEMS;
        }
        script += ResourceScriptLine(r.type, r.name, path);
    }
    const std::string rc = (folder / "quiz.rc").generic_u8string();
    if (!WriteFileAtomically(rc, std::vector<uint8_t>(script.begin(), script.end()), error)) {
        err << error << "\n";
        return EXIT_PROBLEMS;
    }
    if (!o.depfile.empty()) {
        std::string deps = DepfileName(rc) + ":";
        deps += " " + DepfileName(fs::absolute(fs::u8path(o.input), ec).generic_u8string());
        for (const QuizQuestionMedia& m : project.media) {
            for (const std::string* p : {&m.picture, &m.answerPicture, &m.clip}) {
                if (!p->empty())
                    deps += " " + DepfileName(fs::absolute(fs::u8path(*p), ec).generic_u8string());
            }
        }
        deps += "\n";
        if (!WriteFileAtomically(o.depfile, std::vector<uint8_t>(deps.begin(), deps.end()),
                                 error)) {
            err << error << "\n";
            return EXIT_PROBLEMS;
        }
    }
    out << rc << ": " << resources.size() << " resources\n";
    return EXIT_OK;
}

}  // namespace

std::string ResourceScriptLine(const ResourceId& type, const ResourceId& name,
                               const std::string& path) {
    const std::string typeText =
        type == ResourceId::Number(RESOURCE_TYPE_RCDATA) ? "RCDATA" : type.Describe();
    return name.Describe() + " " + typeText + " \"" + path + "\"\n";
}

int RunBreloMake(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    Options o;
    std::string error;
    if (!ParseOptions(args, o, error)) {
        err << "brelo-make: " << error << "\n" << kUsage;
        return EXIT_USAGE;
    }
    if (o.command == "check") return Check(o, out, err);
    if (o.command == "build") return Build(o, out, err);
    if (o.command == "unpack") return Unpack(o, out, err);
    if (o.command == "results") return Results(o, out, err);
    return Resources(o, out, err);
}
