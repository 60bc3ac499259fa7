#include "util/Registry.h"

#include <gtest/gtest.h>

#include <string>

#include "util/Cp932.h"

#include "TestSupport.h"

namespace {

using testsupport::Wide;

// A private key under HKCU\Software, removed with everything in it after each test by the system's
// own tree deletion, so that the cleaning does not depend on the code under test.
class RegistryTest : public testing::Test {
protected:
    void SetUp() override
    {
        base_ = "Software\\SetupTest-tk-" + std::to_string(::GetCurrentProcessId()) + "-" +
                std::to_string(::GetTickCount());
        ASSERT_FALSE(Exists(base_));
    }
    void TearDown() override
    {
        using DeleteTreeW = LONG(WINAPI*)(HKEY, LPCWSTR);
        const auto deleteTree = reinterpret_cast<DeleteTreeW>(
            reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"advapi32.dll"), "RegDeleteTreeW")));
        ASSERT_NE(deleteTree, nullptr);
        deleteTree(HKEY_CURRENT_USER, Wide(base_).c_str());
        EXPECT_FALSE(Exists(base_));
    }

    static bool Exists(const std::string& path)
    {
        RegKey key;
        return ::RegOpenKeyExW(HKEY_CURRENT_USER, Wide(path).c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS;
    }
    // Writes a value as raw bytes, creating the key: data the program itself would never write.
    static void SetRaw(const std::string& path, const std::wstring& name, DWORD type, const void* data, DWORD size)
    {
        RegKey key;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, Wide(path).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                    key.Put(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegSetValueExW(key.Get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
    }
    static void SetText(const std::string& path, const std::wstring& name, DWORD type, const std::wstring& text,
                        bool terminated = true)
    {
        SetRaw(path, name, type, text.c_str(),
               static_cast<DWORD>((text.size() + (terminated ? 1 : 0)) * sizeof(wchar_t)));
    }
    static std::pair<Failure, std::string> ErrorOf(const CRegistry& registry, const std::string& name)
    {
        const RegistryText read = registry.ReadString(name);
        return {read.status.failure, read.status.path};
    }

    std::string base_;
};

TEST_F(RegistryTest, OpeningAMissingKeyFailsAndCreatesNothing)
{
    CRegistry registry;
    EXPECT_FALSE(registry.OpenKeyReadOnly(base_ + "\\Game"));
    EXPECT_FALSE(registry.KeyOpen());
    EXPECT_FALSE(registry.OpenKey(base_ + "\\Game", false));
    EXPECT_FALSE(registry.OpenKey(base_ + "\\\x81", true));  // a lead byte alone: no Unicode form
    EXPECT_FALSE(Exists(base_));
    EXPECT_EQ(registry.ReadString("Dir").text, "");  // no key open: nothing to read
    EXPECT_FALSE(registry.WriteString("Dir", "x"));
}

TEST_F(RegistryTest, ReadsStringValuesAsStoredWithoutExpansion)
{
    const std::string path = base_ + "\\Game";
    const struct {
        const wchar_t* name;
        DWORD type;
        std::wstring stored;
        bool terminated;
        const char* expected;
    } cases[] = {
        {L"Dir", REG_SZ, L"C:\\Games\\ソフト表\\", true, "C:\\Games\\ソフト表\\"},
        {L"Expand", REG_EXPAND_SZ, L"%WINDIR%\\x", true, "%WINDIR%\\x"},
        {L"Cut", REG_SZ, std::wstring(L"abc\0def", 7), true, "abc"},
        {L"ExpandCut", REG_EXPAND_SZ, std::wstring(L"%TEMP%\0tail", 11), true, "%TEMP%"},
        {L"Unterminated", REG_SZ, L"xyz", false, "xyz"},
        {L"Empty", REG_SZ, L"", true, ""},
        {L"", REG_SZ, L"default value", true, "default value"},
    };
    for (const auto& c : cases) SetText(path, c.name, c.type, c.stored, c.terminated);

    CRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly(path));
    for (const auto& c : cases)
        EXPECT_EQ(registry.ReadString(cp932::FromWideLossy(c.name)).text, c.expected) << cp932::FromWideLossy(c.name);
    EXPECT_EQ(registry.ReadString("Missing").text, "");
}

TEST_F(RegistryTest, ValuesOfOtherTypesOrWithoutCp932FormAreErrors)
{
    const std::string path = base_ + "\\Game";
    const DWORD number = 1;
    SetRaw(path, L"Dir", REG_DWORD, &number, sizeof number);
    const BYTE bytes[] = {'C', 0, ':', 0, 0, 0};
    SetRaw(path, L"Binary", REG_BINARY, bytes, sizeof bytes);
    SetText(path, L"Multi", REG_MULTI_SZ, std::wstring(L"a\0b\0", 4));
    SetText(path, L"Accented", REG_SZ, L"caf\u00e9");

    CRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly(path));
    EXPECT_EQ(ErrorOf(registry, "Dir"), std::make_pair(Failure::WrongType, std::string("Dir")));
    EXPECT_EQ(ErrorOf(registry, "Binary"), std::make_pair(Failure::WrongType, std::string("Binary")));
    EXPECT_EQ(ErrorOf(registry, "Multi"), std::make_pair(Failure::WrongType, std::string("Multi")));
    EXPECT_EQ(ErrorOf(registry, "Accented"), std::make_pair(Failure::NotCp932, std::string("Accented")));
}

// Sizes the program itself never writes; each read must end, the odd last byte dropped.
TEST_F(RegistryTest, OddSizedStringValuesReadWithoutTheirLastByte)
{
    const std::string path = base_ + "\\Game";
    const std::wstring text(40000, L'表');
    const struct {
        const wchar_t* name;
        DWORD type;
        DWORD bytes;
    } cases[] = {
        {L"One", REG_SZ, 1},
        {L"Seven", REG_SZ, 7},
        {L"SevenExpand", REG_EXPAND_SZ, 7},
        {L"Large", REG_SZ, 65535},
        {L"LargeExpand", REG_EXPAND_SZ, 65535},
    };
    for (const auto& c : cases) SetRaw(path, c.name, c.type, text.c_str(), c.bytes);

    CRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly(path));
    for (const auto& c : cases) {
        std::string expected;
        for (DWORD i = 0; i < c.bytes / sizeof(wchar_t); ++i) expected += "表";
        EXPECT_EQ(registry.ReadString(cp932::FromWideLossy(c.name)).text, expected) << c.bytes;
    }
}

TEST_F(RegistryTest, WritesAndReadsBackLargeAndJapaneseValuesUnderNestedNewKeys)
{
    const std::string path = base_ + "\\日本語のキー\\ソフト表\\深い";
    std::string large;
    for (int i = 0; large.size() < 300000; ++i) large += "表示ソ" + std::to_string(i) + "\\";
    const struct {
        const char* name;
        std::string value;
    } cases[] = {
        {"Dir", "D:\\ゲーム\\ソフト表\\"},
        {"値の名前", "ａｂｃ"},
        {"Large", large},
        {"Empty", ""},
    };

    CRegistry registry;
    ASSERT_TRUE(registry.OpenKey(path, true));
    for (const auto& c : cases) EXPECT_TRUE(registry.WriteString(c.name, c.value)) << c.name;
    registry.CloseKey();
    EXPECT_FALSE(registry.KeyOpen());

    // Stored under the Unicode names and as REG_SZ, as any other program reads them.
    RegKey raw;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, (Wide(base_) + L"\\日本語のキー\\ソフト表\\深い").c_str(), 0,
                              KEY_READ, raw.Put()),
              ERROR_SUCCESS);
    DWORD type = 0;
    wchar_t text[64] = {};
    DWORD size = sizeof text;
    ASSERT_EQ(::RegQueryValueExW(raw.Get(), L"値の名前", nullptr, &type, reinterpret_cast<BYTE*>(text), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(std::wstring(text), L"ａｂｃ");

    ASSERT_TRUE(registry.OpenKeyReadOnly(path));
    for (const auto& c : cases) EXPECT_EQ(registry.ReadString(c.name).text, c.value) << c.name;
    // The same key opened again for writing, without creating.
    ASSERT_TRUE(registry.OpenKey(path, false));
    EXPECT_TRUE(registry.WriteString("Dir", "E:\\"));
    EXPECT_EQ(registry.ReadString("Dir").text, "E:\\");
}

TEST_F(RegistryTest, WritingToAKeyOpenedReadOnlyIsAnError)
{
    SetText(base_, L"Dir", REG_SZ, L"C:\\");
    CRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly(base_));
    EXPECT_FALSE(registry.WriteString("Dir", "D:\\"));
    EXPECT_EQ(registry.ReadString("Dir").text, "C:\\");
    registry.SetRoot(HKEY_CURRENT_USER);
    EXPECT_FALSE(registry.KeyOpen());
}

TEST_F(RegistryTest, DeleteKeyRemovesSubkeysAndValuesAndNothingElse)
{
    const std::string tree = base_ + "\\ソフト表";
    for (const char* sub : {"", "\\a", "\\a\\b", "\\a\\b\\c", "\\a\\b2", "\\d", "\\表示"})
        SetText(tree + sub, L"Dir", REG_SZ, L"value");
    SetText(base_ + "\\Sibling", L"Dir", REG_SZ, L"kept");
    SetText(base_ + "\\ソフト表示", L"Dir", REG_SZ, L"kept too");  // a name that begins like the deleted one

    CRegistry registry;
    EXPECT_TRUE(registry.DeleteKey(tree));
    EXPECT_FALSE(Exists(tree));
    EXPECT_TRUE(Exists(base_ + "\\Sibling"));
    EXPECT_TRUE(Exists(base_ + "\\ソフト表示"));

    EXPECT_FALSE(registry.DeleteKey(tree));
    EXPECT_FALSE(registry.DeleteKey(base_ + "\\Missing\\Deeper"));
    EXPECT_FALSE(registry.DeleteKey(""));
    EXPECT_FALSE(registry.DeleteKey(std::string("\x81", 1)));  // no Unicode form
    EXPECT_TRUE(Exists(base_));
}

TEST_F(RegistryTest, DeleteKeyWhileTheSameKeyIsOpen)
{
    SetText(base_ + "\\Game\\Sub", L"Dir", REG_SZ, L"value");
    CRegistry registry;
    ASSERT_TRUE(registry.OpenKeyReadOnly(base_ + "\\Game"));
    EXPECT_TRUE(registry.DeleteKey(base_ + "\\Game"));
    EXPECT_FALSE(Exists(base_ + "\\Game"));
}

}  // namespace
