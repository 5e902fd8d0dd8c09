// The PNG route of the picture loader: RT_RCDATA resources decoded by Brelo's
// own decoder into DIB sections, then fitted like every other picture.
#include "images/picture_win.h"

#include <cstring>

#include "shell/report.h"

namespace {

// A window's device context (the screen's for no window), released once.
class WindowDC {
  public:
    explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDC() {
        if (dc_ != nullptr) ReleaseDC(window_, dc_);
    }
    WindowDC(const WindowDC&) = delete;
    WindowDC& operator=(const WindowDC&) = delete;
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// BITMAPINFO with room for the largest colour table.
struct PngBitmapInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

// Top-down rows: the height is given negative.
void FillBitmapInfo(const PngBitmapFormat& format, PngBitmapInfo* info) {
    std::memset(info, 0, sizeof *info);
    info->header.biSize = sizeof info->header;
    info->header.biWidth = format.width;
    info->header.biHeight = -format.height;
    info->header.biPlanes = 1;
    info->header.biBitCount = format.bitsPerPixel;
    info->header.biCompression = BI_RGB;
    info->header.biClrUsed = format.colorsUsed;
    for (uint32_t i = 0; i < format.tableEntries && i < 256; ++i) {
        info->colours[i].rgbBlue = format.colourTable[i][0];
        info->colours[i].rgbGreen = format.colourTable[i][1];
        info->colours[i].rgbRed = format.colourTable[i][2];
    }
}

}  // namespace

int OpenPngResource(PngDecoder* decoder, HMODULE module, int name) {
    if (decoder->state != PNG_STATE_EMPTY || decoder->source != PNG_SOURCE_NONE) {
        decoder->lastError = PNG_ERROR_ALREADY_LOADED;
        return 0;
    }
    decoder->lastError = PNG_ERROR_NONE;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(name), MAKEINTRESOURCEA(10));
    if (found == nullptr) {
        decoder->lastError = PNG_ERROR_RESOURCE_NOT_FOUND;
        return 0;
    }
    HGLOBAL loaded = LoadResource(module, found);
    DWORD size = loaded != nullptr ? SizeofResource(module, found) : 0;
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    if (bytes == nullptr || size == 0) {
        decoder->lastError = PNG_ERROR_RESOURCE_LOAD;
        return 0;
    }
    return OpenPngMemory(decoder, static_cast<const unsigned char*>(bytes), size,
                         PNG_SOURCE_RESOURCE);
}

HBITMAP MakePngBitmap(PngDecoder* decoder, HWND window) {
    if (decoder->state != PNG_STATE_DECODED) {
        decoder->lastError = PNG_ERROR_WRONG_STATE;
        return nullptr;
    }
    PngBitmapFormat format;
    if (!FillPngBitmapFormat(decoder, &format)) return nullptr;
    PngBitmapInfo info;
    FillBitmapInfo(format, &info);

    WindowDC dc(window);
    void* pixels = nullptr;
    HBITMAP section = dc.get() != nullptr
                          ? CreateDIBSection(dc.get(), reinterpret_cast<BITMAPINFO*>(&info),
                                             DIB_RGB_COLORS, &pixels, nullptr, 0)
                          : nullptr;
    if (section == nullptr || pixels == nullptr) {
        if (section != nullptr) DeleteObject(section);
        decoder->lastError = PNG_ERROR_BITMAP;
        return nullptr;
    }
    GdiFlush();
    if (!ConvertPngRows(decoder, static_cast<unsigned char*>(pixels), format.stride)) {
        DeleteObject(section);
        return nullptr;
    }
    return section;
}

// A resource that is missing or not a PNG we accept yields nothing, quietly:
// the caller simply shows no picture. A PNG that fails later says so.
HBITMAP LoadPngResource(HMODULE module, int identifier, const char* /*type*/, int boxWidth,
                        int boxHeight) {
    PngDecoder decoder;
    ResetPngDecoder(&decoder);
    if (!OpenPngResource(&decoder, module, identifier)) {
        ReleasePngDecoder(&decoder);
        return nullptr;
    }
    if (!DecodePngImage(&decoder)) {
        ReleasePngDecoder(&decoder);
        ReportMessage("Error: couldn't decode PNG resource", "Information", REPORT_ICON_STOP);
        return nullptr;
    }
    HBITMAP bitmap = MakePngBitmap(&decoder, nullptr);
    ReleasePngDecoder(&decoder);
    if (bitmap == nullptr) {
        ReportMessage("Error: couldn't create bitmap", "Information", REPORT_ICON_STOP);
        return nullptr;
    }
    return FitBitmapToBox(bitmap, boxWidth, boxHeight);
}
