// CCDDBException: code composition and error texts.
#include "catalogue/cddb/cddb_exception.h"

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
