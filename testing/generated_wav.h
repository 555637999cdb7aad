// WAV fixtures generated in code for tests and benchmarks: sine sweeps as PCM bytes, written
// as plain RIFF/WAVE files, and a parser for checking what a writer produced. Header only, and
// independent of the program's own WAV classes.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace testing_wav
{

struct Format {
    int channels;
    int rate;
    int bits; // 8, 16 or 24
};

// A sine sweep from 60 Hz up to a quarter of the rate at 0.9 of full scale, each channel
// shifted in phase. PCM bytes as a WAV file holds them (8-bit unsigned, else two's complement
// little-endian).
inline std::vector<uint8_t> SineSweep(const Format& f, double seconds)
{
    const size_t frames = static_cast<size_t>(seconds * f.rate);
    const int width = f.bits / 8;
    std::vector<uint8_t> pcm(frames * f.channels * width);
    const double pi = 3.14159265358979323846;
    const double f0 = 60.0;
    const double f1 = f.rate / 4.0;
    double phase = 0.0;
    size_t at = 0;
    for (size_t i = 0; i < frames; ++i) {
        const double freq = f0 + (f1 - f0) * static_cast<double>(i) / frames;
        phase += 2.0 * pi * freq / f.rate;
        for (int c = 0; c < f.channels; ++c) {
            const double x = 0.9 * std::sin(phase + c * 1.3);
            if (width == 1) {
                pcm[at++] = static_cast<uint8_t>(128 + static_cast<int>(x * 127));
            } else if (width == 2) {
                const int v = static_cast<int>(x * 32767);
                pcm[at++] = static_cast<uint8_t>(v & 0xFF);
                pcm[at++] = static_cast<uint8_t>((v >> 8) & 0xFF);
            } else {
                const int v = static_cast<int>(x * 8388607);
                pcm[at++] = static_cast<uint8_t>(v & 0xFF);
                pcm[at++] = static_cast<uint8_t>((v >> 8) & 0xFF);
                pcm[at++] = static_cast<uint8_t>((v >> 16) & 0xFF);
            }
        }
    }
    return pcm;
}

// Music-like 16-bit audio, different for each seed: notes of a few harmonics with attack and
// decay, several at once, panned, over noise bursts as a drum track would give. Encoders work
// on it about as hard as on real music (a sine sweep is far easier to predict).
inline std::vector<uint8_t> MusicLike(const Format& f, double seconds, uint32_t seed)
{
    const size_t frames = static_cast<size_t>(seconds * f.rate);
    std::vector<uint8_t> pcm(frames * f.channels * 2);
    uint32_t rng = seed * 2654435761u + 12345u;
    auto next = [&rng] {
        rng = rng * 1664525u + 1013904223u;
        return rng;
    };
    auto uniform = [&] { return (next() >> 8) / 16777216.0; };
    // One period of a tone with falling harmonics, read with linear interpolation.
    const int kTable = 4096;
    std::vector<double> table(kTable + 1);
    const double pi = 3.14159265358979323846;
    for (int i = 0; i <= kTable; ++i) {
        double v = 0.0;
        for (int k = 1; k <= 7; ++k)
            v += std::sin(2.0 * pi * k * i / kTable + k * 0.7) / (k * (1.0 + 0.3 * k));
        table[i] = v * 0.6;
    }
    struct Voice {
        double phase = 0, step = 0, amp = 0, decay = 1, attack = 0, pan = 0.5;
    };
    Voice voices[8];
    int nextVoice = 0;
    const size_t noteEvery = static_cast<size_t>(f.rate * (0.18 + 0.2 * uniform()));
    const size_t beat = static_cast<size_t>(f.rate * 0.125);
    static const int kScale[7] = {0, 2, 3, 5, 7, 8, 10};
    double noiseAmp = 0, noiseLow = 0, noiseDecay = 0.999;
    size_t at = 0;
    for (size_t i = 0; i < frames; ++i) {
        if (i % noteEvery == 0) {
            Voice& v = voices[nextVoice++ % 8];
            const int note = 36 + 12 * static_cast<int>(next() % 4) + kScale[next() % 7];
            v.step = 440.0 * std::pow(2.0, (note - 69) / 12.0) * kTable / f.rate;
            v.amp = 0.0;
            v.attack = 0.12 + 0.1 * uniform();
            v.decay = 1.0 - (2.0 + 6.0 * uniform()) / f.rate;
            v.pan = uniform();
        }
        if (i % beat == 0) {
            noiseAmp = (i / beat) % 4 == 0 ? 0.35 : 0.12 * uniform();
            noiseDecay = 1.0 - (20.0 + 60.0 * uniform()) / f.rate;
        }
        double left = 0, right = 0;
        for (Voice& v : voices) {
            if (v.attack > 0) {
                v.amp += v.attack * 200.0 / f.rate;
                if (v.amp >= v.attack)
                    v.attack = 0;
            } else {
                v.amp *= v.decay;
            }
            v.phase += v.step;
            if (v.phase >= kTable)
                v.phase -= kTable * static_cast<int>(v.phase / kTable);
            const int k = static_cast<int>(v.phase);
            const double x = v.amp * (table[k] + (table[k + 1] - table[k]) * (v.phase - k));
            left += x * (1.0 - v.pan);
            right += x * v.pan;
        }
        const double white = static_cast<int32_t>(next()) / 2147483648.0;
        noiseLow += 0.3 * (white - noiseLow);
        const double noise = noiseAmp * (0.6 * noiseLow + 0.4 * white);
        noiseAmp *= noiseDecay;
        for (int c = 0; c < f.channels; ++c) {
            double s = (c == 0 ? left : right) + noise * (c == 0 ? 0.9 : 1.0);
            s = s > 0.98 ? 0.98 : s < -0.98 ? -0.98 : s;
            const int v = static_cast<int>(s * 32767);
            pcm[at++] = static_cast<uint8_t>(v & 0xFF);
            pcm[at++] = static_cast<uint8_t>((v >> 8) & 0xFF);
        }
    }
    return pcm;
}

inline void Put32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

inline void Put16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

// A canonical PCM file: RIFF, a 16-byte "fmt " chunk, the "data" chunk (padded to even).
inline std::vector<uint8_t> WavFile(const Format& f, const std::vector<uint8_t>& pcm)
{
    std::vector<uint8_t> out;
    const uint32_t pad = pcm.size() & 1;
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    Put32(out, static_cast<uint32_t>(36 + pcm.size() + pad));
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, static_cast<uint16_t>(f.channels));
    Put32(out, static_cast<uint32_t>(f.rate));
    Put32(out, static_cast<uint32_t>(f.rate * f.channels * f.bits / 8));
    Put16(out, static_cast<uint16_t>(f.channels * f.bits / 8));
    Put16(out, static_cast<uint16_t>(f.bits));
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    Put32(out, static_cast<uint32_t>(pcm.size()));
    out.insert(out.end(), pcm.begin(), pcm.end());
    if (pad)
        out.push_back(0);
    return out;
}

inline bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

inline bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr)
        return false;
    uint8_t buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
        bytes.insert(bytes.end(), buf, buf + n);
    std::fclose(f);
    return true;
}

inline uint32_t Get32(const std::vector<uint8_t>& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}

// The format and audio bytes of a PCM WAV file; false when it is not one or a chunk runs past
// the end of the file.
inline bool ParseWav(const std::vector<uint8_t>& b, Format& f, std::vector<uint8_t>& pcm)
{
    if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
        std::string(b.begin() + 8, b.begin() + 12) != "WAVE")
        return false;
    bool haveFmt = false;
    size_t at = 12;
    while (at + 8 <= b.size()) {
        const std::string id(b.begin() + at, b.begin() + at + 4);
        const uint32_t size = Get32(b, at + 4);
        at += 8;
        if (size > b.size() - at)
            return false;
        if (id == "fmt " && size >= 16) {
            f.channels = b[at + 2] | (b[at + 3] << 8);
            f.rate = static_cast<int>(Get32(b, at + 4));
            f.bits = b[at + 14] | (b[at + 15] << 8);
            haveFmt = (b[at] | (b[at + 1] << 8)) == 1;
        } else if (id == "data") {
            pcm.assign(b.begin() + at, b.begin() + at + size);
            return haveFmt;
        }
        at += size + (size & 1);
    }
    return false;
}

} // namespace testing_wav
