// The CDDB protocol client (level 5 over HTTP 1.0, optionally through an HTTP proxy): one
// connection per command, replies parsed into the value classes; its xmcd reader and writer;
// its local lookups (table of contents from the drive, drive list, local database).
// Every failure leaves a command as a thrown CCDDBException*.
#pragma once

#include "catalogue/cddb/cddb_exception.h"
#include "catalogue/cddb/cddb_values.h"

class CWSocket;

class CCDDB
{
public:
    CCDDB();
    CCDDB(const CCDDB&) = delete;
    CCDDB& operator=(const CCDDB&) = delete;

    void SetProtocolLevel(int nLevel) { m_nProtocolLevel = nLevel; }
    void SetClientName(LPCTSTR lpszName) { m_strClientName = lpszName; }
    void SetClientVersion(LPCTSTR lpszVersion) { m_strClientVersion = lpszVersion; }
    void SetTimeout(int nMilliseconds) { m_nTimeout = nMilliseconds; }
    // An empty host switches the proxy off.
    void SetProxy(LPCTSTR lpszHost, int nPort, LPCTSTR lpszUser, LPCTSTR lpszPassword);
    // "auto" asks the system; the stored word is then made safe for the hello.
    void SetHostName(LPCTSTR lpszHost);
    void SetUserName(LPCTSTR lpszUser);
    CString GetHelloHost() const { return m_strHelloHost; }
    CString GetHelloUser() const { return m_strHelloUser; }
    int GetProtocolLevel() const { return m_nProtocolLevel; }
    int GetTimeout() const { return m_nTimeout; }
    const CString& GetLastResponse() const { return m_strLastResponse; }

    // Commands: each connects, sends one request and reads one reply; the out values are
    // emptied first. Failures throw CCDDBException*.
    void CmdSites(const CCDDBSite& site, CCDDBSiteArray& sites);
    void CmdSites(LPCTSTR lpszHost, LPCTSTR lpszCgiPath, int nPort, CCDDBSiteArray& sites);
    void CmdLsCat(const CCDDBSite& site, CStringArray& categories);
    void CmdStat(const CCDDBSite& site, CCDDBStatus& status);
    // Positions: every track, then the lead-out, lead-in included.
    void CmdQuery(const CCDDBSite& site, DWORD dwDiscId, const CCDDBTrackPositionArray& positions,
                  CCDDBQueryResultArray& results);
    void CmdRead(const CCDDBSite& site, DWORD dwDiscId, LPCTSTR lpszCategory, CCDDBRecord& record);
    void CmdSubmit(const CCDDBSite& site, LPCTSTR lpszCategory, LPCTSTR lpszEmail,
                   const CCDDBRecord& record, LPCTSTR lpszNote, BOOL bSubmit);
    void CmdMotd(const CCDDBSite& site, CString& strMotd);
    void CmdMotd(LPCTSTR lpszHost, LPCTSTR lpszCgiPath, int nPort, CString& strMotd);

    static DWORD ComputeDiscId(const CCDDBTrackPositionArray& positions);

    // The xmcd text of a submission, at this client's protocol level.
    CString FormatXmcdRecord(const CCDDBRecord& record);

    // Local lookups.
    void ReadTocFromDevice(CCDDBTrackPositionArray& positions, LPCTSTR lpszDrive);
    void ReadTocFromMci(CCDDBTrackPositionArray& positions, LPCTSTR lpszElement);
    DWORD GetDiscIdFromDevice(LPCTSTR lpszDrive);
    DWORD GetDiscIdFromMci(LPCTSTR lpszElement);
    void ListCdDrives(CStringArray& drives);
    BOOL FindInLocalDatabase(LPCTSTR lpszRoot, DWORD dwDiscId, BOOL bOneFilePerDisc,
                             CCDDBRecord& record, CString& strCategory);

    // How a command's reply ends (the nMode of ReadResponse).
    enum ReplyMode {
        REPLY_LIST = 0,   // at the end marker: every command but the two below
        REPLY_QUERY = 1,  // at the end marker, or after a status line outside 210-219
        REPLY_SUBMIT = 2, // as a query
    };

    // Customisation points, in this order.
    virtual CString GetHelloString();
    // Reads one reply until the end marker (a ReplyMode says which replies end earlier). FALSE
    // when no data came within the timeout (the text so far is kept in m_strLastResponse);
    // throws 524 when the server closes early.
    virtual BOOL ReadResponse(CWSocket& socket, LPCTSTR lpszEndMarker, CString& strText, int nMode);
    virtual void EscapeXmcdValue(CString& strText);
    virtual void ReplaceNonAlphanumerics(CString& strText);
    // The text after the first blank line; FALSE when there is none.
    virtual BOOL FindBody(const CString& strReply, CString& strBody);
    // The number the first three characters begin with; -1 for fewer than three.
    virtual int GetStatusCode(const CString& strBody);
    virtual void SplitColonPair(const CString& strLine, CString& strName, CString& strValue);
    virtual BOOL ParseSitesReply(const CString& strBody, CCDDBSiteArray& sites);
    virtual BOOL ParseSiteLine(const CString& strLine, CCDDBSite& site);
    virtual BOOL ParseLsCatReply(const CString& strBody, CStringArray& categories);
    virtual BOOL ParseStatReply(const CString& strBody, CCDDBStatus& status);
    virtual BOOL ParseQueryReply(const CString& strBody, CCDDBQueryResultArray& results);
    virtual BOOL ParseQueryLine(const CString& strLine, CCDDBQueryResult& result);
    virtual BOOL ParseReadReply(const CString& strBody, CCDDBRecord& record);
    // The record is reset first and keeps what was read even when the result is FALSE.
    virtual BOOL ParseXmcdRecord(CCDDBRecord& record, const CString& strText);
    virtual void ReadLocalRecordFile(DWORD dwDiscId, LPCTSTR lpszPath, BOOL bSingleRecord,
                                     CCDDBRecord& record);
    virtual BOOL ParseMotdReply(const CString& strBody, CString& strMotd);
    virtual BOOL IsSubmitAccepted(const CString& strBody);
    virtual CString GetProxyHeader(const CCDDBSite& site);
    // KEY=value lines of one key, escaped, each at most 254 characters before its CR LF.
    virtual CString FormatXmcdLine(LPCTSTR lpszKey, const CString& strValue);
    virtual CString FilterReceivedText(const CString& strText);
    virtual CString FilterRequest(const CString& strRequest);
    // The next line (CR LF or LF ended) from the cursor, which moves past it. A fragment
    // without a line end is not returned: the cursor becomes null and FALSE comes back.
    virtual BOOL NextLine(LPCTSTR& lpszCursor, CString& strLine);
    virtual BOOL IsCommentLine(const CString& strLine, CString& strComment);
    virtual BOOL SplitKeyValue(const CString& strLine, CString& strKey, CString& strValue);

    // A reply is never taken past these: a server that keeps sending (or sends a reply that
    // never ends) fails the command like a timeout.
    static const int kMaxReplyBytes = 4 * 1024 * 1024;
    static const int kReplyTimeFactor = 4; // the whole reply within this many timeouts

protected:
    // Connects, sends the request, reads the reply and returns its body; throws dwCode when
    // the reply is missing or has no body. Socket failures become facility-7 exceptions.
    CString RunCommand(const CCDDBSite& site, const CString& strRequest, int nMode, DWORD dwCode);
    CString GetRequest(const CCDDBSite& site, LPCTSTR lpszCommand);

    CString m_strLastResponse;
    int m_nTimeout = 60000;
    int m_nReceiveBufferSize = 1024;
    CString m_strClientName = "RizIDAD";
    CString m_strClientVersion = "1.31";
    int m_nProtocolLevel = 5;
    CString m_strProxyHost;
    int m_nProxyPort = 80;
    CString m_strProxyUser;
    CString m_strProxyPassword;
    CString m_strHelloHost;
    CString m_strHelloUser;
};
