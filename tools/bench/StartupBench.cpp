// Starts two programs by turns and measures each start: the time from process creation to its first
// visible top-level window, and the committed memory once that window is up.
//   startup_bench.exe RUNS FOLDER PROGRAM BASELINE
// Prints per program `startup-ms-NAME`, `commit-kib-NAME` (medians); NAME is program or baseline.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {
struct Search {
    DWORD process;
    HWND found;
};

BOOL CALLBACK FindVisible(HWND hwnd, LPARAM lParam)
{
    auto& search = *reinterpret_cast<Search*>(lParam);
    DWORD process = 0;
    ::GetWindowThreadProcessId(hwnd, &process);
    if (process != search.process || !::IsWindowVisible(hwnd)) return TRUE;
    search.found = hwnd;
    return FALSE;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to, LARGE_INTEGER frequency)
{
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// One start: false if the program showed no window within 30 s.
bool Measure(const std::wstring& program, const std::wstring& folder, double& seconds, double& commitKib)
{
    LARGE_INTEGER frequency, start, now;
    ::QueryPerformanceFrequency(&frequency);
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION info{};
    std::wstring command = L"\"" + program + L"\"";
    ::QueryPerformanceCounter(&start);
    if (!::CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                          &startup, &info))
        return false;
    Search search{info.dwProcessId, nullptr};
    do {
        ::EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
        ::QueryPerformanceCounter(&now);
        if (!search.found) ::Sleep(1);
    } while (!search.found && Seconds(start, now, frequency) < 30);
    seconds = Seconds(start, now, frequency);
    // Let the window finish painting before reading the memory.
    ::Sleep(300);
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    commitKib = ::GetProcessMemoryInfo(info.hProcess, &counters, sizeof(counters))
                    ? static_cast<double>(counters.PagefileUsage) / 1024
                    : 0;
    ::TerminateProcess(info.hProcess, 0);
    ::WaitForSingleObject(info.hProcess, 10000);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return search.found != nullptr;
}

double Median(std::vector<double> values)
{
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::wstring Wide(const char* text)
{
    std::wstring wide(std::strlen(text) + 1, L'\0');
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), static_cast<int>(wide.size()));
    wide.resize(length > 0 ? static_cast<size_t>(length) - 1 : 0);
    return wide;
}
}  // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fputs("usage: startup_bench RUNS FOLDER PROGRAM BASELINE\n", stderr);
        return 2;
    }
    const int runs = std::atoi(argv[1]);
    const std::wstring folder = Wide(argv[2]);
    const std::wstring programs[2] = {Wide(argv[3]), Wide(argv[4])};
    const char* names[2] = {"program", "baseline"};
    std::vector<double> times[2], commits[2], ratios, deltas;
    for (int run = 0; run < runs; ++run) {
        // The order alternates, so that neither program always starts on a warmer machine.
        for (int turn = 0; turn < 2; ++turn) {
            const int which = run % 2 ? 1 - turn : turn;
            double seconds = 0, commitKib = 0;
            if (!Measure(programs[which], folder, seconds, commitKib)) {
                std::fprintf(stderr, "%s showed no window\n", argv[3 + which]);
                return 1;
            }
            times[which].push_back(seconds * 1000);
            commits[which].push_back(commitKib);
        }
        ratios.push_back(times[0].back() / times[1].back());
        deltas.push_back(commits[0].back() - commits[1].back());
    }
    for (int which = 0; which < 2; ++which) {
        std::printf("startup-ms-%s %.1f\n", names[which], Median(times[which]));
        std::printf("commit-kib-%s %.0f\n", names[which], Median(commits[which]));
    }
    // Each figure is the median of the rounds' own ratios (differences), with their range.
    std::printf("startup-ratio-median %.3f\nstartup-ratio-min %.3f\nstartup-ratio-max %.3f\n", Median(ratios),
                *std::min_element(ratios.begin(), ratios.end()), *std::max_element(ratios.begin(), ratios.end()));
    std::printf("memory-delta-median %.0f\nmemory-delta-min %.0f\nmemory-delta-max %.0f\n", Median(deltas),
                *std::min_element(deltas.begin(), deltas.end()), *std::max_element(deltas.begin(), deltas.end()));
    return 0;
}
