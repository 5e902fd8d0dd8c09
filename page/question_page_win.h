// The question page: dialog 1001, every control created at WM_INITDIALOG from
// the quiz record.
#pragma once

#include <windows.h>

extern WNDPROC g_prevEditProc;  // the "Edit" procedure the answer fields had before subclassing
extern HBRUSH g_brushGreen;     // 0,255,0: result labels reading "BRAVO"
extern HBRUSH g_brushAccents;   // 135,206,250: result labels reading "Accents"

// What a page rebuilt for another DPI starts from (CreateDialogParam's
// lParam; without it the page takes its window's DPI and the answers file).
struct PageRebuild {
    int dpi;
    const char* answers;  // one CR LF line per field, as a save writes them
    size_t size;
};

INT_PTR CALLBACK QuestionPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Question pictures are laid out from their headers and decoded when their
// label first paints, the rest one at a time at idle. This decodes the next
// one still waiting; false when none is left.
bool LoadNextPendingPicture(HWND page);
