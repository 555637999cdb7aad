// The process-wide table of CD and DVD drives (GetDriveTable): chooses the transport
// once, enumerates the drives and performs the per-drive operations the opened CD needs.
#pragma once

#include <windows.h>

#include <memory>

#include "audio/drive/scsi_drive.h"
#include "audio/drive/toc.h"

class CDriveManager {
public:
    static constexpr int kMaxDrives = 64;
    enum { MODE_NONE = 0, MODE_ASPI = 1, MODE_SPTI = -1 };

    // Capability bits of QueryCapabilities.
    enum : DWORD {
        CAP_READ_CDR = 0x1, CAP_READ_CDRW = 0x2, CAP_READ_DVDROM = 0x4, CAP_READ_DVDR = 0x8,
        CAP_READ_DVDRAM = 0x10, CAP_READ_METHOD2 = 0x20, CAP_WRITE_CDR = 0x40,
        CAP_WRITE_CDRW = 0x80, CAP_WRITE_DVDR = 0x100, CAP_WRITE_DVDRAM = 0x200,
        CAP_TEST_WRITE = 0x400, CAP_BURN_PROOF = 0x800, CAP_MULTISESSION = 0x1000,
        CAP_MODE2_FORM1 = 0x2000, CAP_MODE2_FORM2 = 0x4000, CAP_AUDIO_PLAY = 0x8000,
        CAP_BARCODE = 0x10000, CAP_ISRC = 0x20000, CAP_UPC = 0x40000
    };
    // Bits of ReadDiscInfo: disc status, erasable or not, state of the last session, the
    // background format state (a value in bits 16-18, not single bits), disc type.
    enum : DWORD {
        DISC_EMPTY = 0x1, DISC_INCOMPLETE = 0x2, DISC_COMPLETE = 0x4, DISC_OTHER_STATUS = 0x8,
        DISC_ERASABLE = 0x10, DISC_NOT_ERASABLE = 0x20, SESSION_EMPTY = 0x40,
        SESSION_INCOMPLETE = 0x80, SESSION_DAMAGED = 0x100, SESSION_COMPLETE = 0x200,
        DISC_CD_ROM = 0x400, DISC_CD_I = 0x800, DISC_CD_ROM_XA = 0x1000,
        FORMAT_STATE_SHIFT = 16
    };

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
