// FLAC writer over libFLAC's stream encoder.
#include "audio/formats/flac/flac_writer.h"

#include "audio/audio_frame.h"
#include "audio/formats/vorbis_comment/vorbis_comment.h"
#include "audio/track/track_info.h"

namespace
{

struct LevelParameters {
    unsigned blockSize;
    bool exhaustiveModelSearch;
    bool midSideStereo;
    bool looseMidSideStereo;
    unsigned minPartitionOrder;
    unsigned maxPartitionOrder;
    unsigned maxLpcOrder;
};

const LevelParameters kLevels[9] = {
    {1152, false, false, false, 2, 2, 0}, {1152, false, true, true, 2, 2, 0},
    {1152, false, true, false, 0, 3, 0},  {4608, false, false, false, 3, 3, 6},
    {4608, false, true, true, 3, 3, 8},   {4608, false, true, false, 3, 3, 8},
    {4608, false, true, false, 0, 4, 8},  {4608, true, true, false, 0, 6, 8},
    {4608, true, true, false, 0, 6, 12},
};

const unsigned kSeekPoints = 100;
const unsigned kPaddingBytes = 4096;
const char kNotInitialized[] = "Writer not initialized";

using FieldGetter = CString (*)(const CAudioTrackInfo&);

struct WrittenField {
    const char* name;
    FieldGetter get;
};

const WrittenField kWrittenFields[] = {
    {"TITLE", [](const CAudioTrackInfo& t) { return t.GetTrackTitle(); }},
    {"ARTIST", [](const CAudioTrackInfo& t) { return t.GetArtist(); }},
    {"ALBUM", [](const CAudioTrackInfo& t) { return t.GetAlbumTitle(); }},
    {"COMMENT", [](const CAudioTrackInfo& t) { return t.GetComment(); }},
    {"GENRE", [](const CAudioTrackInfo& t) { return t.GetContentType(); }},
    {"TRACKNUMBER", [](const CAudioTrackInfo& t) { return t.GetTrackPosition(); }},
    {"DATE", [](const CAudioTrackInfo& t) { return t.GetYear(); }},
    {"COPYRIGHT", [](const CAudioTrackInfo& t) { return t.GetCopyright(); }},
    {"ORGANIZATION", [](const CAudioTrackInfo& t) { return t.GetPublisher(); }},
    {"DESCRIPTION", [](const CAudioTrackInfo& t) { return t.GetTrackExt(); }},
    {"CONTACT", [](const CAudioTrackInfo& t) { return t.GetEncodedBy(); }},
    {"ISRC", [](const CAudioTrackInfo& t) { return t.GetISRC(); }},
    {"ALBUMARTIST", [](const CAudioTrackInfo& t) { return t.GetAlbumArtist(); }},
};

// A file this writer created and could not start is not left behind.
void RemoveCreatedFile(LPCTSTR path)
{
    try {
        CFile::Remove(path);
    } catch (CException* e) {
        e->Delete();
    }
}

} // namespace

CAudioFlacWriter::CAudioFlacWriter() = default;

CAudioFlacWriter::~CAudioFlacWriter()
{
    m_encoder.reset();
    if (m_file)
        m_file->Abort();
}

bool CAudioFlacWriter::Open(LPCTSTR path, int channels, int sampleRate, int level,
                            CAudioTrackInfo* track)
{
    if (m_bInitialized)
        return false;
    SetError(AUDIO_ERROR_NONE, "");
    m_nChannels = channels;
    m_nEncoderChannels = channels == 1 ? 1 : 2;
    m_nSampleRate = sampleRate;
    m_nBitsPerSample = 16;
    m_pTrack = track;
    m_nLevel = level >= 0 && level <= 7 ? level : 8;
    m_strPath = path;
    m_strFileError.Empty();

    auto file = std::make_unique<CFile>();
    CFileException openError;
    if (!file->Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite,
                    &openError)) {
        char text[512] = "";
        openError.m_strFileName = path;
        openError.GetErrorMessage(text, sizeof text);
        SetError(AUDIO_ERROR_CREATE_FILE, text[0] ? text : "Can't open output file");
        return false;
    }
    m_file = std::move(file);
    m_encoder = std::make_unique<CFlacEncoder>();
    if (!*m_encoder) {
        m_encoder.reset();
        SetError(AUDIO_ERROR_CODEC_INIT, "Cannot create Flac encoder");
        return false;
    }
    FLAC__StreamEncoder* encoder = m_encoder->Get();
    bool ok = FLAC__stream_encoder_set_channels(encoder, m_nEncoderChannels) &&
              FLAC__stream_encoder_set_sample_rate(encoder, static_cast<unsigned>(sampleRate)) &&
              FLAC__stream_encoder_set_bits_per_sample(encoder, 16) && SetLevelParameters();

    m_seekTable = std::make_unique<CFlacMetadata>(FLAC__METADATA_TYPE_SEEKTABLE);
    m_comments = std::make_unique<CFlacMetadata>(FLAC__METADATA_TYPE_VORBIS_COMMENT);
    m_padding = std::make_unique<CFlacMetadata>(FLAC__METADATA_TYPE_PADDING);
    if (ok && *m_seekTable && *m_comments && *m_padding) {
        // The templates span a fixed 1000 bytes of 16-bit audio, not the stream: all of them
        // fall into the first frame, so the finished table holds one point and placeholders.
        const unsigned templateSamples = 1000u / static_cast<unsigned>(m_nEncoderChannels) / 2u;
        ok = FLAC__metadata_object_seektable_template_append_spaced_points(
            m_seekTable->Get(), kSeekPoints, templateSamples);
        AddComments(m_comments->Get());
        m_padding->Get()->length = kPaddingBytes;
        FLAC__StreamMetadata* blocks[3] = {m_comments->Get(), m_padding->Get(), m_seekTable->Get()};
        ok = ok && FLAC__stream_encoder_set_metadata(encoder, blocks, 3);
    }
    const bool started = ok && FLAC__stream_encoder_init_stream(
                                   encoder, &WriteCallback, &SeekCallback, &TellCallback, nullptr,
                                   this) == FLAC__STREAM_ENCODER_INIT_STATUS_OK;
    if (!started) {
        m_encoder.reset();
        m_seekTable.reset();
        m_comments.reset();
        m_padding.reset();
        m_file->Abort();
        m_file.reset();
        RemoveCreatedFile(path);
        if (!m_strFileError.IsEmpty())
            SetError(AUDIO_ERROR_WRITE, m_strFileError);
        else
            SetError(AUDIO_ERROR_CODEC_INIT, "Problems storing Flac comment section");
        return false;
    }
    m_bInitialized = 1;
    return true;
}

bool CAudioFlacWriter::OpenFromFile(CFile* file, int channels, int sampleRate, int level,
                                    CAudioTrackInfo* track)
{
    if (m_bInitialized || !file)
        return false;
    CString path = file->GetFilePath();
    file->Close();
    return Open(path, channels, sampleRate, level, track);
}

bool CAudioFlacWriter::SetLevelParameters()
{
    FLAC__StreamEncoder* encoder = m_encoder->Get();
    const LevelParameters& p = kLevels[m_nLevel];
    return FLAC__stream_encoder_set_blocksize(encoder, p.blockSize) &&
           FLAC__stream_encoder_set_do_exhaustive_model_search(encoder, p.exhaustiveModelSearch) &&
           FLAC__stream_encoder_set_do_mid_side_stereo(encoder, p.midSideStereo) &&
           FLAC__stream_encoder_set_loose_mid_side_stereo(encoder, p.looseMidSideStereo) &&
           FLAC__stream_encoder_set_min_residual_partition_order(encoder, p.minPartitionOrder) &&
           FLAC__stream_encoder_set_max_residual_partition_order(encoder, p.maxPartitionOrder) &&
           FLAC__stream_encoder_set_max_lpc_order(encoder, p.maxLpcOrder) &&
           FLAC__stream_encoder_set_qlp_coeff_precision(encoder, 0);
}

void CAudioFlacWriter::AddComments(FLAC__StreamMetadata* block)
{
    if (!m_pTrack)
        return;
    for (const WrittenField& field : kWrittenFields) {
        CString entry;
        entry.Format("%s=%s", field.name,
                     VorbisCommentFromTagText(field.get(*m_pTrack)).GetString());
        FLAC__StreamMetadata_VorbisComment_Entry e;
        e.length = static_cast<FLAC__uint32>(entry.GetLength());
        e.entry = reinterpret_cast<FLAC__byte*>(const_cast<char*>(entry.GetString()));
        FLAC__metadata_object_vorbiscomment_append_comment(block, e, true);
    }
}

bool CAudioFlacWriter::IsInitialized()
{
    return m_bInitialized;
}

bool CAudioFlacWriter::BeginStream()
{
    if (!m_bInitialized) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, kNotInitialized);
        return false;
    }
    return true;
}

bool CAudioFlacWriter::WriteFrame(CAudioFrame* frame)
{
    if (!m_bInitialized || !m_encoder) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, kNotInitialized);
        return false;
    }
    if (!ConvertFrameForWriting(frame, m_nChannels, static_cast<uint32_t>(m_nSampleRate),
                                m_nBitsPerSample, ConvertOrder::ChannelsBitsRate))
        return false;
    if (frame->IsEmpty())
        return true;
    uint32_t used = 0;
    const uint8_t* data = frame->GetData(used);
    const uint32_t count = used / 2;
    m_samples.resize(count);
    for (uint32_t i = 0; i < count; ++i)
        m_samples[i] = static_cast<int16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    const uint32_t perChannel = count / static_cast<uint32_t>(m_nEncoderChannels);
    if (perChannel > 0 &&
        !FLAC__stream_encoder_process_interleaved(m_encoder->Get(), m_samples.data(), perChannel)) {
        SetEncoderError();
        return false;
    }
    return true;
}

void CAudioFlacWriter::SetEncoderError()
{
    if (!m_strFileError.IsEmpty()) {
        SetError(AUDIO_ERROR_WRITE, m_strFileError);
        return;
    }
    CString text;
    SetError(FlacEncoderError(FLAC__stream_encoder_get_state(m_encoder->Get()), text), text);
}

void CAudioFlacWriter::KeepFileError(CException* e)
{
    if (m_strFileError.IsEmpty()) {
        char text[512] = "";
        e->GetErrorMessage(text, sizeof text);
        m_strFileError = text[0] ? text : "Can't write output file";
    }
    e->Delete();
}

FLAC__StreamEncoderWriteStatus CAudioFlacWriter::WriteCallback(const FLAC__StreamEncoder*,
                                                               const FLAC__byte buffer[],
                                                               size_t bytes, uint32_t, uint32_t,
                                                               void* client)
{
    auto* self = static_cast<CAudioFlacWriter*>(client);
    try {
        // libFLAC hands over at most one frame or metadata block at a time.
        if (bytes > 0xFFFFFFFFu)
            return FLAC__STREAM_ENCODER_WRITE_STATUS_FATAL_ERROR;
        self->m_file->Write(buffer, static_cast<UINT>(bytes));
        return FLAC__STREAM_ENCODER_WRITE_STATUS_OK;
    } catch (CException* e) {
        self->KeepFileError(e);
    } catch (...) {
        if (self->m_strFileError.IsEmpty())
            self->m_strFileError = "Can't write output file";
    }
    return FLAC__STREAM_ENCODER_WRITE_STATUS_FATAL_ERROR;
}

FLAC__StreamEncoderSeekStatus CAudioFlacWriter::SeekCallback(const FLAC__StreamEncoder*,
                                                             FLAC__uint64 offset, void* client)
{
    auto* self = static_cast<CAudioFlacWriter*>(client);
    try {
        self->m_file->Seek(static_cast<LONGLONG>(offset), CFile::begin);
        return FLAC__STREAM_ENCODER_SEEK_STATUS_OK;
    } catch (CException* e) {
        self->KeepFileError(e);
    } catch (...) {
    }
    return FLAC__STREAM_ENCODER_SEEK_STATUS_ERROR;
}

FLAC__StreamEncoderTellStatus CAudioFlacWriter::TellCallback(const FLAC__StreamEncoder*,
                                                             FLAC__uint64* offset, void* client)
{
    auto* self = static_cast<CAudioFlacWriter*>(client);
    try {
        *offset = self->m_file->GetPosition();
        return FLAC__STREAM_ENCODER_TELL_STATUS_OK;
    } catch (CException* e) {
        self->KeepFileError(e);
    } catch (...) {
    }
    return FLAC__STREAM_ENCODER_TELL_STATUS_ERROR;
}

bool CAudioFlacWriter::Close()
{
    if (!m_bInitialized) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, kNotInitialized);
        return false;
    }
    bool ok = true;
    if (m_encoder) {
        // A seek or write failure while the header is rewritten also ends here.
        if (!m_encoder->Finish() || !m_strFileError.IsEmpty()) {
            if (!m_strFileError.IsEmpty())
                SetError(AUDIO_ERROR_WRITE, m_strFileError);
            else
                SetError(AUDIO_ERROR_ENCODER, "Flac encoder error: cannot finish the stream");
            ok = false;
        }
        m_encoder.reset();
        m_seekTable.reset();
        m_comments.reset();
        m_padding.reset();
    }
    if (m_file) {
        try {
            m_file->Close();
        } catch (CException* e) {
            KeepFileError(e);
            if (ok)
                SetError(AUDIO_ERROR_WRITE, m_strFileError);
            ok = false;
        }
        m_file.reset();
    }
    return ok;
}

int64_t CAudioFlacWriter::GetBytesWritten()
{
    return -1;
}
