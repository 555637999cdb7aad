// ID3 tag reading and MP3 recognition.
#include "audio/formats/mp3/id3_reader.h"

#include "audio/formats/mp3/id3_writer.h"
#include "framework/codepage.h"

#include <algorithm>
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
    {"AENC", ""},    {"TIPL", ""},    {"TMOO", ""},    {"TDRC", ""},
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

// The text encodings of ID3v2, by the byte that leads a text.
enum TextEncoding { ENC_LATIN1 = 0, ENC_UTF16 = 1, ENC_UTF16BE = 2, ENC_UTF8 = 3 };

// Encodings 1 and 2, and any unknown one (read as UTF-16, as earlier versions did), end a text
// with a zero 16-bit unit; 0 and 3 with a zero byte.
bool IsWide(int encoding)
{
    return encoding != ENC_LATIN1 && encoding != ENC_UTF8;
}

// UTF-16 units up to the first zero unit (or the end). A byte-order mark decides the order and
// is skipped; without one the units are big-endian for encoding 2, little-endian otherwise.
CString Utf16Text(const BYTE* p, size_t size, bool bigEndian)
{
    bool swap = bigEndian;
    if (size >= 2 && p[0] == 0xFE && p[1] == 0xFF) {
        swap = true;
        p += 2;
        size -= 2;
    } else if (size >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
        swap = false;
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

// Bytes up to the first zero byte (or the end), as they stand.
CString Latin1Text(const BYTE* p, size_t size)
{
    size_t n = 0;
    while (n < size && p[n])
        ++n;
    return CString(reinterpret_cast<const char*>(p), static_cast<int>(n));
}

// ISO-8859-1 text converted to the code page. Bytes 0x80-0x9F are control characters in
// ISO-8859-1, so where they occur a tagger wrote its code page: those texts stay as they are.
CString Latin1ToSystem(const BYTE* p, size_t size)
{
    size_t n = 0;
    bool plain = true;
    for (; n < size && p[n]; ++n)
        if (p[n] < 0x20 || (p[n] >= 0x80 && p[n] < 0xA0))
            plain = false;
    std::u16string units(p, p + n);
    if (!plain || std::all_of(p, p + n, [](BYTE b) { return b < 0x80; }))
        return Latin1Text(p, n);
    return Utf16ToSystem(units.data(), units.size());
}

CString Utf8Text(const BYTE* p, size_t size)
{
    size_t n = 0;
    while (n < size && p[n])
        ++n;
    return Utf8ToSystem(reinterpret_cast<const char*>(p), n);
}

// Length of a description up to and including its terminator: a zero byte for encodings 0
// and 3, a zero 16-bit unit (searched in steps of two) otherwise. `size` when there is none.
size_t TerminatedLength(const BYTE* p, size_t size, int encoding)
{
    if (!IsWide(encoding)) {
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

CString EncodedText(const BYTE* p, size_t size, int encoding)
{
    switch (encoding) {
    case ENC_LATIN1:
        return Latin1ToSystem(p, size);
    case ENC_UTF8:
        return Utf8Text(p, size);
    default:
        return Utf16Text(p, size, encoding == ENC_UTF16BE);
    }
}

// COMM and TXXX: description then text; COMM has a 3-byte language first.
void ReadDescribedText(const BYTE* body, size_t size, size_t skip, CAudioTrackInfo& track)
{
    if (size < 1 + skip)
        return;
    const int encoding = body[0];
    const BYTE* p = body + 1 + skip;
    size_t rest = size - 1 - skip;
    size_t descLength = TerminatedLength(p, rest, encoding);
    track.m_strCommentDigest = EncodedText(p, descLength, encoding);
    track.m_strComment = EncodedText(p + descLength, rest - descLength, encoding);
}

void ReadPicture(const BYTE* body, size_t size, int version, CAudioTrackInfo& track)
{
    if (size < 1)
        return;
    const int encoding = body[0];
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
        size_t n = TerminatedLength(body + pos, size - pos, ENC_LATIN1);
        mime = Latin1Text(body + pos, n);
        pos += n;
    }
    if (pos >= size)
        return;
    int type = body[pos++];
    size_t descLength = TerminatedLength(body + pos, size - pos, encoding);
    CString description = EncodedText(body + pos, descLength, encoding);
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

// The length in bytes of the frame whose 4-byte header is at h; 0 when h holds no valid header.
size_t FrameLength(const BYTE* h)
{
    if (h[0] != 0xFF || h[1] < 0xE0 || !IsValidFrameHeader(h))
        return 0;
    static const int kRates[3] = {44100, 48000, 32000};
    const int version = (h[1] >> 3) & 3;
    const int layer = (h[1] >> 1) & 3;
    const int rate = kRates[(h[2] >> 2) & 3] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    const int column = version == 3 ? 3 - layer : (layer == 3 ? 3 : 4);
    const int bitrate = kBitrates[h[2] >> 4][column] * 1000;
    const int padding = (h[2] >> 1) & 1;
    if (layer == 3)
        return static_cast<size_t>((12 * bitrate / rate + padding) * 4);
    const int factor = (layer == 1 && version != 3) ? 72 : 144;
    return static_cast<size_t>(factor * bitrate / rate + padding);
}

// Frames whose headers must follow each other before a file counts as MP3: a single pair of
// bytes that looks like a header turns up in almost any file.
const int kFramesToTrust = 3;
// Zero bytes a tagger may leave between the ID3v2 tag and the first frame.
const ULONGLONG kMaxZeroGap = 65536;

} // namespace

CString CAudioMP3InfoTagReader::ReadTextFrame(const BYTE* body, size_t size)
{
    if (size < 1)
        return CString();
    return EncodedText(body + 1, size - 1, body[0]);
}

void CAudioMP3InfoTagReader::ParseFrames(const BYTE* body, size_t size, int version,
                                         CAudioTrackInfo& track)
{
    size_t idLength = version == 2 ? 3 : 4;
    size_t headerLength = version == 2 ? 6 : 10;
    size_t pos = 0;
    bool sawYear = false;
    CString recorded;
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
        if (const char* canonical = CanonicalId(id, static_cast<int>(idLength))) {
            if (std::strcmp(canonical, "TDRC") == 0)
                recorded = ReadTextFrame(h + headerLength, frameSize);
            else
                ApplyFrame(canonical, h + headerLength, frameSize, version, track);
            sawYear = sawYear || std::strcmp(canonical, "TYER") == 0;
        }
        pos += headerLength + frameSize;
    }
    // Version 2.4 has the recording time ("2004-05-06T...") in place of the year.
    if (!sawYear && !recorded.IsEmpty())
        track.m_strYear = recorded.Left(4);
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
    const ULONGLONG position = file->GetPosition();
    try {
        const ULONGLONG length = file->GetLength();
        auto readAt = [&](ULONGLONG at, BYTE* out, UINT count) {
            file->Seek(static_cast<LONGLONG>(at), CFile::begin);
            return at < length ? file->Read(out, count) : 0u;
        };
        BYTE b[10];
        ULONGLONG pos = 0;
        // Past any ID3v2 tags at the start, header and footer included, then past padding.
        while (readAt(pos, b, 10) == 10 && std::memcmp(b, "ID3", 3) == 0)
            pos += SyncSafeValue(b + 6) + 10 + ((b[5] & 0x10) ? 10 : 0);
        const ULONGLONG gapEnd = pos + kMaxZeroGap;
        while (pos < gapEnd && readAt(pos, b, 1) == 1 && b[0] == 0)
            ++pos;
        // Then a run of frames, each header where the previous frame ends, in one version,
        // layer and rate; a file may end (or meet its ID3v1 tag) before the run is complete.
        BYTE first[4] = {};
        int frames = 0;
        for (; frames < kFramesToTrust; ++frames) {
            const UINT got = readAt(pos, b, 4);
            if (got < 4 || (got >= 3 && std::memcmp(b, "TAG", 3) == 0 && length - pos == 128))
                break;
            const size_t frameLength = FrameLength(b);
            if (frameLength == 0 ||
                (frames > 0 && (b[1] != first[1] || ((b[2] ^ first[2]) & 0x0C) != 0))) {
                frames = 0;
                break;
            }
            if (frames == 0)
                std::memcpy(first, b, 4);
            pos += frameLength;
        }
        result = frames > 0 ? TRUE : FALSE;
        file->Seek(static_cast<LONGLONG>(position), CFile::begin);
    } catch (CException* e) {
        e->Delete();
    }
    return result;
}
