#pragma once
// What the main-menu scenarios share: the sample disc's button captions, starting Setup.exe from a
// disc variant, and the install record of the sample game.

#include <gtest/gtest.h>
#include <shlobj.h>

#include <string>

#include "driver/Driver.h"

namespace e2e::menu {

inline constexpr const char* Exec = "【見本ゲーム】の実行";
inline constexpr const char* Install = "【見本ゲーム】のインストール";
inline constexpr const char* DelStart = "スタートメニュー削除";
inline constexpr const char* Uninstall = "【見本ゲーム】のアンインストール";
inline constexpr const char* Dxsetup = "DirectX9.0bのインストール";
inline constexpr const char* Exit = "終了";
inline constexpr const char* kInstallDir = "MihonGame";

struct Expect {
    const char* caption;
    bool visible;
    bool enabled;
};

inline void Check(const Window& window, const Expect& expect)
{
    const Control button = window.Button(expect.caption);
    EXPECT_EQ(button.StyleVisible(), expect.visible) << expect.caption << "\n" << window.Listing();
    EXPECT_EQ(button.Enabled(), expect.enabled) << expect.caption << "\n" << window.Listing();
}

// Setup.exe of a disc variant, with the disc as its working folder.
inline Process StartFromDisc(const std::string& disc, const std::string& workingDisc = "")
{
    return Start(Disc(disc) + "\\Setup.exe", Disc(workingDisc.empty() ? disc : workingDisc));
}

// The folder the fixture lays out as an installed copy of the base disc, without a final backslash.
inline std::string InstalledDir() { return Disc("installed") + "\\見本ゲーム"; }

// No record of the sample game, and no entry of it in Windows' list with its uninstaller.
inline void ClearRecord()
{
    InstallRecord::Remove(kInstallDir);
    ::RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MihonGame");
    RemoveTree(SpecialFolder(CSIDL_LOCAL_APPDATA) + "\\MihonGame Uninstall");
}

// An install record whose Dir is not a string.
inline void WriteDwordDir(DWORD value)
{
    HKEY key = nullptr;
    const std::wstring path = L"Software\\MihonGame";
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const RegKey owner(key);
    ASSERT_EQ(::RegSetValueExW(key, L"Dir", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value)),
              ERROR_SUCCESS);
}

// Main menus on the screen now, of any process.
inline int MainWindowCount()
{
    int count = 0;
    for (HWND hwnd = ::FindWindowW(L"TMainForm", nullptr); hwnd; hwnd = ::FindWindowExW(nullptr, hwnd, L"TMainForm", nullptr))
        ++count;
    return count;
}

}  // namespace e2e::menu
