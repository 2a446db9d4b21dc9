// Time from process start to a visible main window, for each program named on
// the command line, in turns, so that all see the same machine load:
//   startup_benchmark.exe RUNS PROGRAM...
// A message box is not a main window: the installer's start-up sequence
// shows one right after its window, and it does not count.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kWarmUpRuns = 2;
constexpr double kGiveUpMs = 20000;

struct Search {
    DWORD process;
    bool found;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM lParam) {
    Search* search = reinterpret_cast<Search*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t className[64] = {};
    GetClassNameW(window, className, 64);
    if (owner == search->process && IsWindowVisible(window) && lstrcmpW(className, L"#32770") != 0) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// One start: the milliseconds until the window is visible, or a negative number.
double TimeOneStart(const std::wstring& program) {
    std::wstring folder = program.substr(0, program.find_last_of(L"\\/") + 1);
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION child = {};
    LARGE_INTEGER start, now;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &child)) {
        return -1;
    }
    double elapsed = -1;
    for (;;) {
        Search search = {child.dwProcessId, false};
        EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&search));
        QueryPerformanceCounter(&now);
        if (search.found) {
            elapsed = Milliseconds(start, now);
            break;
        }
        if (Milliseconds(start, now) > kGiveUpMs || WaitForSingleObject(child.hProcess, 0) == WAIT_OBJECT_0) break;
        Sleep(1);
    }
    TerminateProcess(child.hProcess, 0);
    WaitForSingleObject(child.hProcess, 5000);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return elapsed;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: startup_benchmark RUNS PROGRAM...\n");
        return 2;
    }
    int runs = std::max(1, _wtoi(argv[1]));
    std::vector<std::wstring> programs(argv + 2, argv + argc);
    std::vector<std::vector<double>> times(programs.size());
    for (int run = 0; run < kWarmUpRuns + runs; ++run) {
        for (size_t i = 0; i < programs.size(); ++i) {
            double elapsed = TimeOneStart(programs[i]);
            if (elapsed < 0) {
                std::fprintf(stderr, "%ls: no visible window\n", programs[i].c_str());
                return 1;
            }
            if (run >= kWarmUpRuns) times[i].push_back(elapsed);
        }
    }
    double baseline = Median(times[0]);
    for (size_t i = 0; i < programs.size(); ++i) {
        const std::vector<double>& t = times[i];
        std::printf("%-40ls median %7.1f ms  min %7.1f  max %7.1f  (%d starts)  %.2fx the first\n",
                    programs[i].substr(programs[i].find_last_of(L"\\/") + 1).c_str(), Median(t),
                    *std::min_element(t.begin(), t.end()), *std::max_element(t.begin(), t.end()), runs,
                    Median(t) / baseline);
    }
    return 0;
}
