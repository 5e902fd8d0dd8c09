// What a screen reader learns about an answer field: the standard edit
// object, named after its question and answer instead of the text beside it.
#pragma once

#include <windows.h>

// The reply to WM_GETOBJECT for an answer field of the page; 0 (let the edit
// control answer) for any object but the client area.
LRESULT AnswerFieldObject(HWND field, WPARAM flags, LPARAM objectId);
