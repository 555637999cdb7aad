// MP3 writer over lame_enc.dll.
#include "audio/formats/mp3/mp3_writer.h"

#include "audio/audio_frame.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace {

// The encoder library: loaded once by the first writer that opens, never freed.
struct EncoderLibrary {
    std::mutex lock;
    HMODULE module = nullptr;
    BEINITSTREAM initStream = nullptr;
    BEENCODECHUNK encodeChunk = nullptr;
    BEDEINITSTREAM deinitStream = nullptr;
    BECLOSESTREAM closeStream = nullptr;
    BEVERSION version = nullptr;
    BEWRITEVBRHEADER writeVbrHeader = nullptr;
    BEWRITEINFOTAG writeInfoTag = nullptr;
};

EncoderLibrary& Encoder()
{
    static EncoderLibrary library;
    return library;
}

template <typename T> void Bind(HMODULE module, const char* name, T& fn)
{
    fn = reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// 0 on success, else the error text.
const char* LoadEncoder(BE_VERSION& version)
{
    EncoderLibrary& lib = Encoder();
    std::lock_guard<std::mutex> guard(lib.lock);
    if (!lib.module) {
        HMODULE module = LoadLibraryA("lame_enc.dll");
        if (!module)
            return "Cannot load lame_enc.dll";
        Bind(module, "beInitStream", lib.initStream);
        Bind(module, "beEncodeChunk", lib.encodeChunk);
        Bind(module, "beDeinitStream", lib.deinitStream);
        Bind(module, "beCloseStream", lib.closeStream);
        Bind(module, "beVersion", lib.version);
        Bind(module, "beWriteVBRHeader", lib.writeVbrHeader);
        Bind(module, "beWriteInfoTag", lib.writeInfoTag);
        if (!lib.initStream || !lib.encodeChunk || !lib.deinitStream || !lib.closeStream ||
            !lib.version || !lib.writeVbrHeader) {
            FreeLibrary(module);
            return "Cannot bind functions from lame_enc.dll";
        }
        lib.module = module;
    }
    lib.version(&version);
    return nullptr;
}

} // namespace

CAudioMP3Writer::CAudioMP3Writer() : m_tagWriter(nullptr)
{
}

CAudioMP3Writer::~CAudioMP3Writer()
{
    // An unfinished output: the file is closed as it stands, and the encoder stream released.
    if (m_bInitialized && m_hStream)
        Encoder().closeStream(m_hStream);
    if (m_pFile)
        m_pFile->Abort();
}

bool CAudioMP3Writer::FillConfig()
{
    bool vbr = (m_dwFlags & FLAG_VBR) != 0;
    bool abr = !vbr && (m_dwFlags & FLAG_ABR) != 0;
    bool variable = vbr || abr;
    LONG mode;
    switch (m_nMode) {
    case 1: mode = BE_MP3_MODE_MONO; break;
    case 2: mode = BE_MP3_MODE_STEREO; break;
    case 3: mode = BE_MP3_MODE_JSTEREO; break;
    default: return false;
    }
    std::memset(&m_config, 0, sizeof m_config);
    m_config.dwConfig = BE_CONFIG_LAME;
    BE_CONFIG_LHV1& c = m_config.lhv1;
    c.dwStructVersion = 1;
    c.dwStructSize = 331;
    c.dwSampleRate = static_cast<DWORD>(m_nSampleRate);
    c.dwReSampleRate = 0;
    c.nMode = mode;
    c.dwBitrate = variable ? 32 : static_cast<DWORD>(m_nBitrate);
    c.dwMaxBitrate = 0;
    c.nPreset = variable ? -1 : 0;
    c.bCRC = (m_dwFlags & FLAG_CRC) ? TRUE : FALSE;
    c.bOriginal = TRUE;
    c.bWriteVBRHeader = variable ? TRUE : FALSE;
    c.bEnableVBR = variable ? TRUE : FALSE;
    c.nVBRQuality = variable ? m_nVbrQuality : 0;
    c.dwVbrAbr_bps = abr ? static_cast<DWORD>(m_nBitrate) * 1000 : 0;
    c.nVbrMethod = vbr ? 2 : abr ? 4 : -1;
    c.nQuality = 0xFD02;
    return true;
}

bool CAudioMP3Writer::Open(LPCTSTR path, int mode, int rate, int kbps, int vbrQuality,
                           DWORD flags, const CAudioTrackInfo* track)
{
    if (m_bInitialized)
        return false;
    SetError(AUDIO_ERROR_NONE, nullptr);
    auto file = std::make_unique<CFile>();
    if (!file->Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareDenyWrite |
                              CFile::typeBinary)) {
        SetError(AUDIO_ERROR_CREATE_FILE, "Can't open output file");
        return false;
    }
    if (const char* error = LoadEncoder(m_version)) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, error);
        file->Abort();
        return false;
    }
    m_nMode = mode;
    m_nSampleRate = std::max(rate, 22050);
    m_nBitsPerSample = 16;
    m_pTrack = track;
    m_nBitrate = kbps;
    m_nVbrQuality = vbrQuality;
    m_dwFlags = flags;
    m_strPath = path;
    m_nBytesWritten = 0;
    if (!FillConfig()) {
        SetError(AUDIO_ERROR_CHANNELS, "Channels mode not supported");
        file->Abort();
        return false;
    }
    DWORD suggested = 0;
    if (Encoder().initStream(&m_config, &m_dwSamplesPerChunk, &suggested, &m_hStream) != 0) {
        SetError(AUDIO_ERROR_CODEC_INIT, "Lame stream initialization error");
        m_hStream = nullptr;
        file->Abort();
        return false;
    }
    m_dwOutputSize = m_dwSamplesPerChunk * 512;
    m_output.assign(m_dwOutputSize, 0);
    m_pFile = std::move(file);
    m_tagWriter.SetTrack(m_pTrack);
    m_bInitialized = true;
    return true;
}

bool CAudioMP3Writer::BeginStream()
{
    if (!m_bInitialized) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, "MP3 writer not initialized");
        return false;
    }
    m_nBytesWritten = 0;
    if ((m_dwFlags & FLAG_ID3V2) && m_pTrack)
        m_tagWriter.WriteID3v2Block(*m_pFile, 1024);
    return true;
}

bool CAudioMP3Writer::WriteOutput(const BYTE* bytes, DWORD count)
{
    if (count > m_dwOutputSize) {
        SetError(AUDIO_ERROR_ENCODER, "Output buffer overrun");
        return false;
    }
    if (count > 0) {
        m_pFile->Write(bytes, count);
        m_nBytesWritten += count;
    }
    return true;
}

bool CAudioMP3Writer::WriteFrame(CAudioFrame* frame)
{
    if (!m_bInitialized) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, "MP3 writer not initialized");
        return false;
    }
    if (!ConvertFrameForWriting(frame, m_nMode, static_cast<uint32_t>(m_nSampleRate), 16,
                                ConvertOrder::BitsChannelsRate))
        return false;
    int channels = m_nMode == 3 ? 2 : m_nMode;
    uint32_t used = 0;
    SHORT* samples = reinterpret_cast<SHORT*>(frame->GetData(used));
    DWORD total = used / 2;
    // The library writes without a bound: hand it only as many samples as the buffer can take
    // encoded (worst case 1.25 bytes per sample per channel plus 7200 bytes).
    DWORD perChannel = static_cast<DWORD>((m_dwOutputSize - 7200) / 1.25);
    DWORD piece = std::max<DWORD>(perChannel / channels * channels, channels);
    for (DWORD done = 0; done < total;) {
        DWORD n = std::min(piece, total - done);
        DWORD produced = 0;
        Encoder().encodeChunk(m_hStream, n, samples + done, m_output.data(), &produced);
        if (!WriteOutput(m_output.data(), produced))
            return false;
        done += n;
    }
    return true;
}

bool CAudioMP3Writer::Close()
{
    if (!m_bInitialized) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, "MP3 writer not initialized");
        return false;
    }
    DWORD produced = 0;
    Encoder().deinitStream(m_hStream, m_output.data(), &produced);
    WriteOutput(m_output.data(), produced);
    if ((m_dwFlags & FLAG_ID3V1) && m_pTrack)
        m_tagWriter.WriteID3v1Block(*m_pFile);
    m_pFile->Flush();
    Encoder().closeStream(m_hStream);
    m_pFile->Close();
    m_pFile.reset();
    m_bInitialized = false;
    if (!m_strPath.IsEmpty() && m_config.lhv1.bWriteVBRHeader && Encoder().writeInfoTag)
        Encoder().writeInfoTag(m_hStream, m_strPath);
    m_hStream = nullptr;
    m_output.clear();
    m_output.shrink_to_fit();
    return true;
}
