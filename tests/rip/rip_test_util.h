// Scratch folders, whole-file reads and writes, and the check that a built output path is a
// plain Windows path below its output folder, shared by the rip name tests.
#pragma once

#include "framework/core.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#ifdef _WIN32
inline const char kSep[] = "\\";
#else
inline const char kSep[] = "/";
#endif

// A fresh folder under the temporary folder, removed with everything in it at the end.
class ScratchDir
{
public:
    explicit ScratchDir(const std::string& tag)
    {
        std::random_device rd;
        m_root = std::filesystem::temp_directory_path() /
                 ("sonoria_" + tag + "_" + std::to_string(rd()));
        std::filesystem::create_directories(m_root);
    }
    ~ScratchDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_root, ec);
    }
    std::string Path(const std::string& name) const { return (m_root / name).string(); }

private:
    std::filesystem::path m_root;
};

inline bool Exists(const std::string& path)
{
    return std::filesystem::exists(path);
}

inline bool IsDirectory(const std::string& path)
{
    return std::filesystem::is_directory(path);
}

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

// Empty when the path is fit for CreateFileA below the folder prefix; else what is wrong.
inline std::string RipPathFault(const CString& path, const std::string& folderPrefix)
{
    const std::string p(path);
    if (p.rfind(folderPrefix, 0) != 0)
        return "outside the output folder: " + p;
    if (p.size() > 259)
        return "longer than MAX_PATH - 1: " + std::to_string(p.size());
    const size_t lastSep = p.rfind('\\');
    if (lastSep > 247)
        return "folder too long for CreateDirectoryA: " + std::to_string(lastSep);
    const std::string rest = p.substr(folderPrefix.size());
    size_t start = 0;
    for (;;) {
        const size_t end = rest.find('\\', start);
        const std::string part = rest.substr(start, end == std::string::npos ? end : end - start);
        if (part.empty())
            return "empty name in " + p;
        if (part.size() > 255)
            return "name longer than 255: " + part;
        if (part.back() == '.' || part.back() == ' ')
            return "name Windows would change: " + part;
        for (char c : part)
            if (static_cast<unsigned char>(c) < 0x20 ||
                std::string("\"*:<>?|/").find(c) != std::string::npos)
                return "character Windows refuses in " + part;
        std::string base = part.substr(0, part.find('.'));
        while (!base.empty() && base.back() == ' ')
            base.pop_back();
        for (char& c : base)
            c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
        if (base == "CON" || base == "PRN" || base == "AUX" || base == "NUL" ||
            (base.size() == 4 && (base.rfind("COM", 0) == 0 || base.rfind("LPT", 0) == 0) &&
             base[3] >= '1' && base[3] <= '9'))
            return "device name: " + part;
        if (end == std::string::npos)
            return "";
        start = end + 1;
    }
}
