// A fresh folder under the system's temporary folder for one test, removed with its files.
#pragma once

#include <windows.h>

#include <string>

class TempFolder {
public:
    TempFolder()
    {
        char base[MAX_PATH];
        ::GetTempPathA(MAX_PATH, base);
        static LONG counter = 0;
        for (;;) {
            m_path = std::string(base) + "sonoria_" + std::to_string(::GetCurrentProcessId()) +
                     "_" + std::to_string(::InterlockedIncrement(&counter)) + "\\";
            if (::CreateDirectoryA(m_path.c_str(), nullptr))
                break;
        }
    }
    ~TempFolder() { RemoveTree(m_path); }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder, ending with a backslash.
    const std::string& Path() const { return m_path; }
    std::string File(const std::string& name) const { return m_path + name; }

private:
    static void RemoveTree(const std::string& folder)
    {
        WIN32_FIND_DATAA fd;
        HANDLE h = ::FindFirstFileA((folder + "*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                const std::string name = fd.cFileName;
                if (name == "." || name == "..")
                    continue;
                if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(folder + name + "\\");
                else
                    ::DeleteFileA((folder + name).c_str());
            } while (::FindNextFileA(h, &fd));
            ::FindClose(h);
        }
        ::RemoveDirectoryA(folder.c_str());
    }

    std::string m_path;
};
