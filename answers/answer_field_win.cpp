// The answer fields' subclass procedure. Keys act when they are released (or
// pressed with Alt held), never on an ordinary key press.
#include "answers/answer_field_win.h"

#include <cstring>

#include "answers/answer_rules.h"
#include "answers/answers_save_win.h"
#include "answers/field_accessible_win.h"
#include "answers/scoring.h"
#include "answers/verdicts_win.h"
#include "page/control_ids.h"
#include "page/page_scroll.h"
#include "page/question_page_win.h"
#include "shell/shell_win.h"

namespace {

constexpr WPARAM SELECT_ALL_END = 260;

LRESULT PassOn(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    if (g_prevEditProc == nullptr) return DefWindowProcA(field, message, wParam, lParam);
    return CallWindowProcA(g_prevEditProc, field, message, wParam, lParam);
}

void JudgeField(HWND field) {
    JudgeAnswer(g_quiz, GetParent(field), GetDlgCtrlID(field));
}

void ScrollPage(HWND field, WPARAM request) {
    SendMessageA(GetParent(field), WM_VSCROLL, request, 0);
}

// Returns true when the key is consumed here.
bool OnKeyReleased(HWND field, WPARAM key) {
    switch (key) {
        case VK_RETURN:
            JudgeField(field);
            return true;
        case VK_UP:
        case VK_PRIOR:
            ScrollPage(field, SB_PAGEUP);
            return false;
        case VK_DOWN:
        case VK_NEXT:
            ScrollPage(field, SB_PAGEDOWN);
            return false;
        case VK_F1:
            FillUnsolvedFields(field);
            return false;
        case VK_F2:
            SaveAnswers(g_quiz);
            return false;
        default:
            return false;
    }
}

// Enter and Tab are handled as keys; as characters they would only beep.
bool IsSwallowedCharacter(WPARAM character) {
    return character == '\r' || character == '\t' || character == 0;
}

}  // namespace

LRESULT CALLBACK AnswerFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETFOCUS:
            SendMessageA(field, EM_SETSEL, 0, SELECT_ALL_END);
            break;
        case WM_KILLFOCUS:
            JudgeField(field);
            break;
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
            if (OnKeyReleased(field, wParam)) return 1;
            break;
        case WM_CHAR:
            if (IsSwallowedCharacter(wParam)) return 0;
            break;
        case WM_GETOBJECT: {
            const LRESULT object = AnswerFieldObject(field, wParam, lParam);
            if (object != 0) return object;
            break;
        }
        case WM_MOUSEWHEEL:
            // The wheel scrolls the page, not the field's one line; handled
            // here it cannot also travel up to the page and scroll twice.
            ForwardWheelToPage(GetParent(field), wParam);
            return 0;
        default:
            break;
    }
    return PassOn(field, message, wParam, lParam);
}

void FillUnsolvedFields(HWND field) {
    char text[ANSWER_TEXT_SIZE] = {};
    GetWindowTextA(field, text, sizeof text);
    // An empty field (or one of spaces) would only wipe every unsolved answer.
    char normalized[ANSWER_TEXT_SIZE];
    if (NormalizeAnswer(text, normalized) == 0 || g_quiz == nullptr) return;

    HWND page = GetParent(field);
    const int32_t fields = AnswerFieldCount(*g_quiz);
    for (int32_t n = 1; n <= fields; ++n) {
        char verdict[ANSWER_TEXT_SIZE] = {};
        GetDlgItemTextA(page, ID_RESULT_LABEL + n, verdict, sizeof verdict);
        if (std::strcmp(verdict, VERDICT_BRAVO) == 0) continue;
        HWND target = GetDlgItem(page, ID_ANSWER_EDIT + n);
        if (target == nullptr) continue;
        SetWindowTextA(target, text);
        // Each focus move judges the field left behind.
        SetFocus(target);
    }
    SetFocus(field);
}

void ForwardWheelToPage(HWND page, WPARAM wheelWParam) {
    const int32_t request = WheelScrollRequest(GET_WHEEL_DELTA_WPARAM(wheelWParam));
    if (request != 0 && page != nullptr) {
        PostMessageA(page, WM_VSCROLL, static_cast<WPARAM>(request), 0);
    }
}
