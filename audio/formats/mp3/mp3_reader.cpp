// MP3 reader over mpglib.dll.
#include "audio/formats/mp3/mp3_reader.h"

#include "audio/audio_frame.h"

#include <algorithm>
#include <cstring>
#include <mutex>

namespace {

// The most one decoder call produces: 1152 samples of two 16-bit channels.
const size_t kMaxDecodedFrame = 4608;

typedef BOOL (*INITMP3)(void*);
typedef void (*EXITMP3)(void*);
typedef int (*DECODEMP3)(void*, char*, int, char*, int, int*);

// The decoder library, loaded by the first reader and freed when the last one goes.
struct DecoderLibrary {
    std::mutex lock;
    HMODULE module = nullptr;
    INITMP3 init = nullptr;
    EXITMP3 exit = nullptr;
    DECODEMP3 decode = nullptr;
    int references = 0;
};

DecoderLibrary& Decoder()
{
    static DecoderLibrary library;
    return library;
}

bool AcquireDecoder()
{
    DecoderLibrary& lib = Decoder();
    std::lock_guard<std::mutex> guard(lib.lock);
    if (!lib.module) {
        HMODULE module = LoadLibraryA("mpglib.dll");
        if (!module)
            return false;
        lib.init = reinterpret_cast<INITMP3>(reinterpret_cast<void*>(GetProcAddress(module, "_InitMP3")));
        lib.exit = reinterpret_cast<EXITMP3>(reinterpret_cast<void*>(GetProcAddress(module, "_ExitMP3")));
        lib.decode =
            reinterpret_cast<DECODEMP3>(reinterpret_cast<void*>(GetProcAddress(module, "_decodeMP3")));
        if (!lib.init || !lib.exit || !lib.decode) {
            FreeLibrary(module);
            return false;
        }
        lib.module = module;
    }
    ++lib.references;
    return true;
}

void ReleaseDecoder()
{
    DecoderLibrary& lib = Decoder();
    std::lock_guard<std::mutex> guard(lib.lock);
    if (lib.references > 0 && --lib.references == 0) {
        FreeLibrary(lib.module);
        lib.module = nullptr;
        lib.init = nullptr;
        lib.exit = nullptr;
        lib.decode = nullptr;
    }
}

// Sample rates by rate index (rows) and MPEG version (columns: 1, 2, 2.5).
const int kSampleRates[4][3] = {
    {44100, 22050, 11025}, {48000, 24000, 12000}, {32000, 16000, 8000}, {-1, -1, -1}};

// A frame sync whose layer, bitrate and rate are not the reserved values: a run of
// 0xFF bytes is no MPEG audio and must not give a rate of -1.
bool IsFrameHeader(const BYTE* h)
{
    return h[0] == 0xFF && (h[1] & 0xE0) == 0xE0 && ((h[1] >> 1) & 3) != 0 && (h[2] >> 4) != 15 &&
           ((h[2] >> 2) & 3) != 3;
}

class MutexLock
{
public:
    MutexLock(HANDLE mutex, DWORD timeout) : m_hMutex(mutex)
    {
        DWORD rc = WaitForSingleObject(mutex, timeout);
        m_bOwned = rc == WAIT_OBJECT_0 || rc == WAIT_ABANDONED;
    }
    ~MutexLock()
    {
        if (m_bOwned)
            ReleaseMutex(m_hMutex);
    }
    bool Owned() const { return m_bOwned; }

private:
    HANDLE m_hMutex;
    bool m_bOwned;
};

} // namespace

CAudioMP3Reader::CAudioMP3Reader()
    : m_hDecodeLock(CreateMutexA(nullptr, FALSE, "CAudioMP3Reader_MUTEX")), m_input(INPUT_SIZE),
      m_state(STATE_SIZE)
{
    m_bHaveLibrary = AcquireDecoder();
}

CAudioMP3Reader::~CAudioMP3Reader()
{
    if (m_pFile)
        m_pFile->Abort();
    m_pFile.reset();
    if (m_bHaveLibrary && m_bPrepared)
        Decoder().exit(m_state.data());
    if (m_bHaveLibrary)
        ReleaseDecoder();
    if (m_hDecodeLock)
        CloseHandle(m_hDecodeLock);
}

bool CAudioMP3Reader::Open(LPCTSTR path)
{
    if (m_bInitialized)
        return false;
    SetError(AUDIO_ERROR_NONE, nullptr);
    auto file = std::make_unique<CFile>();
    if (!file->Open(path, CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary)) {
        SetError(AUDIO_ERROR_FILE_NOT_FOUND, "MP3 file not found or not accessible");
        return false;
    }
    try {
        return OpenStream(std::move(file));
    } catch (CException* e) {
        e->Delete();
        m_pFile.reset();
        SetError(AUDIO_ERROR_BAD_FORMAT, "Can't find MP3 header");
        return false;
    }
}

bool CAudioMP3Reader::OpenStream(std::unique_ptr<CFile> file)
{
    if (!m_bHaveLibrary) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, "Missing or incorrect mpglib.dll");
        return false;
    }
    // Skip an ID3v2 tag: header and body.
    BYTE header[10] = {};
    ULONGLONG start = file->GetPosition();
    UINT got = file->Read(header, 10);
    if (got == 10 && std::memcmp(header, "ID3", 3) == 0) {
        ULONGLONG size = (ULONGLONG(header[6] & 0x7F) << 21) | ((header[7] & 0x7F) << 14) |
                         ((header[8] & 0x7F) << 7) | (header[9] & 0x7F);
        file->Seek(static_cast<LONGLONG>(start + 10 + size), CFile::begin);
    } else {
        file->Seek(static_cast<LONGLONG>(start), CFile::begin);
    }
    // A sliding 4-byte window, starting zeroed, until it starts with a frame sync.
    ULONGLONG length = file->GetLength();
    ULONGLONG limit = std::min<ULONGLONG>(length, INPUT_SIZE);
    BYTE window[4] = {};
    ULONGLONG steps = 0;
    while (!IsFrameHeader(window)) {
        if (steps++ >= limit) {
            SetError(AUDIO_ERROR_BAD_FORMAT, "Can't find MP3 header");
            return false;
        }
        std::memmove(window, window + 1, 3);
        BYTE next;
        if (file->Read(&next, 1) == 1)
            window[3] = next;
    }
    int version = (window[1] >> 3) & 3;
    if (version == 1) {
        SetError(AUDIO_ERROR_BAD_FORMAT, "Incorrect MP3 header (V==1)");
        return false;
    }
    int column = version == 3 ? 0 : version == 2 ? 1 : 2;
    m_nSampleRate = kSampleRates[(window[2] >> 2) & 3][column];
    m_nChannels = (window[3] >> 6) == 3 ? 1 : 2;
    ULONGLONG position = file->GetPosition();
    m_nFirstFrame = position >= 4 ? position - 4 : 0;
    m_nFileLength = length;
    m_nConsumed = 0;
    file->Seek(static_cast<LONGLONG>(m_nFirstFrame), CFile::begin);
    m_nLastResult = 1;
    m_pFile = std::move(file);
    m_bInitialized = true;
    return true;
}

bool CAudioMP3Reader::HasMoreData()
{
    return m_bInitialized && m_nFirstFrame + m_nConsumed < m_nFileLength;
}

int CAudioMP3Reader::GetProgressPercent()
{
    if (!m_bInitialized || m_nFileLength == m_nFirstFrame)
        return -1;
    return static_cast<int>(double(m_nConsumed) * 100.0 / double(m_nFileLength - m_nFirstFrame));
}

bool CAudioMP3Reader::Prepare()
{
    std::fill(m_state.begin(), m_state.end(), BYTE(0));
    if (m_bHaveLibrary) {
        if (m_bPrepared)
            Decoder().exit(m_state.data());
        std::fill(m_state.begin(), m_state.end(), BYTE(0));
        Decoder().init(m_state.data());
        m_bPrepared = true;
    }
    return m_bInitialized;
}

bool CAudioMP3Reader::ReadFrame(CAudioFrame* frame)
{
    if (!m_bInitialized) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, "MP3 reader not initialized");
        return false;
    }
    if (!frame) {
        SetError(AUDIO_ERROR_CONVERSION, "NULL Frame");
        return false;
    }
    frame->SetByteOrder(0);
    frame->SetSigned(1);
    frame->SetBitsPerSample(16);
    frame->SetChannels(m_nChannels);
    frame->SetSampleRate(static_cast<uint32_t>(m_nSampleRate));

    // The lock comes before the read: a step that cannot decode now consumes nothing and
    // leaves the chunk for the next step.
    MutexLock lock(m_hDecodeLock, 10000);
    if (!lock.Owned())
        return false;
    ULONGLONG left = m_nFileLength - m_nFirstFrame - m_nConsumed;
    UINT want = static_cast<UINT>(std::min<ULONGLONG>(left, INPUT_SIZE));
    UINT got = 0;
    try {
        got = want ? m_pFile->Read(m_input.data(), want) : 0;
    } catch (CException* e) {
        e->Delete();
        SetError(AUDIO_ERROR_READ, "Error reading MP3 file");
        return false;
    }
    m_nConsumed += got;
    if (got == 0 && want > 0) {
        // The file shrank under us: nothing more will come, and the audio is not whole.
        m_nFileLength = m_nFirstFrame + m_nConsumed;
        SetError(AUDIO_ERROR_READ,
                 "The MP3 file ended before its audio: it was changed while being read");
        return false;
    }

    // The decoder gives at most one MP3 frame (4608 bytes) per call. The step's output is
    // gathered in a buffer the reader keeps, and handed to the frame in one piece.
    size_t total = 0;
    auto decodeNext = [&](char* in, int size, int& produced) {
        if (m_output.size() < total + kMaxDecodedFrame)
            m_output.resize(std::max(m_output.size() * 2, total + kMaxDecodedFrame));
        produced = 0;
        return Decoder().decode(m_state.data(), in, size, m_output.data() + total,
                                static_cast<int>(m_output.size() - total), &produced);
    };
    int produced = 0;
    m_nLastResult = decodeNext(reinterpret_cast<char*>(m_input.data()), static_cast<int>(got),
                               produced);
    if (produced <= 0)
        return false;
    total += static_cast<size_t>(produced);
    while (m_nLastResult == 0) {
        m_nLastResult = decodeNext(nullptr, 0, produced);
        if (m_nLastResult == 0 && produced > 0)
            total += static_cast<size_t>(produced);
    }
    frame->Append(m_output.data(), static_cast<uint32_t>(total));
    return true;
}

bool CAudioMP3Reader::Close()
{
    if (m_bHaveLibrary && m_bPrepared) {
        Decoder().exit(m_state.data());
        m_bPrepared = false;
    }
    if (!m_pFile)
        return false;
    m_pFile->Close();
    m_pFile.reset();
    m_bInitialized = false;
    return true;
}
