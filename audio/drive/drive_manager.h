// The process-wide table of CD and DVD drives (GetDriveTable): chooses the transport
// once, enumerates the drives and performs the per-drive operations the opened CD needs.
#pragma once

#include <windows.h>

#include <memory>

#include "audio/drive/drive_replies.h"
#include "audio/drive/scsi_drive.h"
#include "audio/drive/toc.h"

class CDriveManager : public CDriveReplyCodes {
public:
    static constexpr int kMaxDrives = 64;
    enum { MODE_NONE = 0, MODE_ASPI = 1, MODE_SPTI = -1 };

    // The capability (CAP_...) and disc information (DISC_..., SESSION_...) bits come from
    // CDriveReplyCodes.

    CDriveManager();
    ~CDriveManager();
    CDriveManager(const CDriveManager&) = delete;
    CDriveManager& operator=(const CDriveManager&) = delete;

    // False only when ASPI was to be used and could not be loaded (or has no adapter); true
    // otherwise, also when no drive was found.
    BOOL Enumerate(BOOL forceAspi);

    int GetMode() const { return m_mode; }
    int GetDriveCount() const { return m_driveCount; }
    int GetStatus() const { return m_status; }
    WORD GetAspiMask() const { return m_aspiMask; }
    // The record of slot i, null for an empty slot.
    CScsiDrive* GetDrive(int i) const;
    const char* GetDriveName(int i) const;
    // The last table of contents read on any drive; null before the first.
    const CToc* GetToc() const { return m_toc.get(); }

    // Any output may be null. `writeSpeeds` is a 0-terminated list (room for 64 entries).
    BOOL QueryCapabilities(int i, DWORD* caps, int* loading, int* bufferSize, int* writeSpeeds);
    // One reference to drive i's device per successful OpenDrive, given back by CloseDrive.
    BOOL OpenDrive(int i);
    void CloseDrive(int i);
    BOOL Eject(int i);
    BOOL Load(int i);
    // Replaces the table's CToc; false when the command failed (the previous one stays).
    BOOL ReadToc(int i);
    BOOL ReadCdText(int i, int bufferSize, BYTE* buffer, int* total);
    BOOL SetSpeed(int i, WORD readSpeed, WORD writeSpeed, BYTE rotation);
    // 0 on success, 2 when all three attempts (1000 ms apart) failed.
    int ReadSectors(int i, DWORD lba, int count, BYTE* buffer, int sectorSize, BYTE selection);
    DWORD ReadCapacity(int i);
    // READ DISC INFORMATION: the DISC_* bits, the number of sessions and the last track of
    // the last session (any output may be null); false when the command failed.
    BOOL ReadDiscInfo(int i, DWORD* info, int* sessions, int* lastTrack);
    // The table of contents of a READ TOC full-TOC reply (the parser lives with CToc).
    static std::unique_ptr<CToc> ParseFullToc(const BYTE* reply, int length)
    {
        return CToc::ParseFullToc(reply, length);
    }

private:
    BOOL EnumerateAspi();
    void EnumerateSpti();
    void ReadDeviceDetails(int slot);

    int m_mode = MODE_NONE;
    int m_driveCount = 0;
    int m_status = -1;
    WORD m_aspiMask = 0;
    std::unique_ptr<CScsiDrive> m_drives[kMaxDrives];
    std::unique_ptr<CToc> m_toc;
};

// The process's one drive table, made on first use; the program's globals make it after the
// application object, so it goes before it at exit.
CDriveManager& GetDriveTable();
