// Applies a verdict to the page: result label, solved question, extra texts,
// answer pictures, whole-quiz check, score and reward code.
#pragma once

#include <windows.h>

#include "quiz/quiz_data_win.h"

void JudgeAnswer(QuizData* quiz, HWND page, int fieldIdentifier);
void UpdateScore(QuizData* quiz, HWND page);
