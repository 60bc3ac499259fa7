// A DLL planted beside Setup.exe is never loaded, even with Wine told to prefer a DLL of that name
// over its own for programs named Setup.exe. The planted DLL leaves a marker file when it loads.

#include <gtest/gtest.h>

#include <vector>

#include "driver/Driver.h"
#include "util/Cp932.h"

namespace {

std::wstring Wide(const std::string& text) { return cp932::ToWideLossy(text); }

// IMAGE_FILE_MACHINE_* of a program file; 0 when it cannot be read.
WORD Machine(const std::string& exe)
{
    FileHandle file(::CreateFileW(Wide(exe).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                  nullptr));
    unsigned char header[1024] = {};
    DWORD got = 0;
    if (!file || !::ReadFile(file.Get(), header, sizeof header, &got, nullptr)) return 0;
    const DWORD pe = header[0x3C] | header[0x3D] << 8;
    if (pe + 6 > got) return 0;
    return static_cast<WORD>(header[pe + 4] | header[pe + 5] << 8);
}

// While it lives, Wine prefers a native `dll` for programs named Setup.exe; the keys it made go after.
class PreferNative {
public:
    explicit PreferNative(const std::string& dll) : dll_(Wide(dll.substr(0, dll.find('.'))))
    {
        for (const wchar_t* path : {kApp, kOverrides}) {
            RegKey key;
            DWORD disposition = 0;
            EXPECT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_WRITE, nullptr, key.Put(),
                                        &disposition),
                      ERROR_SUCCESS);
            created_.push_back(disposition == REG_CREATED_NEW_KEY ? path : nullptr);
            if (path == kOverrides) {
                const wchar_t value[] = L"native,builtin";
                EXPECT_EQ(::RegSetValueExW(key.Get(), dll_.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                           sizeof value),
                          ERROR_SUCCESS);
            }
        }
    }
    ~PreferNative()
    {
        RegKey key;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, kOverrides, 0, KEY_SET_VALUE, key.Put()) == ERROR_SUCCESS)
            ::RegDeleteValueW(key.Get(), dll_.c_str());
        key.Reset();
        for (auto it = created_.rbegin(); it != created_.rend(); ++it)
            if (*it) ::RegDeleteKeyW(HKEY_CURRENT_USER, *it);
    }
    PreferNative(const PreferNative&) = delete;
    PreferNative& operator=(const PreferNative&) = delete;

private:
    static constexpr const wchar_t* kApp = L"Software\\Wine\\AppDefaults\\Setup.exe";
    static constexpr const wchar_t* kOverrides = L"Software\\Wine\\AppDefaults\\Setup.exe\\DllOverrides";
    std::wstring dll_;
    std::vector<const wchar_t*> created_;
};

// The marker DLL, built for `machine`, copied into `folder` as `dll`; removed with its marker after.
class Planted {
public:
    Planted(const std::string& folder, const std::string& dll, WORD machine)
        : path_(folder + "\\" + dll), marker_(path_ + ".loaded")
    {
        Remove();
        const char* built = machine == IMAGE_FILE_MACHINE_I386 ? "i686" : "x86_64";
        const std::string source = e2e::ProgramFolder() + "\\planted\\" + built + "\\planted.dll";
        EXPECT_TRUE(::CopyFileW(Wide(source).c_str(), Wide(path_).c_str(), FALSE)) << source;
    }
    ~Planted() { Remove(); }
    Planted(const Planted&) = delete;
    Planted& operator=(const Planted&) = delete;

    [[nodiscard]] bool Loaded() const { return e2e::PathExists(marker_); }

private:
    void Remove() const
    {
        ::DeleteFileW(Wide(path_).c_str());
        ::DeleteFileW(Wide(marker_).c_str());
    }
    std::string path_, marker_;
};

TEST(DllSearch, DllsPlantedBesideSetupAreNotLoaded)
{
    const std::string disc = e2e::Disc("base");
    const WORD machine = Machine(disc + "\\Setup.exe");
    ASSERT_TRUE(machine == IMAGE_FILE_MACHINE_I386 || machine == IMAGE_FILE_MACHINE_AMD64) << machine;

    // The movie plays through the program's own player in the fixture, started as Setup.exe from a
    // folder of its own; the main menu is the real Setup.exe on the sample disc.
    const std::string movieFolder = e2e::BuildFolder() + "\\e2e-work\\dll-movie";
    ASSERT_TRUE(e2e::MakeFolders(movieFolder));
    ASSERT_TRUE(::CopyFileW(Wide(e2e::ProgramFolder() + "\\e2e_movie.exe").c_str(),
                            Wide(movieFolder + "\\Setup.exe").c_str(), FALSE));
    const WORD movieMachine = Machine(movieFolder + "\\Setup.exe");

    // Wine's own user32 takes a uxtheme.dll beside the program for a moment while it starts the
    // process, before any of the program's code runs; for that one the check is that the program
    // works, since the planted copy has none of the functions its windows call. version.dll is left
    // out: Wine's user32 imports it, so a planted one is bound at the start and no program can run.
    const struct {
        const char* dll;
        bool wineStartTakesIt;
    } cases[] = {{"winmm.dll", false}, {"uxtheme.dll", true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dll);
        PreferNative prefer(c.dll);
        {
            Planted planted(disc, c.dll, machine);
            auto setup = e2e::Start(disc + "\\Setup.exe", disc);
            auto menu = setup.WaitWindow("インストーラ", "TMainForm");
            (void)e2e::WaitScreenStill();
            menu.Click("終了");
            EXPECT_EQ(setup.WaitExit(), 0u);
            if (!c.wineStartTakesIt) {
                EXPECT_FALSE(planted.Loaded()) << "main menu";
            }
        }
        {
            Planted planted(movieFolder, c.dll, movieMachine);
            auto player = e2e::Start(movieFolder + "\\Setup.exe", movieFolder, "\"" + disc + "\\demo.avi\"");
            EXPECT_EQ(player.WaitExit(), 0u) << "the movie did not play to its end";
            if (!c.wineStartTakesIt) {
                EXPECT_FALSE(planted.Loaded()) << "movie";
            }
        }
    }
}

}  // namespace
