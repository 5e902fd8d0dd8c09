// Picture resources: "IMG" files through the OLE picture loader, PNG files
// from RT_RCDATA through our own decoder, both fitted into the caller's box.
#include "images/picture_win.h"

#include <ocidl.h>
#include <olectl.h>

#include <cstdio>
#include <cstring>

#include "images/jpeg_header.h"
#include "shell/report.h"

namespace {

// The screen's device context, released once.
class ScreenDC {
  public:
    ScreenDC() : dc_(GetDC(nullptr)) {}
    ~ScreenDC() {
        if (dc_ != nullptr) ReleaseDC(nullptr, dc_);
    }
    ScreenDC(const ScreenDC&) = delete;
    ScreenDC& operator=(const ScreenDC&) = delete;
    HDC get() const { return dc_; }

  private:
    HDC dc_;
};

// A memory device context holding one selected bitmap; the bitmap it held
// before is put back before the context is deleted.
class MemoryDC {
  public:
    explicit MemoryDC(HDC compatibleWith) : dc_(CreateCompatibleDC(compatibleWith)) {}
    ~MemoryDC() {
        if (dc_ == nullptr) return;
        if (previous_ != nullptr) SelectObject(dc_, previous_);
        DeleteDC(dc_);
    }
    MemoryDC(const MemoryDC&) = delete;
    MemoryDC& operator=(const MemoryDC&) = delete;
    HDC get() const { return dc_; }
    bool Select(HBITMAP bitmap) {
        HGDIOBJ old = SelectObject(dc_, bitmap);
        if (old == nullptr || old == HGDI_ERROR) return false;
        if (previous_ == nullptr) previous_ = old;
        return true;
    }

  private:
    HDC dc_;
    HGDIOBJ previous_ = nullptr;
};

// A bitmap deleted on scope exit unless released to the caller.
class OwnedBitmap {
  public:
    explicit OwnedBitmap(HBITMAP bitmap) : bitmap_(bitmap) {}
    ~OwnedBitmap() {
        if (bitmap_ != nullptr) DeleteObject(bitmap_);
    }
    OwnedBitmap(const OwnedBitmap&) = delete;
    OwnedBitmap& operator=(const OwnedBitmap&) = delete;
    HBITMAP get() const { return bitmap_; }
    HBITMAP Release() {
        HBITMAP bitmap = bitmap_;
        bitmap_ = nullptr;
        return bitmap;
    }

  private:
    HBITMAP bitmap_;
};

// A block from the process heap, freed on scope exit.
class HeapBlock {
  public:
    explicit HeapBlock(SIZE_T size)
        : block_(static_cast<unsigned char*>(HeapAlloc(GetProcessHeap(), 0, size))) {}
    ~HeapBlock() {
        if (block_ != nullptr) HeapFree(GetProcessHeap(), 0, block_);
    }
    HeapBlock(const HeapBlock&) = delete;
    HeapBlock& operator=(const HeapBlock&) = delete;
    unsigned char* get() const { return block_; }

  private:
    unsigned char* block_;
};

// Answer pictures (identifiers above the threshold) are stored with the two
// halves of every byte exchanged, so they cannot be opened straight out of the
// executable. Exchanging them again gives the file back.
void UnscrambleBytes(const unsigned char* stored, unsigned count, unsigned char* file) {
    for (unsigned i = 0; i < count; ++i) {
        file[i] = static_cast<unsigned char>((stored[i] << 4) | (stored[i] >> 4));
    }
}

// Picture fitted into the box: the smaller of the two ratios, so the picture
// touches the box on one side. A side that would truncate to nothing keeps one
// pixel, since a zero-sized bitmap is no bitmap at all; the upper clamp only
// keeps the conversion to int defined for absurd boxes.
int FittedSide(int side, double scale) {
    double fitted = side * scale;
    if (fitted < 1.0) return 1;
    if (fitted > 32767.0) return 32767;
    return static_cast<int>(fitted);
}

// A picture of width x height fitted into the box.
SIZE FittedSize(int width, int height, int boxWidth, int boxHeight) {
    double ratioWidth = static_cast<double>(boxWidth) / width;
    double ratioHeight = static_cast<double>(boxHeight) / height;
    double scale = ratioHeight > ratioWidth ? ratioWidth : ratioHeight;
    return {FittedSide(width, scale), FittedSide(height, scale)};
}

// A picture side from a header: bitmaps take no more than an int.
bool UsableSide(uint32_t side) {
    return side > 0 && side <= 0x7FFFFFFFu;
}

}  // namespace

HBITMAP FitBitmapToBox(HBITMAP bitmap, int boxWidth, int boxHeight) {
    if (bitmap == nullptr) return nullptr;
    OwnedBitmap source(bitmap);

    BITMAP info = {};
    if (GetObjectA(bitmap, sizeof info, &info) == 0) return nullptr;
    if (info.bmWidth <= 0 || info.bmHeight == 0) return nullptr;
    int width = info.bmWidth;
    int height = info.bmHeight < 0 ? -info.bmHeight : info.bmHeight;

    const SIZE fitted = FittedSize(width, height, boxWidth, boxHeight);
    int newWidth = fitted.cx;
    int newHeight = fitted.cy;

    // Declared before the memory contexts so that, on a failure, the contexts
    // let go of both bitmaps before the bitmaps are deleted.
    ScreenDC screen;
    if (screen.get() == nullptr) return nullptr;
    OwnedBitmap target(CreateCompatibleBitmap(screen.get(), newWidth, newHeight));
    if (target.get() == nullptr) return nullptr;
    MemoryDC sourceDC(screen.get());
    MemoryDC targetDC(screen.get());
    if (sourceDC.get() == nullptr || targetDC.get() == nullptr) return nullptr;
    if (!sourceDC.Select(bitmap) || !targetDC.Select(target.get())) return nullptr;

    SetStretchBltMode(targetDC.get(), HALFTONE);
    SetBrushOrgEx(targetDC.get(), 0, 0, nullptr);
    if (!StretchBlt(targetDC.get(), 0, 0, newWidth, newHeight, sourceDC.get(), 0, 0, width, height,
                    SRCCOPY)) {
        return nullptr;
    }
    return target.Release();
}

// OLE reads the picture from a stream, so the bytes go into a global block
// that the stream owns (and frees when it is released). COM is initialised
// twice and uninitialised once: from the first picture on it stays initialised
// on the interface thread for the rest of the run.
HBITMAP LoadOlePicture(const unsigned char* bytes, unsigned count) {
    if (bytes == nullptr || count == 0) return nullptr;
    CoInitialize(nullptr);
    HRESULT comResult = CoInitialize(nullptr);

    HBITMAP result = nullptr;
    IStream* stream = nullptr;
    IPicture* picture = nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_FIXED, count);
    if (block != nullptr) {
        std::memcpy(static_cast<void*>(block), bytes, count);
        if (FAILED(CreateStreamOnHGlobal(block, TRUE, &stream)) || stream == nullptr) {
            GlobalFree(block);
            stream = nullptr;
        }
    }
    if (stream != nullptr &&
        SUCCEEDED(OleLoadPicture(stream, static_cast<LONG>(count), FALSE, IID_IPicture,
                                 reinterpret_cast<void**>(&picture))) &&
        picture != nullptr) {
        OLE_HANDLE handle = 0;
        if (SUCCEEDED(picture->get_Handle(&handle)) && handle != 0) {
            HBITMAP own = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
            result = static_cast<HBITMAP>(CopyImage(own, IMAGE_BITMAP, 0, 0, 0));
            if (result == nullptr) {
                char text[64];
                std::snprintf(text, sizeof text, "CopyImageplante avec l'erreur : %lu",
                              static_cast<unsigned long>(GetLastError()));
                ReportMessage(text, "Information", REPORT_ICON_INFORMATION);
            }
        }
    }
    if (picture != nullptr) picture->Release();
    if (stream != nullptr) stream->Release();
    if (SUCCEEDED(comResult)) CoUninitialize();
    return result;
}

HBITMAP LoadPictureResource(HMODULE module, int identifier, const char* type, int boxWidth,
                            int boxHeight) {
    LPCSTR name = MAKEINTRESOURCEA(identifier);
    HRSRC found = FindResourceA(module, name, type);
    HGLOBAL loaded = found != nullptr ? LoadResource(module, found) : nullptr;
    if (loaded == nullptr) {
        return FitBitmapToBox(LoadPngResource(module, identifier, type, boxWidth, boxHeight),
                              boxWidth, boxHeight);
    }
    const unsigned char* stored = static_cast<const unsigned char*>(LockResource(loaded));
    DWORD count = SizeofResource(module, found);
    if (stored == nullptr || count == 0) {
        FreeResource(loaded);
        return nullptr;
    }

    HBITMAP picture = nullptr;
    if (identifier > PICTURE_SCRAMBLE_THRESHOLD) {
        // The stored resource stays as stored: every load starts from the same bytes.
        HeapBlock file(count);
        if (file.get() != nullptr) {
            UnscrambleBytes(stored, count, file.get());
            picture = LoadOlePicture(file.get(), count);
        }
    } else {
        picture = LoadOlePicture(stored, count);
    }
    FreeResource(loaded);
    return FitBitmapToBox(picture, boxWidth, boxHeight);
}

bool FittedPictureSize(HMODULE module, int identifier, const char* type, int boxWidth,
                       int boxHeight, SIZE* size) {
    uint32_t width = 0;
    uint32_t height = 0;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(identifier), type);
    if (found == nullptr) {
        // The PNG route, as LoadPictureResource takes it: the file is parsed
        // (signature, chunks, IHDR), its image data left alone.
        PngDecoder decoder;
        ResetPngDecoder(&decoder);
        const bool opened = OpenPngResource(&decoder, module, identifier) != 0;
        width = decoder.width;
        height = decoder.height;
        ReleasePngDecoder(&decoder);
        if (!opened) return false;
    } else {
        HGLOBAL loaded = LoadResource(module, found);
        const unsigned char* stored =
            loaded != nullptr ? static_cast<const unsigned char*>(LockResource(loaded)) : nullptr;
        DWORD count = stored != nullptr ? SizeofResource(module, found) : 0;
        bool read = false;
        if (identifier > PICTURE_SCRAMBLE_THRESHOLD) {
            HeapBlock file(count);
            if (file.get() != nullptr && count != 0) {
                UnscrambleBytes(stored, count, file.get());
                read = ReadJpegFrameSize(file.get(), count, &width, &height);
            }
        } else {
            read = ReadJpegFrameSize(stored, count, &width, &height);
        }
        if (loaded != nullptr) FreeResource(loaded);
        if (!read) return false;
    }
    if (!UsableSide(width) || !UsableSide(height)) return false;
    *size = FittedSize(static_cast<int>(width), static_cast<int>(height), boxWidth, boxHeight);
    return true;
}
