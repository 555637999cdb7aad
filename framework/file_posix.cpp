// CFile over POSIX descriptors, for the native check build: the platform half of
// framework/file.cpp.
#include "framework/file_platform.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

int Fd(HANDLE h)
{
    return static_cast<int>(reinterpret_cast<INT_PTR>(h));
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

} // namespace

namespace file_platform
{

LONG LastOsError()
{
    return errno;
}

CString FullPath(LPCTSTR name)
{
    if (name[0] == '/')
        return CString(name);
    char cwd[4096];
    if (!::getcwd(cwd, sizeof cwd))
        return CString(name);
    CString path(cwd);
    path += '/';
    return path + name;
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

} // namespace file_platform

using file_platform::LastOsError;
using file_platform::FullPath;
using file_platform::SetFullName;

UINT CFile::Read(void* lpBuf, UINT nCount)
{
    ASSERT(m_hFile != hFileNull);
    if (nCount == 0)
        return 0;
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
}

void CFile::Write(const void* lpBuf, UINT nCount)
{
    ASSERT(m_hFile != hFileNull);
    if (nCount == 0)
        return;
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
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom)
{
    ASSERT(m_hFile != hFileNull && nFrom <= end);
    const int whence = nFrom == begin ? SEEK_SET : (nFrom == current ? SEEK_CUR : SEEK_END);
    const off_t pos = ::lseek(Fd(m_hFile), static_cast<off_t>(lOff), whence);
    if (pos < 0)
        ThrowLastError();
    return static_cast<ULONGLONG>(pos);
}

ULONGLONG CFile::GetLength() const
{
    ASSERT(m_hFile != hFileNull);
    struct stat st;
    if (::fstat(Fd(m_hFile), &st) != 0)
        ThrowLastError();
    return static_cast<ULONGLONG>(st.st_size);
}

void CFile::SetLength(ULONGLONG dwNewLen)
{
    ASSERT(m_hFile != hFileNull);
    CFile::Seek(static_cast<LONGLONG>(dwNewLen), begin);
    if (::ftruncate(Fd(m_hFile), static_cast<off_t>(dwNewLen)) != 0)
        ThrowLastError();
}

void CFile::Flush()
{
    if (m_hFile == hFileNull)
        return;
    if (::fsync(Fd(m_hFile)) != 0 && errno != EINVAL)
        ThrowLastError();
}

void CFile::Close()
{
    BOOL ok = TRUE;
    if (m_hFile != hFileNull) {
        ok = ::close(Fd(m_hFile)) == 0;
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
        ::close(Fd(m_hFile));
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
    struct stat st;
    if (::fstat(Fd(m_hFile), &st) != 0)
        return FALSE;
    FillStatus(st, rStatus);
    return TRUE;
}

BOOL CFile::GetStatus(LPCTSTR lpszFileName, CFileStatus& rStatus)
{
    rStatus = CFileStatus();
    if (!lpszFileName || !*lpszFileName)
        return FALSE;
    struct stat st;
    if (::stat(lpszFileName, &st) != 0)
        return FALSE;
    FillStatus(st, rStatus);
    SetFullName(rStatus, FullPath(lpszFileName));
    return TRUE;
}

void CFile::Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName)
{
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
}

void CFile::Remove(LPCTSTR lpszFileName)
{
    if (::unlink(lpszFileName) != 0)
        CFileException::ThrowErrno(errno, lpszFileName);
}
