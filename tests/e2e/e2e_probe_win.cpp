// Looks into the running player for the end-to-end scripts:
//   e2e_probe dump         "name=text" per field and result label, score, code, focused control
//   e2e_probe close        asks every player to close, as its close box does
//   e2e_probe set N TEXT   puts TEXT in answer field N, as a paste would
//   e2e_probe click ID     clicks button ID of every player's page
//   e2e_probe windows      prints how many players show their window
//   e2e_probe boxes        prints "box=<text>" per message box shown, and presses its OK
//   e2e_probe spoil EXE    replaces the quiz content of EXE with bytes that do not decode
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "page/control_ids.h"

namespace {

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

constexpr int MESSAGE_BOX_TEXT = 0xFFFF;  // the static holding a message box's text

// Calls `act` for every top-level window of class `className` (and caption
// `caption` unless null).
template <typename Act>
int ForEachWindow(const char* className, const char* caption, Act act) {
    int count = 0;
    for (HWND w = FindWindowExA(nullptr, nullptr, className, caption); w != nullptr;
         w = FindWindowExA(nullptr, w, className, caption)) {
        act(w);
        ++count;
    }
    return count;
}

int Boxes() {
    ForEachWindow("#32770", "Brelo", [](HWND box) {
        if (GetDlgItem(box, MESSAGE_BOX_TEXT) == nullptr) return;
        std::printf("box=%s\n", TextOf(box, MESSAGE_BOX_TEXT));
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        for (int wait = 0; wait < 100 && IsWindow(box); ++wait) Sleep(20);  // seen once only
    });
    return 0;
}

// A content block of one byte cannot be read as stored nor deciphered.
int Spoil(const char* exe) {
    static const char junk[] = {'\x7F'};
    HANDLE update = BeginUpdateResourceA(exe, FALSE);
    if (update == nullptr) return 1;
    const bool put = UpdateResourceA(update, "PATCH", MAKEINTRESOURCEA(104),
                                     MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL),
                                     const_cast<char*>(junk), sizeof junk);
    return EndUpdateResourceA(update, !put) && put ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    int result = 2;
    if (std::strcmp(argv[1], "spoil") == 0 && argc == 3) result = Spoil(argv[2]);
    if (std::strcmp(argv[1], "boxes") == 0) result = Boxes();
    if (std::strcmp(argv[1], "windows") == 0) {
        std::printf("%d\n", ForEachWindow("Brelo", nullptr, [](HWND) {}));
        result = 0;
    }
    HWND main = FindWindowA("Brelo", nullptr);
    if (main == nullptr && result == 2) return 1;
    if (std::strcmp(argv[1], "dump") == 0) result = Dump(main);
    if (std::strcmp(argv[1], "close") == 0) {
        ForEachWindow("Brelo", nullptr, [](HWND w) { PostMessageA(w, WM_CLOSE, 0, 0); });
        result = 0;
    }
    if (std::strcmp(argv[1], "set") == 0 && argc == 4) {
        HWND page = PanelWith(main, ID_ANSWER_EDIT + 1);
        DWORD_PTR done = 0;
        result = SendMessageTimeoutA(GetDlgItem(page, ID_ANSWER_EDIT + std::atoi(argv[2])),
                                     WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3]),
                                     SMTO_ABORTIFHUNG, 5000, &done) &&
                         done
                     ? 0
                     : 1;
    }
    if (std::strcmp(argv[1], "click") == 0 && argc == 3) {
        static int id;
        id = std::atoi(argv[2]);
        ForEachWindow("Brelo", nullptr, [](HWND w) {
            HWND page = PanelWith(w, id);
            PostMessageA(page, WM_COMMAND, static_cast<WPARAM>(id),
                         reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
        });
        result = 0;
    }
    std::fflush(stdout);
    return result;
}
