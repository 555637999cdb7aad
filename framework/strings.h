// CString: the framework's 8-bit text value (system code page, no UNICODE).
// A plain value type over std::string, so copies are independent and safe to hand to
// another thread. Pass it to printf-style functions as (LPCTSTR)s or s.GetString(): a class
// object cannot travel through "...".
#pragma once

#include "framework/wintypes.h"

#include <cstdarg>
#include <string>

#if defined(__MINGW32__)
#define SONORIA_PRINTF(fmt, args) __attribute__((format(__MINGW_PRINTF_FORMAT, fmt, args)))
#elif defined(__GNUC__)
#define SONORIA_PRINTF(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define SONORIA_PRINTF(fmt, args)
#endif

class CString
{
public:
    CString() = default;
    CString(LPCSTR psz);              // null gives an empty string
    CString(LPCSTR pch, int nLength); // exactly nLength chars, NULs included
    explicit CString(char ch, int nRepeat = 1);
    explicit CString(const std::string& s) : m_s(s) {}
    CString(const CString&) = default;
    CString(CString&&) noexcept = default;
    CString& operator=(const CString&) = default;
    CString& operator=(CString&&) noexcept = default;
    CString& operator=(LPCSTR psz);
    CString& operator=(char ch);

    int GetLength() const { return static_cast<int>(m_s.size()); }
    BOOL IsEmpty() const { return m_s.empty(); }
    void Empty() { m_s.clear(); }
    LPCTSTR GetString() const { return m_s.c_str(); }
    operator LPCTSTR() const { return m_s.c_str(); }
    const std::string& str() const { return m_s; }

    // Index must lie within [0, GetLength()).
    char GetAt(int nIndex) const;
    void SetAt(int nIndex, char ch);
    char operator[](int nIndex) const { return GetAt(nIndex); }

    CString& operator+=(const CString& s);
    CString& operator+=(LPCSTR psz);
    CString& operator+=(char ch);
    void Append(LPCSTR psz, int nLength);
    void AppendChar(char ch) { m_s.push_back(ch); }

    // Sign of the byte-wise (unsigned char) comparison: -1, 0 or 1. NoCase folds ASCII only.
    int Compare(LPCSTR psz) const;
    int CompareNoCase(LPCSTR psz) const;
    int Collate(LPCSTR psz) const { return Compare(psz); }
    int CollateNoCase(LPCSTR psz) const { return CompareNoCase(psz); }

    void Format(LPCSTR pszFormat, ...) SONORIA_PRINTF(2, 3);
    void AppendFormat(LPCSTR pszFormat, ...) SONORIA_PRINTF(2, 3);
    void FormatV(LPCSTR pszFormat, va_list args);
    void AppendFormatV(LPCSTR pszFormat, va_list args);

    // Out-of-range arguments are clamped, as callers have long relied on.
    CString Mid(int nFirst) const;
    CString Mid(int nFirst, int nCount) const;
    CString Left(int nCount) const;
    CString Right(int nCount) const;
    CString SpanIncluding(LPCSTR pszCharSet) const;
    CString SpanExcluding(LPCSTR pszCharSet) const;

    // Index of the match or -1; a start outside the string finds nothing.
    int Find(char ch, int nStart = 0) const;
    int Find(LPCSTR pszSub, int nStart = 0) const;
    int ReverseFind(char ch) const;
    int FindOneOf(LPCSTR pszCharSet) const;

    // Return the number of replacements / removals; the new length for Insert and Delete.
    int Replace(char chOld, char chNew);
    int Replace(LPCSTR pszOld, LPCSTR pszNew);
    int Remove(char ch);
    int Insert(int nIndex, char ch);
    int Insert(int nIndex, LPCSTR psz);
    int Delete(int nIndex, int nCount = 1);

    // Without arguments these strip white space (space, tab, CR, LF, VT, FF).
    CString& Trim();
    CString& Trim(char chTarget);
    CString& Trim(LPCSTR pszTargets);
    CString& TrimLeft();
    CString& TrimLeft(char chTarget);
    CString& TrimLeft(LPCSTR pszTargets);
    CString& TrimRight();
    CString& TrimRight(char chTarget);
    CString& TrimRight(LPCSTR pszTargets);

    CString& MakeUpper();
    CString& MakeLower();
    CString& MakeReverse();

    // Next token from iStart on, skipping leading delimiters; iStart moves past the token.
    // At the end it returns an empty string and sets iStart to -1.
    CString Tokenize(LPCSTR pszTokens, int& iStart) const;

    // Writable buffer of at least nMinBufLength chars plus a terminator; the current text
    // is kept. ReleaseBuffer fixes the length (-1: up to the first NUL).
    LPTSTR GetBuffer(int nMinBufLength = 0);
    LPTSTR GetBufferSetLength(int nNewLength);
    void ReleaseBuffer(int nNewLength = -1);
    void Truncate(int nNewLength);
    void Preallocate(int nLength) { m_s.reserve(nLength > 0 ? nLength : 0); }

#ifdef _WIN32
    // Loads a string from the program's string table; FALSE (and empty) when it is missing.
    BOOL LoadString(UINT nID);
#endif

private:
    std::string m_s;
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, LPCSTR b);
CString operator+(LPCSTR a, const CString& b);
CString operator+(const CString& a, char b);
CString operator+(char a, const CString& b);

inline bool operator==(const CString& a, const CString& b)
{
    return a.str() == b.str();
}
inline bool operator==(const CString& a, LPCSTR b)
{
    return a.Compare(b) == 0;
}
inline bool operator==(LPCSTR a, const CString& b)
{
    return b.Compare(a) == 0;
}
inline bool operator!=(const CString& a, const CString& b)
{
    return !(a == b);
}
inline bool operator!=(const CString& a, LPCSTR b)
{
    return !(a == b);
}
inline bool operator!=(LPCSTR a, const CString& b)
{
    return !(a == b);
}
inline bool operator<(const CString& a, const CString& b)
{
    return a.str() < b.str();
}
inline bool operator<(const CString& a, LPCSTR b)
{
    return a.Compare(b) < 0;
}
inline bool operator<(LPCSTR a, const CString& b)
{
    return b.Compare(a) > 0;
}
inline bool operator>(const CString& a, const CString& b)
{
    return b < a;
}
inline bool operator>(const CString& a, LPCSTR b)
{
    return a.Compare(b) > 0;
}
inline bool operator>(LPCSTR a, const CString& b)
{
    return b.Compare(a) < 0;
}
inline bool operator<=(const CString& a, const CString& b)
{
    return !(b < a);
}
inline bool operator<=(const CString& a, LPCSTR b)
{
    return a.Compare(b) <= 0;
}
inline bool operator<=(LPCSTR a, const CString& b)
{
    return b.Compare(a) >= 0;
}
inline bool operator>=(const CString& a, const CString& b)
{
    return !(a < b);
}
inline bool operator>=(const CString& a, LPCSTR b)
{
    return a.Compare(b) >= 0;
}
inline bool operator>=(LPCSTR a, const CString& b)
{
    return b.Compare(a) <= 0;
}

template <> struct std::hash<CString> {
    size_t operator()(const CString& s) const noexcept { return std::hash<std::string>()(s.str()); }
};
