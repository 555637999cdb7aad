// Ogg Vorbis reader over libogg and libvorbis synthesis.
#include "audio/formats/vorbis/vorbis_reader.h"

#include "audio/audio_frame.h"
#include "audio/formats/vorbis_comment/vorbis_comment.h"

#include <algorithm>

namespace
{

const UINT kFeedBytes = 4096;
const size_t kBufferBytes = 4194304;
const char kReadError[] = "Error reading Vorbis file";

// Decoded samples run from -1.0 to 1.0; they are scaled by 31000, not 32767, which leaves
// headroom for the overshoot of lossy coding before the clamp.
int SampleFromFloat(float f)
{
    float v = f * 31000.0f;
    if (!(v == v))
        return 0;
    if (v >= 32767.0f)
        return 32767;
    if (v <= -32768.0f)
        return -32768;
    return static_cast<int>(v);
}

} // namespace

CAudioVorbisReader::CAudioVorbisReader()
    : m_buffer(new BYTE[kBufferBytes]), m_nBufferSize(kBufferBytes)
{
}

CAudioVorbisReader::~CAudioVorbisReader()
{
    m_codec.reset();
    if (m_ownedFile)
        m_ownedFile->Abort();
}

bool CAudioVorbisReader::Open(LPCTSTR path)
{
    if (m_bInitialized)
        return false;
    SetError(AUDIO_ERROR_NONE, "");
    auto file = std::make_unique<CFile>();
    if (!file->Open(path, CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary)) {
        SetError(AUDIO_ERROR_FILE_NOT_FOUND, "Vorbis file not found");
        return false;
    }
    m_ownedFile = std::move(file);
    try {
        if (ParseHeaders(m_ownedFile.get()))
            return true;
    } catch (CException* e) {
        e->Delete();
        m_codec.reset();
        m_pFile = nullptr;
        SetError(AUDIO_ERROR_READ, kReadError);
    }
    m_ownedFile->Abort();
    m_ownedFile.reset();
    return false;
}

bool CAudioVorbisReader::Fail(const char* text)
{
    m_codec.reset();
    m_pFile = nullptr;
    SetError(AUDIO_ERROR_BAD_FORMAT, text);
    return false;
}

UINT CAudioVorbisReader::FeedBlock()
{
    char* buffer = ogg_sync_buffer(&m_codec->sync, kFeedBytes);
    UINT n = buffer ? m_pFile->Read(buffer, kFeedBytes) : 0;
    ogg_sync_wrote(&m_codec->sync, static_cast<long>(n));
    return n;
}

bool CAudioVorbisReader::ParseHeaders(CFile* file)
{
    if (m_bInitialized || !file)
        return false;
    SetError(AUDIO_ERROR_NONE, "");
    m_pFile = file;
    m_nStart = file->GetPosition();
    m_codec = std::make_unique<CVorbisDecoder>();
    CVorbisDecoder& c = *m_codec;

    FeedBlock();
    // The identification header sits alone on the first page, right at the start; anything
    // before it (an ID3v2 tag) makes pageout report skipped bytes.
    if (ogg_sync_pageout(&c.sync, &c.page) != 1)
        return Fail("Incorrect Vorbis header (1)");
    c.StartStream(ogg_page_serialno(&c.page));
    if (ogg_stream_pagein(&c.stream, &c.page) < 0)
        return Fail("Error reading first page of Vorbis bitstream data");
    if (ogg_stream_packetout(&c.stream, &c.packet) != 1)
        return Fail("Error reading initial header packet");
    if (vorbis_synthesis_headerin(&c.info, &c.comment, &c.packet) < 0)
        return Fail("This Ogg bitstream does not contain Vorbis audio data.");
    if (!ReadSecondaryHeaders())
        return false;

    m_nSamplesPerTake = std::max(1, 4096 / c.info.channels);
    if (!c.StartSynthesis())
        return Fail("Corrupt secondary header");
    m_nConsumed = file->GetPosition() - m_nStart;
    m_nLength = file->GetLength();
    m_nWritten = 0;
    m_bDrained = 0;
    m_bInitialized = 1;
    return true;
}

// The comment and setup headers, from as many pages as they take. One more block is fed after
// the last of them.
bool CAudioVorbisReader::ReadSecondaryHeaders()
{
    CVorbisDecoder& c = *m_codec;
    int headers = 0;
    while (headers < 2) {
        while (headers < 2) {
            int result = ogg_sync_pageout(&c.sync, &c.page);
            if (result == 0)
                break;
            if (result < 0) // bytes skipped: a gap in the page sequence
                continue;
            ogg_stream_pagein(&c.stream, &c.page);
            while (headers < 2) {
                result = ogg_stream_packetout(&c.stream, &c.packet);
                if (result == 0)
                    break;
                if (result < 0 ||
                    (headers == 0 && !IsValidCommentHeader(c.packet.packet, c.packet.bytes)) ||
                    vorbis_synthesis_headerin(&c.info, &c.comment, &c.packet) < 0) {
                    Fail("Corrupt secondary header");
                    return false;
                }
                ++headers;
            }
        }
        if (FeedBlock() == 0 && headers < 2) {
            Fail("End of file before finding all Vorbis headers!");
            return false;
        }
    }
    return true;
}

bool CAudioVorbisReader::IsInitialized()
{
    return m_bInitialized;
}

bool CAudioVorbisReader::HasMoreData()
{
    return m_bInitialized && !m_bDrained;
}

int CAudioVorbisReader::GetProgressPercent()
{
    if (!m_bInitialized || m_nLength <= m_nStart)
        return -1;
    double share = static_cast<double>(m_nConsumed) * 100.0 / double(m_nLength - m_nStart);
    return static_cast<int>(std::min(share, 100.0));
}

bool CAudioVorbisReader::Prepare()
{
    return m_bInitialized;
}

void CAudioVorbisReader::SetFrameFormat(CAudioFrame* frame)
{
    const int channels = m_codec->info.channels;
    frame->SetByteOrder(0);
    frame->SetBitsPerSample(16);
    frame->SetChannels(channels == 1 || channels == 2 ? channels : 0);
    frame->SetSampleRate(static_cast<uint32_t>(m_codec->info.rate));
    frame->SetSigned(1);
}

bool CAudioVorbisReader::ReadFrame(CAudioFrame* frame)
{
    if (!m_bInitialized || !frame)
        return false;
    SetFrameFormat(frame);
    m_nWritten = 0;
    try {
        Step(frame);
    } catch (CException* e) {
        // The file failed under us: no audio can follow.
        e->Delete();
        m_nWritten = 0;
        m_bDrained = 1;
        SetError(AUDIO_ERROR_READ, kReadError);
        return false;
    }
    FlushSamples(frame);
    return true;
}

void CAudioVorbisReader::Step(CAudioFrame* frame)
{
    DecodePages(frame);
    const ULONGLONG end = m_nLength - m_nStart;
    if (m_nConsumed < end) {
        UINT n = FeedBlock();
        m_nConsumed += n;
        // A file that ends before its measured length (cut while we read) ends here too.
        if (n == 0)
            m_nConsumed = end;
        if (m_nConsumed >= end)
            DecodePages(frame);
    }
    // Header parsing may have fed the whole of a short file already: the pages it left in
    // the sync state are decoded above before the stream counts as done.
    if (m_nConsumed >= end)
        m_bDrained = 1;
}

void CAudioVorbisReader::DecodePages(CAudioFrame* frame)
{
    CVorbisDecoder& c = *m_codec;
    int result;
    while ((result = ogg_sync_pageout(&c.sync, &c.page)) != 0) {
        if (result < 0)
            continue;
        // Pages of another logical stream are refused here and passed over.
        if (ogg_stream_pagein(&c.stream, &c.page) < 0)
            continue;
        while ((result = ogg_stream_packetout(&c.stream, &c.packet)) != 0) {
            if (result > 0)
                DecodePacket(frame);
        }
        if (ogg_page_eos(&c.page))
            m_nConsumed = m_nLength - m_nStart;
    }
}

void CAudioVorbisReader::DecodePacket(CAudioFrame* frame)
{
    CVorbisDecoder& c = *m_codec;
    if (vorbis_synthesis(&c.block, &c.packet) == 0)
        vorbis_synthesis_blockin(&c.dsp, &c.block);
    const size_t channels = static_cast<size_t>(c.info.channels);
    float** pcm = nullptr;
    int ready;
    while ((ready = vorbis_synthesis_pcmout(&c.dsp, &pcm)) > 0) {
        const int take = std::min(ready, m_nSamplesPerTake);
        if ((m_nWritten + static_cast<size_t>(take) * channels) * 2 > m_nBufferSize)
            FlushSamples(frame);
        BYTE* out = m_buffer.get() + m_nWritten * 2;
        for (int j = 0; j < take; ++j) {
            for (size_t ch = 0; ch < channels; ++ch) {
                const int v = SampleFromFloat(pcm[ch][j]);
                *out++ = static_cast<BYTE>(v & 0xFF);
                *out++ = static_cast<BYTE>((v >> 8) & 0xFF);
            }
        }
        m_nWritten += static_cast<size_t>(take) * channels;
        vorbis_synthesis_read(&c.dsp, take);
    }
}

void CAudioVorbisReader::FlushSamples(CAudioFrame* frame)
{
    if (m_nWritten > 0)
        frame->Append(m_buffer.get(), static_cast<uint32_t>(m_nWritten * 2));
    m_nWritten = 0;
}

bool CAudioVorbisReader::Close()
{
    if (!m_bInitialized)
        return false;
    m_codec.reset();
    if (m_ownedFile) {
        m_ownedFile->Abort();
        m_ownedFile.reset();
    }
    m_pFile = nullptr;
    m_bInitialized = 0;
    return true;
}

uint32_t CAudioVorbisReader::GetSampleRate()
{
    return m_bInitialized ? static_cast<uint32_t>(m_codec->info.rate) : 0;
}

bool CAudioVorbisReader::ReadComments(CAudioTrackInfo& track)
{
    if (!m_bInitialized)
        return false;
    const vorbis_comment& comment = m_codec->comment;
    for (int i = 0; i < comment.comments; ++i) {
        const int length = comment.comment_lengths[i];
        AssignVorbisComment(
            TagTextFromVorbisComment(comment.user_comments[i], length > 0 ? size_t(length) : 0),
            track);
    }
    return true;
}
