// Any bytes as a zlib stream, into a buffer whose size the first two bytes
// choose (so that full buffers are reached too): no crash, no read or write
// out of bounds, a known result code, and never more written than fits.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "images/inflate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return -1;
    size_t capacity = (size_t{data[0]} << 10 | size_t{data[1]} << 2) + 1;
    std::vector<unsigned char> output(capacity);
    size_t written = 0;
    InflateError result =
        InflateZlib(FlatInflateInput(data + 2, size - 2), output.data(), output.size(), &written);
    if (result < INFLATE_OK || result > INFLATE_INPUT_ENDED) std::abort();
    if (written > capacity) std::abort();
    return 0;
}
