// Any bytes as a program: reading its resources ends in a list or an error,
// rewriting them in a new image or an error, and unpacking a quiz from them
// in a quiz or an error; never a read or write out of bounds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "authoring/pe_resources.h"
#include "authoring/quiz_unpack.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> image(data, data + size);
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
