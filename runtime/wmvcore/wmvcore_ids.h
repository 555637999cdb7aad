// Identifiers of the Windows Media Format runtime that MinGW's wmsdkidl.h lacks: the media
// format type of a WAVEFORMATEX block and the seven audio system profiles the WMA writer
// chooses from. Shared by the program and our own wmvcore.dll.
#pragma once

#include <windows.h>

// {05589F81-C356-11CE-BF01-00AA0055595A}
inline constexpr GUID kWmFormatWaveFormatEx = {
    0x05589F81, 0xC356, 0x11CE, {0xBF, 0x01, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A}};

// System profiles: 28 Kbps mono, then 28, 32, 48, 64, 96 and 128 Kbps stereo.
inline constexpr GUID kWmProfileAudio28Mono = {
    0x7EA3126D, 0xE1BA, 0x4716, {0x89, 0xAF, 0xF6, 0x5C, 0xEE, 0x0C, 0x0C, 0x67}};
inline constexpr GUID kWmProfileAudio28Stereo = {
    0x7E4CAB5C, 0x35DC, 0x45BB, {0xA7, 0xC0, 0x19, 0xB2, 0x80, 0x70, 0xD0, 0xCC}};
inline constexpr GUID kWmProfileAudio32Stereo = {
    0x60907F9F, 0xB352, 0x47E5, {0xB2, 0x10, 0x0E, 0xF1, 0xF4, 0x7E, 0x9F, 0x9D}};
inline constexpr GUID kWmProfileAudio48Stereo = {
    0x5EE06BE5, 0x492B, 0x480A, {0x8A, 0x8F, 0x12, 0xF3, 0x73, 0xEC, 0xF9, 0xD4}};
inline constexpr GUID kWmProfileAudio64Stereo = {
    0x09BB5BC4, 0x3176, 0x457F, {0x8D, 0xD6, 0x3C, 0xD9, 0x19, 0x12, 0x3E, 0x2D}};
inline constexpr GUID kWmProfileAudio96Stereo = {
    0x1FC81930, 0x61F2, 0x436F, {0x9D, 0x33, 0x34, 0x9F, 0x2A, 0x1C, 0x0F, 0x10}};
inline constexpr GUID kWmProfileAudio128Stereo = {
    0x407B9450, 0x8BDC, 0x4EE5, {0x88, 0xB8, 0x6F, 0x52, 0x7B, 0xD9, 0x41, 0xF2}};

// The value of a "WM/Picture" attribute as the runtime hands it out: the pointers lead into the
// same buffer. Packed to 2 bytes like the runtime's other attribute records.
#pragma pack(push, 2)
struct WmPicture {
    LPWSTR pwszMIMEType;
    BYTE bPictureType;
    LPWSTR pwszDescription;
    DWORD dwDataLen;
    BYTE* pbData;
};
#pragma pack(pop)
static_assert(sizeof(WmPicture) == 30, "WM/Picture record layout");
