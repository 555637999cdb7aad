// CFile over Win32 file handles: the platform half of framework/file.cpp.
#include "framework/file_platform.h"

#include <algorithm>
#include <cstring>

namespace
{

LONGLONG FromFileTime(const FILETIME& ft)
{
    // FILETIME counts 100 ns from 1601; CTime counts seconds from 1970.
    const ULONGLONG t = (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return t == 0 ? 0 : static_cast<LONGLONG>(t / 10000000ULL) - 11644473600LL;
}

} // namespace

namespace file_platform
{

LONG LastOsError()
{
    return static_cast<LONG>(::GetLastError());
}

CString FullPath(LPCTSTR name)
{
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
}

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

} // namespace file_platform

using file_platform::LastOsError;
using file_platform::FullPath;
using file_platform::SetFullName;

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    ASSERT(m_hFile != hFileNull);
    if (nCount == 0)
        return 0;
    DWORD got = 0;
    if (!::ReadFile(m_hFile, lpBuf, nCount, &got, nullptr))
        ThrowLastError();
    return got;
}

void CFile::Write(const void* lpBuf, UINT nCount)
{
    ASSERT(m_hFile != hFileNull);
    if (nCount == 0)
        return;
    DWORD written = 0;
    if (!::WriteFile(m_hFile, lpBuf, nCount, &written, nullptr))
        ThrowLastError();
    if (written != nCount)
        AfxThrowFileException(CFileException::diskFull, -1, m_strFileName);
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom)
{
    ASSERT(m_hFile != hFileNull && nFrom <= end);
    LARGE_INTEGER dist, pos;
    dist.QuadPart = lOff;
    if (!::SetFilePointerEx(m_hFile, dist, &pos, nFrom))
        ThrowLastError();
    return static_cast<ULONGLONG>(pos.QuadPart);
}

ULONGLONG CFile::GetLength() const
{
    ASSERT(m_hFile != hFileNull);
    LARGE_INTEGER size;
    if (!::GetFileSizeEx(m_hFile, &size))
        ThrowLastError();
    return static_cast<ULONGLONG>(size.QuadPart);
}

void CFile::SetLength(ULONGLONG dwNewLen)
{
    ASSERT(m_hFile != hFileNull);
    CFile::Seek(static_cast<LONGLONG>(dwNewLen), begin);
    if (!::SetEndOfFile(m_hFile))
        ThrowLastError();
}

void CFile::Flush()
{
    if (m_hFile == hFileNull)
        return;
    if (!::FlushFileBuffers(m_hFile))
        ThrowLastError();
}

void CFile::Close()
{
    BOOL ok = TRUE;
    if (m_hFile != hFileNull) {
        ok = ::CloseHandle(m_hFile);
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
        ::CloseHandle(m_hFile);
        m_hFile = hFileNull;
    }
    m_bCloseOnDelete = FALSE;
    m_strFileName.Empty();
}

BOOL CFile::GetStatus(CFileStatus& rStatus) const
{
    rStatus = CFileStatus();
    SetFullName(rStatus, m_strFileName);
    if (m_hFile == hFileNull)
        return FALSE;
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(m_hFile, &info))
        return FALSE;
    rStatus.m_ctime = FromFileTime(info.ftCreationTime);
    rStatus.m_mtime = FromFileTime(info.ftLastWriteTime);
    rStatus.m_atime = FromFileTime(info.ftLastAccessTime);
    rStatus.m_size = (static_cast<ULONGLONG>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    rStatus.m_attribute = static_cast<BYTE>(info.dwFileAttributes & 0xFF);
    return TRUE;
}

BOOL CFile::GetStatus(LPCTSTR lpszFileName, CFileStatus& rStatus)
{
    rStatus = CFileStatus();
    if (!lpszFileName || !*lpszFileName)
        return FALSE;
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(lpszFileName, GetFileExInfoStandard, &data))
        return FALSE;
    rStatus.m_ctime = FromFileTime(data.ftCreationTime);
    rStatus.m_mtime = FromFileTime(data.ftLastWriteTime);
    rStatus.m_atime = FromFileTime(data.ftLastAccessTime);
    rStatus.m_size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    rStatus.m_attribute = static_cast<BYTE>(data.dwFileAttributes & 0xFF);
    SetFullName(rStatus, FullPath(lpszFileName));
    return TRUE;
}

void CFile::Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName)
{
    if (!::MoveFileA(lpszOldName, lpszNewName))
        CFileException::ThrowOsError(LastOsError(), lpszOldName);
}

void CFile::Remove(LPCTSTR lpszFileName)
{
    if (!::DeleteFileA(lpszFileName))
        CFileException::ThrowOsError(LastOsError(), lpszFileName);
}
