// QuizData: the quiz record plus the fonts, brushes and panel handles the
// windows paint with. Owns every drawing object it holds and deletes each once.
#pragma once

#include <windows.h>

#include "quiz/quiz_record.h"

struct QuizData : QuizRecord {
    // Fonts for the DPI of the windows (heights below are at 96 DPI).
    HFONT pageFont = nullptr;      // made by the page build (height 15, weight 100)
    HFONT textFont = nullptr;      // "Arial", cell height 25, weight 400
    HFONT emphasisFont = nullptr;  // default face, height -15, bold italic
    HFONT guiFont = nullptr;       // the platform's default GUI font
    HWND hQuestionPage = nullptr;
    HBRUSH quizBrush = nullptr;        // the quiz colour
    HBRUSH brushRed = nullptr;         // 255,0,0: "FAUX"
    HBRUSH brushOrange = nullptr;      // 255,100,0: "Anagramme"
    HBRUSH brushGold = nullptr;        // 255,203,38: the hints
    HBRUSH brushLightYellow = nullptr; // 255,255,192: list layout question texts
    HWND hHeaderPanel = nullptr;
    // Set by the loader when the record holds the quiz the program carries
    // (not the sample quiz, not the empty record of a failed load): only
    // then do the answer fields match the saved answers.
    bool holdsOwnQuiz = false;

    QuizData();
    ~QuizData();

    // Replaces quizBrush with a solid brush of the current quiz colour.
    void RemakeQuizBrush();
    // Replaces pageFont (the page build makes it; the record deletes it).
    void SetPageFont(HFONT font);
    // Remakes textFont, emphasisFont and guiFont for windows at `dpi`; the
    // windows made afterwards take the new ones.
    void MakeFontsFor(int32_t dpi);
};
