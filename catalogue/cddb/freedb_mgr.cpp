// CFreedbMgr: one CDDB client per operation, failures turned into -1 and a text.
#include "catalogue/cddb/freedb_mgr.h"
#include "catalogue/cddb/cddb_text.h"

namespace
{
CCDDBSite SiteFor(LPCTSTR lpszServer, BOOL bQuery)
{
    CCDDBSite site(bQuery);
    site.m_strHost = lpszServer;
    site.m_nPort = 80;
    return site;
}
} // namespace

CFreedbMgr::CFreedbMgr(LPCTSTR lpszClientName, LPCTSTR lpszClientVersion) : m_nTimeout(90)
{
    SetClientName(lpszClientName);
    SetClientVersion(lpszClientVersion);
}

CFreedbMgr::~CFreedbMgr() = default;

void CFreedbMgr::ApplySettings(CCDDB& client)
{
    client.SetClientName(m_strClientName);
    client.SetClientVersion(m_strClientVersion);
    // A port text that is empty or not a number gives port 0.
    client.SetProxy(m_strProxyHost, CddbToInt(m_strProxyPortText), m_strProxyUser,
                    m_strProxyPassword);
    client.SetProtocolLevel(5);
}

template <class F> int CFreedbMgr::Run(F command)
{
    m_strLastError.Empty();
    try {
        return command();
    } catch (CCDDBException* e) {
        m_strLastError = e->GetErrorText();
        e->Delete();
        return -1;
    }
}

int CFreedbMgr::Query(LPCTSTR lpszServer, DWORD dwDiscId, const CCDDBTrackPositionArray& positions,
                      CCDDBQueryResultArray& results)
{
    return Run([&] {
        CCDDB client;
        ApplySettings(client);
        client.SetTimeout(m_nTimeout);
        client.CmdQuery(SiteFor(lpszServer, TRUE), dwDiscId, positions, results);
        return static_cast<int>(results.GetSize());
    });
}

int CFreedbMgr::Read(LPCTSTR lpszServer, DWORD dwDiscId, LPCTSTR lpszCategory, CCDDBRecord& record)
{
    return Run([&] {
        CCDDB client;
        ApplySettings(client);
        client.CmdRead(SiteFor(lpszServer, TRUE), dwDiscId, lpszCategory, record);
        return 1;
    });
}

int CFreedbMgr::QueryAndRead(LPCTSTR lpszServer, DWORD dwDiscId,
                             const CCDDBTrackPositionArray& positions, CCDDBRecordArray& records)
{
    m_strLastError.Empty();
    records.RemoveAll();
    CCDDBQueryResultArray matches;
    const int found = Query(lpszServer, dwDiscId, positions, matches);
    if (found <= 0)
        return found;
    for (INT_PTR i = 0; i < matches.GetSize(); ++i) {
        CCDDBRecord record;
        if (Read(lpszServer, matches[i].m_dwDiscId, matches[i].m_strCategory, record) == 1)
            records.Add(record);
    }
    return static_cast<int>(records.GetSize());
}

int CFreedbMgr::GetSites(LPCTSTR lpszServer, CStringArray& hosts)
{
    return Run([&] {
        CCDDB client;
        ApplySettings(client);
        CCDDBSiteArray sites;
        client.CmdSites(SiteFor(lpszServer, TRUE), sites);
        hosts.RemoveAll();
        for (INT_PTR i = 0; i < sites.GetSize(); ++i)
            hosts.Add(sites[i].m_strHost);
        return static_cast<int>(sites.GetSize());
    });
}

int CFreedbMgr::Submit(LPCTSTR lpszServer, LPCTSTR lpszCategory, LPCTSTR lpszEmail,
                       const CCDDBRecord& record, LPCTSTR lpszNote)
{
    return Run([&] {
        CCDDB client;
        ApplySettings(client);
        client.CmdSubmit(SiteFor(lpszServer, FALSE), lpszCategory, lpszEmail, record, lpszNote,
                         TRUE);
        return 1;
    });
}

DWORD CFreedbMgr::ComputeDiscId(const CCDDBTrackPositionArray& positions)
{
    return CCDDB::ComputeDiscId(positions);
}

int CFreedbMgr::QueryFromArrays(LPCTSTR lpszServer, DWORD dwDiscId, int nEntries,
                                const int* pMinutes, const int* pSeconds, const int* pFrames,
                                CCDDBQueryResultArray& results)
{
    if (nEntries > 100)
        nEntries = 100;
    CCDDBTrackPositionArray positions;
    for (int i = 0; i < nEntries; ++i) {
        CCDDBTrackPosition p(pMinutes[i], pSeconds[i], pFrames[i]);
        positions.Add(p);
    }
    return Query(lpszServer, dwDiscId, positions, results);
}

int CFreedbMgr::QueryAndReadWithFallback(LPCTSTR lpszServer, LPCTSTR lpszSecondServer,
                                         DWORD dwDiscId, const CCDDBTrackPositionArray& positions,
                                         CCDDBRecordArray& records)
{
    const int result = QueryAndRead(lpszServer, dwDiscId, positions, records);
    if (result == -1 && lpszSecondServer && *lpszSecondServer)
        return QueryAndRead(lpszSecondServer, dwDiscId, positions, records);
    return result;
}
