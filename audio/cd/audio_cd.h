// Opened audio CDs: the drive list facade (CAudioCDManager) and one opened drive (CAudioCD)
// with its cached table of contents, freedb disc id, sector and CD-Text reads, and eject.
// Every command to a drive runs under a named mutex shared by all threads and processes.
// Classes here: CAudioCDManager, CAudioCD.
#pragma once

#include <windows.h>

#include "framework/core.h"
#include "framework/sync.h"

class CDriveManager;
class CAudioCD;
class CAudioCDTextParser;

class CAudioCDManager {
public:
    enum { ERR_NONE = 0, ERR_NOT_INITIALIZED = 1, ERR_BAD_INDEX = 7 };

    // Enumerates the drives of the drive table (GetDriveTable) unless an earlier instance of
    // this process already did so successfully (its forceAspi choice then stands).
    explicit CAudioCDManager(BOOL forceAspi);
    virtual ~CAudioCDManager() = default;

    BOOL IsInitialized() const { return m_initialized; }
    // The drive count; -1 (error 1) when the drives were not enumerated.
    int GetDriveCount();
    BOOL GetDriveName(int index, CString& name);
    // A new CAudioCD the caller deletes, possibly closed (see CAudioCD::IsOpen); null with
    // error 1 or 7.
    CAudioCD* OpenCD(int index);
    int GetError() const { return m_error; }
    void SetError(int error) { m_error = error; }

private:
    int m_initialized = 0;
    int m_error = ERR_NONE;
};

class CAudioCD {
public:
    enum {
        ERR_NONE = 0,
        ERR_NOT_OPEN = 1,  // not open, drive mutex not obtained, or no table of contents
        ERR_READ = 2,      // a sector read failed after its retries
        ERR_CLOSED = 9,
        ERR_EJECT = 10
    };
    enum { TRACK_AUDIO = 0, TRACK_DATA = 4 };
    static constexpr int kMaxEntries = 256;

    // Opens drive `index` of `drives` (not owned) under the drive mutex, waiting up to
    // 10000 ms; when the mutex is not obtained the object stays closed with error 1.
    CAudioCD(CDriveManager* drives, int index);
    virtual ~CAudioCD();
    CAudioCD(const CAudioCD&) = delete;
    CAudioCD& operator=(const CAudioCD&) = delete;

    BOOL IsOpen() const { return m_open; }
    void Close();
    // 1 with the TOC cached, 0 on failure (or mutex timeout), -1 when not open.
    int ReadTOC();
    int GetTrackCount();
    int GetTrackType(int n);
    int GetTrackStartLBA(int n);
    int GetTrackEndLBA(int n);  // exclusive
    int GetTrackLength(int n);  // frames
    // The freedb disc id of the cached TOC; (DWORD)-1 when not open (error 9) or without a
    // TOC (error 1).
    DWORD GetCDDBDiscId();
    BOOL ReadSectors(DWORD lba, int count, BYTE* buffer, int sectorSize, BYTE selection);
    // 1 success, 0 failure or mutex timeout, -1 not open. `size` in: the buffer's size; out:
    // the reply's total length.
    int ReadRawCDText(BYTE* buffer, int* size);
    int ReadCDText(CAudioCDTextParser* parser);
    int SetSpeed(int readSpeed, int writeSpeed);
    int Eject();
    int Load();
    // Last logical block address; -1 when not open or the mutex was not obtained.
    int GetCapacity();
    // CDriveManager::ReadDiscInfo under the mutex; false with error 1 when not open or the
    // mutex was not obtained, false with error 2 when the command failed.
    BOOL ReadDiscInfo(DWORD* info, int* sessions, int* lastTrack);
    int GetError() const { return m_error; }
    void SetError(int error) { m_error = error; }

    static int DigitSum(int n);
    // The name of drive `index`'s mutex: "CAudioCD_mutex_" and `index` times '1'.
    static CString MutexName(int index);

private:
    bool Lock(DWORD ms);
    void Unlock();
    bool EntryValid(int n);

    CDriveManager* m_drives = nullptr;
    int m_index = 0;
    int m_error = ERR_NONE;
    int m_open = 0;
    int m_hasToc = 0;
    int m_nextEntry = 1;
    int m_start[kMaxEntries] = {};   // absolute frames: LBA + 150
    int m_end[kMaxEntries] = {};
    int m_length[kMaxEntries] = {};
    int m_audio[kMaxEntries] = {};
    CMutex m_mutex;  // "CAudioCD_mutex_" and the index in '1's, shared by every process
};
