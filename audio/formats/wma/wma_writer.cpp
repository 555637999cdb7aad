// Encoding PCM frames to WMA through the runtime's writer.
#include "audio/formats/wma/wma_writer.h"

#include "runtime/wmvcore/wmvcore_ids.h"

#include <mmreg.h>

#include <cstring>
#include <vector>

CAudioWMAWriter::CAudioWMAWriter() = default;

CAudioWMAWriter::~CAudioWMAWriter()
{
    if (m_pInputProps)
        m_pInputProps->Release();
    if (m_pWriter)
        m_pWriter->Release();
}

const GUID& CAudioWMAWriter::GetProfileForMode(int nMode, int* pChannels)
{
    static const GUID* const kProfiles[7] = {
        &kWmProfileAudio28Mono,   &kWmProfileAudio28Stereo, &kWmProfileAudio32Stereo,
        &kWmProfileAudio48Stereo, &kWmProfileAudio64Stereo, &kWmProfileAudio96Stereo,
        &kWmProfileAudio128Stereo};
    const int index = nMode >= 1 && nMode <= 7 ? nMode - 1 : 6;
    if (pChannels)
        *pChannels = nMode == 1 ? 1 : 2;
    return *kProfiles[index];
}

BOOL CAudioWMAWriter::OpenFile(CFile* pFile, DWORD nSampleRate, int nMode,
                               const CAudioTrackInfo* pTrack)
{
    if (!m_base.IsLoaded()) {
        SetError(AUDIO_ERROR_CODEC_INIT, "WMA COM interface not initialized");
        return FALSE;
    }
    if (!pFile)
        return FALSE;
    CString path = pFile->GetFilePath();
    pFile->Close();
    return Open(path, nSampleRate, nMode, pTrack);
}

BOOL CAudioWMAWriter::Open(LPCTSTR pszPath, DWORD nSampleRate, int nMode,
                           const CAudioTrackInfo* pTrack)
{
    if (!m_base.IsLoaded()) {
        SetError(AUDIO_ERROR_CODEC_INIT, "WMA COM interface not initialized");
        return FALSE;
    }
    if (m_bInitialized)
        return FALSE;
    SetError(AUDIO_ERROR_NONE, "");
    m_nChannels = 2;
    m_nSampleRate = nSampleRate;
    m_nBitsPerSample = 16;
    m_pTrack = pTrack;
    m_nSampleTime = 0;
    m_strPath = pszPath ? pszPath : "";

    std::wstring path = WmaToWide(pszPath ? CString(pszPath) : CString());
    if (path.size() > 259)
        path.resize(259);

    if (!m_pWriter) {
        IWMWriter* created = m_base.CreateWriter();
        if (!created) {
            SetError(AUDIO_ERROR_CODEC_INIT, "Cannot create WMA Writer object");
            return FALSE;
        }
        HRESULT hr = created->QueryInterface(IID_IWMWriter, reinterpret_cast<void**>(&m_pWriter));
        created->Release();
        if (FAILED(hr) || !m_pWriter) {
            m_pWriter = nullptr;
            SetError(AUDIO_ERROR_CODEC_INIT, "Cannot find WMA Writer Interface");
            return FALSE;
        }
    }
    if (FAILED(m_pWriter->SetOutputFilename(path.c_str()))) {
        SetError(AUDIO_ERROR_CODEC_INIT, "WMA writer cannot open output file");
        return FALSE;
    }
    const GUID& profile = GetProfileForMode(nMode, &m_nChannels);
    HRESULT hr = m_pWriter->SetProfileByID(profile);
    // The runtime may report its input a moment after the profile is set.
    DWORD inputs = 0;
    for (int wait = 0; SUCCEEDED(hr) && wait < 1000; ++wait) {
        if (FAILED(m_pWriter->GetInputCount(&inputs)) || inputs > 0)
            break;
        Sleep(1);
    }
    if (FAILED(hr) || inputs == 0) {
        SetError(AUDIO_ERROR_CODEC_INIT, "WMA failed getting Writer Input Props");
        return FALSE;
    }
    if (m_pInputProps) {
        m_pInputProps->Release();
        m_pInputProps = nullptr;
    }
    if (FAILED(m_pWriter->GetInputProps(0, &m_pInputProps)) || !m_pInputProps) {
        m_pInputProps = nullptr;
        SetError(AUDIO_ERROR_CODEC_INIT, "WMA failed getting Writer Input Props");
        return FALSE;
    }
    DWORD size = 0;
    hr = m_pInputProps->GetMediaType(nullptr, &size);
    std::vector<BYTE> block(size >= sizeof(WM_MEDIA_TYPE) ? size : sizeof(WM_MEDIA_TYPE));
    auto* mt = reinterpret_cast<WM_MEDIA_TYPE*>(block.data());
    if (SUCCEEDED(hr))
        hr = m_pInputProps->GetMediaType(mt, &size);
    if (SUCCEEDED(hr) && mt->pbFormat && mt->cbFormat >= 16) {
        auto* wave = reinterpret_cast<WAVEFORMATEX*>(mt->pbFormat);
        wave->wFormatTag = WAVE_FORMAT_PCM;
        wave->nChannels = static_cast<WORD>(m_nChannels);
        wave->nSamplesPerSec = m_nSampleRate;
        wave->wBitsPerSample = 16;
        wave->nBlockAlign = static_cast<WORD>(m_nChannels * 2);
        wave->nAvgBytesPerSec = wave->nBlockAlign * m_nSampleRate;
        if (mt->cbFormat >= sizeof(WAVEFORMATEX))
            wave->cbSize = sizeof(WAVEFORMATEX);
        hr = m_pInputProps->SetMediaType(mt);
        if (SUCCEEDED(hr))
            hr = m_pWriter->SetInputProps(0, m_pInputProps);
    } else if (SUCCEEDED(hr)) {
        hr = E_FAIL;
    }
    if (FAILED(hr)) {
        SetError(AUDIO_ERROR_CODEC_INIT, "WMA failed setting Input Props");
        return FALSE;
    }
    m_bInitialized = TRUE;
    return TRUE;
}

bool CAudioWMAWriter::IsInitialized()
{
    return m_bInitialized;
}

void CAudioWMAWriter::WriteAttributes()
{
    if (!m_pTrack)
        return;
    IWMHeaderInfo* info = nullptr;
    if (FAILED(m_pWriter->QueryInterface(IID_IWMHeaderInfo, reinterpret_cast<void**>(&info))) ||
        !info)
        return;
    const CAudioTrackInfo& t = *m_pTrack;
    const struct {
        const wchar_t* name;
        CString text;
    } rows[] = {
        {L"Title", t.m_strTrackTitle},
        {L"Author", t.m_strArtist},
        {L"WM/AlbumTitle", t.m_strAlbumTitle},
        {L"WM/Genre", t.m_strContentType},
        {L"WM/Year", t.m_strYear},
        {L"Description", t.m_strComment},
        {L"WM/Composer", t.m_strComposer},
        {L"WM/Conductor", t.m_strConductor},
        {L"WM/Director", t.m_strConductor},
        {L"Copyright", t.m_strCopyright},
        {L"Duration", t.GetDurationMsText()},
        {L"WM/EncodedBy", t.m_strEncodedBy},
        {L"WM/ISRC", t.m_strISRC},
        {L"WM/Lyrics", t.m_strUnsyncLyric},
        {L"WM/Lyrics_Synchronised", t.m_strSyncLyric},
        {L"WM/Mood", t.m_strMood},
        {L"WM/OriginalAlbumTitle", t.m_strOriginalAlbumTitle},
        {L"WM/OriginalArtist", t.m_strOriginalArtist},
        {L"WM/OriginalLyricist", t.m_strOriginalLyricist},
        {L"WM/Publisher", t.m_strPublisher},
        {L"WM/Writer", t.m_strLyricist},
        {L"WM/PartOfSet", t.m_strPartOfASet},
    };
    for (const auto& row : rows) {
        const std::wstring text = WmaToWide(row.text);
        if (text.empty())
            continue;
        // A WORD length holds up to 32766 characters with the terminator.
        const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
        if (bytes > 0xFFFF)
            continue;
        info->SetAttribute(0, row.name, WMT_TYPE_STRING, reinterpret_cast<const BYTE*>(text.c_str()),
                           static_cast<WORD>(bytes));
    }
    // The track number both ways Windows' own tools write it: "WM/TrackNumber" from 1, the
    // older "WM/Track" from 0. A position without a number ("A1") has neither.
    const int number = atoi(t.m_strTrackPosition.GetString());
    if (number >= 1) {
        const DWORD fromOne = static_cast<DWORD>(number), fromZero = fromOne - 1;
        info->SetAttribute(0, L"WM/TrackNumber", WMT_TYPE_DWORD,
                           reinterpret_cast<const BYTE*>(&fromOne), sizeof fromOne);
        info->SetAttribute(0, L"WM/Track", WMT_TYPE_DWORD,
                           reinterpret_cast<const BYTE*>(&fromZero), sizeof fromZero);
    }
    info->Release();
}

bool CAudioWMAWriter::BeginStream()
{
    if (!m_bInitialized) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, "WMA writer not initialized");
        return false;
    }
    WriteAttributes();
    const HRESULT hr = m_pWriter->BeginWriting();
    if (FAILED(hr)) {
        SetRuntimeError(hr, "cannot start the file");
        return false;
    }
    return true;
}

void CAudioWMAWriter::SetRuntimeError(HRESULT hr, const char* pszStep)
{
    // A Win32 error wrapped by the runtime names what the file layer met.
    if (HRESULT_FACILITY(hr) == FACILITY_WIN32) {
        const int cause = CFileException::OsErrorToException(HRESULT_CODE(hr));
        if (cause == CFileException::diskFull || cause == CFileException::accessDenied ||
            cause == CFileException::badPath || cause == CFileException::sharingViolation) {
            const CFileException e(cause, HRESULT_CODE(hr), m_strPath);
            char text[512] = "";
            e.GetErrorMessage(text, sizeof text);
            SetError(AUDIO_ERROR_WRITE, text);
            return;
        }
    }
    CString text;
    text.Format("WMA encoder error: %s (0x%08lX)", pszStep, static_cast<unsigned long>(hr));
    SetError(AUDIO_ERROR_ENCODER, text);
}

bool CAudioWMAWriter::WriteFrame(CAudioFrame* pFrame)
{
    if (!m_bInitialized) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, "Writer not initialized");
        return false;
    }
    if (!pFrame) {
        SetError(AUDIO_ERROR_CONVERSION, "NULL Frame");
        return false;
    }
    if (pFrame->GetChannels() != m_nChannels && !pFrame->ConvertChannels(m_nChannels)) {
        SetError(AUDIO_ERROR_CONVERSION, "Cannot convert number of channels");
        return false;
    }
    if (pFrame->GetBitsPerSample() != 16 && !pFrame->ConvertSampleFormat(2, 1, 0)) {
        SetError(AUDIO_ERROR_CONVERSION, "Wrong bits per sample");
        return false;
    }
    if (pFrame->GetSampleRate() != m_nSampleRate && !pFrame->Resample(m_nSampleRate)) {
        SetError(AUDIO_ERROR_CONVERSION, "Can't resample frame");
        return false;
    }
    uint32_t bytes = 0;
    const uint8_t* data = pFrame->GetData(bytes);
    INSSBuffer* sample = nullptr;
    BYTE* buffer = nullptr;
    HRESULT hr = m_pWriter->AllocateSample(bytes, &sample);
    if (SUCCEEDED(hr) && sample)
        hr = sample->GetBuffer(&buffer);
    else if (SUCCEEDED(hr))
        hr = E_FAIL;
    if (SUCCEEDED(hr)) {
        if (bytes > 0)
            std::memcpy(buffer, data, bytes);
        sample->SetLength(bytes);
        const uint64_t duration =
            static_cast<uint64_t>(bytes) * 10000000ull /
            (2ull * static_cast<uint64_t>(m_nSampleRate) * static_cast<uint64_t>(m_nChannels));
        hr = m_pWriter->WriteSample(0, m_nSampleTime, 0, sample);
        if (SUCCEEDED(hr))
            hr = m_pWriter->Flush();
        m_nSampleTime += duration;
    }
    if (sample)
        sample->Release();
    if (FAILED(hr)) {
        SetRuntimeError(hr, "cannot write the audio");
        return false;
    }
    return true;
}

bool CAudioWMAWriter::Close()
{
    if (!m_bInitialized) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, "WMA writer not initialized");
        return false;
    }
    HRESULT hr = m_pWriter->Flush();
    const HRESULT end = m_pWriter->EndWriting();
    if (SUCCEEDED(hr))
        hr = end;
    StreamSleep(250);
    if (m_pInputProps) {
        m_pInputProps->Release();
        m_pInputProps = nullptr;
    }
    m_pWriter->Release();
    m_pWriter = nullptr;
    m_bInitialized = FALSE;
    if (FAILED(hr)) {
        SetRuntimeError(hr, "cannot finish the file");
        return false;
    }
    return true;
}

int64_t CAudioWMAWriter::GetBytesWritten()
{
    return -1;
}
