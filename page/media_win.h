// Sound and video clips: one media player control per question, hosted by the
// platform's ATL host, playing the clip extracted to a temporary file.
#pragma once

#include <windows.h>

#include "quiz/quiz_data_win.h"

constexpr int MAX_MEDIA_QUESTIONS = 96;

// Only for sound and video quizzes: loads "atl.dll", finds AtlAxAttachControl,
// initialises COM.
void MediaHostStartup(QuizData* quiz);
// Only for sound and video quizzes: destroys `mainWindow`, ends COM, unloads atl.dll.
void MediaHostShutdown(QuizData* quiz, HWND mainWindow);

// Makes question q's player in `host`; false when it cannot (the page goes on
// building: the question then shows without a player).
bool CreateQuestionPlayer(HWND page, int q, HWND host);

// WM_COMMAND of the page in sound and video quizzes; returns FALSE.
INT_PTR OnMediaCommand(HWND page, WPARAM wParam);

// Page close: detaches every player's file, deletes the clip file, releases the players.
void CloseMediaPage();
