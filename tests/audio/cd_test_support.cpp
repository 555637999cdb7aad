// Test support for the CD road.
#include "tests/audio/cd_test_support.h"

#include <cstdlib>
#include <string>

#include "audio/cd/audio_cd.h"
#include "audio/drive/scsi_commands.h"

using simdrive::SimDisc;

namespace {

std::string ImagePath()
{
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("SONORIA_SIMDRIVE_IMAGE", path, sizeof path);
    if (n && n < sizeof path) return path;
    // Run outside simdrive-wine: an image of our own, for ASPI only.
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    std::string own = std::string(dir) + "sonoria_simdisc.img";
    SetEnvironmentVariableA("SONORIA_SIMDRIVE_IMAGE", own.c_str());
    return own;
}

// Sends one of the simulated drive's vendor commands through the program's own transport.
bool VendorCommand(Transport t, uint8_t op, void* reply, DWORD size)
{
    CDriveManager& drives = Drives(t);
    CScsiDrive* drive = drives.GetDrive(0);
    if (!drive) return false;
    BYTE cdb[12] = {op};
    BYTE* data = static_cast<BYTE*>(reply);
    if (t == Transport::Aspi)
        return aspi_Exec(drive->m_ha, drive->m_target, drive->m_lun, cdb, 12, data, size,
                         ASPI_FLAG_IN | ASPI_FLAG_EVENT) == 0;
    // A handle of our own, so a CAudioCD's open handle is left alone.
    HANDLE h = CreateFileA(drive->m_path, GENERIC_READ | GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    int rc = win_Exec(h, 0, 0, 0, cdb, 12, data, size, 10, SPT_FLAG_IN);
    CloseHandle(h);
    return rc == 0;
}

}  // namespace

void InsertDisc(const SimDisc& disc)
{
    static const std::string path = ImagePath();
    std::string text = disc.ToText();
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    SetEndOfFile(f);
    CloseHandle(f);
}

Transport RunTransport()
{
    const char* t = std::getenv("SONORIA_TEST_TRANSPORT");
    return t != nullptr && std::string(t) == "passthrough" ? Transport::PassThrough
                                                           : Transport::Aspi;
}

bool PassThroughAvailable() { return std::getenv("SONORIA_SIMDRIVE_DEVICE") != nullptr; }

CDriveManager& Drives(Transport t)
{
    // Enumeration keeps the drive's vendor and model as the disc in the drive then says: put
    // the usual disc in first, whatever an earlier run left in the image (a fresh prefix has
    // an empty image).
    static bool prepared = (InsertDisc(SmallAudioDisc()), true);
    (void)prepared;
    if (t == Transport::Aspi) {
        static CAudioCDManager manager(TRUE);
        return GetDriveTable();
    }
    static CDriveManager spti;
    static bool enumerated = spti.Enumerate(FALSE);
    (void)enumerated;
    return spti;
}

simdrive::SimStats DriveStats(Transport t)
{
    simdrive::SimStats stats = {};
    VendorCommand(t, simdrive::kOpGetStats, &stats, sizeof stats);
    return stats;
}

void ResetDriveStats(Transport t)
{
    BYTE none[4];
    VendorCommand(t, simdrive::kOpResetStats, none, sizeof none);
}

std::vector<int> DriveReadLog(Transport t)
{
    std::vector<int32_t> log(1 + simdrive::kMaxReadLog);
    if (!VendorCommand(t, simdrive::kOpGetReadLog, log.data(),
                       static_cast<DWORD>(log.size() * sizeof(int32_t))))
        return {};
    return std::vector<int>(log.begin() + 1, log.begin() + 1 + log[0]);
}

SimDisc SmallAudioDisc()
{
    SimDisc d;
    d.vendor = "SIMDISC ";
    d.product = "VIRTUAL CD-ROM  ";
    simdrive::SimSession s;
    s.tracks = {{1, true, 0}, {2, true, 300}, {3, true, 700}};
    s.leadOutLba = 1000;
    d.sessions = {s};
    simdrive::SimCdTextBlock block;
    block.items = {{0x80, {"Album", "Song One", "Song Two", "Song Three"}},
                   {0x81, {"Band", "Singer A", "Singer B", "Singer C"}},
                   {0x83, {"", "Writer", "", "Writer Three"}}};
    d.cdText = simdrive::SimBuildCdText({block});
    return d;
}

SimDisc TwoSessionDisc()
{
    SimDisc d = SmallAudioDisc();
    simdrive::SimSession audio, data;
    audio.tracks = {{1, true, 0}, {2, true, 450}};
    audio.leadOutLba = 900;
    data.tracks = {{3, false, 12300}};
    data.leadOutLba = 15000;
    d.sessions = {audio, data};
    return d;
}

std::vector<uint8_t> SectorBytes(int firstLba, int count)
{
    std::vector<uint8_t> out(static_cast<size_t>(count) * simdrive::kSectorBytes);
    for (int i = 0; i < count; ++i)
        simdrive::SimAudioSector(firstLba + i, &out[static_cast<size_t>(i) * simdrive::kSectorBytes]);
    return out;
}
