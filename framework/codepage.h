// Conversions between 8-bit text in the system code page and UTF-16 / UTF-8, for the tag
// formats that store Unicode. On Windows the system's ANSI code page; in the native check build
// Windows-1252 stands in for it. Characters the code page lacks become '?'.
#pragma once

#include "framework/strings.h"

#include <string>

std::u16string SystemToUtf16(const char* text, size_t length);
inline std::u16string SystemToUtf16(const CString& text)
{
    return SystemToUtf16(text.GetString(), static_cast<size_t>(text.GetLength()));
}
CString Utf16ToSystem(const char16_t* units, size_t count);

std::string SystemToUtf8(const char* text, size_t length);
inline std::string SystemToUtf8(const CString& text)
{
    return SystemToUtf8(text.GetString(), static_cast<size_t>(text.GetLength()));
}
//! Invalid UTF-8 sequences become '?', one per bad byte.
CString Utf8ToSystem(const char* bytes, size_t length);

//! True when the bytes are UTF-8 as the standard has it: no overlong forms, no surrogates,
//! nothing above U+10FFFF, no cut sequence. Texts that fail it are taken for code-page text.
bool IsStrictUtf8(const char* bytes, size_t length);
