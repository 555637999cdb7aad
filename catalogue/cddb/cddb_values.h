// The CDDB client's value classes: a server, a query match, a disc position, a disc record
// and a server status. Plain copyable values; texts are 8-bit in the system code page.
// Classes here: CCDDBSite, CCDDBQueryResult, CCDDBTrackPosition, CCDDBRecord, CCDDBStatus.
#pragma once

#include "framework/core.h"

// One freedb server, as a "sites" line gives it.
class CCDDBSite
{
public:
    // bQuery: 1 gives the query path "/~cddb/cddb.cgi", 0 the submission path.
    explicit CCDDBSite(BOOL bQuery = TRUE);

    CString m_strHost;
    int m_nPort = 80;
    CString m_strCgiPath;
    BOOL m_bNorth = 1;
    int m_nLatitudeMinutes = 0; // degrees * 60 + minutes
    BOOL m_bEast = 1;
    int m_nLongitudeMinutes = 0;
    CString m_strDescription;
    CString m_strProtocol;
};

// One match of a query.
class CCDDBQueryResult
{
public:
    CString m_strCategory;
    DWORD m_dwDiscId = 0;
    CString m_strDiscArtist;
    CString m_strDiscTitle;
};

// A position on the disc: minutes, seconds, frames (1/75 s), lead-in included.
class CCDDBTrackPosition
{
public:
    CCDDBTrackPosition() = default;
    CCDDBTrackPosition(int nMinute, int nSecond, int nFrame)
        : m_nMinute(nMinute), m_nSecond(nSecond), m_nFrame(nFrame)
    {
    }

    int m_nMinute = 0;
    int m_nSecond = 0;
    int m_nFrame = 0;
};

// A disc record as an xmcd text carries it.
class CCDDBRecord
{
public:
    CCDDBRecord() = default;
    CCDDBRecord(const CCDDBRecord& other);
    CCDDBRecord& operator=(const CCDDBRecord& other);

    CArray<int, int> m_arrTrackOffsets; // frames, lead-in included
    int m_nDiscLength = 0;              // seconds
    int m_nRevision = 0;
    CString m_strSubmitterName;
    CString m_strSubmitterVersion;
    CString m_strSubmitterComment;
    DWORD m_dwDiscId = 0;
    CString m_strDiscArtist;
    CString m_strDiscTitle;
    CStringArray m_arrTrackTitles;
    CString m_strExtendedData;
    CStringArray m_arrExtendedTrackData;
    CArray<int, int> m_arrPlayOrder;
    int m_nYear = 0; // 0: none
    CString m_strGenre;
};

// The answer of "stat".
class CCDDBStatus
{
public:
    CCDDBStatus() = default;
    CCDDBStatus(const CCDDBStatus& other);
    CCDDBStatus& operator=(const CCDDBStatus& other);

    int m_nCurrentProtocol = 0;
    int m_nMaxProtocol = 0;
    BOOL m_bGets = 0;
    BOOL m_bUpdates = 0;
    BOOL m_bPosting = 0;
    BOOL m_bQuotes = 0;
    int m_nCurrentUsers = 0;
    int m_nMaxUsers = 0;
    BOOL m_bStripExt = 0;
    int m_nDatabaseEntries = 0;
    CStringArray m_arrCategoryNames;
    CArray<int, int> m_arrCategoryCounts;
    CStringArray m_arrPendingNames;
    CArray<int, int> m_arrPendingCounts;
};

typedef CArray<CCDDBSite, CCDDBSite&> CCDDBSiteArray;
typedef CArray<CCDDBQueryResult, CCDDBQueryResult&> CCDDBQueryResultArray;
typedef CArray<CCDDBTrackPosition, CCDDBTrackPosition&> CCDDBTrackPositionArray;
typedef CArray<CCDDBRecord, CCDDBRecord&> CCDDBRecordArray;
