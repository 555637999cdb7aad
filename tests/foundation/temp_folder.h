// A fresh folder under the system's temporary folder for one test, removed with its files.
#pragma once

#include "testing/scratch_folder.h"

#include <string>

class TempFolder : public testing_files::ScratchFolder
{
public:
    // The folder, ending with a backslash.
    std::string Path() const { return ScratchFolder::Path() + "\\"; }
};
