// Times one installation of a disc through Setup.exe's own copy, as a person would start it: from
// the press of the dialog's start button to the message that the installation is complete (the
// copy, the shortcuts, the record and the list entry; not the program's start).
//   copy_bench.exe DISC DESTINATION     DESTINATION's last level must be the disc's InstallDir
// Prints "seconds S" and "first-file S", the time from the press to the first file in DESTINATION
// (what the installation spends before it copies). Exit code 1 when the installation did not complete.

#include <windows.h>

#include <cstdio>
#include <string>

#include "driver/Driver.h"
#include "util/Cp932.h"

namespace {

// Whether the process shows a message box titled Setup.exe: found by the system's own search, a
// request or two, so that looking every millisecond does not take the server from the copy.
bool ShowsTheBox(DWORD pid)
{
    for (HWND box = nullptr; (box = ::FindWindowExW(nullptr, box, L"#32770", L"Setup.exe"));) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(box, &owner);
        if (owner == pid) return true;
    }
    return false;
}

bool HoldsAFile(const std::wstring& folder)
{
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return false;
    bool file = false;
    do file = !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    while (!file && ::FindNextFileW(search, &found));
    ::FindClose(search);
    return file;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: copy_bench DISC DESTINATION\n");
        return 2;
    }
    const std::string disc = cp932::FromWideLossy(argv[1]);
    const std::string destination = cp932::FromWideLossy(argv[2]);
    const std::string installDir = e2e::IniValue(disc + "\\Setup.ini", "Setup", "InstallDir").value_or("");
    try {
        e2e::InstallRecord::Remove(installDir);
        auto setup = e2e::Start(disc + "\\Setup.exe", disc);
        auto menu = setup.WaitWindow("インストーラ", "TMainForm");
        const std::string gameName = e2e::IniValue(disc + "\\Setup.ini", "Setup", "GameName").value_or("");
        menu.Click("【" + gameName + "】のインストール");
        auto dialog = setup.WaitWindow("インストール先の指定");
        dialog.Child("Edit").SetText(destination);
        // The copy alone: the demo would share the processor with it.
        const e2e::Control movie = dialog.Button("デモを再生する");
        if (movie.Checked()) movie.SetChecked(false);
        LARGE_INTEGER frequency{}, start{}, firstFile{}, end{};
        ::QueryPerformanceFrequency(&frequency);
        ::QueryPerformanceCounter(&start);
        dialog.Click("インストールの開始");
        // Looked for every millisecond, not at the driver's pace, so that the span ends with the box;
        // the folder only until its first file, so as not to share the processor with the copy.
        for (DWORD waited = 0; !ShowsTheBox(setup.Id()) && waited < 600000; ++waited) {
            if (firstFile.QuadPart == 0 && HoldsAFile(argv[2])) ::QueryPerformanceCounter(&firstFile);
            ::Sleep(1);
        }
        ::QueryPerformanceCounter(&end);
        if (firstFile.QuadPart == 0) firstFile = end;
        auto box = setup.WaitMessageBox("Setup.exe");
        const bool complete = box.Text() == "インストールしました";
        box.Press(IDOK);
        menu.Click("終了");
        setup.WaitExit();
        e2e::InstallRecord::Remove(installDir);
        if (!complete) {
            std::fprintf(stderr, "copy_bench: the installation did not complete\n");
            return 1;
        }
        const auto seconds = [&](LARGE_INTEGER at) {
            return static_cast<double>(at.QuadPart - start.QuadPart) / frequency.QuadPart;
        };
        std::printf("seconds %.4f\nfirst-file %.4f\n", seconds(end), seconds(firstFile));
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "copy_bench: %s\n", error.what());
        return 1;
    }
}
