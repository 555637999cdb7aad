// Archives: buffered binary streams of values over a CFile, in the framework's byte layout
// (little-endian integers, length-prefixed strings, WORD-or-more counts).
// Classes here: CArchiveException, CArchive.
#pragma once

#include "framework/exceptions.h"
#include "framework/file.h"

#include <vector>

class CArchiveException : public CException
{
    DECLARE_DYNAMIC(CArchiveException)
public:
    enum {
        none,
        genericException,
        readOnly,
        endOfFile,
        writeOnly,
        badIndex,
        badClass,
        badSchema,
    };

    explicit CArchiveException(int cause = none, LPCTSTR lpszArchiveName = nullptr)
        : m_cause(cause), m_strFileName(lpszArchiveName)
    {
    }
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError,
                         PUINT pnHelpContext = nullptr) const override;

    int m_cause;
    CString m_strFileName;
};

[[noreturn]] void AfxThrowArchiveException(int cause, LPCTSTR lpszArchiveName = nullptr);

// Reading past the end of the data throws CArchiveException* (endOfFile); writing to a loading
// archive or reading from a storing one throws readOnly / writeOnly. File errors pass through
// as CFileException*. The file is not owned; Close (or the destructor) flushes what a storing
// archive holds back and, for a loading one, seeks the file back over what was read ahead.
class CArchive
{
public:
    enum Mode { store = 0, load = 1, bNoFlushOnDelete = 2 };

    CArchive(CFile* pFile, UINT nMode, int nBufSize = 4096, void* lpBuf = nullptr);
    ~CArchive();
    CArchive(const CArchive&) = delete;
    CArchive& operator=(const CArchive&) = delete;

    BOOL IsLoading() const { return (m_nMode & load) != 0; }
    BOOL IsStoring() const { return (m_nMode & load) == 0; }
    CFile* GetFile() const { return m_pFile; }

    // Returns the bytes read: fewer than nMax only at the end of the data.
    UINT Read(void* lpBuf, UINT nMax);
    void Write(const void* lpBuf, UINT nMax);
    void Flush();
    void Close();
    // Detaches from the file without flushing.
    void Abort();

    // Element counts: a WORD, or 0xFFFF and a DWORD (then 0xFFFFFFFF and a 64-bit count).
    void WriteCount(DWORD_PTR dwCount);
    DWORD_PTR ReadCount();

    CArchive& operator<<(BYTE by) { return Put(by); }
    CArchive& operator<<(char ch) { return Put(ch); }
    CArchive& operator<<(WORD w) { return Put(w); }
    CArchive& operator<<(short w) { return Put(w); }
    CArchive& operator<<(int i) { return Put(i); }
    CArchive& operator<<(UINT u) { return Put(u); }
#ifdef _WIN32
    CArchive& operator<<(LONG l)
    {
        return Put(l);
    }
    CArchive& operator<<(DWORD dw)
    {
        return Put(dw);
    }
#endif
    CArchive& operator<<(LONGLONG n)
    {
        return Put(n);
    }
    CArchive& operator<<(ULONGLONG n)
    {
        return Put(n);
    }
    CArchive& operator<<(float f)
    {
        return Put(f);
    }
    CArchive& operator<<(double d)
    {
        return Put(d);
    }
    CArchive& operator<<(bool b)
    {
        return Put(static_cast<BYTE>(b ? 1 : 0));
    }
    CArchive& operator<<(const CString& s);
    CArchive& operator<<(LPCTSTR psz)
    {
        return *this << CString(psz);
    }

    CArchive& operator>>(BYTE& by)
    {
        return Get(by);
    }
    CArchive& operator>>(char& ch)
    {
        return Get(ch);
    }
    CArchive& operator>>(WORD& w)
    {
        return Get(w);
    }
    CArchive& operator>>(short& w)
    {
        return Get(w);
    }
    CArchive& operator>>(int& i)
    {
        return Get(i);
    }
    CArchive& operator>>(UINT& u)
    {
        return Get(u);
    }
#ifdef _WIN32
    CArchive& operator>>(LONG& l)
    {
        return Get(l);
    }
    CArchive& operator>>(DWORD& dw)
    {
        return Get(dw);
    }
#endif
    CArchive& operator>>(LONGLONG& n)
    {
        return Get(n);
    }
    CArchive& operator>>(ULONGLONG& n)
    {
        return Get(n);
    }
    CArchive& operator>>(float& f)
    {
        return Get(f);
    }
    CArchive& operator>>(double& d)
    {
        return Get(d);
    }
    CArchive& operator>>(bool& b);
    CArchive& operator>>(CString& s);

    CObject* m_pDocument = nullptr;

private:
    // The byte layout is little-endian, which is also the layout of every machine we build for.
    template <class T> CArchive& Put(T v)
    {
        Write(&v, sizeof v);
        return *this;
    }
    template <class T> CArchive& Get(T& v)
    {
        if (Read(&v, sizeof v) != sizeof v)
            AfxThrowArchiveException(CArchiveException::endOfFile, FileName());
        return *this;
    }
    LPCTSTR FileName() const;
    void FillBuffer();

    CFile* m_pFile;
    UINT m_nMode;
    std::vector<BYTE> m_buf;
    size_t m_nCur = 0; // next byte to read, or bytes held for writing
    size_t m_nMax = 0; // bytes in the buffer when loading
};
