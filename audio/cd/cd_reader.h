// The reader of raw CD-DA audio over a range of sectors of an opened CD. All CD readers of
// all threads and processes take turns through one named mutex, one read step at a time.
#pragma once

#include <windows.h>

#include "audio/audio_stream.h"
#include "framework/sync.h"

class CAudioCD;

class CAudioCDReader : public CAudioAbstractReader {
public:
    static constexpr int kSectorBytes = 2352;  // 588 stereo 16-bit samples
    static constexpr DWORD kReadLockWaitMs = 20000;

    CAudioCDReader();
    // Neither closes nor deletes the CD: its opener deletes it after the reader.
    ~CAudioCDReader() override = default;

    // Reads sectors [firstSector, endSector) of `cd` (not owned). False for a reader that
    // is already open. Callers pass 1-255 sectors per read and bytes per frame above 0.
    bool Open(CAudioCD* cd, int firstSector, int endSector, int readSpeed, int sectorsPerRead,
              int bytesPerFrame);

    bool IsInitialized() override { return m_initialized != 0; }
    bool HasMoreData() override;
    int GetProgressPercent() override;
    bool Prepare() override { return true; }
    // Appends whole sectors until the frame holds at least bytes-per-frame or the range
    // ends. A read failing after the drive's three attempts: false, error 2, "CD Reading
    // Error at frame: %ld" with the failed read's first LBA. Read mutex not granted within
    // 20000 ms: true with nothing appended.
    bool ReadFrame(CAudioFrame* pFrame) override;
    bool Close() override { return true; }
    uint32_t GetSampleRate() override { return 44100; }

private:
    void SetFrameFormat(CAudioFrame* pFrame);

    int m_initialized = 0;
    CAudioCD* m_cd = nullptr;
    int m_firstSector = 0;
    int m_endSector = 0;
    int m_readSpeed = 0;
    int m_delivered = 0;
    int m_sectorsPerRead = 32;
    int m_bytesPerFrame = 1048576;
    CMutex m_readMutex{FALSE, "CAudioCDReader_read_MUTEX"};  // every reader of every process
};
