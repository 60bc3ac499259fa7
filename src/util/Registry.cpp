#include "util/Registry.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "util/Cp932.h"

namespace {

// The names of the direct subkeys of `key`, or nothing when they cannot be listed.
std::optional<std::vector<std::wstring>> SubkeyNames(HKEY key)
{
    DWORD count = 0;
    DWORD longest = 0;
    if (::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr, nullptr, nullptr,
                           nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    std::vector<std::wstring> names;
    std::wstring buffer(static_cast<size_t>(longest) + 1, L'\0');
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(buffer.size());
        const LONG result = ::RegEnumKeyExW(key, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS) break;
        if (result == ERROR_MORE_DATA) {  // a longer name appeared since the count was taken
            buffer.resize(buffer.size() * 2);
            --index;
            continue;
        }
        if (result != ERROR_SUCCESS) return std::nullopt;
        names.emplace_back(buffer.data(), length);
    }
    return names;
}

// Deletes parent\subkey after everything below it. False when anything of it is left.
bool DeleteTree(HKEY parent, const std::wstring& subkey)
{
    bool complete = true;
    {
        RegKey key;
        if (::RegOpenKeyExW(parent, subkey.c_str(), 0, KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE, key.Put()) !=
            ERROR_SUCCESS)
            return false;
        const auto children = SubkeyNames(key.Get());
        if (!children) return false;
        for (const std::wstring& child : *children)
            if (!DeleteTree(key.Get(), child)) complete = false;
    }
    return ::RegDeleteKeyW(parent, subkey.c_str()) == ERROR_SUCCESS && complete;
}

}  // namespace

void CRegistry::SetRoot(HKEY root) noexcept
{
    CloseKey();
    root_ = root;
}

bool CRegistry::OpenKeyReadOnly(const std::string& path, REGSAM view) { return Open(path, KEY_READ | view, false); }

bool CRegistry::OpenKey(const std::string& path, bool create) { return Open(path, KEY_READ | KEY_WRITE, create); }

bool CRegistry::Open(const std::string& path, REGSAM access, bool create)
{
    CloseKey();
    const auto widePath = cp932::ToWide(path);
    if (!widePath) return false;
    RegKey key;
    const LONG result =
        create ? ::RegCreateKeyExW(root_, widePath->c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access, nullptr,
                                   key.Put(), nullptr)
               : ::RegOpenKeyExW(root_, widePath->c_str(), 0, access, key.Put());
    if (result != ERROR_SUCCESS) return false;
    key_ = std::move(key);
    return true;
}

void CRegistry::CloseKey() noexcept { key_.Reset(); }

RegistryText CRegistry::ReadString(const std::string& name) const
{
    if (!key_) return {};
    const auto wideName = cp932::ToWide(name);
    if (!wideName) return {{}, Failed(Failure::CannotRead, name, ERROR_NO_UNICODE_TRANSLATION)};

    // The size is asked first; the value may still change between the calls, so ask again until
    // the buffer holds all of it. Every retry offers more room than the one before, so the loop ends
    // whatever sizes the system reports, an odd one included.
    DWORD type = REG_NONE;
    DWORD size = 0;
    LONG result = ::RegQueryValueExW(key_.Get(), wideName->c_str(), nullptr, &type, nullptr, &size);
    std::vector<wchar_t> data;
    while (result == ERROR_SUCCESS || result == ERROR_MORE_DATA) {
        if (type != REG_SZ && type != REG_EXPAND_SZ) return {{}, Failed(Failure::WrongType, name, 0)};
        // Whole characters for every byte asked, and one more.
        const size_t chars = std::max<size_t>(size / sizeof(wchar_t) + 1, data.size() * 2);
        if (chars > MAXDWORD / sizeof(wchar_t)) break;
        data.assign(chars, L'\0');
        DWORD got = static_cast<DWORD>(chars * sizeof(wchar_t));
        result = ::RegQueryValueExW(key_.Get(), wideName->c_str(), nullptr, &type,
                                    reinterpret_cast<BYTE*>(data.data()), &got);
        if (result == ERROR_SUCCESS) {
            if (type != REG_SZ && type != REG_EXPAND_SZ) return {{}, Failed(Failure::WrongType, name, 0)};
            // An odd last byte is no character; the text ends at its first zero character.
            size_t length = std::min<size_t>(got, chars * sizeof(wchar_t)) / sizeof(wchar_t);
            for (size_t i = 0; i < length; ++i)
                if (data[i] == L'\0') length = i;
            auto text = cp932::FromWide(data.data(), length);
            if (!text) return {{}, Failed(Failure::NotCp932, name, 0)};
            return {std::move(*text), {}};
        }
        size = got;
    }
    if (result == ERROR_FILE_NOT_FOUND) return {};
    return {{}, Failed(Failure::CannotRead, name, static_cast<DWORD>(result))};
}

bool CRegistry::WriteString(const std::string& name, const std::string& value)
{
    const auto wideName = cp932::ToWide(name);
    const auto wideValue = cp932::ToWide(value);
    const size_t bytes = wideValue ? (wideValue->size() + 1) * sizeof(wchar_t) : 0;
    if (!key_ || !wideName || !wideValue || bytes > MAXDWORD) return false;
    const LONG result = ::RegSetValueExW(key_.Get(), wideName->c_str(), 0, REG_SZ,
                                         reinterpret_cast<const BYTE*>(wideValue->c_str()), static_cast<DWORD>(bytes));
    ::SetLastError(static_cast<DWORD>(result));  // the registry answers with its code instead
    return result == ERROR_SUCCESS;
}

bool CRegistry::WriteDword(const std::string& name, DWORD value)
{
    const auto wideName = cp932::ToWide(name);
    return key_ && wideName &&
           ::RegSetValueExW(key_.Get(), wideName->c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                            sizeof value) == ERROR_SUCCESS;
}

bool CRegistry::DeleteValue(const std::string& name)
{
    const auto wideName = cp932::ToWide(name);
    if (!key_ || !wideName) return false;
    const LONG result = ::RegDeleteValueW(key_.Get(), wideName->c_str());
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

bool CRegistry::DeleteKeyIfEmpty(const std::string& path) noexcept
{
    try {
        const auto widePath = cp932::ToWide(path);
        if (!widePath || widePath->empty()) return false;
        {
            RegKey key;
            DWORD subkeys = 0;
            DWORD values = 0;
            if (::RegOpenKeyExW(root_, widePath->c_str(), 0, KEY_QUERY_VALUE, key.Put()) != ERROR_SUCCESS ||
                ::RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                                   nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
                subkeys != 0 || values != 0)
                return false;
        }
        return ::RegDeleteKeyW(root_, widePath->c_str()) == ERROR_SUCCESS;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

bool CRegistry::DeleteKey(const std::string& path) noexcept
{
    try {
        const auto widePath = cp932::ToWide(path);
        // An empty path would name the root itself.
        if (!widePath || widePath->empty()) return false;
        return DeleteTree(root_, *widePath);
    } catch (const std::bad_alloc&) {
        return false;
    }
}

