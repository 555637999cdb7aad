// Base64 encoding: every 3 input bytes become 4 characters of 6 bits each.
#include "framework/base64.h"

CString AfxBase64Encode(const void* pData, size_t nLength)
{
    static const char kAlphabet[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    const unsigned char* p = static_cast<const unsigned char*>(pData);
    CString out;
    out.Preallocate(static_cast<int>((nLength + 2) / 3 * 4));
    for (size_t i = 0; i < nLength; i += 3) {
        const size_t n = nLength - i < 3 ? nLength - i : 3;
        const unsigned v = (p[i] << 16) | (n > 1 ? p[i + 1] << 8 : 0) | (n > 2 ? p[i + 2] : 0);
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += n > 1 ? kAlphabet[(v >> 6) & 63] : '=';
        out += n > 2 ? kAlphabet[v & 63] : '=';
    }
    return out;
}
