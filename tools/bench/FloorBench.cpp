// The copy engine against the floor its rules set, in one process on the same files, by turns:
//   floor_bench.exe DISC OUT ROUNDS [FIRST]
// The engine copies the disc's file list (as Setup.ini gives it, sound included) into OUT with an
// observer that does what the copy window does per block: one pass over the waiting messages, and
// the two bars moved at most every 40 ms. The floor is a plain loop over the same files: one 1 MiB
// ReadFile and WriteFile per block with one PeekMessage/DispatchMessage pass. A third loop does the
// same in 64 KiB blocks (one message pass per MiB): this machine sometimes writes 1 MiB blocks ten
// times slower than usual and 64 KiB blocks never, so a 1 MiB floor more than twice as slow as the
// 64 KiB loop marks a round the machine slowed down. Each is timed from its first block to its last
// write. Rounds are numbered from FIRST (default 1); the order of the three turns over on even
// rounds. Prints a line per round and `floor-ratio-median|min|max R`, the rounds' ratios of the
// floor's time to the engine's (1 means as fast as the floor).

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "setup/BarPace.h"
#include "setup/CopyEngine.h"
#include "setup/SetupConfig.h"
#include "util/Cp932.h"

namespace {

double Now()
{
    LARGE_INTEGER counter{}, frequency{};
    ::QueryPerformanceCounter(&counter);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void PumpOnce()
{
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

// What the copy window does per block: one message pass, and the bars as its pace draws them.
struct WindowObserver : setup::CopyObserver {
    HWND fileBar = nullptr;
    HWND totalBar = nullptr;
    setup::BarPace bars;
    double first = 0;
    double last = 0;
    void ItemStarts(const setup::CopyItem&) override {}
    void FileSized(unsigned long long bytes) override { bars.FileSized(bytes); }
    bool GoOn() override
    {
        if (first == 0) first = Now();
        PumpOnce();
        return true;
    }
    void Progress(unsigned long long done, unsigned long long kb) override
    {
        last = Now();
        bars.Progress(done, kb);
        const setup::BarPace::Draw draw = bars.Due(::GetTickCount(), false);
        if (draw.fileRange) ::SendMessageW(fileBar, PBM_SETRANGE32, 0, *draw.fileRange);
        if (draw.filePosition) ::SendMessageW(fileBar, PBM_SETPOS, static_cast<WPARAM>(*draw.filePosition), 0);
        if (draw.totalPosition) ::SendMessageW(totalBar, PBM_SETPOS, static_cast<WPARAM>(*draw.totalPosition), 0);
    }
};

constexpr DWORD kMiB = 1 << 20;

// The floor: the same files, a plain block loop with a message pass per MiB.
double Floor(const setup::Plan& plan, const std::wstring& out, char* buffer, DWORD block)
{
    const DWORD blocksPerPass = kMiB / block;
    double first = 0;
    double last = 0;
    for (const setup::CopyItem& item : plan.items) {
        if (!item.copied) continue;
        const HANDLE source = ::CreateFileW(cp932::ToWideLossy(item.copySource).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                            nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        const HANDLE target = ::CreateFileW((out + L"\\" + cp932::ToWideLossy(item.storedName)).c_str(), GENERIC_WRITE,
                                            0, nullptr, CREATE_NEW, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
        if (source == INVALID_HANDLE_VALUE || target == INVALID_HANDLE_VALUE) return -1;
        for (DWORD n = 0;; ++n) {
            if (first == 0) first = Now();
            if (n % blocksPerPass == 0) PumpOnce();
            DWORD got = 0, written = 0;
            if (!::ReadFile(source, buffer, block, &got, nullptr) || got == 0) break;
            ::WriteFile(target, buffer, got, &written, nullptr);
            last = Now();
        }
        ::CloseHandle(source);
        ::CloseHandle(target);
    }
    return last - first;
}

void Empty(const std::wstring& folder)
{
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ::DeleteFileW((folder + L"\\" + found.cFileName).c_str());
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 4 && argc != 5) {
        std::fputs("usage: floor_bench DISC OUT ROUNDS [FIRST]\n", stderr);
        return 2;
    }
    const std::string disc = cp932::FromWideLossy(argv[1]);
    const std::wstring out = argv[2];
    const int rounds = std::max(1, _wtoi(argv[3]));
    const int firstRound = argc == 5 ? std::max(1, _wtoi(argv[4])) : 1;
    const setup::SetupConfig config = setup::LoadSetupConfig(disc + "\\Setup.ini");
    const setup::Plan plan = setup::MakePlan(config.Files, disc + "\\", !config.Movie.empty(), {});

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
    const HWND window = ::CreateWindowExW(0, L"STATIC", L"floor_bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 300,
                                          120, nullptr, nullptr, nullptr, nullptr);
    WindowObserver observer;
    observer.fileBar = ::CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 8, 8, 256, 16, window,
                                         nullptr, nullptr, nullptr);
    observer.totalBar = ::CreateWindowExW(0, PROGRESS_CLASSW, L"", WS_CHILD | WS_VISIBLE, 8, 40, 256, 16, window,
                                          nullptr, nullptr, nullptr);
    unsigned long long totalKB = 0;  // as the destination dialog counts it: what the copy window is given
    for (const setup::CopyItem& item : plan.items) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!item.countedSource.empty() &&
            ::GetFileAttributesExW(cp932::ToWideLossy(item.countedSource).c_str(), GetFileExInfoStandard, &data))
            totalKB += ((static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow) / 1024;
    }
    const std::unique_ptr<char[]> buffer(new char[kMiB]);

    std::vector<double> ratios;
    for (int round = firstRound; round < firstRound + rounds; ++round) {
        double times[3] = {};  // the engine, the 1 MiB floor, the 64 KiB loop
        // The order turns over every other round, so that none always runs on a warmer cache.
        for (int turn = 0; turn < 3; ++turn) {
            const int who = round % 2 ? turn : 2 - turn;
            Empty(out);
            if (who == 0) {
                observer.first = observer.last = 0;
                ::SendMessageW(observer.totalBar, PBM_SETRANGE32, 0, observer.bars.Start(totalKB, ::GetTickCount()));
                if (!setup::Copy({cp932::FromWideLossy(out), plan}, observer).outcome.Ok()) return 1;
                times[0] = observer.last - observer.first;
            } else {
                times[who] = Floor(plan, out, buffer.get(), who == 1 ? kMiB : 64 * 1024);
                if (times[who] < 0) return 1;
            }
        }
        ratios.push_back(times[1] / times[0]);
        std::printf("round %d: engine %.4f s, floor %.4f s, 64k-loop %.4f s, ratio %.3f%s\n", round, times[0], times[1],
                    times[2], ratios.back(), times[1] > 2 * times[2] ? ", slow" : "");
    }
    Empty(out);
    ::DestroyWindow(window);
    std::printf("floor-ratio-median %.3f\nfloor-ratio-min %.3f\nfloor-ratio-max %.3f\n", Median(ratios),
                *std::min_element(ratios.begin(), ratios.end()), *std::max_element(ratios.begin(), ratios.end()));
    return 0;
}
