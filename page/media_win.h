// Sound and video clips: one media player control per question, hosted by the
// platform's ATL host, playing the clip extracted to a temporary file.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include "page/media_logic.h"
#include "quiz/quiz_data_win.h"

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

// Page close and the end of the session: detaches every player's file, deletes the
// clip file, releases the players.
void CloseMediaPage();

// The entry of "atl.dll" that hosts a control in a window; null while the
// library is not loaded or lacks it (then no player can be made).
using AtlAxAttachControlFunction = HRESULT(WINAPI*)(IUnknown* control, HWND window,
                                                    IUnknown** container);
extern AtlAxAttachControlFunction g_AtlAxAttachControl;

// What the page's players are doing, for question q (from 1).
MediaState QuestionMediaState(int q);
bool HasQuestionPlayer(int q);
// The clip file written last and still present ("" when none).
const char* CurrentClipPath();

// The address handed to a player for a clip file: its full path in UTF-16.
// False (and `url` empty) when it does not fit in `urlSize` characters.
bool MakeClipUrl(const char* path, wchar_t* url, size_t urlSize);
