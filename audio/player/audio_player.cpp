// CAudioPlayer: opening the device, queueing frames, the completion callback, stop and close.
#include "audio/player/audio_player.h"

#include "audio/audio_frame.h"

#include <cstring>
#include <type_traits>

namespace {
const DWORD kLockWaitMs = 10;
const DWORD kPollMs = 250;
const int kMinSampleRate = 11025;
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
    : m_nChannels(2), m_nSampleRate(44100), m_nBitsPerSample(16), m_pTrack(nullptr),
      m_bOpen(FALSE), m_hWaveOut(nullptr), m_bStartPending(FALSE), m_nMaxQueued(3),
      m_nQueued(0), m_bStopped(FALSE), m_wStartVolume(0xC000), m_pFinished(nullptr)
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

BOOL CAudioPlayer::Open(UINT nDevice, int nChannels, int nSampleRate, int nBitsPerSample,
                        CAudioTrackInfo* pTrack)
{
    if (m_bOpen)
        return FALSE;
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
        return FALSE;
    }
    ::waveOutPause(hWaveOut);
    m_hWaveOut = hWaveOut;
    m_bStartPending = TRUE;
    m_nQueued = 0;
    m_bStopped = FALSE;
    m_bOpen = TRUE;
    SetVolume(m_wStartVolume);
    return TRUE;
}

void CAudioPlayer::SetMaxQueuedBuffers(int n)
{
    if (n > 1)
        m_nMaxQueued = n;
}

BOOL CAudioPlayer::IsOpen()
{
    return m_bOpen;
}

BOOL CAudioPlayer::IsInitialized()
{
    return m_bOpen;
}

BOOL CAudioPlayer::BeginStream()
{
    if (!m_bOpen) {
        SetError(1, "Player not initialized");
        return FALSE;
    }
    return TRUE;
}

BOOL CAudioPlayer::WriteFrame(CAudioFrame* pFrame)
{
    if (m_bStopped)
        return FALSE;
    if (!m_bOpen) {
        SetError(1, "Player not initialized");
        return FALSE;
    }
    if (pFrame == nullptr) {
        SetError(8, "NULL Frame");
        return FALSE;
    }
    ReleaseFinishedBuffers();
    if (pFrame->IsEmpty())
        return TRUE; // nothing to play; the device gets no empty buffer

    const int nWidth = m_nBitsPerSample / 8;
    const int nSigned = m_nBitsPerSample == 8 ? 0 : 1;
    if ((pFrame->GetBytesPerSample() != nWidth || pFrame->GetSigned() != nSigned ||
         pFrame->GetByteOrder() != 0) &&
        !pFrame->ConvertSampleFormat(nWidth, nSigned, 0)) {
        SetError(8, "Wrong bits per sample");
        return FALSE;
    }
    if (pFrame->GetChannels() != m_nChannels && !pFrame->ConvertChannels(m_nChannels)) {
        SetError(8, "Cannot convert number of channels");
        return FALSE;
    }
    if (static_cast<int>(pFrame->GetSampleRate()) != m_nSampleRate &&
        !pFrame->Resample(static_cast<uint32_t>(m_nSampleRate))) {
        SetError(8, "Can't resample frame");
        return FALSE;
    }

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
            return FALSE;
        }
    }
    if (m_bStopped || !m_bOpen) {
        FreeBuffer(pBuffer);
        return FALSE;
    }
    if (::waveOutPrepareHeader(m_hWaveOut, &pBuffer->hdr, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
        FreeBuffer(pBuffer);
        SetError(6, "Output buffer overrun");
        return FALSE;
    }
    // Counted before the write: the device may finish the buffer before waveOutWrite returns.
    ++m_nQueued;
    if (::waveOutWrite(m_hWaveOut, &pBuffer->hdr, sizeof(WAVEHDR)) != MMSYSERR_NOERROR) {
        --m_nQueued;
        ::waveOutUnprepareHeader(m_hWaveOut, &pBuffer->hdr, sizeof(WAVEHDR));
        FreeBuffer(pBuffer);
        SetError(6, "Output buffer overrun");
        return FALSE;
    }
    // The device owns the buffer now, until the callback hands it back.
    if (m_bStartPending.exchange(FALSE))
        ::waveOutRestart(m_hWaveOut);
    lock.Unlock();

    while (m_nQueued > m_nMaxQueued && !m_bStopped)
        ::Sleep(kPollMs);
    ReleaseFinishedBuffers();
    return TRUE;
}

BOOL CAudioPlayer::Close()
{
    if (!m_bOpen) {
        SetError(1, "Player not initialized");
        return FALSE;
    }
    for (;;) {
        CSingleLock lock(&m_lock);
        if (lock.Lock(kLockWaitMs)) {
            ReleaseFinishedBuffers();
            const MMRESULT rc = ::waveOutClose(m_hWaveOut);
            if (rc != WAVERR_STILLPLAYING) {
                m_bOpen = FALSE;
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
    return TRUE;
}

void CAudioPlayer::Stop()
{
    CSingleLock lock(&m_lock);
    if (!lock.Lock(kLockWaitMs) || !m_bOpen) {
        m_bStopped = TRUE; // refused frames at least; the device is closing or already closed
        return;
    }
    m_bStopped = TRUE;
    ::waveOutPause(m_hWaveOut);
    m_bStartPending = TRUE;
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

BOOL CAudioPlayer::GetPositionMs(DWORD& dwMs)
{
    CSingleLock lock(&m_lock);
    if (!lock.Lock(kLockWaitMs) || !m_bOpen)
        return FALSE;
    MMTIME time = {};
    time.wType = TIME_MS;
    if (::waveOutGetPosition(m_hWaveOut, &time, sizeof time) != MMSYSERR_NOERROR)
        return FALSE;
    return PositionToMs(time, m_nChannels, m_nSampleRate, m_nBitsPerSample, dwMs);
}

BOOL CAudioPlayer::PositionToMs(const MMTIME& time, int nChannels, int nSampleRate,
                                int nBitsPerSample, DWORD& dwMs)
{
    dwMs = 0;
    switch (time.wType) {
    case TIME_MS:
        dwMs = time.u.ms;
        return TRUE;
    case TIME_SAMPLES:
        if (nSampleRate <= 0)
            return FALSE;
        dwMs = time.u.sample / static_cast<DWORD>(nSampleRate) * 1000;
        return TRUE;
    case TIME_BYTES: {
        const DWORD dwBytesPerSecond =
            static_cast<DWORD>(nBitsPerSample / 8) * nChannels * nSampleRate;
        if (dwBytesPerSecond == 0)
            return FALSE;
        dwMs = time.u.cb / dwBytesPerSecond * 1000;
        return TRUE;
    }
    case TIME_SMPTE:
        dwMs = time.u.smpte.hour * 3600000u + time.u.smpte.min * 60000u +
               time.u.smpte.sec * 1000u;
        return TRUE;
    default:
        return FALSE;
    }
}

int CAudioPlayer::ListOutputDevices(CStringArray& names)
{
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
