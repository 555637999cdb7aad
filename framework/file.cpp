// CFile's portable half (the platform halves are file_win.cpp and file_posix.cpp),
// CStdioFile and CMemFile.
#include "framework/file.h"

#include "framework/file_platform.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

IMPLEMENT_DYNAMIC(CFile, CObject)
IMPLEMENT_DYNAMIC(CStdioFile, CFile)
IMPLEMENT_DYNAMIC(CMemFile, CFile)

const HANDLE CFile::hFileNull = INVALID_HANDLE_VALUE;

namespace file_platform
{

void SetFullName(CFileStatus& rStatus, const CString& path)
{
    const size_t n = std::min<size_t>(path.GetLength(), MAX_PATH - 1);
    std::memcpy(rStatus.m_szFullName, path.GetString(), n);
    rStatus.m_szFullName[n] = '\0';
}

} // namespace file_platform

using file_platform::FullPath;
using file_platform::LastOsError;
using file_platform::OpenHandle;

// INVALID_HANDLE_VALUE rather than hFileNull: a global CFile may be built before hFileNull.
CFile::CFile() : m_hFile(INVALID_HANDLE_VALUE), m_bCloseOnDelete(FALSE) {}

CFile::CFile(HANDLE hFile) : m_hFile(hFile), m_bCloseOnDelete(FALSE) {}

CFile::CFile(LPCTSTR lpszFileName, UINT nOpenFlags) : CFile()
{
    CFileException e;
    if (!Open(lpszFileName, nOpenFlags, &e))
        AfxThrowFileException(e.m_cause, e.m_lOsError, e.m_strFileName);
}

CFile::~CFile()
{
    if (m_hFile != hFileNull && m_bCloseOnDelete)
        CFile::Abort();
}

BOOL CFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    ASSERT(m_hFile == hFileNull);
    if (m_hFile != hFileNull || !lpszFileName || !*lpszFileName) {
        if (pError) {
            pError->m_cause =
                m_hFile != hFileNull ? CFileException::genericException : CFileException::badPath;
            pError->m_lOsError = -1;
            pError->m_strFileName = lpszFileName;
        }
        return FALSE;
    }
    const HANDLE h = OpenHandle(lpszFileName, nOpenFlags);
    if (h == hFileNull) {
        const LONG err = LastOsError();
        if (pError) {
            pError->m_cause = CFileException::OsErrorToException(err);
            pError->m_lOsError = err;
            pError->m_strFileName = lpszFileName;
        }
        return FALSE;
    }
    m_hFile = h;
    m_bCloseOnDelete = TRUE;
    m_strFileName = FullPath(lpszFileName);
    return TRUE;
}

void CFile::ThrowLastError() const
{
    const LONG err = LastOsError();
    AfxThrowFileException(err ? CFileException::OsErrorToException(err)
                              : CFileException::genericException,
                          err, m_strFileName);
}

ULONGLONG CFile::GetPosition() const
{
    return const_cast<CFile*>(this)->CFile::Seek(0, current);
}

CString CFile::GetFileName() const
{
    const int cut = std::max(m_strFileName.ReverseFind('\\'), m_strFileName.ReverseFind('/'));
    return m_strFileName.Mid(cut + 1);
}

// ---------------------------------------------------------------------------------------------
// CStdioFile: a read-ahead buffer over CFile; writes go straight through.

CStdioFile::CStdioFile(LPCTSTR lpszFileName, UINT nOpenFlags)
{
    CFileException e;
    if (!Open(lpszFileName, nOpenFlags, &e))
        AfxThrowFileException(e.m_cause, e.m_lOsError, e.m_strFileName);
}

BOOL CStdioFile::Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError)
{
    m_buf.clear();
    m_bufPos = 0;
    m_bText = (nOpenFlags & typeBinary) == 0;
    return CFile::Open(lpszFileName, nOpenFlags & ~(typeText | typeBinary), pError);
}

BOOL CStdioFile::FillBuffer()
{
    if (m_bufPos < m_buf.size())
        return TRUE;
    m_buf.resize(4096);
    m_bufPos = 0;
    m_buf.resize(CFile::Read(m_buf.data(), static_cast<UINT>(m_buf.size())));
    return !m_buf.empty();
}

int CStdioFile::NextChar()
{
    return FillBuffer() ? static_cast<unsigned char>(m_buf[m_bufPos++]) : -1;
}

void CStdioFile::DropReadBuffer()
{
    const size_t unread = m_buf.size() - m_bufPos;
    m_buf.clear();
    m_bufPos = 0;
    if (unread)
        CFile::Seek(-static_cast<LONGLONG>(unread), current);
}

BOOL CStdioFile::ReadString(CString& rString)
{
    rString.Empty();
    BOOL any = FALSE;
    while (FillBuffer()) {
        any = TRUE;
        const char* start = m_buf.data() + m_bufPos;
        const size_t avail = m_buf.size() - m_bufPos;
        const char* nl = static_cast<const char*>(std::memchr(start, '\n', avail));
        const size_t take = nl ? static_cast<size_t>(nl - start) : avail;
        rString.Append(start, static_cast<int>(take));
        m_bufPos += take;
        if (nl) {
            ++m_bufPos;
            const int n = rString.GetLength();
            if (m_bText && n > 0 && rString[n - 1] == '\r')
                rString.Truncate(n - 1);
            return TRUE;
        }
    }
    return any;
}

LPTSTR CStdioFile::ReadString(LPTSTR lpsz, UINT nMax)
{
    if (!lpsz || nMax == 0)
        return nullptr;
    UINT n = 0;
    while (n + 1 < nMax) {
        int c = NextChar();
        if (c < 0)
            break;
        if (m_bText && c == '\r' && FillBuffer() && m_buf[m_bufPos] == '\n')
            c = NextChar();
        lpsz[n++] = static_cast<char>(c);
        if (c == '\n')
            break;
    }
    lpsz[n] = '\0';
    return n ? lpsz : nullptr;
}

void CStdioFile::WriteString(LPCTSTR lpsz)
{
    if (lpsz)
        Write(lpsz, static_cast<UINT>(std::strlen(lpsz)));
}

UINT CStdioFile::Read(void* lpBuf, UINT nCount)
{
    const size_t buffered = std::min<size_t>(nCount, m_buf.size() - m_bufPos);
    std::memcpy(lpBuf, m_buf.data() + m_bufPos, buffered);
    m_bufPos += buffered;
    if (buffered == nCount)
        return nCount;
    return static_cast<UINT>(buffered) +
           CFile::Read(static_cast<char*>(lpBuf) + buffered, nCount - static_cast<UINT>(buffered));
}

void CStdioFile::Write(const void* lpBuf, UINT nCount)
{
    DropReadBuffer();
    if (!m_bText) {
        CFile::Write(lpBuf, nCount);
        return;
    }
    const char* p = static_cast<const char*>(lpBuf);
    std::string out;
    out.reserve(nCount + nCount / 16);
    for (UINT i = 0; i < nCount; ++i) {
        if (p[i] == '\n')
            out += '\r';
        out += p[i];
    }
    CFile::Write(out.data(), static_cast<UINT>(out.size()));
}

ULONGLONG CStdioFile::Seek(LONGLONG lOff, UINT nFrom)
{
    DropReadBuffer();
    return CFile::Seek(lOff, nFrom);
}

ULONGLONG CStdioFile::GetPosition() const
{
    return CFile::GetPosition() - (m_buf.size() - m_bufPos);
}

ULONGLONG CStdioFile::GetLength() const
{
    return CFile::GetLength();
}

void CStdioFile::SetLength(ULONGLONG dwNewLen)
{
    DropReadBuffer();
    CFile::SetLength(dwNewLen);
}

void CStdioFile::Flush()
{
    // Nothing is held back on writing; pushing to the disk is CFile::Flush's job.
}

void CStdioFile::Close()
{
    m_buf.clear();
    m_bufPos = 0;
    CFile::Close();
}

void CStdioFile::Abort()
{
    m_buf.clear();
    m_bufPos = 0;
    CFile::Abort();
}

// ---------------------------------------------------------------------------------------------
// CMemFile

CMemFile::CMemFile(UINT nGrowBytes) : m_nGrowBytes(nGrowBytes) {}

CMemFile::CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes) : m_nGrowBytes(nGrowBytes)
{
    Attach(lpBuffer, nBufferSize, nGrowBytes);
}

CMemFile::~CMemFile()
{
    Close();
}

void CMemFile::Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes)
{
    ASSERT(m_lpBuffer == nullptr);
    Close();
    m_lpBuffer = lpBuffer;
    m_nBufferSize = nBufferSize;
    m_nFileSize = nGrowBytes == 0 ? nBufferSize : 0;
    m_nGrowBytes = nGrowBytes;
    m_bAutoDelete = FALSE;
}

BYTE* CMemFile::Detach()
{
    BYTE* p = m_lpBuffer;
    m_lpBuffer = nullptr;
    m_nBufferSize = m_nFileSize = m_nPosition = 0;
    m_bAutoDelete = TRUE;
    return p;
}

void CMemFile::GrowFile(SIZE_T nNewLen)
{
    if (nNewLen <= m_nBufferSize)
        return;
    if (m_nGrowBytes == 0)
        AfxThrowMemoryException();
    const SIZE_T size = (nNewLen + m_nGrowBytes - 1) / m_nGrowBytes * m_nGrowBytes;
    BYTE* p = static_cast<BYTE*>(std::malloc(size));
    if (!p)
        AfxThrowMemoryException();
    if (m_nFileSize)
        std::memcpy(p, m_lpBuffer, m_nFileSize);
    if (m_bAutoDelete)
        std::free(m_lpBuffer);
    m_lpBuffer = p;
    m_nBufferSize = size;
    m_bAutoDelete = TRUE;
}

UINT CMemFile::Read(void* lpBuf, UINT nCount)
{
    if (m_nPosition >= m_nFileSize)
        return 0;
    const SIZE_T n = std::min<SIZE_T>(nCount, m_nFileSize - m_nPosition);
    std::memcpy(lpBuf, m_lpBuffer + m_nPosition, n);
    m_nPosition += n;
    return static_cast<UINT>(n);
}

void CMemFile::Write(const void* lpBuf, UINT nCount)
{
    if (nCount == 0)
        return;
    const SIZE_T end = m_nPosition + nCount;
    GrowFile(end);
    if (m_nPosition > m_nFileSize) // a seek past the end leaves a gap of zeros
        std::memset(m_lpBuffer + m_nFileSize, 0, m_nPosition - m_nFileSize);
    std::memcpy(m_lpBuffer + m_nPosition, lpBuf, nCount);
    m_nPosition = end;
    m_nFileSize = std::max(m_nFileSize, end);
}

ULONGLONG CMemFile::Seek(LONGLONG lOff, UINT nFrom)
{
    const LONGLONG base = nFrom == begin     ? 0
                          : nFrom == current ? static_cast<LONGLONG>(m_nPosition)
                                             : static_cast<LONGLONG>(m_nFileSize);
    if (lOff < -base || (lOff > 0 && base > LLONG_MAX - lOff))
        AfxThrowFileException(CFileException::badSeek);
    m_nPosition = static_cast<SIZE_T>(base + lOff);
    return m_nPosition;
}

void CMemFile::SetLength(ULONGLONG dwNewLen)
{
    GrowFile(static_cast<SIZE_T>(dwNewLen));
    if (dwNewLen > m_nFileSize)
        std::memset(m_lpBuffer + m_nFileSize, 0, static_cast<SIZE_T>(dwNewLen) - m_nFileSize);
    m_nFileSize = static_cast<SIZE_T>(dwNewLen);
    m_nPosition = std::min(m_nPosition, m_nFileSize);
}

void CMemFile::Close()
{
    if (m_bAutoDelete)
        std::free(m_lpBuffer);
    m_lpBuffer = nullptr;
    m_nBufferSize = m_nFileSize = m_nPosition = 0;
    m_bAutoDelete = TRUE;
}
