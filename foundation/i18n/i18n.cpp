// The translation engine's portable part: escaping, the cache and the lookup with write-back.
// The file access lives in i18n_profile_win.cpp (Windows) or i18n_profile_none.cpp.
#include "foundation/i18n/i18n.h"

#include <cstdio>
#include <cstring>

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

// Value of an upper-case hexadecimal digit, or -1.
int HexValue(char c)
{
    const char* p = c ? std::strchr(kHexDigits, c) : nullptr;
    return p ? static_cast<int>(p - kHexDigits) : -1;
}

// Value of the n digits at s, or -1 when one of them is not an upper-case hex digit (the end of
// the text counts as such).
int HexRun(const char* s, int n)
{
    int value = 0;
    for (int i = 0; i < n; ++i) {
        const int d = HexValue(s[i]);
        if (d < 0)
            return -1;
        value = value * 16 + d;
    }
    return value;
}

} // namespace

CI18N::CI18N() = default;

CI18N::~CI18N() = default;

void CI18N::SetLanguageFile(LPCTSTR lpszPath)
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    const CString strPath(lpszPath ? lpszPath : "");
    if (strPath == m_strLanguageFile)
        return;
    m_strLanguageFile = strPath;
    m_cache.clear();
}

void CI18N::ClearCache()
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    m_cache.clear();
}

CString CI18N::Translate(LPCTSTR lpszKey, LPCTSTR lpszDefault)
{
    if (!lpszKey)
        return CString(lpszDefault);
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    CString strText;
    if (LookupCache(lpszKey, strText))
        return strText;
    if (!ReadEntry(lpszKey, strText)) {
        strText = lpszDefault ? lpszDefault : "";
        if (lpszDefault)
            WriteEntry(lpszKey, lpszDefault);
    }
    StoreCache(lpszKey, strText);
    return strText;
}

BOOL CI18N::LookupCache(LPCTSTR lpszKey, CString& strText) const
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    const auto it = m_cache.find(lpszKey);
    if (it == m_cache.end())
        return FALSE;
    strText = it->second.c_str();
    return TRUE;
}

void CI18N::StoreCache(LPCTSTR lpszKey, LPCTSTR lpszText)
{
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    m_cache[lpszKey] = lpszText;
}

// Control bytes, '%', '~' and blanks at either end become "%XX"; bytes from 0x80 become "~FFXX"
// (the byte as a signed char widened to 16 bits). The profile functions drop blanks around a
// value and a pair of double quotes enclosing it when they read it, so leading blanks and a
// leading double quote are escaped as well as the final blank.
CString CI18N::Escape(LPCTSTR lpszText)
{
    const char* s = lpszText ? lpszText : "";
    const size_t n = std::strlen(s);
    size_t firstNonBlank = 0;
    while (firstNonBlank < n && s[firstNonBlank] == ' ')
        ++firstNonBlank;

    std::string out;
    out.reserve(n);
    char buf[8];
    for (size_t i = 0; i < n; ++i) {
        const char c = s[i];
        const unsigned char b = static_cast<unsigned char>(c);
        const bool edgeBlank = c == ' ' && (i < firstNonBlank || i + 1 == n);
        const bool leadingQuote = c == '"' && i == firstNonBlank;
        if (b < 0x20 || c == '%' || c == '~' || edgeBlank || leadingQuote) {
            std::snprintf(buf, sizeof buf, "%c%02X", '%', b);
            out += buf;
        } else if (b >= 0x80) {
            const unsigned widened = static_cast<unsigned short>(static_cast<signed char>(c));
            std::snprintf(buf, sizeof buf, "%c%04X", '~', widened);
            out += buf;
        } else {
            out += c;
        }
    }
    return CString(out.c_str());
}

// An escape whose digits are not upper-case hexadecimal, or that the end of the text cuts short,
// is not an escape: its '%' or '~' is kept as it stands (hand-edited files may hold "50%").
CString CI18N::Unescape(LPCTSTR lpszText)
{
    const char* s = lpszText ? lpszText : "";
    const size_t n = std::strlen(s);
    std::string out;
    out.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        const char c = s[i];
        int value = -1;
        if (c == '%' && (value = HexRun(s + i + 1, 2)) >= 0) {
            i += 2;
        } else if (c == '~' && (value = HexRun(s + i + 1, 4)) >= 0) {
            i += 4;
        }
        if (value < 0)
            out += c;
        else if ((value & 0xFF) != 0) // a NUL byte would end the text
            out += static_cast<char>(value & 0xFF);
    }
    return CString(out.c_str());
}

CI18N& GetI18N()
{
    static CI18N theI18N;
    return theI18N;
}

CString I18NString(LPCTSTR lpszKey, LPCTSTR lpszDefault)
{
    return GetI18N().Translate(lpszKey, lpszDefault);
}

void I18NSetLanguageFile(LPCTSTR lpszPath)
{
    GetI18N().SetLanguageFile(lpszPath);
}
