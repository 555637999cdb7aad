// CCDDBLocalManager: store files, legacy file, value escaping and "cdplayer.ini".
#include "catalogue/localstore/cddb_local_manager.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "catalogue/localstore/store_values.h"
#include "catalogue/model/cd_info.h"
#include "foundation/settings/app_cfg.h"
#include "foundation/util/sys_utils.h"

namespace
{

// The profile functions' buffer: a stored value comes back with at most 16,383 characters.
constexpr DWORD kReadBufferSize = 16384;

// The longest escaped value written: the profile functions corrupt the file (and may not
// return) for values of 32,767 characters and more. Reading gives back 16,383 anyway.
constexpr int kMaxWrittenValue = 32000;

bool FileCanBeRead(const CString& path)
{
    HANDLE h = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(h);
    return true;
}

int LeadingNumber(const CString& s)
{
    return static_cast<int>(std::strtol(s, nullptr, 10));
}

// The 31 track keys in writing order, with the tag field each holds; "TrackLength" (null
// field) is the duration in milliseconds.
struct TrackKey {
    const char* name;
    CString CAudioTrackInfo::*field;
};

const TrackKey kTrackKeys[] = {
    {"Title", &CAudioTrackInfo::m_strTrackTitle},
    {"Ext", &CAudioTrackInfo::m_strTrackExt},
    {"AlbumTitle", &CAudioTrackInfo::m_strAlbumTitle},
    {"Year", &CAudioTrackInfo::m_strYear},
    {"ContentType", &CAudioTrackInfo::m_strContentType},
    {"Artist", &CAudioTrackInfo::m_strArtist},
    {"AlbumArtist", &CAudioTrackInfo::m_strAlbumArtist},
    {"Band", &CAudioTrackInfo::m_strBand},
    {"Conductor", &CAudioTrackInfo::m_strConductor},
    {"Remix", &CAudioTrackInfo::m_strRemix},
    {"TrackLength", nullptr},
    {"TrackPosition", &CAudioTrackInfo::m_strTrackPosition},
    {"CommentDigest", &CAudioTrackInfo::m_strCommentDigest},
    {"Comment", &CAudioTrackInfo::m_strComment},
    {"Composer", &CAudioTrackInfo::m_strComposer},
    {"Lyricist", &CAudioTrackInfo::m_strLyricist},
    {"Copyright", &CAudioTrackInfo::m_strCopyright},
    {"EncodedBy", &CAudioTrackInfo::m_strEncodedBy},
    {"InvolvedPeople", &CAudioTrackInfo::m_strInvolvedPeople},
    {"Publisher", &CAudioTrackInfo::m_strPublisher},
    {"MediaType", &CAudioTrackInfo::m_strMediaType},
    {"Mood", &CAudioTrackInfo::m_strMood},
    {"CDId", &CAudioTrackInfo::m_strCDId},
    {"ISRC", &CAudioTrackInfo::m_strISRC},
    {"SyncLyric", &CAudioTrackInfo::m_strSyncLyric},
    {"UnsyncLyric", &CAudioTrackInfo::m_strUnsyncLyric},
    {"OriginalAlbumTitle", &CAudioTrackInfo::m_strOriginalAlbumTitle},
    {"OriginalLyricist", &CAudioTrackInfo::m_strOriginalLyricist},
    {"OriginalArtist", &CAudioTrackInfo::m_strOriginalArtist},
    {"PartOfASet", &CAudioTrackInfo::m_strPartOfASet},
    {"ContentGroup", &CAudioTrackInfo::m_strContentGroup},
};

// The album keys between "ID" and "SonoriaCDDBCrc" that hold a text of the disc as it is.
struct DiscKey {
    const char* name;
    CString (CCDInfo::*get)() const;
    void (CCDInfo::*set)(LPCTSTR);
};

const DiscKey kDiscTextKeys1[] = {
    {"Artist", &CCDInfo::GetArtist, &CCDInfo::SetArtist},
    {"Title", &CCDInfo::GetTitle, &CCDInfo::SetTitle},
    {"ExtendedData", &CCDInfo::GetExtendedData, &CCDInfo::SetExtendedData},
};
const DiscKey kDiscTextKeys2[] = {
    {"Band", &CCDInfo::GetBand, &CCDInfo::SetBand},
    {"Conductor", &CCDInfo::GetConductor, &CCDInfo::SetConductor},
    {"Remix", &CCDInfo::GetRemix, &CCDInfo::SetRemix},
    {"Composer", &CCDInfo::GetComposer, &CCDInfo::SetComposer},
    {"Lyricist", &CCDInfo::GetLyricist, &CCDInfo::SetLyricist},
    {"Cpyright", &CCDInfo::GetCopyright, &CCDInfo::SetCopyright},
    {"Publisher", &CCDInfo::GetPublisher, &CCDInfo::SetPublisher},
    {"PartOfASet", &CCDInfo::GetPartOfASet, &CCDInfo::SetPartOfASet},
    {"ContentGroup", &CCDInfo::GetContentGroup, &CCDInfo::SetContentGroup},
};

CString TrackKeyName(int nIndex, const char* name)
{
    CString key;
    key.Format("TK%02d-%s", nIndex, name);
    return key;
}

} // namespace

CCDDBLocalManager::CCDDBLocalManager()
    : m_strLegacyFile(
          AppendPathComponent(GetAppFolder("Software\\Corvalen\\Sonoria3"), "ZPX3_db.ini")),
      m_strStoreFolder(GetAppCfg().GetCDDBFolder())
{
}

CCDDBLocalManager::~CCDDBLocalManager() = default;

CString CCDDBLocalManager::EscapeValue(LPCTSTR lpszValue)
{
    return store_values::Escape(lpszValue);
}

CString CCDDBLocalManager::UnescapeValue(LPCTSTR lpszValue)
{
    return store_values::Unescape(lpszValue, false);
}

CString CCDDBLocalManager::UnescapeLegacyValue(LPCTSTR lpszValue)
{
    return store_values::Unescape(lpszValue, true);
}

bool CCDDBLocalManager::IsStorableDisc(const CCDInfo& info)
{
    return info.GetDiscId() != 0 && info.GetTrackCount() > 0 &&
           info.GetFileEntryCount() < info.GetTrackCount();
}

CString CCDDBLocalManager::GetStoreFilePath(LPCTSTR lpszSection) const
{
    CString name = CString(lpszSection).Left(4) + ".idx";
    return AppendPathComponent(m_strStoreFolder, name);
}

CString CCDDBLocalManager::GetCDPlayerIniPath()
{
    char folder[MAX_PATH + 1] = {};
    UINT n = ::GetWindowsDirectoryA(folder, MAX_PATH);
    if (n > MAX_PATH)
        n = 0;
    CString path(folder, static_cast<int>(n));
    if (path.IsEmpty() || path[path.GetLength() - 1] != '\\')
        path += '\\';
    return path + "cdplayer.ini";
}

void CCDDBLocalManager::WriteStoreKey(LPCTSTR lpszSection, LPCTSTR lpszKey, LPCTSTR lpszValue)
{
    CString value = EscapeValue(lpszValue);
    if (value.GetLength() > kMaxWrittenValue) {
        int cut = kMaxWrittenValue; // never inside a "%XX"
        if (value[cut - 1] == '%')
            cut -= 1;
        else if (value[cut - 2] == '%')
            cut -= 2;
        value.Truncate(cut);
    }
    ::WritePrivateProfileStringA(lpszSection, lpszKey, value, GetStoreFilePath(lpszSection));
}

int CCDDBLocalManager::ReadStoreKey(LPCTSTR lpszSection, LPCTSTR lpszKey, CString& strValue)
{
    CString storeFile = GetStoreFilePath(lpszSection);
    bool fromStore = FileCanBeRead(storeFile);
    CString buffer;
    DWORD n =
        ::GetPrivateProfileStringA(lpszSection, lpszKey, "", buffer.GetBuffer(kReadBufferSize),
                                   kReadBufferSize, fromStore ? storeFile : m_strLegacyFile);
    buffer.ReleaseBuffer(static_cast<int>(n < kReadBufferSize ? n : kReadBufferSize - 1));
    strValue = fromStore ? UnescapeValue(buffer) : UnescapeLegacyValue(buffer);
    return static_cast<int>(n);
}

int CCDDBLocalManager::Load(CCDInfo* pInfo)
{
    if (pInfo == nullptr || pInfo->GetDiscId() == 0 || pInfo->GetTrackCount() == 0)
        return 0;
    CString idText;
    idText.Format("%08x", static_cast<unsigned>(pInfo->GetDiscId()));
    CString section = pInfo->GetTocId();
    CString value;
    ReadStoreKey(section, "ID", value);
    if (value != idText) {
        section = idText;
        ReadStoreKey(section, "ID", value);
        if (value != idText)
            return 0;
    }
    auto read = [&](const char* key) {
        CString v;
        ReadStoreKey(section, key, v);
        return v;
    };
    for (const DiscKey& k : kDiscTextKeys1)
        (pInfo->*k.set)(read(k.name));
    pInfo->SetYear(LeadingNumber(read("Year")));
    pInfo->SetGenre(read("Genre"));
    pInfo->SetRevision(LeadingNumber(read("Revision")));
    for (const DiscKey& k : kDiscTextKeys2)
        (pInfo->*k.set)(read(k.name));
    pInfo->SetChecksum(read("SonoriaCDDBCrc"));

    for (int i = 0; i < pInfo->GetTrackCount(); ++i) {
        CCDTrack* t = pInfo->GetTrack(i);
        for (const TrackKey& k : kTrackKeys) {
            CString v = read(TrackKeyName(i, k.name));
            if (k.field != nullptr)
                t->*k.field = v;
            else
                t->SetDurationMs(LeadingNumber(v));
        }
        const struct {
            const char* format;
            CString CAudioTrackInfo::*field;
        } legacy[] = {{"TT%d", &CAudioTrackInfo::m_strTrackTitle},
                      {"TE%d", &CAudioTrackInfo::m_strTrackExt},
                      {"TL%d", &CAudioTrackInfo::m_strUnsyncLyric}};
        for (const auto& l : legacy) {
            if (!(t->*l.field).IsEmpty())
                continue;
            CString key;
            key.Format(l.format, i);
            t->*l.field = read(key);
        }
    }
    return 1;
}

int CCDDBLocalManager::Save(CCDInfo* pInfo)
{
    if (pInfo == nullptr || !IsStorableDisc(*pInfo))
        return 0;
    CString section = pInfo->GetTocId();
    auto write = [&](LPCTSTR key, const CString& value) { WriteStoreKey(section, key, value); };
    write("ID", pInfo->GetCDDBId());
    for (const DiscKey& k : kDiscTextKeys1)
        write(k.name, (pInfo->*k.get)());
    write("Year", pInfo->GetYear());
    write("Genre", pInfo->GetGenre());
    CString number;
    number.Format("%d", pInfo->GetRevision());
    write("Revision", number);
    for (const DiscKey& k : kDiscTextKeys2)
        write(k.name, (pInfo->*k.get)());
    write("SonoriaCDDBCrc", pInfo->GetChecksum());
    number.Format("%d", pInfo->GetTrackCount());
    write("NTracks", number);
    for (int i = 0; i < pInfo->GetTrackCount(); ++i) {
        const CCDTrack* t = pInfo->GetTrack(i);
        for (const TrackKey& k : kTrackKeys)
            write(TrackKeyName(i, k.name),
                  k.field != nullptr ? t->*k.field : t->GetDurationMsText());
    }
    return 1;
}

int CCDDBLocalManager::WriteCDPlayerIni(CCDInfo* pInfo)
{
    if (pInfo == nullptr || !IsStorableDisc(*pInfo))
        return 0;
    CString path = GetCDPlayerIniPath();
    CString section;
    section.Format("%X", static_cast<unsigned>(pInfo->GetDiscId()));
    CString comment = pInfo->GetExtendedData();
    comment.Replace("\r\n", " ");
    comment.Replace("\r", " ");
    comment.Replace("\n", " ");
    CString count;
    count.Format("%d", pInfo->GetTrackCount());
    const struct {
        const char* key;
        CString value;
    } keys[] = {{"EntryType", "1"},           {"artist", pInfo->GetArtist()},
                {"title", pInfo->GetTitle()}, {"genre", pInfo->GetGenre()},
                {"year", pInfo->GetYear()},   {"comment", comment},
                {"numtracks", count}};
    for (const auto& k : keys)
        ::WritePrivateProfileStringA(section, k.key, k.value, path);
    for (int i = 0; i < pInfo->GetTrackCount(); ++i) {
        CString key;
        key.Format("%d", i);
        ::WritePrivateProfileStringA(section, key, pInfo->GetTrack(i)->m_strTrackTitle, path);
    }
    return 1;
}
