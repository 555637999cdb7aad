// The WMA encoder and decoder of our wmvcore.dll, over FFmpeg's wmav1/wmav2 codecs.
// Classes here: CWmaEncoder, CWmaDecoder.
#pragma once

#include "runtime/wmvcore/asf_format.h"

#include <cstdint>
#include <deque>
#include <vector>

struct AVCodecContext;
struct AVFrame;
struct AVPacket;

// Encodes 16-bit PCM into WMA version 2 superframes (one per frame of frame_size samples).
// The codec's output runs one frame ahead of its input and its decoder drops the first two
// frames, so the encoder is primed with one frame of silence and finished with at least one
// more: decoded sample j is then input sample j, and nothing at the end is lost.
class CWmaEncoder
{
public:
    CWmaEncoder() = default;
    ~CWmaEncoder();
    CWmaEncoder(const CWmaEncoder&) = delete;
    CWmaEncoder& operator=(const CWmaEncoder&) = delete;

    // False when the codec refuses the parameters (below 24 kbps, above 48 kHz, ...).
    bool Open(int channels, int sampleRate, int bitrate);
    // Interleaved samples of inChannels (1 or 2) channels, mixed or duplicated as needed.
    bool Push(const int16_t* samples, size_t frames, int inChannels);
    // Pads the last frame and encodes it.
    bool Finish();

    // Superframes encoded and not yet taken, oldest first.
    std::deque<std::vector<uint8_t>>& Packets() { return m_packets; }
    // The WAVEFORMATEX of the encoded stream.
    asf::AudioFormat Format() const;
    int FrameSize() const { return m_frameSize; }
    uint64_t InputFrames() const { return m_inputFrames; }

private:
    bool EncodePending(bool all);

    AVCodecContext* m_ctx = nullptr;
    AVFrame* m_frame = nullptr;
    AVPacket* m_packet = nullptr;
    int m_channels = 0;
    int m_frameSize = 0;
    std::vector<float> m_pending[2]; // planar samples not yet encoded
    uint64_t m_inputFrames = 0;      // samples per channel pushed by the caller
    uint64_t m_fedFrames = 0;        // samples per channel handed to the codec, priming included
    std::deque<std::vector<uint8_t>> m_packets;
};

// Decodes WMA version 1 or 2 media objects into interleaved 16-bit PCM.
class CWmaDecoder
{
public:
    CWmaDecoder() = default;
    ~CWmaDecoder();
    CWmaDecoder(const CWmaDecoder&) = delete;
    CWmaDecoder& operator=(const CWmaDecoder&) = delete;

    // False for a format tag other than 0x160/0x161 or parameters the codec refuses.
    bool Open(const asf::AudioFormat& format);
    // Appends the decoded samples of one media object to out; false on a decoder error.
    bool Decode(const uint8_t* data, size_t size, std::vector<int16_t>& out);
    // At the end of the stream: appends what the codec still holds back (its last frame).
    // Decode must not be called after it.
    bool Flush(std::vector<int16_t>& out);
    int Channels() const { return m_channels; }

private:
    bool Receive(std::vector<int16_t>& out);

    AVCodecContext* m_ctx = nullptr;
    AVFrame* m_frame = nullptr;
    AVPacket* m_packet = nullptr;
    int m_channels = 0;
    int m_blockAlign = 0;
};
