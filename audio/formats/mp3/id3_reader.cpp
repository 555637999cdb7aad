// ID3 tag reading and MP3 recognition.
#include "audio/formats/mp3/id3_reader.h"

#include "audio/formats/mp3/id3_writer.h"
#include "framework/codepage.h"

#include <cstring>
#include <vector>

namespace {

const char kNotInitialized[] = "MP3 Info Tag Reader not correctly initialized";

// Known frame ids: the ID3v2.3 id and, for most, the ID3v2.2 one.
const char* const kKnownFrames[][2] = {
    {"APIC", "PIC"}, {"COMM", "COM"}, {"EQUA", ""},    {"GEOB", ""},    {"GRID", ""},
    {"IPLS", ""},    {"LINK", ""},    {"MCDI", ""},    {"MLLT", ""},    {"OWNE", ""},
    {"PRIV", ""},    {"PCNT", ""},    {"POPM", ""},    {"POSS", ""},    {"RBUF", ""},
    {"RVAD", ""},    {"RVRB", ""},    {"SYLT", ""},    {"SYTC", ""},    {"TALB", "TAL"},
    {"TBPM", "TBP"}, {"TCOM", "TCM"}, {"TCON", "TCO"}, {"TCOP", "TCR"}, {"TDAT", "TDA"},
    {"TDLY", "TDY"}, {"TENC", "TEN"}, {"TEXT", "TXT"}, {"TFLT", ""},    {"TIME", "TIM"},
    {"TIT1", "TT1"}, {"TIT2", "TT2"}, {"TIT3", "TT3"}, {"TKEY", "TKE"}, {"TLAN", "TLA"},
    {"TLEN", "TLE"}, {"TMED", "TMT"}, {"TOAL", "TOL"}, {"TOFN", "TOF"}, {"TOLY", ""},
    {"TOPE", ""},    {"TORY", "TOR"}, {"TOWN", ""},    {"TPE1", "TP1"}, {"TPE2", "TP2"},
    {"TPE3", "TP3"}, {"TPE4", "TP4"}, {"TPOS", "TPA"}, {"TPUB", "TPB"}, {"TRCK", "TRK"},
    {"TRDA", "TRD"}, {"TRSN", ""},    {"TRSO", ""},    {"TSIZ", ""},    {"TSRC", "TRC"},
    {"TSSE", "TSS"}, {"TYER", "TYE"}, {"TXXX", "TXX"}, {"UFID", ""},    {"USER", ""},
    {"USLT", ""},    {"WCOM", ""},    {"WCOP", ""},    {"WOAF", ""},    {"WOAR", ""},
    {"WOAS", ""},    {"WORS", ""},    {"WPAY", ""},    {"WPUB", ""},    {"WXXX", "WXX"},
    {"AENC", ""},    {"TIPL", ""},    {"TMOO", ""},
};

// The frame's id in its ID3v2.3 form, or null when the reader does not know it.
const char* CanonicalId(const char* id, int length)
{
    for (const auto& entry : kKnownFrames) {
        const char* form = entry[length == 3 ? 1 : 0];
        if (*form && std::strncmp(form, id, length) == 0 && std::strlen(form) == size_t(length))
            return entry[0];
    }
    return nullptr;
}

// Text fields by frame id.
CString CAudioTrackInfo::*TextField(const char* id)
{
    static const struct {
        const char* id;
        CString CAudioTrackInfo::*field;
    } kFields[] = {
        {"TIT1", &CAudioTrackInfo::m_strContentGroup},
        {"TIT2", &CAudioTrackInfo::m_strTrackTitle},
        {"TIT3", &CAudioTrackInfo::m_strTrackExt},
        {"TALB", &CAudioTrackInfo::m_strAlbumTitle},
        {"TYER", &CAudioTrackInfo::m_strYear},
        {"TCON", &CAudioTrackInfo::m_strContentType},
        {"TPE1", &CAudioTrackInfo::m_strArtist},
        {"TPE3", &CAudioTrackInfo::m_strConductor},
        {"TPE4", &CAudioTrackInfo::m_strRemix},
        {"TRCK", &CAudioTrackInfo::m_strTrackPosition},
        {"TPOS", &CAudioTrackInfo::m_strPartOfASet},
        {"TCOM", &CAudioTrackInfo::m_strComposer},
        {"TEXT", &CAudioTrackInfo::m_strLyricist},
        {"TCOP", &CAudioTrackInfo::m_strCopyright},
        {"TENC", &CAudioTrackInfo::m_strEncodedBy},
        {"TPUB", &CAudioTrackInfo::m_strPublisher},
        {"TMED", &CAudioTrackInfo::m_strMediaType},
        {"TSRC", &CAudioTrackInfo::m_strISRC},
        {"TOAL", &CAudioTrackInfo::m_strOriginalAlbumTitle},
        {"TOLY", &CAudioTrackInfo::m_strOriginalLyricist},
        {"TOPE", &CAudioTrackInfo::m_strOriginalArtist},
        {"TIPL", &CAudioTrackInfo::m_strInvolvedPeople},
        {"TMOO", &CAudioTrackInfo::m_strMood},
        {"MCDI", &CAudioTrackInfo::m_strCDId},
        {"SYLT", &CAudioTrackInfo::m_strSyncLyric},
        {"USLT", &CAudioTrackInfo::m_strUnsyncLyric},
    };
    for (const auto& f : kFields)
        if (std::strcmp(f.id, id) == 0)
            return f.field;
    return nullptr;
}

// UTF-16 units up to the first zero unit (or the end); FE FF swaps the units, FF FE is skipped.
CString Utf16Text(const BYTE* p, size_t size)
{
    bool swap = false;
    if (size >= 2 && p[0] == 0xFE && p[1] == 0xFF) {
        swap = true;
        p += 2;
        size -= 2;
    } else if (size >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
        p += 2;
        size -= 2;
    }
    std::u16string units;
    for (size_t i = 0; i + 1 < size; i += 2) {
        char16_t u = swap ? char16_t(p[i] << 8 | p[i + 1]) : char16_t(p[i] | p[i + 1] << 8);
        if (u == 0)
            break;
        units += u;
    }
    return Utf16ToSystem(units.data(), units.size());
}

CString Latin1Text(const BYTE* p, size_t size)
{
    size_t n = 0;
    while (n < size && p[n])
        ++n;
    return CString(reinterpret_cast<const char*>(p), static_cast<int>(n));
}

// Length of a description up to and including its terminator: a zero byte for encoding 0, a
// zero 16-bit unit (searched in steps of two) otherwise. `size` when there is none.
size_t TerminatedLength(const BYTE* p, size_t size, bool wide)
{
    if (!wide) {
        for (size_t i = 0; i < size; ++i)
            if (p[i] == 0)
                return i + 1;
        return size;
    }
    for (size_t i = 0; i + 1 < size; i += 2)
        if (p[i] == 0 && p[i + 1] == 0)
            return i + 2;
    return size;
}

CString EncodedText(const BYTE* p, size_t size, bool wide)
{
    return wide ? Utf16Text(p, size) : Latin1Text(p, size);
}

// COMM and TXXX: description then text; COMM has a 3-byte language first.
void ReadDescribedText(const BYTE* body, size_t size, size_t skip, CAudioTrackInfo& track)
{
    if (size < 1 + skip)
        return;
    bool wide = body[0] != 0;
    const BYTE* p = body + 1 + skip;
    size_t rest = size - 1 - skip;
    size_t descLength = TerminatedLength(p, rest, wide);
    track.m_strCommentDigest = EncodedText(p, descLength, wide);
    track.m_strComment = EncodedText(p + descLength, rest - descLength, wide);
}

void ReadPicture(const BYTE* body, size_t size, int version, CAudioTrackInfo& track)
{
    if (size < 1)
        return;
    bool wide = body[0] != 0;
    size_t pos = 1;
    CString mime;
    if (version == 2) {
        if (size < pos + 3)
            return;
        CString format(reinterpret_cast<const char*>(body + pos), 3);
        static const char* const kFormats[][2] = {{"JPG", "image/jpeg"}, {"GIF", "image/gif"},
                                                  {"BMP", "image/bmp"},  {"ICO", "image/x-icon"},
                                                  {"PNG", "image/png"}};
        mime = format;
        for (const auto& f : kFormats)
            if (format.CompareNoCase(f[0]) == 0)
                mime = f[1];
        pos += 3;
    } else {
        size_t n = TerminatedLength(body + pos, size - pos, false);
        mime = Latin1Text(body + pos, n);
        pos += n;
    }
    if (pos >= size)
        return;
    int type = body[pos++];
    size_t descLength = TerminatedLength(body + pos, size - pos, wide);
    CString description = EncodedText(body + pos, descLength, wide);
    pos += descLength;
    if (pos < size)
        track.AddPicture(type, mime, description, body + pos, static_cast<int>(size - pos));
}

void ApplyFrame(const char* id, const BYTE* body, size_t size, int version,
                CAudioTrackInfo& track)
{
    if (CString CAudioTrackInfo::*field = TextField(id)) {
        track.*field = CAudioMP3InfoTagReader::ReadTextFrame(body, size);
    } else if (std::strcmp(id, "TPE2") == 0) {
        CString text = CAudioMP3InfoTagReader::ReadTextFrame(body, size);
        if (track.GetAlbumArtist().IsEmpty())
            track.m_strAlbumArtist = text;
        track.m_strBand = text;
    } else if (std::strcmp(id, "TLEN") == 0) {
        track.SetDurationMs(std::atoi(CAudioMP3InfoTagReader::ReadTextFrame(body, size)));
    } else if (std::strcmp(id, "COMM") == 0) {
        ReadDescribedText(body, size, 3, track);
    } else if (std::strcmp(id, "TXXX") == 0) {
        ReadDescribedText(body, size, 0, track);
    } else if (std::strcmp(id, "APIC") == 0 && version != 4) {
        ReadPicture(body, size, version, track);
    }
}

CString Trimmed(const BYTE* p, int size)
{
    CString s = Latin1Text(p, static_cast<size_t>(size));
    s.Trim();
    return s;
}

// MPEG audio bitrates in kbps by index, for MPEG 1 layers I, II, III and MPEG 2/2.5 layer I
// and layers II/III; index 0 is "free", 15 invalid.
const int kBitrates[16][5] = {
    {0, 0, 0, 0, 0},           {32, 32, 32, 32, 8},       {64, 48, 40, 48, 16},
    {96, 56, 48, 56, 24},      {128, 64, 56, 64, 32},     {160, 80, 64, 80, 40},
    {192, 96, 80, 96, 48},     {224, 112, 96, 112, 56},   {256, 128, 112, 128, 64},
    {288, 160, 128, 144, 80},  {320, 192, 160, 160, 96},  {352, 224, 192, 176, 112},
    {384, 256, 224, 192, 128}, {416, 320, 256, 224, 144}, {448, 384, 320, 256, 160},
    {-1, -1, -1, -1, -1},
};

bool IsValidFrameHeader(const BYTE* h)
{
    int version = (h[1] >> 3) & 3; // 3 MPEG 1, 2 MPEG 2, 0 MPEG 2.5, 1 reserved
    int layer = (h[1] >> 1) & 3;   // 3 layer I, 2 layer II, 1 layer III, 0 reserved
    int bitrateIndex = h[2] >> 4;
    int rateIndex = (h[2] >> 2) & 3;
    if (version == 1 || layer == 0 || bitrateIndex == 15 || rateIndex == 3)
        return false;
    int column = version == 3 ? 3 - layer : (layer == 3 ? 3 : 4);
    return kBitrates[bitrateIndex][column] != 0;
}

} // namespace

CString CAudioMP3InfoTagReader::ReadTextFrame(const BYTE* body, size_t size)
{
    if (size < 1)
        return CString();
    return EncodedText(body + 1, size - 1, body[0] != 0);
}

void CAudioMP3InfoTagReader::ParseFrames(const BYTE* body, size_t size, int version,
                                         CAudioTrackInfo& track)
{
    size_t idLength = version == 2 ? 3 : 4;
    size_t headerLength = version == 2 ? 6 : 10;
    size_t pos = 0;
    // A last frame may be as short as its header: version 2.2 headers are only 6 bytes.
    while (size - pos > headerLength) {
        const BYTE* h = body + pos;
        size_t frameSize;
        if (version == 2)
            frameSize = size_t(h[3]) << 16 | size_t(h[4]) << 8 | h[5];
        else if (version == 4)
            frameSize = SyncSafeValue(h + 4);
        else
            frameSize = size_t(h[4]) << 24 | size_t(h[5]) << 16 | size_t(h[6]) << 8 | h[7];
        if (frameSize > size - pos - headerLength)
            break;
        char id[5] = {};
        std::memcpy(id, h, idLength);
        if (const char* canonical = CanonicalId(id, static_cast<int>(idLength)))
            ApplyFrame(canonical, h + headerLength, frameSize, version, track);
        pos += headerLength + frameSize;
    }
}

BOOL CAudioMP3InfoTagReader::ReadTags(CAudioTrackInfo& track)
{
    if (!GetFile()) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, kNotInitialized);
        return FALSE;
    }
    BOOL v1 = ReadID3v1(track);
    BOOL v2 = ReadID3v2(track);
    Close();
    return v1 || v2;
}

BOOL CAudioMP3InfoTagReader::ReadID3v1(CAudioTrackInfo& track)
{
    CFile* file = GetFile();
    BOOL found = FALSE;
    ULONGLONG position = file->GetPosition();
    try {
        ULONGLONG length = file->GetLength();
        BYTE b[128];
        if (length >= 128) {
            file->Seek(static_cast<LONGLONG>(length - 128), CFile::begin);
            if (file->Read(b, 128) == 128 && std::memcmp(b, "TAG", 3) == 0) {
                track.m_strTrackTitle = Trimmed(b + 3, 30);
                track.m_strArtist = Trimmed(b + 33, 30);
                track.m_strAlbumTitle = Trimmed(b + 63, 30);
                track.m_strYear = Trimmed(b + 93, 4);
                track.m_strComment = Trimmed(b + 97, 30);
                if (b[125] == 0 && b[126] != 0)
                    track.m_strTrackPosition.Format("%d", b[126]);
                track.SetGenreByIndex(b[127]);
                found = TRUE;
            }
        }
        file->Seek(static_cast<LONGLONG>(position), CFile::begin);
    } catch (CException* e) {
        e->Delete();
    }
    return found;
}

BOOL CAudioMP3InfoTagReader::ReadID3v2(CAudioTrackInfo& track)
{
    CFile* file = GetFile();
    BOOL found = FALSE;
    ULONGLONG position = file->GetPosition();
    try {
        BYTE header[16] = {};
        file->SeekToBegin();
        if (file->Read(header, 16) >= 10 && std::memcmp(header, "ID3", 3) == 0) {
            m_nVersion = header[3];
            found = TRUE;
            // Read no more than the file holds, whatever the header claims.
            ULONGLONG available = file->GetLength() - 10;
            size_t size = static_cast<size_t>(std::min<ULONGLONG>(SyncSafeValue(header + 6),
                                                                  available));
            std::vector<BYTE> body(size);
            file->Seek(10, CFile::begin);
            size_t got = size ? file->Read(body.data(), static_cast<UINT>(size)) : 0;
            if (m_nVersion >= 2 && m_nVersion <= 4)
                ParseFrames(body.data(), got, m_nVersion, track);
        }
        file->Seek(static_cast<LONGLONG>(position), CFile::begin);
    } catch (CException* e) {
        e->Delete();
    }
    return found;
}

BOOL CAudioMP3InfoTagReader::IsThisFormat()
{
    CFile* file = GetFile();
    if (!file) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, kNotInitialized);
        return FALSE;
    }
    BOOL result = FALSE;
    ULONGLONG position = file->GetPosition();
    try {
        ULONGLONG length = file->GetLength();
        // Read ahead in blocks; each position looks at up to 16 bytes from it.
        std::vector<BYTE> block(65536 + 16);
        ULONGLONG blockStart = 0;
        size_t blockBytes = 0;
        for (ULONGLONG pos = 0; length >= 4 && pos < length - 4;) {
            if (pos < blockStart || pos + 16 > blockStart + blockBytes) {
                blockStart = pos;
                file->Seek(static_cast<LONGLONG>(pos), CFile::begin);
                blockBytes = file->Read(block.data(), static_cast<UINT>(block.size()));
            }
            const BYTE* b = block.data() + (pos - blockStart);
            size_t have = blockBytes - static_cast<size_t>(pos - blockStart);
            if (have >= 10 && std::memcmp(b, "ID3", 3) == 0) {
                // Past the whole tag, header included: bytes inside it (a picture, say) can
                // look like a frame sync.
                pos += SyncSafeValue(b + 6) + 10;
                continue;
            }
            if (have >= 4 && b[0] == 0xFF && b[1] >= 0xE0) {
                result = IsValidFrameHeader(b) ? TRUE : FALSE;
                break;
            }
            ++pos;
        }
        file->Seek(static_cast<LONGLONG>(position), CFile::begin);
    } catch (CException* e) {
        e->Delete();
    }
    return result;
}
