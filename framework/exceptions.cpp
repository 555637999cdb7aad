// Exception classes, their messages, and the mapping of system errors to file causes.
#include "framework/exceptions.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

IMPLEMENT_DYNAMIC(CException, CObject)
IMPLEMENT_DYNAMIC(CMemoryException, CException)
IMPLEMENT_DYNAMIC(CNotSupportedException, CException)
IMPLEMENT_DYNAMIC(CResourceException, CException)
IMPLEMENT_DYNAMIC(CFileException, CException)

namespace
{
struct ErrorCause {
    LONG error;
    int cause;
};

#ifdef _WIN32
const ErrorCause kWin32Causes[] = {
    {NO_ERROR, CFileException::none},
    {ERROR_FILE_NOT_FOUND, CFileException::fileNotFound},
    {ERROR_PATH_NOT_FOUND, CFileException::badPath},
    {ERROR_TOO_MANY_OPEN_FILES, CFileException::tooManyOpenFiles},
    {ERROR_ACCESS_DENIED, CFileException::accessDenied},
    {ERROR_INVALID_HANDLE, CFileException::invalidFile},
    {ERROR_INVALID_ACCESS, CFileException::accessDenied},
    {ERROR_INVALID_DRIVE, CFileException::badPath},
    {ERROR_CURRENT_DIRECTORY, CFileException::removeCurrentDir},
    {ERROR_NOT_SAME_DEVICE, CFileException::badPath},
    {ERROR_NO_MORE_FILES, CFileException::fileNotFound},
    {ERROR_WRITE_PROTECT, CFileException::accessDenied},
    {ERROR_BAD_UNIT, CFileException::hardIO},
    {ERROR_NOT_READY, CFileException::hardIO},
    {ERROR_CRC, CFileException::hardIO},
    {ERROR_SEEK, CFileException::badSeek},
    {ERROR_SECTOR_NOT_FOUND, CFileException::badSeek},
    {ERROR_WRITE_FAULT, CFileException::hardIO},
    {ERROR_READ_FAULT, CFileException::hardIO},
    {ERROR_GEN_FAILURE, CFileException::hardIO},
    {ERROR_SHARING_VIOLATION, CFileException::sharingViolation},
    {ERROR_LOCK_VIOLATION, CFileException::lockViolation},
    {ERROR_SHARING_BUFFER_EXCEEDED, CFileException::tooManyOpenFiles},
    {ERROR_HANDLE_EOF, CFileException::endOfFile},
    {ERROR_HANDLE_DISK_FULL, CFileException::diskFull},
    {ERROR_DISK_FULL, CFileException::diskFull},
    {ERROR_BAD_NETPATH, CFileException::badPath},
    {ERROR_BAD_NET_NAME, CFileException::badPath},
    {ERROR_NETWORK_ACCESS_DENIED, CFileException::accessDenied},
    {ERROR_FILE_EXISTS, CFileException::accessDenied},
    {ERROR_ALREADY_EXISTS, CFileException::accessDenied},
    {ERROR_CANNOT_MAKE, CFileException::directoryFull},
    {ERROR_DRIVE_LOCKED, CFileException::lockViolation},
    {ERROR_LOCK_FAILED, CFileException::lockViolation},
    {ERROR_INVALID_NAME, CFileException::badPath},
    {ERROR_BAD_PATHNAME, CFileException::badPath},
    {ERROR_FILENAME_EXCED_RANGE, CFileException::badPath},
    {ERROR_DIRECTORY, CFileException::badPath},
    {ERROR_NEGATIVE_SEEK, CFileException::badSeek},
    {ERROR_SEEK_ON_DEVICE, CFileException::badSeek},
    {ERROR_DIR_NOT_EMPTY, CFileException::removeCurrentDir},
    {ERROR_BUSY, CFileException::accessDenied},
    {ERROR_BAD_FORMAT, CFileException::invalidFile},
    {ERROR_OPERATION_ABORTED, CFileException::hardIO},
};
#endif

const ErrorCause kErrnoCauses[] = {
    {0, CFileException::none},
    {ENOENT, CFileException::fileNotFound},
    {ENOTDIR, CFileException::badPath},
    {ENAMETOOLONG, CFileException::badPath},
    {ELOOP, CFileException::badPath},
    {EXDEV, CFileException::badPath},
    {EMFILE, CFileException::tooManyOpenFiles},
    {ENFILE, CFileException::tooManyOpenFiles},
    {EACCES, CFileException::accessDenied},
    {EPERM, CFileException::accessDenied},
    {EROFS, CFileException::accessDenied},
    {EEXIST, CFileException::accessDenied},
    {EISDIR, CFileException::accessDenied},
    {EBADF, CFileException::invalidFile},
    {ENOTEMPTY, CFileException::removeCurrentDir},
    {ESPIPE, CFileException::badSeek},
    {EINVAL, CFileException::badSeek},
    {EIO, CFileException::hardIO},
    {EBUSY, CFileException::sharingViolation},
    {EDEADLK, CFileException::lockViolation},
    {ENOSPC, CFileException::diskFull},
    {EFBIG, CFileException::diskFull},
#ifdef EDQUOT
    {EDQUOT, CFileException::diskFull},
#endif
};

template <size_t N> int Lookup(const ErrorCause (&table)[N], LONG error)
{
    for (const ErrorCause& e : table) {
        if (e.error == error)
            return e.cause;
    }
    return CFileException::genericException;
}

// %s is the file name (or a stand-in when the exception has none).
const char* CauseText(int cause)
{
    switch (cause) {
    case CFileException::none:
        return "No error occurred with %s.";
    case CFileException::fileNotFound:
        return "%s was not found.";
    case CFileException::badPath:
        return "All or part of the path of %s is invalid.";
    case CFileException::tooManyOpenFiles:
        return "%s could not be opened because too many files are open.";
    case CFileException::accessDenied:
        return "Access to %s was denied.";
    case CFileException::invalidFile:
        return "An invalid file handle was used with %s.";
    case CFileException::removeCurrentDir:
        return "%s cannot be removed while it is in use.";
    case CFileException::directoryFull:
        return "%s could not be created because the directory is full.";
    case CFileException::badSeek:
        return "The file position could not be set in %s.";
    case CFileException::hardIO:
        return "A hardware error occurred while accessing %s.";
    case CFileException::sharingViolation:
        return "%s is in use by another program.";
    case CFileException::lockViolation:
        return "A locked region of %s was accessed.";
    case CFileException::diskFull:
        return "The disk is full; %s could not be written.";
    case CFileException::endOfFile:
        return "An attempt was made to read past the end of %s.";
    default:
        return "An unexpected error occurred while accessing %s.";
    }
}
} // namespace

namespace
{
thread_local CExceptionLink* t_pTopLink = nullptr;
}

CExceptionLink::CExceptionLink() : m_pPrev(t_pTopLink)
{
    t_pTopLink = this;
}

CExceptionLink::~CExceptionLink()
{
    t_pTopLink = m_pPrev;
    if (m_pException)
        m_pException->Delete();
}

void CExceptionLink::Unlink(const CException* pException)
{
    for (CExceptionLink* p = t_pTopLink; p; p = p->m_pPrev) {
        if (p->m_pException == pException)
            p->m_pException = nullptr;
    }
}

void CException::Delete()
{
    if (m_bAutoDelete) {
        CExceptionLink::Unlink(this);
        delete this;
    }
}

BOOL CException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    CopyMessage("", lpszError, nMaxError, pnHelpContext);
    return FALSE;
}

BOOL CException::CopyMessage(LPCTSTR text, LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext)
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    if (!lpszError || nMaxError == 0)
        return FALSE;
    const size_t n = std::min<size_t>(std::strlen(text), nMaxError - 1);
    std::memcpy(lpszError, text, n);
    lpszError[n] = '\0';
    return TRUE;
}

BOOL CMemoryException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    return CopyMessage("Out of memory.", lpszError, nMaxError, pnHelpContext);
}

BOOL CNotSupportedException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError,
                                             PUINT pnHelpContext) const
{
    return CopyMessage("The operation is not supported.", lpszError, nMaxError, pnHelpContext);
}

BOOL CResourceException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError,
                                         PUINT pnHelpContext) const
{
    return CopyMessage("A system resource could not be created.", lpszError, nMaxError,
                       pnHelpContext);
}

int CFileException::OsErrorToException(LONG lOsError)
{
#ifdef _WIN32
    return Lookup(kWin32Causes, lOsError);
#else
    return ErrnoToException(static_cast<int>(lOsError));
#endif
}

int CFileException::ErrnoToException(int nErrno)
{
    return Lookup(kErrnoCauses, nErrno);
}

void CFileException::ThrowOsError(LONG lOsError, LPCTSTR lpszFileName)
{
    if (lOsError != 0)
        AfxThrowFileException(OsErrorToException(lOsError), lOsError, lpszFileName);
}

void CFileException::ThrowErrno(int nErrno, LPCTSTR lpszFileName)
{
    if (nErrno != 0)
        AfxThrowFileException(ErrnoToException(nErrno), nErrno, lpszFileName);
}

BOOL CFileException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    CString text;
    text.Format(CauseText(m_cause),
                m_strFileName.IsEmpty() ? "an unnamed file" : m_strFileName.GetString());
    return CopyMessage(text, lpszError, nMaxError, pnHelpContext);
}

void AfxThrowMemoryException()
{
    throw new CMemoryException;
}

void AfxThrowNotSupportedException()
{
    throw new CNotSupportedException;
}

void AfxThrowResourceException()
{
    throw new CResourceException;
}

void AfxThrowFileException(int cause, LONG lOsError, LPCTSTR lpszFileName)
{
    throw new CFileException(cause, lOsError, lpszFileName);
}
