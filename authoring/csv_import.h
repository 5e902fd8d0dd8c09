// Questions from a table saved by a spreadsheet as CSV. One row per question,
// in this column order (the last three may be left out):
//   question ; réponse 1 ; réponse 2 ; texte en plus ; image ou clip
// The separator (';', ',' or tab) is the one the first row uses most; the
// text is UTF-8 (with or without its byte order mark) or else Windows-1252.
// Fields may be quoted, holding separators, doubled quotes and line breaks.
// A first row whose first cell starts with "question" is a header and skipped.
#pragma once

#include <string>
#include <vector>

#include "authoring/quiz_document.h"

constexpr size_t CSV_MIN_COLUMNS = 2;
constexpr size_t CSV_MAX_COLUMNS = 5;

struct CsvImport {
    std::vector<DocumentQuestion> questions;  // media in `picture`, relative to the table
    std::vector<std::string> problems;        // "ligne N : ..." (French, shown as is)
    char separator = ';';
    bool header = false;
};

CsvImport ImportCsv(const std::string& bytes);

// Adds the imported questions to `doc`, replacing it when it is a new, empty
// quiz. The media column becomes the picture of a picture quiz and the clip of
// a sound or video quiz, its path made relative to the table's folder.
void AppendImported(QuizDocument& doc, const CsvImport& import, const std::string& tableDir);
