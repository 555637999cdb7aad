// The CDDB client's settings, hello, requests and reply parsers: pure text work, no sockets.
#include "catalogue/cddb/cddb.h"
#include "catalogue/cddb/cddb_text.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <winsock2.h>
#else
#include <unistd.h>
#endif

int CddbToInt(LPCTSTR lpsz)
{
    if (!lpsz)
        return 0;
    errno = 0;
    long long v = std::strtoll(lpsz, nullptr, 10);
    if (v > INT_MAX)
        return INT_MAX;
    if (v < INT_MIN)
        return INT_MIN;
    return static_cast<int>(v);
}

DWORD CddbToHex(LPCTSTR lpsz)
{
    if (!lpsz)
        return 0;
    return static_cast<DWORD>(std::strtoull(lpsz, nullptr, 16) & 0xFFFFFFFFu);
}

namespace
{
// The status range every list reply must carry.
bool IsListStatus(int code)
{
    return code >= 210 && code <= 219;
}

// Splits off the next space-separated word from pos (runs of spaces count as one).
bool NextWord(const CString& line, int& pos, CString& word)
{
    while (pos < line.GetLength() && line[pos] == ' ')
        ++pos;
    if (pos >= line.GetLength())
        return false;
    int end = line.Find(' ', pos);
    if (end < 0)
        end = line.GetLength();
    word = line.Mid(pos, end - pos);
    pos = end;
    return true;
}

// "N037.23": hemisphere letter, three digits of degrees, a separator, two of minutes.
bool ParseCoordinate(const CString& text, char positive, char negative, BOOL& bPositive,
                     int& nMinutes)
{
    if (text.GetLength() != 7 || (text[0] != positive && text[0] != negative))
        return false;
    bPositive = text[0] == positive;
    nMinutes = CddbToInt(text.Mid(1, 3)) * 60 + CddbToInt(text.Mid(5, 2));
    return true;
}

bool ParseYesNo(const CString& value, BOOL& flag)
{
    if (value == "yes")
        flag = 1;
    else if (value == "no")
        flag = 0;
    else
        return false;
    return true;
}
} // namespace

CCDDB::CCDDB()
{
    SetHostName("auto");
    SetUserName("auto");
}

void CCDDB::SetProxy(LPCTSTR lpszHost, int nPort, LPCTSTR lpszUser, LPCTSTR lpszPassword)
{
    m_strProxyHost = lpszHost;
    m_nProxyPort = nPort;
    m_strProxyUser = lpszUser;
    m_strProxyPassword = lpszPassword;
}

void CCDDB::SetHostName(LPCTSTR lpszHost)
{
    if (CString(lpszHost) == "auto") {
        char buffer[256] = {};
        if (gethostname(buffer, sizeof buffer) != 0)
            buffer[0] = '\0';
        buffer[sizeof buffer - 1] = '\0';
        m_strHelloHost = buffer;
    } else {
        m_strHelloHost = lpszHost;
    }
    ReplaceNonAlphanumerics(m_strHelloHost);
}

void CCDDB::SetUserName(LPCTSTR lpszUser)
{
    if (CString(lpszUser) == "auto") {
#ifdef _WIN32
        char buffer[257] = {};
        DWORD size = sizeof buffer;
        m_strHelloUser = GetUserNameA(buffer, &size) ? buffer : "Unknown";
#else
        const char* user = std::getenv("USER");
        m_strHelloUser = user && *user ? user : "Unknown";
#endif
    } else {
        m_strHelloUser = lpszUser;
    }
    ReplaceNonAlphanumerics(m_strHelloUser);
}

CString CCDDB::GetHelloString()
{
    CString hello;
    hello.Format("hello=%s+%s+%s+%s&proto=%d", m_strHelloUser.GetString(),
                 m_strHelloHost.GetString(), m_strClientName.GetString(),
                 m_strClientVersion.GetString(), m_nProtocolLevel);
    return hello;
}

void CCDDB::ReplaceNonAlphanumerics(CString& strText)
{
    for (int i = 0; i < strText.GetLength(); ++i) {
        const char c = strText[i];
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            strText.SetAt(i, '_');
    }
}

CString CCDDB::GetProxyHeader(const CCDDBSite& site)
{
    CString header;
    if (!m_strProxyUser.IsEmpty()) {
        CString credentials;
        credentials.Format("%s:%s", m_strProxyUser.GetString(), m_strProxyPassword.GetString());
        header.Format("Proxy-Authorization: Basic %s\r\nHost: %s",
                      AfxBase64Encode(credentials).GetString(), site.m_strHost.GetString());
    } else {
        header.Format("Host: %s", site.m_strHost.GetString());
    }
    return header;
}

CString CCDDB::GetRequest(const CCDDBSite& site, LPCTSTR lpszCommand)
{
    CString request;
    if (m_strProxyHost.IsEmpty())
        request.Format("GET %s?cmd=%s&%s HTTP/1.0\r\n\r\n", site.m_strCgiPath.GetString(),
                       lpszCommand, GetHelloString().GetString());
    else
        request.Format("GET http://%s%s?cmd=%s&%s HTTP/1.0\r\n%s\r\n\r\n",
                       site.m_strHost.GetString(), site.m_strCgiPath.GetString(), lpszCommand,
                       GetHelloString().GetString(), GetProxyHeader(site).GetString());
    return request;
}

DWORD CCDDB::ComputeDiscId(const CCDDBTrackPositionArray& positions)
{
    if (positions.GetSize() < 1)
        return 0;
    const INT_PTR n = positions.GetSize() - 1;
    auto seconds = [&](INT_PTR i) {
        return static_cast<DWORD>(positions[i].m_nMinute * 60 + positions[i].m_nSecond);
    };
    DWORD sum = 0;
    for (INT_PTR i = 0; i < n; ++i)
        for (DWORD s = seconds(i); s > 0; s /= 10)
            sum += s % 10;
    return ((sum % 255) << 24) | ((seconds(n) - seconds(0)) << 8) | static_cast<DWORD>(n & 0xFF);
}

BOOL CCDDB::FindBody(const CString& strReply, CString& strBody)
{
    // The head ends at its first empty line, whichever line end the server uses.
    const int crlf = strReply.Find("\r\n\r\n");
    const int lf = strReply.Find("\n\n");
    if (crlf < 0 && lf < 0)
        return FALSE;
    if (lf >= 0 && (crlf < 0 || lf < crlf))
        strBody = strReply.Mid(lf + 2);
    else
        strBody = strReply.Mid(crlf + 4);
    return TRUE;
}

int CCDDB::GetStatusCode(const CString& strBody)
{
    if (strBody.GetLength() < 3)
        return -1;
    int code = 0;
    for (int i = 0; i < 3 && strBody[i] >= '0' && strBody[i] <= '9'; ++i)
        code = code * 10 + (strBody[i] - '0');
    return code;
}

void CCDDB::SplitColonPair(const CString& strLine, CString& strName, CString& strValue)
{
    const int colon = strLine.Find(':');
    strName = colon < 0 ? strLine : strLine.Left(colon);
    strValue = colon < 0 ? CString() : strLine.Mid(colon + 1);
    strName.Trim();
    strValue.Trim();
}

BOOL CCDDB::NextLine(LPCTSTR& lpszCursor, CString& strLine)
{
    if (!lpszCursor)
        return FALSE;
    const char* lf = std::strchr(lpszCursor, '\n');
    if (!lf) {
        lpszCursor = nullptr;
        return FALSE;
    }
    const char* end = lf > lpszCursor && lf[-1] == '\r' ? lf - 1 : lf;
    strLine = CString(lpszCursor, static_cast<int>(end - lpszCursor));
    lpszCursor = lf + 1;
    return TRUE;
}

CString CCDDB::FilterReceivedText(const CString& strText)
{
    return strText;
}

CString CCDDB::FilterRequest(const CString& strRequest)
{
    return strRequest;
}

BOOL CCDDB::ParseSitesReply(const CString& strBody, CCDDBSiteArray& sites)
{
    if (!IsListStatus(GetStatusCode(strBody)))
        return FALSE;
    LPCTSTR cursor = strBody;
    CString line;
    NextLine(cursor, line); // the status line
    while (NextLine(cursor, line)) {
        if (line == ".")
            continue;
        CCDDBSite site(TRUE);
        if (ParseSiteLine(line, site))
            sites.Add(site);
    }
    return TRUE;
}

BOOL CCDDB::ParseSiteLine(const CString& strLine, CCDDBSite& site)
{
    CString host, protocol, port, path, latitude, longitude;
    int pos = 0;
    if (!NextWord(strLine, pos, host))
        return FALSE;
    if (m_nProtocolLevel >= 3) {
        if (!NextWord(strLine, pos, protocol) || !NextWord(strLine, pos, port) ||
            !NextWord(strLine, pos, path))
            return FALSE;
    } else if (!NextWord(strLine, pos, port)) {
        return FALSE;
    }
    if (!NextWord(strLine, pos, latitude) || !NextWord(strLine, pos, longitude))
        return FALSE;
    if (!ParseCoordinate(latitude, 'N', 'S', site.m_bNorth, site.m_nLatitudeMinutes) ||
        !ParseCoordinate(longitude, 'E', 'W', site.m_bEast, site.m_nLongitudeMinutes))
        return FALSE;
    while (pos < strLine.GetLength() && strLine[pos] == ' ')
        ++pos;
    site.m_strHost = FilterReceivedText(host);
    site.m_strProtocol = FilterReceivedText(protocol);
    site.m_nPort = CddbToInt(port);
    site.m_strCgiPath = FilterReceivedText(path);
    site.m_strDescription = FilterReceivedText(strLine.Mid(pos));
    return TRUE;
}

BOOL CCDDB::ParseLsCatReply(const CString& strBody, CStringArray& categories)
{
    if (!IsListStatus(GetStatusCode(strBody)))
        return FALSE;
    LPCTSTR cursor = strBody;
    CString line;
    NextLine(cursor, line);
    while (NextLine(cursor, line))
        if (!line.IsEmpty() && line != ".")
            categories.Add(FilterReceivedText(line));
    return TRUE;
}

BOOL CCDDB::ParseStatReply(const CString& strBody, CCDDBStatus& status)
{
    if (!IsListStatus(GetStatusCode(strBody)))
        return FALSE;
    LPCTSTR cursor = strBody;
    CString line, name, value;
    NextLine(cursor, line);
    CStringArray* sectionNames = nullptr;
    CArray<int, int>* sectionCounts = nullptr;
    while (NextLine(cursor, line)) {
        if (sectionNames) {
            if (!line.IsEmpty() && line[0] == ' ') {
                if (line.Find(':') >= 0) {
                    SplitColonPair(line, name, value);
                    sectionNames->Add(FilterReceivedText(name));
                    sectionCounts->Add(CddbToInt(value));
                }
                continue;
            }
            sectionNames = nullptr; // the line is handled as an ordinary one
        }
        if (line.Find("Database entries by category:") == 0) {
            sectionNames = &status.m_arrCategoryNames;
            sectionCounts = &status.m_arrCategoryCounts;
            continue;
        }
        if (line.Find("Pending File transmissions:") == 0) {
            sectionNames = &status.m_arrPendingNames;
            sectionCounts = &status.m_arrPendingCounts;
            continue;
        }
        SplitColonPair(line, name, value);
        struct Counter {
            const char* name;
            int* pValue;
            bool bYesNo;
        } counters[] = {
            {"current proto", &status.m_nCurrentProtocol, false},
            {"max proto", &status.m_nMaxProtocol, false},
            {"current users", &status.m_nCurrentUsers, false},
            {"max users", &status.m_nMaxUsers, false},
            {"Database entries", &status.m_nDatabaseEntries, false},
            {"gets", &status.m_bGets, true},
            {"updates", &status.m_bUpdates, true},
            {"posting", &status.m_bPosting, true},
            {"quotes", &status.m_bQuotes, true},
            {"strip ext", &status.m_bStripExt, true},
        };
        for (const Counter& c : counters) {
            if (name != c.name)
                continue;
            if (!c.bYesNo)
                *c.pValue = CddbToInt(value);
            else if (!ParseYesNo(value, *c.pValue))
                return FALSE;
        }
    }
    return TRUE;
}

BOOL CCDDB::ParseQueryReply(const CString& strBody, CCDDBQueryResultArray& results)
{
    const int code = GetStatusCode(strBody);
    if (code == 202)
        return TRUE;
    if (code == 200) {
        if (strBody.GetLength() <= 4)
            return FALSE;
        CCDDBQueryResult result;
        if (!ParseQueryLine(strBody.Mid(4), result))
            return FALSE;
        results.Add(result);
        return TRUE;
    }
    if (!IsListStatus(code))
        return FALSE;
    LPCTSTR cursor = strBody;
    CString line;
    NextLine(cursor, line);
    BOOL bAny = FALSE;
    while (NextLine(cursor, line)) {
        CCDDBQueryResult result;
        if (ParseQueryLine(line, result)) {
            results.Add(result);
            bAny = TRUE;
        }
    }
    return bAny;
}

BOOL CCDDB::ParseQueryLine(const CString& strLine, CCDDBQueryResult& result)
{
    CString category, id;
    int pos = 0;
    if (!NextWord(strLine, pos, category) || !NextWord(strLine, pos, id))
        return FALSE;
    if (pos < strLine.GetLength())
        ++pos; // the separator before the rest
    CString rest = strLine.Mid(pos);
    const int lineEnd = rest.Find('\n');
    if (lineEnd >= 0)
        rest = rest.Left(lineEnd > 0 && rest[lineEnd - 1] == '\r' ? lineEnd - 1 : lineEnd);
    result.m_strCategory = FilterReceivedText(category);
    result.m_dwDiscId = CddbToHex(id);
    // The dtitle is "artist / title"; a bare "/" belongs to a name ("AC/DC").
    const int slash = rest.Find(" / ");
    if (slash >= 0) {
        CString artist = rest.Left(slash), title = rest.Mid(slash + 3);
        result.m_strDiscArtist = FilterReceivedText(artist.Trim());
        result.m_strDiscTitle = FilterReceivedText(title.Trim());
    } else {
        result.m_strDiscArtist.Empty();
        result.m_strDiscTitle = FilterReceivedText(rest);
    }
    return TRUE;
}

BOOL CCDDB::ParseReadReply(const CString& strBody, CCDDBRecord& record)
{
    if (!IsListStatus(GetStatusCode(strBody)))
        return FALSE;
    const int lf = strBody.Find('\n');
    if (lf < 0)
        return FALSE;
    return ParseXmcdRecord(record, strBody.Mid(lf + 1));
}

BOOL CCDDB::ParseMotdReply(const CString& strBody, CString& strMotd)
{
    if (!IsListStatus(GetStatusCode(strBody)))
        return FALSE;
    strMotd.Empty();
    LPCTSTR cursor = strBody;
    CString line;
    NextLine(cursor, line);
    while (NextLine(cursor, line))
        if (line != ".")
            strMotd += line + "\r\n";
    return TRUE;
}

BOOL CCDDB::IsSubmitAccepted(const CString& strBody)
{
    const int code = GetStatusCode(strBody);
    return code >= 200 && code <= 209;
}
