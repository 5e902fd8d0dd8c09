// The quiz source a teacher writes: one UTF-8 JSON file (described by
// tools/quiz.schema.json) naming the quiz's texts, its questions and the media
// files beside it. Reading it yields the writer's QuizSource with every text
// already in Windows-1252, plus the media paths resolved against the folder of
// the JSON file. Writing it back is the last step of `brelo-make unpack`.
#pragma once

#include <string>
#include <vector>

#include "quiz/quiz_writer.h"

// The media files of one question. Empty means none.
struct QuizQuestionMedia {
    std::string picture;        // picture quiz: shown with the question
    std::string answerPicture;  // picture quiz, display modes 1, 3, 6: replaces it once solved
    std::string clip;           // sound or video quiz: played with the question's buttons
};

struct QuizProject {
    QuizSource quiz;                       // texts in Windows-1252
    std::vector<QuizQuestionMedia> media;  // one entry per question, paths in UTF-8
};

// Reads a quiz source held in `jsonText`. Every problem found is appended to
// `problems` as one line "<sourceName>: <field>: <what is wrong>" (or
// "<sourceName>:<line>:<column>: ..." for malformed JSON); the result is true
// when there is none. Relative media paths are joined to `baseDir`; files are
// not opened here (see quiz_media.h).
bool ParseQuizJson(const std::string& jsonText, const std::string& sourceName,
                   const std::string& baseDir, QuizProject& out,
                   std::vector<std::string>& problems);

// ParseQuizJson on the file at `path` (UTF-8), media relative to its folder.
bool LoadQuizJson(const std::string& path, QuizProject& out, std::vector<std::string>& problems);

// The JSON text of a quiz: texts converted back to UTF-8, media paths written
// as they are held in `project` (unpack gives names relative to the JSON
// file). ParseQuizJson of the result gives the same quiz back.
std::string QuizJsonText(const QuizProject& project);

// Names of the media kinds as the JSON file spells them ("text", "picture",
// "sound", "video"); null for a value out of range.
const char* MediaKindName(int mediaKind);

// Which stored pieces each display mode carries: the content block has one
// extra text per question in modes 1, 2, 4, two in modes 3 and 6, none in 0
// and 5; answer pictures are shown in modes 1, 3 and 6.
bool ModeCarriesExtraText(int mode);
bool ModeCarriesSecondExtraText(int mode);
bool ModeShowsAnswerPicture(int mode);
