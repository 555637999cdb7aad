// Decoding WMA files through the runtime's synchronous reader.
#include "audio/formats/wma/wma_reader.h"

#include <mmreg.h>

namespace {
// The runtime's answer when the stream has no more samples.
constexpr HRESULT kNoMoreSamples = static_cast<HRESULT>(0xC00D0BCF);
} // namespace

CAudioWMAReader::CAudioWMAReader() = default;

CAudioWMAReader::~CAudioWMAReader()
{
    if (m_bInitialized && m_pFile)
        m_pFile->Abort();
    if (m_pOutputProps)
        m_pOutputProps->Release();
    if (m_pSyncReader && SUCCEEDED(m_pSyncReader->Close()))
        m_pSyncReader->Release();
    m_pFile.reset();
}

BOOL CAudioWMAReader::Open(LPCTSTR pszPath)
{
    if (m_bInitialized)
        return FALSE;
    SetError(AUDIO_ERROR_NONE, "");
    if (!m_base.IsLoaded()) {
        SetError(AUDIO_ERROR_CODEC_INIT, "WMA COM interface not initialized");
        return FALSE;
    }
    auto file = std::make_unique<CFile>();
    if (!pszPath ||
        !file->Open(pszPath, CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary)) {
        SetError(AUDIO_ERROR_FILE_NOT_FOUND, "WMA file not found");
        return FALSE;
    }
    return OpenStream(std::move(file));
}

BOOL CAudioWMAReader::OpenStream(std::unique_ptr<CFile> pFile)
{
    if (m_bInitialized)
        return FALSE;
    SetError(AUDIO_ERROR_NONE, "");
    if (!m_base.IsLoaded()) {
        SetError(AUDIO_ERROR_CODEC_INIT, "WMA COM interface not initialized");
        return FALSE;
    }
    m_pFile = std::move(pFile);
    m_nStartPos = static_cast<DWORD>(m_pFile->GetPosition());
    m_nFileLength = static_cast<DWORD>(m_pFile->GetLength());
    m_nBytesConsumed = 0;
    m_stream.Attach(m_pFile.get());

    if (!m_pSyncReader)
        m_pSyncReader = m_base.CreateSyncReader();
    if (!m_pSyncReader) {
        SetError(AUDIO_ERROR_CODEC_INIT, "Cannot create WMA Sync Reader object");
        return FALSE;
    }
    HRESULT hr = m_pSyncReader->OpenStream(&m_stream);
    if (FAILED(hr)) {
        CString text;
        text.Format("Error opening WMA stream: possible incorrect format - 1:Error code: %ld",
                    static_cast<long>(hr));
        SetError(AUDIO_ERROR_CODEC_INIT, text);
        return FALSE;
    }
    if (m_pOutputProps) {
        m_pOutputProps->Release();
        m_pOutputProps = nullptr;
    }
    if (FAILED(m_pSyncReader->GetOutputFormat(0, 0, &m_pOutputProps)) || !m_pOutputProps) {
        SetError(AUDIO_ERROR_CODEC_INIT, "Error opening WMA stream: possible incorrect format - 2");
        return FALSE;
    }
    alignas(8) BYTE buffer[2048];
    DWORD size = sizeof buffer;
    auto* mt = reinterpret_cast<WM_MEDIA_TYPE*>(buffer);
    if (FAILED(m_pOutputProps->GetMediaType(mt, &size)) || !mt->pbFormat ||
        mt->cbFormat < 16) {
        SetError(AUDIO_ERROR_CODEC_INIT, "Error opening WMA stream: possible incorrect format - 3");
        return FALSE;
    }
    const auto* wave = reinterpret_cast<const WAVEFORMATEX*>(mt->pbFormat);
    switch (wave->wFormatTag) {
    case WAVE_FORMAT_PCM:
    case 353:
    case 354:
    case 355:
        break;
    default:
        SetError(AUDIO_ERROR_CODEC_INIT, "Error opening WMA stream: possible incorrect format - 4");
        return FALSE;
    }
    m_nChannels = wave->nChannels;
    m_nSampleRate = wave->nSamplesPerSec;
    m_nBitsPerSample = wave->wBitsPerSample;
    m_bInitialized = TRUE;
    m_nBytesConsumed = m_stream.GetBytesRead();
    return TRUE;
}

bool CAudioWMAReader::IsInitialized()
{
    return m_bInitialized;
}

bool CAudioWMAReader::HasMoreData()
{
    return m_bInitialized && m_nStartPos + m_nBytesConsumed < m_nFileLength;
}

int CAudioWMAReader::GetProgressPercent()
{
    if (!m_bInitialized || m_nFileLength == m_nStartPos)
        return -1;
    return static_cast<int>(static_cast<uint64_t>(m_nBytesConsumed) * 100 /
                            (m_nFileLength - m_nStartPos));
}

bool CAudioWMAReader::Prepare()
{
    if (!m_bInitialized) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, "WMA reader not initialized");
        return false;
    }
    WORD stream = 1;
    WMT_STREAM_SELECTION selection = WMT_ON;
    if (FAILED(m_pSyncReader->SetStreamsSelected(1, &stream, &selection))) {
        SetError(AUDIO_ERROR_CODEC_INIT, "WMA decoder init failed (SetStreamsSelected)");
        return false;
    }
    if (FAILED(m_pSyncReader->SetReadStreamSamples(1, FALSE))) {
        SetError(AUDIO_ERROR_CODEC_INIT, "WMA decoder init failed (SetReadStreamSamples)");
        return false;
    }
    return true;
}

bool CAudioWMAReader::ReadFrame(CAudioFrame* pFrame)
{
    if (!m_bInitialized) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, "WMA reader not initialized");
        return false;
    }
    INSSBuffer* sample = nullptr;
    QWORD time = 0, duration = 0;
    DWORD flags = 0, output = 0;
    WORD stream = 0;
    HRESULT hr =
        m_pSyncReader->GetNextSample(0, &sample, &time, &duration, &flags, &output, &stream);
    m_nBytesConsumed = m_stream.GetBytesRead();
    if (SUCCEEDED(hr) && sample) {
        pFrame->SetByteOrder(0);
        pFrame->SetSigned(1);
        pFrame->SetBitsPerSample(static_cast<uint8_t>(m_nBitsPerSample));
        pFrame->SetChannels(m_nChannels == 1 || m_nChannels == 2 ? m_nChannels : 0);
        pFrame->SetSampleRate(m_nSampleRate);
        BYTE* data = nullptr;
        DWORD length = 0;
        if (SUCCEEDED(sample->GetBufferAndLength(&data, &length)))
            pFrame->Append(data, length);
        sample->Release();
        return true;
    }
    if (hr == kNoMoreSamples) {
        m_nBytesConsumed = m_nFileLength - m_nStartPos;
        return true;
    }
    SetError(AUDIO_ERROR_READ, "Error reading WMA stream");
    return false;
}

bool CAudioWMAReader::Close()
{
    if (!m_bInitialized || !m_pFile)
        return false;
    m_pFile->Abort();
    m_pFile.reset();
    m_stream.Attach(nullptr); // the runtime's reader may still hold the stream
    m_bInitialized = FALSE;
    return true;
}

uint32_t CAudioWMAReader::GetSampleRate()
{
    return m_nSampleRate;
}
