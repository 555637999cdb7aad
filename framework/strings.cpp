// CString members that do more than forward to std::string.
#include "framework/strings.h"

#include "framework/object.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace
{
const char kWhiteSpace[] = " \t\r\n\v\f";

int Clamp(int v, int lo, int hi)
{
    return v < lo ? lo : (v > hi ? hi : v);
}

char AsciiUpper(char c)
{
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

char AsciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

int Sign(int v)
{
    return v < 0 ? -1 : (v > 0 ? 1 : 0);
}
} // namespace

CString::CString(LPCSTR psz) : m_s(psz ? psz : "") {}

CString::CString(LPCSTR pch, int nLength)
{
    if (pch && nLength > 0)
        m_s.assign(pch, static_cast<size_t>(nLength));
}

CString::CString(char ch, int nRepeat)
{
    if (nRepeat > 0)
        m_s.assign(static_cast<size_t>(nRepeat), ch);
}

CString& CString::operator=(LPCSTR psz)
{
    // psz may point into this string's own buffer; assign copes with that.
    m_s.assign(psz ? psz : "");
    return *this;
}

CString& CString::operator=(char ch)
{
    m_s.assign(1, ch);
    return *this;
}

char CString::GetAt(int nIndex) const
{
    ASSERT(nIndex >= 0 && nIndex < GetLength());
    return (nIndex >= 0 && nIndex < GetLength()) ? m_s[static_cast<size_t>(nIndex)] : '\0';
}

void CString::SetAt(int nIndex, char ch)
{
    ASSERT(nIndex >= 0 && nIndex < GetLength());
    if (nIndex >= 0 && nIndex < GetLength())
        m_s[static_cast<size_t>(nIndex)] = ch;
}

CString& CString::operator+=(const CString& s)
{
    m_s += s.m_s;
    return *this;
}

CString& CString::operator+=(LPCSTR psz)
{
    if (psz)
        m_s.append(psz);
    return *this;
}

CString& CString::operator+=(char ch)
{
    m_s.push_back(ch);
    return *this;
}

void CString::Append(LPCSTR psz, int nLength)
{
    if (psz && nLength > 0)
        m_s.append(psz, static_cast<size_t>(nLength));
}

int CString::Compare(LPCSTR psz) const
{
    return Sign(std::strcmp(m_s.c_str(), psz ? psz : ""));
}

int CString::CompareNoCase(LPCSTR psz) const
{
    const unsigned char* a = reinterpret_cast<const unsigned char*>(m_s.c_str());
    const unsigned char* b = reinterpret_cast<const unsigned char*>(psz ? psz : "");
    for (;; ++a, ++b) {
        const int ca = static_cast<unsigned char>(AsciiLower(static_cast<char>(*a)));
        const int cb = static_cast<unsigned char>(AsciiLower(static_cast<char>(*b)));
        if (ca != cb || ca == 0)
            return Sign(ca - cb);
    }
}

void CString::Format(LPCSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    FormatV(pszFormat, args);
    va_end(args);
}

void CString::AppendFormat(LPCSTR pszFormat, ...)
{
    va_list args;
    va_start(args, pszFormat);
    AppendFormatV(pszFormat, args);
    va_end(args);
}

void CString::FormatV(LPCSTR pszFormat, va_list args)
{
    // Arguments may point into this string, so build the result aside first.
    CString result;
    result.AppendFormatV(pszFormat, args);
    m_s.swap(result.m_s);
}

void CString::AppendFormatV(LPCSTR pszFormat, va_list args)
{
    if (!pszFormat)
        return;
    va_list probe;
    va_copy(probe, args);
    const int n = std::vsnprintf(nullptr, 0, pszFormat, probe);
    va_end(probe);
    if (n <= 0)
        return;
    std::string out(static_cast<size_t>(n), '\0');
    std::vsnprintf(out.data(), out.size() + 1, pszFormat, args);
    m_s += out;
}

CString CString::Mid(int nFirst) const
{
    return Mid(nFirst, GetLength());
}

CString CString::Mid(int nFirst, int nCount) const
{
    nFirst = Clamp(nFirst, 0, GetLength());
    nCount = Clamp(nCount, 0, GetLength() - nFirst);
    return CString(m_s.substr(static_cast<size_t>(nFirst), static_cast<size_t>(nCount)));
}

CString CString::Left(int nCount) const
{
    return Mid(0, nCount);
}

CString CString::Right(int nCount) const
{
    nCount = Clamp(nCount, 0, GetLength());
    return Mid(GetLength() - nCount, nCount);
}

CString CString::SpanIncluding(LPCSTR pszCharSet) const
{
    return Left(static_cast<int>(std::strspn(m_s.c_str(), pszCharSet ? pszCharSet : "")));
}

CString CString::SpanExcluding(LPCSTR pszCharSet) const
{
    return Left(static_cast<int>(std::strcspn(m_s.c_str(), pszCharSet ? pszCharSet : "")));
}

int CString::Find(char ch, int nStart) const
{
    if (nStart < 0 || nStart >= GetLength())
        return -1;
    const size_t pos = m_s.find(ch, static_cast<size_t>(nStart));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Find(LPCSTR pszSub, int nStart) const
{
    if (!pszSub || nStart < 0 || nStart > GetLength())
        return -1;
    const size_t pos = m_s.find(pszSub, static_cast<size_t>(nStart));
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::ReverseFind(char ch) const
{
    const size_t pos = m_s.rfind(ch);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::FindOneOf(LPCSTR pszCharSet) const
{
    if (!pszCharSet || !*pszCharSet)
        return -1;
    const size_t pos = m_s.find_first_of(pszCharSet);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

int CString::Replace(char chOld, char chNew)
{
    int n = 0;
    for (char& c : m_s) {
        if (c == chOld) {
            c = chNew;
            ++n;
        }
    }
    return n;
}

int CString::Replace(LPCSTR pszOld, LPCSTR pszNew)
{
    if (!pszOld || !*pszOld)
        return 0;
    const std::string from(pszOld);
    const std::string to(pszNew ? pszNew : "");
    std::string out;
    int n = 0;
    size_t pos = 0;
    for (size_t hit; (hit = m_s.find(from, pos)) != std::string::npos; pos = hit + from.size()) {
        out.append(m_s, pos, hit - pos).append(to);
        ++n;
    }
    if (n) {
        out.append(m_s, pos, std::string::npos);
        m_s.swap(out);
    }
    return n;
}

int CString::Remove(char ch)
{
    const size_t before = m_s.size();
    m_s.erase(std::remove(m_s.begin(), m_s.end(), ch), m_s.end());
    return static_cast<int>(before - m_s.size());
}

int CString::Insert(int nIndex, char ch)
{
    m_s.insert(static_cast<size_t>(Clamp(nIndex, 0, GetLength())), 1, ch);
    return GetLength();
}

int CString::Insert(int nIndex, LPCSTR psz)
{
    if (psz) {
        const std::string ins(psz); // psz may point into this string
        m_s.insert(static_cast<size_t>(Clamp(nIndex, 0, GetLength())), ins);
    }
    return GetLength();
}

int CString::Delete(int nIndex, int nCount)
{
    nIndex = Clamp(nIndex, 0, GetLength());
    nCount = Clamp(nCount, 0, GetLength() - nIndex);
    m_s.erase(static_cast<size_t>(nIndex), static_cast<size_t>(nCount));
    return GetLength();
}

CString& CString::Trim()
{
    return TrimRight().TrimLeft();
}

CString& CString::Trim(char chTarget)
{
    return TrimRight(chTarget).TrimLeft(chTarget);
}

CString& CString::Trim(LPCSTR pszTargets)
{
    return TrimRight(pszTargets).TrimLeft(pszTargets);
}

CString& CString::TrimLeft()
{
    return TrimLeft(kWhiteSpace);
}

CString& CString::TrimLeft(char chTarget)
{
    const char set[2] = {chTarget, '\0'};
    return chTarget ? TrimLeft(set) : *this;
}

CString& CString::TrimLeft(LPCSTR pszTargets)
{
    if (pszTargets && *pszTargets)
        m_s.erase(0, std::min(m_s.find_first_not_of(pszTargets), m_s.size()));
    return *this;
}

CString& CString::TrimRight()
{
    return TrimRight(kWhiteSpace);
}

CString& CString::TrimRight(char chTarget)
{
    const char set[2] = {chTarget, '\0'};
    return chTarget ? TrimRight(set) : *this;
}

CString& CString::TrimRight(LPCSTR pszTargets)
{
    if (pszTargets && *pszTargets) {
        const size_t last = m_s.find_last_not_of(pszTargets);
        m_s.erase(last == std::string::npos ? 0 : last + 1);
    }
    return *this;
}

CString& CString::MakeUpper()
{
    std::transform(m_s.begin(), m_s.end(), m_s.begin(), AsciiUpper);
    return *this;
}

CString& CString::MakeLower()
{
    std::transform(m_s.begin(), m_s.end(), m_s.begin(), AsciiLower);
    return *this;
}

CString& CString::MakeReverse()
{
    std::reverse(m_s.begin(), m_s.end());
    return *this;
}

CString CString::Tokenize(LPCSTR pszTokens, int& iStart) const
{
    if (iStart >= 0 && iStart < GetLength()) {
        if (!pszTokens || !*pszTokens) {
            // No delimiters: the rest is one token, and the next call ends the walk.
            CString rest = Mid(iStart);
            iStart = GetLength();
            return rest;
        }
        const size_t from = m_s.find_first_not_of(pszTokens, static_cast<size_t>(iStart));
        if (from != std::string::npos) {
            size_t to = m_s.find_first_of(pszTokens, from);
            if (to == std::string::npos)
                to = m_s.size();
            iStart = static_cast<int>(to) + 1;
            return CString(m_s.substr(from, to - from));
        }
    }
    iStart = -1;
    return CString();
}

LPTSTR CString::GetBuffer(int nMinBufLength)
{
    if (nMinBufLength > GetLength())
        m_s.resize(static_cast<size_t>(nMinBufLength));
    return m_s.data();
}

LPTSTR CString::GetBufferSetLength(int nNewLength)
{
    m_s.resize(static_cast<size_t>(nNewLength > 0 ? nNewLength : 0));
    return m_s.data();
}

void CString::ReleaseBuffer(int nNewLength)
{
    if (nNewLength < 0)
        nNewLength = static_cast<int>(std::strlen(m_s.c_str()));
    m_s.resize(static_cast<size_t>(std::min(nNewLength, GetLength())));
}

void CString::Truncate(int nNewLength)
{
    ASSERT(nNewLength >= 0 && nNewLength <= GetLength());
    m_s.resize(static_cast<size_t>(Clamp(nNewLength, 0, GetLength())));
}

#ifdef _WIN32
BOOL CString::LoadString(UINT nID)
{
    // LoadStringA truncates silently, so grow the buffer until the text fits with room to spare.
    for (int size = 256; size <= 65536; size *= 4) {
        std::string buf(static_cast<size_t>(size), '\0');
        const int n = ::LoadStringA(::GetModuleHandleA(nullptr), nID, buf.data(), size);
        if (n < size - 1) {
            m_s.assign(buf.data(), static_cast<size_t>(n > 0 ? n : 0));
            return n > 0;
        }
    }
    return FALSE;
}
#endif

CString operator+(const CString& a, const CString& b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, LPCSTR b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(LPCSTR a, const CString& b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(const CString& a, char b)
{
    CString r(a);
    r += b;
    return r;
}

CString operator+(char a, const CString& b)
{
    CString r(a);
    r += b;
    return r;
}
