// The full table of contents of a disc as READ TOC format 2 gives it, parsed into sessions
// and tracks. Times are absolute M:S:F (75 frames a second), 150 frames ahead of the LBA.
// Classes here: CTocTrack, CTocSession, CToc.
#pragma once

#include <memory>
#include <vector>

class CTocTrack {
public:
    int GetStartFrames() const { return m_startM * 4500 + m_startS * 75 + m_startF; }
    int GetEndFrames() const { return m_endM * 4500 + m_endS * 75 + m_endF; }
    int GetLengthFrames() const { return GetEndFrames() - GetStartFrames(); }

    int m_startM = 0, m_startS = 0, m_startF = 0;
    int m_endM = 0, m_endS = 0, m_endF = 0;
    int m_audio = 1;  // 0 for a data track (CONTROL bit 2 set)
    int m_number = 0;
};

class CTocSession {
public:
    static constexpr int kMaxTracks = 128;

    int GetStartFrames() const { return m_startM * 4500 + m_startS * 75 + m_startF; }
    int GetLeadOutFrames() const { return m_leadOutM * 4500 + m_leadOutS * 75 + m_leadOutF; }
    // Track i up to the next track's start, the last one up to the lead-out; 0 for an index
    // out of range or an end of 0.
    int GetTrackLengthFrames(int i) const;
    int GetTrackCount() const { return m_trackCount; }
    const CTocTrack* GetTrack(int i) const;

    int m_startM = 0, m_startS = 0, m_startF = 0;
    int m_leadOutM = 0, m_leadOutS = 0, m_leadOutF = 0;
    int m_trackCount = 0;
    int m_firstTrack = 0;
    int m_lastTrack = 0;
    int m_discType = 0;  // 00 CD-DA or CD-ROM, 10 CD-I, 20 CD-ROM XA
    std::vector<std::unique_ptr<CTocTrack>> m_tracks;
};

class CToc {
public:
    static constexpr int kMaxSessions = 99;

    int GetSessionCount() const { return m_sessionCount; }
    const CTocSession* GetSession(int i) const;

    // Builds a table from a READ TOC format 2 reply of `size` bytes. Descriptors past the
    // reply's length field or past `size` are not read. Never fails: a reply of only the
    // header gives an empty table.
    static std::unique_ptr<CToc> ParseFullToc(const unsigned char* reply, int size);

    int m_sessionCount = 0;
    std::vector<std::unique_ptr<CTocSession>> m_sessions;
};
