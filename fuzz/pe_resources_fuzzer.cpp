// Any bytes as a program: reading its resources ends in a list or an error,
// rewriting them in a new image or an error, and unpacking a quiz from them
// in a quiz or an error; never a read or write out of bounds, and never a
// rewrite reported as done that the reader then refuses.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "authoring/pe_resources.h"
#include "authoring/quiz_unpack.h"

// Inputs stay a few kilobytes long; a last byte 0xB0 stands for 192 KiB of
// zeros in its place, so sections, names and trees far larger than the
// input (a name of 65535 characters shared by every resource) are reached.
constexpr uint8_t kPadMarker = 0xB0;
constexpr size_t kPadBytes = 192 << 10;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> image(data, data + size);
    if (size > 0 && data[size - 1] == kPadMarker) {
        image.pop_back();
        image.resize(image.size() + kPadBytes, 0);
    }
    std::vector<PeResource> resources;
    std::string error;
    if (!ReadPeResources(image, resources, error)) return 0;
    UnpackedQuiz quiz;
    UnpackQuiz(resources, quiz, error);
    std::vector<uint8_t> rewritten;
    if (ReplacePeResources(image, resources, rewritten, error)) {
        std::vector<PeResource> again;
        if (!ReadPeResources(rewritten, again, error)) __builtin_trap();
    }
    return 0;
}
