// Scratch files and folders for tests: a fresh folder under the temporary folder that is
// removed with everything in it, and the few file helpers the tests around it need.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>

namespace testing_files
{

inline bool Exists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// True when the whole text was written.
inline bool WriteTextFile(const std::string& path, const char* text)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const DWORD size = static_cast<DWORD>(std::strlen(text));
    DWORD n = 0;
    const BOOL ok = ::WriteFile(h, text, size, &n, nullptr);
    ::CloseHandle(h);
    return ok && n == size;
}

// The folder with its files and sub-folders.
inline void RemoveTree(const std::string& dir)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = ::FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = fd.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string full = dir + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                ::DeleteFileA(full.c_str());
        } while (::FindNextFileA(h, &fd));
        ::FindClose(h);
    }
    ::RemoveDirectoryA(dir.c_str());
}

// The temporary folder in its long form (the shell reports long names), ending with '\'.
inline std::string TempPath()
{
    char temp[MAX_PATH] = "";
    char longTemp[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, temp);
    if (::GetLongPathNameA(temp, longTemp, MAX_PATH) == 0)
        return temp;
    return longTemp;
}

// A fresh folder "<tag>_<process>_<n>" under the temporary folder, removed with its tree.
class ScratchFolder
{
public:
    explicit ScratchFolder(const char* tag = "sonoria")
    {
        static LONG s_counter = 0;
        const std::string base = TempPath() + tag + "_" + std::to_string(::GetCurrentProcessId());
        do {
            m_path = base + "_" + std::to_string(::InterlockedIncrement(&s_counter));
        } while (!::CreateDirectoryA(m_path.c_str(), nullptr) &&
                 ::GetLastError() == ERROR_ALREADY_EXISTS);
    }
    ~ScratchFolder() { RemoveTree(m_path); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder, without a trailing backslash.
    const std::string& Path() const { return m_path; }
    // The path of a file in the folder.
    std::string File(const std::string& name) const { return m_path + "\\" + name; }
    std::string operator/(const std::string& name) const { return File(name); }

private:
    std::string m_path;
};

} // namespace testing_files
