// CAudioFrame: a growable buffer of interleaved PCM samples with their format, handed from a
// reader to a writer. All sample arithmetic happens on a 16-bit scale.
#pragma once

#include <cstdint>
#include <memory>

class CAudioFrame
{
public:
    CAudioFrame();
    explicit CAudioFrame(uint32_t capacity);
    virtual ~CAudioFrame();

    CAudioFrame(const CAudioFrame&) = delete;
    CAudioFrame& operator=(const CAudioFrame&) = delete;

    int GetChannels() const { return m_nChannels; }
    void SetChannels(int channels) { m_nChannels = channels; }
    uint32_t GetSampleRate() const { return m_nSampleRate; }
    void SetSampleRate(uint32_t rate) { m_nSampleRate = rate; }
    uint8_t GetBitsPerSample() const { return m_nBitsPerSample; }
    void SetBitsPerSample(uint8_t bits) { m_nBitsPerSample = bits; }
    // Sample width in bytes: (bits >> 3) & 31.
    int GetBytesPerSample() const { return (m_nBitsPerSample >> 3) & 31; }
    void SetBytesPerSample(int bytes) { m_nBitsPerSample = static_cast<uint8_t>(bytes * 8); }
    // 1: two's complement; 0: unsigned, offset by the midpoint (128 or 32768).
    int GetSigned() const { return m_bSigned; }
    void SetSigned(int isSigned) { m_bSigned = isSigned; }
    // 0: little-endian; anything else: big-endian.
    int GetByteOrder() const { return m_nByteOrder; }
    void SetByteOrder(int order) { m_nByteOrder = order; }
    uint32_t GetUsedBytes() const { return m_nUsed; }
    uint32_t GetCapacity() const { return m_nCapacity; }
    bool IsEmpty() const { return m_nUsed == 0; }

    // The buffer (null while nothing was ever stored); the frame keeps ownership.
    uint8_t* GetData(uint32_t& used) const
    {
        used = m_nUsed;
        return m_pData.get();
    }

    // Reallocates to exactly n bytes, keeping the first min(used, n).
    void SetCapacity(uint32_t n);
    // Back to an empty frame of no format, keeping the buffer for the next appends: a job
    // that reads step after step then allocates only when a step is larger than the last.
    void Reset();
    // Appends n bytes, growing the buffer to exactly the new size; returns the new used count.
    // A null source or a size that would overflow appends nothing.
    uint32_t Append(const void* bytes, uint32_t n);
    // Appends n bytes for the caller to fill, growing as Append does, and returns where they
    // start: a reader decodes or reads straight into the frame instead of through a copy.
    // Null, appending nothing, for n = 0 or a size that would overflow.
    uint8_t* AppendSpace(uint32_t n);
    // Keeps the first `used` bytes; a count at or above the used bytes changes nothing.
    void Truncate(uint32_t used);

    // 1 when unchanged or converted; 0 when the conversion is impossible.
    int ConvertChannels(int target);
    // 1 on success or when the format already matches; 0 for an empty frame.
    int ConvertSampleFormat(int bytes, int isSigned, int byteOrder);
    // 1 on success or for 1.0; 0 for an empty frame or a negative (or non-finite) factor.
    int ApplyGain(double factor);
    // 1: the frame holds the audio at the target rate. 0 only when the result cannot be held
    // in a frame at all (more than 4 GiB).
    int Resample(uint32_t rate);

    // The sample codec. Sample i of channel c lies at byte (i * channels + c) * width.
    // Width 1 and 2 read and write; width 3 reads only; other widths read 0.
    static int ReadSample(const uint8_t* buf, uint32_t index, int channel, int channels, int width,
                          int isSigned, int byteOrder);
    // False (nothing stored) for a width other than 1 or 2.
    static bool WriteSample(uint8_t* buf, uint32_t index, int channel, int channels, int width,
                            int isSigned, int byteOrder, int value);

private:
    int DownmixWide(int width);
    void ReplaceBuffer(std::unique_ptr<uint8_t[]> data, uint32_t size);

    int m_nChannels = 0;
    uint32_t m_nSampleRate = 0;
    uint8_t m_nBitsPerSample = 0;
    int m_bSigned = 0;
    int m_nByteOrder = 0;
    uint32_t m_nCapacity = 0;
    uint32_t m_nUsed = 0;
    std::unique_ptr<uint8_t[]> m_pData;
};
