// Searching and replacing over large texts, beside loops built on
// std::string::find over the same bytes.
#include "support/text.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr size_t kSixteenMiB = 16u << 20;

// Mixed Chinese and ASCII, as a server list shown in GBK would be:
// 16 bytes per piece, one "X" in each.
Text TextWithMillionMatches() {
    Text piece = "服务器 sv-X.cn ";  // 6 + 10 = 16 bytes
    Text text;
    text.reserve(kSixteenMiB);
    while (text.size() + piece.size() <= kSixteenMiB) text += piece;
    return text;
}

Text TextWithoutMatch() {
    Text piece = "\"name\": \"社区服\", ";  // never holds the sought key
    Text text;
    text.reserve(kSixteenMiB);
    while (text.size() + piece.size() <= kSixteenMiB) text += piece;
    return text;
}

void BM_ReplaceSubtext(benchmark::State& state) {
    Text text = TextWithMillionMatches();
    for (auto _ : state) {
        Text result = ReplaceSubtext(text, "X", Text("YY"), LeftOut, LeftOut, true);
        benchmark::DoNotOptimize(result.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_StdFindReplaceLoop(benchmark::State& state) {
    Text text = TextWithMillionMatches();
    for (auto _ : state) {
        Text result;
        result.reserve(text.size());
        size_t cursor = 0;
        for (size_t at; (at = text.find('X', cursor)) != std::string::npos; cursor = at + 1) {
            result.append(text, cursor, at - cursor);
            result += "YY";
        }
        result.append(text, cursor, std::string::npos);
        benchmark::DoNotOptimize(result.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_FindSubtextNoMatch(benchmark::State& state) {
    Text text = TextWithoutMatch();
    for (auto _ : state) benchmark::DoNotOptimize(FindSubtext(text, "\"serverURL\": ", LeftOut, false));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

void BM_StdFindNoMatch(benchmark::State& state) {
    Text text = TextWithoutMatch();
    for (auto _ : state) benchmark::DoNotOptimize(text.find("\"serverURL\": "));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

}  // namespace

BENCHMARK(BM_ReplaceSubtext)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdFindReplaceLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindSubtextNoMatch)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StdFindNoMatch)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
