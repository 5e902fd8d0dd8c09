// Throughput of the LZW decoder and compressor on 100 KB of French text, with
// zlib on the same text as the reference timed in the same run, and the time
// to load a maximal quiz (96 questions, two answers, every kept text 259
// characters, display mode 6) from its compressed blocks.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <random>
#include <string>
#include <vector>

#include "quiz/lzw.h"
#include "quiz/quiz_format.h"
#include "quiz/quiz_writer.h"

namespace {

// Words of a quiz's French, accents as Windows-1252 bytes, in a fixed order.
std::string FrenchText(size_t size, uint32_t seed) {
    static const char* const words[] = {"le",
                                        "la",
                                        "les",
                                        "des",
                                        "une",
                                        "et",
                                        "\xE9t\xE9",
                                        "ch\xE2teau",
                                        "for\xEAt",
                                        "rivi\xE8re",
                                        "\xE9l\xE8ve",
                                        "question",
                                        "r\xE9ponse",
                                        "ma\xEEtre",
                                        "fa\xE7on",
                                        "o\xF9",
                                        "bient\xF4t",
                                        "c\x9Cur",
                                        "r\xE9gion",
                                        "montagne",
                                        "fleuve",
                                        "capitale",
                                        "ann\xE9"
                                        "e",
                                        "si\xE8"
                                        "cle",
                                        "histoire",
                                        "g\xE9ographie",
                                        "tr\xE8s",
                                        "grand",
                                        "petit",
                                        "ville"};
    std::mt19937 random(seed);
    std::string text;
    while (text.size() < size) {
        text += words[random() % (sizeof words / sizeof words[0])];
        text += (random() % 11 == 0) ? ". " : " ";
    }
    text.resize(size);
    return text;
}

const std::string& Text() {
    static const std::string text = FrenchText(100000, 7);
    return text;
}

const uint8_t* Bytes(const std::string& s) {
    return reinterpret_cast<const uint8_t*>(s.data());
}

void BM_LzwDecompress(benchmark::State& state) {
    std::vector<uint8_t> block;
    LzwCompress(Bytes(Text()), Text().size(), block);
    for (auto _ : state) {
        uint8_t* buffer = nullptr;
        uint32_t length = 0;
        if (LzwDecompress(block.data(), static_cast<uint32_t>(block.size()), &buffer, &length) !=
            LZW_OK)
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(buffer);
        LzwFreeOutput(buffer);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Text().size()));
    state.counters["ratio"] = static_cast<double>(block.size()) / Text().size();
}

void BM_LzwCompress(benchmark::State& state) {
    std::vector<uint8_t> block;
    for (auto _ : state) {
        if (LzwCompress(Bytes(Text()), Text().size(), block) != LZW_COMPRESS_OK)
            state.SkipWithError("compress failed");
        benchmark::DoNotOptimize(block.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Text().size()));
}

void BM_ZlibUncompressReference(benchmark::State& state) {
    std::vector<uint8_t> block(compressBound(Text().size()));
    uLongf blockSize = block.size();
    compress2(block.data(), &blockSize, Bytes(Text()), Text().size(), Z_DEFAULT_COMPRESSION);
    std::vector<uint8_t> out(Text().size());
    for (auto _ : state) {
        uLongf outSize = out.size();
        if (uncompress(out.data(), &outSize, block.data(), blockSize) != Z_OK)
            state.SkipWithError("zlib failed");
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Text().size()));
    state.counters["ratio"] = static_cast<double>(blockSize) / Text().size();
}

void BM_ZlibCompressReference(benchmark::State& state) {
    std::vector<uint8_t> block(compressBound(Text().size()));
    for (auto _ : state) {
        uLongf blockSize = block.size();
        compress2(block.data(), &blockSize, Bytes(Text()), Text().size(), Z_DEFAULT_COMPRESSION);
        benchmark::DoNotOptimize(block.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * Text().size()));
}

QuizSource MaximalQuiz() {
    std::mt19937 random(11);
    auto text = [&](size_t length) {
        std::string s = FrenchText(length + 400, static_cast<uint32_t>(random()));
        return s.substr(random() % 400, length);
    };
    QuizSource quiz;
    quiz.mediaKind = MEDIA_PICTURE;
    quiz.answersPerQuestion = 2;
    quiz.displayMode = 6;
    quiz.title = text(259);
    quiz.author = text(259);
    quiz.explanations = text(259);
    quiz.answerLabel1 = text(259);
    quiz.answerLabel2 = text(259);
    for (int i = 0; i < QUIZ_MAX_QUESTIONS; ++i) {
        // The second extra text of mode 6 is never kept; a full one would
        // take the decoded content past 120000 bytes.
        quiz.questions.push_back({text(259), text(259), text(259), text(259), "", {}, {}});
        quiz.codes.push_back(text(259));
    }
    return quiz;
}

void LoadMaximal(benchmark::State& state, bool encipher) {
    WrittenQuiz written;
    std::string error;
    if (!WriteQuiz(MaximalQuiz(), encipher, written, error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    for (auto _ : state) {
        QuizBlocks blocks;
        blocks.content = written.content;
        blocks.codes = written.codes;
        QuizRecord quiz;
        if (LoadQuizBlocks(quiz, blocks) != QUIZ_LOADED) state.SkipWithError("load failed");
        benchmark::DoNotOptimize(quiz.lastQuestion);
    }
    state.counters["content_bytes"] = static_cast<double>(written.content.size());
    state.counters["codes_bytes"] = static_cast<double>(written.codes.size());
}

void BM_LoadMaximalQuiz(benchmark::State& state) {
    LoadMaximal(state, false);
}
void BM_LoadMaximalQuizEnciphered(benchmark::State& state) {
    LoadMaximal(state, true);
}

}  // namespace

BENCHMARK(BM_LzwDecompress)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ZlibUncompressReference)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LzwCompress)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ZlibCompressReference)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadMaximalQuiz)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LoadMaximalQuizEnciphered)->Unit(benchmark::kMicrosecond);
