// CArchive buffering, counts and the string layout.
#include "framework/archive.h"

#include <algorithm>
#include <cstring>

IMPLEMENT_DYNAMIC(CArchiveException, CException)

namespace
{
const char* CauseText(int cause)
{
    switch (cause) {
    case CArchiveException::none:
        return "No error occurred with %s.";
    case CArchiveException::readOnly:
        return "%s was opened for loading and cannot be written.";
    case CArchiveException::endOfFile:
        return "The data of %s ended too early.";
    case CArchiveException::writeOnly:
        return "%s was opened for storing and cannot be read.";
    case CArchiveException::badIndex:
    case CArchiveException::badClass:
    case CArchiveException::badSchema:
        return "%s holds data in an unexpected format.";
    default:
        return "An unexpected error occurred while reading or writing %s.";
    }
}
} // namespace

BOOL CArchiveException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    CString text;
    text.Format(CauseText(m_cause),
                m_strFileName.IsEmpty() ? "an unnamed archive" : m_strFileName.GetString());
    return CopyMessage(text, lpszError, nMaxError, pnHelpContext);
}

void AfxThrowArchiveException(int cause, LPCTSTR lpszArchiveName)
{
    throw new CArchiveException(cause, lpszArchiveName);
}

CArchive::CArchive(CFile* pFile, UINT nMode, int nBufSize, void* /*lpBuf*/)
    : m_pFile(pFile), m_nMode(nMode), m_buf(static_cast<size_t>(std::max(nBufSize, 16)))
{
    ASSERT(pFile != nullptr);
}

CArchive::~CArchive()
{
    if (!m_pFile)
        return;
    if (m_nMode & bNoFlushOnDelete) {
        Abort();
        return;
    }
    try {
        Close();
    } catch (CException* e) {
        // A destructor cannot report it; call Close() first to see write errors.
        e->Delete();
        Abort();
    }
}

LPCTSTR CArchive::FileName() const
{
    return m_pFile ? m_pFile->GetFilePath().GetString() : nullptr;
}

void CArchive::FillBuffer()
{
    m_nMax = m_pFile->Read(m_buf.data(), static_cast<UINT>(m_buf.size()));
    m_nCur = 0;
}

UINT CArchive::Read(void* lpBuf, UINT nMax)
{
    if (!IsLoading())
        AfxThrowArchiveException(CArchiveException::writeOnly, FileName());
    BYTE* out = static_cast<BYTE*>(lpBuf);
    UINT done = 0;
    while (done < nMax) {
        if (m_nCur == m_nMax) {
            FillBuffer();
            if (m_nMax == 0)
                break;
        }
        const size_t n = std::min<size_t>(nMax - done, m_nMax - m_nCur);
        std::memcpy(out + done, m_buf.data() + m_nCur, n);
        m_nCur += n;
        done += static_cast<UINT>(n);
    }
    return done;
}

void CArchive::Write(const void* lpBuf, UINT nMax)
{
    if (!IsStoring())
        AfxThrowArchiveException(CArchiveException::readOnly, FileName());
    const BYTE* in = static_cast<const BYTE*>(lpBuf);
    while (nMax > 0) {
        if (m_nCur == m_buf.size())
            Flush();
        const size_t n = std::min<size_t>(nMax, m_buf.size() - m_nCur);
        std::memcpy(m_buf.data() + m_nCur, in, n);
        m_nCur += n;
        in += n;
        nMax -= static_cast<UINT>(n);
    }
}

void CArchive::Flush()
{
    if (!m_pFile)
        return;
    if (IsStoring()) {
        const size_t n = m_nCur;
        m_nCur = 0;
        if (n)
            m_pFile->Write(m_buf.data(), static_cast<UINT>(n));
    } else if (m_nMax > m_nCur) {
        m_pFile->Seek(-static_cast<LONGLONG>(m_nMax - m_nCur), CFile::current);
        m_nCur = m_nMax = 0;
    }
}

void CArchive::Close()
{
    Flush();
    m_pFile = nullptr;
}

void CArchive::Abort()
{
    m_pFile = nullptr;
    m_nCur = m_nMax = 0;
}

void CArchive::WriteCount(DWORD_PTR dwCount)
{
    if (dwCount < 0xFFFF) {
        *this << static_cast<WORD>(dwCount);
        return;
    }
    *this << static_cast<WORD>(0xFFFF);
    if (dwCount < 0xFFFFFFFF) {
        *this << static_cast<UINT>(dwCount);
        return;
    }
    *this << static_cast<UINT>(0xFFFFFFFF) << static_cast<ULONGLONG>(dwCount);
}

DWORD_PTR CArchive::ReadCount()
{
    WORD w = 0;
    *this >> w;
    if (w != 0xFFFF)
        return w;
    UINT dw = 0;
    *this >> dw;
    if (dw != 0xFFFFFFFF)
        return dw;
    ULONGLONG n = 0;
    *this >> n;
    return static_cast<DWORD_PTR>(n);
}

// A string is its length, then its bytes, no terminator. The length is one byte below 0xFF;
// else 0xFF and a WORD below 0xFFFE; else 0xFF, 0xFFFF and a DWORD below 0xFFFFFFFF; else
// 0xFF, 0xFFFF, 0xFFFFFFFF and a 64-bit length. 0xFF 0xFFFE before the length marks UTF-16
// text, which is read back as the system code page.
CArchive& CArchive::operator<<(const CString& s)
{
    const UINT len = static_cast<UINT>(s.GetLength());
    if (len < 0xFF) {
        *this << static_cast<BYTE>(len);
    } else if (len < 0xFFFE) {
        *this << static_cast<BYTE>(0xFF) << static_cast<WORD>(len);
    } else {
        *this << static_cast<BYTE>(0xFF) << static_cast<WORD>(0xFFFF) << len;
    }
    Write(s.GetString(), len);
    return *this;
}

CArchive& CArchive::operator>>(CString& s)
{
    bool wide = false;
    ULONGLONG len = 0;
    for (;;) {
        BYTE b = 0;
        *this >> b;
        len = b;
        if (b < 0xFF)
            break;
        WORD w = 0;
        *this >> w;
        if (w == 0xFFFE && !wide) {
            wide = true;
            continue;
        }
        len = w;
        if (w < 0xFFFF)
            break;
        UINT dw = 0;
        *this >> dw;
        len = dw;
        if (dw == 0xFFFFFFFF)
            *this >> len;
        break;
    }
    const ULONGLONG bytes = wide ? len * 2 : len;
    // Read in steps so a corrupt length fails at the end of the data, not in one huge allocation.
    std::string raw;
    while (raw.size() < bytes) {
        char chunk[4096];
        const UINT want = static_cast<UINT>(std::min<ULONGLONG>(sizeof chunk, bytes - raw.size()));
        if (Read(chunk, want) != want)
            AfxThrowArchiveException(CArchiveException::endOfFile, FileName());
        raw.append(chunk, want);
    }
    if (!wide) {
        s = CString(raw);
        return *this;
    }
#ifdef _WIN32
    const int n = ::WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<LPCWSTR>(raw.data()),
                                        static_cast<int>(len), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<LPCWSTR>(raw.data()),
                              static_cast<int>(len), out.data(), n, nullptr, nullptr);
#else
    std::string out;
    for (size_t i = 0; i + 1 < raw.size(); i += 2) {
        const unsigned c = static_cast<BYTE>(raw[i]) | (static_cast<BYTE>(raw[i + 1]) << 8);
        out += c < 0x80 ? static_cast<char>(c) : '?';
    }
#endif
    s = CString(out);
    return *this;
}

CArchive& CArchive::operator>>(bool& b)
{
    BYTE v = 0;
    *this >> v;
    b = v != 0;
    return *this;
}
