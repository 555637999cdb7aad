// Test support for the FLAC and Ogg Vorbis tests: a scratch folder, whole-file byte access,
// generated PCM, and readers driven to the end of their source.
#pragma once

#include "audio/audio_frame.h"
#include "audio/audio_stream.h"
#include "framework/core.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fixtures
{

constexpr double kPi = 3.14159265358979323846;

// A folder of its own under the system's temporary folder, removed with the object.
class ScratchDir
{
public:
    explicit ScratchDir(const std::string& name)
        : m_path(std::filesystem::temp_directory_path() / ("sonoria_" + name))
    {
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~ScratchDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

inline std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Deterministic test signal: per channel a sine of its own frequency plus a little noise, so
// that the channels differ and predictors have something to do. Values are on a full scale of
// `bits` bits (signed).
inline std::vector<int32_t> MakeSignal(int channels, int bits, uint32_t rate, uint32_t samples,
                                       double amplitude = 0.6)
{
    std::vector<int32_t> out(size_t(samples) * size_t(channels));
    const double full = double(int64_t{1} << (bits - 1)) - 1;
    uint32_t noise = 12345;
    for (uint32_t j = 0; j < samples; ++j) {
        for (int c = 0; c < channels; ++c) {
            noise = noise * 1103515245u + 12345u;
            const double f = 440.0 * (c + 1) + 37.0 * c;
            double v = amplitude * std::sin(2 * kPi * f * j / rate) +
                       0.01 * (double((noise >> 16) & 0x7FFF) / 16384.0 - 1.0);
            out[size_t(j) * size_t(channels) + size_t(c)] = int32_t(std::lround(v * full));
        }
    }
    return out;
}

// A frame holding the samples as a WAV file carries them: 8-bit unsigned, 16 and 24-bit
// signed, little-endian.
inline void FillFrame(CAudioFrame& frame, const std::vector<int32_t>& samples, int channels,
                      int bits, uint32_t rate)
{
    const int width = bits / 8;
    std::vector<uint8_t> bytes;
    for (int32_t s : samples) {
        uint32_t u = bits == 8 ? uint32_t(s + 128) : uint32_t(s);
        for (int b = 0; b < width; ++b)
            bytes.push_back(uint8_t(u >> (8 * b)));
    }
    frame.SetChannels(channels);
    frame.SetBitsPerSample(uint8_t(bits));
    frame.SetSigned(bits == 8 ? 0 : 1);
    frame.SetByteOrder(0);
    frame.SetSampleRate(rate);
    frame.Append(bytes.data(), uint32_t(bytes.size()));
}

// What a reader delivered, all read steps together.
struct Decoded {
    int channels = -1;
    int bits = 0;
    int isSigned = -1;
    uint32_t rate = 0;
    std::vector<uint8_t> bytes;
    int steps = 0;
    bool failed = false;
    int error = 0;
    CString errorText;
};

// Steps the reader while it has data, at most maxSteps times (a reader that never ends fails
// the test instead of hanging it).
inline Decoded ReadAll(CAudioAbstractReader& reader, int maxSteps = 1000000)
{
    Decoded d;
    EXPECT_TRUE(reader.Prepare());
    while (reader.HasMoreData() && d.steps < maxSteps) {
        CAudioFrame frame;
        ++d.steps;
        if (!reader.ReadFrame(&frame)) {
            d.failed = true;
            d.error = reader.GetError(d.errorText);
            break;
        }
        if (frame.IsEmpty())
            continue;
        d.channels = frame.GetChannels();
        d.bits = frame.GetBitsPerSample();
        d.isSigned = frame.GetSigned();
        d.rate = frame.GetSampleRate();
        uint32_t used = 0;
        const uint8_t* p = frame.GetData(used);
        d.bytes.insert(d.bytes.end(), p, p + used);
    }
    EXPECT_LT(d.steps, maxSteps) << "reader did not come to an end";
    return d;
}

// 16-bit little-endian samples of a byte buffer.
inline std::vector<int16_t> Samples16(const std::vector<uint8_t>& bytes)
{
    std::vector<int16_t> out(bytes.size() / 2);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = int16_t(bytes[2 * i] | (bytes[2 * i + 1] << 8));
    return out;
}

} // namespace fixtures
