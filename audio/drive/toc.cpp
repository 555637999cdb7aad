// Parsing the full table of contents into sessions and tracks.
#include "audio/drive/toc.h"

int CTocSession::GetTrackLengthFrames(int i) const
{
    if (i < 0 || i >= m_trackCount) return 0;
    int end = i + 1 < m_trackCount ? m_tracks[i + 1]->GetStartFrames() : GetLeadOutFrames();
    return end == 0 ? 0 : end - m_tracks[i]->GetStartFrames();
}

const CTocTrack* CTocSession::GetTrack(int i) const
{
    return i >= 0 && i < m_trackCount ? m_tracks[i].get() : nullptr;
}

const CTocSession* CToc::GetSession(int i) const
{
    return i >= 0 && i < m_sessionCount ? m_sessions[i].get() : nullptr;
}

std::unique_ptr<CToc> CToc::ParseFullToc(const unsigned char* reply, int size)
{
    auto toc = std::make_unique<CToc>();
    if (!reply || size < 4) return toc;
    // Descriptors of 11 bytes from byte 4: 0 session, 1 ADR (high nibble) and CONTROL,
    // 2 TNO, 3 POINT, 4-6 MIN SEC FRAME, 7 zero, 8-10 PMIN PSEC PFRAME.
    int end = (reply[0] << 8 | reply[1]) + 2;
    if (end > size) end = size;
    int nextM = 0, nextS = 0, nextF = 0;  // start of the next session, from pointer B0
    CTocTrack* linked = nullptr;
    for (int at = 4; at + 11 <= end; at += 11) {
        const unsigned char* d = reply + at;
        int adr = d[1] >> 4, control = d[1] & 0x0F, point = d[3];
        CTocSession* session = toc->m_sessionCount ? toc->m_sessions.back().get() : nullptr;
        if (adr == 1 && point == 0xA0) {
            if (toc->m_sessionCount >= kMaxSessions) continue;
            auto s = std::make_unique<CTocSession>();
            s->m_startM = nextM, s->m_startS = nextS, s->m_startF = nextF;
            s->m_firstTrack = d[8];
            s->m_discType = d[9];
            toc->m_sessions.push_back(std::move(s));
            ++toc->m_sessionCount;
            linked = nullptr;
        } else if (adr == 1 && point == 0xA1) {
            if (session) session->m_lastTrack = d[8];
        } else if (adr == 1 && point >= 1 && point <= 99) {
            if (!session || session->m_trackCount >= CTocSession::kMaxTracks) continue;
            auto t = std::make_unique<CTocTrack>();
            t->m_number = point;
            t->m_startM = d[8], t->m_startS = d[9], t->m_startF = d[10];
            if (linked) {
                linked->m_endM = d[8], linked->m_endS = d[9], linked->m_endF = d[10];
            }
            t->m_endM = session->m_leadOutM, t->m_endS = session->m_leadOutS;
            t->m_endF = session->m_leadOutF;
            t->m_audio = (control & 0x04) ? 0 : 1;
            linked = t.get();
            session->m_tracks.push_back(std::move(t));
            ++session->m_trackCount;
        } else if (adr == 1 && point == 0xA2) {
            if (session) {
                session->m_leadOutM = d[8], session->m_leadOutS = d[9];
                session->m_leadOutF = d[10];
            }
            linked = nullptr;
        } else if (adr == 5 && point == 0xB0) {
            nextM = d[4], nextS = d[5], nextF = d[6];
            linked = nullptr;
        }
    }
    return toc;
}
