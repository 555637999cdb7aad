// The encoder library's published interface (lame_enc.dll): the configuration and version
// records in their packed byte layout, and the entry points the MP3 writer calls.
#pragma once

#include <windows.h>

#include <cstddef>

#pragma pack(push, 1)
struct BE_CONFIG_LHV1 {
    DWORD dwStructVersion;
    DWORD dwStructSize;
    DWORD dwSampleRate;
    DWORD dwReSampleRate;
    LONG nMode;
    DWORD dwBitrate;
    DWORD dwMaxBitrate;
    LONG nPreset;
    DWORD dwMpegVersion;
    DWORD dwPsyModel;
    DWORD dwEmphasis;
    BOOL bPrivate;
    BOOL bCRC;
    BOOL bCopyright;
    BOOL bOriginal;
    BOOL bWriteVBRHeader;
    BOOL bEnableVBR;
    INT nVBRQuality;
    DWORD dwVbrAbr_bps;
    INT nVbrMethod;
    BOOL bNoRes;
    BOOL bStrictIso;
    WORD nQuality;
    BYTE btReserved[255 - 4 * sizeof(DWORD) - sizeof(WORD)];
};

struct BE_CONFIG {
    DWORD dwConfig;
    BE_CONFIG_LHV1 lhv1;
};

struct BE_VERSION {
    BYTE byDLLMajorVersion;
    BYTE byDLLMinorVersion;
    BYTE byMajorVersion;
    BYTE byMinorVersion;
    BYTE byDay;
    BYTE byMonth;
    WORD wYear;
    CHAR zHomepage[129];
    BYTE byAlphaLevel;
    BYTE byBetaLevel;
    BYTE byMMXEnabled;
    BYTE btReserved[125];
};
#pragma pack(pop)

static_assert(sizeof(BE_CONFIG) == 331, "the library's configuration record is 331 bytes");
static_assert(offsetof(BE_CONFIG, lhv1) + offsetof(BE_CONFIG_LHV1, nQuality) == 92);

enum : DWORD { BE_CONFIG_LAME = 256 };
enum : LONG { BE_MP3_MODE_STEREO = 0, BE_MP3_MODE_JSTEREO = 1, BE_MP3_MODE_MONO = 3 };

typedef void* HBE_STREAM; // a pointer: 8 bytes in a 64-bit process
typedef unsigned long BE_ERR;

typedef BE_ERR (*BEINITSTREAM)(BE_CONFIG*, DWORD*, DWORD*, HBE_STREAM*);
typedef BE_ERR (*BEENCODECHUNK)(HBE_STREAM, DWORD, SHORT*, BYTE*, DWORD*);
typedef BE_ERR (*BEDEINITSTREAM)(HBE_STREAM, BYTE*, DWORD*);
typedef BE_ERR (*BECLOSESTREAM)(HBE_STREAM);
typedef void (*BEVERSION)(BE_VERSION*);
typedef BE_ERR (*BEWRITEVBRHEADER)(LPCSTR);
typedef BE_ERR (*BEWRITEINFOTAG)(HBE_STREAM, LPCSTR);
