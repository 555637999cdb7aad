// Opened audio CDs: drive list facade, TOC cache, disc id, reads and eject under the drive
// mutex.
#include "audio/cd/audio_cd.h"

#include <memory>

#include "audio/cd/cd_text_parser.h"
#include "audio/drive/drive_manager.h"

namespace {

constexpr DWORD kOpenWaitMs = 10000;
constexpr DWORD kCommandWaitMs = 1000;
constexpr int kCdTextBufferSize = 16384;

// Written once, by the first successful enumeration of the process.
int g_enumerated = 0;

}  // namespace

CAudioCDManager::CAudioCDManager(BOOL forceAspi)
{
    if (!g_enumerated) g_enumerated = GetDriveTable().Enumerate(forceAspi) ? 1 : 0;
    m_initialized = g_enumerated;
}

int CAudioCDManager::GetDriveCount()
{
    m_error = ERR_NONE;
    if (!m_initialized) {
        m_error = ERR_NOT_INITIALIZED;
        return -1;
    }
    return GetDriveTable().GetDriveCount();
}

BOOL CAudioCDManager::GetDriveName(int index, CString& name)
{
    m_error = ERR_NONE;
    if (!m_initialized) {
        m_error = ERR_NOT_INITIALIZED;
        return FALSE;
    }
    if (index < 0 || index >= GetDriveTable().GetDriveCount()) {
        m_error = ERR_BAD_INDEX;
        return FALSE;
    }
    name = GetDriveTable().GetDriveName(index);
    return TRUE;
}

CAudioCD* CAudioCDManager::OpenCD(int index)
{
    m_error = ERR_NONE;
    if (!m_initialized) {
        m_error = ERR_NOT_INITIALIZED;
        return nullptr;
    }
    if (index < 0 || index >= GetDriveTable().GetDriveCount()) {
        m_error = ERR_BAD_INDEX;
        return nullptr;
    }
    return new CAudioCD(&GetDriveTable(), index);
}

CString CAudioCD::MutexName(int index)
{
    CString name = "CAudioCD_mutex_";
    for (int i = 0; i < index; ++i) name += '1';
    return name;
}

CAudioCD::CAudioCD(CDriveManager* drives, int index) : m_mutex(FALSE, MutexName(index))
{
    if (!Lock(kOpenWaitMs)) {
        m_error = ERR_NOT_OPEN;
        return;
    }
    m_drives = drives;
    m_index = index;
    if (m_drives->OpenDrive(m_index)) {
        m_open = 1;
        m_error = ERR_NONE;
    } else {
        m_error = ERR_CLOSED;
    }
    Unlock();
}

CAudioCD::~CAudioCD() { Close(); }

bool CAudioCD::Lock(DWORD ms) { return m_mutex.Lock(ms) != FALSE; }

void CAudioCD::Unlock() { m_mutex.Unlock(); }

void CAudioCD::Close()
{
    // Gives back this CD's reference to the drive's handle, which other opened CDs may still
    // read through: no drive command runs here, so the drive mutex is not needed.
    m_error = ERR_NONE;
    if (m_open) m_drives->CloseDrive(m_index);
    m_open = 0;
    m_hasToc = 0;
}

int CAudioCD::ReadTOC()
{
    if (!m_open) {
        m_error = ERR_CLOSED;
        return -1;
    }
    m_nextEntry = 1;
    int result = 0;
    if (Lock(kCommandWaitMs)) {
        if (m_drives->ReadToc(m_index)) {
            // Copied under the mutex: the table's CToc is replaced by the next ReadToc.
            const CToc* toc = m_drives->GetToc();
            for (int s = 0; s < toc->GetSessionCount(); ++s) {
                const CTocSession* session = toc->GetSession(s);
                for (int t = 0; t < session->GetTrackCount() && m_nextEntry < kMaxEntries; ++t) {
                    const CTocTrack* track = session->GetTrack(t);
                    m_start[m_nextEntry] = track->GetStartFrames();
                    m_end[m_nextEntry] = track->GetEndFrames();
                    m_length[m_nextEntry] = track->GetLengthFrames();
                    m_audio[m_nextEntry] = track->m_audio;
                    ++m_nextEntry;
                }
            }
            result = 1;
        }
        Unlock();
    }
    m_hasToc = result;
    return result;
}

bool CAudioCD::EntryValid(int n)
{
    m_error = ERR_NONE;
    if (!m_open || !m_hasToc) {
        m_error = ERR_NOT_OPEN;
        return false;
    }
    return true;
}

int CAudioCD::GetTrackCount() { return EntryValid(0) ? m_nextEntry - 1 : -1; }

int CAudioCD::GetTrackType(int n)
{
    if (!EntryValid(n)) return -1;
    return m_audio[n & 0xFF] ? TRACK_AUDIO : TRACK_DATA;
}

int CAudioCD::GetTrackStartLBA(int n) { return EntryValid(n) ? m_start[n & 0xFF] - 150 : -1; }

int CAudioCD::GetTrackEndLBA(int n) { return EntryValid(n) ? m_end[n & 0xFF] - 150 : -1; }

int CAudioCD::GetTrackLength(int n) { return EntryValid(n) ? m_length[n & 0xFF] : -1; }

int CAudioCD::DigitSum(int n)
{
    int sum = 0;
    for (unsigned v = static_cast<unsigned>(n); v; v /= 10) sum += static_cast<int>(v % 10);
    return sum;
}

DWORD CAudioCD::GetCDDBDiscId()
{
    if (!m_open) {
        m_error = ERR_CLOSED;
        return static_cast<DWORD>(-1);
    }
    if (!m_hasToc) {
        m_error = ERR_NOT_OPEN;
        return static_cast<DWORD>(-1);
    }
    unsigned n = static_cast<unsigned>(m_nextEntry - 1) & 0xFF;
    if (n == 0) return 0;
    // Entries hold absolute frames already (LBA + 150).
    unsigned total = 0;
    for (unsigned i = 1; i <= n; ++i) total += DigitSum(static_cast<int>(m_start[i] / 75u));
    unsigned t = static_cast<unsigned>(m_start[n] + m_length[n]) / 75u -
                 static_cast<unsigned>(m_start[1]) / 75u;
    return (total % 255) << 24 | t << 8 | n;
}

BOOL CAudioCD::ReadSectors(DWORD lba, int count, BYTE* buffer, int sectorSize, BYTE selection)
{
    m_error = ERR_NONE;
    if (!m_open || !Lock(kCommandWaitMs)) {
        m_error = ERR_NOT_OPEN;
        return FALSE;
    }
    // Held through all three attempts of the drive table.
    int rc = m_drives->ReadSectors(m_index, lba, count, buffer, sectorSize, selection);
    Unlock();
    if (rc != 0) {
        m_error = ERR_READ;
        return FALSE;
    }
    return TRUE;
}

int CAudioCD::ReadRawCDText(BYTE* buffer, int* size)
{
    if (!m_open) {
        m_error = ERR_CLOSED;
        return -1;
    }
    if (!Lock(kCommandWaitMs)) return 0;
    int total = 0;
    BOOL ok = m_drives->ReadCdText(m_index, *size, buffer, &total);
    *size = total;
    Unlock();
    return ok ? 1 : 0;
}

int CAudioCD::ReadCDText(CAudioCDTextParser* parser)
{
    if (!m_open || !parser) {
        m_error = ERR_CLOSED;
        return -1;
    }
    auto buffer = std::make_unique<BYTE[]>(kCdTextBufferSize);
    int size = kCdTextBufferSize;
    if (ReadRawCDText(buffer.get(), &size) != 1) return 0;
    return parser->Parse(buffer.get(), kCdTextBufferSize) > 0 ? 1 : 0;
}

int CAudioCD::SetSpeed(int readSpeed, int writeSpeed)
{
    if (!m_open) {
        m_error = ERR_CLOSED;
        return -1;
    }
    if (!Lock(kCommandWaitMs)) return 0;
    BOOL ok = m_drives->SetSpeed(m_index, static_cast<WORD>(readSpeed),
                                 static_cast<WORD>(writeSpeed), 0);
    Unlock();
    return ok ? 1 : 0;
}

int CAudioCD::Eject()
{
    m_error = ERR_NONE;
    m_hasToc = 0;
    if (!m_open || !Lock(kCommandWaitMs)) {
        m_error = ERR_NOT_OPEN;
        return 0;
    }
    int result = m_drives->Eject(m_index) ? 1 : 0;
    if (!result) m_error = ERR_EJECT;
    Unlock();
    return result;
}

int CAudioCD::Load()
{
    m_error = ERR_NONE;
    m_hasToc = 0;
    if (!m_open || !Lock(kCommandWaitMs)) {
        m_error = ERR_NOT_OPEN;
        return 0;
    }
    int result = m_drives->Load(m_index) ? 1 : 0;
    if (!result) m_error = ERR_EJECT;
    Unlock();
    return result;
}

BOOL CAudioCD::ReadDiscInfo(DWORD* info, int* sessions, int* lastTrack)
{
    m_error = ERR_NONE;
    if (!m_open || !Lock(kCommandWaitMs)) {
        m_error = ERR_NOT_OPEN;
        return FALSE;
    }
    const BOOL ok = m_drives->ReadDiscInfo(m_index, info, sessions, lastTrack);
    Unlock();
    if (!ok) m_error = ERR_READ;
    return ok;
}

int CAudioCD::GetCapacity()
{
    m_error = ERR_NONE;
    if (!m_open || !Lock(kCommandWaitMs)) {
        m_error = ERR_NOT_OPEN;
        return -1;
    }
    int last = static_cast<int>(m_drives->ReadCapacity(m_index));
    Unlock();
    return last;
}
