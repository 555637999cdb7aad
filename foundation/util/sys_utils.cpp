// The portable system utilities: path joining and URL encoding.
#include "foundation/util/sys_utils.h"

#include <cstdio>

CString AppendPathComponent(LPCTSTR lpszFolder, LPCTSTR lpszName)
{
    CString strPath(lpszFolder);
    if (strPath.IsEmpty() || strPath[strPath.GetLength() - 1] != '\\')
        strPath += '\\';
    strPath += lpszName;
    return strPath;
}

void UrlEncode(LPCTSTR lpszText, CString& strEncoded)
{
    strEncoded.Empty();
    char hex[4];
    for (const char* p = lpszText ? lpszText : ""; *p; ++p) {
        const unsigned char b = static_cast<unsigned char>(*p);
        if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9')) {
            strEncoded += *p;
        } else {
            std::snprintf(hex, sizeof hex, "%%%02x", b);
            strEncoded += hex;
        }
    }
}

CString UrlEncoded(LPCTSTR lpszText)
{
    CString strEncoded;
    UrlEncode(lpszText, strEncoded);
    return strEncoded;
}
