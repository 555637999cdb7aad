// A scratch folder tree in the Wine drive's temp folder for the shell control tests.
#pragma once

#include "testing/scratch_folder.h"

#include <windows.h>

#include <string>

namespace scratch
{

using testing_files::Exists;
using testing_files::RemoveTree;

inline void WriteFile(const std::string& path, const char* text)
{
    testing_files::WriteTextFile(path, text);
}

// root\Alpha\Inner, root\Alpha\note.txt, root\Beta, root\one.txt, root\two.WAV,
// root\three.Txt, root\four.mp3. The long form of the path: the tree reports long names.
inline std::string Make(const char* name)
{
    std::string root = testing_files::TempPath() + name + std::to_string(::GetCurrentProcessId());
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
