// Any block of up to 65535 bytes: no crash, no leak, no read or write out of
// bounds; the result is one of the decoder's codes, and on success the decoded
// length stays within the output buffer.
#include <cstdint>
#include <cstdlib>

#include "quiz/lzw.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > LZW_MAX_INPUT) return -1;
    uint8_t* buffer = nullptr;
    uint32_t length = 0;
    const int result = LzwDecompress(data, static_cast<uint32_t>(size), &buffer, &length);
    if (result != LZW_OK && result != LZW_E_EMPTY && result != LZW_E_CORRUPT) std::abort();
    if (buffer == nullptr || length < 2 || length - 2 > LZW_OUTPUT_CAPACITY) std::abort();
    if (result == LZW_OK && length < 3) std::abort();  // at least the first literal
    LzwFreeOutput(buffer);
    return 0;
}
