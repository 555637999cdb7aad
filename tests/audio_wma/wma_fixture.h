// Audio for the WMA tests, generated in code, and the measures they check it with.
#pragma once

#include "audio/formats/wma/wma_base.h"
#include "runtime/wmvcore/wmvcore_ids.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <utility>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace wma_fixture {

constexpr double kPi = 3.14159265358979323846;

inline std::string TempPath(const char* name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + "sonoria_wma_" + name;
}

// Interleaved 16-bit stereo: 440 Hz at half scale left, 880 Hz at 0.3 right.
inline std::vector<int16_t> MakeTones(int frames, int rate)
{
    std::vector<int16_t> pcm(static_cast<size_t>(frames) * 2);
    for (int i = 0; i < frames; ++i) {
        pcm[2 * i] = static_cast<int16_t>(16384 * std::sin(2 * kPi * 440 * i / rate));
        pcm[2 * i + 1] = static_cast<int16_t>(9830 * std::sin(2 * kPi * 880 * i / rate));
    }
    return pcm;
}

// Share of a channel's energy at one frequency (Goertzel), and the channel's RMS.
struct Tone {
    double share;
    double rms;
};
inline Tone Measure(const std::vector<int16_t>& pcm, int channels, int channel, double freq, int rate)
{
    // Skip the edges, where the codec's windows fade.
    const size_t frames = pcm.size() / channels;
    const size_t from = frames / 8, to = frames - frames / 8;
    double energy = 0, re = 0, im = 0;
    for (size_t i = from; i < to; ++i) {
        const double v = pcm[i * channels + channel];
        energy += v * v;
        re += v * std::cos(2 * kPi * freq * i / rate);
        im += v * std::sin(2 * kPi * freq * i / rate);
    }
    const double n = static_cast<double>(to - from);
    const double tone = 2 * (re * re + im * im) / n; // energy of the sinusoid at freq
    return {energy > 0 ? tone / energy : 0, std::sqrt(energy / n) / 32768.0};
}

// A file made through the runtime directly, with attributes the writer never sets.
inline void WriteWithAttributes(const std::string& path,
                         const std::vector<std::pair<std::wstring, std::wstring>>& strings,
                         BOOL isProtected, const WmPicture* picture = nullptr)
{
    CAudioWMABase base;
    IWMWriter* writer = base.CreateWriter();
    ASSERT_NE(writer, nullptr);
    IWMHeaderInfo* info = nullptr;
    ASSERT_HRESULT_SUCCEEDED(writer->SetProfileByID(kWmProfileAudio64Stereo));
    ASSERT_HRESULT_SUCCEEDED(writer->SetOutputFilename(WmaToWide(path.c_str()).c_str()));
    ASSERT_HRESULT_SUCCEEDED(
        writer->QueryInterface(IID_IWMHeaderInfo, reinterpret_cast<void**>(&info)));
    for (const auto& s : strings)
        info->SetAttribute(0, s.first.c_str(), WMT_TYPE_STRING,
                           reinterpret_cast<const BYTE*>(s.second.c_str()),
                           static_cast<WORD>((s.second.size() + 1) * 2));
    if (picture)
        info->SetAttribute(0, L"WM/Picture", WMT_TYPE_BINARY,
                           reinterpret_cast<const BYTE*>(picture), sizeof *picture);
    info->SetAttribute(0, L"Is_Protected", WMT_TYPE_BOOL,
                       reinterpret_cast<const BYTE*>(&isProtected), sizeof isProtected);
    info->Release();
    ASSERT_HRESULT_SUCCEEDED(writer->BeginWriting());
    INSSBuffer* sample = nullptr;
    ASSERT_HRESULT_SUCCEEDED(writer->AllocateSample(4000, &sample));
    BYTE* data = nullptr;
    sample->GetBuffer(&data);
    std::fill(data, data + 4000, 0);
    sample->SetLength(4000);
    ASSERT_HRESULT_SUCCEEDED(writer->WriteSample(0, 0, 0, sample));
    sample->Release();
    ASSERT_HRESULT_SUCCEEDED(writer->EndWriting());
    writer->Release();
}

} // namespace wma_fixture
