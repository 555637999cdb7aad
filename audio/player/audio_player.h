// CAudioPlayer: a sink that plays PCM frames on a wave-out device, one device buffer per frame.
#pragma once

#include "audio/audio_stream.h"
#include "framework/core.h"
#include "framework/sync.h"

#include <mmsystem.h>
#include <windows.h>

#include <atomic>

class CAudioFrame;
class CAudioTrackInfo;

// Three threads meet here: the playback thread (Open, WriteFrame, Close), the player window's
// thread (Stop, volume, position, IsOpen) and the device's callback. The owner calls Close
// before it deletes the player.
class CAudioPlayer : public CAudioAbstractWriter
{
public:
    CAudioPlayer();
    ~CAudioPlayer() override;

    // Opens wave-out device nDevice paused; a rate below 11025 is raised to 11025. The track
    // record is not used (a player writes no tags). False, error untouched, when already open.
    bool Open(UINT nDevice, int nChannels, int nSampleRate, int nBitsPerSample,
              CAudioTrackInfo* pTrack);
    // Values above 1 only.
    void SetMaxQueuedBuffers(int n);
    // The volume both channels get at Open (0 silent to 0xFFFF full).
    void SetStartVolume(WORD wVolume) { m_wStartVolume = wVolume; }
    bool IsOpen();

    bool IsInitialized() override;
    bool BeginStream() override;
    // Queues the frame as one device buffer; returns once no more than the maximum are queued.
    // False without an error text once Stop was called.
    bool WriteFrame(CAudioFrame* pFrame) override;
    // Returns once every queued buffer has finished playing.
    bool Close() override;
    int64_t GetBytesWritten() override { return -1; }

    // Ends playback for good: queued buffers are returned, later frames refused.
    void Stop();
    // Left-channel volume; 0 when closed.
    WORD GetVolume();
    // Both channels; the start volume is not changed.
    void SetVolume(WORD wVolume);
    // False when closed, or when the device cannot tell.
    bool GetPositionMs(DWORD& dwMs);

    // Replaces the array's items by the product names of the wave-out devices, in device
    // order; returns their number.
    static int ListOutputDevices(CStringArray& names);
    // A device position in milliseconds. Samples and bytes come as whole seconds (the division
    // comes first); false for a unit that cannot be converted.
    static bool PositionToMs(const MMTIME& time, int nChannels, int nSampleRate, int nBitsPerSample,
                             DWORD& dwMs);
    static void CALLBACK WaveOutCallback(HWAVEOUT hwo, UINT uMsg, DWORD_PTR dwInstance,
                                         DWORD_PTR dwParam1, DWORD_PTR dwParam2);

    struct Buffer;

private:
    static void FreeBuffer(Buffer* p);
    void ReleaseFinishedBuffers();
    void WaitUntilPlayedOut();

    int m_nChannels;
    int m_nSampleRate;
    int m_nBitsPerSample;
    CAudioTrackInfo* m_pTrack;
    // Guards the device handle against Close while the window's thread uses it, and orders
    // WriteFrame's queueing against Stop. The callback never takes it.
    CMutex m_lock;
    std::atomic<bool> m_bOpen;
    HWAVEOUT m_hWaveOut;
    std::atomic<bool> m_bStartPending;
    std::atomic<int> m_nMaxQueued;
    // Raised when a buffer is handed to the device, lowered by the callback when it finished.
    std::atomic<int> m_nQueued;
    std::atomic<bool> m_bStopped;
    WORD m_wStartVolume;
    // Finished buffers, pushed by the callback without any lock (it runs where wave-out calls
    // are not allowed, and inside waveOutReset on the caller's thread); unprepared and freed
    // by the playback thread.
    std::atomic<Buffer*> m_pFinished;
    // Bytes handed to the device since Open or Stop (which rewinds its position), modulo 2^32.
    DWORD m_dwBytesWritten;
};
