#include "shell/dpi_win.h"

#include "shell/dpi_scale.h"

namespace {

// The awareness values of the newer calls, which older SDK headers lack.
const HANDLE PER_MONITOR_AWARE_V2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
constexpr int PROCESS_PER_MONITOR_AWARE = 2;

using SetContextFunction = BOOL(WINAPI*)(HANDLE);
using SetAwarenessFunction = HRESULT(WINAPI*)(int);
using DpiForWindowFunction = UINT(WINAPI*)(HWND);

template <typename Function>
Function Lookup(HMODULE module, const char* name) {
    if (module == nullptr) return nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

int32_t SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : DESIGN_DPI;
}

}  // namespace

void BecomeDpiAware() {
    HMODULE user = GetModuleHandleA("user32.dll");
    if (auto setContext = Lookup<SetContextFunction>(user, "SetProcessDpiAwarenessContext")) {
        if (setContext(PER_MONITOR_AWARE_V2)) return;
    }
    if (HMODULE shcore = LoadLibraryA("shcore.dll")) {
        auto setAwareness = Lookup<SetAwarenessFunction>(shcore, "SetProcessDpiAwareness");
        // shcore stays loaded: the awareness it set belongs to the process.
        if (setAwareness != nullptr && SUCCEEDED(setAwareness(PROCESS_PER_MONITOR_AWARE))) return;
    }
    SetProcessDPIAware();
}

int32_t WindowDpi(HWND window) {
    HMODULE user = GetModuleHandleA("user32.dll");
    if (auto forWindow = Lookup<DpiForWindowFunction>(user, "GetDpiForWindow")) {
        const UINT dpi = window != nullptr ? forWindow(window) : 0;
        if (dpi != 0) return static_cast<int32_t>(dpi);
    }
    return SystemDpi();
}

HFONT ScaledCopyOfFont(HFONT font, int32_t dpi) {
    LOGFONTA description = {};
    if (font == nullptr || GetObjectA(font, sizeof description, &description) == 0) return nullptr;
    const int32_t systemDpi = SystemDpi();
    description.lfHeight = MulDiv(description.lfHeight, dpi, systemDpi);
    description.lfWidth = MulDiv(description.lfWidth, dpi, systemDpi);
    return CreateFontIndirectA(&description);
}
