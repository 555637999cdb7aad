// CAudioWavReader: opening a WAV file and delivering its audio a second at a time.
#include "audio/formats/wav/wav_reader.h"

#include <algorithm>

namespace
{
// A read step is one second of audio, but never more than this, so a header with an absurd
// rate cannot ask for gigabytes.
const DWORD kMaxReadStep = 4u << 20;
// Nor less than this: at a few hertz a second is a few bytes, and a job would take one step
// per handful of bytes.
const DWORD kMinReadStep = 4096;
} // namespace

CAudioWavReader::CAudioWavReader() = default;

CAudioWavReader::~CAudioWavReader()
{
    CAudioWavReader::Close();
}

BOOL CAudioWavReader::Open(LPCTSTR pszPath)
{
    if (m_bInitialized)
        return FALSE;
    SetError(AUDIO_ERROR_NONE, "");
    auto file = std::make_unique<CFile>();
    if (!pszPath ||
        !file->Open(pszPath, CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary)) {
        SetError(AUDIO_ERROR_FILE_NOT_FOUND, "Wav file not found");
        return FALSE;
    }
    return OpenFile(std::move(file));
}

BOOL CAudioWavReader::OpenFile(std::unique_ptr<CFile> pFile)
{
    if (m_bInitialized || !pFile)
        return FALSE;
    m_pFile = std::move(pFile);
    auto fail = [this](const char* text) {
        m_pFile->Abort();
        m_pFile.reset();
        SetError(AUDIO_ERROR_BAD_FORMAT, text);
        return FALSE;
    };
    if (!CAudioWavBase::ReadRiffHeader(*m_pFile, m_header))
        return fail("Error reading Wav file header");
    // Frames carry 8, 16 and 24-bit samples only; a zero rate or channel count would make
    // every read step empty and the reading endless.
    const WORD bits = m_header.bitsPerSample;
    if ((bits != 8 && bits != 16 && bits != 24) || m_header.channels == 0 ||
        m_header.samplesPerSec == 0)
        return fail("Error reading Wav file header");
    DWORD dataSize = 0;
    if (!CAudioWavBase::FindDataChunk(*m_pFile, dataSize))
        return fail("Cannot find 'data' tag");

    m_nBegin = m_pFile->GetPosition();
    m_nEnd = m_nBegin + dataSize;
    // A data chunk that claims more than the file holds ends with the file; what the file
    // holds now is the length every read must reach.
    const ULONGLONG length = m_pFile->GetLength();
    if (m_nEnd > length)
        m_nEnd = length > m_nBegin ? length : m_nBegin;
    m_nDelivered = 0;
    const DWORD block = bits / 8 * m_header.channels;
    const ULONGLONG second = static_cast<ULONGLONG>(block) * m_header.samplesPerSec;
    const ULONGLONG step = std::clamp<ULONGLONG>(second, kMinReadStep, kMaxReadStep);
    m_nReadStep = static_cast<DWORD>(std::max<ULONGLONG>(block, step / block * block));
    m_bInitialized = true;
    return TRUE;
}

bool CAudioWavReader::IsInitialized()
{
    return m_bInitialized;
}

bool CAudioWavReader::HasMoreData()
{
    return m_bInitialized && m_nBegin + m_nDelivered < m_nEnd;
}

int CAudioWavReader::GetProgressPercent()
{
    if (!m_bInitialized || m_nEnd == m_nBegin)
        return -1;
    return static_cast<int>(static_cast<double>(m_nDelivered) * 100.0 /
                            static_cast<double>(m_nEnd - m_nBegin));
}

bool CAudioWavReader::Prepare()
{
    return m_bInitialized;
}

bool CAudioWavReader::ReadFrame(CAudioFrame* pFrame)
{
    if (!m_bInitialized) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, "WAV reader not initialized");
        return false;
    }
    if (!pFrame) {
        SetError(AUDIO_ERROR_CONVERSION, "NULL Frame");
        return false;
    }
    pFrame->SetByteOrder(0);
    pFrame->SetBitsPerSample(static_cast<uint8_t>(m_header.bitsPerSample));
    pFrame->SetChannels(m_header.channels == 1 || m_header.channels == 2 ? m_header.channels : 0);
    pFrame->SetSampleRate(m_header.samplesPerSec);
    pFrame->SetSigned(m_header.bitsPerSample == 8 ? 0 : 1);

    const ULONGLONG left = m_nEnd - m_nBegin - m_nDelivered;
    const UINT want = static_cast<UINT>(left < m_nReadStep ? left : m_nReadStep);
    if (want == 0)
        return true;
    m_pFile->Seek(static_cast<LONGLONG>(m_nBegin + m_nDelivered), CFile::begin);
    // Read straight into the frame; what the frame held before stays as it was.
    const uint32_t held = pFrame->GetUsedBytes();
    uint8_t* space = pFrame->AppendSpace(want);
    if (!space) {
        SetError(AUDIO_ERROR_CONVERSION, "The frame cannot hold more audio");
        return false;
    }
    UINT got = 0;
    try {
        got = m_pFile->Read(space, want);
    } catch (...) {
        pFrame->Truncate(held);
        throw;
    }
    // The file was shorter at open: it was cut while being read, and the audio is not whole.
    if (got < want) {
        pFrame->Truncate(held);
        m_nEnd = m_nBegin + m_nDelivered;
        SetError(AUDIO_ERROR_READ, "The Wav file ended before its audio: it was changed while "
                                   "being read");
        return false;
    }
    m_nDelivered += got;
    return true;
}

bool CAudioWavReader::Close()
{
    if (!m_bInitialized || !m_pFile)
        return false;
    m_pFile->Abort();
    m_pFile.reset();
    m_bInitialized = false;
    return true;
}

uint32_t CAudioWavReader::GetSampleRate()
{
    return m_header.samplesPerSec;
}
