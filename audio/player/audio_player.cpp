// CAudioPlayer: opening the device, queueing frames, the completion callback, stop and close.
#include "audio/player/audio_player.h"

#include "audio/audio_frame.h"

#include <cstring>
#include <type_traits>

namespace
{
const DWORD kLockWaitMs = 10;
const DWORD kPollMs = 250;
const int kMinSampleRate = 11025;
const DWORD kPlayedOutPollMs = 20;
// Half a second without progress: the device does not advance its position any more.
const int kMaxIdlePolls = 25;
const int kStopLockTries = 100;
} // namespace

// One queued device buffer: the header the device owns until it reports it done, and a copy
// of the frame's bytes.
// The header comes first, so the header the device hands back is the buffer.
struct CAudioPlayer::Buffer {
    WAVEHDR hdr;
    BYTE* pBytes;
    Buffer* pNext;
};

static_assert(std::is_standard_layout_v<CAudioPlayer::Buffer>);

void CAudioPlayer::FreeBuffer(Buffer* p)
{
    delete[] p->pBytes;
    delete p;
}

CAudioPlayer::CAudioPlayer()
    : m_nChannels(2), m_nSampleRate(44100), m_nBitsPerSample(16), m_pTrack(nullptr), m_bOpen(false),
      m_hWaveOut(nullptr), m_bStartPending(false), m_nMaxQueued(3), m_nQueued(0), m_bStopped(false),
      m_wStartVolume(0xC000), m_pFinished(nullptr), m_dwBytesWritten(0)
{
}

CAudioPlayer::~CAudioPlayer()
{
    // The owner closed the device; whatever finished after that is only memory now.
    Buffer* p = m_pFinished.exchange(nullptr);
    while (p != nullptr) {
        Buffer* pNext = p->pNext;
        FreeBuffer(p);
        p = pNext;
    }
}

bool CAudioPlayer::Open(UINT nDevice, int nChannels, int nSampleRate, int nBitsPerSample,
                        CAudioTrackInfo* pTrack)
{
    if (m_bOpen)
        return false;
    SetError(0, nullptr);
    m_nChannels = nChannels;
    m_nSampleRate = nSampleRate < kMinSampleRate ? kMinSampleRate : nSampleRate;
    m_nBitsPerSample = nBitsPerSample;
    m_pTrack = pTrack;

    WAVEFORMATEX format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(m_nChannels);
    format.nSamplesPerSec = static_cast<DWORD>(m_nSampleRate);
    format.wBitsPerSample = static_cast<WORD>(m_nBitsPerSample);
    format.nBlockAlign = static_cast<WORD>(m_nChannels * m_nBitsPerSample / 8);
    format.nAvgBytesPerSec = format.nBlockAlign * format.nSamplesPerSec;
    format.cbSize = 18;

    HWAVEOUT hWaveOut = nullptr;
    const MMRESULT rc = ::waveOutOpen(&hWaveOut, nDevice, &format,
                                      reinterpret_cast<DWORD_PTR>(&CAudioPlayer::WaveOutCallback),
                                      reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION);
    if (rc != MMSYSERR_NOERROR) {
        SetError(5, "Can't open output Wav file");
        return false;
    }
    ::waveOutPause(hWaveOut);
    m_hWaveOut = hWaveOut;
    m_bStartPending = true;
    m_nQueued = 0;
    m_dwBytesWritten = 0;
    m_bStopped = false;
    m_bOpen = true;
    SetVolume(m_wStartVolume);
    return true;
}

void CAudioPlayer::SetMaxQueuedBuffers(int n)
{
    if (n > 1)
        m_nMaxQueued = n;
}

bool CAudioPlayer::IsOpen()
{
    return m_bOpen;
}

bool CAudioPlayer::IsInitialized()
{
    return m_bOpen;
}

bool CAudioPlayer::BeginStream()
{
    if (!m_bOpen) {
        SetError(1, "Player not initialized");
        return false;
    }
    return true;
}

bool CAudioPlayer::WriteFrame(CAudioFrame* pFrame)
{
    if (m_bStopped)
        return false;
    if (!m_bOpen) {
        SetError(1, "Player not initialized");
        return false;
    }
    ReleaseFinishedBuffers();
    if (pFrame != nullptr && pFrame->IsEmpty())
        return true; // nothing to play; the device gets no empty buffer

    if (!ConvertFrameForWriting(pFrame, m_nChannels, static_cast<uint32_t>(m_nSampleRate),
                                m_nBitsPerSample, ConvertOrder::BitsChannelsRate))
        return false;

    uint32_t nUsed = 0;
    const uint8_t* pData = pFrame->GetData(nUsed);
    Buffer* pBuffer = new Buffer;
    std::memset(&pBuffer->hdr, 0, sizeof pBuffer->hdr);
    pBuffer->pBytes = new BYTE[nUsed];
    std::memcpy(pBuffer->pBytes, pData, nUsed);
    pBuffer->pNext = nullptr;
    pBuffer->hdr.lpData = reinterpret_cast<LPSTR>(pBuffer->pBytes);
    pBuffer->hdr.dwBufferLength = nUsed;
    pBuffer->hdr.dwUser = reinterpret_cast<DWORD_PTR>(this);

    // Under the lock and checked again, so a Stop cannot fall between the test above and the
    // restart below and leave the device playing.
    CSingleLock lock(&m_lock);
    while (!lock.Lock(kLockWaitMs)) {
        if (m_bStopped) {
            FreeBuffer(pBuffer);
            return false;
        }
    }
    if (m_bStopped || !m_bOpen) {
        FreeBuffer(pBuffer);
        return false;
    }
    if (::waveOutPrepareHeader(m_hWaveOut, &pBuffer->hdr, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
        FreeBuffer(pBuffer);
        SetError(6, "Output buffer overrun");
        return false;
    }
    // Counted before the write: the device may finish the buffer before waveOutWrite returns.
    ++m_nQueued;
    if (::waveOutWrite(m_hWaveOut, &pBuffer->hdr, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
        --m_nQueued;
        ::waveOutUnprepareHeader(m_hWaveOut, &pBuffer->hdr, sizeof(WAVEHDR));
        FreeBuffer(pBuffer);
        SetError(6, "Output buffer overrun");
        return false;
    }
    // The device owns the buffer now, until the callback hands it back.
    m_dwBytesWritten += nUsed;
    if (m_bStartPending.exchange(false))
        ::waveOutRestart(m_hWaveOut);
    lock.Unlock();

    while (m_nQueued > m_nMaxQueued && !m_bStopped)
        ::Sleep(kPollMs);
    ReleaseFinishedBuffers();
    return true;
}

bool CAudioPlayer::Close()
{
    if (!m_bOpen) {
        SetError(1, "Player not initialized");
        return false;
    }
    while (m_nQueued > 0 && !m_bStopped)
        ::Sleep(kPollMs);
    WaitUntilPlayedOut();
    for (;;) {
        CSingleLock lock(&m_lock);
        if (lock.Lock(kLockWaitMs)) {
            ReleaseFinishedBuffers();
            if (::waveOutClose(m_hWaveOut) != WAVERR_STILLPLAYING) {
                m_bOpen = false;
                m_hWaveOut = nullptr;
                break;
            }
        }
        lock.Unlock();
        ::Sleep(kPollMs);
    }
    // Buffers the device returned between the last release and the close: only memory now.
    Buffer* p = m_pFinished.exchange(nullptr);
    while (p != nullptr) {
        Buffer* pNext = p->pNext;
        FreeBuffer(p);
        p = pNext;
    }
    return true;
}

// Some devices (Wine's among them) report a buffer done once they copied it, before it was
// heard; closing then cuts the end of the stream. So wait until the position reaches what was
// written, for as long as it keeps advancing. Only the playback thread closes the device, so
// the handle stays valid here without the lock.
void CAudioPlayer::WaitUntilPlayedOut()
{
    DWORD dwLast = 0;
    int nIdlePolls = 0;
    while (!m_bStopped && nIdlePolls < kMaxIdlePolls) {
        MMTIME time = {};
        time.wType = TIME_BYTES;
        if (::waveOutGetPosition(m_hWaveOut, &time, sizeof time) != MMSYSERR_NOERROR ||
            time.wType != TIME_BYTES)
            return;
        // Byte positions wrap at 4 GiB: compare the distance, not the values.
        const DWORD dwLeft = m_dwBytesWritten - time.u.cb;
        if (dwLeft == 0 || dwLeft > 0x80000000u)
            return;
        nIdlePolls = time.u.cb == dwLast ? nIdlePolls + 1 : 0;
        dwLast = time.u.cb;
        ::Sleep(kPlayedOutPollMs);
    }
}

void CAudioPlayer::Stop()
{
    // Refuse frames at once; then silence the device. Only short device calls hold the lock,
    // so a stop that was not granted it in one wait tries again rather than being skipped.
    m_bStopped = true;
    CSingleLock lock(&m_lock);
    for (int nTry = 0; !lock.Lock(kLockWaitMs); ++nTry)
        if (nTry == kStopLockTries)
            return;
    if (!m_bOpen)
        return;
    ::waveOutPause(m_hWaveOut);
    m_bStartPending = true;
    m_dwBytesWritten = 0; // the reset below rewinds the position
    // Returns every queued buffer through the callback, on this thread, before it returns:
    // the callback takes no lock.
    ::waveOutReset(m_hWaveOut);
}

WORD CAudioPlayer::GetVolume()
{
    CSingleLock lock(&m_lock);
    if (!lock.Lock(kLockWaitMs) || !m_bOpen)
        return 0;
    DWORD dwVolume = 0;
    if (::waveOutGetVolume(m_hWaveOut, &dwVolume) != MMSYSERR_NOERROR)
        return 0;
    return LOWORD(dwVolume);
}

void CAudioPlayer::SetVolume(WORD wVolume)
{
    CSingleLock lock(&m_lock);
    if (!lock.Lock(kLockWaitMs) || !m_bOpen)
        return;
    ::waveOutSetVolume(m_hWaveOut, static_cast<DWORD>(wVolume) * 65537u);
}

bool CAudioPlayer::GetPositionMs(DWORD& dwMs)
{
    CSingleLock lock(&m_lock);
    if (!lock.Lock(kLockWaitMs) || !m_bOpen)
        return false;
    MMTIME time = {};
    time.wType = TIME_MS;
    if (::waveOutGetPosition(m_hWaveOut, &time, sizeof time) != MMSYSERR_NOERROR)
        return false;
    return PositionToMs(time, m_nChannels, m_nSampleRate, m_nBitsPerSample, dwMs);
}

bool CAudioPlayer::PositionToMs(const MMTIME& time, int nChannels, int nSampleRate,
                                int nBitsPerSample, DWORD& dwMs)
{
    dwMs = 0;
    switch (time.wType) {
    case TIME_MS:
        dwMs = time.u.ms;
        return true;
    case TIME_SAMPLES:
        if (nSampleRate <= 0)
            return false;
        dwMs = time.u.sample / static_cast<DWORD>(nSampleRate) * 1000;
        return true;
    case TIME_BYTES: {
        const DWORD dwBytesPerSecond =
            static_cast<DWORD>(nBitsPerSample / 8) * nChannels * nSampleRate;
        if (dwBytesPerSecond == 0)
            return false;
        dwMs = time.u.cb / dwBytesPerSecond * 1000;
        return true;
    }
    case TIME_SMPTE:
        dwMs = time.u.smpte.hour * 3600000u + time.u.smpte.min * 60000u + time.u.smpte.sec * 1000u;
        return true;
    default:
        return false;
    }
}

int CAudioPlayer::ListOutputDevices(CStringArray& names)
{
    names.RemoveAll();
    const UINT n = ::waveOutGetNumDevs();
    for (UINT i = 0; i < n; ++i) {
        WAVEOUTCAPSA caps = {};
        if (::waveOutGetDevCapsA(i, &caps, sizeof caps) != MMSYSERR_NOERROR)
            caps.szPname[0] = '\0';
        names.Add(caps.szPname);
    }
    return static_cast<int>(n);
}

void CALLBACK CAudioPlayer::WaveOutCallback(HWAVEOUT hwo, UINT uMsg, DWORD_PTR dwInstance,
                                            DWORD_PTR dwParam1, DWORD_PTR dwParam2)
{
    if (uMsg != WOM_DONE || hwo == nullptr || dwParam1 == 0)
        return;
    WAVEHDR* pHdr = reinterpret_cast<WAVEHDR*>(dwParam1);
    CAudioPlayer* pPlayer = reinterpret_cast<CAudioPlayer*>(pHdr->dwUser);
    if (pPlayer == nullptr || !(pHdr->dwFlags & WHDR_DONE))
        return;
    Buffer* pBuffer = reinterpret_cast<Buffer*>(pHdr);
    // Almost no wave-out call is allowed here: hand the buffer back and count it finished.
    Buffer* pHead = pPlayer->m_pFinished.load();
    do {
        pBuffer->pNext = pHead;
    } while (!pPlayer->m_pFinished.compare_exchange_weak(pHead, pBuffer));
    --pPlayer->m_nQueued;
}

void CAudioPlayer::ReleaseFinishedBuffers()
{
    Buffer* p = m_pFinished.exchange(nullptr);
    while (p != nullptr) {
        Buffer* pNext = p->pNext;
        ::waveOutUnprepareHeader(m_hWaveOut, &p->hdr, sizeof(WAVEHDR));
        FreeBuffer(p);
        p = pNext;
    }
}
