// Times the player's start-up: from CreateProcess to the moment its thread
// first waits for input with nothing left to do, that is once the main
// window and both panels have been made and painted: the first screen of the
// page, whatever is out of view waiting for idle time.
// Each run then closes the window the way a user does (WM_CLOSE).
//   startup_timer <player.exe> [runs]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Found {
    DWORD processId;
    HWND window;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM lParam) {
    Found* found = reinterpret_cast<Found*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[16] = "";
    GetClassNameA(window, name, sizeof name);
    if (owner == found->processId && lstrcmpA(name, "Brelo") == 0 && IsWindowVisible(window)) {
        found->window = window;
        return FALSE;
    }
    return TRUE;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

// One start: the time to the first idle wait, or a negative value on failure.
double TimeOneStart(const char* player) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    char commandLine[MAX_PATH + 2];
    std::snprintf(commandLine, sizeof commandLine, "\"%s\"", player);
    LARGE_INTEGER start, idle;
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(player, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::fprintf(stderr, "cannot start %s (error %lu)\n", player, GetLastError());
        return -1;
    }
    const DWORD waited = WaitForInputIdle(process.hProcess, 120000);
    QueryPerformanceCounter(&idle);
    Found found = {process.dwProcessId, nullptr};
    EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&found));
    double result = Milliseconds(start, idle);
    if (waited != 0 || found.window == nullptr) {
        std::fprintf(stderr, "the player showed no window (wait result %lu)\n", waited);
        result = -1;
    } else {
        PostMessageA(found.window, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: startup_timer <player.exe> [runs]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    // A first start warms wine's and the system's caches; it is not counted.
    if (TimeOneStart(argv[1]) < 0) return 1;
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double ms = TimeOneStart(argv[1]);
        if (ms < 0) return 1;
        std::printf("run %d: %.0f ms\n", i + 1, ms);
        times.push_back(ms);
    }
    std::sort(times.begin(), times.end());
    std::printf(
        "startup to first full paint: median %.0f ms, best %.0f ms, worst %.0f ms (%d runs)\n",
        times[times.size() / 2], times.front(), times.back(), runs);
    return 0;
}
