// By-hand measurement of the start-up cost of pictures: loads and fits 96
// pictures of 800x600 the way a full picture quiz's page does, 48 JPEG "IMG"
// resources through OLE and 48 PNG RT_RCDATA resources through our decoder,
// then times the three steps apart (OLE decoding, PNG decoding, fitting).
//   cmake --build <win64 build> --target picture_startup && wine picture_startup.exe
#include <windows.h>

#include <cstdio>

#include "images/picture_win.h"

namespace {

LARGE_INTEGER Now() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now;
}

double Milliseconds(const LARGE_INTEGER& from) {
    LARGE_INTEGER to = Now(), frequency;
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / frequency.QuadPart;
}

HBITMAP DecodePng(HMODULE module, int identifier) {
    PngDecoder decoder;
    ResetPngDecoder(&decoder);
    HBITMAP bitmap = nullptr;
    if (OpenPngResource(&decoder, module, identifier) && DecodePngImage(&decoder)) {
        bitmap = MakePngBitmap(&decoder, nullptr);
    }
    ReleasePngDecoder(&decoder);
    return bitmap;
}

// CPU time of this thread, which a busy machine does not inflate.
double ThreadMilliseconds() {
    FILETIME created, exited, kernel, user;
    GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
    return (static_cast<double>(user.dwLowDateTime) + user.dwHighDateTime * 4294967296.0 +
            kernel.dwLowDateTime + kernel.dwHighDateTime * 4294967296.0) /
           10000.0;
}

}  // namespace

int main() {
    HMODULE module = GetModuleHandleA(nullptr);
    int loaded = 0;
    LARGE_INTEGER start = Now();
    double cpuStart = ThreadMilliseconds();
    double jpegTotal = 0;
    for (int q = 1; q <= 96; ++q) {
        HBITMAP bitmap = LoadPictureResource(module, 400 + q, "IMG", 260, 260);
        if (bitmap != nullptr) ++loaded;
        DeleteObject(bitmap);
        if (q == 48) jpegTotal = Milliseconds(start);
    }
    double total = Milliseconds(start);
    std::printf(
        "%d of 96 pictures loaded and fitted: %.0f ms (48 JPEG %.0f ms, 48 PNG %.0f ms), "
        "thread CPU %.0f ms\n",
        loaded, total, jpegTotal, total - jpegTotal, ThreadMilliseconds() - cpuStart);

    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(401), "IMG");
    const unsigned char* jpeg =
        static_cast<const unsigned char*>(LockResource(LoadResource(module, found)));
    double oleDecode = 0, pngDecode = 0, fit = 0;
    for (int i = 0; i < 10; ++i) {
        LARGE_INTEGER step = Now();
        HBITMAP ole = LoadOlePicture(jpeg, SizeofResource(module, found));
        oleDecode += Milliseconds(step);
        step = Now();
        HBITMAP png = DecodePng(module, 449);
        pngDecode += Milliseconds(step);
        step = Now();
        DeleteObject(FitBitmapToBox(ole, 260, 260));
        DeleteObject(FitBitmapToBox(png, 260, 260));
        fit += Milliseconds(step) / 2;
    }
    std::printf("per picture: OLE JPEG decode %.1f ms, our PNG decode %.1f ms, fit %.1f ms\n",
                oleDecode / 10, pngDecode / 10, fit / 10);
    return loaded == 96 ? 0 : 1;
}
