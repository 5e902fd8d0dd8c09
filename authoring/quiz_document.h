// The quiz as an editor holds it: every text in UTF-8 exactly as typed (even
// a character the player cannot show, which the checks then name), media
// paths as the JSON file writes them. The JSON text is the one form in which
// the document is checked, saved and built, so an editor and brelo-make see
// the same quiz and report the same problems.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "authoring/quiz_resources.h"

struct DocumentQuestion {
    std::string prompt;
    std::string answer1;
    std::string answer2;
    std::string extraText;
    std::string extraText2;
    std::string picture;
    std::string answerPicture;
    std::string clip;
    // The other accepted forms of each answer: the JSON then lists them after it.
    std::vector<std::string> otherAnswers1;
    std::vector<std::string> otherAnswers2;
};

struct QuizDocument {
    std::string title;
    std::string author;
    std::string explanations;
    std::string answerLabel1;
    std::string answerLabel2;
    int mediaKind = 0;  // 0 text, 1 picture, 2 sound, 3 video
    int displayMode = 0;
    int answersPerQuestion = 1;
    bool accentsTolerated = false;
    uint8_t color[3] = {90, 95, 150};
    std::vector<DocumentQuestion> questions;
    std::vector<std::string> codes;  // code k is shown for a score of k + 1
    std::string baseDir;             // relative media paths are read from here
};

// A field as the checks name it: "title", "questions[3].answer1", "codes[2]".
struct DocumentField {
    int question = -1;  // -1: a field of the quiz
    int index = -1;     // for "codes[i]"
    std::string key;    // the JSON key
};
DocumentField ParseFieldName(const std::string& name);

// The text fields by JSON key; null for a key that is not a text.
std::string* QuizTextField(QuizDocument& doc, const std::string& key);
std::string* QuestionTextField(DocumentQuestion& question, const std::string& key);

// A new quiz: one empty question.
QuizDocument NewDocument();

// Inserts an empty question at `at` (clamped), returning where it went.
size_t AddQuestion(QuizDocument& doc, size_t at);
bool DeleteQuestion(QuizDocument& doc, size_t index);
// Swaps question `index` with its neighbour `delta` (-1 or +1) away.
bool MoveQuestion(QuizDocument& doc, size_t index, int delta);

// The JSON text of the document; brelo-make's unpack writes the same form.
std::string DocumentJsonText(const QuizDocument& doc);

// Reads whatever `jsonText` holds that fits the document, ignoring the rest:
// a damaged file opens as far as it can. False (and a new document) when the
// text is not a JSON object at all.
bool DocumentFromJson(const std::string& jsonText, const std::string& baseDir, QuizDocument& doc);

// The quiz a program carries, texts back in UTF-8.
QuizDocument DocumentFromProject(const QuizProject& project, const std::string& baseDir);

// One problem of the document: the field it is about and the text
// "<field>: <what is wrong>" as brelo-make check prints it.
struct DocumentProblem {
    DocumentField field;
    std::string text;
};

// The checks of brelo-make check, media files included. When `resources` is
// given and there is no problem, it receives the quiz's resources.
std::vector<DocumentProblem> CheckDocument(const QuizDocument& doc,
                                           std::vector<QuizResource>* resources = nullptr);

// Opens a JSON quiz or a program carrying one (media unpacked into
// `mediaDir`, created when needed). `fileProblems` receives what is wrong with
// the file itself. False with `error` when nothing could be read.
bool OpenDocument(const std::string& path, const std::string& mediaDir, QuizDocument& doc,
                  std::vector<std::string>& fileProblems, std::string& error);

// Saves the document as `jsonPath` with every media file beside it: files kept
// elsewhere are copied into its folder (under a free name) and the saved paths
// become relative. Each file is written whole or not at all. On success `doc`
// takes the saved paths and folder.
bool SaveDocument(QuizDocument& doc, const std::string& jsonPath, std::string& error);
