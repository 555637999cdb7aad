// ASPI driver library of the simulated drive: one host adapter with the CD drive at target 1,
// drive letter D:. The disc image is the file named by SONORIA_SIMDRIVE_IMAGE, read again
// for every command, so a test changes discs by rewriting it.
#include <windows.h>

#include <cstring>
#include <string>

#include "audio/drive/aspi_defs.h"
#include "testing/simdrive/sim_drive.h"

namespace {

constexpr BYTE kTarget = 1;
constexpr BYTE kDriveNumber = 3;  // D:

std::string ReadImage()
{
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("SONORIA_SIMDRIVE_IMAGE", path, sizeof path);
    if (n == 0 || n >= sizeof path) return std::string();
    HANDLE f = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return std::string();
    std::string text;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(f, chunk, sizeof chunk, &got, nullptr) && got) text.append(chunk, got);
    CloseHandle(f);
    return text;
}

bool IsOurDevice(BYTE ha, BYTE target, BYTE lun) { return ha == 0 && target == kTarget && lun == 0; }

void Execute(SRB_ExecSCSICmd* srb)
{
    if (!IsOurDevice(srb->SRB_HaId, srb->SRB_Target, srb->SRB_Lun)) {
        srb->SRB_Status = SS_NO_DEVICE;
        return;
    }
    simdrive::SimReply reply = simdrive::TheSimDrive().Execute(
        ReadImage(), srb->CDBByte, srb->SRB_CDBLen, srb->SRB_BufPointer,
        (srb->SRB_Flags & SRB_DIR_OUT) ? 0 : srb->SRB_BufLen);
    srb->SRB_TargStat = reply.status;
    if (reply.status != simdrive::kStatusGood) {
        size_t n = srb->SRB_SenseLen < sizeof reply.sense ? srb->SRB_SenseLen : sizeof reply.sense;
        if (n > sizeof srb->SenseArea) n = sizeof srb->SenseArea;
        std::memcpy(srb->SenseArea, reply.sense, n);
    }
    srb->SRB_Status = reply.status == simdrive::kStatusGood ? SS_COMP : SS_ERR;
}

}  // namespace

extern "C" {

DWORD __cdecl GetASPI32SupportInfo(void)
{
    return static_cast<DWORD>(SS_COMP) << 8 | 1;  // status, one host adapter
}

DWORD __cdecl SendASPI32Command(void* request)
{
    auto* header = static_cast<SRB_Header*>(request);
    switch (header->SRB_Cmd) {
    case SC_HA_INQUIRY: {
        auto* srb = static_cast<SRB_HAInquiry*>(request);
        srb->HA_Count = 1;
        srb->HA_SCSI_ID = 7;
        std::memcpy(srb->HA_ManagerId, "SIMULATED ASPI  ", 16);
        std::memcpy(srb->HA_Identifier, "SIMULATED HOST  ", 16);
        srb->SRB_Status = srb->SRB_HaId == 0 ? SS_COMP : SS_INVALID_HA;
        return srb->SRB_Status;
    }
    case SC_GET_DEV_TYPE: {
        auto* srb = static_cast<SRB_GDEVBlock*>(request);
        bool ours = IsOurDevice(srb->SRB_HaId, srb->SRB_Target, srb->SRB_Lun);
        srb->SRB_DeviceType = ours ? DTYPE_CDROM : 0x1F;
        srb->SRB_Status = ours ? SS_COMP : SS_NO_DEVICE;
        return srb->SRB_Status;
    }
    case SC_GET_DISK_INFO: {
        auto* srb = static_cast<SRB_GetDiskInfo*>(request);
        bool ours = IsOurDevice(srb->SRB_HaId, srb->SRB_Target, srb->SRB_Lun);
        srb->SRB_Int13HDriveInfo = ours ? kDriveNumber : 0;
        srb->SRB_Status = ours ? SS_COMP : SS_NO_DEVICE;
        return srb->SRB_Status;
    }
    case SC_EXEC_SCSI_CMD: {
        auto* srb = static_cast<SRB_ExecSCSICmd*>(request);
        Execute(srb);
        // The caller waits on the event without a limit: signal it whatever happened.
        if ((srb->SRB_Flags & SRB_EVENT_NOTIFY) && srb->SRB_PostProc)
            SetEvent(static_cast<HANDLE>(srb->SRB_PostProc));
        return SS_PENDING;
    }
    default:
        header->SRB_Status = SS_INVALID_CMD;
        return SS_INVALID_CMD;
    }
}

BOOL __cdecl GetASPI32Buffer(void*) { return FALSE; }
BOOL __cdecl FreeASPI32Buffer(void*) { return FALSE; }
BOOL __cdecl TranslateASPI32Address(DWORD*, DWORD*) { return FALSE; }

}  // extern "C"
