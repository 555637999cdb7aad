// Test helpers: temporary files and WAV files assembled chunk by chunk in memory.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <process.h>
#define SONORIA_TEST_PID _getpid()
#else
#include <unistd.h>
#define SONORIA_TEST_PID getpid()
#endif

namespace wavtest
{

using Bytes = std::vector<uint8_t>;

// A path in the temporary folder, unique to this process, removed at destruction.
class TempFile
{
public:
    explicit TempFile(const std::string& name)
    {
        m_path = (std::filesystem::temp_directory_path() /
                  ("sonoria_" + std::to_string(SONORIA_TEST_PID) + "_" + name))
                     .string();
        std::remove(m_path.c_str());
    }
    ~TempFile() { std::remove(m_path.c_str()); }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const char* path() const { return m_path.c_str(); }

    void Write(const Bytes& bytes) const
    {
        std::ofstream out(m_path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    Bytes Read() const
    {
        std::ifstream in(m_path, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::string m_path;
};

inline void PutLE(Bytes& b, uint64_t v, int n)
{
    for (int i = 0; i < n; ++i)
        b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

inline uint32_t GetLE32(const Bytes& b, size_t at)
{
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24);
}

// One chunk: its id, the size it declares, and the bytes that follow the header (a pad byte
// is added for odd payloads unless pad is false).
struct Chunk {
    std::string id;
    uint32_t declared;
    Bytes payload;
    bool pad = true;
};

inline Chunk Data(const Bytes& audio)
{
    return {"data", static_cast<uint32_t>(audio.size()), audio};
}

inline Chunk Fmt(int tag, int channels, uint32_t rate, int bits, int extra = 0)
{
    Bytes p;
    PutLE(p, tag, 2);
    PutLE(p, channels, 2);
    PutLE(p, rate, 4);
    PutLE(p, uint64_t(bits / 8) * channels * rate, 4);
    PutLE(p, (bits / 8) * channels, 2);
    PutLE(p, bits, 2);
    for (int i = 0; i < extra; ++i)
        p.push_back(0);
    return {"fmt ", static_cast<uint32_t>(p.size()), p};
}

// "RIFF", the size of what follows, "WAVE", then the chunks.
inline Bytes Riff(const std::vector<Chunk>& chunks)
{
    Bytes body = {'W', 'A', 'V', 'E'};
    for (const Chunk& c : chunks) {
        body.insert(body.end(), c.id.begin(), c.id.end());
        PutLE(body, c.declared, 4);
        body.insert(body.end(), c.payload.begin(), c.payload.end());
        if (c.pad && (c.payload.size() & 1))
            body.push_back(0);
    }
    Bytes out = {'R', 'I', 'F', 'F'};
    PutLE(out, body.size(), 4);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

// Interleaved 16-bit samples of a rising sine sweep, different per channel.
inline std::vector<int> Sweep(int channels, int frames, int amplitude)
{
    std::vector<int> s;
    double phase[2] = {0, 0};
    for (int i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c) {
            double freq = 0.002 + 0.2 * i / frames + 0.01 * c;
            phase[c] += 2 * 3.141592653589793 * freq;
            s.push_back(static_cast<int>(amplitude * std::sin(phase[c])));
        }
    }
    return s;
}

} // namespace wavtest
