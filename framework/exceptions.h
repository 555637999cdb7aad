// Exceptions, created on the heap and thrown by pointer; the catcher deletes them with Delete().
// Classes here: CException, CMemoryException, CNotSupportedException, CFileException,
// CExceptionLink. Macros: TRY, CATCH, AND_CATCH, CATCH_ALL, AND_CATCH_ALL, END_CATCH,
// END_CATCH_ALL, THROW, THROW_LAST.
#pragma once

#include "framework/object.h"
#include "framework/strings.h"

class CException : public CObject
{
    DECLARE_DYNAMIC(CException)
public:
    explicit CException(BOOL bAutoDelete = TRUE) : m_bAutoDelete(bAutoDelete) {}

    // Frees a heap exception; does nothing for one made with bAutoDelete FALSE.
    void Delete();
    // Copies a one-line description into lpszError (truncated to nMaxError - 1 chars, always
    // terminated); FALSE and an empty buffer when there is none. *pnHelpContext is set to 0.
    virtual BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError,
                                 PUINT pnHelpContext = nullptr) const;

    BOOL m_bAutoDelete;

protected:
    static BOOL CopyMessage(LPCTSTR text, LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext);
};

class CMemoryException : public CException
{
    DECLARE_DYNAMIC(CMemoryException)
public:
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError,
                         PUINT pnHelpContext = nullptr) const override;
};

class CNotSupportedException : public CException
{
    DECLARE_DYNAMIC(CNotSupportedException)
public:
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError,
                         PUINT pnHelpContext = nullptr) const override;
};

// A window or GDI resource could not be created.
class CResourceException : public CException
{
    DECLARE_DYNAMIC(CResourceException)
public:
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError,
                         PUINT pnHelpContext = nullptr) const override;
};

class CFileException : public CException
{
    DECLARE_DYNAMIC(CFileException)
public:
    enum {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile,
    };

    explicit CFileException(int cause = none, LONG lOsError = -1, LPCTSTR lpszFileName = nullptr)
        : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszFileName)
    {
    }

    // The cause for an operating system error: a Win32 error code on Windows, errno elsewhere.
    static int OsErrorToException(LONG lOsError);
    static int ErrnoToException(int nErrno);
    static void ThrowOsError(LONG lOsError, LPCTSTR lpszFileName = nullptr);
    static void ThrowErrno(int nErrno, LPCTSTR lpszFileName = nullptr);

    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError,
                         PUINT pnHelpContext = nullptr) const override;

    int m_cause;
    LONG m_lOsError; // -1 when no system error is known
    CString m_strFileName;
};

[[noreturn]] void AfxThrowMemoryException();
[[noreturn]] void AfxThrowNotSupportedException();
[[noreturn]] void AfxThrowResourceException();
[[noreturn]] void AfxThrowFileException(int cause, LONG lOsError = -1,
                                        LPCTSTR lpszFileName = nullptr);

// Deletes the exception caught by CATCH when the handler ends, unless THROW_LAST passed it on.
// Links form a per-thread stack so that a handler which calls Delete() itself does not cause a
// second deletion.
struct CExceptionLink {
    CExceptionLink();
    ~CExceptionLink();
    CExceptionLink(const CExceptionLink&) = delete;
    CExceptionLink& operator=(const CExceptionLink&) = delete;

    // Forgets pException in every active link of this thread; Delete() calls it.
    static void Unlink(const CException* pException);

    CException* m_pException = nullptr;
    CExceptionLink* m_pPrev;
};

#define TRY                                                                                        \
    {                                                                                              \
        CExceptionLink _afxExceptionLink;                                                          \
        try {
#define CATCH(class_name, e)                                                                       \
    }                                                                                              \
    catch (class_name * e)                                                                         \
    {                                                                                              \
        _afxExceptionLink.m_pException = e;
#define AND_CATCH(class_name, e) CATCH(class_name, e)
#define CATCH_ALL(e) CATCH(CException, e)
#define AND_CATCH_ALL(e) CATCH(CException, e)
#define END_CATCH                                                                                  \
    }                                                                                              \
    }
#define END_CATCH_ALL END_CATCH
#define THROW(e) throw e
#define THROW_LAST()                                                                               \
    do {                                                                                           \
        _afxExceptionLink.m_pException = nullptr;                                                  \
        throw;                                                                                     \
    } while (0)
