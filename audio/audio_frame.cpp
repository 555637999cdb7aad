// CAudioFrame: PCM buffer, sample codec and the in-place conversions writers apply.
#include "audio/audio_frame.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace
{

// Channel counts mapped to a class: 1 mono, 2 stereo (3 is the joint-stereo mode some writers
// are opened with), 0 anything else. Counts outside the table are class 0 as well.
const int kChannelClass[32] = {0, 1, 2, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                               0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

int ChannelClass(int channels)
{
    return (channels >= 0 && channels < 32) ? kChannelClass[channels] : 0;
}

std::unique_ptr<uint8_t[]> NewBuffer(uint32_t size)
{
    // Zeroed, so a width the codec cannot write leaves silence rather than heap garbage.
    return size ? std::make_unique<uint8_t[]>(size) : nullptr;
}

// Truncation toward zero that stays defined for values outside the int range.
int TruncateToInt(double v)
{
    if (!(v > std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    if (!(v < std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return static_cast<int>(v);
}

} // namespace

CAudioFrame::CAudioFrame() = default;

CAudioFrame::CAudioFrame(uint32_t capacity)
{
    SetCapacity(capacity);
}

CAudioFrame::~CAudioFrame() = default;

void CAudioFrame::ReplaceBuffer(std::unique_ptr<uint8_t[]> data, uint32_t size)
{
    m_pData = std::move(data);
    m_nCapacity = size;
    m_nUsed = size;
}

void CAudioFrame::SetCapacity(uint32_t n)
{
    // Not zeroed: only the used bytes are ever read, and those are copied or appended.
    std::unique_ptr<uint8_t[]> data = n ? std::make_unique_for_overwrite<uint8_t[]>(n) : nullptr;
    uint32_t keep = m_nUsed < n ? m_nUsed : n;
    if (m_pData && keep)
        std::memcpy(data.get(), m_pData.get(), keep);
    m_pData = std::move(data);
    m_nUsed = keep;
    m_nCapacity = n;
}

void CAudioFrame::Reset()
{
    m_nChannels = 0;
    m_nSampleRate = 0;
    m_nBitsPerSample = 0;
    m_bSigned = 0;
    m_nByteOrder = 0;
    m_nUsed = 0;
}

uint32_t CAudioFrame::Append(const void* bytes, uint32_t n)
{
    if (!bytes)
        return m_nUsed;
    if (uint8_t* space = AppendSpace(n))
        std::memcpy(space, bytes, n);
    return m_nUsed;
}

uint8_t* CAudioFrame::AppendSpace(uint32_t n)
{
    if (n == 0 || n > std::numeric_limits<uint32_t>::max() - m_nUsed)
        return nullptr;
    if (m_nUsed + n > m_nCapacity)
        SetCapacity(m_nUsed + n);
    uint8_t* space = m_pData.get() + m_nUsed;
    m_nUsed += n;
    return space;
}

void CAudioFrame::Truncate(uint32_t used)
{
    if (used < m_nUsed)
        m_nUsed = used;
}

int CAudioFrame::ReadSample(const uint8_t* buf, uint32_t index, int channel, int channels,
                            int width, int isSigned, int byteOrder)
{
    if (width < 1 || width > 3)
        return 0;
    const uint8_t* p = buf + (static_cast<size_t>(index) * channels + channel) * width;
    // b[0] is the least significant byte whatever the stored order.
    uint8_t b[3];
    for (int k = 0; k < width; ++k)
        b[k] = byteOrder == 0 ? p[k] : p[width - 1 - k];

    if (width == 1)
        return isSigned ? static_cast<int8_t>(b[0]) * 256 : (b[0] - 128) * 256;

    int word;
    if (width == 2) {
        word = b[0] | (b[1] << 8);
    } else {
        // 24-bit samples are scaled with the weights 255 and 65535 and the divisor 16777215,
        // so they land near (not exactly at) 1/256 of their value.
        double u = b[0] + 255.0 * b[1] + 65535.0 * b[2];
        word = static_cast<int>(u / 16777215.0 * 65535.0) & 0xFFFF;
        // Those weights put the most negative values (0x800000 up) at 0x7FFF, which would read
        // back as full positive scale: keep them at full negative scale instead.
        if (isSigned && (b[2] & 0x80) && word < 0x8000)
            word = 0x8000;
    }
    return isSigned ? static_cast<int16_t>(word) : word - 32768;
}

bool CAudioFrame::WriteSample(uint8_t* buf, uint32_t index, int channel, int channels, int width,
                              int isSigned, int byteOrder, int value)
{
    uint8_t* p = buf + (static_cast<size_t>(index) * channels + channel) * width;
    if (width == 1) {
        int byte = value >> 8;
        if (!isSigned)
            byte += 128;
        p[0] = static_cast<uint8_t>(byte);
        return true;
    }
    if (width == 2) {
        unsigned word = (static_cast<unsigned>(value) + (isSigned ? 0u : 32768u)) & 0xFFFF;
        uint8_t lo = static_cast<uint8_t>(word), hi = static_cast<uint8_t>(word >> 8);
        p[0] = byteOrder == 0 ? lo : hi;
        p[1] = byteOrder == 0 ? hi : lo;
        return true;
    }
    return false;
}

int CAudioFrame::ConvertChannels(int target)
{
    int from = ChannelClass(m_nChannels);
    int to = ChannelClass(target);
    if (from == to)
        return 1;
    int width = GetBytesPerSample();
    if (IsEmpty() || width == 0 || !((from == 2 && to == 1) || (from == 1 && to == 2)))
        return 0;

    if (from == 2) {
        if (width > 2)
            return DownmixWide(width);
        uint32_t pairs = m_nUsed / width / 2;
        std::unique_ptr<uint8_t[]> out = NewBuffer(pairs * width);
        for (uint32_t i = 0; i < pairs; ++i) {
            int l = ReadSample(m_pData.get(), i, 0, 2, width, m_bSigned, m_nByteOrder);
            int r = ReadSample(m_pData.get(), i, 1, 2, width, m_bSigned, m_nByteOrder);
            WriteSample(out.get(), i, 0, 1, width, m_bSigned, m_nByteOrder,
                        static_cast<int>((l + r) / 2.0));
        }
        ReplaceBuffer(std::move(out), pairs * width);
        m_nChannels = 1;
        return 1;
    }

    // Up-mix: each sample's bytes go to both channels unchanged. For 8 and 16 bits this is
    // exactly what a decode and re-encode gives; for 24 bits it keeps the audio.
    uint32_t samples = m_nUsed / width;
    if (samples > std::numeric_limits<uint32_t>::max() / 2 / width)
        return 0;
    std::unique_ptr<uint8_t[]> out = NewBuffer(samples * 2 * width);
    for (uint32_t i = 0; i < samples; ++i) {
        const uint8_t* src = m_pData.get() + static_cast<size_t>(i) * width;
        std::memcpy(out.get() + static_cast<size_t>(i) * 2 * width, src, width);
        std::memcpy(out.get() + (static_cast<size_t>(i) * 2 + 1) * width, src, width);
    }
    ReplaceBuffer(std::move(out), samples * 2 * width);
    m_nChannels = 2;
    return 1;
}

int CAudioFrame::DownmixWide(int width)
{
    // The codec cannot write 24-bit samples, so wide samples are averaged as the integers they
    // are, keeping their width, sign convention and byte order (writers narrow them later).
    if (width > 4)
        return 0;
    const uint32_t pairs = m_nUsed / width / 2;
    const int bits = width * 8;
    const int64_t midpoint = int64_t{1} << (bits - 1);
    auto load = [&](const uint8_t* p) {
        uint64_t u = 0;
        for (int k = 0; k < width; ++k)
            u |= static_cast<uint64_t>(m_nByteOrder == 0 ? p[k] : p[width - 1 - k]) << (8 * k);
        int64_t v = static_cast<int64_t>(u);
        return m_bSigned ? (v >= midpoint ? v - 2 * midpoint : v) : v - midpoint;
    };
    std::unique_ptr<uint8_t[]> out = NewBuffer(pairs * width);
    for (uint32_t i = 0; i < pairs; ++i) {
        const uint8_t* src = m_pData.get() + static_cast<size_t>(i) * 2 * width;
        int64_t v = (load(src) + load(src + width)) / 2;
        uint64_t u = static_cast<uint64_t>(m_bSigned ? v : v + midpoint);
        uint8_t* dst = out.get() + static_cast<size_t>(i) * width;
        for (int k = 0; k < width; ++k)
            dst[m_nByteOrder == 0 ? k : width - 1 - k] = static_cast<uint8_t>(u >> (8 * k));
    }
    ReplaceBuffer(std::move(out), pairs * width);
    m_nChannels = 1;
    return 1;
}

int CAudioFrame::ConvertSampleFormat(int bytes, int isSigned, int byteOrder)
{
    int width = GetBytesPerSample();
    if (IsEmpty() || width == 0 || bytes < 0 || bytes > 31)
        return 0;
    if (width == bytes && m_bSigned == isSigned && m_nByteOrder == byteOrder)
        return 1;
    uint32_t samples = m_nUsed / width;
    if (bytes && samples > std::numeric_limits<uint32_t>::max() / bytes)
        return 0;
    std::unique_ptr<uint8_t[]> out = NewBuffer(samples * bytes);
    for (uint32_t i = 0; i < samples; ++i) {
        int v = ReadSample(m_pData.get(), i, 0, 1, width, m_bSigned, m_nByteOrder);
        WriteSample(out.get(), i, 0, 1, bytes, isSigned, byteOrder, v);
    }
    ReplaceBuffer(std::move(out), samples * bytes);
    SetBytesPerSample(bytes);
    m_bSigned = isSigned;
    m_nByteOrder = byteOrder;
    return 1;
}

int CAudioFrame::ApplyGain(double factor)
{
    if (IsEmpty())
        return 0;
    if (factor == 1.0)
        return 1;
    if (!(factor >= 0.0) || std::isinf(factor))
        return 0;
    int width = GetBytesPerSample();
    if (width == 0)
        return 0;
    uint32_t samples = m_nUsed / width;
    for (uint32_t i = 0; i < samples; ++i) {
        double s = ReadSample(m_pData.get(), i, 0, 1, width, m_bSigned, m_nByteOrder) * factor;
        // The limits are 32766, not 32767 / -32768.
        if (s < -32766.0)
            s = -32766.0;
        if (s > 32766.0)
            s = 32766.0;
        WriteSample(m_pData.get(), i, 0, 1, width, m_bSigned, m_nByteOrder, static_cast<int>(s));
    }
    return 1;
}

int CAudioFrame::Resample(uint32_t rate)
{
    int width = GetBytesPerSample();
    if (rate == 0 || width == 0 || m_nChannels < 1)
        return 1;
    if (m_nSampleRate == 0) {
        // Nothing to scale from: the audio is taken to be at the target rate already.
        m_nSampleRate = rate;
        return 1;
    }
    const int channels = m_nChannels;
    const uint32_t nIn = m_nUsed / (static_cast<uint32_t>(width) * channels);
    // nIn / (from / to), truncated, in integers: in floating point 480 samples at 48000 Hz
    // give 440.99999 at 44100 Hz and a sample would be lost on every step.
    const uint64_t outCount = static_cast<uint64_t>(nIn) * rate / m_nSampleRate;
    if (outCount > std::numeric_limits<uint32_t>::max() / (static_cast<uint64_t>(width) * channels))
        return 0;
    const uint32_t nOut = static_cast<uint32_t>(outCount);
    const uint32_t size = nOut * channels * width;
    std::unique_ptr<uint8_t[]> out = NewBuffer(size);

    // The 4-point window normally starts at t - 1, limited to 0 .. nIn - 4. Frames shorter than
    // four samples (the tail of a file) repeat their last sample instead of reading past it.
    const int64_t lastWindow = nIn >= 4 ? static_cast<int64_t>(nIn) - 4 : 0;
    auto input = [&](int c, int64_t k) {
        if (k > static_cast<int64_t>(nIn) - 1)
            k = static_cast<int64_t>(nIn) - 1;
        return static_cast<double>(ReadSample(m_pData.get(), static_cast<uint32_t>(k), c, channels,
                                              width, m_bSigned, m_nByteOrder));
    };
    for (int c = 0; c < channels && nOut > 0; ++c) {
        WriteSample(out.get(), 0, c, channels, width, m_bSigned, m_nByteOrder,
                    static_cast<int>(input(c, 0)));
        for (uint32_t i = 1; i < nOut; ++i) {
            double p = static_cast<double>(i) * nIn / nOut;
            int64_t w = static_cast<int64_t>(p) - 1;
            if (w > lastWindow)
                w = lastWindow;
            if (w < 0)
                w = 0;
            double x = p - static_cast<double>(w);
            double y0 = input(c, w), y1 = input(c, w + 1), y2 = input(c, w + 2),
                   y3 = input(c, w + 3);
            // The constants are the historical ones, not exact sixths and thirds.
            double a = 0.1666667 * y3 - 0.5 * y2 + 0.5 * y1 - 0.1666667 * y0;
            double b = y0 - 2.5 * y1 + 2 * y2 - 0.5 * y3;
            double cc = 0.3333333 * y3 - 1.5 * y2 + 3 * y1 - 1.833333 * y0;
            double v = y0 + cc * x + b * x * x + a * x * x * x;
            WriteSample(out.get(), i, c, channels, width, m_bSigned, m_nByteOrder,
                        TruncateToInt(v));
        }
    }
    ReplaceBuffer(std::move(out), size);
    m_nSampleRate = rate;
    return 1;
}
