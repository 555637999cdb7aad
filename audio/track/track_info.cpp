// CAudioTrackInfo and CAudioTrackPictureInfo: copying, pictures, durations and genres.
#include "audio/track/track_info.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace
{

// The 30 text fields in member order, for clearing, copying and Dump.
struct TextField {
    const char* name;
    CString CAudioTrackInfo::*member;
};
// clang-format off
#define TEXT_FIELD(m) {#m, &CAudioTrackInfo::m}
const TextField kTextFields[] = {
    TEXT_FIELD(m_strContentGroup), TEXT_FIELD(m_strTrackTitle), TEXT_FIELD(m_strTrackExt),
    TEXT_FIELD(m_strAlbumTitle), TEXT_FIELD(m_strYear), TEXT_FIELD(m_strContentType),
    TEXT_FIELD(m_strArtist), TEXT_FIELD(m_strAlbumArtist), TEXT_FIELD(m_strBand),
    TEXT_FIELD(m_strConductor), TEXT_FIELD(m_strRemix), TEXT_FIELD(m_strTrackPosition),
    TEXT_FIELD(m_strCommentDigest), TEXT_FIELD(m_strComment), TEXT_FIELD(m_strComposer),
    TEXT_FIELD(m_strLyricist), TEXT_FIELD(m_strCopyright), TEXT_FIELD(m_strEncodedBy),
    TEXT_FIELD(m_strInvolvedPeople), TEXT_FIELD(m_strPublisher), TEXT_FIELD(m_strMediaType),
    TEXT_FIELD(m_strMood), TEXT_FIELD(m_strCDId), TEXT_FIELD(m_strISRC), TEXT_FIELD(m_strSyncLyric),
    TEXT_FIELD(m_strUnsyncLyric), TEXT_FIELD(m_strOriginalAlbumTitle),
    TEXT_FIELD(m_strOriginalLyricist), TEXT_FIELD(m_strOriginalArtist), TEXT_FIELD(m_strPartOfASet),
};
// clang-format on
#undef TEXT_FIELD
static_assert(sizeof kTextFields / sizeof kTextFields[0] == 30);
const size_t kRemixField = 10; // the duration stands after this one in Dump

// The ID3v1 genre list: 0-79 as first published, 80-147 its common extension.
// clang-format off
const char* const kGenres[CAudioTrackInfo::GENRE_COUNT] = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop", "Jazz",
    "Metal", "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno",
    "Industrial", "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro-Techno",
    "Ambient", "Trip-Hop", "Vocal", "Jazz+Funk", "Fusion", "Trance", "Classical", "Instrumental",
    "Acid", "House", "Game", "Sound Clip", "Gospel", "Noise", "Alt. Rock", "Bass", "Soul", "Punk",
    "Space", "Meditative", "Instrumental Pop", "Instrumental Rock", "Ethnic", "Gothic", "Darkwave",
    "Techno-Industrial", "Electronic", "Pop-Folk", "Eurodance", "Dream", "Southern Rock", "Comedy",
    "Cult", "Gangsta Rap", "Top 40", "Christian Rap", "Pop/Funk", "Jungle", "Native American",
    "Cabaret", "New Wave", "Psychedelic", "Rave", "Showtunes", "Trailer", "Lo-Fi", "Tribal",
    "Acid Punk", "Acid Jazz", "Polka", "Retro", "Musical", "Rock & Roll", "Hard Rock", "Folk",
    "Folk/Rock", "National Folk", "Swing", "Fast-Fusion", "Bebob", "Latin", "Revival", "Celtic",
    "Bluegrass", "Avantgarde", "Gothic Rock", "Progressive Rock", "Psychedelic Rock",
    "Symphonic Rock", "Slow Rock", "Big Band", "Chorus", "Easy Listening", "Acoustic", "Humour",
    "Speech", "Chanson", "Opera", "Chamber Music", "Sonata", "Symphony", "Booty Bass", "Primus",
    "Porn Groove", "Satire", "Slow Jam", "Club", "Tango", "Samba", "Folklore", "Ballad",
    "Power Ballad", "Rhythmic Soul", "Freestyle", "Duet", "Punk Rock", "Drum Solo", "A Cappella",
    "Euro-House", "Dance Hall", "Goa", "Drum & Bass", "Club-House", "Hardcore", "Terror", "Indie",
    "BritPop", "Negerpunk", "Polsk Punk", "Beat", "Christian Gangsta Rap", "Heavy Metal",
    "Black Metal", "Crossover", "Contemporary Christian", "Christian Rock", "Merengue", "Salsa",
    "Thrash Metal", "Anime", "JPop", "Synthpop",
};
// clang-format on

} // namespace

// ---- CAudioTrackPictureInfo ----

CAudioTrackPictureInfo::CAudioTrackPictureInfo() = default;

CAudioTrackPictureInfo::CAudioTrackPictureInfo(const CAudioTrackPictureInfo& src)
    : m_strMimeType(src.m_strMimeType), m_strDescription(src.m_strDescription),
      m_nPictureType(src.m_nPictureType)
{
    if (src.m_pData && src.m_nDataLength > 0) {
        m_pData = std::make_unique<BYTE[]>(src.m_nDataLength);
        std::memcpy(m_pData.get(), src.m_pData.get(), src.m_nDataLength);
        m_nDataLength = src.m_nDataLength;
    }
}

CAudioTrackPictureInfo& CAudioTrackPictureInfo::operator=(const CAudioTrackPictureInfo& src)
{
    if (this != &src) {
        CAudioTrackPictureInfo copy(src);
        m_strMimeType = copy.m_strMimeType;
        m_strDescription = copy.m_strDescription;
        m_nPictureType = copy.m_nPictureType;
        m_pData = std::move(copy.m_pData);
        m_nDataLength = copy.m_nDataLength;
    }
    return *this;
}

CAudioTrackPictureInfo::~CAudioTrackPictureInfo()
{
    Clear();
}

void CAudioTrackPictureInfo::Set(int nType, LPCTSTR pszMimeType, LPCTSTR pszDescription,
                                 const BYTE* pBytes, int nLength)
{
    if (!pBytes || nLength < 0)
        return;
    Clear();
    m_nPictureType = nType;
    m_strMimeType = pszMimeType;
    m_strDescription = pszDescription;
    if (nLength > 0) {
        m_pData = std::make_unique<BYTE[]>(nLength);
        std::memcpy(m_pData.get(), pBytes, nLength);
    }
    m_nDataLength = nLength;
}

void CAudioTrackPictureInfo::Clear()
{
    m_pData.reset();
    m_nDataLength = 0;
    m_nPictureType = 0;
    m_strMimeType.Empty();
    m_strDescription.Empty();
}

// ---- CAudioTrackInfo ----

CAudioTrackInfo::CAudioTrackInfo()
{
    Clear();
}

CAudioTrackInfo::CAudioTrackInfo(const CAudioTrackInfo& src)
{
    CopyFrom(src);
}

CAudioTrackInfo& CAudioTrackInfo::operator=(const CAudioTrackInfo& src)
{
    if (this != &src) {
        Clear();
        CopyFrom(src);
    }
    return *this;
}

CAudioTrackInfo::~CAudioTrackInfo()
{
    Clear();
}

void CAudioTrackInfo::CopyFrom(const CAudioTrackInfo& src)
{
    m_nFileType = src.m_nFileType;
    m_nDurationMs = src.m_nDurationMs;
    for (const TextField& f : kTextFields)
        this->*f.member = src.*f.member;
    m_bProtected = src.m_bProtected;
    // Occupied slots are compacted to 0, 1, 2 ... in slot order.
    int next = 0;
    for (const auto& picture : src.m_pPictures) {
        if (picture)
            m_pPictures[next++] = std::make_unique<CAudioTrackPictureInfo>(*picture);
    }
}

void CAudioTrackInfo::Clear()
{
    m_nFileType = -1;
    m_nDurationMs = 0;
    for (const TextField& f : kTextFields)
        (this->*f.member).Empty();
    m_bProtected = FALSE;
    RemoveAllPictures();
}

void CAudioTrackInfo::SetDurationFromFrames(long nFrames)
{
    double ms = nFrames / 75.0 * 1000.0;
    if (ms >= std::numeric_limits<int>::max())
        m_nDurationMs = std::numeric_limits<int>::max();
    else if (ms <= std::numeric_limits<int>::min())
        m_nDurationMs = std::numeric_limits<int>::min();
    else
        m_nDurationMs = static_cast<int>(ms);
}

CString CAudioTrackInfo::GetDurationMsText() const
{
    CString s;
    s.Format("%d", m_nDurationMs);
    return s;
}

CString CAudioTrackInfo::GetDurationText() const
{
    int seconds = m_nDurationMs / 1000;
    CString s;
    s.Format("%d:%d", seconds / 60, seconds % 60);
    return s;
}

CString CAudioTrackInfo::GetAlbumArtist() const
{
    return m_strAlbumArtist.IsEmpty() ? m_strArtist : m_strAlbumArtist;
}

int CAudioTrackInfo::SetGenreByIndex(int nIndex)
{
    if (nIndex < 0 || nIndex >= GENRE_COUNT)
        return 0;
    m_strContentType = kGenres[nIndex];
    return 1;
}

BYTE CAudioTrackInfo::GetGenreIndex() const
{
    // The names are ASCII, so an ASCII case fold finds the same matches a code-page aware one
    // would: no lead or trail byte of a multibyte character folds onto a letter of a name.
    for (int i = 0; i < GENRE_COUNT; ++i) {
        if (m_strContentType.CompareNoCase(kGenres[i]) == 0)
            return static_cast<BYTE>(i);
    }
    return GENRE_NONE;
}

CString CAudioTrackInfo::GetGenreName(BYTE nIndex)
{
    return nIndex < GENRE_COUNT ? CString(kGenres[nIndex]) : CString("Unknown");
}

int CAudioTrackInfo::AddPicture(int nType, LPCTSTR pszMimeType, LPCTSTR pszDescription,
                                const BYTE* pBytes, int nLength)
{
    if (!pBytes || nLength < 0)
        return -2;
    for (int i = 0; i < MAX_PICTURES; ++i) {
        if (!m_pPictures[i]) {
            auto picture = std::make_unique<CAudioTrackPictureInfo>();
            picture->Set(nType, pszMimeType, pszDescription, pBytes, nLength);
            m_pPictures[i] = std::move(picture);
            return i;
        }
    }
    return -1;
}

CAudioTrackPictureInfo* CAudioTrackInfo::GetPicture(int nIndex) const
{
    return (nIndex >= 0 && nIndex < MAX_PICTURES) ? m_pPictures[nIndex].get() : nullptr;
}

void CAudioTrackInfo::RemovePicture(int nIndex)
{
    if (nIndex >= 0 && nIndex < MAX_PICTURES)
        m_pPictures[nIndex].reset();
}

void CAudioTrackInfo::RemoveAllPictures()
{
    for (int i = 0; i < MAX_PICTURES; ++i)
        RemovePicture(i);
}

CString CAudioTrackInfo::Dump() const
{
    CString out;
    out.Format("[CAudioTrackInfo %llx: \r\n",
               static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(this)));
    auto line = [&out](const char* name, const CString& value) {
        if (!value.IsEmpty())
            out.AppendFormat("%s: %s\r\n", name, value.GetString());
    };
    // Title first, the content group last, the duration after the remixer.
    for (size_t i = 1; i < sizeof kTextFields / sizeof kTextFields[0]; ++i) {
        line(kTextFields[i].name, this->*kTextFields[i].member);
        if (i == kRemixField && m_nDurationMs > 0)
            line("m_strTrackLength", GetDurationMsText());
    }
    line(kTextFields[0].name, m_strContentGroup);
    out.AppendFormat("IsProtected: %d\r\n", m_bProtected);
    for (int i = 0; i < MAX_PICTURES; ++i) {
        if (m_pPictures[i])
            out.AppendFormat("Image %d defined: %s %s\r\n", i,
                             m_pPictures[i]->m_strMimeType.GetString(),
                             m_pPictures[i]->m_strDescription.GetString());
    }
    out += "]\r\n";
    return out;
}
