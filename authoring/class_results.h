// A class's results: every pupil's answers file judged against the quiz with
// the player's own rules (ChooseVerdict, the score and reward code of the
// header), gathered in one table and written as a spreadsheet a French
// office suite opens directly (UTF-8 with BOM, ';' between fields, CR LF).
// Pure code shared by `brelo-make results` and the Studio.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "quiz/quiz_record.h"

// The quiz of a program or of its JSON source, loaded as the player loads it.
// False with `error` ("<path>: <what>") when there is none.
bool LoadResultsQuiz(const std::string& path, QuizRecord& quiz, std::string& error);

struct PupilResult {
    std::string label;                  // UTF-8: the file's name, or its folder's
    std::vector<std::string> typed;     // per answer field, Windows-1252
    std::vector<const char*> verdicts;  // per answer field, one of VERDICT_TEXTS
    int32_t score = 0;
    std::string code;  // Windows-1252, empty without a reward
};

// One answers file judged. False with `why` when the bytes cannot be an
// answers file (a NUL byte, or longer than the quiz's fields could fill).
// `warning` is set when the file has more lines than the quiz has fields.
bool JudgeAnswersFile(const QuizRecord& quiz, const std::vector<uint8_t>& bytes,
                      PupilResult& result, std::string& why, std::string& warning);

// The label of the answers file at `path` for the quiz program or JSON at
// `quizPath`: its name without extension, or its folder's name when the file
// bears the quiz's own name (every pupil's copy writes "quiz.txt").
std::string PupilLabel(const std::string& path, const std::string& quizPath);

// The spreadsheet: a header row, one row per pupil (label, score, code, then
// per answer field the typed text and its verdict), and a last row with, for
// each question, the share of pupils who solved it.
std::string ClassResultsCsv(const QuizRecord& quiz, const std::vector<PupilResult>& pupils);

// The class average score, 0 for no pupil.
double ClassAverage(const std::vector<PupilResult>& pupils);

// A class judged from the answers files and folders a teacher names: each
// folder is searched (not recursively) for ".txt" files, in name order.
// `problems` holds one line per file skipped, folder unreadable or file with
// a warning ("<path>: skipped: <why>", "<path>: warning: <what>"); `trouble`
// is set when something could not be judged.
struct ClassResults {
    std::vector<PupilResult> pupils;
    std::vector<std::string> problems;
    bool trouble = false;
};
ClassResults JudgeClass(const QuizRecord& quiz, const std::string& quizPath,
                        const std::vector<std::string>& paths);

// The short table shown to the teacher: pupil, score and code (UTF-8), one
// line each under a header line of the front end's own words.
struct ClassTableHeader {
    const char* pupil = "pupil";
    const char* score = "score";
    const char* code = "code";
};
std::string ClassResultsTable(const QuizRecord& quiz, const std::vector<PupilResult>& pupils,
                              const ClassTableHeader& header = {});
