// The simulated CD drive's MMC command core.
#include "testing/simdrive/sim_drive.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>
#include <vector>

namespace simdrive {

namespace {

SimReply Fail(uint8_t key, uint8_t asc, uint8_t ascq)
{
    SimReply r;
    r.status = kStatusCheckCondition;
    r.sense[0] = 0x70;  // current error, fixed format
    r.sense[2] = key;
    r.sense[7] = 10;  // additional sense length
    r.sense[12] = asc;
    r.sense[13] = ascq;
    return r;
}

SimReply IllegalRequest() { return Fail(0x05, 0x24, 0x00); }  // invalid field in CDB
SimReply NoMedium() { return Fail(0x02, 0x3A, 0x00); }

// Copies a built reply into the caller's buffer, cut to the allocation length and the buffer.
SimReply Give(const std::vector<uint8_t>& reply, size_t allocation, uint8_t* data, size_t size)
{
    SimReply r;
    r.transferred = std::min({reply.size(), allocation, size});
    if (r.transferred) std::memcpy(data, reply.data(), r.transferred);
    return r;
}

void PutMsf(uint8_t* p, int lba)
{
    int f = lba + 150;  // absolute time: the 2-second pregap before LBA 0
    p[0] = static_cast<uint8_t>(f / 4500);
    p[1] = static_cast<uint8_t>(f / 75 % 60);
    p[2] = static_cast<uint8_t>(f % 75);
}

int Be16(const uint8_t* p) { return p[0] << 8 | p[1]; }

std::vector<uint8_t> Inquiry(const SimDisc& d)
{
    std::vector<uint8_t> r(36, 0);
    r[0] = 0x05;  // CD/DVD device
    r[1] = 0x80;  // removable medium
    r[2] = 0x05;
    r[3] = 0x02;  // response data format
    r[4] = 31;    // additional length
    for (int i = 0; i < 8; ++i) r[8 + i] = i < int(d.vendor.size()) ? d.vendor[i] : ' ';
    for (int i = 0; i < 16; ++i) r[16 + i] = i < int(d.product.size()) ? d.product[i] : ' ';
    std::memcpy(&r[32], "1.00", 4);
    return r;
}

std::vector<uint8_t> Configuration()
{
    std::vector<uint8_t> r(20, 0);
    r[3] = 16;   // data length after this field: header rest plus one descriptor
    r[7] = 0x08; // current profile: CD-ROM
    r[9] = 0x01; // feature 0001: Core
    r[10] = 0x0B;
    r[11] = 8;
    r[15] = 0x02;  // physical interface standard: ATAPI
    return r;
}

std::vector<uint8_t> CapabilitiesPage()
{
    std::vector<uint8_t> r(8 + 32, 0);
    r[1] = 32 + 6;  // mode data length
    uint8_t* p = &r[8];
    p[0] = 0x2A;
    p[1] = 30;
    p[2] = 0x07;  // reads CD-R, CD-RW, method 2
    p[3] = 0x00;  // writes nothing
    p[4] = 0x71;  // audio play, mode 2 form 1 and 2, multi-session
    p[5] = 0x23;  // CD-DA commands, accurate stream, ISRC
    p[6] = 0x29;  // tray, eject
    p[8] = 0x1B;  // maximum read speed 7056 kB/s (obsolete field)
    p[9] = 0x90;
    p[12] = 0x08;  // 2048 kB buffer
    return r;
}

std::vector<uint8_t> FullToc(const SimDisc& d)
{
    std::vector<uint8_t> r(4, 0);
    auto add = [&r](int session, int adrCtl, int point, const uint8_t* msf, const uint8_t* pmsf) {
        uint8_t e[11] = {static_cast<uint8_t>(session), static_cast<uint8_t>(adrCtl), 0,
                         static_cast<uint8_t>(point)};
        if (msf) std::memcpy(e + 4, msf, 3);
        std::memcpy(e + 8, pmsf, 3);
        r.insert(r.end(), e, e + 11);
    };
    int n = static_cast<int>(d.sessions.size());
    for (int s = 0; s < n; ++s) {
        const SimSession& ss = d.sessions[s];
        if (ss.tracks.empty()) continue;
        bool anyData = false;
        for (const SimTrack& t : ss.tracks) anyData |= !t.audio;
        int ctl = ss.tracks.front().audio ? 0 : 4;
        uint8_t p[3] = {static_cast<uint8_t>(ss.tracks.front().number),
                        static_cast<uint8_t>(anyData && n > 1 ? 0x20 : 0x00), 0};
        add(s + 1, 0x10 | ctl, 0xA0, nullptr, p);
        uint8_t last[3] = {static_cast<uint8_t>(ss.tracks.back().number), 0, 0};
        add(s + 1, 0x10 | (ss.tracks.back().audio ? 0 : 4), 0xA1, nullptr, last);
        uint8_t lo[3];
        PutMsf(lo, ss.leadOutLba);
        add(s + 1, 0x10 | ctl, 0xA2, nullptr, lo);
        for (const SimTrack& t : ss.tracks) {
            uint8_t start[3];
            PutMsf(start, t.startLba);
            add(s + 1, 0x10 | (t.audio ? 0 : 4), t.number, nullptr, start);
        }
        if (s + 1 < n && !d.sessions[s + 1].tracks.empty()) {
            // B0: where the next session's program area starts; PMSF the last possible lead-out.
            uint8_t next[3], max[3] = {79, 59, 74};
            PutMsf(next, d.sessions[s + 1].tracks.front().startLba);
            add(s + 1, 0x50 | ctl, 0xB0, next, max);
        }
    }
    int length = static_cast<int>(r.size()) - 2;
    r[0] = static_cast<uint8_t>(length >> 8);
    r[1] = static_cast<uint8_t>(length & 0xFF);
    r[2] = 1;
    r[3] = static_cast<uint8_t>(n ? n : 1);
    return r;
}

std::vector<uint8_t> CdTextReply(const SimDisc& d)
{
    std::vector<uint8_t> r(4, 0);
    r.insert(r.end(), d.cdText.begin(), d.cdText.end());
    int length = static_cast<int>(r.size()) - 2;
    r[0] = static_cast<uint8_t>(length >> 8);
    r[1] = static_cast<uint8_t>(length & 0xFF);
    return r;
}

}  // namespace

const SimDisc& SimDrive::Disc(const std::string& imageText)
{
    if (imageText != m_text) {
        m_text = imageText;
        m_hasDisc = m_disc.FromText(imageText) && !m_disc.sessions.empty();
        m_failuresSoFar.clear();
    }
    return m_disc;
}

SimReply SimDrive::Execute(const std::string& imageText, const uint8_t* cdb, size_t cdbLength,
                           uint8_t* data, size_t dataLength)
{
    if (cdbLength < 6) return IllegalRequest();
    if (cdb[0] == 0xBE) {  // READ CD runs outside the lock so overlapping reads can be seen
        {
            std::lock_guard<std::mutex> hold(m_lock);
            Disc(imageText);
        }
        return ReadCd(cdb, data, dataLength);
    }
    std::lock_guard<std::mutex> hold(m_lock);
    Disc(imageText);
    return Dispatch(cdb, cdbLength, data, dataLength);
}

SimReply SimDrive::Dispatch(const uint8_t* cdb, size_t cdbLength, uint8_t* data, size_t size)
{
    const SimDisc& d = m_disc;
    switch (cdb[0]) {
    case 0x00:  // TEST UNIT READY
        return m_hasDisc ? SimReply() : NoMedium();
    case 0x12:  // INQUIRY
        ++m_stats.inquiries;
        return Give(Inquiry(d), cdb[4], data, size);
    case 0x46:  // GET CONFIGURATION
        return Give(Configuration(), Be16(cdb + 7), data, size);
    case 0x5A:  // MODE SENSE(10)
        if ((cdb[2] & 0x3F) != 0x2A) return IllegalRequest();
        return Give(CapabilitiesPage(), Be16(cdb + 7), data, size);
    case 0x43: {  // READ TOC/PMA/ATIP
        if (!m_hasDisc) return NoMedium();
        int format = cdb[2] & 0x0F;
        if (format == 2) return Give(FullToc(d), Be16(cdb + 7), data, size);
        if (format == 5) {
            if (d.cdText.empty()) return Fail(0x05, 0x24, 0x00);
            return Give(CdTextReply(d), Be16(cdb + 7), data, size);
        }
        return IllegalRequest();
    }
    case 0xBB:  // SET CD SPEED
        ++m_stats.speedCommands;
        m_stats.lastReadSpeed = static_cast<uint32_t>(Be16(cdb + 2));
        return SimReply();
    case 0x1B:  // START STOP UNIT: LoEj with Start clear opens the tray, with Start set loads
        if (cdb[4] & 0x02) ++((cdb[4] & 0x01) ? m_stats.loads : m_stats.ejects);
        return SimReply();
    case 0x51: {  // READ DISC INFORMATION: a finalised, non-erasable CD-ROM
        if (!m_hasDisc) return NoMedium();
        std::vector<uint8_t> r(34, 0);
        const int sessions = static_cast<int>(d.sessions.size());
        const SimSession* last = sessions ? &d.sessions.back() : nullptr;
        const int firstInLast = last && !last->tracks.empty() ? last->tracks.front().number : 0;
        const int lastInLast = last && !last->tracks.empty() ? last->tracks.back().number : 0;
        r[1] = 32;                  // length of what follows bytes 0-1
        r[2] = 0x02 | (0x03 << 2);  // disc status complete, last session complete
        r[3] = 1;                   // first track on the disc
        r[4] = static_cast<uint8_t>(sessions), r[9] = static_cast<uint8_t>(sessions >> 8);
        r[5] = static_cast<uint8_t>(firstInLast), r[10] = static_cast<uint8_t>(firstInLast >> 8);
        r[6] = static_cast<uint8_t>(lastInLast), r[11] = static_cast<uint8_t>(lastInLast >> 8);
        r[8] = 0x00;                // CD-DA or CD-ROM
        return Give(r, Be16(cdb + 7), data, size);
    }
    case 0x25: {  // READ CAPACITY
        if (!m_hasDisc) return NoMedium();
        std::vector<uint8_t> r(8, 0);
        int last = d.LastLeadOut() - 1;
        for (int i = 0; i < 4; ++i) r[i] = static_cast<uint8_t>(last >> (24 - 8 * i));
        r[6] = 0x08;  // 2048-byte blocks
        return Give(r, 8, data, size);
    }
    case kOpGetStats: {
        std::vector<uint8_t> r(sizeof(SimStats));
        std::memcpy(r.data(), &m_stats, sizeof(SimStats));
        return Give(r, r.size(), data, size);
    }
    case kOpResetStats:
        m_stats = SimStats();
        m_readLog.clear();
        return SimReply();
    case kOpGetReadLog: {
        std::vector<uint8_t> r(4 + 4 * m_readLog.size());
        uint32_t n = static_cast<uint32_t>(m_readLog.size());
        std::memcpy(r.data(), &n, 4);
        if (n) std::memcpy(r.data() + 4, m_readLog.data(), 4 * m_readLog.size());
        return Give(r, r.size(), data, size);
    }
    default:
        return Fail(0x05, 0x20, 0x00);  // invalid command operation code
    }
}

SimReply SimDrive::ReadCd(const uint8_t* cdb, uint8_t* data, size_t size)
{
    int lba = (cdb[2] << 24) | (cdb[3] << 16) | (cdb[4] << 8) | cdb[5];
    int count = (cdb[6] << 16) | (cdb[7] << 8) | cdb[8];
    int inFlight = ++m_readsInFlight;
    SimReply reply;
    SimDisc layout;  // a copy: the image may change while the read sleeps
    int delay = 0;
    {
        std::lock_guard<std::mutex> hold(m_lock);
        ++m_stats.readCdCommands;
        if (m_readLog.size() < kMaxReadLog) m_readLog.push_back(lba);
        m_stats.maxConcurrentReads =
            std::max(m_stats.maxConcurrentReads, static_cast<uint32_t>(inFlight));
        delay = m_disc.readDelayMs;
        layout.sessions = m_disc.sessions;
        if (!m_hasDisc) {
            reply = NoMedium();
        } else if (lba < 0 || count < 0 || lba + count > m_disc.LastLeadOut()) {
            reply = Fail(0x05, 0x21, 0x00);  // logical block address out of range
        } else {
            for (const SimBadRun& run : m_disc.badRuns) {
                if (run.firstLba >= lba + count || run.firstLba + run.count <= lba) continue;
                int& failed = m_failuresSoFar[run.firstLba];
                if (run.failures < 0 || failed < run.failures) {
                    ++failed;
                    reply = Fail(0x03, 0x11, 0x00);  // medium error: unrecovered read error
                    break;
                }
            }
        }
        if (reply.status != kStatusGood) ++m_stats.readCdFailures;
    }
    if (delay > 0) std::this_thread::sleep_for(std::chrono::milliseconds(delay));
    if (reply.status == kStatusGood) {
        uint8_t sector[kSectorBytes];
        for (int i = 0; i < count; ++i) {
            const SimTrack* t = layout.TrackAt(lba + i);
            int bytes = (t && !t->audio) ? kDataSectorBytes : kSectorBytes;
            if (t && t->audio) {
                SimAudioSector(lba + i, sector);
            } else {
                std::memset(sector, 0, sizeof sector);
                std::memcpy(sector, &lba, sizeof lba);
            }
            size_t n = std::min<size_t>(bytes, size - reply.transferred);
            std::memcpy(data + reply.transferred, sector, n);
            reply.transferred += n;
            if (reply.transferred == size) break;
        }
    }
    --m_readsInFlight;
    return reply;
}

bool SimDrive::TocHeader(const std::string& imageText, int* firstTrack, int* lastTrack)
{
    std::lock_guard<std::mutex> hold(m_lock);
    const SimDisc& d = Disc(imageText);
    if (!m_hasDisc) return false;
    *firstTrack = 99;
    *lastTrack = 0;
    for (const SimSession& s : d.sessions) {
        for (const SimTrack& t : s.tracks) {
            *firstTrack = std::min(*firstTrack, t.number);
            *lastTrack = std::max(*lastTrack, t.number);
        }
    }
    return *lastTrack > 0;
}

bool SimDrive::TocEntry(const std::string& imageText, int track, int* lba, int* control)
{
    std::lock_guard<std::mutex> hold(m_lock);
    const SimDisc& d = Disc(imageText);
    if (!m_hasDisc) return false;
    if (track == 0xAA) {
        *lba = d.LastLeadOut();
        *control = 0;
        return true;
    }
    for (const SimSession& s : d.sessions) {
        for (const SimTrack& t : s.tracks) {
            if (t.number == track) {
                *lba = t.startLba;
                *control = t.audio ? 0 : 4;
                return true;
            }
        }
    }
    return false;
}

SimDrive& TheSimDrive()
{
    static SimDrive drive;
    return drive;
}

}  // namespace simdrive
