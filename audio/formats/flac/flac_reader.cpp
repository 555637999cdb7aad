// FLAC reader over libFLAC's stream decoder.
#include "audio/formats/flac/flac_reader.h"

#include "audio/audio_frame.h"
#include "audio/formats/flac/flac_tag_reader.h"
#include "audio/formats/vorbis_comment/vorbis_comment.h"

#include <algorithm>
#include <cstring>

namespace
{

const char kInitError[] = "Flac reader init_file error";
// The decoder asks for a few KiB at a time; it gets them from this much read at once, so a
// decoding step costs a system call only now and then.
const UINT kInputBufferBytes = 128 * 1024;

enum class Probe { NotFound, NotFlac, Flac };

} // namespace

// The file the decoder reads, through one buffer, with its position counted here: libFLAC's
// small reads and its position queries (one per step, for the progress) reach the file
// system only when the buffer runs dry.
class CFlacFileInput
{
public:
    // The file's size, and whether it starts as a FLAC stream: libFLAC would hunt through any
    // file for the marker and so take an Ogg FLAC stream for a damaged native one. Leaves the
    // file open at its start when it is one.
    Probe Open(LPCTSTR path, ULONGLONG& size)
    {
        size = 0;
        if (!m_file.Open(path, CFile::modeRead | CFile::shareDenyNone))
            return Probe::NotFound;
        size = m_nLength = m_file.GetLength();
        if (!StartsWithMagicAfterId3v2(m_file, "fLaC"))
            return Probe::NotFlac;
        m_buffer = std::make_unique_for_overwrite<BYTE[]>(kInputBufferBytes);
        return Probe::Flac;
    }

    // Up to n bytes; 0 at the end of the file. Raises CFileException.
    size_t Read(BYTE* out, size_t n)
    {
        size_t done = 0;
        while (done < n) {
            if (m_nPos == m_nEnd && !Refill())
                break;
            const size_t take = std::min(n - done, m_nEnd - m_nPos);
            std::memcpy(out + done, m_buffer.get() + m_nPos, take);
            m_nPos += take;
            done += take;
        }
        return done;
    }

    void Seek(ULONGLONG offset)
    {
        m_file.Seek(static_cast<LONGLONG>(offset), CFile::begin);
        m_nBufferStart = offset;
        m_nPos = m_nEnd = 0;
        m_bAtEnd = false;
    }

    ULONGLONG Tell() const { return m_nBufferStart + m_nPos; }
    ULONGLONG Length() const { return m_nLength; }
    // True once everything was delivered and the file had no more (feof's meaning).
    bool AtEnd() const { return m_bAtEnd && m_nPos == m_nEnd; }

private:
    bool Refill()
    {
        if (m_bAtEnd)
            return false;
        m_nBufferStart += m_nEnd;
        m_nPos = m_nEnd = 0;
        m_nEnd = m_file.Read(m_buffer.get(), kInputBufferBytes);
        if (m_nEnd < kInputBufferBytes)
            m_bAtEnd = true;
        return m_nEnd > 0;
    }

    CFile m_file;
    std::unique_ptr<BYTE[]> m_buffer;
    ULONGLONG m_nLength = 0;
    ULONGLONG m_nBufferStart = 0; // file offset of the buffer's first byte
    size_t m_nPos = 0;            // next byte to deliver
    size_t m_nEnd = 0;            // bytes in the buffer
    bool m_bAtEnd = false;        // a read came back short
};

CAudioFlacReader::CAudioFlacReader() = default;

CAudioFlacReader::~CAudioFlacReader() = default;

bool CAudioFlacReader::Open(LPCTSTR path)
{
    if (m_bInitialized)
        return false;
    SetError(AUDIO_ERROR_NONE, "");
    m_bEndOfStream = 0;
    m_bStreamInfo = false;
    m_nTotalSamples = m_nDecodedSamples = 0;
    m_nChannels = m_nBitsPerSample = m_nSampleRate = 0;
    m_trackInfo.Clear();
    // Every failure drops the decoder and the file, and says why.
    auto fail = [this](int code, const CString& text) {
        m_decoder.reset();
        m_input.reset();
        SetError(code, text);
        return false;
    };
    m_input = std::make_unique<CFlacFileInput>();
    switch (m_input->Open(path, m_nFileSize)) {
    case Probe::NotFound:
        return fail(AUDIO_ERROR_FILE_NOT_FOUND, "Flac file not found or not accessible");
    case Probe::NotFlac:
        return fail(AUDIO_ERROR_CODEC_INIT, kInitError);
    case Probe::Flac:
        break;
    }

    m_decoder = std::make_unique<CFlacDecoder>();
    FLAC__StreamDecoder* decoder = m_decoder->Get();
    // STREAMINFO always comes; of the rest only the comments are used.
    if (!decoder ||
        !FLAC__stream_decoder_set_metadata_respond(decoder, FLAC__METADATA_TYPE_VORBIS_COMMENT) ||
        FLAC__stream_decoder_init_stream(decoder, ReadCallback, SeekCallback, TellCallback,
                                         LengthCallback, EofCallback, WriteCallback,
                                         MetadataCallback, ErrorCallback,
                                         this) != FLAC__STREAM_DECODER_INIT_STATUS_OK) {
        return fail(AUDIO_ERROR_CODEC_INIT, kInitError);
    }
    FLAC__stream_decoder_process_until_end_of_metadata(decoder);
    // A damaged block after STREAMINFO can stop the decoder for good: such a stream cannot be
    // read (and a stopped decoder must not be stepped again).
    CString stopped;
    const int stopCode = FlacDecoderError(FLAC__stream_decoder_get_state(decoder), stopped);
    if (stopCode != AUDIO_ERROR_NONE)
        return fail(stopCode, stopped);
    // Without STREAMINFO the file is no FLAC stream (or one cut short in its header).
    if (!m_bStreamInfo)
        return fail(AUDIO_ERROR_CODEC_INIT, kInitError);
    // Frames may take their rate from STREAMINFO: a stream that claims 0 Hz has none.
    if (m_nSampleRate <= 0)
        return fail(AUDIO_ERROR_BAD_FORMAT, "Flac stream with a sample rate of 0 Hz");
    m_bInitialized = 1;
    return true;
}

bool CAudioFlacReader::OpenFromFile(CFile* file)
{
    if (m_bInitialized || !file)
        return false;
    SetError(AUDIO_ERROR_NONE, "");
    CString path = file->GetFilePath();
    file->Close();
    return Open(path);
}

bool CAudioFlacReader::IsInitialized()
{
    return m_bInitialized;
}

bool CAudioFlacReader::HasMoreData()
{
    return m_bInitialized && !m_bEndOfStream;
}

int CAudioFlacReader::GetProgressPercent()
{
    if (!m_bInitialized || m_nFileSize == 0)
        return -1;
    FLAC__uint64 position = 0;
    if (!FLAC__stream_decoder_get_decode_position(m_decoder->Get(), &position))
        return m_bEndOfStream ? 100 : 0;
    return static_cast<int>(std::min<ULONGLONG>(position * 100 / m_nFileSize, 100));
}

bool CAudioFlacReader::Prepare()
{
    return m_bInitialized;
}

bool CAudioFlacReader::ReadFrame(CAudioFrame* frame)
{
    if (!m_bInitialized)
        return false;
    FLAC__StreamDecoder* decoder = m_decoder->Get();
    CString stopped;
    const int stopCode = FlacDecoderError(FLAC__stream_decoder_get_state(decoder), stopped);
    if (stopCode != AUDIO_ERROR_NONE) {
        // Stopped by an earlier step: libFLAC does not take another one.
        m_bEndOfStream = 1;
        SetError(stopCode, stopped);
        return false;
    }
    m_pFrame = frame;
    FLAC__bool ok = FLAC__stream_decoder_process_single(decoder);
    m_pFrame = nullptr;
    FLAC__StreamDecoderState state = FLAC__stream_decoder_get_state(decoder);
    if (state == FLAC__STREAM_DECODER_END_OF_STREAM) {
        m_bEndOfStream = 1;
        // Fewer samples than STREAMINFO counted: the file was cut (or cut while being read).
        if (m_nDecodedSamples < m_nTotalSamples) {
            SetError(AUDIO_ERROR_READ, "The Flac file ended before its audio: it is incomplete");
            return false;
        }
    }
    CString text;
    int code = FlacDecoderError(state, text);
    if (ok && code == AUDIO_ERROR_NONE)
        return true;
    if (code == AUDIO_ERROR_NONE)
        code = FlacDecoderError(FLAC__STREAM_DECODER_ABORTED, text);
    // A decoder that stopped does not recover: end the stream so no caller steps forever.
    m_bEndOfStream = 1;
    SetError(code, text);
    return false;
}

bool CAudioFlacReader::Close()
{
    if (!m_bInitialized)
        return false;
    m_decoder.reset();
    m_input.reset();
    m_bInitialized = 0;
    return true;
}

uint32_t CAudioFlacReader::GetSampleRate()
{
    return static_cast<uint32_t>(m_nSampleRate);
}

bool CAudioFlacReader::CopyTrackInfo(CAudioTrackInfo& track)
{
    if (!m_bInitialized)
        return false;
    track = m_trackInfo;
    return true;
}

void CAudioFlacReader::SetFrameFormat(CAudioFrame* frame, int bitsPerSample, int channels,
                                      int sampleRate)
{
    frame->SetByteOrder(0);
    frame->SetBitsPerSample(static_cast<uint8_t>(bitsPerSample));
    frame->SetChannels(channels == 1 || channels == 2 ? channels : 0);
    frame->SetSampleRate(static_cast<uint32_t>(sampleRate));
    frame->SetSigned(1);
}

FLAC__StreamDecoderWriteStatus CAudioFlacReader::WriteCallback(const FLAC__StreamDecoder*,
                                                               const FLAC__Frame* frame,
                                                               const FLAC__int32* const buffer[],
                                                               void* client)
{
    auto* self = static_cast<CAudioFlacReader*>(client);
    self->m_nDecodedSamples += frame->header.blocksize;
    if (self->m_pFrame)
        self->AppendBlock(frame, buffer);
    return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
}

// Samples go out in whole bytes, 1 to 3 of them: a width that is not a multiple of 8 bits is
// scaled up to the next byte (12 bits to 16), and 32-bit audio is cut to its upper 24 bits.
// They are interleaved straight into the frame; 16-bit audio, nearly all there is, gets a loop
// of its own.
void CAudioFlacReader::AppendBlock(const FLAC__Frame* block, const FLAC__int32* const buffer[])
{
    const int channels = static_cast<int>(block->header.channels);
    const int bits = static_cast<int>(block->header.bits_per_sample);
    const int width = std::clamp((bits + 7) / 8, 1, 3);
    const int shift = width * 8 - bits;
    m_nChannels = channels;
    m_nBitsPerSample = bits;
    m_nSampleRate = static_cast<int>(block->header.sample_rate);
    SetFrameFormat(m_pFrame, width * 8, channels, m_nSampleRate);

    const size_t samples = block->header.blocksize;
    const size_t bytes = samples * static_cast<size_t>(channels) * static_cast<size_t>(width);
    if (bytes > 0xFFFFFFFFu)
        return;
    BYTE* out = m_pFrame->AppendSpace(static_cast<uint32_t>(bytes));
    if (!out)
        return;
    if (width == 2 && shift == 0 && channels == 2) {
        const FLAC__int32* left = buffer[0];
        const FLAC__int32* right = buffer[1];
        for (size_t j = 0; j < samples; ++j, out += 4) {
            out[0] = static_cast<BYTE>(left[j]);
            out[1] = static_cast<BYTE>(left[j] >> 8);
            out[2] = static_cast<BYTE>(right[j]);
            out[3] = static_cast<BYTE>(right[j] >> 8);
        }
        return;
    }
    for (size_t j = 0; j < samples; ++j) {
        for (int i = 0; i < channels; ++i) {
            int64_t v = buffer[i][j];
            v = shift >= 0 ? v * (int64_t{1} << shift) : v >> -shift;
            for (int b = 0; b < width; ++b)
                *out++ = static_cast<BYTE>(static_cast<uint64_t>(v) >> (8 * b));
        }
    }
}

void CAudioFlacReader::MetadataCallback(const FLAC__StreamDecoder*,
                                        const FLAC__StreamMetadata* metadata, void* client)
{
    auto* self = static_cast<CAudioFlacReader*>(client);
    if (metadata->type == FLAC__METADATA_TYPE_STREAMINFO) {
        const FLAC__StreamMetadata_StreamInfo& info = metadata->data.stream_info;
        self->m_nChannels = static_cast<int>(info.channels);
        self->m_nBitsPerSample = static_cast<int>(info.bits_per_sample);
        self->m_nSampleRate = static_cast<int>(info.sample_rate);
        self->m_nTotalSamples = info.total_samples;
        self->m_bStreamInfo = true;
    } else if (metadata->type == FLAC__METADATA_TYPE_VORBIS_COMMENT) {
        const FLAC__StreamMetadata_VorbisComment& comments = metadata->data.vorbis_comment;
        for (FLAC__uint32 i = 0; i < comments.num_comments; ++i) {
            const FLAC__StreamMetadata_VorbisComment_Entry& entry = comments.comments[i];
            AssignVorbisComment(
                TagTextFromVorbisComment(reinterpret_cast<const char*>(entry.entry), entry.length),
                self->m_trackInfo);
        }
    }
}

// Lost sync and bad CRCs: the decoder skips to the next frame by itself.
void CAudioFlacReader::ErrorCallback(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus,
                                     void*)
{
}

FLAC__StreamDecoderReadStatus CAudioFlacReader::ReadCallback(const FLAC__StreamDecoder*,
                                                             FLAC__byte buffer[], size_t* bytes,
                                                             void* client)
{
    auto* self = static_cast<CAudioFlacReader*>(client);
    // Nothing a file raises may cross libFLAC's C frames: a failed read aborts the decoder.
    try {
        *bytes = self->m_input->Read(buffer, *bytes);
    } catch (CException* e) {
        e->Delete();
        *bytes = 0;
        return FLAC__STREAM_DECODER_READ_STATUS_ABORT;
    }
    return *bytes ? FLAC__STREAM_DECODER_READ_STATUS_CONTINUE
                  : FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM;
}

FLAC__StreamDecoderSeekStatus CAudioFlacReader::SeekCallback(const FLAC__StreamDecoder*,
                                                             FLAC__uint64 offset, void* client)
{
    try {
        static_cast<CAudioFlacReader*>(client)->m_input->Seek(offset);
    } catch (CException* e) {
        e->Delete();
        return FLAC__STREAM_DECODER_SEEK_STATUS_ERROR;
    }
    return FLAC__STREAM_DECODER_SEEK_STATUS_OK;
}

FLAC__StreamDecoderTellStatus CAudioFlacReader::TellCallback(const FLAC__StreamDecoder*,
                                                             FLAC__uint64* offset, void* client)
{
    *offset = static_cast<CAudioFlacReader*>(client)->m_input->Tell();
    return FLAC__STREAM_DECODER_TELL_STATUS_OK;
}

FLAC__StreamDecoderLengthStatus CAudioFlacReader::LengthCallback(const FLAC__StreamDecoder*,
                                                                 FLAC__uint64* length,
                                                                 void* client)
{
    *length = static_cast<CAudioFlacReader*>(client)->m_input->Length();
    return FLAC__STREAM_DECODER_LENGTH_STATUS_OK;
}

FLAC__bool CAudioFlacReader::EofCallback(const FLAC__StreamDecoder*, void* client)
{
    return static_cast<CAudioFlacReader*>(client)->m_input->AtEnd();
}
