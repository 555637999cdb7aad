// libogg and libvorbis state owners.
#include "audio/formats/vorbis/vorbis_codec.h"

#include <cstring>

CVorbisDecoder::CVorbisDecoder()
{
    std::memset(&stream, 0, sizeof stream);
    std::memset(&page, 0, sizeof page);
    std::memset(&packet, 0, sizeof packet);
    std::memset(&dsp, 0, sizeof dsp);
    std::memset(&block, 0, sizeof block);
    ogg_sync_init(&sync);
    vorbis_info_init(&info);
    vorbis_comment_init(&comment);
}

CVorbisDecoder::~CVorbisDecoder()
{
    if (m_bSynthesis) {
        vorbis_block_clear(&block);
        vorbis_dsp_clear(&dsp);
    }
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    if (m_bStream)
        ogg_stream_clear(&stream);
    ogg_sync_clear(&sync);
}

void CVorbisDecoder::StartStream(int serial)
{
    if (m_bStream)
        ogg_stream_clear(&stream);
    ogg_stream_init(&stream, serial);
    m_bStream = true;
}

bool CVorbisDecoder::StartSynthesis()
{
    if (m_bSynthesis || vorbis_synthesis_init(&dsp, &info) != 0)
        return false;
    if (vorbis_block_init(&dsp, &block) != 0) {
        vorbis_dsp_clear(&dsp);
        return false;
    }
    m_bSynthesis = true;
    return true;
}

CVorbisEncoder::CVorbisEncoder()
{
    std::memset(&dsp, 0, sizeof dsp);
    std::memset(&block, 0, sizeof block);
    std::memset(&stream, 0, sizeof stream);
    std::memset(&page, 0, sizeof page);
    std::memset(&packet, 0, sizeof packet);
    vorbis_info_init(&info);
    vorbis_comment_init(&comment);
}

CVorbisEncoder::~CVorbisEncoder()
{
    if (m_bAnalysis) {
        ogg_stream_clear(&stream);
        vorbis_block_clear(&block);
        vorbis_dsp_clear(&dsp);
    }
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
}

bool CVorbisEncoder::StartAnalysis(int serial)
{
    if (m_bAnalysis || vorbis_analysis_init(&dsp, &info) != 0)
        return false;
    vorbis_block_init(&dsp, &block);
    ogg_stream_init(&stream, serial);
    m_bAnalysis = true;
    return true;
}

namespace
{

bool TakeLength(const unsigned char* data, long bytes, long& pos, unsigned long& value)
{
    if (bytes - pos < 4)
        return false;
    value = data[pos] | (data[pos + 1] << 8) | (data[pos + 2] << 16) |
            (static_cast<unsigned long>(data[pos + 3]) << 24);
    pos += 4;
    return true;
}

} // namespace

// Comment header: 0x03 "vorbis", vendor length (32-bit LE) and vendor, comment count (32-bit
// LE), each comment as length and bytes, then the framing bit.
bool IsValidCommentHeader(const unsigned char* data, long bytes)
{
    if (!data || bytes < 7 || data[0] != 3 || std::memcmp(data + 1, "vorbis", 6) != 0)
        return false;
    long pos = 7;
    unsigned long length = 0, count = 0;
    if (!TakeLength(data, bytes, pos, length) || length > static_cast<unsigned long>(bytes - pos))
        return false;
    pos += static_cast<long>(length);
    if (!TakeLength(data, bytes, pos, count) || count > static_cast<unsigned long>(bytes - pos) / 4)
        return false;
    for (unsigned long i = 0; i < count; ++i) {
        if (!TakeLength(data, bytes, pos, length) ||
            length > static_cast<unsigned long>(bytes - pos))
            return false;
        pos += static_cast<long>(length);
    }
    return true;
}
