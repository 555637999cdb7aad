// The text rows of the "Track Info" page in their order, with the tag each one edits; shared by
// the tests that type into the page.
#pragma once

#include "audio/track/track_info.h"

namespace
{

struct TrackRowCase {
    const char* row;
    CString CAudioTrackInfo::*field;
};

const TrackRowCase kTrackTextRows[] = {
    {"Title", &CAudioTrackInfo::m_strTrackTitle},
    {"Extended Info", &CAudioTrackInfo::m_strTrackExt},
    {"Album Title", &CAudioTrackInfo::m_strAlbumTitle},
    {"Album is part of a set", &CAudioTrackInfo::m_strPartOfASet},
    {"Year", &CAudioTrackInfo::m_strYear},
    {"Content type", &CAudioTrackInfo::m_strContentType},
    {"Content Group", &CAudioTrackInfo::m_strContentGroup},
    {"Artist", &CAudioTrackInfo::m_strArtist},
    {"Band", &CAudioTrackInfo::m_strBand},
    {"Conductor", &CAudioTrackInfo::m_strConductor},
    {"Remix", &CAudioTrackInfo::m_strRemix},
    {"Position", &CAudioTrackInfo::m_strTrackPosition},
    {"Comment Digest", &CAudioTrackInfo::m_strCommentDigest},
    {"Composer", &CAudioTrackInfo::m_strComposer},
    {"Lyricist", &CAudioTrackInfo::m_strLyricist},
    {"Copyright", &CAudioTrackInfo::m_strCopyright},
    {"Encoded By", &CAudioTrackInfo::m_strEncodedBy},
    {"Involved People", &CAudioTrackInfo::m_strInvolvedPeople},
    {"Publisher", &CAudioTrackInfo::m_strPublisher},
    {"Media Type", &CAudioTrackInfo::m_strMediaType},
    {"Mood", &CAudioTrackInfo::m_strMood},
    {"CD Id", &CAudioTrackInfo::m_strCDId},
    {"ISRC", &CAudioTrackInfo::m_strISRC},
    {"Original Album Title", &CAudioTrackInfo::m_strOriginalAlbumTitle},
    {"Original Artist", &CAudioTrackInfo::m_strOriginalArtist},
    {"Original Lyricist", &CAudioTrackInfo::m_strOriginalLyricist},
};

} // namespace
