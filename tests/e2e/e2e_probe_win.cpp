// Looks into the running player for the end-to-end script:
//   e2e_probe dump    "name=text" per field and result label, score, code, focused control
//   e2e_probe close   asks the player to close, as its close box does
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int ID_ANSWER_EDIT = 4000;
constexpr int ID_RESULT_LABEL = 5000;
constexpr int ID_CODE_FIELD = 30;
constexpr int ID_SCORE_TEXT = 32;

// The child of the main window that holds control `id`: the page or the header.
HWND PanelWith(HWND main, int id) {
    for (HWND child = GetWindow(main, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetDlgItem(child, id) != nullptr) return child;
    }
    return nullptr;
}

// GetWindowText would not ask another process's edit control: WM_GETTEXT does.
const char* TextOf(HWND panel, int id) {
    static char text[300];
    text[0] = '\0';
    DWORD_PTR result = 0;
    if (HWND control = GetDlgItem(panel, id)) {
        SendMessageTimeoutA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text),
                            SMTO_ABORTIFHUNG, 5000, &result);
    }
    return text;
}

int Dump(HWND main) {
    HWND page = PanelWith(main, ID_ANSWER_EDIT + 1);
    HWND header = PanelWith(main, ID_SCORE_TEXT);
    if (page == nullptr) return 1;
    for (int n = 1; GetDlgItem(page, ID_ANSWER_EDIT + n) != nullptr; ++n) {
        std::printf("field%d=%s\n", n, TextOf(page, ID_ANSWER_EDIT + n));
        std::printf("label%d=%s\n", n, TextOf(page, ID_RESULT_LABEL + n));
    }
    std::printf("score=%s\n", TextOf(header, ID_SCORE_TEXT));
    std::printf("code=%s\n", TextOf(header, ID_CODE_FIELD));
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info);
    std::printf("focus=%d\n", info.hwndFocus != nullptr ? GetDlgCtrlID(info.hwndFocus) : 0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    HWND main = FindWindowA("Brelo", nullptr);
    if (argc < 2 || main == nullptr) return argc < 2 ? 2 : 1;
    int result = 2;
    if (std::strcmp(argv[1], "dump") == 0) result = Dump(main);
    if (std::strcmp(argv[1], "close") == 0) result = PostMessageA(main, WM_CLOSE, 0, 0) ? 0 : 1;
    std::fflush(stdout);
    return result;
}
