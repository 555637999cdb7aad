// CCDDBException: code composition and error texts.
#include "catalogue/cddb/cddb_exception.h"

#include "catalogue/cddb/cddb.h"

#ifdef _WIN32
#include <mmsystem.h>
#else
#include <cerrno>
#endif

IMPLEMENT_DYNAMIC(CCDDBException, CException)

CCDDBException::CCDDBException(DWORD dwCode, LPCTSTR lpszResponse)
    : m_bMciError(0), m_dwError(dwCode), m_strResponse(lpszResponse)
{
}

CCDDBException::CCDDBException(DWORD dwCode, DWORD dwFacility, LPCTSTR lpszResponse)
    : m_bMciError(0), m_dwError(0x80000000u | (dwFacility << 16) | dwCode),
      m_strResponse(lpszResponse)
{
}

CCDDBException::CCDDBException(LPCTSTR lpszResponse, DWORD dwMciCode)
    : m_bMciError(1), m_dwError(dwMciCode | 0x80070000u), m_strResponse(lpszResponse)
{
}

CCDDBException::~CCDDBException() = default;

namespace
{

// The request a reply failure belongs to, or null for a code that is not one.
const char* RequestName(DWORD dwCode)
{
    switch (dwCode) {
    case CDDB_E_SITES:
        return "list of servers";
    case CDDB_E_LSCAT:
        return "list of categories";
    case CDDB_E_STAT:
        return "status";
    case CDDB_E_QUERY:
        return "query";
    case CDDB_E_READ:
        return "read";
    case CDDB_E_SUBMIT:
        return "submission";
    case CDDB_E_MOTD:
        return "message of the day";
    default:
        return nullptr;
    }
}

// The status line of an HTTP reply whose status is not 2xx ("HTTP/1.0 407 ..."), at most 80
// characters; empty for anything else.
CString HttpRefusal(const CString& strResponse)
{
    if (strResponse.Left(5) != "HTTP/")
        return CString();
    int end = strResponse.FindOneOf("\r\n");
    if (end < 0)
        end = strResponse.GetLength();
    const CString line = strResponse.Left(end < 80 ? end : 80);
    const int space = line.Find(' ');
    if (space < 0 || line.Mid(space + 1, 1) == "2")
        return CString();
    return line;
}

// The built-in text of the client's own codes 512-524; empty for any other code. A reply
// failure tells from the reply kept so far whether nothing came, too much came, or what came
// was not a whole answer.
CString ClientText(DWORD dwCode, const CString& strResponse)
{
    CString text;
    if (const char* request = RequestName(dwCode)) {
        const CString status = HttpRefusal(strResponse);
        if (strResponse.IsEmpty())
            text.Format("No answer from the server to the %s request in time.", request);
        else if (!status.IsEmpty())
            text.Format("The server refused the %s request: %s", request, status.GetString());
        else if (strResponse.GetLength() > CCDDB::kMaxReplyBytes)
            text.Format("The server's answer to the %s request was too long.", request);
        else
            text.Format("The server's answer to the %s request was incomplete or not understood.",
                        request);
        return text;
    }
    switch (dwCode) {
    case CDDB_E_NO_AUDIO_TRACK:
        return "The disc has no audio track.";
    case CDDB_E_FILE_TOO_LARGE:
        return "The local disc file is too large.";
    case CDDB_E_FILE_EMPTY:
        return "The local disc file is empty.";
    case CDDB_E_BAD_RECORD:
        return "The local disc record is damaged.";
    case CDDB_E_NOT_IN_FILE:
        return "The disc is not in the local disc file.";
    case CDDB_E_CLOSED_EARLY:
        return "The server closed the connection before its answer was complete.";
    default:
        return text;
    }
}

} // namespace

CString CddbSystemMessage(DWORD dwCode)
{
    CString text;
#ifdef _WIN32
    char buffer[4096] = {};
    if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, dwCode,
                       MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer, sizeof buffer,
                       nullptr) != 0)
        text = buffer;
    text.TrimRight(); // system messages end with CR LF
#endif
    return text;
}

BOOL CCDDBException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    const DWORD low = m_dwError & 0xFFFF;
    CString text;
    BOOL bResult;
    if (m_bMciError) {
#ifdef _WIN32
        char buffer[256] = {};
        if (mciGetErrorStringA(low, buffer, sizeof buffer))
            text = buffer;
#endif
        bResult = !text.IsEmpty();
    } else if (((m_dwError >> 16) & 0x1FFF) == CDDB_FACILITY_CLIENT) {
#ifdef _WIN32
        CString format;
        if (format.LoadString(low)) {
            format.Replace("%1", m_strResponse);
            text = format;
        }
#endif
        if (text.IsEmpty())
            text = ClientText(low, m_strResponse);
        bResult = TRUE;
    } else if ((m_dwError & 0xFFFF0000u) == 0 && RequestName(m_dwError)) {
        // A reply failure is no system code: its number would find some unrelated message.
        text = ClientText(m_dwError, m_strResponse);
        bResult = TRUE;
    } else {
        text = CddbSystemMessage(low);
        bResult = !text.IsEmpty();
    }
    CopyMessage(text, lpszError, nMaxError, pnHelpContext);
    return bResult;
}

CString CCDDBException::GetErrorText() const
{
    char buffer[4096] = {};
    GetErrorMessage(buffer, sizeof buffer);
    return CString(buffer);
}

void ThrowCCDDBException(DWORD dwCode, DWORD dwFacility, LPCTSTR lpszResponse)
{
    if (dwCode == 0) {
#ifdef _WIN32
        dwCode = GetLastError();
#else
        dwCode = static_cast<DWORD>(errno);
#endif
    }
    throw new CCDDBException(dwCode, dwFacility, lpszResponse);
}

void ThrowCCDDBReplyException(DWORD dwCode, LPCTSTR lpszResponse)
{
    throw new CCDDBException(dwCode, lpszResponse);
}

void ThrowCCDDBMciException(DWORD dwMciCode, LPCTSTR lpszResponse)
{
    throw new CCDDBException(lpszResponse, dwMciCode);
}
