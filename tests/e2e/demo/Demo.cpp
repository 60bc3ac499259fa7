// A walk through Setup.exe on the sample disc with the end-to-end driver, as a player would go: the
// main menu, a whole installation, the installed game, and its uninstallation. One line and one
// picture of the window concerned per step.
//   e2e_demo.exe [DISC [PICTURES]]    defaults: build\disc and build\demo (build\ holds this program's folder)

#include <shlobj.h>

#include <cstdio>
#include <optional>

#include "driver/Driver.h"
#include "util/Cp932.h"

namespace {

constexpr const char* kMenu = "インストーラ";

struct Walk {
    std::string disc, pictures, installDir, gameName, shortCut;
    std::string destination;  // the destination dialog's default: where the walk installs
    std::optional<e2e::Process> setup;
    std::optional<e2e::Window> menu;
    std::optional<e2e::Window> shown;  // the window that the step's picture shows
    std::optional<e2e::MsgBox> box;    // a message box the step leaves open
};

std::string LinuxPath(const std::string& path)
{
    if (path.size() < 2 || (path[0] != 'Z' && path[0] != 'z') || path[1] != ':') return path;
    std::string linux = path.substr(2);
    for (char& c : linux)
        if (c == '\\') c = '/';
    return linux;
}

void PrintIndented(const std::string& text)
{
    size_t at = 0;
    while (at <= text.size()) {
        const size_t end = std::min(text.find('\n', at), text.size());
        std::printf("      %s\n", text.substr(at, end - at).c_str());
        at = end + 1;
    }
}

std::string StartMenuFolder(const Walk& walk) { return e2e::SpecialFolder(CSIDL_PROGRAMS) + "\\" + walk.shortCut; }

void ShowBox(Walk& walk, const e2e::MsgBox& box)
{
    std::printf("      message box \"%s\": %s\n", box.Caption().c_str(), box.Text().c_str());
    walk.box = box;
    walk.shown = box;
}

void PressBoxOk(Walk& walk)
{
    walk.box->Press(IDOK);
    walk.box.reset();
}

// The walk starts on a machine without the game: no record, no Start-menu folder, no game folder.
void StartFresh(Walk& walk)
{
    e2e::InstallRecord::Remove(walk.installDir);
    e2e::RemoveTree(StartMenuFolder(walk));
    walk.setup.emplace(e2e::Start(walk.disc + "\\Setup.exe", walk.disc));
    walk.menu.emplace(walk.setup->WaitWindow(kMenu));
    walk.shown = walk.menu;
    PrintIndented(walk.menu->Listing());
}

void PressInstall(Walk& walk)
{
    walk.menu->Click("【" + walk.gameName + "】のインストール");
    walk.shown.emplace(walk.setup->WaitWindow("インストール先の指定"));
    walk.destination = walk.shown->Child("Edit").Text();
    e2e::RemoveTree(walk.destination);  // left by an earlier walk that stopped half-way
    PrintIndented(walk.shown->Listing());
}

// A cancel click holds the copy at its next block: the question is moved aside for the picture while
// the movie goes on, and No lets the copy finish.
void PressStart(Walk& walk)
{
    walk.shown->Click("インストールの開始");
    const e2e::Window copy = walk.setup->WaitWindow("インストールの経過");
    // The movie starts with the second file; the last one is the big one.
    e2e::WaitUntil([&] { return copy.Child("Static").Text() == "bigdata.datをコピーしています"; }, "the big file");
    copy.Click("キャンセル");
    walk.box.emplace(walk.setup->WaitMessageBox("Setp.exe"));
    ::SetWindowPos(walk.box->Handle(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::Sleep(800);  // some frames of the movie
    walk.shown = copy;
    PrintIndented(copy.Listing());
}

void AnswerNoAndFinish(Walk& walk)
{
    walk.box->Press(IDNO);
    ShowBox(walk, walk.setup->WaitMessageBox("Setup.exe"));
}

void ListStartMenu(Walk& walk)
{
    PressBoxOk(walk);
    const std::string folder = StartMenuFolder(walk);
    std::printf("      %s\n", folder.c_str());
    for (const std::string& name : e2e::FilesIn(folder)) {
        const auto link = e2e::ReadShortcut(folder + "\\" + name);
        std::printf("        %s -> %s  (working folder %s, show command %d)\n", name.c_str(),
                    link ? link->target.c_str() : "?", link ? link->workingFolder.c_str() : "?",
                    link ? link->showCommand : -1);
    }
    const auto dir = e2e::InstallRecord::Read(walk.installDir);
    std::printf("      HKCU\\Software\\%s  Dir = %s\n", walk.installDir.c_str(), dir ? dir->c_str() : "(none)");
    walk.shown = walk.menu;
    PrintIndented(walk.menu->Listing());
}

void StartGame(Walk& walk)
{
    walk.menu->Click("【" + walk.gameName + "】の実行");
    walk.shown.emplace(e2e::WaitWindow("サンプルゲーム"));
    PrintIndented(walk.shown->Listing());
    const DWORD code = walk.setup->WaitExit();
    std::printf("      Setup.exe exit code %lu\n", static_cast<unsigned long>(code));
    if (code != 0) e2e::Fail("Setup.exe ended with exit code " + std::to_string(code));
}

void CloseGameAndUninstall(Walk& walk)
{
    walk.shown->Close();
    walk.shown->WaitGone();
    walk.setup.emplace(e2e::Start(walk.disc + "\\Setup.exe", walk.disc));
    walk.menu.emplace(walk.setup->WaitWindow(kMenu));
    walk.menu->Click("【" + walk.gameName + "】のアンインストール");
    walk.shown.emplace(walk.setup->WaitWindow("アンインストールオプション"));
    PrintIndented(walk.shown->Listing());
}

void PressUninstall(Walk& walk)
{
    walk.shown->Click("アンインストールの開始");
    ShowBox(walk, walk.setup->WaitMessageBox("Setup.exe"));
}

void StartAgain(Walk& walk)
{
    PressBoxOk(walk);
    const DWORD code = walk.setup->WaitExit();
    std::printf("      Setup.exe exit code %lu; %s %s\n", static_cast<unsigned long>(code), walk.destination.c_str(),
                e2e::PathExists(walk.destination) ? "is still there" : "is gone");
    walk.setup.emplace(e2e::Start(walk.disc + "\\Setup.exe", walk.disc));
    walk.menu.emplace(walk.setup->WaitWindow(kMenu));
    walk.shown = walk.menu;
    PrintIndented(walk.menu->Listing());
}

void PressExit(Walk& walk)
{
    walk.menu->Click("終了");
    const DWORD code = walk.setup->WaitExit();
    std::printf("      exit code %lu\n", static_cast<unsigned long>(code));
    if (code != 0) e2e::Fail("Setup.exe ended with exit code " + std::to_string(code));
}

struct Step {
    const char* name;  // of the picture; nullptr: nothing to show
    const char* says;
    void (*run)(Walk&);
};

const Step kSteps[] = {
    {"main-menu", "start Setup.exe from the disc: the main menu, game not installed", StartFresh},
    {"destination", "press install: the destination dialog with free and required space", PressInstall},
    {"copying", "press start: the copy window, the demo movie playing (a cancel click holds the copy)",
     PressStart},
    {"installed", "answer No to the cancel question: the copy finishes", AnswerNoAndFinish},
    {"main-menu-installed", "press OK: the Start-menu shortcuts and the record; the main menu refreshed",
     ListStartMenu},
    {"game-started", "press start game: the game runs in its folder and Setup.exe ends", StartGame},
    {"uninstall", "close the game, start Setup.exe again and press uninstall: the uninstall dialog",
     CloseGameAndUninstall},
    {"uninstalled", "press start uninstalling", PressUninstall},
    {"main-menu-after", "press OK: the program ends; started again, the game is not installed", StartAgain},
    {nullptr, "press exit: the program ends", PressExit},
};

void ClearOldPictures(const std::string& folder)
{
    WIN32_FIND_DATAW found;
    FindHandle search(::FindFirstFileW(cp932::ToWideLossy(folder + "\\?" "?-*.png").c_str(), &found));
    if (!search) return;
    do {
        ::DeleteFileW((cp932::ToWideLossy(folder + "\\") + found.cFileName).c_str());
    } while (::FindNextFileW(search.Get(), &found));
}

// The shown window alone, title bar and frame included.
void SavePicture(const Walk& walk, const std::string& path)
{
    e2e::WaitScreenStill();
    RECT area{};
    if (!walk.shown || !::GetWindowRect(walk.shown->Handle(), &area)) e2e::Fail("no window to show");
    const auto image = e2e::CaptureScreen(area);
    if (!image || !e2e::SavePng(*image, path)) e2e::Fail("cannot save " + path);
}

}  // namespace

int main(int argc, char** argv)
{
    Walk walk;
    walk.disc = argc > 1 ? argv[1] : e2e::BuildFolder() + "\\disc";
    walk.pictures = argc > 2 ? argv[2] : e2e::BuildFolder() + "\\demo";
    e2e::BeginScenario("demo");

    const std::string ini = walk.disc + "\\Setup.ini";
    const auto installDir = e2e::IniValue(ini, "Setup", "InstallDir");
    if (!installDir || installDir->empty()) {
        std::printf("no InstallDir in %s\n", ini.c_str());
        return 2;
    }
    walk.installDir = *installDir;
    walk.gameName = e2e::IniValue(ini, "Setup", "GameName").value_or("");
    walk.shortCut = e2e::IniValue(ini, "Setup", "ShortCut").value_or("");
    if (!e2e::MakeFolders(walk.pictures)) {
        std::printf("cannot make %s\n", walk.pictures.c_str());
        return 2;
    }
    ClearOldPictures(walk.pictures);
    std::printf("Setup.exe from %s (InstallDir %s)\n", LinuxPath(walk.disc).c_str(), walk.installDir.c_str());

    int number = 0;
    try {
        for (const Step& step : kSteps) {
            ++number;
            std::printf("%02d  %s\n", number, step.says);
            std::fflush(stdout);
            step.run(walk);
            if (!step.name) continue;
            char prefix[8];
            std::snprintf(prefix, sizeof prefix, "%02d-", number);
            const std::string picture = walk.pictures + "\\" + prefix + step.name + ".png";
            SavePicture(walk, picture);
            std::printf("      picture: %s\n", LinuxPath(picture).c_str());
            std::fflush(stdout);
        }
    } catch (const std::exception& failure) {
        std::printf("FAILED at step %02d: %s\n", number, failure.what());
        return 1;
    }
    std::printf("done: %d steps, pictures in %s\n", number, LinuxPath(walk.pictures).c_str());
    return 0;
}
