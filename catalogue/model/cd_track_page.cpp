// CCDTrack as a property host: the "Track Info" page and its change notification.
#include "catalogue/model/cd_track.h"

#include "catalogue/model/lyrics_property.h"
#include "foundation/i18n/i18n.h"
#include "framework/ui.h"
#include "propgrid/prop_list.h"
#include "propgrid/property_kinds.h"
#include "propgrid/textblock_property.h"

namespace
{

struct TrackRow {
    const char* nameKey;
    const char* name;
    CString CCDTrack::*member; // null: the length text
    const char* commentKey;
    const char* comment;
    enum Kind { Text, Block, Lyrics } kind;
};

} // namespace

void CCDTrack::FillProperties(EPropList* pList)
{
    static const TrackRow kRows[] = {
        {"ccdtrack.const.tracktitle", "Title", &CCDTrack::m_strTrackTitle,
         "ccdtrack.const.commtracktitle", "Title of the track", TrackRow::Text},
        {"ccdtrack.const.trackext", "Extended Info", &CCDTrack::m_strTrackExt,
         "ccdtrack.const.commtrackext", "Extended info of the track", TrackRow::Text},
        {"ccdtrack.const.trackalbumtitle", "Album Title", &CCDTrack::m_strAlbumTitle,
         "ccdtrack.const.commtrackalbumtitle", "Album title", TrackRow::Text},
        {"ccdtrack.const.trackalbumpartofaset", "Album is part of a set",
         &CCDTrack::m_strPartOfASet, "ccdtrack.const.commtrackalbumpartofaset",
         "If album is part of a set put here album number and the number of albums in the set. "
         "Example: use 2/4 if this is the second album of a 4 albums set.",
         TrackRow::Text},
        {"ccdtrack.const.trackyear", "Year", &CCDTrack::m_strYear, "ccdtrack.const.commtrackyear",
         "Track year", TrackRow::Text},
        {"ccdtrack.const.trackcontenttype", "Content type", &CCDTrack::m_strContentType,
         "ccdtrack.const.commtrackcontenttype", "Content type", TrackRow::Text},
        {"ccdtrack.const.trackcontentgroup", "Content Group", &CCDTrack::m_strContentGroup,
         "ccdinfo.const.commtrackalbumcontentgroup",
         "Content Group, Description, Serial or Collection", TrackRow::Text},
        {"ccdtrack.const.trackartist", "Artist", &CCDTrack::m_strArtist,
         "ccdtrack.const.commtrackartist", "Track artist", TrackRow::Text},
        {"ccdtrack.const.trackband", "Band", &CCDTrack::m_strBand, "ccdtrack.const.commtrackband",
         "Track band", TrackRow::Text},
        {"ccdtrack.const.trackconductor", "Conductor", &CCDTrack::m_strConductor,
         "ccdtrack.const.commtrackconductor", "Track Conductor", TrackRow::Text},
        {"ccdtrack.const.trackremix", "Remix", &CCDTrack::m_strRemix,
         "ccdtrack.const.commtrackremix", "Track Remix", TrackRow::Text},
        {"ccdtrack.const.tracklength", "Length", nullptr, "ccdtrack.const.commtracklength",
         "Track Length", TrackRow::Text},
        {"ccdtrack.const.trackposition", "Position", &CCDTrack::m_strTrackPosition,
         "ccdtrack.const.commtrackposition", "Track Position", TrackRow::Text},
        {"ccdtrack.const.trackcommentdigest", "Comment Digest", &CCDTrack::m_strCommentDigest,
         "ccdtrack.const.commtrackcommentdigest", "Short comment about the track", TrackRow::Text},
        {"ccdtrack.const.trackcomment", "Comment", &CCDTrack::m_strComment,
         "ccdtrack.const.commtrackcomment", "Comment about the track", TrackRow::Block},
        {"ccdtrack.const.trackcomposer", "Composer", &CCDTrack::m_strComposer,
         "ccdtrack.const.commtrackcomposer", "Track Composer", TrackRow::Text},
        // The name key ends with a blank: language files carry it that way.
        {"ccdtrack.const.tracklyricist ", "Lyricist", &CCDTrack::m_strLyricist,
         "ccdtrack.const.commtracklyricist", "Track lyricist", TrackRow::Text},
        {"ccdtrack.const.trackcopyright", "Copyright", &CCDTrack::m_strCopyright,
         "ccdtrack.const.commtrackcopyright", "Track Copyright Notice", TrackRow::Text},
        {"ccdtrack.const.trackencodedby", "Encoded By", &CCDTrack::m_strEncodedBy,
         "ccdtrack.const.commtrackencodedby", "Track Encoded By", TrackRow::Text},
        {"ccdtrack.const.trackinvolvedpeople", "Involved People", &CCDTrack::m_strInvolvedPeople,
         "ccdtrack.const.commtrackinvolvedpeople", "People involved in track making",
         TrackRow::Text},
        {"ccdtrack.const.trackpublisher", "Publisher", &CCDTrack::m_strPublisher,
         "ccdtrack.const.commtrackpublisher", "Track Publisher", TrackRow::Text},
        {"ccdtrack.const.trackmediatype", "Media Type", &CCDTrack::m_strMediaType,
         "ccdtrack.const.commtrackmediatype", "Track Source Media Type", TrackRow::Text},
        {"ccdtrack.const.trackmood", "Mood", &CCDTrack::m_strMood, "ccdtrack.const.commtrackmood",
         "Track Mood", TrackRow::Text},
        {"ccdtrack.const.trackcdid", "CD Id", &CCDTrack::m_strCDId, "ccdtrack.const.commtrackcdid",
         "Track CD Id", TrackRow::Text},
        {"ccdtrack.const.trackisrc", "ISRC", &CCDTrack::m_strISRC, "ccdtrack.const.commtrackisrc",
         "Track ISRC code", TrackRow::Text},
        {"ccdtrack.const.trackoriginalalbumtitle", "Original Album Title",
         &CCDTrack::m_strOriginalAlbumTitle, "ccdtrack.const.commtrackoriginalalbumtitle",
         "Track Original Album Title", TrackRow::Text},
        {"ccdtrack.const.trackoriginalartist", "Original Artist", &CCDTrack::m_strOriginalArtist,
         "ccdtrack.const.commtrackoriginalalartist", "Track Original Artist", TrackRow::Text},
        {"ccdtrack.const.trackoriginallyricist", "Original Lyricist",
         &CCDTrack::m_strOriginalLyricist, "ccdtrack.const.commtrackoriginallyricist",
         "Track Original Lyricist", TrackRow::Text},
        {"ccdtrack.const.trackunsynclyric", "Unsynchronized Lyrics", &CCDTrack::m_strUnsyncLyric,
         "ccdtrack.const.commtrackunsynclyric", "Track Lyrics (free text format)",
         TrackRow::Lyrics},
        {"ccdtrack.const.tracksynclyric", "Synchronized Lyrics", &CCDTrack::m_strSyncLyric,
         "ccdtrack.const.commtracksynclyric", "Track Synchronized Lyrics (karaoke format)",
         TrackRow::Lyrics},
    };
    pList->SetDefaultComment(
        I18NString("ccdtrack.const.comment", "Set Track Specific Info Tags Here"));
    for (const TrackRow& row : kRows) {
        CString name = I18NString(row.nameKey, row.name);
        CString comment = I18NString(row.commentKey, row.comment);
        CString* member = row.member != nullptr ? &(this->*row.member) : &m_strLengthText;
        EProperty* p = nullptr;
        switch (row.kind) {
        case TrackRow::Text:
            p = pList->AddString(this, name, member, true);
            break;
        case TrackRow::Block:
            p = pList->AddTextblock(this, name, member, true);
            break;
        case TrackRow::Lyrics:
            // Made on the heap and given its comment; the list owns it once added.
            p = new EPropertyLyrics(this, name, member, TRUE);
            p->SetComment(comment);
            pList->AddProperty(p);
            continue;
        }
        p->SetComment(comment);
    }
}

bool CCDTrack::OnPropertyChange(void* pProperty, void*)
{
    if (m_pNotifyWnd != nullptr && m_pNotifyWnd->m_hWnd != nullptr)
        m_pNotifyWnd->PostMessage(WM_COMMAND, ID_TAGS_CHANGED,
                                  pProperty == &m_strTrackTitle ? 1 : 0);
    SetModified();
    return true;
}

bool CCDTrack::IsPropertyEditable(void* pProperty)
{
    if (m_nFlags < 0)
        return false;
    return pProperty != &m_strLengthText;
}
