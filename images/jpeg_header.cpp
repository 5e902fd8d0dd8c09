// A JPEG file is a run of marker segments (FF, marker, 16-bit big-endian
// length counting itself); a few markers stand alone, and FF bytes may pad
// before a marker. Only segment lengths are followed, never the image data.
#include "images/jpeg_header.h"

bool ReadJpegFrameSize(const unsigned char* bytes, size_t count, uint32_t* width,
                       uint32_t* height) {
    if (bytes == nullptr || count < 2 || bytes[0] != 0xFF || bytes[1] != 0xD8) return false;
    size_t at = 2;
    while (count - at >= 2 && bytes[at] == 0xFF) {
        const unsigned char marker = bytes[at + 1];
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if ((marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {  // no length
            at += 2;
            continue;
        }
        if (marker == 0xDA || marker == 0xD9 || count - at < 4) return false;
        const size_t length = size_t{bytes[at + 2]} << 8 | bytes[at + 3];
        if (length < 2 || length > count - at - 2) return false;
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (length < 7) return false;
            *height = uint32_t{bytes[at + 5]} << 8 | bytes[at + 6];
            *width = uint32_t{bytes[at + 7]} << 8 | bytes[at + 8];
            return *width != 0 && *height != 0;
        }
        at += 2 + length;
    }
    return false;
}
