// Single SCSI/MMC commands to CD and DVD drives over two transports: the ASPI driver
// library (mode > 0) and SCSI pass-through on a device handle (mode < 0).
// Every command takes the device address (host adapter, target, LUN), the mode and the
// pass-through handle, and reports success or a value parsed from the reply.
#pragma once

#include <windows.h>

// Transport flags of aspi_Exec.
constexpr int ASPI_FLAG_IN = 1;
constexpr int ASPI_FLAG_OUT = 2;
constexpr int ASPI_FLAG_EVENT = 4;
// Transport flags of win_Exec.
constexpr int SPT_FLAG_IN = 1;
constexpr int SPT_FLAG_OUT = 2;
constexpr int SPT_FLAG_NONE = 4;

// Bits of the export mask aspi_Load reports.
constexpr WORD ASPI_HAS_SEND = 0x01;
constexpr WORD ASPI_HAS_SUPPORT_INFO = 0x02;
constexpr WORD ASPI_HAS_GET_BUFFER = 0x04;
constexpr WORD ASPI_HAS_FREE_BUFFER = 0x08;
constexpr WORD ASPI_HAS_TRANSLATE = 0x10;

// Size of one process-wide reply buffer of the fixed-size commands.
constexpr int SCSI_SHARED_REPLY_SIZE = 256;

// 0 success, 1 no event object, 2 the request did not complete successfully.
int aspi_Exec(BYTE ha, BYTE target, BYTE lun, const BYTE* cdb, int cdbLength, BYTE* buffer,
              DWORD bufferLength, int flags);
// 0 success, 1 no event object, 2 waiting for the pended request failed, 3 DeviceIoControl
// failed, 4 the device answered with a non-zero SCSI status.
int win_Exec(HANDLE device, BYTE ha, BYTE target, BYTE lun, const BYTE* cdb, int cdbLength,
             BYTE* buffer, DWORD bufferLength, DWORD timeoutSeconds, int flags);

BOOL aspi_Init();
// Loads "WNASPI32.DLL"; returns the host adapter count, 0 on any failure. `mask` gets the
// bits of the exports found.
int aspi_Load(WORD* mask);
void aspi_Unload();
BOOL aspi_IsCdRom(BYTE ha, BYTE target);
int aspi_GetDeviceType(BYTE ha, BYTE target);
// The drive letter ASPI reports for the device, 0 when it has none.
char aspi_GetDriveLetter(BYTE ha, BYTE target, BYTE lun);

// Vendor and product of the INQUIRY reply, "VVVVVVVV PPPPPPPPPPPPPPPP", into `text`
// (zeroed to `textSize` first).
BOOL scsi_Inquiry(BYTE ha, BYTE target, BYTE lun, char* text, int textSize, int mode,
                  HANDLE device);
// The Core feature's physical interface standard; 0 on failure.
int scsi_GetInterface(BYTE ha, BYTE target, BYTE lun, int mode, HANDLE device);
BOOL scsi_ModeSense(BYTE ha, BYTE target, BYTE lun, BYTE page, BYTE* buffer, int length,
                    int mode, HANDLE device);
BOOL scsi_ReadFullToc(BYTE ha, BYTE target, BYTE lun, BYTE* buffer, int length, int mode,
                      HANDLE device);
// Two passes: the 4-byte header, then the whole reply; `total` gets the reply's length.
BOOL scsi_ReadCdText(BYTE ha, BYTE target, BYTE lun, int bufferSize, BYTE* buffer, int* total,
                     int mode, HANDLE device);
// `count` is 1 to 255 (one CDB byte); `buffer` holds count x sectorSize bytes.
BOOL scsi_ReadCd(BYTE ha, BYTE target, BYTE lun, DWORD lba, int count, BYTE* buffer,
                 int sectorSize, BYTE selection, int mode, HANDLE device);
BOOL scsi_SetCdSpeed(BYTE ha, BYTE target, BYTE lun, BYTE rotation, WORD readSpeed,
                     WORD writeSpeed, int mode, HANDLE device);
BOOL scsi_Eject(BYTE ha, BYTE target, BYTE lun, int mode, HANDLE device);
BOOL scsi_Load(BYTE ha, BYTE target, BYTE lun, int mode, HANDLE device);
BOOL scsi_ReadDiscInformation(BYTE ha, BYTE target, BYTE lun, BYTE* buffer, int length, int mode,
                              HANDLE device);
// Last logical block address; 0 on failure.
DWORD scsi_ReadCapacity(BYTE ha, BYTE target, BYTE lun, int mode, HANDLE device);
