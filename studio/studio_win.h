// Brelo Studio's window: the quiz document shown in standard controls, every
// edit turned into an operation on the document, the problems of brelo-make
// check listed as the teacher types.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Commands that the menu reaches through a file dialog, taking the chosen
// path (const wchar_t*) in lParam; tests send them directly. Each returns
// TRUE when done.
constexpr UINT WM_STUDIO_OPEN = WM_APP + 1;
constexpr UINT WM_STUDIO_SAVE_AS = WM_APP + 2;
constexpr UINT WM_STUDIO_IMPORT = WM_APP + 3;
constexpr UINT WM_STUDIO_CREATE = WM_APP + 4;
// The class's results: lParam is a StudioResultsRequest.
constexpr UINT WM_STUDIO_RESULTS = WM_APP + 6;
struct StudioResultsRequest {
    std::vector<std::wstring> answersFiles;
    std::wstring spreadsheet;  // the CSV file to write
};
// Runs the pending check at once (it otherwise waits for a pause in typing).
constexpr UINT WM_STUDIO_CHECK_NOW = WM_APP + 5;

// Control identifiers.
enum StudioControl {
    ID_TITLE = 100,
    ID_AUTHOR,
    ID_EXPLANATIONS,
    ID_LABEL1,
    ID_LABEL2,
    ID_KIND,
    ID_MODE,
    ID_ANSWERS,
    ID_COLOR,
    ID_SWATCH,
    ID_CODES,
    ID_LIST,
    ID_ADD,
    ID_DELETE,
    ID_UP,
    ID_DOWN,
    ID_PROMPT,
    ID_ANSWER1,
    ID_ANSWER2,
    ID_EXTRA,
    ID_EXTRA2,
    ID_PICTURE,
    ID_ANSWER_PICTURE,
    ID_CLIP,
    ID_PICTURE_BROWSE,
    ID_ANSWER_PICTURE_BROWSE,
    ID_CLIP_BROWSE,
    ID_THUMBNAIL,
    ID_PROBLEMS,
    ID_OTHER_ANSWERS1,
    ID_OTHER_ANSWERS2,
    ID_ACCENTS,
    ID_LABEL_OFFSET = 500,  // the label of control c is c + ID_LABEL_OFFSET
};

// Menu commands.
enum StudioCommand {
    IDM_NEW = 900,
    IDM_OPEN,
    IDM_SAVE,
    IDM_SAVE_AS,
    IDM_IMPORT,
    IDM_QUIT,
    IDM_TRY,
    IDM_CREATE,
    IDM_RESULTS,
};

constexpr int IDR_STUDIO_PLAYER = 1;  // RT_RCDATA: the player every quiz is built into
constexpr const wchar_t* STUDIO_CLASS = L"BreloStudio";

// How questions are put to the teacher; tests answer them without a box.
using StudioAskFunction = int (*)(HWND owner, const std::wstring& text, UINT style);
extern StudioAskFunction g_studioAsk;

// Creates the window (opening `file` when not empty) and shows it.
HWND CreateStudioWindow(HINSTANCE instance, const std::wstring& file);

// The message loop with the window's keyboard handling; returns the exit code.
int RunStudioLoop(HWND window);
