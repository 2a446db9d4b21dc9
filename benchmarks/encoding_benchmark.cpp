// ConvertEncoding of a large UTF-8 server list to GB2312, beside the host's
// iconv command converting the same bytes from a file.
#include "support/encoding.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

namespace {

constexpr size_t kSixteenMiB = 16u << 20;

// Mixed Chinese and ASCII, as a server list is: 25 bytes per piece.
ByteArray MixedUtf8() {
    std::string piece = u8"服务器 sv-7.cn 社区一区 ";
    std::string text;
    text.reserve(kSixteenMiB);
    while (text.size() + piece.size() <= kSixteenMiB) text += piece;
    text.append(kSixteenMiB - text.size(), ' ');
    return ByteArray(text.begin(), text.end());
}

void BM_ConvertEncoding(benchmark::State& state) {
    ByteArray data = MixedUtf8();
    for (auto _ : state) {
        ByteArray converted = ConvertEncoding(data, "UTF-8", "GB2312");
        if (converted.empty()) state.SkipWithError("conversion failed");
        benchmark::DoNotOptimize(converted.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}

void BM_IconvCommand(benchmark::State& state) {
    ByteArray data = MixedUtf8();
    char path[] = "/tmp/starfold-encoding-XXXXXX";
    int descriptor = mkstemp(path);
    if (descriptor < 0 || write(descriptor, data.data(), data.size()) != static_cast<ssize_t>(data.size())) {
        state.SkipWithError("cannot write the input file");
        return;
    }
    close(descriptor);
    std::string command = std::string("iconv -f UTF-8 -t GB2312 ") + path + " > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) state.SkipWithError("iconv failed");
    }
    unlink(path);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * data.size()));
}

}  // namespace

BENCHMARK(BM_ConvertEncoding)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_IconvCommand)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_MAIN();
