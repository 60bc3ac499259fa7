// Times one installation of a disc through Setup.exe's own copy, as a person would start it: from
// the press of the dialog's start button to the message that the installation is complete (the
// copy, the shortcuts, the record and the list entry; not the program's start).
//   copy_bench.exe DISC DESTINATION     DESTINATION's last level must be the disc's InstallDir
// Prints "seconds S". Exit code 1 when the installation did not complete.

#include <windows.h>

#include <cstdio>
#include <string>

#include "driver/Driver.h"
#include "util/Cp932.h"

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
        LARGE_INTEGER frequency{}, start{}, end{};
        ::QueryPerformanceFrequency(&frequency);
        ::QueryPerformanceCounter(&start);
        dialog.Click("インストールの開始");
        // Looked for every millisecond, not at the driver's pace, so that the span ends with the box.
        for (DWORD waited = 0; e2e::FindWindows("Setup.exe", "#32770", setup.Id()).empty() && waited < 600000; ++waited)
            ::Sleep(1);
        ::QueryPerformanceCounter(&end);
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
        std::printf("seconds %.4f\n", static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "copy_bench: %s\n", error.what());
        return 1;
    }
}
