// The freedb facade: whole operations against a freedb server given by host name, each on a
// fresh CDDB client. Nothing is thrown for CDDB or socket failures: they give -1 and a kept
// error text.
#pragma once

#include "catalogue/cddb/cddb.h"

class CFreedbMgr
{
public:
    CFreedbMgr(LPCTSTR lpszClientName, LPCTSTR lpszClientVersion);
    virtual ~CFreedbMgr();

    void SetClientName(LPCTSTR lpszName) { m_strClientName = lpszName; }
    void SetClientVersion(LPCTSTR lpszVersion) { m_strClientVersion = lpszVersion; }
    void SetProxyHost(LPCTSTR lpszHost) { m_strProxyHost = lpszHost; }
    void SetProxyPort(LPCTSTR lpszPort) { m_strProxyPortText = lpszPort; }
    void SetProxyUser(LPCTSTR lpszUser) { m_strProxyUser = lpszUser; }
    void SetProxyPassword(LPCTSTR lpszPassword) { m_strProxyPassword = lpszPassword; }
    void SetTimeout(int nMilliseconds) { m_nTimeout = nMilliseconds; }
    CString GetLastErrorText() const { return m_strLastError; }

    // The number of matches (0: none), or -1.
    int Query(LPCTSTR lpszServer, DWORD dwDiscId, const CCDDBTrackPositionArray& positions,
              CCDDBQueryResultArray& results);
    // 1, or -1.
    int Read(LPCTSTR lpszServer, DWORD dwDiscId, LPCTSTR lpszCategory, CCDDBRecord& record);
    // The number of records read (0: no match or no read succeeded), or -1 when the query
    // failed.
    int QueryAndRead(LPCTSTR lpszServer, DWORD dwDiscId, const CCDDBTrackPositionArray& positions,
                     CCDDBRecordArray& records);
    // The number of servers, or -1 (the array is then left as it was); host names only.
    int GetSites(LPCTSTR lpszServer, CStringArray& hosts);
    // 1, or -1.
    int Submit(LPCTSTR lpszServer, LPCTSTR lpszCategory, LPCTSTR lpszEmail,
               const CCDDBRecord& record, LPCTSTR lpszNote);
    DWORD ComputeDiscId(const CCDDBTrackPositionArray& positions);
    // At most 100 entries (tracks, then the lead-out).
    int QueryFromArrays(LPCTSTR lpszServer, DWORD dwDiscId, int nEntries, const int* pMinutes,
                        const int* pSeconds, const int* pFrames, CCDDBQueryResultArray& results);
    int QueryAndReadWithFallback(LPCTSTR lpszServer, LPCTSTR lpszSecondServer, DWORD dwDiscId,
                                 const CCDDBTrackPositionArray& positions,
                                 CCDDBRecordArray& records);

protected:
    void ApplySettings(CCDDB& client);
    // Runs one command; a CCDDBException becomes -1 and the kept text.
    template <class F> int Run(F command);

    CString m_strClientName;
    CString m_strClientVersion;
    CString m_strProxyHost;
    CString m_strProxyPortText;
    CString m_strProxyUser;
    CString m_strProxyPassword;
    int m_nTimeout;
    CString m_strLastError;
};
