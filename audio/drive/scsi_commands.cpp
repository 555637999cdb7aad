// Single SCSI/MMC commands over ASPI and SCSI pass-through.
#include "audio/drive/scsi_commands.h"

#include "audio/drive/drive_replies.h"

#include <winioctl.h>
#include <ntddscsi.h>

#include <cstddef>
#include <cstring>

#include "audio/drive/aspi_defs.h"

namespace {

// The pass-through request: the system's structure, a filler and the sense buffer. On x64
// the structure is 56 bytes, so Length and SenseInfoOffset come from sizeof/offsetof.
struct SptdWithSense {
    SCSI_PASS_THROUGH_DIRECT sptd;
    ULONG filler;
    UCHAR sense[32];
};
static_assert(sizeof(void*) != 8 || sizeof(SCSI_PASS_THROUGH_DIRECT) == 56);

struct AspiLibrary {
    HMODULE module = nullptr;
    PFN_GetASPI32SupportInfo supportInfo = nullptr;
    PFN_SendASPI32Command send = nullptr;
    PFN_GetASPI32Buffer getBuffer = nullptr;
    PFN_FreeASPI32Buffer freeBuffer = nullptr;
    PFN_TranslateASPI32Address translate = nullptr;
};
AspiLibrary g_aspi;

// Replies of fixed size; only a receiving area for the commands whose reply nobody reads.
BYTE g_reply[SCSI_SHARED_REPLY_SIZE];

template <typename T> T Lookup(const char* name)
{
    return reinterpret_cast<T>(reinterpret_cast<void*>(GetProcAddress(g_aspi.module, name)));
}

// One command: the CDB is already filled; the data area was zeroed by the caller.
BOOL Run(BYTE ha, BYTE target, BYTE lun, const BYTE* cdb, int cdbLength, BYTE* buffer,
         DWORD length, bool dataIn, DWORD timeout, int mode, HANDLE device)
{
    int rc;
    if (mode > 0)
        rc = aspi_Exec(ha, target, lun, cdb, cdbLength, buffer, length,
                       (dataIn ? ASPI_FLAG_IN : ASPI_FLAG_OUT) | ASPI_FLAG_EVENT);
    else if (mode < 0)
        rc = win_Exec(device, ha, target, lun, cdb, cdbLength, buffer, length, timeout,
                      dataIn ? SPT_FLAG_IN : SPT_FLAG_OUT);
    else
        rc = -1;
    return rc == 0;
}

BOOL RunShared(BYTE ha, BYTE target, BYTE lun, const BYTE* cdb, int cdbLength, DWORD length,
               DWORD timeout, int mode, HANDLE device)
{
    std::memset(g_reply, 0, length);
    return Run(ha, target, lun, cdb, cdbLength, g_reply, length, true, timeout, mode, device);
}

}  // namespace

int aspi_Exec(BYTE ha, BYTE target, BYTE lun, const BYTE* cdb, int cdbLength, BYTE* buffer,
              DWORD bufferLength, int flags)
{
    if (!g_aspi.send) return 2;
    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!event) return 1;
    SRB_ExecSCSICmd srb = {};
    srb.SRB_Cmd = SC_EXEC_SCSI_CMD;
    srb.SRB_HaId = ha;
    srb.SRB_Flags = static_cast<BYTE>(((flags & ASPI_FLAG_IN) ? SRB_DIR_IN : 0) |
                                      ((flags & ASPI_FLAG_OUT) ? SRB_DIR_OUT : 0) |
                                      ((flags & ASPI_FLAG_EVENT) ? SRB_EVENT_NOTIFY : 0));
    srb.SRB_Target = target;
    srb.SRB_Lun = lun;
    srb.SRB_BufLen = bufferLength;
    srb.SRB_BufPointer = buffer;
    srb.SRB_SenseLen = ASPI_SENSE_LEN;
    srb.SRB_CDBLen = static_cast<BYTE>(cdbLength);
    srb.SRB_PostProc = event;
    std::memcpy(srb.CDBByte, cdb, cdbLength > 16 ? 16 : cdbLength);
    ResetEvent(event);
    // No time limit of our own: the driver completes every request it accepted.
    if (g_aspi.send(&srb) == SS_PENDING) WaitForSingleObject(event, INFINITE);
    CloseHandle(event);
    return srb.SRB_Status == SS_COMP ? 0 : 2;
}

int win_Exec(HANDLE device, BYTE ha, BYTE target, BYTE lun, const BYTE* cdb, int cdbLength,
             BYTE* buffer, DWORD bufferLength, DWORD timeoutSeconds, int flags)
{
    SptdWithSense req = {};
    req.sptd.Length = sizeof(SCSI_PASS_THROUGH_DIRECT);
    req.sptd.PathId = ha;
    req.sptd.TargetId = target;
    req.sptd.Lun = lun;
    req.sptd.CdbLength = static_cast<UCHAR>(cdbLength);
    req.sptd.SenseInfoLength = 24;
    req.sptd.DataIn = (flags & SPT_FLAG_IN)    ? SCSI_IOCTL_DATA_IN
                      : (flags & SPT_FLAG_OUT) ? SCSI_IOCTL_DATA_OUT
                                               : SCSI_IOCTL_DATA_UNSPECIFIED;
    req.sptd.DataTransferLength = bufferLength;
    req.sptd.TimeOutValue = timeoutSeconds;
    req.sptd.DataBuffer = buffer;
    req.sptd.SenseInfoOffset = offsetof(SptdWithSense, sense);
    std::memcpy(req.sptd.Cdb, cdb, cdbLength > 16 ? 16 : cdbLength);

    HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!event) return 1;
    ResetEvent(event);
    OVERLAPPED overlapped = {};
    overlapped.hEvent = event;
    DWORD returned = 0;
    int rc = 0;
    if (!DeviceIoControl(device, IOCTL_SCSI_PASS_THROUGH_DIRECT, &req, sizeof req, &req,
                         sizeof req, &returned, &overlapped)) {
        if (GetLastError() == ERROR_IO_PENDING) {
            if (!GetOverlappedResult(device, &overlapped, &returned, TRUE)) rc = 2;
        } else {
            rc = 3;
        }
    }
    CloseHandle(event);
    if (rc) return rc;
    return req.sptd.ScsiStatus ? 4 : 0;
}

BOOL aspi_Init() { return TRUE; }

int aspi_Load(WORD* mask)
{
    g_aspi.module = LoadLibraryA("WNASPI32.DLL");
    if (!g_aspi.module) return 0;
    g_aspi.supportInfo = Lookup<PFN_GetASPI32SupportInfo>("GetASPI32SupportInfo");
    if (!g_aspi.supportInfo) {
        MessageBoxA(nullptr, "Can't Find GetASPI32SupportInfo function.", nullptr, MB_OK);
        return 0;
    }
    *mask |= ASPI_HAS_SUPPORT_INFO;
    g_aspi.send = Lookup<PFN_SendASPI32Command>("SendASPI32Command");
    if (!g_aspi.send) {
        MessageBoxA(nullptr, "Can't Find SendASPI32Command function.", nullptr, MB_OK);
        return 0;
    }
    *mask |= ASPI_HAS_SEND;
    g_aspi.getBuffer = Lookup<PFN_GetASPI32Buffer>("GetASPI32Buffer");
    g_aspi.freeBuffer = Lookup<PFN_FreeASPI32Buffer>("FreeASPI32Buffer");
    g_aspi.translate = Lookup<PFN_TranslateASPI32Address>("TranslateASPI32Address");
    if (g_aspi.getBuffer) *mask |= ASPI_HAS_GET_BUFFER;
    if (g_aspi.freeBuffer) *mask |= ASPI_HAS_FREE_BUFFER;
    if (g_aspi.translate) *mask |= ASPI_HAS_TRANSLATE;
    return static_cast<int>(g_aspi.supportInfo() & 0xFF);
}

void aspi_Unload()
{
    if (g_aspi.module) FreeLibrary(g_aspi.module);
    g_aspi = AspiLibrary();
}

BOOL aspi_IsCdRom(BYTE ha, BYTE target) { return aspi_GetDeviceType(ha, target) == DTYPE_CDROM; }

int aspi_GetDeviceType(BYTE ha, BYTE target)
{
    if (!g_aspi.send) return -1;
    SRB_GDEVBlock srb = {};
    srb.SRB_Cmd = SC_GET_DEV_TYPE;
    srb.SRB_HaId = ha;
    srb.SRB_Target = target;
    g_aspi.send(&srb);
    return srb.SRB_Status == SS_COMP ? srb.SRB_DeviceType : -1;
}

char aspi_GetDriveLetter(BYTE ha, BYTE target, BYTE lun)
{
    if (!g_aspi.send) return 0;
    SRB_GetDiskInfo srb = {};
    srb.SRB_Cmd = SC_GET_DISK_INFO;
    srb.SRB_HaId = ha;
    srb.SRB_Target = target;
    srb.SRB_Lun = lun;
    g_aspi.send(&srb);
    return srb.SRB_Status == SS_COMP ? static_cast<char>('A' + srb.SRB_Int13HDriveInfo) : 0;
}

BOOL scsi_Inquiry(BYTE ha, BYTE target, BYTE lun, char* text, int textSize, int mode,
                  HANDLE device)
{
    std::memset(text, 0, textSize);
    BYTE cdb[16] = {0x12, 0, 0, 0, 64};
    if (!RunShared(ha, target, lun, cdb, 6, 100, 10, mode, device)) return FALSE;
    drive_replies::InquiryText(g_reply, 100, text, textSize);
    return TRUE;
}

int scsi_GetInterface(BYTE ha, BYTE target, BYTE lun, int mode, HANDLE device)
{
    BYTE cdb[16] = {0x46, 0, 0x00, 0x01, 0, 0, 0, 0, 64};
    if (!RunShared(ha, target, lun, cdb, 10, 100, 10, mode, device)) return 0;
    return static_cast<int>(drive_replies::Interface(g_reply, 100));
}

BOOL scsi_ModeSense(BYTE ha, BYTE target, BYTE lun, BYTE page, BYTE* buffer, int length,
                    int mode, HANDLE device)
{
    if (length > 255) length = 255;
    std::memset(buffer, 0, length);
    BYTE cdb[16] = {0x5A, 0, page, 0, 0, 0, 0, 0, static_cast<BYTE>(length)};
    return Run(ha, target, lun, cdb, 10, buffer, length, true, 10, mode, device);
}

BOOL scsi_ReadFullToc(BYTE ha, BYTE target, BYTE lun, BYTE* buffer, int length, int mode,
                      HANDLE device)
{
    std::memset(buffer, 0, length);
    BYTE cdb[16] = {0x43, 0x02, 0x02, 0, 0, 0, 0x00, static_cast<BYTE>(length >> 8),
                    static_cast<BYTE>(length & 0xFF)};
    return Run(ha, target, lun, cdb, 10, buffer, length, true, 30, mode, device);
}

BOOL scsi_ReadCdText(BYTE ha, BYTE target, BYTE lun, int bufferSize, BYTE* buffer, int* total,
                     int mode, HANDLE device)
{
    if (bufferSize < 4) return FALSE;
    std::memset(buffer, 0, bufferSize);
    BYTE cdb[16] = {0x43, 0x02, 0x05, 0, 0, 0, 0x01, 0x00, 0x04};
    if (!Run(ha, target, lun, cdb, 10, buffer, 4, true, 30, mode, device)) return FALSE;
    *total = drive_replies::CdTextLength(buffer, 4);
    if (*total > bufferSize || *total < 4) return FALSE;
    std::memset(buffer, 0, bufferSize);
    cdb[7] = static_cast<BYTE>(*total >> 8);
    cdb[8] = static_cast<BYTE>(*total & 0xFF);
    return Run(ha, target, lun, cdb, 10, buffer, bufferSize, true, 30, mode, device);
}

BOOL scsi_ReadCd(BYTE ha, BYTE target, BYTE lun, DWORD lba, int count, BYTE* buffer,
                 int sectorSize, BYTE selection, int mode, HANDLE device)
{
    // The transfer length is one CDB byte here: a count outside 1-255 cannot be sent.
    if (count < 1 || count > 255 || sectorSize <= 0) return FALSE;
    DWORD length = static_cast<DWORD>(count) * static_cast<DWORD>(sectorSize);
    std::memset(buffer, 0, length);
    BYTE cdb[16] = {0xBE,
                    0x00,
                    static_cast<BYTE>(lba >> 24),
                    static_cast<BYTE>(lba >> 16),
                    static_cast<BYTE>(lba >> 8),
                    static_cast<BYTE>(lba),
                    0,
                    0,
                    static_cast<BYTE>(count),
                    selection};
    return Run(ha, target, lun, cdb, 12, buffer, length, true, 10, mode, device);
}

BOOL scsi_SetCdSpeed(BYTE ha, BYTE target, BYTE lun, BYTE rotation, WORD readSpeed,
                     WORD writeSpeed, int mode, HANDLE device)
{
    BYTE cdb[16] = {0xBB,
                    rotation,
                    static_cast<BYTE>(readSpeed >> 8),
                    static_cast<BYTE>(readSpeed),
                    static_cast<BYTE>(writeSpeed >> 8),
                    static_cast<BYTE>(writeSpeed)};
    return RunShared(ha, target, lun, cdb, 12, 36, 600, mode, device);
}

BOOL scsi_Eject(BYTE ha, BYTE target, BYTE lun, int mode, HANDLE device)
{
    BYTE cdb[16] = {0x1B, 0, 0, 0, 0x02};
    return RunShared(ha, target, lun, cdb, 6, 32, 100, mode, device);
}

BOOL scsi_Load(BYTE ha, BYTE target, BYTE lun, int mode, HANDLE device)
{
    BYTE cdb[16] = {0x1B, 0, 0, 0, 0x03};
    return RunShared(ha, target, lun, cdb, 6, 32, 100, mode, device);
}

BOOL scsi_ReadDiscInformation(BYTE ha, BYTE target, BYTE lun, BYTE* buffer, int length, int mode,
                              HANDLE device)
{
    std::memset(buffer, 0, length);
    BYTE cdb[16] = {0x51, 0, 0, 0, 0, 0, 0, 0, 0x20};
    return Run(ha, target, lun, cdb, 10, buffer, length, true, 10, mode, device);
}

DWORD scsi_ReadCapacity(BYTE ha, BYTE target, BYTE lun, int mode, HANDLE device)
{
    BYTE cdb[16] = {0x25};
    if (!RunShared(ha, target, lun, cdb, 10, 36, 10, mode, device)) return 0;
    return drive_replies::Capacity(g_reply, 36);
}
