// System code page <-> UTF-16 / UTF-8.
#include "framework/codepage.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

#ifndef _WIN32
// Windows-1252 bytes 0x80-0x9F; the five unassigned ones map to the C1 control of their
// value both ways, as Windows maps them, so that such bytes survive a round trip.
const char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t ByteToUnit(unsigned char b)
{
    if (b >= 0x80 && b < 0xA0)
        return kCp1252High[b - 0x80];
    return b;
}

char UnitToByte(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<char>(u);
    for (int i = 0; i < 32; ++i)
        if (kCp1252High[i] == u)
            return static_cast<char>(0x80 + i);
    return '?';
}
#endif

void AppendUtf8(std::string& out, char32_t c)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

} // namespace

std::u16string SystemToUtf16(const char* text, size_t length)
{
    std::u16string out;
    if (!text || length == 0)
        return out;
#ifdef _WIN32
    int n = MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0);
    if (n > 0) {
        out.resize(static_cast<size_t>(n));
        MultiByteToWideChar(CP_ACP, 0, text, static_cast<int>(length),
                            reinterpret_cast<wchar_t*>(out.data()), n);
    }
#else
    for (size_t i = 0; i < length; ++i)
        out += ByteToUnit(static_cast<unsigned char>(text[i]));
#endif
    return out;
}

CString Utf16ToSystem(const char16_t* units, size_t count)
{
    if (!units || count == 0)
        return CString();
#ifdef _WIN32
    // No ANSI code page holds a character beyond the basic plane: one '?' stands for it, not
    // one per surrogate, as in the native build.
    std::wstring wide;
    wide.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const char16_t u = units[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF)
            ++i;
        wide += (u >= 0xD800 && u <= 0xDFFF) ? L'?' : static_cast<wchar_t>(u);
    }
    int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                nullptr, nullptr);
    if (n <= 0)
        return CString();
    CString out;
    char* p = out.GetBufferSetLength(n);
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), p, n, nullptr,
                        nullptr);
    out.ReleaseBuffer(n);
    return out;
#else
    std::string s;
    for (size_t i = 0; i < count; ++i) {
        char16_t u = units[i];
        // A surrogate pair is one character the code page lacks.
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF)
            ++i;
        s += (u >= 0xD800 && u <= 0xDFFF) ? '?' : UnitToByte(u);
    }
    return CString(s.c_str(), static_cast<int>(s.size()));
#endif
}

std::string SystemToUtf8(const char* text, size_t length)
{
    std::u16string wide = SystemToUtf16(text, length);
    std::string out;
    for (size_t i = 0; i < wide.size(); ++i) {
        char32_t c = wide[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size() && wide[i + 1] >= 0xDC00 &&
            wide[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (wide[i + 1] - 0xDC00);
            ++i;
        }
        AppendUtf8(out, c);
    }
    return out;
}

CString Utf8ToSystem(const char* bytes, size_t length)
{
    std::u16string wide;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(bytes);
    size_t i = 0;
    while (i < length) {
        unsigned char b = p[i];
        int extra = b < 0x80 ? 0 : (b >> 5) == 6 ? 1 : (b >> 4) == 14 ? 2 : (b >> 3) == 30 ? 3 : -1;
        char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
        bool ok = extra >= 0 && i + extra < length;
        for (int k = 1; ok && k <= extra; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                ok = false;
            else
                c = (c << 6) | (p[i + k] & 0x3F);
        }
        if (!ok || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            wide += u'?';
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            wide += static_cast<char16_t>(0xD800 + (c >> 10));
            wide += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            wide += static_cast<char16_t>(c);
        }
        i += static_cast<size_t>(extra) + 1;
    }
    return Utf16ToSystem(wide.data(), wide.size());
}

bool IsStrictUtf8(const char* bytes, size_t length)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    for (size_t i = 0; i < length;) {
        const unsigned c = p[i];
        size_t extra;
        char32_t cp, min;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1, cp = c & 0x1F, min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2, cp = c & 0x0F, min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3, cp = c & 0x07, min = 0x10000;
        } else {
            return false;
        }
        if (extra > length - i - 1)
            return false;
        for (size_t k = 1; k <= extra; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        i += extra + 1;
    }
    return true;
}
