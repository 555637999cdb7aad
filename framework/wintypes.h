// Windows base types. On Windows they come from <windows.h>; elsewhere (the native check
// build) they are declared here with the sizes the 64-bit Windows SDK gives them (LLP64:
// LONG and DWORD stay 32 bits, pointers and *_PTR types are 64 bits).
#pragma once

#ifdef _WIN32
#include <windows.h>
#else
#include <cstddef>
#include <cstdint>

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef std::uint32_t DWORD;
typedef std::int32_t LONG;
typedef std::uint32_t ULONG;
typedef int INT;
typedef unsigned int UINT;
typedef short SHORT;
typedef unsigned short USHORT;
typedef char CHAR;
typedef unsigned char UCHAR;
typedef std::int64_t LONGLONG;
typedef std::uint64_t ULONGLONG;
typedef std::uint64_t DWORDLONG;
typedef std::int64_t INT_PTR;
typedef std::uint64_t UINT_PTR;
typedef std::int64_t LONG_PTR;
typedef std::uint64_t ULONG_PTR;
typedef std::uint64_t DWORD_PTR;
typedef ULONG_PTR SIZE_T;
typedef char TCHAR;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef char* LPTSTR;
typedef const char* LPCTSTR;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef BYTE* PBYTE;
typedef BYTE* LPBYTE;
typedef WORD* LPWORD;
typedef DWORD* LPDWORD;
typedef DWORD* PDWORD;
typedef LONG* LPLONG;
typedef LONG* PLONG;
typedef UINT* PUINT;
typedef BOOL* LPBOOL;
typedef std::int8_t INT8;
typedef std::uint8_t UINT8;
typedef std::int16_t INT16;
typedef std::uint16_t UINT16;
typedef std::int32_t INT32;
typedef std::uint32_t UINT32;
typedef std::int64_t INT64;
typedef std::uint64_t UINT64;
typedef wchar_t WCHAR; // 32 bits here, 16 on Windows: never part of a stored layout
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef LONG HRESULT;
typedef void* HANDLE;
// Window-system handles: distinct opaque types, as the SDK declares them.
struct HWND__;
typedef HWND__* HWND;
struct HINSTANCE__;
typedef HINSTANCE__* HINSTANCE;
typedef HINSTANCE HMODULE;
typedef DWORD COLORREF;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#define MAX_PATH 260
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1)))
#define _T(x) x
#define TEXT(x) x

#define MAKEWORD(a, b)                                                                             \
    (static_cast<WORD>((static_cast<DWORD_PTR>(a) & 0xff) |                                        \
                       ((static_cast<DWORD_PTR>(b) & 0xff) << 8)))
#define MAKELONG(a, b)                                                                             \
    (static_cast<LONG>(static_cast<DWORD>((static_cast<DWORD_PTR>(a) & 0xffff) |                   \
                                          ((static_cast<DWORD_PTR>(b) & 0xffff) << 16))))
#define LOWORD(l) (static_cast<WORD>(static_cast<DWORD_PTR>(l) & 0xffff))
#define HIWORD(l) (static_cast<WORD>((static_cast<DWORD_PTR>(l) >> 16) & 0xffff))
#define LOBYTE(w) (static_cast<BYTE>(static_cast<DWORD_PTR>(w) & 0xff))
#define HIBYTE(w) (static_cast<BYTE>((static_cast<DWORD_PTR>(w) >> 8) & 0xff))
#define RGB(r, g, b)                                                                               \
    (static_cast<COLORREF>(static_cast<BYTE>(r) | (static_cast<WORD>(static_cast<BYTE>(g)) << 8) | \
                           (static_cast<DWORD>(static_cast<BYTE>(b)) << 16)))

typedef struct tagPOINT {
    LONG x;
    LONG y;
} POINT, *PPOINT, *LPPOINT;

typedef struct tagSIZE {
    LONG cx;
    LONG cy;
} SIZE, *PSIZE, *LPSIZE;

typedef struct tagRECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT, *PRECT, *LPRECT;
typedef const RECT* LPCRECT;
#endif

static_assert(sizeof(DWORD) == 4 && sizeof(LONG) == 4 && sizeof(WORD) == 2);
static_assert(sizeof(DWORD_PTR) == sizeof(void*) && sizeof(INT_PTR) == sizeof(void*));
