// WMA encoding and decoding over FFmpeg's codecs.
#include "runtime/wmvcore/wma_codec.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/mem.h>
}

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Rounded half away from zero, as lround does, but inline: the C library's lround is a slow
// call, once per decoded sample. The sum is exact in double, so the result is the same.
int16_t ToPcm16(float v)
{
    if (std::isnan(v))
        return 0;
    const double s = std::clamp(static_cast<double>(v) * 32768.0, -32768.0, 32767.0);
    return static_cast<int16_t>(s < 0 ? s - 0.5 : s + 0.5);
}

} // namespace

CWmaEncoder::~CWmaEncoder()
{
    av_packet_free(&m_packet);
    av_frame_free(&m_frame);
    avcodec_free_context(&m_ctx);
}

bool CWmaEncoder::Open(int channels, int sampleRate, int bitrate)
{
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_WMAV2);
    if (!codec || channels < 1 || channels > 2 || sampleRate <= 0)
        return false;
    m_ctx = avcodec_alloc_context3(codec);
    m_frame = av_frame_alloc();
    m_packet = av_packet_alloc();
    if (!m_ctx || !m_frame || !m_packet)
        return false;
    m_ctx->sample_rate = sampleRate;
    m_ctx->bit_rate = bitrate;
    m_ctx->sample_fmt = AV_SAMPLE_FMT_FLTP;
    av_channel_layout_default(&m_ctx->ch_layout, channels);
    if (avcodec_open2(m_ctx, codec, nullptr) < 0)
        return false;
    m_channels = channels;
    m_frameSize = m_ctx->frame_size;
    for (int c = 0; c < channels; ++c)
        m_pending[c].assign(static_cast<size_t>(m_frameSize), 0.0f); // the priming frame
    return EncodePending(false);
}

bool CWmaEncoder::Push(const int16_t* samples, size_t frames, int inChannels)
{
    if (!m_ctx || inChannels < 1 || inChannels > 2)
        return false;
    for (size_t i = 0; i < frames; ++i) {
        const int16_t* s = samples + i * inChannels;
        float l = s[0] / 32768.0f, r = inChannels == 2 ? s[1] / 32768.0f : l;
        if (m_channels == 1) {
            m_pending[0].push_back((l + r) * 0.5f);
        } else {
            m_pending[0].push_back(l);
            m_pending[1].push_back(r);
        }
    }
    m_inputFrames += frames;
    return EncodePending(false);
}

bool CWmaEncoder::Finish()
{
    if (!m_ctx)
        return false;
    // At least one frame of silence after the input, then up to a whole frame.
    const uint64_t need = m_inputFrames + 2 * static_cast<uint64_t>(m_frameSize);
    uint64_t total = m_fedFrames + m_pending[0].size();
    uint64_t target = std::max<uint64_t>(need, total);
    target = (target + m_frameSize - 1) / m_frameSize * m_frameSize;
    for (int c = 0; c < m_channels; ++c)
        m_pending[c].resize(m_pending[c].size() + static_cast<size_t>(target - total), 0.0f);
    return EncodePending(true);
}

bool CWmaEncoder::EncodePending(bool all)
{
    const size_t f = static_cast<size_t>(m_frameSize);
    size_t used = 0;
    while (m_pending[0].size() - used >= f) {
        m_frame->nb_samples = m_frameSize;
        m_frame->format = AV_SAMPLE_FMT_FLTP;
        m_frame->sample_rate = m_ctx->sample_rate;
        if (av_channel_layout_copy(&m_frame->ch_layout, &m_ctx->ch_layout) < 0 ||
            av_frame_get_buffer(m_frame, 0) < 0)
            return false;
        for (int c = 0; c < m_channels; ++c)
            std::memcpy(m_frame->data[c], m_pending[c].data() + used, f * sizeof(float));
        m_frame->pts = static_cast<int64_t>(m_fedFrames);
        int rc = avcodec_send_frame(m_ctx, m_frame);
        av_frame_unref(m_frame);
        if (rc < 0)
            return false;
        used += f;
        m_fedFrames += f;
        while (avcodec_receive_packet(m_ctx, m_packet) == 0) {
            m_packets.emplace_back(m_packet->data, m_packet->data + m_packet->size);
            av_packet_unref(m_packet);
        }
    }
    for (int c = 0; c < m_channels; ++c)
        m_pending[c].erase(m_pending[c].begin(), m_pending[c].begin() + used);
    (void)all;
    return true;
}

asf::AudioFormat CWmaEncoder::Format() const
{
    asf::AudioFormat a;
    a.formatTag = 0x161;
    a.channels = static_cast<uint16_t>(m_channels);
    a.sampleRate = static_cast<uint32_t>(m_ctx->sample_rate);
    a.avgBytesPerSec = static_cast<uint32_t>(m_ctx->bit_rate / 8);
    a.blockAlign = static_cast<uint16_t>(m_ctx->block_align);
    a.bitsPerSample = 16;
    a.extra.assign(m_ctx->extradata, m_ctx->extradata + m_ctx->extradata_size);
    return a;
}

CWmaDecoder::~CWmaDecoder()
{
    av_packet_free(&m_packet);
    av_frame_free(&m_frame);
    avcodec_free_context(&m_ctx);
}

bool CWmaDecoder::Open(const asf::AudioFormat& format)
{
    AVCodecID id = format.formatTag == 0x160   ? AV_CODEC_ID_WMAV1
                   : format.formatTag == 0x161 ? AV_CODEC_ID_WMAV2
                                               : AV_CODEC_ID_NONE;
    const AVCodec* codec = id == AV_CODEC_ID_NONE ? nullptr : avcodec_find_decoder(id);
    if (!codec || format.channels < 1 || format.channels > 2 || format.sampleRate == 0 ||
        format.sampleRate > 50000 || format.blockAlign == 0)
        return false;
    m_ctx = avcodec_alloc_context3(codec);
    m_frame = av_frame_alloc();
    m_packet = av_packet_alloc();
    if (!m_ctx || !m_frame || !m_packet)
        return false;
    m_ctx->sample_rate = static_cast<int>(format.sampleRate);
    m_ctx->bit_rate = static_cast<int64_t>(format.avgBytesPerSec) * 8;
    m_ctx->block_align = format.blockAlign;
    av_channel_layout_default(&m_ctx->ch_layout, format.channels);
    if (!format.extra.empty()) {
        m_ctx->extradata = static_cast<uint8_t*>(
            av_mallocz(format.extra.size() + AV_INPUT_BUFFER_PADDING_SIZE));
        if (!m_ctx->extradata)
            return false;
        std::memcpy(m_ctx->extradata, format.extra.data(), format.extra.size());
        m_ctx->extradata_size = static_cast<int>(format.extra.size());
    }
    if (avcodec_open2(m_ctx, codec, nullptr) < 0)
        return false;
    m_channels = format.channels;
    m_blockAlign = format.blockAlign;
    return true;
}

bool CWmaDecoder::Decode(const uint8_t* data, size_t size, std::vector<int16_t>& out)
{
    if (!m_ctx)
        return false;
    // A media object may carry several superframes of block-align bytes each.
    for (size_t at = 0; at + m_blockAlign <= size; at += m_blockAlign) {
        if (av_new_packet(m_packet, m_blockAlign) < 0)
            return false;
        std::memcpy(m_packet->data, data + at, m_blockAlign);
        int rc = avcodec_send_packet(m_ctx, m_packet);
        av_packet_unref(m_packet);
        if (rc < 0 && rc != AVERROR_INVALIDDATA)
            return false;
        if (!Receive(out))
            return false;
    }
    return true;
}

bool CWmaDecoder::Flush(std::vector<int16_t>& out)
{
    if (!m_ctx)
        return false;
    // An empty packet puts the codec into draining: it gives back every frame it holds.
    const int rc = avcodec_send_packet(m_ctx, nullptr);
    if (rc < 0 && rc != AVERROR_EOF)
        return false;
    return Receive(out);
}

bool CWmaDecoder::Receive(std::vector<int16_t>& out)
{
    for (;;) {
        int rc = avcodec_receive_frame(m_ctx, m_frame);
        if (rc == AVERROR(EAGAIN) || rc == AVERROR_EOF)
            return true;
        if (rc < 0)
            return false;
        const int n = m_frame->nb_samples, ch = m_frame->ch_layout.nb_channels;
        if (m_frame->format == AV_SAMPLE_FMT_FLTP && ch == m_channels) {
            for (int i = 0; i < n; ++i)
                for (int c = 0; c < ch; ++c)
                    out.push_back(ToPcm16(reinterpret_cast<const float*>(m_frame->data[c])[i]));
        }
        av_frame_unref(m_frame);
    }
}
