// Reading back what a program played on the recording test device (testing/asound.conf): the
// device writes every stream it plays, raw, to the file named by $SONORIA_PCM_CAPTURE, anew
// for each stream. Header only.
#pragma once

#include <windows.h>

#include "testing/generated_wav.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace testing_pcm
{

// The capture file as Wine sees it: the Unix path through the Z: drive; empty when unset.
inline std::string CapturePath()
{
    const char* unixPath = std::getenv("SONORIA_PCM_CAPTURE");
    if (unixPath == nullptr || *unixPath == '\0')
        return {};
    std::string path = std::string("Z:") + unixPath;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// True when the program runs on the recording device.
inline bool HaveCaptureDevice()
{
    return !CapturePath().empty() && ::waveOutGetNumDevs() > 0;
}

inline std::vector<BYTE> ReadCapture()
{
    std::vector<BYTE> bytes;
    testing_wav::ReadFile(CapturePath(), bytes);
    return bytes;
}

// The device may pad its stream with silence while it waits for data: drop all-zero blocks.
inline std::vector<BYTE> WithoutSilence(const std::vector<BYTE>& bytes, size_t blockAlign)
{
    std::vector<BYTE> out;
    for (size_t i = 0; i + blockAlign <= bytes.size(); i += blockAlign) {
        bool silent = true;
        for (size_t k = 0; k < blockAlign; ++k)
            silent = silent && bytes[i + k] == 0;
        if (!silent)
            out.insert(out.end(), bytes.begin() + i, bytes.begin() + i + blockAlign);
    }
    return out;
}

// 16-bit little-endian samples of a byte stream.
inline std::vector<short> Samples16(const std::vector<BYTE>& bytes)
{
    std::vector<short> out(bytes.size() / 2);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<short>(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    return out;
}

} // namespace testing_pcm
