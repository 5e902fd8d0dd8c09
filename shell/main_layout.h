// Where the main window and its children go: pure arithmetic, tested natively.
#pragma once

struct PlaceRect {
    int x;
    int y;
    int width;
    int height;
};

struct MainLayout {
    PlaceRect page;        // the question page
    PlaceRect header;      // the header panel across the top
    PlaceRect creditLine;  // bottom right
};

constexpr int MAIN_WINDOW_WIDTH = 800;
constexpr int MAIN_WINDOW_HEIGHT = 600;

// Children of a main window whose client area is clientWidth x clientHeight,
// on a monitor at `dpi`. At 96 DPI the header spans y 2 to 51 and the page
// starts at 50 (one pixel of overlap); the page stops 18 pixels above the
// bottom, where the credit line sits; at other DPIs every measure is scaled.
// Sizes of a window made very small stay at 0, never negative.
MainLayout LayOutMainWindow(int clientWidth, int clientHeight, int dpi);

// The main window's first place on a work area (the monitor without its task
// bar): as wide as the page's content plus `chromeWidth` (the page's border
// and scroll bar, the margins beside it and the window's frame), as high as
// `height`; never narrower than `minimumWidth` nor larger than the work area;
// centred on it.
PlaceRect FirstMainWindowPlace(int contentWidth, int chromeWidth, int minimumWidth, int height,
                               const PlaceRect& workArea);

// Top left corner that centres a window of the given size on the desktop
// rectangle (divisions truncate toward zero).
void CentreOnDesktop(int desktopLeft, int desktopTop, int desktopWidth, int desktopHeight,
                     int windowWidth, int windowHeight, int& x, int& y);
