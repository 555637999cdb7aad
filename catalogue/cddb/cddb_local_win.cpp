// The CDDB client's local lookups on Windows: the table of contents through the CD-ROM device
// or media control, the drive list, and the local database search.
#include "catalogue/cddb/cddb.h"

#include <mmsystem.h>
#include <winioctl.h>
// ntddcdrm.h needs the device types of winioctl.h first.
#include <ntddcdrm.h>

void CCDDB::ReadTocFromDevice(CCDDBTrackPositionArray& positions, LPCTSTR lpszDrive)
{
    positions.RemoveAll();
    const CString path = CString("\\\\.\\") + lpszDrive;
    HANDLE hDevice =
        CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (hDevice == INVALID_HANDLE_VALUE)
        ThrowCCDDBException(0, CDDB_FACILITY_SYSTEM, "");
    CDROM_TOC toc = {};
    DWORD returned = 0;
    if (!DeviceIoControl(hDevice, IOCTL_CDROM_READ_TOC, nullptr, 0, &toc, sizeof toc, &returned,
                         nullptr)) {
        const DWORD error = GetLastError();
        CloseHandle(hDevice);
        ThrowCCDDBException(error, CDDB_FACILITY_SYSTEM, "");
    }
    CloseHandle(hDevice);
    // The tracks and the lead-out after them must fit the 100 entries of the table.
    const int count = toc.LastTrack - toc.FirstTrack + 1;
    if (count < 1 || count + 1 > MAXIMUM_NUMBER_TRACKS)
        ThrowCCDDBException(ERROR_INVALID_DATA, CDDB_FACILITY_SYSTEM, "");
    positions.SetSize(count + 1);
    for (int i = 0; i <= count; ++i) {
        const UCHAR* a = toc.TrackData[i].Address; // MSF: reserved, minute, second, frame
        positions[i] = CCDDBTrackPosition(a[0] * 60 + a[1], a[2], a[3]);
    }
}

namespace
{
// An open "cdaudio" device, closed on every way out.
class CMciDevice
{
public:
    explicit CMciDevice(LPCTSTR lpszElement)
    {
        MCI_OPEN_PARMSA open = {};
        open.lpstrDeviceType = "cdaudio";
        DWORD flags = MCI_OPEN_TYPE | MCI_OPEN_SHAREABLE;
        if (lpszElement) {
            open.lpstrElementName = lpszElement;
            flags |= MCI_OPEN_ELEMENT;
        }
        const MCIERROR rc = mciSendCommandA(0, MCI_OPEN, flags, reinterpret_cast<DWORD_PTR>(&open));
        if (rc != 0)
            ThrowCCDDBMciException(rc, "");
        m_id = open.wDeviceID;
    }
    ~CMciDevice() { mciSendCommandA(m_id, MCI_CLOSE, MCI_WAIT, 0); }
    CMciDevice(const CMciDevice&) = delete;
    CMciDevice& operator=(const CMciDevice&) = delete;

    void SetMsf()
    {
        MCI_SET_PARMS set = {};
        set.dwTimeFormat = MCI_FORMAT_MSF;
        Check(mciSendCommandA(m_id, MCI_SET, MCI_WAIT | MCI_SET_TIME_FORMAT,
                              reinterpret_cast<DWORD_PTR>(&set)));
    }
    DWORD_PTR Status(DWORD item, DWORD track = 0)
    {
        MCI_STATUS_PARMS status = {};
        status.dwItem = item;
        status.dwTrack = track;
        Check(mciSendCommandA(m_id, MCI_STATUS,
                              MCI_WAIT | MCI_STATUS_ITEM | (track ? MCI_TRACK : 0),
                              reinterpret_cast<DWORD_PTR>(&status)));
        return status.dwReturn;
    }

private:
    static void Check(MCIERROR rc)
    {
        if (rc != 0)
            ThrowCCDDBMciException(rc, "");
    }
    MCIDEVICEID m_id = 0;
};

int MsfFrames(DWORD_PTR msf)
{
    return MCI_MSF_MINUTE(msf) * 4500 + MCI_MSF_SECOND(msf) * 75 + MCI_MSF_FRAME(msf);
}
} // namespace

void CCDDB::ReadTocFromMci(CCDDBTrackPositionArray& positions, LPCTSTR lpszElement)
{
    positions.RemoveAll();
    CMciDevice device(lpszElement);
    device.SetMsf();
    const int tracks = static_cast<int>(device.Status(MCI_STATUS_NUMBER_OF_TRACKS));
    bool audio = false;
    for (int t = 1; t <= tracks && !audio; ++t)
        audio = device.Status(MCI_CDA_STATUS_TYPE_TRACK, t) == MCI_CDA_TRACK_AUDIO;
    if (!audio)
        ThrowCCDDBException(CDDB_E_NO_AUDIO_TRACK, CDDB_FACILITY_CLIENT, "");
    positions.SetSize(tracks + 1);
    for (int t = 1; t <= tracks; ++t) {
        const DWORD_PTR msf = device.Status(MCI_STATUS_POSITION, t);
        positions[t - 1] =
            CCDDBTrackPosition(MCI_MSF_MINUTE(msf), MCI_MSF_SECOND(msf), MCI_MSF_FRAME(msf));
    }
    // The device reports the last track one frame short of the lead-out.
    const int leadOut = MsfFrames(device.Status(MCI_STATUS_POSITION, tracks)) +
                        MsfFrames(device.Status(MCI_STATUS_LENGTH, tracks)) + 1;
    positions[tracks] = CCDDBTrackPosition(leadOut / 4500, leadOut / 75 % 60, leadOut % 75);
}

DWORD CCDDB::GetDiscIdFromDevice(LPCTSTR lpszDrive)
{
    CCDDBTrackPositionArray positions;
    ReadTocFromDevice(positions, lpszDrive);
    return ComputeDiscId(positions);
}

DWORD CCDDB::GetDiscIdFromMci(LPCTSTR lpszElement)
{
    CCDDBTrackPositionArray positions;
    ReadTocFromMci(positions, lpszElement);
    return ComputeDiscId(positions);
}

void CCDDB::ListCdDrives(CStringArray& drives)
{
    drives.RemoveAll();
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        CString root;
        root.Format("%c:\\", letter);
        if (GetDriveTypeA(root) == DRIVE_CDROM)
            drives.Add(root.Left(2));
    }
}

namespace
{
// Calls f(name, full path) for each match of the pattern in the folder.
template <class F> void ForEachEntry(const CString& folder, LPCTSTR lpszPattern, F f)
{
    WIN32_FIND_DATAA data;
    HANDLE hFind = FindFirstFileA(folder + lpszPattern, &data);
    if (hFind == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!f(data))
            break;
    } while (FindNextFileA(hFind, &data));
    FindClose(hFind);
}

int HexByte(const char* p)
{
    int v = 0;
    for (int i = 0; i < 2; ++i) {
        const char c = p[i];
        const int d = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                             : -1;
        if (d < 0)
            return -1;
        v = v * 16 + d;
    }
    return v;
}
} // namespace

BOOL CCDDB::FindInLocalDatabase(LPCTSTR lpszRoot, DWORD dwDiscId, BOOL bOneFilePerDisc,
                                CCDDBRecord& record, CString& strCategory)
{
    const CString root(lpszRoot);
    BOOL bFound = FALSE;
    const int top = static_cast<int>(dwDiscId >> 24);
    auto tryRead = [&](const CString& path, BOOL bSingle) {
        try {
            ReadLocalRecordFile(dwDiscId, path, bSingle, record);
            return true;
        } catch (CCDDBException* e) {
            e->Delete();
            return false;
        }
    };
    ForEachEntry(root, "\\*.*", [&](const WIN32_FIND_DATAA& entry) {
        const CString name(entry.cFileName);
        if (name == "." || name == ".." || !(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            return true;
        const CString folder = root + "\\" + name;
        if (bOneFilePerDisc) {
            CString path;
            path.Format("%s\\%08x", folder.GetString(), static_cast<unsigned>(dwDiscId));
            bFound = tryRead(path, TRUE);
        } else {
            ForEachEntry(folder, "\\??to??", [&](const WIN32_FIND_DATAA& file) {
                const char* title = file.cFileName;
                if (strlen(title) < 6)
                    return true;
                const int first = HexByte(title), last = HexByte(title + 4);
                if (first < 0 || last < 0 || top < first || top > last)
                    return true;
                bFound = tryRead(folder + "\\" + title, FALSE);
                return !bFound;
            });
        }
        if (bFound)
            strCategory = name;
        return !bFound;
    });
    return bFound;
}
