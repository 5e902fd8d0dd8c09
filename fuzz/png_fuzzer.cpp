// Any bytes as a PNG file, all the way to bitmap rows: no crash, no read or
// write out of bounds, no leak; every failure leaves an error code.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "images/png_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PngDecoder decoder;
    ResetPngDecoder(&decoder);
    PngBitmapFormat format;
    bool ok = OpenPngMemory(&decoder, data, static_cast<uint32_t>(size), PNG_SOURCE_MEMORY) &&
              FillPngBitmapFormat(&decoder, &format);
    // Pictures claiming more than 16 MB are valid but only slow the search down.
    if (ok && uint64_t{format.stride} * format.height <= (16u << 20)) {
        ok = DecodePngImage(&decoder);
        if (ok) {
            std::vector<unsigned char> pixels(size_t{format.stride} * format.height);
            ok = ConvertPngRows(&decoder, pixels.data(), format.stride);
        }
    }
    if (ok != (decoder.lastError == PNG_ERROR_NONE)) std::abort();
    ReleasePngDecoder(&decoder);
    return 0;
}
