// What scenarios read from a disc and set up in the registry around the program under test.

#include "Driver.h"
#include "util/Cp932.h"

namespace e2e {
namespace {

std::string Trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool SameName(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::wstring RecordKey(const std::string& installDir) { return L"Software\\" + cp932::ToWideLossy(installDir); }

// Deletes a key with everything below it.
bool DeleteTree(HKEY parent, const std::wstring& name)
{
    RegKey key;
    if (::RegOpenKeyExW(parent, name.c_str(), 0, KEY_READ | KEY_WRITE, key.Put()) == ERROR_SUCCESS) {
        wchar_t sub[256];
        DWORD length = 256;
        while (::RegEnumKeyExW(key.Get(), 0, sub, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
            if (!DeleteTree(key.Get(), std::wstring(sub, length))) break;
            length = 256;
        }
    }
    key.Reset();
    return ::RegDeleteKeyW(parent, name.c_str()) == ERROR_SUCCESS;
}

}  // namespace

std::optional<std::string> IniValue(const std::string& path, const std::string& section, const std::string& key)
{
    FileHandle file(::CreateFileW(cp932::ToWideLossy(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
    if (!file) return std::nullopt;
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file.Get(), buffer, sizeof buffer, &got, nullptr) && got > 0) text.append(buffer, got);

    bool inSection = false;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        line = Trimmed(line);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            const size_t close = line.find(']');
            inSection = close != std::string::npos && SameName(Trimmed(line.substr(1, close - 1)), section);
            continue;
        }
        const size_t equals = line.find('=');
        if (!inSection || equals == std::string::npos || !SameName(Trimmed(line.substr(0, equals)), key)) continue;
        std::string value = Trimmed(line.substr(equals + 1));
        if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
            value = value.substr(1, value.size() - 2);
        return value;
    }
    return std::nullopt;
}

InstallRecord::InstallRecord(const std::string& installDir, const std::string& dir) : installDir_(installDir)
{
    const std::wstring keyName = RecordKey(installDir);
    RegKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, keyName.c_str(), 0, KEY_READ, key.Put()) == ERROR_SUCCESS) {
        keyExisted_ = true;
        DWORD size = 0;
        if (::RegQueryValueExW(key.Get(), L"Dir", nullptr, &previousType_, nullptr, &size) == ERROR_SUCCESS) {
            previousData_.resize(size);
            valueExisted_ = ::RegQueryValueExW(key.Get(), L"Dir", nullptr, &previousType_, previousData_.data(),
                                               &size) == ERROR_SUCCESS;
            previousData_.resize(size);
        }
    }
    if (::RegCreateKeyExW(HKEY_CURRENT_USER, keyName.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.Put(),
                          nullptr) != ERROR_SUCCESS)
        throw StepFailed("cannot create the install record HKCU\\Software\\" + installDir);
    const std::wstring value = cp932::ToWideLossy(dir);
    if (::RegSetValueExW(key.Get(), L"Dir", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)
        throw StepFailed("cannot write the install record HKCU\\Software\\" + installDir);
}

InstallRecord::~InstallRecord()
{
    const std::wstring keyName = RecordKey(installDir_);
    if (!keyExisted_) {
        DeleteTree(HKEY_CURRENT_USER, keyName);
        return;
    }
    RegKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, keyName.c_str(), 0, KEY_WRITE, key.Put()) != ERROR_SUCCESS) return;
    if (valueExisted_)
        ::RegSetValueExW(key.Get(), L"Dir", 0, previousType_, previousData_.data(),
                         static_cast<DWORD>(previousData_.size()));
    else
        ::RegDeleteValueW(key.Get(), L"Dir");
}

std::optional<std::string> InstallRecord::Read(const std::string& installDir)
{
    RegKey key;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, RecordKey(installDir).c_str(), 0, KEY_READ, key.Put()) != ERROR_SUCCESS)
        return std::nullopt;
    DWORD type = 0, size = 0;
    if (::RegQueryValueExW(key.Get(), L"Dir", nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
    if (::RegQueryValueExW(key.Get(), L"Dir", nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    text.resize(text.find(L'\0'));
    return cp932::FromWideLossy(text);
}

void InstallRecord::Remove(const std::string& installDir) { DeleteTree(HKEY_CURRENT_USER, RecordKey(installDir)); }

}  // namespace e2e
