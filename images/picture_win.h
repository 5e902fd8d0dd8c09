// Pictures from the executable's resources, as screen-compatible bitmaps
// fitted into a box. The one way the rest of the player obtains pictures.
#pragma once

#include <windows.h>

#include "images/png_decoder.h"

constexpr int PICTURE_SCRAMBLE_THRESHOLD = 10000;  // "IMG" identifiers above it are nibble-swapped
constexpr int PICTURE_BOX_SIZE = 260;

// A bitmap fitted into boxWidth x boxHeight (aspect kept), owned by the caller,
// or null when the picture is absent or unreadable.
HBITMAP LoadPictureResource(HMODULE module, int identifier, const char* type, int boxWidth,
                            int boxHeight);

// The size LoadPictureResource gives that picture, read from its header alone
// (JPEG frame header, PNG IHDR) without decoding it. False when there is no
// such resource or its header cannot be read that way.
bool FittedPictureSize(HMODULE module, int identifier, const char* type, int boxWidth,
                       int boxHeight, SIZE* size);

// Takes ownership of `bitmap`, returns a new bitmap scaled to fit the box.
HBITMAP FitBitmapToBox(HBITMAP bitmap, int boxWidth, int boxHeight);

// The PNG route: the RT_RCDATA resource `identifier` decoded as a PNG file and
// fitted into the box, or null. `type` is not used.
HBITMAP LoadPngResource(HMODULE module, int identifier, const char* type, int boxWidth,
                        int boxHeight);

// The PNG decoder's Win32 steps. OpenPngResource takes the RT_RCDATA resource
// `name` of `module` as the decoder's file and parses it; MakePngBitmap makes
// a DIB section on the window's device context (null: the screen) in the
// decoder's native format and fills it, or returns null with lastError set.
int OpenPngResource(PngDecoder* decoder, HMODULE module, int name);
HBITMAP MakePngBitmap(PngDecoder* decoder, HWND window);

// Decodes picture-file bytes (JPEG, GIF, BMP...) through OLE; the picture's own size.
HBITMAP LoadOlePicture(const unsigned char* bytes, unsigned count);
