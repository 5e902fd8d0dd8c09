// The question page: dialog 1001, its controls made from the quiz record, the
// rows in view as it starts and is placed, the others at idle.
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

// Makes every row still waiting: whatever may reach a field or move the
// rows (the pupil's input, a reflow) needs the whole page.
void FinishPageRows(HWND page);

// One step of the page's idle-time work: makes the next row still waiting,
// or else decodes the next question picture still waiting (pictures are laid
// out from their headers and decoded when their label first paints). False
// when nothing is left.
bool DoPageIdleStep(HWND page);
