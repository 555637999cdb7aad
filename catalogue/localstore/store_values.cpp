// Store values escaped and decoded.
#include "catalogue/localstore/store_values.h"

#include <cstring>

namespace store_values
{

namespace
{

const char kHexDigits[] = "0123456789ABCDEF";

int HexValue(char c)
{
    const char* p = c != '\0' ? std::strchr(kHexDigits, c) : nullptr;
    return p != nullptr ? static_cast<int>(p - kHexDigits) : -1;
}

} // namespace

CString Escape(LPCTSTR lpszValue)
{
    CString out;
    const char* s = lpszValue != nullptr ? lpszValue : "";
    size_t n = std::strlen(s);
    for (size_t i = 0; i < n; ++i) {
        auto b = static_cast<unsigned char>(s[i]);
        bool atEnd = i == 0 || i == n - 1;
        if ((b >= 1 && b <= 31) || b == '%' || (atEnd && (b == ' ' || b == '"')))
            out.AppendFormat("%c%02X", '%', b);
        else
            out.AppendChar(static_cast<char>(b));
    }
    return out;
}

CString Unescape(LPCTSTR lpszValue, bool bLegacy)
{
    CString out;
    const char* s = lpszValue != nullptr ? lpszValue : "";
    size_t n = std::strlen(s);
    for (size_t i = 0; i < n;) {
        if (s[i] == '%' && n - i >= 3 && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0) {
            char byte = static_cast<char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]));
            if (byte != '\0')
                out.AppendChar(byte);
            i += 3;
            continue;
        }
        if (bLegacy && s[i] == '~' && n - i >= 5) {
            int v = 0;
            bool ok = true;
            for (size_t k = 1; k <= 4 && ok; ++k) {
                int h = HexValue(s[i + k]);
                ok = h >= 0;
                v = v * 16 + h;
            }
            if (ok) {
                char byte = static_cast<char>(v & 0xFF);
                if (byte != '\0')
                    out.AppendChar(byte);
                i += 5;
                continue;
            }
        }
        out.AppendChar(s[i++]);
    }
    return out;
}

} // namespace store_values
