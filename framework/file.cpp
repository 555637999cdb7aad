// CFile over Win32 file handles, or over POSIX descriptors in the native build.
#include "framework/file.h"

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>

#ifndef _WIN32
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

IMPLEMENT_DYNAMIC(CFile, CObject)
IMPLEMENT_DYNAMIC(CStdioFile, CFile)
IMPLEMENT_DYNAMIC(CMemFile, CFile)

const HANDLE CFile::hFileNull = INVALID_HANDLE_VALUE;

namespace
{
LONG LastOsError()
{
#ifdef _WIN32
    return static_cast<LONG>(::GetLastError());
#else
    return errno;
#endif
}

CString FullPath(LPCTSTR name)
{
#ifdef _WIN32
    char buf[MAX_PATH];
    const DWORD n = ::GetFullPathNameA(name, sizeof buf, buf, nullptr);
    if (n == 0)
        return CString(name);
    if (n < sizeof buf)
        return CString(buf, static_cast<int>(n));
    CString path;
    const DWORD m = ::GetFullPathNameA(name, n, path.GetBuffer(static_cast<int>(n)), nullptr);
    path.ReleaseBuffer(m < n ? static_cast<int>(m) : 0);
    return path;
#else
    if (name[0] == '/')
        return CString(name);
    char cwd[4096];
    if (!::getcwd(cwd, sizeof cwd))
        return CString(name);
    CString path(cwd);
    path += '/';
    return path + name;
#endif
}

#ifdef _WIN32
HANDLE OpenHandle(LPCTSTR name, UINT flags)
{
    DWORD access = GENERIC_READ;
    if ((flags & 3) == CFile::modeWrite)
        access = GENERIC_WRITE;
    else if ((flags & 3) == CFile::modeReadWrite)
        access = GENERIC_READ | GENERIC_WRITE;
    DWORD share = 0;
    switch (flags & 0x70) {
    case CFile::shareDenyWrite:
        share = FILE_SHARE_READ;
        break;
    case CFile::shareDenyRead:
        share = FILE_SHARE_WRITE;
        break;
    case CFile::shareDenyNone:
        share = FILE_SHARE_READ | FILE_SHARE_WRITE;
        break;
    default: // compatibility and exclusive modes share nothing
        break;
    }
    DWORD creation = OPEN_EXISTING;
    if (flags & CFile::modeCreate)
        creation = (flags & CFile::modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;
    // Windows refuses to write a read-only file; Wine run as root does not, so check first.
    const DWORD attrs = ::GetFileAttributesA(name);
    if ((access & GENERIC_WRITE) && attrs != INVALID_FILE_ATTRIBUTES &&
        (attrs & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) == FILE_ATTRIBUTE_READONLY) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, (flags & CFile::modeNoInherit) == 0};
    return ::CreateFileA(name, access, share, &sa, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
}

LONGLONG FromFileTime(const FILETIME& ft)
{
    // FILETIME counts 100 ns from 1601; CTime counts seconds from 1970.
    const ULONGLONG t = (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return t == 0 ? 0 : static_cast<LONGLONG>(t / 10000000ULL) - 11644473600LL;
}
#else
int Fd(HANDLE h)
{
    return static_cast<int>(reinterpret_cast<INT_PTR>(h));
}

HANDLE OpenHandle(LPCTSTR name, UINT flags)
{
    int oflags = O_CLOEXEC | O_RDONLY;
    if ((flags & 3) == CFile::modeWrite)
        oflags = O_CLOEXEC | O_WRONLY;
    else if ((flags & 3) == CFile::modeReadWrite)
        oflags = O_CLOEXEC | O_RDWR;
    if (flags & CFile::modeCreate)
        oflags |= O_CREAT | ((flags & CFile::modeNoTruncate) ? 0 : O_TRUNC);
    struct stat st;
    if (::stat(name, &st) == 0) {
        // Windows opens no directory as a file and honours the read-only attribute even for
        // an administrator; do the same before O_TRUNC can touch anything.
        if (S_ISDIR(st.st_mode) || ((flags & 3) != CFile::modeRead && !(st.st_mode & S_IWUSR))) {
            errno = EACCES;
            return CFile::hFileNull;
        }
    }
    const int fd = ::open(name, oflags, 0666);
    if (fd >= 0)
        return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(fd));
    int err = errno;
    if (err == ENOENT) {
        // Windows tells a missing folder (bad path) from a missing file.
        const char* slash = std::strrchr(name, '/');
        const std::string dir = slash ? std::string(name, slash == name ? 1 : slash - name) : ".";
        if (::stat(dir.c_str(), &st) != 0)
            err = ENOTDIR;
    }
    errno = err;
    return CFile::hFileNull;
}

void FillStatus(const struct stat& st, CFileStatus& rStatus)
{
    rStatus.m_ctime = static_cast<LONGLONG>(st.st_ctime);
    rStatus.m_mtime = static_cast<LONGLONG>(st.st_mtime);
    rStatus.m_atime = static_cast<LONGLONG>(st.st_atime);
    rStatus.m_size = static_cast<ULONGLONG>(st.st_size);
    rStatus.m_attribute = S_ISDIR(st.st_mode) ? CFile::directory : CFile::normal;
    if (!(st.st_mode & S_IWUSR))
        rStatus.m_attribute |= CFile::readOnly;
}
#endif

void SetFullName(CFileStatus& rStatus, const CString& path)
{
    const size_t n = std::min<size_t>(path.GetLength(), MAX_PATH - 1);
    std::memcpy(rStatus.m_szFullName, path.GetString(), n);
    rStatus.m_szFullName[n] = '\0';
}
} // namespace

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

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    ASSERT(m_hFile != hFileNull);
    if (nCount == 0)
        return 0;
#ifdef _WIN32
    DWORD got = 0;
    if (!::ReadFile(m_hFile, lpBuf, nCount, &got, nullptr))
        ThrowLastError();
    return got;
#else
    UINT total = 0;
    while (total < nCount) {
        const ssize_t n = ::read(Fd(m_hFile), static_cast<char*>(lpBuf) + total, nCount - total);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            ThrowLastError();
        if (n == 0)
            break;
        total += static_cast<UINT>(n);
    }
    return total;
#endif
}

void CFile::Write(const void* lpBuf, UINT nCount)
{
    ASSERT(m_hFile != hFileNull);
    if (nCount == 0)
        return;
#ifdef _WIN32
    DWORD written = 0;
    if (!::WriteFile(m_hFile, lpBuf, nCount, &written, nullptr))
        ThrowLastError();
    if (written != nCount)
        AfxThrowFileException(CFileException::diskFull, -1, m_strFileName);
#else
    UINT total = 0;
    while (total < nCount) {
        const ssize_t n =
            ::write(Fd(m_hFile), static_cast<const char*>(lpBuf) + total, nCount - total);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            ThrowLastError();
        if (n == 0)
            AfxThrowFileException(CFileException::diskFull, -1, m_strFileName);
        total += static_cast<UINT>(n);
    }
#endif
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom)
{
    ASSERT(m_hFile != hFileNull && nFrom <= end);
#ifdef _WIN32
    LARGE_INTEGER dist, pos;
    dist.QuadPart = lOff;
    if (!::SetFilePointerEx(m_hFile, dist, &pos, nFrom))
        ThrowLastError();
    return static_cast<ULONGLONG>(pos.QuadPart);
#else
    const int whence = nFrom == begin ? SEEK_SET : (nFrom == current ? SEEK_CUR : SEEK_END);
    const off_t pos = ::lseek(Fd(m_hFile), static_cast<off_t>(lOff), whence);
    if (pos < 0)
        ThrowLastError();
    return static_cast<ULONGLONG>(pos);
#endif
}

ULONGLONG CFile::GetPosition() const
{
    return const_cast<CFile*>(this)->CFile::Seek(0, current);
}

ULONGLONG CFile::GetLength() const
{
    ASSERT(m_hFile != hFileNull);
#ifdef _WIN32
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(m_hFile, &size))
        ThrowLastError();
    return static_cast<ULONGLONG>(size.QuadPart);
#else
    struct stat st;
    if (::fstat(Fd(m_hFile), &st) != 0)
        ThrowLastError();
    return static_cast<ULONGLONG>(st.st_size);
#endif
}

void CFile::SetLength(ULONGLONG dwNewLen)
{
    ASSERT(m_hFile != hFileNull);
    CFile::Seek(static_cast<LONGLONG>(dwNewLen), begin);
#ifdef _WIN32
    if (!::SetEndOfFile(m_hFile))
        ThrowLastError();
#else
    if (::ftruncate(Fd(m_hFile), static_cast<off_t>(dwNewLen)) != 0)
        ThrowLastError();
#endif
}

void CFile::Flush()
{
    if (m_hFile == hFileNull)
        return;
#ifdef _WIN32
    if (!::FlushFileBuffers(m_hFile))
        ThrowLastError();
#else
    if (::fsync(Fd(m_hFile)) != 0 && errno != EINVAL)
        ThrowLastError();
#endif
}

void CFile::Close()
{
    BOOL ok = TRUE;
    if (m_hFile != hFileNull) {
#ifdef _WIN32
        ok = ::CloseHandle(m_hFile);
#else
        ok = ::close(Fd(m_hFile)) == 0;
#endif
    }
    m_hFile = hFileNull;
    m_bCloseOnDelete = FALSE;
    if (!ok)
        ThrowLastError();
    m_strFileName.Empty();
}

void CFile::Abort()
{
    if (m_hFile != hFileNull) {
#ifdef _WIN32
        ::CloseHandle(m_hFile);
#else
        ::close(Fd(m_hFile));
#endif
        m_hFile = hFileNull;
    }
    m_bCloseOnDelete = FALSE;
    m_strFileName.Empty();
}

CString CFile::GetFileName() const
{
    const int cut = std::max(m_strFileName.ReverseFind('\\'), m_strFileName.ReverseFind('/'));
    return m_strFileName.Mid(cut + 1);
}

BOOL CFile::GetStatus(CFileStatus& rStatus) const
{
    rStatus = CFileStatus();
    SetFullName(rStatus, m_strFileName);
    if (m_hFile == hFileNull)
        return FALSE;
#ifdef _WIN32
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(m_hFile, &info))
        return FALSE;
    rStatus.m_ctime = FromFileTime(info.ftCreationTime);
    rStatus.m_mtime = FromFileTime(info.ftLastWriteTime);
    rStatus.m_atime = FromFileTime(info.ftLastAccessTime);
    rStatus.m_size = (static_cast<ULONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    rStatus.m_attribute = static_cast<BYTE>(info.dwFileAttributes & 0xFF);
#else
    struct stat st;
    if (::fstat(Fd(m_hFile), &st) != 0)
        return FALSE;
    FillStatus(st, rStatus);
#endif
    return TRUE;
}

BOOL CFile::GetStatus(LPCTSTR lpszFileName, CFileStatus& rStatus)
{
    rStatus = CFileStatus();
    if (!lpszFileName || !*lpszFileName)
        return FALSE;
#ifdef _WIN32
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(lpszFileName, GetFileExInfoStandard, &data))
        return FALSE;
    rStatus.m_ctime = FromFileTime(data.ftCreationTime);
    rStatus.m_mtime = FromFileTime(data.ftLastWriteTime);
    rStatus.m_atime = FromFileTime(data.ftLastAccessTime);
    rStatus.m_size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    rStatus.m_attribute = static_cast<BYTE>(data.dwFileAttributes & 0xFF);
#else
    struct stat st;
    if (::stat(lpszFileName, &st) != 0)
        return FALSE;
    FillStatus(st, rStatus);
#endif
    SetFullName(rStatus, FullPath(lpszFileName));
    return TRUE;
}

void CFile::Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName)
{
#ifdef _WIN32
    if (!::MoveFileA(lpszOldName, lpszNewName))
        CFileException::ThrowOsError(LastOsError(), lpszOldName);
#else
    // Like MoveFile, never replace an existing file.
    if (::renameat2(AT_FDCWD, lpszOldName, AT_FDCWD, lpszNewName, RENAME_NOREPLACE) == 0)
        return;
    if (errno == EINVAL || errno == ENOSYS) {
        if (::access(lpszNewName, F_OK) == 0)
            errno = EEXIST;
        else if (::rename(lpszOldName, lpszNewName) == 0)
            return;
    }
    CFileException::ThrowErrno(errno, lpszOldName);
#endif
}

void CFile::Remove(LPCTSTR lpszFileName)
{
#ifdef _WIN32
    if (!::DeleteFileA(lpszFileName))
        CFileException::ThrowOsError(LastOsError(), lpszFileName);
#else
    if (::unlink(lpszFileName) != 0)
        CFileException::ThrowErrno(errno, lpszFileName);
#endif
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
