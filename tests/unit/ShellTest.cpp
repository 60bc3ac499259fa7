#include "toolkit/FolderBrowser.h"
#include "util/Shell.h"

#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/Person.h"

#include "TestSupport.h"

namespace {

using testsupport::Exists;
using testsupport::TempFolder;
using testsupport::TestWindow;
using testsupport::Wide;

std::vector<unsigned char> FileBytes(const std::string& path)
{
    std::vector<unsigned char> bytes;
    HANDLE handle =
        ::CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return bytes;
    bytes.resize(::GetFileSize(handle, nullptr));
    DWORD done = 0;
    if (!::ReadFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &done, nullptr)) done = 0;
    bytes.resize(done);
    ::CloseHandle(handle);
    return bytes;
}

struct LinkContents {
    std::wstring target, workingFolder, arguments;
};

// Reads a shortcut back through the shell's own link object.
std::optional<LinkContents> LoadLink(const std::string& link)
{
    std::optional<LinkContents> contents;
    ::CoInitialize(nullptr);
    IShellLinkW* shellLink = nullptr;
    if (::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                           reinterpret_cast<void**>(&shellLink)) == S_OK) {
        IPersistFile* file = nullptr;
        if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            if (file->Load(Wide(link).c_str(), STGM_READ) == S_OK) {
                wchar_t target[MAX_PATH] = {}, folder[MAX_PATH] = {}, arguments[MAX_PATH] = {};
                shellLink->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
                shellLink->GetWorkingDirectory(folder, MAX_PATH);
                shellLink->GetArguments(arguments, MAX_PATH);
                contents = LinkContents{target, folder, arguments};
            }
            file->Release();
        }
        shellLink->Release();
    }
    ::CoUninitialize();
    return contents;
}

class ShellTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.Made()); }
    void TearDown() override { SetScriptedPerson(nullptr); }
    std::string PathOf(const std::string& name) const { return folder_.PathOf(name); }

    TempFolder folder_{"ShellTest"};
};

}  // namespace

TEST(SpecialFolder, ProgramsFolders)
{
    for (int csidl : {CSIDL_PROGRAMS, CSIDL_COMMON_PROGRAMS}) {
        std::string path;
        ASSERT_TRUE(GetSpecialFolderPath(nullptr, path, csidl, false)) << csidl;
        ASSERT_FALSE(path.empty());
        EXPECT_NE(path.back(), '\\') << path;
        const DWORD attributes = ::GetFileAttributesW(Wide(path).c_str());
        ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << path;
        EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY) << path;
    }
}

TEST(SpecialFolder, FailureLeavesThePathAlone)
{
    std::string path = "unchanged";
    EXPECT_FALSE(GetSpecialFolderPath(nullptr, path, 0x7F, false));
    EXPECT_EQ(path, "unchanged");
}

TEST_F(ShellTest, ShortcutRoundTrip)
{
    const std::string link = PathOf("ゲーム表ソ.lnk");
    const std::string target = PathOf("ゲーム.exe");
    ASSERT_TRUE(CreateShortcut(link, target, nullptr, &folder_.Path(), 0));
    ASSERT_TRUE(Exists(link));
    const auto contents = LoadLink(link);
    ASSERT_TRUE(contents);
    EXPECT_EQ(contents->target, Wide(target));
    EXPECT_EQ(contents->workingFolder, folder_.WidePath());
    EXPECT_EQ(contents->arguments, L"");
}

TEST_F(ShellTest, ShortcutWithArgumentsAndNoFolder)
{
    const std::string link = PathOf("args.lnk");
    const std::string arguments = "-window 表示";
    ASSERT_TRUE(CreateShortcut(link, PathOf("game.exe"), &arguments, nullptr, SW_SHOWNORMAL));
    const auto contents = LoadLink(link);
    ASSERT_TRUE(contents);
    EXPECT_EQ(contents->arguments, L"-window 表示");
    EXPECT_EQ(contents->workingFolder, L"");
}

TEST_F(ShellTest, ShowCommandIsStoredAsGiven)
{
    // The link object reads back 1 whatever is stored: look at the file's own field.
    constexpr size_t kShowCommandOffset = 0x3C;
    for (int show : {0, SW_SHOWMAXIMIZED, SW_SHOWMINNOACTIVE}) {
        const std::string link = PathOf("show" + std::to_string(show) + ".lnk");
        ASSERT_TRUE(CreateShortcut(link, PathOf("game.exe"), nullptr, &folder_.Path(), show));
        const auto bytes = FileBytes(link);
        ASSERT_GE(bytes.size(), kShowCommandOffset + 4);
        const unsigned stored = bytes[kShowCommandOffset] | bytes[kShowCommandOffset + 1] << 8 |
                                bytes[kShowCommandOffset + 2] << 16 | unsigned{bytes[kShowCommandOffset + 3]} << 24;
        EXPECT_EQ(stored, static_cast<unsigned>(show));
    }
}

TEST_F(ShellTest, ShortcutIntoMissingFolder)
{
    const std::string link = PathOf("missing\\game.lnk");
    EXPECT_FALSE(CreateShortcut(link, PathOf("game.exe"), nullptr, &folder_.Path(), 0));
    EXPECT_FALSE(Exists(link));
}

TEST_F(ShellTest, ShortcutsInARowAndNoComStateLeft)
{
    for (int i = 0; i < 5; ++i) {
        const std::string link = PathOf("link" + std::to_string(i) + ".lnk");
        EXPECT_TRUE(CreateShortcut(link, PathOf("game.exe"), nullptr, &folder_.Path(), 0)) << i;
        EXPECT_TRUE(Exists(link)) << i;
    }
    // S_OK, not S_FALSE: the thread was left without an apartment.
    EXPECT_EQ(::CoInitialize(nullptr), S_OK);
    ::CoUninitialize();
}

TEST_F(ShellTest, ShortcutWithinAnApartmentOfTheCaller)
{
    ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    EXPECT_TRUE(CreateShortcut(PathOf("mta.lnk"), PathOf("game.exe"), nullptr, &folder_.Path(), 0));
    // The caller's apartment is still there for it to close.
    EXPECT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
    ::CoUninitialize();
    ::CoUninitialize();
}

TEST_F(ShellTest, LinkPathLengthLimit)
{
    // The UTF-16 link path must fit 259 characters.
    const std::string base = PathOf("");
    ASSERT_LT(base.size(), 200u);
    const std::string longest = base + std::string(259 - base.size() - 4, 'a') + ".lnk";
    EXPECT_TRUE(CreateShortcut(longest, PathOf("game.exe"), nullptr, &folder_.Path(), 0));
    EXPECT_TRUE(Exists(longest));
    const std::string tooLong = base + std::string(260 - base.size() - 4, 'b') + ".lnk";
    EXPECT_FALSE(CreateShortcut(tooLong, PathOf("game.exe"), nullptr, &folder_.Path(), 0));
    EXPECT_FALSE(Exists(tooLong));
}

TEST_F(ShellTest, TextsThatAreNotCodePage932)
{
    const std::string bad = "x\x81";
    const std::string link = PathOf("bad.lnk");
    EXPECT_FALSE(CreateShortcut(PathOf(bad), PathOf("game.exe"), nullptr, nullptr, 0));
    EXPECT_FALSE(CreateShortcut(link, PathOf(bad), nullptr, nullptr, 0));
    EXPECT_FALSE(CreateShortcut(link, PathOf("game.exe"), &bad, nullptr, 0));
    EXPECT_FALSE(CreateShortcut(link, PathOf("game.exe"), nullptr, &bad, 0));
    EXPECT_FALSE(Exists(link));
}

namespace {

class FolderAnswer : public ScriptedPerson {
public:
    explicit FolderAnswer(std::optional<std::string> answer) : answer_(std::move(answer)) {}
    int AnswerMessageBox(HWND, const std::string&, const std::string&, UINT) override
    {
        ADD_FAILURE() << "no message box expected";
        return IDCANCEL;
    }
    std::optional<std::string> AnswerFolderBrowser(HWND owner, const std::string& prompt,
                                                   const std::string& initialFolder) override
    {
        owner_ = owner;
        prompt_ = prompt;
        initialFolder_ = initialFolder;
        return answer_;
    }

    std::optional<std::string> answer_;
    HWND owner_ = nullptr;
    std::string prompt_, initialFolder_;
};

}  // namespace

TEST_F(ShellTest, ScriptedPersonChoosesTheFolder)
{
    FolderAnswer person("D:\\ゲーム");
    SetScriptedPerson(&person);
    const HWND owner = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
    std::string chosen = "before";
    EXPECT_EQ(ChooseFolder(owner, "インストール先を指定して下さい", "C:\\Game", chosen), FolderChoice::Chosen);
    EXPECT_EQ(chosen, "D:\\ゲーム");
    EXPECT_EQ(person.owner_, owner);
    EXPECT_EQ(person.prompt_, "インストール先を指定して下さい");
    EXPECT_EQ(person.initialFolder_, "C:\\Game");

    // Cancel, and a folder too long for the system's paths, leave the output alone and differ.
    const std::pair<std::optional<std::string>, FolderChoice> others[] = {
        {std::nullopt, FolderChoice::Cancelled},
        {"D:\\" + std::string(257, 'x'), FolderChoice::Unusable},
    };
    for (const auto& [answer, expected] : others) {
        person.answer_ = answer;
        chosen = "before";
        EXPECT_EQ(ChooseFolder(owner, "prompt", "C:\\Game", chosen), expected);
        EXPECT_EQ(chosen, "before");
    }
}

namespace {

// Stands in for the person at the real folder browser, from another thread: notes which folder the
// tree has selected, then presses a button.
struct BrowserWatch {
    HWND owner = nullptr;
    std::wstring expectedSelection;
    int button = IDCANCEL;
    bool found = false;
    std::wstring selection;
};

struct BrowserSearch {
    HWND owner, found;
};

BOOL CALLBACK CheckBrowser(HWND window, LPARAM data)
{
    auto* s = reinterpret_cast<BrowserSearch*>(data);
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    if (std::wstring(className) == L"#32770" && ::GetWindow(window, GW_OWNER) == s->owner) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindBrowser(HWND owner)
{
    BrowserSearch search{owner, nullptr};
    ::EnumWindows(CheckBrowser, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring SelectedItemText(HWND tree)
{
    const auto item = reinterpret_cast<HTREEITEM>(::SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
    if (!item) return std::wstring();
    wchar_t text[MAX_PATH] = {};
    TVITEMW tvItem{};
    tvItem.mask = TVIF_TEXT;
    tvItem.hItem = item;
    tvItem.pszText = text;
    tvItem.cchTextMax = MAX_PATH;
    if (!::SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tvItem))) return std::wstring();
    return text;
}

void WatchBrowser(BrowserWatch& watch)
{
    const DWORD start = ::GetTickCount();
    auto inTime = [start] { return ::GetTickCount() - start < 20000; };
    HWND dialog = nullptr;
    while (!(dialog = FindBrowser(watch.owner)) && inTime()) ::Sleep(20);
    if (!dialog) return;
    watch.found = true;
    // Keep off the tree until the dialog has finished its start-up and shows itself.
    while (!::IsWindowVisible(dialog) && inTime()) ::Sleep(20);
    while (inTime()) {
        if (HWND tree = ::FindWindowExW(dialog, nullptr, WC_TREEVIEWW, nullptr)) {
            watch.selection = SelectedItemText(tree);
            if (watch.selection == watch.expectedSelection) break;
        }
        ::Sleep(20);
    }
    if (HWND button = ::GetDlgItem(dialog, watch.button))
        ::PostMessageW(button, BM_CLICK, 0, 0);
    else
        ::PostMessageW(dialog, WM_COMMAND, watch.button, 0);
}

DWORD WINAPI WatchBrowserThread(void* watch)
{
    WatchBrowser(*static_cast<BrowserWatch*>(watch));
    return 0;
}

void ReadFolder(const std::wstring& folder)
{
    WIN32_FIND_DATAW found{};
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return;
    while (::FindNextFileW(find, &found)) {
    }
    ::FindClose(find);
}

class ChooseFolderTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        if (HasFatalFailure()) return;
        initial_ = PathOf("フォルダ選択テスト");
        ASSERT_TRUE(::CreateDirectoryW(Wide(initial_).c_str(), nullptr));
        // Wine's item lists carry each folder's last-access time, and the browser matches the initial
        // folder against its tree byte for byte. A new folder's access time moves on its first reading
        // (relatime): have that happen now rather than between the browser's two lookups.
        const std::wstring& folder = folder_.WidePath();
        for (const std::wstring& path : {folder.substr(0, folder.rfind(L'\\')), folder, Wide(initial_)})
            ReadFolder(path);
        ASSERT_NE(owner_.Handle(), nullptr);
    }

    // Runs the browser while another thread plays the person who presses `button`; ChooseFolder's
    // result. The browser must have come up owned by the test window, with the initial folder selected.
    FolderChoice Browse(int button, std::string& chosen)
    {
        BrowserWatch watch;
        watch.owner = owner_.Handle();
        watch.expectedSelection = L"フォルダ選択テスト";
        watch.button = button;
        // A Win32 thread: the programs are built without std::thread's runtime (winpthread).
        HANDLE person = ::CreateThread(nullptr, 0, WatchBrowserThread, &watch, 0, nullptr);
        EXPECT_NE(person, nullptr);
        const FolderChoice result = ChooseFolder(owner_.Handle(), "インストール先を指定して下さい", initial_, chosen);
        if (person) {
            ::WaitForSingleObject(person, INFINITE);
            ::CloseHandle(person);
        }
        EXPECT_TRUE(watch.found) << "no folder browser owned by the test window";
        if (watch.found) {
            EXPECT_EQ(watch.selection, watch.expectedSelection) << "the initial folder was not selected";
        }
        return result;
    }

    std::string initial_;
    TestWindow owner_{L"ChooseFolder owner", WS_OVERLAPPEDWINDOW, 200, 100};
};

}  // namespace

TEST_F(ChooseFolderTest, CancelLeavesTheOutputAlone)
{
    std::string chosen = "before";
    EXPECT_EQ(Browse(IDCANCEL, chosen), FolderChoice::Cancelled);
    EXPECT_EQ(chosen, "before");
}

TEST_F(ChooseFolderTest, OkGivesTheSelectedFolder)
{
    std::string chosen = "before";
    EXPECT_EQ(Browse(IDOK, chosen), FolderChoice::Chosen);
    EXPECT_EQ(chosen, initial_);
}
