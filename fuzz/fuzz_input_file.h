// For fuzz targets whose parser opens files by path: the input goes to a file of this
// process's own, removed when the process ends.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

class FuzzInputFile
{
public:
    explicit FuzzInputFile(const char* name)
        : m_path("/tmp/" + std::string(name) + "_" + std::to_string(getpid()))
    {
    }
    ~FuzzInputFile() { std::remove(m_path.c_str()); }

    //! Writes the input; null when the file cannot be written.
    const char* Write(const uint8_t* data, size_t size) const
    {
        FILE* f = std::fopen(m_path.c_str(), "wb");
        if (!f)
            return nullptr;
        std::fwrite(data, 1, size, f);
        std::fclose(f);
        return m_path.c_str();
    }

private:
    std::string m_path;
};
