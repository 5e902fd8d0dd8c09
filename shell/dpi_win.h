// Dots per inch of the monitor a window is on. The player asks to be told
// each monitor's own scale (per-monitor awareness, version 2 where Windows has
// it) and lays every window out for it through ScaleToDpi.
#pragma once

#include <windows.h>

#include <cstdint>

// Chooses the best awareness this Windows offers, looked up at run time so
// the player still starts where the newer calls do not exist: per monitor v2
// (Windows 10 1703), per monitor (8.1), then system-wide (Vista). Must come
// before the first window is made.
void BecomeDpiAware();

// The DPI `window` is laid out for: its monitor's under per-monitor
// awareness, the system's otherwise (96 when nothing answers).
int32_t WindowDpi(HWND window);

// A copy of `font` whose height is scaled from the system's DPI to `dpi`, for
// the stock fonts, which are made once for the system's DPI. The caller owns
// it (null on failure).
HFONT ScaledCopyOfFont(HFONT font, int32_t dpi);
