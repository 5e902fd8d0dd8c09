#include "shell/main_layout.h"

#include "shell/dpi_scale.h"

namespace {

constexpr int PANEL_LEFT = 5;
constexpr int PANEL_WIDTH_MARGIN = 11;  // 5 at the left, 6 at the right
constexpr int HEADER_TOP = 2;
constexpr int HEADER_HEIGHT = 49;
constexpr int PAGE_TOP = 50;
constexpr int PAGE_HEIGHT_MARGIN = 68;  // 50 above, 18 below for the credit line
constexpr int CREDIT_RIGHT_OFFSET = 145;
constexpr int CREDIT_BOTTOM_OFFSET = 16;
constexpr int CREDIT_WIDTH = 150;
constexpr int CREDIT_HEIGHT = 15;

int NotNegative(int value) {
    return value < 0 ? 0 : value;
}

}  // namespace

MainLayout LayOutMainWindow(int clientWidth, int clientHeight, int dpi) {
    const auto scaled = [dpi](int value) { return ScaleToDpi(value, dpi); };
    MainLayout layout;
    const int panelWidth = NotNegative(clientWidth - scaled(PANEL_WIDTH_MARGIN));
    layout.page = {scaled(PANEL_LEFT), scaled(PAGE_TOP), panelWidth,
                   NotNegative(clientHeight - scaled(PAGE_HEIGHT_MARGIN))};
    layout.header = {scaled(PANEL_LEFT), scaled(HEADER_TOP), panelWidth, scaled(HEADER_HEIGHT)};
    layout.creditLine = {clientWidth - scaled(CREDIT_RIGHT_OFFSET),
                         clientHeight - scaled(CREDIT_BOTTOM_OFFSET), scaled(CREDIT_WIDTH),
                         scaled(CREDIT_HEIGHT)};
    return layout;
}

PlaceRect FirstMainWindowPlace(int contentWidth, int chromeWidth, int minimumWidth, int height,
                               const PlaceRect& workArea) {
    int width = contentWidth + chromeWidth;
    if (width < minimumWidth) width = minimumWidth;
    if (width > workArea.width) width = workArea.width;
    if (height > workArea.height) height = workArea.height;
    PlaceRect place = {0, 0, width, height};
    CentreOnDesktop(workArea.x, workArea.y, workArea.width, workArea.height, width, height,
                    place.x, place.y);
    return place;
}

void CentreOnDesktop(int desktopLeft, int desktopTop, int desktopWidth, int desktopHeight,
                     int windowWidth, int windowHeight, int& x, int& y) {
    x = desktopLeft + (desktopWidth - windowWidth) / 2;
    y = desktopTop + (desktopHeight - windowHeight) / 2;
}
