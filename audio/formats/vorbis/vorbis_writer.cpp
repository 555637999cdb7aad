// Ogg Vorbis writer over vorbisenc and libogg.
#include "audio/formats/vorbis/vorbis_writer.h"

#include "audio/audio_frame.h"
#include "audio/formats/vorbis_comment/vorbis_comment.h"
#include "audio/track/track_info.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>

#include <vorbis/vorbisenc.h>

namespace
{

const int kMinSampleRate = 22050;
const uint32_t kChunkBytes = 204800;
const char kEncoderInitError[] = "Vorbis encoder init error";

using FieldGetter = CString (*)(const CAudioTrackInfo&);

struct WrittenTag {
    const char* tag;
    FieldGetter get;
};

const WrittenTag kWrittenTags[] = {
    {"ALBUM", [](const CAudioTrackInfo& t) { return t.GetAlbumTitle(); }},
    {"ARTIST", [](const CAudioTrackInfo& t) { return t.GetArtist(); }},
    {"COMMENT", [](const CAudioTrackInfo& t) { return t.GetComment(); }},
    {"GENRE", [](const CAudioTrackInfo& t) { return t.GetContentType(); }},
    {"TITLE", [](const CAudioTrackInfo& t) { return t.GetTrackTitle(); }},
    {"TRACK", [](const CAudioTrackInfo& t) { return t.GetTrackPosition(); }},
    {"DATE", [](const CAudioTrackInfo& t) { return t.GetYear(); }},
    {"TRACKNUMBER", [](const CAudioTrackInfo& t) { return t.GetTrackPosition(); }},
    {"VERSION", [](const CAudioTrackInfo& t) { return t.GetRemix(); }},
    {"COPYRIGHT", [](const CAudioTrackInfo& t) { return t.GetCopyright(); }},
    {"ORGANIZATION", [](const CAudioTrackInfo& t) { return t.GetPublisher(); }},
    {"DESCRIPTION", [](const CAudioTrackInfo& t) { return t.GetTrackExt(); }},
    {"CONTACT", [](const CAudioTrackInfo& t) { return t.GetEncodedBy(); }},
    {"ISRC", [](const CAudioTrackInfo& t) { return t.GetISRC(); }},
    {"ALBUMARTIST", [](const CAudioTrackInfo& t) { return t.GetAlbumArtist(); }},
};

} // namespace

CAudioVorbisWriter::CAudioVorbisWriter() = default;

CAudioVorbisWriter::~CAudioVorbisWriter()
{
    m_codec.reset();
    if (m_file)
        m_file->Abort();
}

bool CAudioVorbisWriter::Open(LPCTSTR path, int channels, int sampleRate, double quality,
                              CAudioTrackInfo* track)
{
    if (m_bInitialized)
        return false;
    SetError(AUDIO_ERROR_NONE, "");
    auto file = std::make_unique<CFile>();
    if (!file->Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite)) {
        SetError(AUDIO_ERROR_CREATE_FILE, "Can't open output file");
        return false;
    }
    return Setup(std::move(file), channels, sampleRate, quality, track);
}

bool CAudioVorbisWriter::Setup(std::unique_ptr<CFile> file, int channels, int sampleRate,
                               double quality, CAudioTrackInfo* track)
{
    if (m_bInitialized || !file)
        return false;
    m_nChannels = channels;
    m_nEncoderChannels = channels == 1 ? 1 : 2;
    m_nSampleRate = sampleRate < kMinSampleRate ? kMinSampleRate : sampleRate;
    m_nBitsPerSample = 16;
    m_pTrack = track;
    m_fQuality = quality;
    m_nStart = file->GetPosition();
    m_nBytesWritten = 0;
    m_bEndOfStream = 0;
    m_file = std::move(file);

    // vorbisenc quietly clamps a quality above 1.0; we refuse what lies outside its scale.
    m_codec = std::make_unique<CVorbisEncoder>();
    if (!(quality >= -0.1 - 1e-6 && quality <= 1.0 + 1e-6) ||
        vorbis_encode_init_vbr(&m_codec->info, m_nEncoderChannels, m_nSampleRate,
                               static_cast<float>(quality)) != 0) {
        m_codec.reset();
        m_file->Abort();
        m_file.reset();
        SetError(AUDIO_ERROR_CODEC_INIT, kEncoderInitError);
        return false;
    }
    m_bInitialized = 1;
    return true;
}

bool CAudioVorbisWriter::IsInitialized()
{
    return m_bInitialized;
}

void CAudioVorbisWriter::AddComments()
{
    vorbis_comment_clear(&m_codec->comment);
    vorbis_comment_init(&m_codec->comment);
    if (!m_pTrack)
        return;
    for (const WrittenTag& t : kWrittenTags) {
        CString value = VorbisCommentFromTagText(t.get(*m_pTrack));
        vorbis_comment_add_tag(&m_codec->comment, t.tag, value.GetString());
    }
}

bool CAudioVorbisWriter::BeginStream()
{
    if (!m_bInitialized) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, "Vorbis writer not initialized");
        return false;
    }
    if (m_codec->IsStarted())
        return true;
    AddComments();
    std::srand(static_cast<unsigned>(std::time(nullptr)) + static_cast<unsigned>(std::clock()));
    if (!m_codec->StartAnalysis(std::rand() % 32768)) {
        SetError(AUDIO_ERROR_CODEC_INIT, kEncoderInitError);
        return false;
    }
    ogg_packet header, comments, setup;
    vorbis_analysis_headerout(&m_codec->dsp, &m_codec->comment, &header, &comments, &setup);
    ogg_stream_packetin(&m_codec->stream, &header);
    ogg_stream_packetin(&m_codec->stream, &comments);
    ogg_stream_packetin(&m_codec->stream, &setup);
    // Flushing puts the headers on pages of their own, before any audio.
    while (ogg_stream_flush(&m_codec->stream, &m_codec->page) != 0)
        WritePage();
    return true;
}

void CAudioVorbisWriter::WritePage()
{
    const ogg_page& page = m_codec->page;
    m_file->Write(page.header, static_cast<UINT>(page.header_len));
    m_file->Write(page.body, static_cast<UINT>(page.body_len));
    m_nBytesWritten += static_cast<int>(page.header_len + page.body_len);
}

void CAudioVorbisWriter::DrainBlocks()
{
    CVorbisEncoder& c = *m_codec;
    while (vorbis_analysis_blockout(&c.dsp, &c.block) == 1) {
        vorbis_analysis(&c.block, nullptr);
        vorbis_bitrate_addblock(&c.block);
        while (vorbis_bitrate_flushpacket(&c.dsp, &c.packet) == 1) {
            ogg_stream_packetin(&c.stream, &c.packet);
            while (!m_bEndOfStream && ogg_stream_pageout(&c.stream, &c.page) != 0) {
                WritePage();
                if (ogg_page_eos(&c.page))
                    m_bEndOfStream = 1;
            }
        }
    }
}

bool CAudioVorbisWriter::WriteFrame(CAudioFrame* frame)
{
    if (!m_bInitialized) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, "Writer not initialized");
        return false;
    }
    if (!ConvertFrameForWriting(frame, m_nChannels, static_cast<uint32_t>(m_nSampleRate),
                                m_nBitsPerSample, ConvertOrder::ChannelsBitsRate))
        return false;
    if (frame->IsEmpty())
        return true;
    if (!m_codec->IsStarted() && !BeginStream())
        return false;
    uint32_t used = 0;
    const uint8_t* data = frame->GetData(used);
    const uint32_t channels = static_cast<uint32_t>(m_nEncoderChannels);
    for (uint32_t offset = 0; offset < used; offset += kChunkBytes) {
        const uint32_t bytes = std::min(kChunkBytes, used - offset);
        const int n = static_cast<int>(bytes / (2 * channels));
        if (n == 0)
            break;
        float** buffer = vorbis_analysis_buffer(&m_codec->dsp, n);
        const uint8_t* in = data + offset;
        for (int j = 0; j < n; ++j) {
            for (uint32_t ch = 0; ch < channels; ++ch, in += 2) {
                const int16_t s = static_cast<int16_t>(in[0] | (in[1] << 8));
                buffer[ch][j] = static_cast<float>(s / 32768.0);
            }
        }
        vorbis_analysis_wrote(&m_codec->dsp, n);
        DrainBlocks();
    }
    return true;
}

bool CAudioVorbisWriter::Close()
{
    if (!m_bInitialized) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, "Writer not initialized");
        return false;
    }
    if (!m_codec->IsStarted() && !BeginStream())
        return false;
    vorbis_analysis_wrote(&m_codec->dsp, 0);
    DrainBlocks();
    m_codec.reset();
    m_file->Flush();
    m_file->Close();
    m_file.reset();
    m_bInitialized = 0;
    return true;
}

int64_t CAudioVorbisWriter::GetBytesWritten()
{
    return m_nBytesWritten;
}
