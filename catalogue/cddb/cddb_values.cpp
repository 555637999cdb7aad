// The CDDB value classes: the copies their arrays need.
#include "catalogue/cddb/cddb_values.h"

CCDDBSite::CCDDBSite(BOOL bQuery) : m_strCgiPath(bQuery ? "/~cddb/cddb.cgi" : "/~cddb/submit.cgi")
{
}

CCDDBRecord::CCDDBRecord(const CCDDBRecord& other)
{
    *this = other;
}

CCDDBRecord& CCDDBRecord::operator=(const CCDDBRecord& other)
{
    if (this == &other)
        return *this;
    m_arrTrackOffsets.Copy(other.m_arrTrackOffsets);
    m_nDiscLength = other.m_nDiscLength;
    m_nRevision = other.m_nRevision;
    m_strSubmitterName = other.m_strSubmitterName;
    m_strSubmitterVersion = other.m_strSubmitterVersion;
    m_strSubmitterComment = other.m_strSubmitterComment;
    m_dwDiscId = other.m_dwDiscId;
    m_strDiscArtist = other.m_strDiscArtist;
    m_strDiscTitle = other.m_strDiscTitle;
    m_arrTrackTitles.Copy(other.m_arrTrackTitles);
    m_strExtendedData = other.m_strExtendedData;
    m_arrExtendedTrackData.Copy(other.m_arrExtendedTrackData);
    m_arrPlayOrder.Copy(other.m_arrPlayOrder);
    m_nYear = other.m_nYear;
    m_strGenre = other.m_strGenre;
    return *this;
}

CCDDBStatus::CCDDBStatus(const CCDDBStatus& other)
{
    *this = other;
}

CCDDBStatus& CCDDBStatus::operator=(const CCDDBStatus& other)
{
    if (this == &other)
        return *this;
    m_nCurrentProtocol = other.m_nCurrentProtocol;
    m_nMaxProtocol = other.m_nMaxProtocol;
    m_bGets = other.m_bGets;
    m_bUpdates = other.m_bUpdates;
    m_bPosting = other.m_bPosting;
    m_bQuotes = other.m_bQuotes;
    m_nCurrentUsers = other.m_nCurrentUsers;
    m_nMaxUsers = other.m_nMaxUsers;
    m_bStripExt = other.m_bStripExt;
    m_nDatabaseEntries = other.m_nDatabaseEntries;
    m_arrCategoryNames.Copy(other.m_arrCategoryNames);
    m_arrCategoryCounts.Copy(other.m_arrCategoryCounts);
    m_arrPendingNames.Copy(other.m_arrPendingNames);
    m_arrPendingCounts.Copy(other.m_arrPendingCounts);
    return *this;
}
