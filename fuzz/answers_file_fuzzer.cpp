// The answers file is whatever a pupil (or another program) left beside the
// player: every line read from it must stay inside the mapped bytes and fit
// its 260-byte field, and every byte is consumed exactly once in order.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "answers/answers_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    AnswerLineReader reader(data, size);
    char line[ANSWER_LINE_SIZE];
    size_t previous = 0;
    // 192 fields at most, then keep going until the end to cover long files.
    for (int field = 0; field < 4096; ++field) {
        const int copied = reader.ReadLine(line, sizeof line);
        if (copied < 0 || copied > ANSWER_LINE_MAX) std::abort();
        if (std::strlen(line) > static_cast<size_t>(copied)) std::abort();
        if (reader.Position() > size || reader.Position() < previous) std::abort();
        if (copied > 0 && std::memcmp(line, data + previous, static_cast<size_t>(copied)) != 0) {
            std::abort();
        }
        previous = reader.Position();
        if (previous == size) break;
    }
    char name[ANSWERS_NAME_SIZE];
    char path[ANSWERS_NAME_SIZE * 2] = "";
    std::memcpy(path, data, size < sizeof path - 1 ? size : sizeof path - 1);
    ReplaceExtensionWithTxt(path, name, sizeof name);
    MakeFallbackAnswersName("C:\\AD", path, name, sizeof name);
    return 0;
}
