// CAudioWavWriter: the canonical 44-byte header, the audio, and the INFO tags at the end.
#include "audio/formats/wav/wav_writer.h"

#include <cstring>

namespace
{

// What the writer holds back at most, and the size from which a frame goes straight to the
// file: a write that large costs little more than its bytes, and copying it would not.
const size_t kPendingBytes = 256 * 1024;
const size_t kDirectWriteBytes = 64 * 1024;

// Sizes in the file are 32 bits; beyond 4 GiB they stay at the largest value instead of
// wrapping to something small.
DWORD Size32(ULONGLONG n)
{
    return n > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<DWORD>(n);
}

} // namespace

CAudioWavWriter::CAudioWavWriter() = default;

CAudioWavWriter::~CAudioWavWriter()
{
    if (!m_pFile)
        return;
    try {
        WritePending();
    } catch (CException* e) {
        e->Delete();
    }
    m_pFile->Abort();
}

BOOL CAudioWavWriter::Open(LPCTSTR pszPath, int nChannels, DWORD nSampleRate, int nBitsPerSample,
                           const CAudioTrackInfo* pTrack)
{
    if (m_bInitialized)
        return FALSE;
    SetError(AUDIO_ERROR_NONE, "");
    auto file = std::make_unique<CFile>();
    if (!pszPath || !file->Open(pszPath, CFile::modeCreate | CFile::modeWrite |
                                             CFile::shareDenyWrite | CFile::typeBinary)) {
        SetError(AUDIO_ERROR_CREATE_FILE, "Can't open output Wav file");
        return FALSE;
    }
    return OpenFile(std::move(file), nChannels, nSampleRate, nBitsPerSample, pTrack);
}

BOOL CAudioWavWriter::OpenFile(std::unique_ptr<CFile> pFile, int nChannels, DWORD nSampleRate,
                               int nBitsPerSample, const CAudioTrackInfo* pTrack)
{
    if (m_bInitialized || !pFile)
        return FALSE;
    m_pFile = std::move(pFile);
    m_nChannels = nChannels;
    m_nSampleRate = nSampleRate;
    m_nBitsPerSample = nBitsPerSample;
    m_pTrack = pTrack;
    m_nBytesWritten = 0;
    m_nAudioBytes = 0;
    m_bStreamBegun = false;
    m_bInitialized = true;
    return TRUE;
}

bool CAudioWavWriter::IsInitialized()
{
    return m_bInitialized;
}

bool CAudioWavWriter::BeginStream()
{
    if (!m_bInitialized) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, "Wav writer not initialized");
        return false;
    }
    if (m_nChannels != 1 && m_nChannels != 2) {
        SetError(AUDIO_ERROR_CHANNELS, "Wav writer unknow channels number");
        return false;
    }
    const WORD bytes = static_cast<WORD>(m_nBitsPerSample / 8);
    m_header = CAudioWavHeader();
    std::memcpy(m_header.riffId, "RIFF", 4);
    std::memcpy(m_header.waveId, "WAVE", 4);
    std::memcpy(m_header.fmtId, "fmt ", 4);
    m_header.fmtSize = 16;
    m_header.formatTag = 1;
    m_header.channels = static_cast<WORD>(m_nChannels);
    m_header.samplesPerSec = m_nSampleRate;
    m_header.avgBytesPerSec = bytes * m_nSampleRate * m_nChannels;
    m_header.blockAlign = static_cast<WORD>(bytes * m_nChannels);
    m_header.bitsPerSample = static_cast<WORD>(m_nBitsPerSample);

    BYTE raw[CAudioWavHeader::SIZE];
    m_header.Serialize(raw);
    m_nRiffPos = m_pFile->GetPosition();
    m_pFile->Write(raw, sizeof raw);
    m_nDataPos = m_pFile->GetPosition();
    const BYTE data[8] = {'d', 'a', 't', 'a', 0, 0, 0, 0};
    m_pFile->Write(data, sizeof data);
    m_nBytesWritten = 44;
    m_nAudioBytes = 0;
    m_nPending = 0;
    if (!m_pPending)
        m_pPending = std::make_unique_for_overwrite<uint8_t[]>(kPendingBytes);
    m_bStreamBegun = true;
    return true;
}

bool CAudioWavWriter::WriteFrame(CAudioFrame* pFrame)
{
    if (!m_bInitialized) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, "Wav writer not initialized");
        return false;
    }
    if (!m_bStreamBegun && pFrame && !BeginStream())
        return false;
    if (!ConvertFrameForWriting(pFrame, m_nChannels, m_nSampleRate, m_nBitsPerSample,
                                ConvertOrder::BitsChannelsRate))
        return false;
    uint32_t used = 0;
    const uint8_t* data = pFrame->GetData(used);
    if (used) {
        WriteAudio(data, used);
        m_nAudioBytes += used;
        m_nBytesWritten += used;
    }
    return true;
}

void CAudioWavWriter::WriteAudio(const uint8_t* pData, uint32_t nBytes)
{
    // What waits goes first: the audio keeps its order whatever the frames' sizes.
    if (nBytes >= kDirectWriteBytes || m_nPending + nBytes > kPendingBytes)
        WritePending();
    if (nBytes >= kDirectWriteBytes) {
        m_pFile->Write(pData, nBytes);
        return;
    }
    std::memcpy(m_pPending.get() + m_nPending, pData, nBytes);
    m_nPending += nBytes;
}

void CAudioWavWriter::WritePending()
{
    if (m_nPending == 0)
        return;
    // Gone before the write: after a failure the same bytes are not tried again.
    const size_t n = m_nPending;
    m_nPending = 0;
    m_pFile->Write(m_pPending.get(), static_cast<UINT>(n));
}

bool CAudioWavWriter::Close()
{
    if (!m_bInitialized) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, "Wav writer not initialized");
        return false;
    }
    if (!m_bStreamBegun) {
        // No header was written, so there are no sizes to patch.
        std::unique_ptr<CFile> file = std::move(m_pFile);
        m_bInitialized = false;
        file->Close();
        return true;
    }
    WritePending();
    // RIFF chunks are word aligned: odd audio gets one pad byte, which is not audio and so is
    // not counted in the data size (a counted zero would read back as a full-scale 8-bit click).
    if (m_nAudioBytes & 1) {
        const BYTE pad = 0;
        m_pFile->Write(&pad, 1);
        m_nBytesWritten += 1;
    }
    m_pFile->Flush();
    ULONGLONG end = m_pFile->GetPosition();
    BYTE data[8] = {'d', 'a', 't', 'a'};
    CAudioWavBase::PutLE32(data + 4, Size32(m_nAudioBytes));
    m_pFile->Seek(static_cast<LONGLONG>(m_nDataPos), CFile::begin);
    m_pFile->Write(data, sizeof data);
    m_pFile->Seek(static_cast<LONGLONG>(end), CFile::begin);

    m_nBytesWritten += WriteInfoList();

    end = m_pFile->GetPosition();
    m_header.riffSize = Size32(end - m_nRiffPos - 8);
    BYTE raw[CAudioWavHeader::SIZE];
    m_header.Serialize(raw);
    m_pFile->Seek(static_cast<LONGLONG>(m_nRiffPos), CFile::begin);
    m_pFile->Write(raw, sizeof raw);
    m_pFile->Seek(static_cast<LONGLONG>(end), CFile::begin);

    // From here on the file is complete; closing may still raise a file exception.
    std::unique_ptr<CFile> file = std::move(m_pFile);
    m_bInitialized = false;
    file->Close();
    return true;
}

int64_t CAudioWavWriter::GetBytesWritten()
{
    return static_cast<int64_t>(m_nBytesWritten);
}

DWORD CAudioWavWriter::WriteInfoList()
{
    if (!m_pTrack || !m_pFile)
        return 0;
    const ULONGLONG start = m_pFile->GetPosition();
    BYTE head[12] = {'L', 'I', 'S', 'T', 4, 0, 0, 0, 'I', 'N', 'F', 'O'};
    m_pFile->Write(head, sizeof head);
    ULONGLONG size = 4;
    for (const CAudioWavInfoField& f : kWavInfoFields)
        if (!f.readOnly)
            size += WriteInfoEntry(f.id, m_pTrack->*f.member);
    // Every entry ends on an even offset already; this only guards the list as a whole.
    if (m_pFile->GetPosition() & 1) {
        const BYTE pad = 0;
        m_pFile->Write(&pad, 1);
        size += 1;
    }
    const ULONGLONG end = m_pFile->GetPosition();
    CAudioWavBase::PutLE32(head + 4, Size32(size));
    m_pFile->Seek(static_cast<LONGLONG>(start), CFile::begin);
    m_pFile->Write(head, sizeof head);
    m_pFile->Seek(static_cast<LONGLONG>(end), CFile::begin);
    return Size32(end - start);
}

DWORD CAudioWavWriter::WriteInfoEntry(const char* pszId, const CString& strText)
{
    if (strText.IsEmpty() || !m_pFile)
        return 0;
    const DWORD length = static_cast<DWORD>(strText.GetLength());
    BYTE head[8];
    std::memcpy(head, pszId, 4);
    CAudioWavBase::PutLE32(head + 4, length + 1);
    m_pFile->Write(head, sizeof head);
    // The text and its terminating zero, then the pad byte RIFF puts after an odd chunk (not
    // counted in the entry's size).
    m_pFile->Write(strText.GetString(), length + 1);
    if ((length + 1) & 1) {
        const BYTE pad = 0;
        m_pFile->Write(&pad, 1);
        return length + 10;
    }
    return length + 9;
}
