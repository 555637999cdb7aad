// RIFF/WAVE chunk routines shared by the WAV reader, writer and tag reader, and the 36-byte
// header record they keep. Classes here: CAudioWavHeader, CAudioWavBase.
#pragma once

#include "framework/core.h"
#include "audio/track/track_info.h"
#include "framework/file.h"

// The first 36 bytes of a canonical WAV file, up to and including the bits per sample.
// Numbers are little-endian in the file; Serialize/Parse do the byte order.
struct CAudioWavHeader {
    enum { SIZE = 36 };

    char riffId[4] = {}; // "RIFF"
    DWORD riffSize = 0;  // file length - 8
    char waveId[4] = {}; // "WAVE"
    char fmtId[4] = {};  // "fmt "
    DWORD fmtSize = 0;   // 16 when written
    WORD formatTag = 0;  // 1: PCM
    WORD channels = 0;
    DWORD samplesPerSec = 0;
    DWORD avgBytesPerSec = 0; // bits / 8 * rate * channels
    WORD blockAlign = 0;      // bits / 8 * channels
    WORD bitsPerSample = 0;

    void Serialize(BYTE (&out)[SIZE]) const;
    void Parse(const BYTE (&in)[SIZE]);
};

// One INFO entry id and the record field it holds. kWavInfoFields lists them in the order the
// writer writes them; entries marked readOnly (ISFT, another tool's encoder name) are only read.
struct CAudioWavInfoField {
    const char* id;
    CString CAudioTrackInfo::*member;
    bool readOnly;
};
extern const CAudioWavInfoField kWavInfoFields[12];

// Static chunk routines on an open file. Chunks are walked from the current position; an odd
// chunk size is followed by one pad byte, which the walk skips (unless the writer left it out).
class CAudioWavBase
{
public:
    virtual ~CAudioWavBase() = default;

    // Walks chunks until one with this 4-character id: TRUE with its size, positioned at its
    // data. FALSE when fewer than 8 bytes remain for a chunk header.
    static BOOL FindChunk(CFile& file, const char* pszId, DWORD& dwSize);
    static BOOL FindFmtChunk(CFile& file, DWORD& dwSize);
    static BOOL FindDataChunk(CFile& file, DWORD& dwSize);
    // The next LIST chunk of type INFO: TRUE with its size less 4, positioned after "INFO".
    static BOOL FindInfoList(CFile& file, DWORD& dwSize);
    // From the current position: "RIFF", size, "WAVE", then the "fmt " chunk into the record,
    // leaving the file after the whole "fmt " chunk. TRUE only for PCM: format tag 1, or an
    // extensible header (0xFFFE, as tools write every file over 16 bits or 2 channels) whose
    // sub-format is PCM; the record then holds format tag 1.
    static BOOL ReadRiffHeader(CFile& file, CAudioWavHeader& header);

    // Little-endian helpers.
    static DWORD GetLE32(const BYTE* p)
    {
        return p[0] | (p[1] << 8) | (p[2] << 16) | (DWORD(p[3]) << 24);
    }
    static WORD GetLE16(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }
    static void PutLE32(BYTE* p, DWORD v);
    static void PutLE16(BYTE* p, WORD v);

private:
    CAudioWavBase() = default;
};
