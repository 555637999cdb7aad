// Standard Base64 (RFC 4648 alphabet "A-Z a-z 0-9 + /", '=' padding, no line breaks), as
// proxy credentials need it.
#pragma once

#include "framework/strings.h"

#include <cstddef>

CString AfxBase64Encode(const void* pData, size_t nLength);
inline CString AfxBase64Encode(const CString& text)
{
    return AfxBase64Encode(text.GetString(), static_cast<size_t>(text.GetLength()));
}
