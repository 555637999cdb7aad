// Reading Windows Media attributes into the track record.
#include "audio/formats/wma/wma_tag_reader.h"

#include "runtime/wmvcore/wmvcore_ids.h"

#include <cstring>

namespace {

// ASF header object identifier, in file byte order.
const BYTE kAsfHeaderId[16] = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                               0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};

CString NumberText(long n)
{
    CString s;
    s.Format("%d", static_cast<int>(n));
    return s;
}

// True when text starts inside [begin, end) and ends with its terminator before end;
// chars gets its length without the terminator.
bool WideInside(const wchar_t* text, const BYTE* begin, const BYTE* end, int& chars)
{
    const auto* at = reinterpret_cast<const BYTE*>(text);
    if (!text || at < begin || at >= end)
        return false;
    const size_t units = static_cast<size_t>(end - at) / sizeof(wchar_t);
    for (size_t i = 0; i < units; ++i) {
        wchar_t c;
        std::memcpy(&c, at + i * sizeof c, sizeof c);
        if (c == 0) {
            chars = static_cast<int>(i);
            return true;
        }
    }
    return false;
}

} // namespace

CAudioWMAInfoTagReader::CAudioWMAInfoTagReader() : m_pBuffer(new BYTE[4096]) {}

CAudioWMAInfoTagReader::~CAudioWMAInfoTagReader()
{
    Close();
    if (m_pHeaderInfo)
        m_pHeaderInfo->Release();
    if (m_pEditor)
        m_pEditor->Release();
}

BOOL CAudioWMAInfoTagReader::IsThisFormat()
{
    CFile* file = GetFile();
    if (!file) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, "WMA Info Tag Reader not correctly initialized");
        return FALSE;
    }
    BYTE head[16] = {};
    UINT got = 0;
    const ULONGLONG pos = file->GetPosition();
    TRY
    {
        got = file->Read(head, sizeof head);
    }
    CATCH(CFileException, e)
    {
        got = 0;
    }
    END_CATCH
    file->Seek(static_cast<LONGLONG>(pos), CFile::begin);
    return got == sizeof head && std::memcmp(head, kAsfHeaderId, sizeof head) == 0;
}

CString CAudioWMAInfoTagReader::ReadAttribute(const wchar_t* pszName)
{
    WORD stream = 0;
    WMT_ATTR_DATATYPE type = WMT_TYPE_DWORD;
    WORD length = m_nBufferSize;
    BYTE* value = m_pBuffer.get();
    if (FAILED(m_pHeaderInfo->GetAttributeByName(&stream, pszName, &type, value, &length)))
        return CString();
    switch (type) {
    case WMT_TYPE_DWORD:
    case WMT_TYPE_BOOL: {
        DWORD v = 0;
        std::memcpy(&v, value, length >= 4 ? 4 : length);
        return NumberText(static_cast<long>(v));
    }
    case WMT_TYPE_WORD: {
        WORD v = 0;
        std::memcpy(&v, value, length >= 2 ? 2 : length);
        return NumberText(v);
    }
    case WMT_TYPE_STRING: {
        // Never past the buffer, whether or not the value carries its terminator.
        const int chars = length / 2;
        int n = 0;
        const auto* text = reinterpret_cast<const wchar_t*>(value);
        while (n < chars && text[n] != 0)
            ++n;
        return WmaFromWide(text, n);
    }
    default:
        return CString();
    }
}

void CAudioWMAInfoTagReader::ReadPicture(CAudioTrackInfo& track)
{
    WORD stream = 0;
    WMT_ATTR_DATATYPE type = WMT_TYPE_BINARY;
    WORD length = 0;
    if (FAILED(m_pHeaderInfo->GetAttributeByName(&stream, L"WM/Picture", &type, nullptr,
                                                 &length)) ||
        type != WMT_TYPE_BINARY || length < sizeof(WmPicture))
        return;
    std::unique_ptr<BYTE[]> bytes(new BYTE[length]);
    if (FAILED(m_pHeaderInfo->GetAttributeByName(&stream, L"WM/Picture", &type, bytes.get(),
                                                 &length)))
        return;
    WmPicture picture;
    std::memcpy(&picture, bytes.get(), sizeof picture);
    // The runtime points into the buffer it filled; anything else is a damaged value.
    const BYTE* begin = bytes.get() + sizeof picture;
    const BYTE* end = bytes.get() + length;
    int mimeChars = 0, descriptionChars = 0;
    const auto* data = picture.pbData;
    if (!WideInside(picture.pwszMIMEType, begin, end, mimeChars) ||
        !WideInside(picture.pwszDescription, begin, end, descriptionChars) || data < begin ||
        data > end || picture.dwDataLen > static_cast<size_t>(end - data))
        return;
    track.AddPicture(picture.bPictureType, WmaFromWide(picture.pwszMIMEType, mimeChars),
                     WmaFromWide(picture.pwszDescription, descriptionChars), data,
                     static_cast<int>(picture.dwDataLen));
}

BOOL CAudioWMAInfoTagReader::ReadTags(CAudioTrackInfo& track)
{
    if (!GetFile()) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, "WMA Info Tag Reader not correctly initialized");
        return FALSE;
    }
    if (!m_base.IsLoaded()) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED,
                 "WMA Info Tag Reader: WMA COM interface not correctly loaded");
        Close();
        return FALSE;
    }
    if (m_pHeaderInfo) {
        m_pHeaderInfo->Release();
        m_pHeaderInfo = nullptr;
    }
    if (m_pEditor)
        m_pEditor->Release();
    m_pEditor = m_base.CreateEditor();
    const std::wstring path = WmaToWide(GetPath());
    if (!m_pEditor || path.size() > 259 || FAILED(m_pEditor->Open(path.c_str()))) {
        SetError(AUDIO_ERROR_CREATE_FILE, "WMA Info Tag Reader: cannot open audio file");
        return FALSE;
    }
    if (FAILED(m_pEditor->QueryInterface(IID_IWMHeaderInfo,
                                         reinterpret_cast<void**>(&m_pHeaderInfo)))) {
        m_pHeaderInfo = nullptr;
        SetError(AUDIO_ERROR_CREATE_FILE,
                 "WMA Info Tag Reader: error loading Header Info from file");
        return FALSE;
    }

    track.m_strArtist = ReadAttribute(L"Author");
    track.m_strCopyright = ReadAttribute(L"Copyright");
    track.m_strComment = ReadAttribute(L"Description");
    track.SetProtected(atoi(ReadAttribute(L"Is_Protected").GetString()));
    track.m_strTrackTitle = ReadAttribute(L"Title");
    track.m_strAlbumTitle = ReadAttribute(L"WM/AlbumTitle");
    track.m_strComposer = ReadAttribute(L"WM/Composer");
    track.m_strConductor = ReadAttribute(L"WM/Conductor");
    if (track.m_strConductor.IsEmpty())
        track.m_strConductor = ReadAttribute(L"WM/Director");
    track.m_strEncodedBy = ReadAttribute(L"WM/EncodedBy");
    track.m_strContentType = ReadAttribute(L"WM/Genre");
    track.m_strISRC = ReadAttribute(L"WM/ISRC");
    track.m_strUnsyncLyric = ReadAttribute(L"WM/Lyrics");
    track.m_strSyncLyric = ReadAttribute(L"WM/Lyrics_Synchronised");
    track.m_strMood = ReadAttribute(L"WM/Mood");
    track.m_strOriginalAlbumTitle = ReadAttribute(L"WM/OriginalAlbumTitle");
    track.m_strOriginalArtist = ReadAttribute(L"WM/OriginalArtist");
    track.m_strOriginalLyricist = ReadAttribute(L"WM/OriginalLyricist");
    track.m_strPartOfASet = ReadAttribute(L"WM/PartOfSet");
    ReadPicture(track);
    track.m_strPublisher = ReadAttribute(L"WM/Publisher");
    track.m_strTrackPosition = ReadAttribute(L"WM/TrackNumber");
    if (track.m_strTrackPosition.IsEmpty()) {
        // Files that carry only the older, zero-based "WM/Track".
        const CString fromZero = ReadAttribute(L"WM/Track");
        if (!fromZero.IsEmpty() && fromZero[0] >= '0' && fromZero[0] <= '9')
            track.m_strTrackPosition = NumberText(atol(fromZero.GetString()) + 1);
    }
    track.m_strLyricist = ReadAttribute(L"WM/Writer");
    track.m_strYear = ReadAttribute(L"WM/Year");
    return TRUE;
}
