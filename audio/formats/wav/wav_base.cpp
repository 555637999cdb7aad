// CAudioWavBase: walking RIFF chunks and reading the WAV header.
#include "audio/formats/wav/wav_base.h"

const CAudioWavInfoField kWavInfoFields[12] = {
    {"IART", &CAudioTrackInfo::m_strArtist, false},
    {"ICMT", &CAudioTrackInfo::m_strComment, false},
    {"ICOP", &CAudioTrackInfo::m_strCopyright, false},
    {"IDST", &CAudioTrackInfo::m_strPublisher, false},
    {"IGNR", &CAudioTrackInfo::m_strContentType, false},
    {"IMED", &CAudioTrackInfo::m_strMediaType, false},
    {"IMUS", &CAudioTrackInfo::m_strComposer, false},
    {"INAM", &CAudioTrackInfo::m_strTrackTitle, false},
    {"IPRD", &CAudioTrackInfo::m_strAlbumTitle, false},
    {"ISFT", &CAudioTrackInfo::m_strEncodedBy, true},
    {"ITCH", &CAudioTrackInfo::m_strEncodedBy, false},
    {"IWRI", &CAudioTrackInfo::m_strLyricist, false},
};

#include <cstring>

void CAudioWavBase::PutLE32(BYTE* p, DWORD v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<BYTE>(v >> (8 * i));
}

void CAudioWavBase::PutLE16(BYTE* p, WORD v)
{
    p[0] = static_cast<BYTE>(v);
    p[1] = static_cast<BYTE>(v >> 8);
}

// Offsets: 0 "RIFF", 4 size, 8 "WAVE", 12 "fmt ", 16 fmt size, 20 format tag, 22 channels,
// 24 rate, 28 bytes per second, 32 block alignment, 34 bits per sample.
void CAudioWavHeader::Serialize(BYTE (&out)[SIZE]) const
{
    std::memcpy(out, riffId, 4);
    CAudioWavBase::PutLE32(out + 4, riffSize);
    std::memcpy(out + 8, waveId, 4);
    std::memcpy(out + 12, fmtId, 4);
    CAudioWavBase::PutLE32(out + 16, fmtSize);
    CAudioWavBase::PutLE16(out + 20, formatTag);
    CAudioWavBase::PutLE16(out + 22, channels);
    CAudioWavBase::PutLE32(out + 24, samplesPerSec);
    CAudioWavBase::PutLE32(out + 28, avgBytesPerSec);
    CAudioWavBase::PutLE16(out + 32, blockAlign);
    CAudioWavBase::PutLE16(out + 34, bitsPerSample);
}

void CAudioWavHeader::Parse(const BYTE (&in)[SIZE])
{
    std::memcpy(riffId, in, 4);
    riffSize = CAudioWavBase::GetLE32(in + 4);
    std::memcpy(waveId, in + 8, 4);
    std::memcpy(fmtId, in + 12, 4);
    fmtSize = CAudioWavBase::GetLE32(in + 16);
    formatTag = CAudioWavBase::GetLE16(in + 20);
    channels = CAudioWavBase::GetLE16(in + 22);
    samplesPerSec = CAudioWavBase::GetLE32(in + 24);
    avgBytesPerSec = CAudioWavBase::GetLE32(in + 28);
    blockAlign = CAudioWavBase::GetLE16(in + 32);
    bitsPerSample = CAudioWavBase::GetLE16(in + 34);
}

namespace
{

// Four printable ASCII characters at the offset: what every chunk id is.
bool HoldsChunkId(CFile& file, ULONGLONG offset)
{
    BYTE id[4];
    file.Seek(static_cast<LONGLONG>(offset), CFile::begin);
    if (file.Read(id, 4) != 4)
        return false;
    for (BYTE b : id) {
        if (b < 0x20 || b > 0x7E)
            return false;
    }
    return true;
}

const WORD kFormatExtensible = 0xFFFE;

// The format tag an extensible "fmt " chunk stands for, read from the file positioned after its
// first 16 bytes: cbSize (2), valid bits (2), channel mask (4), then the sub-format GUID, whose
// first two bytes are the format tag and the rest the fixed tail below. 0 for anything else.
WORD ExtensibleSubFormat(CFile& file)
{
    static const BYTE kTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                   0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    BYTE ext[24];
    if (file.Read(ext, sizeof ext) != sizeof ext || CAudioWavBase::GetLE16(ext) < 22 ||
        std::memcmp(ext + 10, kTail, sizeof kTail) != 0)
        return 0;
    return CAudioWavBase::GetLE16(ext + 8);
}

} // namespace

BOOL CAudioWavBase::FindChunk(CFile& file, const char* pszId, DWORD& dwSize)
{
    // Each step moves forward by at least 8 bytes, so a walk over any file ends.
    BYTE head[8];
    while (file.Read(head, sizeof head) == sizeof head) {
        DWORD size = GetLE32(head + 4);
        if (std::memcmp(head, pszId, 4) == 0) {
            dwSize = size;
            return TRUE;
        }
        // Seeking past the end is allowed; the next read then comes back short.
        ULONGLONG next = file.GetPosition() + size;
        // An odd chunk is followed by a pad byte. A few writers leave it out: then only the
        // unpadded offset holds the next chunk's id.
        if ((size & 1) && (HoldsChunkId(file, next + 1) || !HoldsChunkId(file, next)))
            ++next;
        file.Seek(static_cast<LONGLONG>(next), CFile::begin);
    }
    return FALSE;
}

BOOL CAudioWavBase::FindFmtChunk(CFile& file, DWORD& dwSize)
{
    return FindChunk(file, "fmt ", dwSize);
}

BOOL CAudioWavBase::FindDataChunk(CFile& file, DWORD& dwSize)
{
    return FindChunk(file, "data", dwSize);
}

BOOL CAudioWavBase::FindInfoList(CFile& file, DWORD& dwSize)
{
    DWORD size = 0;
    while (FindChunk(file, "LIST", size)) {
        ULONGLONG dataStart = file.GetPosition();
        BYTE type[4];
        if (size > 4 && file.Read(type, 4) == 4 && std::memcmp(type, "INFO", 4) == 0) {
            dwSize = size - 4;
            return TRUE;
        }
        file.Seek(static_cast<LONGLONG>(dataStart + size + (size & 1)), CFile::begin);
    }
    return FALSE;
}

BOOL CAudioWavBase::ReadRiffHeader(CFile& file, CAudioWavHeader& header)
{
    header = CAudioWavHeader();
    BYTE riff[12];
    if (file.Read(riff, sizeof riff) != sizeof riff || std::memcmp(riff, "RIFF", 4) != 0 ||
        std::memcmp(riff + 8, "WAVE", 4) != 0)
        return FALSE;
    DWORD fmtSize = 0;
    // A "fmt " chunk shorter than the 16 bytes every PCM header has would make the record
    // take the next chunk's bytes for its own.
    if (!FindFmtChunk(file, fmtSize) || fmtSize < 16)
        return FALSE;
    const ULONGLONG fmtData = file.GetPosition();
    BYTE raw[CAudioWavHeader::SIZE];
    std::memcpy(raw, riff, sizeof riff);
    std::memcpy(raw + 12, "fmt ", 4);
    PutLE32(raw + 16, fmtSize);
    if (file.Read(raw + 20, 16) != 16)
        return FALSE;
    header.Parse(raw);
    if (header.formatTag == kFormatExtensible && fmtSize >= 40)
        header.formatTag = ExtensibleSubFormat(file);
    // Longer format chunks (18 bytes, extensible) are skipped whole.
    file.Seek(static_cast<LONGLONG>(fmtData + fmtSize + (fmtSize & 1)), CFile::begin);
    return header.formatTag == 1;
}
