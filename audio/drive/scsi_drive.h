// One CD/DVD device: its ASPI address or pass-through path and handle, its display name and
// capabilities, and one method per command of the command layer.
#pragma once

#include <windows.h>

#include <mutex>

class CScsiDrive {
public:
    // Error codes of the record.
    enum { ERR_NONE = 0, ERR_OPEN = 1, ERR_CAPABILITIES = 2 };

    CScsiDrive(BYTE ha, BYTE target, BYTE lun);
    CScsiDrive(const CScsiDrive&) = delete;
    CScsiDrive& operator=(const CScsiDrive&) = delete;

    // Pass-through: opens the device path for overlapped I/O (error ERR_OPEN on failure).
    // Every opened CD of the process shares the one handle: each Open that succeeds takes a
    // reference, each Close gives one back, and the last Close closes the handle. Safe from
    // any thread. ASPI: nothing to open, true.
    BOOL Open(int mode);
    void Close(int mode);
    // The references taken by Open and not yet given back.
    int GetOpenCount() const;
    // MODE SENSE page 2A into the caller's buffer (error ERR_CAPABILITIES on failure).
    BOOL QueryCapabilities(int mode, int length, BYTE* buffer);
    // Leaves `text` unchanged for codes without a text.
    void GetErrorText(char* text, int size) const;

    BOOL Inquiry(char* text, int size, int mode);
    int GetInterface(int mode);
    BOOL ReadFullToc(BYTE* buffer, int length, int mode);
    BOOL ReadCdText(int bufferSize, BYTE* buffer, int* total, int mode);
    BOOL ReadCd(DWORD lba, int count, BYTE* buffer, int sectorSize, BYTE selection, int mode);
    BOOL SetCdSpeed(BYTE rotation, WORD readSpeed, WORD writeSpeed, int mode);
    BOOL Eject(int mode);
    BOOL Load(int mode);
    DWORD ReadCapacity(int mode);
    BOOL ReadDiscInformation(BYTE* buffer, int length, int mode);

    BYTE m_ha;
    BYTE m_target;
    BYTE m_lun;
    int m_interface = 0;
    HANDLE m_device = nullptr;
    char m_path[128] = {};  // "\\.\E:" under pass-through, empty under ASPI
    char m_name[128] = {};
    BYTE m_writesCdR = 0;
    BYTE m_writesCdRw = 0;
    BYTE m_writesDvdR = 0;
    BYTE m_testWrite = 0;
    BYTE m_writesDvdRam = 0;
    BYTE m_bufferWait = 1;
    int m_error = ERR_NONE;

private:
    mutable std::mutex m_openLock;  // guards m_device and m_openCount across Open and Close
    int m_openCount = 0;
};
