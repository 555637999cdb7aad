// One CD/DVD device record and its commands.
#include "audio/drive/scsi_drive.h"

#include <cstring>

#include "audio/drive/scsi_commands.h"

CScsiDrive::CScsiDrive(BYTE ha, BYTE target, BYTE lun) : m_ha(ha), m_target(target), m_lun(lun) {}

BOOL CScsiDrive::Open(int mode)
{
    if (mode >= 0) return TRUE;
    std::lock_guard<std::mutex> hold(m_openLock);
    // Concurrent jobs, the player and an eject each open the drive: a second handle would
    // replace the first while other threads still read through it.
    if (m_openCount > 0) {
        ++m_openCount;
        return TRUE;
    }
    HANDLE device = CreateFileA(m_path, GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                FILE_FLAG_WRITE_THROUGH | FILE_FLAG_OVERLAPPED, nullptr);
    if (device == INVALID_HANDLE_VALUE) {
        m_error = ERR_OPEN;
        return FALSE;
    }
    m_device = device;
    m_openCount = 1;
    return TRUE;
}

void CScsiDrive::Close(int mode)
{
    if (mode >= 0) return;
    std::lock_guard<std::mutex> hold(m_openLock);
    if (m_openCount == 0 || --m_openCount > 0) return;
    CloseHandle(m_device);
    m_device = nullptr;
}

int CScsiDrive::GetOpenCount() const
{
    std::lock_guard<std::mutex> hold(m_openLock);
    return m_openCount;
}

BOOL CScsiDrive::QueryCapabilities(int mode, int length, BYTE* buffer)
{
    if (!scsi_ModeSense(m_ha, m_target, m_lun, 0x2A, buffer, length, mode, m_device)) {
        m_error = ERR_CAPABILITIES;
        return FALSE;
    }
    return TRUE;
}

void CScsiDrive::GetErrorText(char* text, int size) const
{
    const char* msg = nullptr;
    if (m_error == ERR_OPEN)
        msg = "Error occure while opening CD/DVD device.\n"
              "Possibly you are not the member of the Administrator's group.";
    else if (m_error == ERR_CAPABILITIES)
        msg = "Error occure while retrieving the CD/DVD Capabilities and Mechanical Status.";
    if (msg && size > 0) {
        std::strncpy(text, msg, size - 1);
        text[size - 1] = 0;
    }
}

BOOL CScsiDrive::Inquiry(char* text, int size, int mode)
{
    return scsi_Inquiry(m_ha, m_target, m_lun, text, size, mode, m_device);
}

int CScsiDrive::GetInterface(int mode)
{
    return scsi_GetInterface(m_ha, m_target, m_lun, mode, m_device);
}

BOOL CScsiDrive::ReadFullToc(BYTE* buffer, int length, int mode)
{
    return scsi_ReadFullToc(m_ha, m_target, m_lun, buffer, length, mode, m_device);
}

BOOL CScsiDrive::ReadCdText(int bufferSize, BYTE* buffer, int* total, int mode)
{
    return scsi_ReadCdText(m_ha, m_target, m_lun, bufferSize, buffer, total, mode, m_device);
}

BOOL CScsiDrive::ReadCd(DWORD lba, int count, BYTE* buffer, int sectorSize, BYTE selection,
                        int mode)
{
    return scsi_ReadCd(m_ha, m_target, m_lun, lba, count, buffer, sectorSize, selection, mode,
                       m_device);
}

BOOL CScsiDrive::SetCdSpeed(BYTE rotation, WORD readSpeed, WORD writeSpeed, int mode)
{
    return scsi_SetCdSpeed(m_ha, m_target, m_lun, rotation, readSpeed, writeSpeed, mode,
                           m_device);
}

BOOL CScsiDrive::Eject(int mode) { return scsi_Eject(m_ha, m_target, m_lun, mode, m_device); }

BOOL CScsiDrive::Load(int mode) { return scsi_Load(m_ha, m_target, m_lun, mode, m_device); }

BOOL CScsiDrive::ReadDiscInformation(BYTE* buffer, int length, int mode)
{
    return scsi_ReadDiscInformation(m_ha, m_target, m_lun, buffer, length, mode, m_device);
}

DWORD CScsiDrive::ReadCapacity(int mode)
{
    return scsi_ReadCapacity(m_ha, m_target, m_lun, mode, m_device);
}
