// ASPI request blocks and entry points, shared by the program and the ASPI driver library.
// The layouts are natural-alignment structures: on x64 the pointer fields move the later
// fields, so everything is filled by field name, never by 32-bit byte offsets.
// Classes here: SRB_Header, SRB_HAInquiry, SRB_GDEVBlock, SRB_ExecSCSICmd, SRB_GetDiskInfo.
#pragma once

#include <windows.h>

#include <cstddef>

// SRB_Cmd values.
constexpr BYTE SC_HA_INQUIRY = 0x00;
constexpr BYTE SC_GET_DEV_TYPE = 0x01;
constexpr BYTE SC_EXEC_SCSI_CMD = 0x02;
constexpr BYTE SC_GET_DISK_INFO = 0x06;

// SRB_Status values.
constexpr BYTE SS_PENDING = 0x00;
constexpr BYTE SS_COMP = 0x01;
constexpr BYTE SS_ERR = 0x04;
constexpr BYTE SS_INVALID_CMD = 0x80;
constexpr BYTE SS_INVALID_HA = 0x81;
constexpr BYTE SS_NO_DEVICE = 0x82;

// SRB_Flags of an execute request.
constexpr BYTE SRB_DIR_IN = 0x08;
constexpr BYTE SRB_DIR_OUT = 0x10;
constexpr BYTE SRB_EVENT_NOTIFY = 0x40;

constexpr BYTE ASPI_SENSE_LEN = 14;
constexpr BYTE DTYPE_CDROM = 0x05;

struct SRB_Header {
    BYTE SRB_Cmd;
    BYTE SRB_Status;
    BYTE SRB_HaId;
    BYTE SRB_Flags;
    DWORD SRB_Hdr_Rsvd;
};

struct SRB_HAInquiry {
    BYTE SRB_Cmd;
    BYTE SRB_Status;
    BYTE SRB_HaId;
    BYTE SRB_Flags;
    DWORD SRB_Hdr_Rsvd;
    BYTE HA_Count;
    BYTE HA_SCSI_ID;
    BYTE HA_ManagerId[16];
    BYTE HA_Identifier[16];
    BYTE HA_Unique[16];
    WORD HA_Rsvd1;
};

struct SRB_GDEVBlock {
    BYTE SRB_Cmd;
    BYTE SRB_Status;
    BYTE SRB_HaId;
    BYTE SRB_Flags;
    DWORD SRB_Hdr_Rsvd;
    BYTE SRB_Target;
    BYTE SRB_Lun;
    BYTE SRB_DeviceType;
    BYTE SRB_Rsvd1;
};

struct SRB_ExecSCSICmd {
    BYTE SRB_Cmd;
    BYTE SRB_Status;
    BYTE SRB_HaId;
    BYTE SRB_Flags;
    DWORD SRB_Hdr_Rsvd;
    BYTE SRB_Target;
    BYTE SRB_Lun;
    WORD SRB_Rsvd1;
    DWORD SRB_BufLen;
    BYTE* SRB_BufPointer;
    BYTE SRB_SenseLen;
    BYTE SRB_CDBLen;
    BYTE SRB_HaStat;
    BYTE SRB_TargStat;  // the device's SCSI status byte
    void* SRB_PostProc;  // with SRB_EVENT_NOTIFY: the event the driver signals at completion
    void* SRB_Rsvd3;
    BYTE SRB_Rsvd4[16];
    BYTE CDBByte[16];
    BYTE SenseArea[ASPI_SENSE_LEN + 2];
};

struct SRB_GetDiskInfo {
    BYTE SRB_Cmd;
    BYTE SRB_Status;
    BYTE SRB_HaId;
    BYTE SRB_Flags;
    DWORD SRB_Hdr_Rsvd;
    BYTE SRB_Target;
    BYTE SRB_Lun;
    BYTE SRB_DriveFlags;
    BYTE SRB_Int13HDriveInfo;  // the drive number: 0 is A:
    BYTE SRB_Heads;
    BYTE SRB_Sectors;
    BYTE SRB_Rsvd1[10];
};

// The device-type and disk-info requests keep their 32-bit sizes; the execute request grows
// with its two pointers.
static_assert(sizeof(SRB_GDEVBlock) == 12);
static_assert(offsetof(SRB_GDEVBlock, SRB_DeviceType) == 10);
static_assert(sizeof(SRB_GetDiskInfo) == 24);
static_assert(offsetof(SRB_GetDiskInfo, SRB_Int13HDriveInfo) == 11);
static_assert(offsetof(SRB_ExecSCSICmd, SRB_BufPointer) == 16);
static_assert(offsetof(SRB_ExecSCSICmd, CDBByte) + 16 == offsetof(SRB_ExecSCSICmd, SenseArea));
static_assert(sizeof(void*) != 8 || sizeof(SRB_ExecSCSICmd) == 96);

// The driver library's entry points: plain cdecl names, exported undecorated.
extern "C" {
typedef DWORD(__cdecl* PFN_GetASPI32SupportInfo)(void);
typedef DWORD(__cdecl* PFN_SendASPI32Command)(void* srb);
typedef BOOL(__cdecl* PFN_GetASPI32Buffer)(void* buffer);
typedef BOOL(__cdecl* PFN_FreeASPI32Buffer)(void* buffer);
typedef BOOL(__cdecl* PFN_TranslateASPI32Address)(DWORD* path, DWORD* devNode);
}
