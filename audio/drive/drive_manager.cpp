// The drive table: enumeration, capabilities, table of contents, sector reads with retries.
#include "audio/drive/drive_manager.h"

#include <cstdio>
#include <cstring>

#include "audio/drive/scsi_commands.h"

CDriveManager& GetDriveTable()
{
    static CDriveManager table;
    return table;
}

namespace {

constexpr int kTocBufferSize = 1200;
constexpr int kDiscInfoBufferSize = 256;
constexpr int kCapsPageLength = 255;
constexpr int kReadAttempts = 3;
constexpr DWORD kRetryPauseMs = 1000;

void AppendName(char* name, const char* text)
{
    size_t used = std::strlen(name);
    std::snprintf(name + used, 128 - used, "%s", text);
}

}  // namespace

CDriveManager::CDriveManager() { aspi_Init(); }

CDriveManager::~CDriveManager()
{
    // Handles are not closed here: whoever opened a drive closes it.
    if (m_mode == MODE_ASPI) aspi_Unload();
}

CScsiDrive* CDriveManager::GetDrive(int i) const
{
    return i >= 0 && i < kMaxDrives ? m_drives[i].get() : nullptr;
}

const char* CDriveManager::GetDriveName(int i) const
{
    CScsiDrive* d = GetDrive(i);
    return d ? d->m_name : "";
}

BOOL CDriveManager::Enumerate(BOOL forceAspi)
{
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    bool win9x = version.dwMajorVersion < 5 && version.dwPlatformId != VER_PLATFORM_WIN32_NT;
    if (forceAspi || win9x) {
        if (!EnumerateAspi()) return FALSE;
    } else {
        EnumerateSpti();
    }
    m_status = m_driveCount > 0 ? 0 : -1;
    return TRUE;
}

BOOL CDriveManager::EnumerateAspi()
{
    int adapters = aspi_Load(&m_aspiMask);
    if (adapters == 0) {
        MessageBoxA(nullptr,
                    "No CD/DVD libraries found on you computer. The using of the program is "
                    "impossible.",
                    nullptr, MB_OK);
        return FALSE;
    }
    m_mode = MODE_ASPI;
    for (int ha = 0; ha < adapters; ++ha) {
        for (int target = 0; target < 16 && m_driveCount < kMaxDrives; ++target) {
            char text[128];
            if (!aspi_IsCdRom(static_cast<BYTE>(ha), static_cast<BYTE>(target))) continue;
            if (!scsi_Inquiry(static_cast<BYTE>(ha), static_cast<BYTE>(target), 0, text,
                              sizeof text, m_mode, nullptr))
                continue;
            auto drive = std::make_unique<CScsiDrive>(static_cast<BYTE>(ha),
                                                      static_cast<BYTE>(target), 0);
            char letter = aspi_GetDriveLetter(drive->m_ha, drive->m_target, 0);
            if (letter) std::snprintf(drive->m_name, sizeof drive->m_name, "%c: ", letter);
            AppendName(drive->m_name, text);
            char address[64];
            std::snprintf(address, sizeof address, " - [HA: %d, Target: %d, Lun %d]", ha, target,
                          0);
            AppendName(drive->m_name, address);
            m_drives[m_driveCount] = std::move(drive);
            ReadDeviceDetails(m_driveCount);
            ++m_driveCount;
        }
    }
    return TRUE;
}

void CDriveManager::EnumerateSpti()
{
    m_mode = MODE_SPTI;
    char roots[1024] = {};
    GetLogicalDriveStringsA(sizeof roots - 1, roots);
    for (const char* root = roots; *root && m_driveCount < kMaxDrives;
         root += std::strlen(root) + 1) {
        UINT type = GetDriveTypeA(root);
        if (type != DRIVE_CDROM && type != DRIVE_RAMDISK) continue;
        auto drive = std::make_unique<CScsiDrive>(0, 0, 0);
        std::snprintf(drive->m_path, sizeof drive->m_path, "\\\\.\\%c:", root[0]);
        std::snprintf(drive->m_name, sizeof drive->m_name, "%c: ", root[0]);
        // Opened without overlapped I/O: the commands of enumeration complete at once.
        drive->m_device = CreateFileA(drive->m_path, GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
        if (drive->m_device == INVALID_HANDLE_VALUE) {
            drive->m_device = nullptr;
            MessageBoxA(nullptr, "Can't Retrieve CD/DVD Device Model.", nullptr, MB_OK);
        } else {
            char text[128];
            if (scsi_Inquiry(0, 0, 0, text, sizeof text, m_mode, drive->m_device))
                AppendName(drive->m_name, text);
            m_drives[m_driveCount] = std::move(drive);
            ReadDeviceDetails(m_driveCount);
            CloseHandle(m_drives[m_driveCount]->m_device);
            m_drives[m_driveCount]->m_device = nullptr;
            ++m_driveCount;
            continue;
        }
        m_drives[m_driveCount++] = std::move(drive);
    }
}

void CDriveManager::ReadDeviceDetails(int slot)
{
    CScsiDrive* drive = m_drives[slot].get();
    drive->m_interface = drive->GetInterface(m_mode);
    DWORD caps = 0;
    if (!QueryCapabilities(slot, &caps, nullptr, nullptr, nullptr)) return;
    drive->m_writesCdR = (caps & CAP_WRITE_CDR) ? 1 : 0;
    drive->m_writesCdRw = (caps & CAP_WRITE_CDRW) ? 1 : 0;
    drive->m_writesDvdR = (caps & CAP_WRITE_DVDR) ? 1 : 0;
    drive->m_testWrite = (caps & CAP_TEST_WRITE) ? 1 : 0;
    drive->m_writesDvdRam = (caps & CAP_WRITE_DVDRAM) ? 1 : 0;
}

BOOL CDriveManager::QueryCapabilities(int i, DWORD* caps, int* loading, int* bufferSize,
                                      int* writeSpeeds)
{
    if (loading) *loading = 1;
    CScsiDrive* drive = GetDrive(i);
    BYTE reply[kCapsPageLength] = {};
    if (!drive || !drive->QueryCapabilities(m_mode, kCapsPageLength, reply)) return FALSE;
    uint32_t bits = 0;
    drive_replies::CapabilitiesPage(reply, sizeof reply, &bits, loading, bufferSize, writeSpeeds);
    if (caps) *caps = bits;
    return TRUE;
}

BOOL CDriveManager::OpenDrive(int i) { return m_drives[i]->Open(m_mode); }

void CDriveManager::CloseDrive(int i) { m_drives[i]->Close(m_mode); }

BOOL CDriveManager::Eject(int i) { return i >= 0 && i < m_driveCount && m_drives[i]->Eject(m_mode); }

BOOL CDriveManager::Load(int i) { return i >= 0 && i < m_driveCount && m_drives[i]->Load(m_mode); }

BOOL CDriveManager::ReadToc(int i)
{
    BYTE reply[kTocBufferSize];
    if (!m_drives[i]->ReadFullToc(reply, kTocBufferSize, m_mode)) return FALSE;
    m_toc = CToc::ParseFullToc(reply, kTocBufferSize);
    return TRUE;
}

BOOL CDriveManager::ReadCdText(int i, int bufferSize, BYTE* buffer, int* total)
{
    return m_drives[i]->ReadCdText(bufferSize, buffer, total, m_mode);
}

BOOL CDriveManager::SetSpeed(int i, WORD readSpeed, WORD writeSpeed, BYTE rotation)
{
    return m_drives[i]->SetCdSpeed(rotation, readSpeed, writeSpeed, m_mode);
}

int CDriveManager::ReadSectors(int i, DWORD lba, int count, BYTE* buffer, int sectorSize,
                               BYTE selection)
{
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        if (attempt) Sleep(kRetryPauseMs);
        if (m_drives[i]->ReadCd(lba, count, buffer, sectorSize, selection, m_mode)) return 0;
    }
    return 2;
}

DWORD CDriveManager::ReadCapacity(int i) { return m_drives[i]->ReadCapacity(m_mode); }

BOOL CDriveManager::ReadDiscInfo(int i, DWORD* info, int* sessions, int* lastTrack)
{
    BYTE r[kDiscInfoBufferSize];
    if (!m_drives[i]->ReadDiscInformation(r, sizeof r, m_mode)) return FALSE;
    uint32_t bits = 0;
    drive_replies::DiscInformation(r, sizeof r, &bits, sessions, lastTrack);
    if (info) *info = bits;
    return TRUE;
}
