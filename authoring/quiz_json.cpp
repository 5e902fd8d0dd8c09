#include "authoring/quiz_json.h"

#include <filesystem>
#include <map>
#include <set>

#include <nlohmann/json.hpp>

#include "quiz/quiz_format.h"
#include "quiz/quiz_record.h"
#include "authoring/quiz_document.h"
#include "authoring/file_output.h"
#include "authoring/windows1252.h"

using nlohmann::json;

namespace {

constexpr const char* kMediaNames[] = {"text", "picture", "sound", "video"};

constexpr const char* kQuizKeys[] = {
    "$schema",      "title",     "author",      "explanations",       "answerLabel1",
    "answerLabel2", "media",     "displayMode", "answersPerQuestion", "accents",
    "color",        "questions", "codes",
};
constexpr const char* kQuestionKeys[] = {
    "answer1", "answer2", "prompt", "extraText", "extraText2", "picture", "answerPicture", "clip",
};

constexpr const char* kTextQuizOneAnswer =
    "a text quiz shows one answer field per question; a second answer needs a picture, sound or "
    "video quiz";
constexpr const char* kTextQuizNoExtraText =
    "a text quiz shows no extra texts; they need a picture, sound or video quiz";

template <size_t N>
bool IsKnownKey(const std::string& key, const char* const (&keys)[N]) {
    for (const char* k : keys) {
        if (key == k) return true;
    }
    return false;
}

std::string QuestionField(size_t index, const char* key) {
    return "questions[" + std::to_string(index) + "]." + key;
}

// Collects the problems of one source; every message names the field.
class SourceReader {
  public:
    SourceReader(const std::string& sourceName, std::vector<std::string>& problems)
        : sourceName_(sourceName), problems_(problems) {}

    // A crafted file can hold the same mistake a hundred thousand times; a
    // few lines of each kind say enough, the rest are counted.
    void Problem(const std::string& field, const std::string& what) {
        ++count_;
        if (++sameKind_[what] <= kProblemsOfOneKind) {
            problems_.push_back(sourceName_ + ": " + field + ": " + what);
        }
    }
    void Summarise() {
        for (const auto& [what, count] : sameKind_) {
            if (count <= kProblemsOfOneKind) continue;
            problems_.push_back(sourceName_ + ": \xE2\x80\xA6 and " +
                                std::to_string(count - kProblemsOfOneKind) + " more: " + what);
        }
    }
    int count() const { return count_; }

    template <size_t N>
    void RejectUnknownKeys(const json& object, const char* const (&keys)[N],
                           const std::string& prefix) {
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (!IsKnownKey(it.key(), keys)) Problem(prefix + it.key(), "unknown field");
        }
    }

    // A text stored in the quiz: converted to Windows-1252 and held to the
    // limits of the stored format. `singleLine` is for the reward codes, whose
    // block separates entries by line breaks.
    void Text(const json& object, const char* key, const std::string& field, std::string& out,
              bool required, bool singleLine = false) {
        auto it = object.find(key);
        if (it == object.end()) {
            if (required) Problem(field, "missing");
            return;
        }
        ConvertText(*it, field, out, required, singleLine);
    }

    void ConvertText(const json& value, const std::string& field, std::string& out, bool required,
                     bool singleLine) {
        if (!value.is_string()) {
            Problem(field, "must be a string");
            return;
        }
        const std::string& utf8 = value.get_ref<const std::string&>();
        Windows1252Result converted = Utf8ToWindows1252(utf8);
        if (!converted.ok) {
            Problem(field, "character '" + converted.badCharacter + "' (" +
                               CodePointName(converted.badCodePoint) +
                               ") has no Windows-1252 form");
            return;
        }
        const std::string& text = converted.text;
        if (text.find('\0') != std::string::npos) {
            Problem(field, "contains the character U+0000, which would end the text");
        } else if (text.find('|') != std::string::npos) {
            Problem(field, "contains '|', which Brelo uses to separate the stored texts");
        } else if (singleLine && text.find_first_of("\r\n") != std::string::npos) {
            Problem(field, "must be a single line");
        } else if (text.size() > static_cast<size_t>(QUIZ_TEXT_MAX)) {
            Problem(field, std::to_string(text.size()) + " characters, at most " +
                               std::to_string(QUIZ_TEXT_MAX));
        } else if (required && text.empty()) {
            Problem(field, "must not be empty");
        } else {
            out = text;
        }
    }

    // An expected answer: one text, or the list of its accepted forms, the
    // first of which is the one older players judge against.
    void Answer(const json& object, const char* key, const std::string& field, std::string& first,
                std::vector<std::string>& others) {
        auto it = object.find(key);
        if (it == object.end()) {
            Problem(field, "missing");
            return;
        }
        if (!it->is_array()) {
            ConvertText(*it, field, first, true, false);
            return;
        }
        const size_t most = QUIZ_MAX_OTHER_FORMS + 1;
        if (it->empty() || it->size() > most) {
            Problem(field, "must be a text or a list of 1 to " + std::to_string(most) + " texts");
            return;
        }
        for (size_t k = 0; k < it->size(); ++k) {
            std::string form;
            ConvertText((*it)[k], field + "[" + std::to_string(k) + "]", form, true, false);
            if (k == 0) {
                first = form;
            } else {
                others.push_back(form);
            }
        }
    }

    // A media file path, resolved against the folder of the source.
    void Path(const json& object, const char* key, const std::string& field,
              const std::string& baseDir, std::string& out) {
        auto it = object.find(key);
        if (it == object.end()) return;
        if (!it->is_string() || it->get_ref<const std::string&>().empty()) {
            Problem(field, "must be a file name");
            return;
        }
        namespace fs = std::filesystem;
        fs::path path = fs::u8path(it->get_ref<const std::string&>());
        if (!path.is_absolute() && !baseDir.empty()) path = fs::u8path(baseDir) / path;
        out = path.lexically_normal().generic_u8string();
    }

    // A whole number within [low, high]; `fallback` when the field is absent.
    int Integer(const json& object, const char* key, int low, int high, int fallback,
                const std::string& what) {
        auto it = object.find(key);
        if (it == object.end()) return fallback;
        if (it->is_number_integer()) {
            long long value = it->get<long long>();
            if (value >= low && value <= high) return static_cast<int>(value);
        }
        Problem(key, "must be " + what);
        return fallback;
    }

  private:
    static constexpr int kProblemsOfOneKind = 5;
    const std::string& sourceName_;
    std::vector<std::string>& problems_;
    int count_ = 0;
    std::map<std::string, int> sameKind_;
};

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// "#RRGGBB" into its three components.
bool ParseColor(const std::string& text, uint8_t rgb[3]) {
    if (text.size() != 7 || text[0] != '#') return false;
    for (int i = 0; i < 3; ++i) {
        int high = HexDigit(text[1 + 2 * i]);
        int low = HexDigit(text[2 + 2 * i]);
        if (high < 0 || low < 0) return false;
        rgb[i] = static_cast<uint8_t>(high * 16 + low);
    }
    return true;
}

// The JSON reader keeps the last of two equal keys without a word; a teacher
// who wrote "prompt" twice would silently lose one of them. This callback
// tracks where the parser is and records every repeated key with its path.
class DuplicateKeyFinder {
  public:
    bool operator()(int /*depth*/, json::parse_event_t event, json& parsed) {
        switch (event) {
            case json::parse_event_t::object_start:
                frames_.push_back(Frame{false, {}, 0, {}});
                break;
            case json::parse_event_t::array_start:
                frames_.push_back(Frame{true, {}, 0, {}});
                break;
            case json::parse_event_t::key:
                if (!frames_.empty()) {
                    Frame& top = frames_.back();
                    top.key = parsed.get<std::string>();
                    if (!top.keys.insert(top.key).second) duplicates_.push_back(Path());
                }
                break;
            case json::parse_event_t::object_end:
            case json::parse_event_t::array_end:
                if (!frames_.empty()) frames_.pop_back();
                ElementDone();
                break;
            case json::parse_event_t::value:
                ElementDone();
                break;
        }
        return true;
    }
    const std::vector<std::string>& duplicates() const { return duplicates_; }

  private:
    struct Frame {
        bool array;
        std::string key;
        size_t index;
        std::set<std::string> keys;
    };

    void ElementDone() {
        if (!frames_.empty() && frames_.back().array) ++frames_.back().index;
    }
    std::string Path() const {
        std::string path;
        for (const Frame& f : frames_) {
            if (f.array) {
                path += "[" + std::to_string(f.index) + "]";
            } else {
                if (!path.empty()) path += ".";
                path += f.key;
            }
        }
        return path;
    }

    std::vector<Frame> frames_;
    std::vector<std::string> duplicates_;
};

// A quiz nests four levels deep (the quiz, its list of questions, a
// question, the accepted forms of an answer); only a crafted file goes further, and parsing or walking a deep
// one costs memory and time for every level. Brackets inside strings do not
// count. Returns the offset of the first bracket too deep, or npos.
constexpr int kMaxJsonDepth = 4;

size_t FirstTooDeep(const std::string& text) {
    int depth = 0;
    bool inString = false;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            if (++depth > kMaxJsonDepth) return i;
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return std::string::npos;
}

// nlohmann's message reads "[json.exception.parse_error.101] parse error at
// line 3, column 5: syntax error ..."; keep the part after the position.
std::string SyntaxErrorText(const json::parse_error& e) {
    std::string message = e.what();
    size_t column = message.find("column ");
    size_t colon = column == std::string::npos ? column : message.find(": ", column);
    return colon == std::string::npos ? message : message.substr(colon + 2);
}

void LineAndColumn(const std::string& text, size_t byteOffset, size_t& line, size_t& column) {
    line = 1;
    column = 1;
    for (size_t i = 0; i < byteOffset && i < text.size(); ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else if ((static_cast<uint8_t>(text[i]) & 0xC0) != 0x80) {
            ++column;
        }
    }
}

void ReadQuestion(SourceReader& reader, const json& object, size_t index, const QuizSource& quiz,
                  const std::string& baseDir, QuizSourceQuestion& question,
                  QuizQuestionMedia& media) {
    auto field = [index](const char* key) { return QuestionField(index, key); };
    if (!object.is_object()) {
        reader.Problem("questions[" + std::to_string(index) + "]", "must be an object");
        return;
    }
    reader.RejectUnknownKeys(object, kQuestionKeys, field(""));

    reader.Answer(object, "answer1", field("answer1"), question.answer1, question.otherAnswers1);
    // A text quiz is a list of one answer field per question: a second answer
    // or an extra text would be stored and never seen.
    if (quiz.mediaKind == MEDIA_NONE) {
        if (object.contains("answer2")) reader.Problem(field("answer2"), kTextQuizOneAnswer);
        for (const char* key : {"extraText", "extraText2"}) {
            if (object.contains(key)) reader.Problem(field(key), kTextQuizNoExtraText);
        }
    } else if (quiz.answersPerQuestion == 2) {
        reader.Answer(object, "answer2", field("answer2"), question.answer2,
                      question.otherAnswers2);
    } else if (object.contains("answer2")) {
        reader.Problem(field("answer2"), "given, but answersPerQuestion is 1");
    }
    reader.Text(object, "prompt", field("prompt"), question.prompt, false);

    const int mode = quiz.displayMode;
    if (quiz.mediaKind != MEDIA_NONE) {  // a text quiz's were refused above
        if (ModeCarriesExtraText(mode)) {
            reader.Text(object, "extraText", field("extraText"), question.extraText, false);
        } else if (object.contains("extraText")) {
            reader.Problem(field("extraText"),
                           "display mode " + std::to_string(mode) + " stores no extra text");
        }
        if (ModeCarriesSecondExtraText(mode)) {
            reader.Text(object, "extraText2", field("extraText2"), question.extraText2, false);
        } else if (object.contains("extraText2")) {
            reader.Problem(field("extraText2"), "stored only in display modes 3 and 6");
        }
    }

    const bool pictureQuiz = quiz.mediaKind == MEDIA_PICTURE;
    const bool clipQuiz = quiz.mediaKind == MEDIA_SOUND || quiz.mediaKind == MEDIA_VIDEO;
    if (pictureQuiz) {
        if (!object.contains("picture")) reader.Problem(field("picture"), "missing (picture quiz)");
        reader.Path(object, "picture", field("picture"), baseDir, media.picture);
    } else if (object.contains("picture")) {
        reader.Problem(field("picture"), "only a picture quiz shows pictures");
    }
    if (object.contains("answerPicture")) {
        if (!pictureQuiz) {
            reader.Problem(field("answerPicture"), "only a picture quiz shows answer pictures");
        } else if (!ModeShowsAnswerPicture(mode)) {
            reader.Problem(field("answerPicture"), "shown only in display modes 1, 3 and 6");
        } else {
            reader.Path(object, "answerPicture", field("answerPicture"), baseDir,
                        media.answerPicture);
        }
    }
    if (clipQuiz) {
        if (!object.contains("clip")) {
            reader.Problem(field("clip"),
                           std::string("missing (") + kMediaNames[quiz.mediaKind] + " quiz)");
        }
        reader.Path(object, "clip", field("clip"), baseDir, media.clip);
    } else if (object.contains("clip")) {
        reader.Problem(field("clip"), "only a sound or video quiz plays clips");
    }
}

void ReadQuiz(SourceReader& reader, const json& root, const std::string& baseDir,
              QuizProject& project) {
    QuizSource& quiz = project.quiz;
    reader.RejectUnknownKeys(root, kQuizKeys, "");

    reader.Text(root, "title", "title", quiz.title, true);
    reader.Text(root, "author", "author", quiz.author, false);
    reader.Text(root, "explanations", "explanations", quiz.explanations, false);
    reader.Text(root, "answerLabel1", "answerLabel1", quiz.answerLabel1, false);
    reader.Text(root, "answerLabel2", "answerLabel2", quiz.answerLabel2, false);

    auto media = root.find("media");
    if (media != root.end()) {
        bool known = false;
        for (int kind = 0; kind < 4 && media->is_string(); ++kind) {
            if (*media == kMediaNames[kind]) {
                quiz.mediaKind = kind;
                known = true;
            }
        }
        if (!known)
            reader.Problem("media", "must be \"text\", \"picture\", \"sound\" or \"video\"");
    }
    quiz.displayMode = reader.Integer(root, "displayMode", 0, 6, 0, "a whole number from 0 to 6");
    quiz.answersPerQuestion = reader.Integer(root, "answersPerQuestion", 1, 2, 1, "1 or 2");
    if (quiz.mediaKind == MEDIA_NONE && quiz.answersPerQuestion == 2) {
        reader.Problem("answersPerQuestion", kTextQuizOneAnswer);
    }
    auto accents = root.find("accents");
    if (accents != root.end()) {
        if (*accents == "tolerated") {
            quiz.accentsTolerated = true;
        } else if (*accents != "strict") {
            reader.Problem("accents", "must be \"strict\" or \"tolerated\"");
        }
    }

    auto color = root.find("color");
    if (color != root.end()) {
        uint8_t rgb[3];
        if (color->is_string() && ParseColor(color->get<std::string>(), rgb)) {
            quiz.colorRed = rgb[0];
            quiz.colorGreen = rgb[1];
            quiz.colorBlue = rgb[2];
        } else {
            reader.Problem("color", "must be \"#RRGGBB\" with hexadecimal digits");
        }
    }

    auto questions = root.find("questions");
    if (questions == root.end()) {
        reader.Problem("questions", "missing");
    } else if (!questions->is_array() || questions->empty()) {
        reader.Problem("questions", "must be a list of at least one question");
    } else if (questions->size() > static_cast<size_t>(QUIZ_MAX_QUESTIONS)) {
        reader.Problem("questions", std::to_string(questions->size()) + " questions, at most " +
                                        std::to_string(QUIZ_MAX_QUESTIONS));
    } else {
        quiz.questions.resize(questions->size());
        project.media.resize(questions->size());
        for (size_t i = 0; i < questions->size(); ++i) {
            ReadQuestion(reader, (*questions)[i], i, quiz, baseDir, quiz.questions[i],
                         project.media[i]);
        }
    }

    auto codes = root.find("codes");
    if (codes == root.end()) return;
    if (!codes->is_array()) {
        reader.Problem("codes", "must be a list of texts");
        return;
    }
    // The player shows code k for a score of k + 1: more codes than
    // questions could never be shown.
    size_t questionCount = questions != root.end() && questions->is_array() ? questions->size() : 0;
    if (codes->size() > questionCount) {
        reader.Problem("codes", std::to_string(codes->size()) +
                                    " codes, at most one per question (" +
                                    std::to_string(questionCount) + ")");
        return;
    }
    quiz.codes.resize(codes->size());
    for (size_t i = 0; i < codes->size(); ++i) {
        reader.ConvertText((*codes)[i], "codes[" + std::to_string(i) + "]", quiz.codes[i], false,
                           true);
    }
}

}  // namespace

bool ModeCarriesExtraText(int mode) {
    return mode >= 1 && mode <= 6 && mode != 5;
}
bool ModeCarriesSecondExtraText(int mode) {
    return mode == 3 || mode == 6;
}
bool ModeShowsAnswerPicture(int mode) {
    return mode == 1 || mode == 3 || mode == 6;
}

const char* MediaKindName(int mediaKind) {
    return mediaKind >= 0 && mediaKind < 4 ? kMediaNames[mediaKind] : nullptr;
}

bool ParseQuizJson(const std::string& jsonText, const std::string& sourceName,
                   const std::string& baseDir, QuizProject& out,
                   std::vector<std::string>& problems) {
    out = QuizProject{};
    const size_t tooDeep = FirstTooDeep(jsonText);
    if (tooDeep != std::string::npos) {
        size_t line, column;
        LineAndColumn(jsonText, tooDeep, line, column);
        problems.push_back(sourceName + ":" + std::to_string(line) + ":" + std::to_string(column) +
                           ": nested more than " + std::to_string(kMaxJsonDepth) +
                           " levels deep; a quiz needs no more");
        return false;
    }
    json root;
    DuplicateKeyFinder duplicates;
    try {
        root = json::parse(jsonText, std::ref(duplicates));
    } catch (const json::parse_error& e) {
        size_t line, column;
        LineAndColumn(jsonText, e.byte > 0 ? e.byte - 1 : 0, line, column);
        problems.push_back(sourceName + ":" + std::to_string(line) + ":" + std::to_string(column) +
                           ": " + SyntaxErrorText(e));
        return false;
    } catch (const json::exception& e) {
        // A number beyond a double (1e999) is refused by the reader as out
        // of range, without a position: "[json.exception...] number overflow ...".
        const std::string message = e.what();
        const size_t bracket = message.find("] ");
        problems.push_back(sourceName + ": " +
                           (bracket == std::string::npos ? message : message.substr(bracket + 2)));
        return false;
    }
    SourceReader reader(sourceName, problems);
    for (const std::string& path : duplicates.duplicates()) {
        reader.Problem(path, "given twice; keep one");
    }
    if (!root.is_object()) {
        reader.Problem("(top level)", "must be an object holding the quiz");
        reader.Summarise();
        return false;
    }
    ReadQuiz(reader, root, baseDir, out);
    reader.Summarise();
    return reader.count() == 0;
}

bool LoadQuizJson(const std::string& path, QuizProject& out, std::vector<std::string>& problems) {
    out = QuizProject{};
    std::vector<uint8_t> bytes;
    std::string why;
    if (!ReadRegularFile(path, MAX_QUIZ_JSON_BYTES, bytes, why)) {
        problems.push_back(path + ": cannot read: " + why);
        return false;
    }
    const std::string text(bytes.begin(), bytes.end());
    return ParseQuizJson(text, path, std::filesystem::u8path(path).parent_path().u8string(), out,
                         problems);
}

std::string QuizJsonText(const QuizProject& project) {
    return DocumentJsonText(DocumentFromProject(project, std::string()));
}
