// Saving the pupil's answers: beside the program when its folder can be
// written, else in a fallback file of the user's own, and never over saved
// answers with a quiz that did not load.
#pragma once

#include <windows.h>

#include "answers/answers_file.h"
#include "quiz/quiz_data_win.h"

// Where this program's answers live. `fallback` is empty when the user's
// application data folder is unknown or the name does not fit.
struct AnswersPlaces {
    char besideProgram[ANSWERS_NAME_SIZE];
    char fallback[ANSWERS_NAME_SIZE];
};

// Works the places out for the program at `programPath` and the application
// data folder `appData`; null for either means the running module's path and
// the user's CSIDL_APPDATA folder. Also forgets that the fallback was
// announced. The player calls it once at start; tests point it elsewhere.
void FindAnswersPlaces(const char* programPath = nullptr, const char* appData = nullptr);
// The places found last (found for the running program on first use).
const AnswersPlaces& CurrentAnswersPlaces();

// The file the page restores the answers from: of the two places, the one
// that exists, or when both do the one written last (the fallback is only
// written when the file beside the program could not be). Null when neither
// exists.
const char* AnswersFileToRestore();

// True when the record holds the quiz the program carries and its page is
// there: only then may a save replace earlier answers.
bool AnswersCanBeSaved(const QuizData* quiz);

enum SaveMode {
    SAVE_SILENT,    // the session is ending: no box at all
    SAVE_ON_CLOSE,  // the caller asks what to do about a failure
    SAVE_REPORTED,  // "Sauver" and F2: every outcome but plain success is told
};

// Writes every answer field's text, one CRLF line each, beside the program,
// or in the fallback file when that fails; the first save to the fallback in
// a run tells where it went (not when silent). Returns false, leaving every
// earlier file as it was, when the answers could be written nowhere or when
// the quiz may not be saved (AnswersCanBeSaved).
bool SaveAnswers(QuizData* quiz, SaveMode mode = SAVE_REPORTED);
