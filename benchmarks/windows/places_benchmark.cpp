// GamePlaces() under Wine on the real file system: the Unix home that Wine
// names (this process's HOME) holds a Steam folder, reached through its two
// links too, whose libraries (two) hold the Proton prefixes that
// benchmarks/windows/run makes, and the records and prefixes of the other
// launchers. Prints the places found, the first (cold)
// search and the median and worst of the later ones, against the bound.
//
//   places_benchmark.exe EXPECTED_PLACES
#include "model/game_paths.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kRounds = 21;
constexpr double kBoundMs = 100;

double Milliseconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: places_benchmark EXPECTED_PLACES\n");
        return 2;
    }
    std::vector<double> times;
    size_t found = 0;
    for (int round = 0; round <= kRounds; ++round) {
        auto start = std::chrono::steady_clock::now();
        std::vector<GamePlace> places = GamePlaces();
        times.push_back(Milliseconds(std::chrono::steady_clock::now() - start));
        if (round == 0)
            for (const GamePlace& place : places) std::printf("place: %s\n", place.label.c_str());
        found = places.size();
    }
    if (found != static_cast<size_t>(std::stoul(argv[1]))) {
        std::fprintf(stderr, "found %zu places, not %s\n", found, argv[1]);
        return 1;
    }
    const double cold = times.front();
    times.erase(times.begin());
    std::sort(times.begin(), times.end());
    std::printf("GamePlaces, %d rounds: first %.1f ms, median %.1f ms, worst %.1f ms (bound %.0f ms)\n", kRounds, cold,
                times[times.size() / 2], times.back(), kBoundMs);
    return std::max(cold, times.back()) <= kBoundMs ? 0 : 1;
}
