// Runs the foundation tests' helper program (foundation_child.exe, beside the test program)
// and waits for it.
#pragma once

#include <windows.h>

#include <string>

inline std::string ChildProgramPath()
{
    char path[MAX_PATH];
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder = path;
    return folder.substr(0, folder.rfind('\\') + 1) + "foundation_child.exe";
}

// The helper's exit code, or -1 when it could not be started.
inline int RunChild(const std::string& arguments)
{
    std::string command = "\"" + ChildProgramPath() + "\" " + arguments;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &si, &pi))
        return -1;
    ::WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(pi.hProcess, &code);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}
