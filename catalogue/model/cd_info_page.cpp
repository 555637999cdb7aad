// CCDInfo as a property host: the "CD Info" page, album edits reaching the tracks, and the
// change notification.
#include "catalogue/model/cd_info.h"

#include <iterator>

#include "foundation/i18n/i18n.h"
#include "framework/ui.h"
#include "propgrid/numeric_property.h"
#include "propgrid/prop_list.h"
#include "propgrid/property_kinds.h"
#include "propgrid/textblock_property.h"

namespace
{

enum class RowKind { Text, Block, Int };

struct DiscRow {
    const char* nameKey;
    const char* name;
    const char* commentKey;
    const char* comment;
    RowKind kind;
    bool enabled;
};

// The keys and English texts as the language files carry them ("albumpasrtofaset", "Abum BAnd").
const DiscRow kDiscRows[] = {
    {"ccdinfo.const.albumtitle", "Album Title", "ccdinfo.const.commalbumtitle",
     "Title of the album", RowKind::Text, true},
    {"ccdinfo.const.albumartist", "Album Artist", "ccdinfo.const.commalbumartist",
     "Artist or author of the album", RowKind::Text, true},
    {"ccdinfo.const.albumyear", "Album Year", "ccdinfo.const.commalbumyear",
     "Publishing year of the album", RowKind::Text, true},
    {"ccdinfo.const.albumgenre", "Album Genre", "ccdinfo.const.commalbumgenre", "Album Music Genre",
     RowKind::Text, true},
    {"ccdinfo.const.albumcomment", "Album Comment", "ccdinfo.const.commalbumcomment",
     "Album Comment", RowKind::Block, true},
    {"ccdinfo.const.albumcontentgroup", "Album Content Group",
     "ccdinfo.const.commalbumcontentgroup", "Album Content Group, Serial or Collection",
     RowKind::Text, true},
    {"ccdinfo.const.albumband", "Album Band", "ccdinfo.const.commalbumband", "Abum BAnd",
     RowKind::Text, true},
    {"ccdinfo.const.albumconductor", "Album Conductor", "ccdinfo.const.commalbumconductor",
     "Album Conductor", RowKind::Text, true},
    {"ccdinfo.const.albumremix", "Album Remix", "ccdinfo.const.commalbumremix", "Album Remix",
     RowKind::Text, true},
    {"ccdinfo.const.albumcomposer", "Album Composer", "ccdinfo.const.commalbumcomposer",
     "Album Composer", RowKind::Text, true},
    {"ccdinfo.const.albumlyricist", "Album Lyricist", "ccdinfo.const.commalbumlyricist",
     "Album Lyricist", RowKind::Text, true},
    {"ccdinfo.const.albumcopyright", "Album Copyright", "ccdinfo.const.commalbumcopyright",
     "Album Copyright", RowKind::Text, true},
    {"ccdinfo.const.albumpublisher", "Album Publisher", "ccdinfo.const.commalbumpublisher",
     "Album Publisher", RowKind::Text, true},
    {"ccdinfo.const.albumpasrtofaset", "Album is part of a set",
     "ccdinfo.const.commalbumpartofaset",
     "If album is part of a set put here album number and the number of albums in the set. EG "
     "use 2/4 if this is the second album of a 4 albums set.",
     RowKind::Text, true},
    {"ccdinfo.const.cdlen", "CD Length", "ccdinfo.const.commcdlen", "CD Total Length",
     RowKind::Text, false},
    {"ccdinfo.const.albumcddbid", "Album CDDB Id", "ccdinfo.const.commalbumcddbid", "Album CDDB ID",
     RowKind::Text, false},
    {"ccdinfo.const.albumcdrevision", "Calvera Revision", "ccdinfo.const.commalbumcdrevision",
     "Album Sonoria DB Revision Number", RowKind::Int, true},
};

} // namespace

void CCDInfo::FillProperties(EPropList* pList)
{
    GetLengthText();
    pList->SetDefaultComment(I18NString("ccdinfo.const.comment", "Set CD Info Tags Here"));
    void* members[] = {&m_strTitle,        &m_strArtist,       &m_strYear,       &m_strGenre,
                       &m_strExtendedData, &m_strContentGroup, &m_strBand,       &m_strConductor,
                       &m_strRemix,        &m_strComposer,     &m_strLyricist,   &m_strCopyright,
                       &m_strPublisher,    &m_strPartOfASet,   &m_strLengthText, &m_strCDDBId,
                       &m_nRevision};
    static_assert(std::size(members) == std::size(kDiscRows));
    for (size_t i = 0; i < std::size(kDiscRows); ++i) {
        const DiscRow& row = kDiscRows[i];
        CString name = I18NString(row.nameKey, row.name);
        EProperty* p = nullptr;
        switch (row.kind) {
        case RowKind::Text:
            p = pList->AddString(this, name, static_cast<CString*>(members[i]), row.enabled);
            break;
        case RowKind::Block:
            p = pList->AddTextblock(this, name, static_cast<CString*>(members[i]), row.enabled);
            break;
        case RowKind::Int:
            p = pList->AddInt(this, name, static_cast<int*>(members[i]), "", row.enabled);
            break;
        }
        p->SetComment(I18NString(row.commentKey, row.comment));
    }
}

bool CCDInfo::OnPropertyChange(void* pProperty, void* pNewValue)
{
    if (pProperty == &m_strArtist && pNewValue != nullptr) {
        const CString& value = *static_cast<const CString*>(pNewValue);
        for (int i = 0; i < GetTrackCount(); ++i) {
            CCDTrack* t = GetTrack(i);
            t->m_strAlbumArtist = value;
            if (t->m_strArtist == m_strArtist)
                t->m_strArtist = value;
        }
    }
    struct Carried {
        CString* album;
        CString CAudioTrackInfo::*track;
    };
    const Carried carried[] = {{&m_strTitle, &CAudioTrackInfo::m_strAlbumTitle},
                               {&m_strGenre, &CAudioTrackInfo::m_strContentType},
                               {&m_strYear, &CAudioTrackInfo::m_strYear},
                               {&m_strBand, &CAudioTrackInfo::m_strBand},
                               {&m_strConductor, &CAudioTrackInfo::m_strConductor},
                               {&m_strRemix, &CAudioTrackInfo::m_strRemix},
                               {&m_strComposer, &CAudioTrackInfo::m_strComposer},
                               {&m_strLyricist, &CAudioTrackInfo::m_strLyricist},
                               {&m_strCopyright, &CAudioTrackInfo::m_strCopyright},
                               {&m_strPublisher, &CAudioTrackInfo::m_strPublisher},
                               {&m_strPartOfASet, &CAudioTrackInfo::m_strPartOfASet},
                               {&m_strContentGroup, &CAudioTrackInfo::m_strContentGroup}};
    for (const Carried& c : carried) {
        if (pProperty != c.album || pNewValue == nullptr)
            continue;
        const CString& value = *static_cast<const CString*>(pNewValue);
        for (int i = 0; i < GetTrackCount(); ++i) {
            CString& field = GetTrack(i)->*c.track;
            if (field == *c.album)
                field = value;
        }
    }
    if (m_pNotifyWnd != nullptr && m_pNotifyWnd->m_hWnd != nullptr)
        m_pNotifyWnd->PostMessage(WM_COMMAND, ID_TAGS_CHANGED, pProperty == &m_strTitle ? 1 : 0);
    SetModified();
    return true;
}

bool CCDInfo::IsPropertyEditable(void* pProperty)
{
    if (GetAudioTrackCount() == 0)
        return false;
    return pProperty != &m_strCDDBId && pProperty != &m_nRevision;
}
