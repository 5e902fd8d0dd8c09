// Looks into a running player from outside, as a pupil's eyes would: finds
// its window and prints the texts of its answer fields, result labels, score
// and code and which control has the focus; and closes it. The end-to-end script drives the
// keyboard and mouse with xdotool and asks this program what the player shows.
//
//   e2e_probe dump          one "name=text" line per field, label, score, code, focus
//   e2e_probe close         asks the player to close, as its close box does
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int ID_ANSWER_EDIT = 4000;
constexpr int ID_RESULT_LABEL = 5000;
constexpr int ID_CODE_FIELD = 30;
constexpr int ID_SCORE_TEXT = 32;

struct Player {
    HWND main = nullptr;
    HWND page = nullptr;
    HWND header = nullptr;
};

Player FindPlayer() {
    Player player;
    player.main = FindWindowA("Brelo", nullptr);
    if (player.main == nullptr) return player;
    for (HWND child = GetWindow(player.main, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetDlgItem(child, ID_ANSWER_EDIT + 1) != nullptr) player.page = child;
        if (GetDlgItem(child, ID_SCORE_TEXT) != nullptr) player.header = child;
    }
    return player;
}

// WM_GETTEXT crosses the process boundary; GetWindowText would not ask an
// edit control of another process for its text.
bool TextOf(HWND control, char* text, int size) {
    text[0] = '\0';
    DWORD_PTR result = 0;
    if (control == nullptr) return false;
    return SendMessageTimeoutA(control, WM_GETTEXT, size, reinterpret_cast<LPARAM>(text),
                               SMTO_ABORTIFHUNG, 5000, &result) != 0;
}

int FocusedId(HWND main) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(main, nullptr), &info)) return 0;
    return info.hwndFocus != nullptr ? GetDlgCtrlID(info.hwndFocus) : 0;
}

int Dump() {
    const Player player = FindPlayer();
    if (player.page == nullptr) return 1;
    char text[300];
    for (int n = 1; GetDlgItem(player.page, ID_ANSWER_EDIT + n) != nullptr; ++n) {
        TextOf(GetDlgItem(player.page, ID_ANSWER_EDIT + n), text, sizeof text);
        std::printf("field%d=%s\n", n, text);
        TextOf(GetDlgItem(player.page, ID_RESULT_LABEL + n), text, sizeof text);
        std::printf("label%d=%s\n", n, text);
    }
    TextOf(GetDlgItem(player.header, ID_SCORE_TEXT), text, sizeof text);
    std::printf("score=%s\n", text);
    TextOf(GetDlgItem(player.header, ID_CODE_FIELD), text, sizeof text);
    std::printf("code=%s\n", text);
    std::printf("focus=%d\n", FocusedId(player.main));
    return 0;
}

int Close() {
    const Player player = FindPlayer();
    if (player.main == nullptr) return 1;
    PostMessageA(player.main, WM_CLOSE, 0, 0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    int result = 2;
    if (std::strcmp(argv[1], "dump") == 0) result = Dump();
    if (std::strcmp(argv[1], "close") == 0) result = Close();
    std::fflush(stdout);
    return result;
}
