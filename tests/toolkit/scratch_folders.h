// A scratch folder tree in the Wine drive's temp folder for the shell control tests.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>

namespace scratch
{

inline void WriteFile(const std::string& path, const char* text)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    DWORD n = 0;
    ::WriteFile(h, text, static_cast<DWORD>(std::strlen(text)), &n, nullptr);
    ::CloseHandle(h);
}

inline void RemoveTree(const std::string& dir)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = ::FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..")
                continue;
            std::string full = dir + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                ::DeleteFileA(full.c_str());
        } while (::FindNextFileA(h, &fd));
        ::FindClose(h);
    }
    ::RemoveDirectoryA(dir.c_str());
}

inline bool Exists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// root\Alpha\Inner, root\Alpha\note.txt, root\Beta, root\one.txt, root\two.WAV,
// root\three.Txt, root\four.mp3. The long form of the path: the tree reports long names.
inline std::string Make(const char* name)
{
    char temp[MAX_PATH] = "", longTemp[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, temp);
    ::GetLongPathNameA(temp, longTemp, MAX_PATH);
    std::string root = std::string(longTemp) + name + std::to_string(::GetCurrentProcessId());
    RemoveTree(root);
    ::CreateDirectoryA(root.c_str(), nullptr);
    ::CreateDirectoryA((root + "\\Alpha").c_str(), nullptr);
    ::CreateDirectoryA((root + "\\Alpha\\Inner").c_str(), nullptr);
    ::CreateDirectoryA((root + "\\Beta").c_str(), nullptr);
    WriteFile(root + "\\Alpha\\note.txt", "note");
    for (const char* file : {"one.txt", "two.WAV", "three.Txt", "four.mp3"})
        WriteFile(root + "\\" + file, file);
    return root;
}

} // namespace scratch
