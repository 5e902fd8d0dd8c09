#include "authoring/quiz_document.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>

#include <nlohmann/json.hpp>

#include "authoring/file_output.h"
#include "authoring/quiz_unpack.h"
#include "authoring/windows1252.h"

namespace fs = std::filesystem;
using ordered = nlohmann::ordered_json;

namespace {

// The name problems carry for the document; stripped before they are shown.
constexpr const char* kSourceName = "quiz";

struct TextKey {
    const char* key;
    std::string DocumentQuestion::*member;
};
constexpr TextKey kQuestionTexts[] = {
    {"prompt", &DocumentQuestion::prompt},         {"answer1", &DocumentQuestion::answer1},
    {"answer2", &DocumentQuestion::answer2},       {"extraText", &DocumentQuestion::extraText},
    {"extraText2", &DocumentQuestion::extraText2}, {"picture", &DocumentQuestion::picture},
    {"answerPicture", &DocumentQuestion::answerPicture}, {"clip", &DocumentQuestion::clip},
};
struct QuizKey {
    const char* key;
    std::string QuizDocument::*member;
};
constexpr QuizKey kQuizTexts[] = {
    {"title", &QuizDocument::title},
    {"author", &QuizDocument::author},
    {"explanations", &QuizDocument::explanations},
    {"answerLabel1", &QuizDocument::answerLabel1},
    {"answerLabel2", &QuizDocument::answerLabel2},
};

std::string JsonString(const nlohmann::json& object, const char* key) {
    auto it = object.find(key);
    return it != object.end() && it->is_string() ? it->get<std::string>() : std::string();
}

// An answer is one text or the list of its accepted forms.
void ReadAnswer(const nlohmann::json& item, const char* key, std::string& first,
                std::vector<std::string>& others) {
    auto it = item.find(key);
    if (it == item.end() || !it->is_array()) return;
    for (size_t k = 0; k < it->size(); ++k) {
        const std::string form = (*it)[k].is_string() ? (*it)[k].get<std::string>() : "";
        if (k == 0) {
            first = form;
        } else {
            others.push_back(form);
        }
    }
}

ordered AnswerJson(const std::string& first, const std::vector<std::string>& others) {
    if (others.empty()) return first;
    ordered forms = {first};
    for (const std::string& form : others) forms.push_back(form);
    return forms;
}

std::vector<std::string> Utf8Texts(const std::vector<std::string>& texts) {
    std::vector<std::string> out;
    for (const std::string& text : texts) out.push_back(Windows1252ToUtf8(text));
    return out;
}

int JsonInteger(const nlohmann::json& object, const char* key, int fallback) {
    auto it = object.find(key);
    return it != object.end() && it->is_number_integer() ? it->get<int>() : fallback;
}

bool ReadColor(const std::string& text, uint8_t rgb[3]) {
    if (text.size() != 7 || text[0] != '#') return false;
    unsigned value = 0;
    for (size_t i = 1; i < 7; ++i) {
        if (!std::isxdigit(static_cast<unsigned char>(text[i]))) return false;
        value = value * 16 + static_cast<unsigned>(std::stoi(text.substr(i, 1), nullptr, 16));
    }
    rgb[0] = static_cast<uint8_t>(value >> 16);
    rgb[1] = static_cast<uint8_t>(value >> 8);
    rgb[2] = static_cast<uint8_t>(value);
    return true;
}

std::string Lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

DocumentField ParseFieldName(const std::string& name) {
    DocumentField field;
    std::string rest = name;
    int number = -1;
    const size_t open = rest.find('[');
    const size_t close = rest.find(']');
    if (open != std::string::npos && close != std::string::npos && close > open + 1) {
        number = std::atoi(rest.substr(open + 1, close - open - 1).c_str());
        std::string head = rest.substr(0, open);
        std::string tail = close + 2 <= rest.size() ? rest.substr(close + 2) : std::string();
        if (head == "questions") {
            field.question = number;
            field.key = tail;
        } else {
            field.index = number;
            field.key = head;
        }
        return field;
    }
    field.key = rest;
    return field;
}

std::string* QuizTextField(QuizDocument& doc, const std::string& key) {
    for (const QuizKey& k : kQuizTexts) {
        if (key == k.key) return &(doc.*k.member);
    }
    return nullptr;
}

std::string* QuestionTextField(DocumentQuestion& question, const std::string& key) {
    for (const TextKey& k : kQuestionTexts) {
        if (key == k.key) return &(question.*k.member);
    }
    return nullptr;
}

QuizDocument NewDocument() {
    QuizDocument doc;
    doc.questions.resize(1);
    return doc;
}

size_t AddQuestion(QuizDocument& doc, size_t at) {
    at = std::min(at, doc.questions.size());
    doc.questions.insert(doc.questions.begin() + static_cast<std::ptrdiff_t>(at),
                         DocumentQuestion{});
    return at;
}

bool DeleteQuestion(QuizDocument& doc, size_t index) {
    if (index >= doc.questions.size()) return false;
    doc.questions.erase(doc.questions.begin() + static_cast<std::ptrdiff_t>(index));
    return true;
}

bool MoveQuestion(QuizDocument& doc, size_t index, int delta) {
    if (index >= doc.questions.size() || (delta != -1 && delta != 1)) return false;
    if ((delta < 0 && index == 0) || (delta > 0 && index + 1 >= doc.questions.size())) return false;
    std::swap(doc.questions[index], doc.questions[delta < 0 ? index - 1 : index + 1]);
    return true;
}

std::string DocumentJsonText(const QuizDocument& doc) {
    ordered root;
    for (const QuizKey& k : kQuizTexts) root[k.key] = doc.*k.member;
    const char* media = MediaKindName(doc.mediaKind);
    root["media"] = media != nullptr ? media : "text";
    root["displayMode"] = doc.displayMode;
    root["answersPerQuestion"] = doc.answersPerQuestion;
    if (doc.accentsTolerated) root["accents"] = "tolerated";  // "strict" goes without saying
    char color[8];
    std::snprintf(color, sizeof color, "#%02X%02X%02X", doc.color[0], doc.color[1], doc.color[2]);
    root["color"] = color;

    ordered questions = ordered::array();
    for (const DocumentQuestion& q : doc.questions) {
        ordered item;
        item["answer1"] = AnswerJson(q.answer1, q.otherAnswers1);
        if (doc.answersPerQuestion == 2) item["answer2"] = AnswerJson(q.answer2, q.otherAnswers2);
        item["prompt"] = q.prompt;
        if (!q.extraText.empty() && ModeCarriesExtraText(doc.displayMode)) {
            item["extraText"] = q.extraText;
        }
        if (!q.extraText2.empty() && ModeCarriesSecondExtraText(doc.displayMode)) {
            item["extraText2"] = q.extraText2;
        }
        if (!q.picture.empty()) item["picture"] = q.picture;
        if (!q.answerPicture.empty()) item["answerPicture"] = q.answerPicture;
        if (!q.clip.empty()) item["clip"] = q.clip;
        questions.push_back(std::move(item));
    }
    root["questions"] = std::move(questions);
    root["codes"] = doc.codes;
    return root.dump(2) + "\n";
}

bool DocumentFromJson(const std::string& jsonText, const std::string& baseDir, QuizDocument& doc) {
    doc = NewDocument();
    doc.baseDir = baseDir;
    const nlohmann::json root = nlohmann::json::parse(jsonText, nullptr, false);
    if (!root.is_object()) return false;
    for (const QuizKey& k : kQuizTexts) doc.*k.member = JsonString(root, k.key);
    const std::string media = JsonString(root, "media");
    for (int kind = 0; kind < 4; ++kind) {
        if (media == MediaKindName(kind)) doc.mediaKind = kind;
    }
    doc.displayMode = JsonInteger(root, "displayMode", 0);
    doc.answersPerQuestion = JsonInteger(root, "answersPerQuestion", 1);
    doc.accentsTolerated = JsonString(root, "accents") == "tolerated";
    ReadColor(JsonString(root, "color"), doc.color);
    auto questions = root.find("questions");
    if (questions != root.end() && questions->is_array() && !questions->empty()) {
        doc.questions.clear();
        for (const nlohmann::json& item : *questions) {
            DocumentQuestion q;
            if (item.is_object()) {
                for (const TextKey& k : kQuestionTexts) q.*k.member = JsonString(item, k.key);
                ReadAnswer(item, "answer1", q.answer1, q.otherAnswers1);
                ReadAnswer(item, "answer2", q.answer2, q.otherAnswers2);
            }
            doc.questions.push_back(std::move(q));
        }
    }
    auto codes = root.find("codes");
    if (codes != root.end() && codes->is_array()) {
        for (const nlohmann::json& code : *codes) {
            doc.codes.push_back(code.is_string() ? code.get<std::string>() : std::string());
        }
    }
    return true;
}

QuizDocument DocumentFromProject(const QuizProject& project, const std::string& baseDir) {
    const QuizSource& quiz = project.quiz;
    QuizDocument doc;
    doc.title = Windows1252ToUtf8(quiz.title);
    doc.author = Windows1252ToUtf8(quiz.author);
    doc.explanations = Windows1252ToUtf8(quiz.explanations);
    doc.answerLabel1 = Windows1252ToUtf8(quiz.answerLabel1);
    doc.answerLabel2 = Windows1252ToUtf8(quiz.answerLabel2);
    doc.mediaKind = quiz.mediaKind;
    doc.displayMode = quiz.displayMode;
    doc.answersPerQuestion = quiz.answersPerQuestion;
    doc.accentsTolerated = quiz.accentsTolerated;
    doc.color[0] = quiz.colorRed;
    doc.color[1] = quiz.colorGreen;
    doc.color[2] = quiz.colorBlue;
    for (size_t i = 0; i < quiz.questions.size(); ++i) {
        const QuizSourceQuestion& s = quiz.questions[i];
        DocumentQuestion q;
        q.prompt = Windows1252ToUtf8(s.prompt);
        q.answer1 = Windows1252ToUtf8(s.answer1);
        q.answer2 = Windows1252ToUtf8(s.answer2);
        q.otherAnswers1 = Utf8Texts(s.otherAnswers1);
        q.otherAnswers2 = Utf8Texts(s.otherAnswers2);
        q.extraText = Windows1252ToUtf8(s.extraText);
        q.extraText2 = Windows1252ToUtf8(s.extraText2);
        if (i < project.media.size()) {
            q.picture = project.media[i].picture;
            q.answerPicture = project.media[i].answerPicture;
            q.clip = project.media[i].clip;
        }
        doc.questions.push_back(std::move(q));
    }
    for (const std::string& code : quiz.codes) doc.codes.push_back(Windows1252ToUtf8(code));
    doc.baseDir = baseDir;
    return doc;
}

std::vector<DocumentProblem> CheckDocument(const QuizDocument& doc,
                                           std::vector<QuizResource>* resources) {
    std::vector<std::string> lines;
    QuizProject project;
    ParseQuizJson(DocumentJsonText(doc), kSourceName, doc.baseDir, project, lines);
    std::vector<QuizResource> built;
    const bool ok = MakeQuizResources(project, kSourceName, false, built, lines);
    if (ok && resources != nullptr) *resources = std::move(built);

    const std::string prefix = std::string(kSourceName) + ": ";
    std::vector<DocumentProblem> problems;
    for (const std::string& line : lines) {
        DocumentProblem p;
        p.text = line.compare(0, prefix.size(), prefix) == 0 ? line.substr(prefix.size()) : line;
        p.field = ParseFieldName(p.text.substr(0, p.text.find(": ")));
        problems.push_back(std::move(p));
    }
    return problems;
}

bool OpenDocument(const std::string& path, const std::string& mediaDir, QuizDocument& doc,
                  std::vector<std::string>& fileProblems, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, bytes, error)) return false;
    const fs::path file = fs::u8path(path);
    if (bytes.size() >= 2 && bytes[0] == 'M' && bytes[1] == 'Z') {
        std::vector<PeResource> resources;
        UnpackedQuiz quiz;
        if (!ReadPeResources(bytes, resources, error) || !UnpackQuiz(resources, quiz, error)) {
            error = path + ": " + error;
            return false;
        }
        std::error_code ec;
        fs::create_directories(fs::u8path(mediaDir), ec);
        for (const UnpackedFile& f : quiz.files) {
            const std::string target = (fs::u8path(mediaDir) / fs::u8path(f.name)).u8string();
            if (!WriteFileAtomically(target, f.bytes, error)) return false;
        }
        doc = DocumentFromProject(quiz.project, mediaDir);
        fileProblems = quiz.notes;
        return true;
    }
    const std::string text(bytes.begin(), bytes.end());
    const std::string baseDir = file.parent_path().u8string();
    QuizProject project;
    ParseQuizJson(text, file.filename().u8string(), baseDir, project, fileProblems);
    if (!DocumentFromJson(text, baseDir, doc)) {
        error = fileProblems.empty() ? path + ": not a quiz" : fileProblems.front();
        return false;
    }
    return true;
}

bool SaveDocument(QuizDocument& doc, const std::string& jsonPath, std::string& error) {
    const fs::path dir = fs::u8path(jsonPath).parent_path();
    QuizDocument saved = doc;
    saved.baseDir = dir.u8string();
    std::map<std::string, std::string> claimed;  // lower-case name given -> source file
    std::vector<std::pair<fs::path, std::vector<uint8_t>>> copies;

    for (DocumentQuestion& q : saved.questions) {
        for (std::string* path : {&q.picture, &q.answerPicture, &q.clip}) {
            if (path->empty()) continue;
            fs::path source = fs::u8path(*path);
            if (source.is_relative()) source = fs::u8path(doc.baseDir) / source;
            source = source.lexically_normal();
            const fs::path inside = source.lexically_relative(dir.lexically_normal());
            if (!inside.empty() && *inside.begin() != "..") {
                *path = inside.generic_u8string();
                continue;
            }
            std::vector<uint8_t> bytes;
            if (!ReadWholeFile(source.u8string(), bytes, error)) return false;
            // A free name beside the JSON file: the source's own unless another
            // file already holds it.
            const std::string stem = source.stem().u8string();
            const std::string extension = source.extension().u8string();
            std::string name = source.filename().u8string();
            for (int n = 2;; ++n) {
                auto it = claimed.find(Lower(name));
                if (it != claimed.end() && it->second == source.u8string()) break;
                std::vector<uint8_t> existing;
                std::string ignored;
                const fs::path target = dir / fs::u8path(name);
                const bool free = it == claimed.end() &&
                                  (!fs::exists(target) ||
                                   (ReadWholeFile(target.u8string(), existing, ignored) &&
                                    existing == bytes));
                if (free) {
                    claimed[Lower(name)] = source.u8string();
                    copies.emplace_back(target, std::move(bytes));
                    break;
                }
                name = stem + "-" + std::to_string(n) + extension;
            }
            *path = name;
        }
    }
    for (const auto& copy : copies) {
        if (!WriteFileAtomically(copy.first.u8string(), copy.second, error)) return false;
    }
    const std::string json = DocumentJsonText(saved);
    if (!WriteFileAtomically(jsonPath, std::vector<uint8_t>(json.begin(), json.end()), error)) {
        return false;
    }
    doc = std::move(saved);
    return true;
}
