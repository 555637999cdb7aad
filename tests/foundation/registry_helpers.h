// Direct registry access for tests: write and read raw values, list a key's value names, and
// remove a test key tree.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace reg {

inline HKEY Create(HKEY root, const std::string& path)
{
    HKEY h = nullptr;
    ::RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr);
    return h;
}

inline void SetText(HKEY root, const std::string& path, const char* name, const std::string& text)
{
    HKEY h = Create(root, path);
    ::RegSetValueExA(h, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>(text.size() + 1));
    ::RegCloseKey(h);
}

inline void SetRaw(HKEY root, const std::string& path, const char* name, DWORD type,
                   const std::string& bytes)
{
    HKEY h = Create(root, path);
    ::RegSetValueExA(h, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                     static_cast<DWORD>(bytes.size()));
    ::RegCloseKey(h);
}

// The value's type and raw bytes; false when it is missing.
inline bool GetRaw(HKEY root, const std::string& path, const char* name, DWORD& type,
                   std::string& bytes)
{
    HKEY h = nullptr;
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    DWORD len = 0;
    bool ok = ::RegQueryValueExA(h, name, nullptr, &type, nullptr, &len) == ERROR_SUCCESS;
    if (ok) {
        bytes.assign(len, '\0');
        ok = ::RegQueryValueExA(h, name, nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()),
                                &len) == ERROR_SUCCESS;
    }
    ::RegCloseKey(h);
    return ok;
}

// The text of a REG_SZ value, or "<absent>".
inline std::string GetText(HKEY root, const std::string& path, const char* name)
{
    DWORD type = 0;
    std::string bytes;
    if (!GetRaw(root, path, name, type, bytes))
        return "<absent>";
    return bytes.c_str();
}

inline std::vector<std::string> ValueNames(HKEY root, const std::string& path)
{
    std::vector<std::string> names;
    HKEY h = nullptr;
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return names;
    char name[16384];
    for (DWORD i = 0;; ++i) {
        DWORD len = sizeof name;
        if (::RegEnumValueA(h, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.push_back(name);
    }
    ::RegCloseKey(h);
    std::sort(names.begin(), names.end());
    return names;
}

inline bool KeyExists(HKEY root, const std::string& path)
{
    HKEY h = nullptr;
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(h);
    return true;
}

inline void DeleteTree(HKEY root, const std::string& path)
{
    ::RegDeleteTreeA(root, path.c_str());
    ::RegDeleteKeyA(root, path.c_str());
}

} // namespace reg
