// A walk through Setup.exe on the sample disc with the end-to-end driver: one line and one picture
// of the screen per step.
//   e2e_demo.exe [DISC [PICTURES]]    defaults: build\disc and build\demo (build\ holds this program's folder)

#include <cstdio>
#include <memory>
#include <optional>

#include "driver/Driver.h"
#include "util/Cp932.h"

namespace {

constexpr const char* kMenu = "インストーラ";
constexpr const char* kExit = "終了";

struct Walk {
    std::string disc, pictures, installDir, gameName;
    std::optional<e2e::Process> setup;
    std::optional<e2e::Window> menu;
    std::optional<e2e::Window> game;
    std::unique_ptr<e2e::InstallRecord> record;
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

void StartSetup(Walk& walk)
{
    walk.setup.emplace(e2e::Start(walk.disc + "\\Setup.exe", walk.disc));
    walk.menu.emplace(walk.setup->WaitWindow(kMenu));
    PrintIndented(walk.menu->Listing());
}

void PressExit(Walk& walk)
{
    walk.menu->Click(kExit);
    const DWORD code = walk.setup->WaitExit();
    std::printf("      exit code %lu\n", static_cast<unsigned long>(code));
    if (code != 0) e2e::Fail("Setup.exe ended with exit code " + std::to_string(code));
    walk.menu.reset();
    walk.setup.reset();
}

// Until installing lands, the demo lays out what an installation leaves for the game: its program
// in a folder of its own, and the install record.
void RecordInstallAndStart(Walk& walk)
{
    const std::string folder = e2e::BuildFolder() + "\\demo-installed\\" + walk.installDir;
    if (!e2e::MakeFolders(folder)) e2e::Fail("cannot make " + folder);
    for (const char* program : {"game.exe", "game_gdi.exe"}) {
        const std::string from = walk.disc + "\\" + program;
        const std::string to = folder + "\\" + program;
        if (!::CopyFileW(cp932::ToWideLossy(from).c_str(), cp932::ToWideLossy(to).c_str(), FALSE))
            e2e::Fail("cannot copy " + from + " to " + to);
    }
    const std::string dir = folder + "\\";
    walk.record = std::make_unique<e2e::InstallRecord>(walk.installDir, dir);
    std::printf("      HKCU\\Software\\%s  Dir = %s\n", walk.installDir.c_str(), dir.c_str());
    StartSetup(walk);
}

void StartGame(Walk& walk)
{
    walk.menu->Click("【" + walk.gameName + "】の実行");
    walk.game.emplace(e2e::WaitWindow("サンプルゲーム"));
    PrintIndented(walk.game->Listing());
    const DWORD code = walk.setup->WaitExit();
    std::printf("      Setup.exe exit code %lu\n", static_cast<unsigned long>(code));
    if (code != 0) e2e::Fail("Setup.exe ended with exit code " + std::to_string(code));
    walk.menu.reset();
}

void CloseGameAndForget(Walk& walk)
{
    walk.game->Close();
    walk.game->WaitGone();
    walk.game.reset();
    // The game was started in Setup.exe's job: ending the job's owner now ends nothing more.
    walk.setup.reset();
    walk.record.reset();
    std::printf("      install record removed\n");
}

struct Step {
    const char* name;  // of the picture; nullptr: nothing to show
    const char* says;
    void (*run)(Walk&);
};

// Install and uninstall go here as they land.
const Step kSteps[] = {
    {"main-menu", "start Setup.exe from the disc: the main menu, game not installed", StartSetup},
    {nullptr, "press exit: the program ends", PressExit},
    {"main-menu-installed", "record the game as installed and start again: the main menu, game installed",
     RecordInstallAndStart},
    {"game-started", "press start game: the game runs in its folder and Setup.exe ends", StartGame},
    {nullptr, "close the game and remove the install record", CloseGameAndForget},
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

}  // namespace

int main(int argc, char** argv)
{
    Walk walk;
    walk.disc = argc > 1 ? argv[1] : e2e::BuildFolder() + "\\disc";
    walk.pictures = argc > 2 ? argv[2] : e2e::BuildFolder() + "\\demo";
    e2e::BeginScenario("demo");

    const auto installDir = e2e::IniValue(walk.disc + "\\Setup.ini", "Setup", "InstallDir");
    if (!installDir || installDir->empty()) {
        std::printf("no InstallDir in %s\\Setup.ini\n", walk.disc.c_str());
        return 2;
    }
    walk.installDir = *installDir;
    walk.gameName = e2e::IniValue(walk.disc + "\\Setup.ini", "Setup", "GameName").value_or("");
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
            e2e::WaitScreenStill();
            if (!e2e::SaveScreenshot(picture)) e2e::Fail("cannot save " + picture);
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
