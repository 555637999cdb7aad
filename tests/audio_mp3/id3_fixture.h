// Small helpers for the ID3 tests: temporary files and byte builders.
#pragma once

#include "audio/formats/mp3/id3_writer.h"
#include "framework/core.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace id3test {

using Bytes = std::vector<BYTE>;

inline std::string TempPath(const std::string& name)
{
    return testing::TempDir() + "id3_" + name;
}

inline void WriteFile(const std::string& path, const Bytes& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

inline Bytes ReadFile(const std::string& path)
{
    Bytes bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return bytes;
    int c;
    while ((c = std::fgetc(f)) != EOF)
        bytes.push_back(static_cast<BYTE>(c));
    std::fclose(f);
    return bytes;
}

inline Bytes Text(const std::string& s)
{
    return Bytes(s.begin(), s.end());
}

inline Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A frame of an ID3v2 tag of the given version: id, size (plain or sync-safe), flags, body.
inline Bytes Frame(int version, const std::string& id, const Bytes& body)
{
    Bytes f = Text(id);
    size_t n = body.size();
    if (version == 2) {
        f.insert(f.end(), {BYTE(n >> 16), BYTE(n >> 8), BYTE(n)});
    } else if (version == 4) {
        f.insert(f.end(), {BYTE((n >> 21) & 0x7F), BYTE((n >> 14) & 0x7F), BYTE((n >> 7) & 0x7F),
                           BYTE(n & 0x7F), 0, 0});
    } else {
        f.insert(f.end(), {BYTE(n >> 24), BYTE(n >> 16), BYTE(n >> 8), BYTE(n), 0, 0});
    }
    return f + body;
}

inline Bytes Tag(int version, const Bytes& frames)
{
    size_t n = frames.size();
    Bytes t = {'I', 'D', '3', BYTE(version), 0, 0, BYTE((n >> 21) & 0x7F), BYTE((n >> 14) & 0x7F),
               BYTE((n >> 7) & 0x7F), BYTE(n & 0x7F)};
    return t + frames;
}

// An MPEG 1 layer III frame header: 128 kbps, 44100 Hz, joint stereo.
inline Bytes FrameHeader()
{
    return {0xFF, 0xFB, 0x90, 0x44};
}

} // namespace id3test
