// Time per verdict. The worst case is a full 259-character answer against a
// full 259-character expected answer that share no beginning or end, are no
// anagrams and contain each other nowhere, so every rung of the ladder runs
// and the distance table is complete. The page re-judges up to 192 fields at
// start-up, so one verdict must stay far below a millisecond.
//
// The reference is the textbook full-table distance on the same texts, timed
// in the same run: the worst verdict should cost at most 1/40 of that table.
#include "answers/answer_rules.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// Letters from a small fixed generator, so every run judges the same texts.
std::string Letters(unsigned seed, int length) {
    std::string text;
    for (int i = 0; i < length; ++i) {
        seed = seed * 1103515245u + 12345u;
        text += static_cast<char>('A' + (seed >> 16) % 26);
    }
    return text;
}

const std::string kExpected = "A" + Letters(1, ANSWER_TEXT_MAX - 2) + "Z";
const std::string kTyped = "B" + Letters(2, ANSWER_TEXT_MAX - 2) + "Y";

int FullTableDistance(const std::string& a, const std::string& b) {
    std::vector<std::vector<int>> d(a.size() + 1, std::vector<int>(b.size() + 1));
    for (size_t i = 0; i <= a.size(); ++i) d[i][0] = static_cast<int>(i);
    for (size_t j = 0; j <= b.size(); ++j) d[0][j] = static_cast<int>(j);
    for (size_t i = 1; i <= a.size(); ++i) {
        for (size_t j = 1; j <= b.size(); ++j) {
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1,
                                d[i - 1][j - 1] + (a[i - 1] == b[j - 1] ? 0 : 1)});
        }
    }
    return d[a.size()][b.size()];
}

void BM_Verdict259Worst(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(ChooseVerdict(kExpected.c_str(), kTyped.c_str()));
    }
}

void BM_EditDistance259(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            EditDistance(kExpected.data(), ANSWER_TEXT_MAX, kTyped.data(), ANSWER_TEXT_MAX));
    }
}

void BM_ReferenceFullTable259(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(FullTableDistance(kExpected, kTyped));
}

// A usual field: a short near miss.
void BM_VerdictShortNearMiss(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(ChooseVerdict("MARIE CURIE", "  marie   cur "));
    }
}

}  // namespace

BENCHMARK(BM_Verdict259Worst);
BENCHMARK(BM_EditDistance259);
BENCHMARK(BM_ReferenceFullTable259);
BENCHMARK(BM_VerdictShortNearMiss);
