// Fills the quiz record from the resources "PATCH" 104 and 105 of a module and
// from the settings block. Every failure is reported (ReportMessage) and the
// record is left in one of the four end states; the call always returns.
#pragma once

#include <windows.h>

#include "quiz/quiz_data_win.h"

// Reads the resources of `module` (the player passes its own module; tests
// pass a resource-only DLL loaded as data).
void LoadQuizFromModule(QuizData* quiz, HMODULE module);

// The player's entry: LoadQuizFromModule with the running executable.
void LoadQuiz(QuizData* quiz);
