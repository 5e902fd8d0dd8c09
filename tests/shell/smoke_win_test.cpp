// Proves the Windows test layer: a real window under wine and Xvfb, real
// messages, texts read back.
#include <windows.h>

#include <gtest/gtest.h>

namespace {

LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) return static_cast<LRESULT>(wParam * 2);
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST(Win32Smoke, RealWindowWithAChildControl) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = CountingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "BreloSmoke";
    ASSERT_NE(RegisterClassA(&wc), 0);

    HWND window = CreateWindowExA(0, "BreloSmoke", "Brelo smoke", WS_OVERLAPPEDWINDOW, 0, 0, 800,
                                  600, nullptr, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);

    HWND edit = CreateWindowExA(0, "Edit", "", WS_CHILD | WS_VISIBLE, 10, 10, 100, 20, window,
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(4001)),
                                wc.hInstance, nullptr);
    ASSERT_NE(edit, nullptr);
    SetWindowTextA(edit, "\xE9l\xE8ve");
    char text[32] = {};
    GetDlgItemTextA(window, 4001, text, sizeof text);
    EXPECT_STREQ(text, "\xE9l\xE8ve");

    EXPECT_EQ(SendMessageA(window, WM_APP, 21, 0), 42);

    RECT client;
    GetClientRect(window, &client);
    EXPECT_GT(client.right, 700);
    EXPECT_TRUE(IsWindowVisible(edit));
    DestroyWindow(window);
}

}  // namespace
