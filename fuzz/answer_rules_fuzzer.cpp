// Arbitrary byte pairs through the verdict rules: no crash, no read past a
// text, and always one of the verdict texts. The input is split at its first
// zero byte into the expected and the typed answer.
#include "answers/answer_rules.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace {

void Require(bool condition) {
    if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    const void* zero = std::memchr(bytes, 0, size);
    const size_t split =
        zero != nullptr ? static_cast<size_t>(static_cast<const char*>(zero) - bytes) : size;
    // Exact-size copies, so the sanitizer sees any read past a terminator.
    const std::string expected(bytes, split);
    const std::string typed = split < size ? std::string(bytes + split + 1, size - split - 1) : "";

    const char* verdict = ChooseVerdict(expected.c_str(), typed.c_str());
    bool known = false;
    for (const char* text : VERDICT_TEXTS) known = known || verdict == text;
    Require(known);

    char normalized[ANSWER_TEXT_SIZE];
    const std::string e(normalized,
                        static_cast<size_t>(NormalizeAnswer(expected.c_str(), normalized)));
    const std::string t(normalized,
                        static_cast<size_t>(NormalizeAnswer(typed.c_str(), normalized)));
    Require((verdict == VERDICT_EMPTY) == t.empty());
    if (!t.empty() && e == t) Require(verdict == VERDICT_BRAVO);
    // A form given twice changes nothing; tolerated accents only turn "Accents" into "BRAVO".
    const char* forms[] = {expected.c_str(), expected.c_str()};
    JudgingOptions tolerant;
    tolerant.accentsTolerated = true;
    Require(ChooseVerdict(forms, 2, typed.c_str(), JudgingOptions()) == verdict);
    const char* tolerated = ChooseVerdict(forms, 2, typed.c_str(), tolerant);
    Require(tolerated == (verdict == VERDICT_ACCENTS ? VERDICT_BRAVO : verdict));

    const int eLength = static_cast<int>(e.size());
    const int tLength = static_cast<int>(t.size());
    const int distance = EditDistance(e.data(), eLength, t.data(), tLength);
    Require(distance == EditDistance(t.data(), tLength, e.data(), eLength));
    Require((distance == 0) == (e == t));
    Require(distance <= (eLength > tLength ? eLength : tLength));

    const int found = FindInside(e.data(), eLength, t.data(), tLength);
    if (found == FOUND_TYPED_IN_EXPECTED) Require(tLength > 0 && e.find(t) != std::string::npos);
    if (found == FOUND_EXPECTED_IN_TYPED) Require(eLength > 0 && t.find(e) != std::string::npos);
    if (found == FOUND_NOWHERE && eLength > 0 && tLength > 0) {
        Require(e.find(t) == std::string::npos && t.find(e) == std::string::npos);
    }
    return 0;
}
