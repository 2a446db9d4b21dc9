// HttpGet of a 32 MiB body from a loopback server, beside bare WinInet read
// loops with a 1 MiB buffer and with HttpGet's largest read chunk (102400
// bytes), in one process. Prints the median and best times of each, their
// ratios to HttpGet and the memory peak of HttpGet.
//
//   web_benchmark.exe http://127.0.0.1:PORT
#include "support/web.h"

#include <windows.h>
#include <psapi.h>
#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr size_t kBodySize = 32u << 20;
constexpr int kRounds = 11;

double Seconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

// The least a program can do: one request, 1 MiB reads into a buffer
// reserved for the whole body.
size_t BareFetch(HINTERNET internet, const std::wstring& host, INTERNET_PORT port, const std::wstring& object,
                 size_t bufferSize = 1u << 20) {
    size_t total = 0;
    HINTERNET connection = InternetConnectW(internet, host.c_str(), port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    if (!connection) return 0;
    HINTERNET request = HttpOpenRequestW(connection, L"GET", object.c_str(), L"HTTP/1.0", nullptr, nullptr,
                                         INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0);
    if (request && HttpSendRequestW(request, nullptr, 0, nullptr, 0)) {
        std::vector<unsigned char> buffer(bufferSize);
        std::vector<unsigned char> body;
        body.reserve(kBodySize);
        DWORD read = 0;
        while (InternetReadFile(request, buffer.data(), static_cast<DWORD>(buffer.size()), &read) && read > 0)
            body.insert(body.end(), buffer.data(), buffer.data() + read);
        total = body.size();
    }
    if (request) InternetCloseHandle(request);
    InternetCloseHandle(connection);
    return total;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: web_benchmark http://127.0.0.1:PORT\n");
        return 2;
    }
    std::string base = argv[1];
    std::string object = "/__test/bytes/benchmark?size=" + std::to_string(kBodySize);
    std::string port = base.substr(base.rfind(':') + 1);

    // Memory first, in a process that has fetched nothing yet and shows a
    // window, as the installer does before its first download: the window
    // system's own start (Wine loads its display driver then) is no part of it.
    HWND window = CreateWindowExW(0, L"STATIC", L"web_benchmark", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 320, 200, nullptr, nullptr, nullptr, nullptr);
    PROCESS_MEMORY_COUNTERS before = {sizeof before};
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
    size_t fetched = HttpGet(base + object).size();
    PROCESS_MEMORY_COUNTERS after = {sizeof after};
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
    if (fetched != kBodySize) {
        std::fprintf(stderr, "HttpGet gave %zu bytes, not %zu\n", fetched, kBodySize);
        return 1;
    }

    HINTERNET internet = InternetOpenW(L"web_benchmark", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    std::wstring wideObject(object.begin(), object.end());
    std::vector<double> httpGet, bare, small;
    for (int round = 0; round < kRounds; ++round) {
        auto start = std::chrono::steady_clock::now();
        size_t size = HttpGet(base + object).size();
        httpGet.push_back(Seconds(std::chrono::steady_clock::now() - start));
        start = std::chrono::steady_clock::now();
        size_t bareSize = BareFetch(internet, L"127.0.0.1", static_cast<INTERNET_PORT>(std::stoi(port)), wideObject);
        bare.push_back(Seconds(std::chrono::steady_clock::now() - start));
        start = std::chrono::steady_clock::now();
        BareFetch(internet, L"127.0.0.1", static_cast<INTERNET_PORT>(std::stoi(port)), wideObject, 102400);
        small.push_back(Seconds(std::chrono::steady_clock::now() - start));
        if (size != kBodySize || bareSize != kBodySize) {
            std::fprintf(stderr, "round %d: %zu and %zu bytes\n", round, size, bareSize);
            return 1;
        }
    }
    InternetCloseHandle(internet);
    DestroyWindow(window);

    double mib = 1024.0 * 1024.0;
    std::printf("HttpGet of %zu MiB, %d rounds: median %.1f ms, best %.1f ms\n", kBodySize >> 20, kRounds,
                Median(httpGet) * 1000, *std::min_element(httpGet.begin(), httpGet.end()) * 1000);
    std::printf("bare 1 MiB read loop:        median %.1f ms, best %.1f ms\n", Median(bare) * 1000,
                *std::min_element(bare.begin(), bare.end()) * 1000);
    std::printf("bare 100 KiB read loop:      median %.1f ms, best %.1f ms\n", Median(small) * 1000,
                *std::min_element(small.begin(), small.end()) * 1000);
    std::printf("HttpGet / bare (medians):    %.2f\n", Median(httpGet) / Median(bare));
    std::printf("HttpGet / bare 100 KiB:      %.2f\n", Median(httpGet) / Median(small));
    std::printf("first HttpGet: peak working set %.1f MiB (%.1f before), peak pagefile %.1f MiB (%.1f before);"
                " growth %.2fx and %.2fx the body\n",
                after.PeakWorkingSetSize / mib, before.PeakWorkingSetSize / mib, after.PeakPagefileUsage / mib,
                before.PeakPagefileUsage / mib,
                (after.PeakWorkingSetSize - before.PeakWorkingSetSize) / static_cast<double>(kBodySize),
                (after.PeakPagefileUsage - before.PeakPagefileUsage) / static_cast<double>(kBodySize));
    return 0;
}
