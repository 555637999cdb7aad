// COXQuickString: growable character buffer.
#include "foundation/xml/quick_string.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>

#ifdef _WIN32
#include <mbstring.h>
#else
#include <strings.h>
#endif

COXQuickString::COXQuickString(const COXQuickString& other)
{
    SetText(other.IsEmpty() ? nullptr : other.GetText());
}

COXQuickString& COXQuickString::operator=(const COXQuickString& other)
{
    if (this != &other)
        SetText(other.IsEmpty() ? nullptr : other.GetText());
    return *this;
}

COXQuickString::~COXQuickString()
{
    delete[] m_pBuffer;
}

// Replaces the buffer by one of exactly `capacity` bytes holding the old text (cut to fit).
bool COXQuickString::Grow(int capacity)
{
    char* p = new (std::nothrow) char[capacity];
    if (!p)
        return false;
    int keep = m_nLength < capacity - 1 ? m_nLength : capacity - 1;
    if (m_pBuffer && keep > 0)
        std::memcpy(p, m_pBuffer, keep);
    p[keep] = 0;
    delete[] m_pBuffer;
    m_pBuffer = p;
    m_nCapacity = capacity;
    m_nLength = keep;
    return true;
}

int COXQuickString::SetText(const char* text)
{
    if (!text) {
        Empty();
        return 1;
    }
    size_t n = std::strlen(text);
    char* p = new (std::nothrow) char[n + 1];
    if (!p)
        return 0;
    std::memcpy(p, text, n + 1);
    delete[] m_pBuffer;
    m_pBuffer = p;
    m_nCapacity = static_cast<int>(n + 1);
    m_nLength = static_cast<int>(n);
    return 1;
}

void COXQuickString::Empty()
{
    delete[] m_pBuffer;
    m_pBuffer = nullptr;
    m_nCapacity = 0;
    m_nLength = 0;
    m_nGrowBy = 10;
}

int COXQuickString::AppendChar(char c)
{
    if (m_nCapacity < m_nLength + 2) {
        // The step grows with the text (up to 16 MiB), so that a long text costs a few copies,
        // not one per step of 10: a reply of a megabyte of text took seconds and hundreds of MB.
        const int kMaxStep = 16 << 20;
        if (m_nGrowBy < m_nLength)
            m_nGrowBy = m_nLength < kMaxStep ? m_nLength : kMaxStep;
        if (m_nLength > INT_MAX - m_nGrowBy - 1 || !Grow(m_nGrowBy + m_nLength + 1))
            return 0;
    }
    m_pBuffer[m_nLength++] = c;
    m_pBuffer[m_nLength] = 0;
    return 1;
}

int COXQuickString::Append(const char* text)
{
    if (!text)
        return 0;
    return AppendN(text, static_cast<int>(std::strlen(text)));
}

int COXQuickString::AppendN(const char* text, int n)
{
    if (!text)
        return 0;
    int len = static_cast<int>(strnlen(text, n < 0 ? 0 : static_cast<size_t>(n)));
    if (m_nCapacity < m_nLength + len + 1 && !Grow(m_nLength + len + 1))
        return 0;
    if (len > 0)
        std::memcpy(m_pBuffer + m_nLength, text, len);
    m_nLength += len;
    m_pBuffer[m_nLength] = 0;
    return 1;
}

int COXQuickString::SetCapacity(int n)
{
    if (n <= 0) {
        Empty();
        return 1;
    }
    if (n < m_nCapacity) {
        if (m_nLength > n - 1) {
            m_nLength = n - 1;
            m_pBuffer[m_nLength] = 0;
        }
        return 1;
    }
    if (n == m_nCapacity)
        return 1;
    return Grow(n) ? 1 : 0;
}

void COXQuickString::TrimRight()
{
    while (m_nLength > 0 && std::isspace(static_cast<unsigned char>(m_pBuffer[m_nLength - 1])))
        m_pBuffer[--m_nLength] = 0;
}

void COXQuickString::TrimLeft()
{
    int skip = 0;
    while (skip < m_nLength && std::isspace(static_cast<unsigned char>(m_pBuffer[skip])))
        ++skip;
    if (skip == 0)
        return;
    std::memmove(m_pBuffer, m_pBuffer + skip, m_nLength - skip + 1);
    m_nLength -= skip;
}

bool COXQuickString::IsEqual(const char* text, int mode) const
{
    if (IsEmpty() || !text)
        return false;
#ifdef _WIN32
    if (mode == 0)
        return _mbsicmp(reinterpret_cast<const unsigned char*>(m_pBuffer),
                        reinterpret_cast<const unsigned char*>(text)) == 0;
#else
    if (mode == 0)
        return strcasecmp(m_pBuffer, text) == 0;
#endif
    return std::strcmp(m_pBuffer, text) == 0;
}
