// The CDDB client's commands over the socket layer: one connection, one request, one reply.
#include "catalogue/cddb/cddb.h"
#include "catalogue/socket/wsocket.h"

#include <memory>
#include <new>

namespace
{
// A status line is judged once it is complete, so that a single-line reply split across pieces
// is read whole; a body that does not begin with three digits is no CDDB reply at all.
bool IsStatusJudgeable(const CString& body)
{
    if (body.Find('\n') >= 0)
        return true;
    if (body.GetLength() < 3)
        return false;
    for (int i = 0; i < 3; ++i)
        if (body[i] < '0' || body[i] > '9')
            return true;
    return false;
}

// Whether `marker` occurs in `text` from `start` on, where each CR LF of the marker also
// matches a bare LF: some servers end their lines with LF alone.
bool HasEndMarker(const CString& text, const CString& marker, int start)
{
    const int n = text.GetLength(), m = marker.GetLength();
    for (int pos = start; pos < n; ++pos) {
        int t = pos, k = 0;
        while (k < m && t < n) {
            if (marker[k] == '\r' && k + 1 < m && marker[k + 1] == '\n' && text[t] == '\n') {
                k += 2;
                ++t;
            } else if (text[t] == marker[k]) {
                ++k;
                ++t;
            } else {
                break;
            }
        }
        if (k == m)
            return true;
    }
    return false;
}
} // namespace

BOOL CCDDB::ReadResponse(CWSocket& socket, LPCTSTR lpszEndMarker, CString& strText, int nMode)
{
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[m_nReceiveBufferSize]);
    if (!buffer || m_nReceiveBufferSize < 2)
        ThrowCCDDBException(14, CDDB_FACILITY_SYSTEM, ""); // not enough memory
    const CString marker(lpszEndMarker);
    const int L = marker.GetLength();
    const ULONGLONG deadline =
        GetTickCount64() +
        static_cast<ULONGLONG>(m_nTimeout > 0 ? m_nTimeout : 0) * kReplyTimeFactor;
    BOOL bFound = FALSE, bMore = TRUE;
    CString body;
    while (!bFound && bMore) {
        if (strText.GetLength() > kMaxReplyBytes || GetTickCount64() > deadline ||
            !socket.IsReadable(static_cast<DWORD>(m_nTimeout > 0 ? m_nTimeout : 0))) {
            m_strLastResponse = strText;
            return FALSE;
        }
        const int n = socket.Receive(buffer.get(), m_nReceiveBufferSize - 1);
        if (n == 0)
            ThrowCCDDBException(CDDB_E_CLOSED_EARLY, CDDB_FACILITY_CLIENT, strText);
        // NUL bytes would end the text early and hide the end marker: they are dropped.
        int kept = 0;
        for (int i = 0; i < n; ++i)
            if (buffer[i] != '\0')
                buffer[kept++] = buffer[i];
        strText.Append(buffer.get(), kept);
        if ((nMode == REPLY_QUERY || nMode == REPLY_SUBMIT) && FindBody(strText, body) && IsStatusJudgeable(body)) {
            // A reply outside 210-219 is one status line without an end marker.
            const int code = GetStatusCode(body);
            if (code < 210 || code > 219)
                bMore = FALSE;
        }
        int start = strText.GetLength() - kept - L + 1;
        if (start < 0)
            start = 0;
        bFound = HasEndMarker(strText, marker, start);
    }
    m_strLastResponse = strText;
    return TRUE;
}

CString CCDDB::RunCommand(const CCDDBSite& site, const CString& strRequest, int nMode, DWORD dwCode)
{
    CString body;
    try {
        CWSocket socket;
        socket.Create();
        if (m_strProxyHost.IsEmpty())
            socket.Connect(site.m_strHost, site.m_nPort);
        else
            socket.Connect(m_strProxyHost, m_nProxyPort);
        socket.Send(strRequest.GetString(), strRequest.GetLength());
        CString reply;
        reply.Preallocate(4096);
        if (!ReadResponse(socket, "\r\n.\r\n", reply, nMode))
            ThrowCCDDBReplyException(dwCode, m_strLastResponse);
        if (!FindBody(reply, body))
            ThrowCCDDBReplyException(dwCode, m_strLastResponse);
    } catch (CWSocketException* e) {
        const DWORD code = static_cast<DWORD>(e->m_nError);
        e->Delete();
        ThrowCCDDBException(code, CDDB_FACILITY_SYSTEM, "");
    }
    return body;
}

void CCDDB::CmdSites(const CCDDBSite& site, CCDDBSiteArray& sites)
{
    sites.RemoveAll();
    const CString body = RunCommand(site, GetRequest(site, "sites"), REPLY_LIST, CDDB_E_SITES);
    if (!ParseSitesReply(body, sites))
        ThrowCCDDBReplyException(CDDB_E_SITES, m_strLastResponse);
}

void CCDDB::CmdSites(LPCTSTR lpszHost, LPCTSTR lpszCgiPath, int nPort, CCDDBSiteArray& sites)
{
    CCDDBSite site(TRUE);
    site.m_strHost = lpszHost;
    site.m_strCgiPath = lpszCgiPath;
    site.m_nPort = nPort;
    CmdSites(site, sites);
}

void CCDDB::CmdLsCat(const CCDDBSite& site, CStringArray& categories)
{
    categories.RemoveAll();
    const CString body = RunCommand(site, GetRequest(site, "cddb+lscat"), REPLY_LIST, CDDB_E_LSCAT);
    if (!ParseLsCatReply(body, categories))
        ThrowCCDDBReplyException(CDDB_E_LSCAT, m_strLastResponse);
}

void CCDDB::CmdStat(const CCDDBSite& site, CCDDBStatus& status)
{
    status = CCDDBStatus();
    const CString body = RunCommand(site, GetRequest(site, "stat"), REPLY_LIST, CDDB_E_STAT);
    if (!ParseStatReply(body, status))
        ThrowCCDDBReplyException(CDDB_E_STAT, m_strLastResponse);
}

void CCDDB::CmdQuery(const CCDDBSite& site, DWORD dwDiscId,
                     const CCDDBTrackPositionArray& positions, CCDDBQueryResultArray& results)
{
    results.RemoveAll();
    const INT_PTR tracks = positions.GetSize() - 1;
    CString offsets;
    for (INT_PTR i = 0; i < tracks; ++i) {
        const CCDDBTrackPosition& p = positions[i];
        offsets.AppendFormat(i == 0 ? "%d" : "+%d",
                             p.m_nMinute * 4500 + p.m_nSecond * 75 + p.m_nFrame);
    }
    const int seconds =
        tracks >= 0 ? positions[tracks].m_nMinute * 60 + positions[tracks].m_nSecond : 0;
    CString command;
    command.Format("cddb+query+%08x+%d+%s+%d", static_cast<unsigned>(dwDiscId),
                   static_cast<int>(tracks < 0 ? 0 : tracks), offsets.GetString(), seconds);
    const CString body = RunCommand(site, GetRequest(site, command), REPLY_QUERY, CDDB_E_QUERY);
    if (!ParseQueryReply(body, results))
        ThrowCCDDBReplyException(CDDB_E_QUERY, m_strLastResponse);
}

void CCDDB::CmdRead(const CCDDBSite& site, DWORD dwDiscId, LPCTSTR lpszCategory,
                    CCDDBRecord& record)
{
    CString command;
    command.Format("cddb+read+%s+%08x", lpszCategory, static_cast<unsigned>(dwDiscId));
    const CString body = RunCommand(site, GetRequest(site, command), REPLY_LIST, CDDB_E_READ);
    if (!ParseReadReply(body, record))
        ThrowCCDDBReplyException(CDDB_E_READ, m_strLastResponse);
    if (record.m_dwDiscId != dwDiscId)
        record.m_dwDiscId = dwDiscId;
}

void CCDDB::CmdSubmit(const CCDDBSite& site, LPCTSTR lpszCategory, LPCTSTR lpszEmail,
                      const CCDDBRecord& record, LPCTSTR lpszNote, BOOL bSubmit)
{
    const CString body = FormatXmcdRecord(record);
    CString request;
    if (m_strProxyHost.IsEmpty())
        request.Format("POST %s HTTP/1.0\r\nCategory: ", site.m_strCgiPath.GetString());
    else
        request.Format("POST http://%s%s HTTP/1.0\r\n%s\r\nCategory: ", site.m_strHost.GetString(),
                       site.m_strCgiPath.GetString(), GetProxyHeader(site).GetString());
    request += CString(lpszCategory) + "\r\n";
    request.AppendFormat("Discid: %08x\r\n", static_cast<unsigned>(record.m_dwDiscId));
    request.AppendFormat("User-Email: %s\r\n", lpszEmail);
    request += bSubmit ? "Submit-Mode: submit\r\n" : "Submit-Mode: test\r\n";
    request += "Charset: ISO-8859-1\r\n";
    request.AppendFormat("X-Cddbd-Note: %s\r\n", lpszNote);
    request.AppendFormat("Content-Length: %d\r\n\r\n", body.GetLength());
    request += body;
    const CString reply = RunCommand(site, FilterRequest(request), REPLY_SUBMIT, CDDB_E_SUBMIT);
    if (!IsSubmitAccepted(reply))
        ThrowCCDDBReplyException(CDDB_E_SUBMIT, m_strLastResponse);
}

void CCDDB::CmdMotd(const CCDDBSite& site, CString& strMotd)
{
    const CString body = RunCommand(site, GetRequest(site, "motd"), REPLY_LIST, CDDB_E_MOTD);
    if (!ParseMotdReply(body, strMotd))
        ThrowCCDDBReplyException(CDDB_E_MOTD, m_strLastResponse);
}

void CCDDB::CmdMotd(LPCTSTR lpszHost, LPCTSTR lpszCgiPath, int nPort, CString& strMotd)
{
    CCDDBSite site(TRUE);
    site.m_strHost = lpszHost;
    site.m_strCgiPath = lpszCgiPath;
    site.m_nPort = nPort;
    CmdMotd(site, strMotd);
}
