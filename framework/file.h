// Files: unbuffered binary files over system handles, line-oriented text files, memory files.
// Classes here: CFileStatus, CFile, CStdioFile, CMemFile.
// Failures throw CFileException* (Open returns FALSE instead). The native build runs the same
// code over POSIX descriptors, emulating Windows where it matters (directories cannot be opened
// as files, Rename does not replace an existing file); share modes are not enforced there.
#pragma once

#include "framework/datetime.h"
#include "framework/exceptions.h"

#include <vector>

struct CFileStatus {
    CTime m_ctime;
    CTime m_mtime;
    CTime m_atime;
    ULONGLONG m_size = 0;
    BYTE m_attribute = 0; // CFile::Attribute bits
    TCHAR m_szFullName[MAX_PATH] = {};
};

class CFile : public CObject
{
    DECLARE_DYNAMIC(CFile)
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000, // treated as shareExclusive
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeText = 0x4000,
        typeBinary = 0x8000,
    };
    enum Attribute : BYTE {
        normal = 0x00,
        readOnly = 0x01,
        hidden = 0x02,
        system = 0x04,
        volume = 0x08,
        directory = 0x10,
        archive = 0x20,
    };
    enum SeekPosition : UINT { begin = 0, current = 1, end = 2 };

    static const HANDLE hFileNull;

    CFile();
    // Wraps an open handle; the object will not close it.
    explicit CFile(HANDLE hFile);
    // Opens or throws CFileException*.
    CFile(LPCTSTR lpszFileName, UINT nOpenFlags);
    ~CFile() override;

    // FALSE on failure, with the cause in *pError when given; never throws.
    virtual BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
    // Returns the bytes read: fewer than nCount only at the end of the file.
    virtual UINT Read(void* lpBuf, UINT nCount);
    // Writes everything or throws (diskFull when the disk takes only part).
    virtual void Write(const void* lpBuf, UINT nCount);
    // Returns the new position; a position before the start throws badSeek.
    virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    virtual ULONGLONG GetPosition() const;
    virtual ULONGLONG GetLength() const;
    // Cuts or extends the file; the position moves to the new end.
    virtual void SetLength(ULONGLONG dwNewLen);
    virtual void Flush();
    virtual void Close();
    // Closes without throwing, ignoring errors.
    virtual void Abort();

    virtual CString GetFileName() const; // the name after the last path separator
    virtual CString GetFilePath() const { return m_strFileName; }
    virtual void SetFilePath(LPCTSTR lpszNewName) { m_strFileName = lpszNewName; }
    BOOL GetStatus(CFileStatus& rStatus) const;
    static BOOL GetStatus(LPCTSTR lpszFileName, CFileStatus& rStatus);
    static void Rename(LPCTSTR lpszOldName, LPCTSTR lpszNewName);
    static void Remove(LPCTSTR lpszFileName);

    operator HANDLE() const { return m_hFile; }

    HANDLE m_hFile;
    BOOL m_bCloseOnDelete;
    CString m_strFileName; // full path of the open file

protected:
    void ThrowLastError() const;
};

// Text files read and written line by line. In text mode (the default unless typeBinary is
// given) "\r\n" and "\n" both end a line on reading, and writing turns "\n" into "\r\n".
class CStdioFile : public CFile
{
    DECLARE_DYNAMIC(CStdioFile)
public:
    CStdioFile() = default;
    CStdioFile(LPCTSTR lpszFileName, UINT nOpenFlags);

    BOOL Open(LPCTSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;
    // Next line without its line end; FALSE at the end of the file.
    virtual BOOL ReadString(CString& rString);
    // Up to nMax - 1 chars, stopping after "\n" (kept); null at the end of the file.
    virtual LPTSTR ReadString(LPTSTR lpsz, UINT nMax);
    virtual void WriteString(LPCTSTR lpsz);

    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
    ULONGLONG GetPosition() const override;
    ULONGLONG GetLength() const override;
    void SetLength(ULONGLONG dwNewLen) override;
    void Flush() override;
    void Close() override;
    void Abort() override;

private:
    BOOL FillBuffer();
    int NextChar();
    void DropReadBuffer();

    BOOL m_bText = TRUE;
    std::vector<char> m_buf; // read-ahead
    size_t m_bufPos = 0;
};

// A file in memory. The default one owns a buffer that grows by nGrowBytes; one made over a
// caller's buffer (or given one with Attach) uses it in place and cannot grow when nGrowBytes
// is 0.
class CMemFile : public CFile
{
    DECLARE_DYNAMIC(CMemFile)
public:
    explicit CMemFile(UINT nGrowBytes = 1024);
    CMemFile(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    ~CMemFile() override;

    // The buffer is the caller's: it is not freed by this object.
    void Attach(BYTE* lpBuffer, UINT nBufferSize, UINT nGrowBytes = 0);
    // Hands the buffer to the caller (free() it if this object allocated it) and empties the file.
    BYTE* Detach();

    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
    ULONGLONG GetPosition() const override { return m_nPosition; }
    ULONGLONG GetLength() const override { return m_nFileSize; }
    void SetLength(ULONGLONG dwNewLen) override;
    void Flush() override {}
    void Close() override;
    void Abort() override { Close(); }

private:
    void GrowFile(SIZE_T nNewLen);

    BYTE* m_lpBuffer = nullptr;
    SIZE_T m_nBufferSize = 0;
    SIZE_T m_nFileSize = 0;
    SIZE_T m_nPosition = 0;
    UINT m_nGrowBytes;
    BOOL m_bAutoDelete = TRUE;
};
