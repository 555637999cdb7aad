// Vorbis comment names mapped to the track record, and comment text conversion through the
// framework's code page.
#include "audio/formats/vorbis_comment/vorbis_comment.h"

#include "audio/track/track_info.h"
#include "framework/codepage.h"

#include <string>

namespace
{

using FieldSetter = void (*)(CAudioTrackInfo&, const CString&);

struct CommentField {
    const char* name;
    FieldSetter set; // null: a known name whose value the system ignores
};

// DATE is the standard name of the year; earlier versions wrote YEAR, still read. DATE may be
// a whole date ("2003-04-05"): the record keeps its year.
void SetYearFromDate(CAudioTrackInfo& t, const CString& v)
{
    bool leadingYear = v.GetLength() >= 4;
    for (int i = 0; i < 4 && leadingYear; ++i)
        leadingYear = v[i] >= '0' && v[i] <= '9';
    t.SetYear(leadingYear ? v.Left(4) : v);
}

const CommentField kCommentFields[] = {
    {"TITLE", [](CAudioTrackInfo& t, const CString& v) { t.SetTrackTitle(v); }},
    {"VERSION", [](CAudioTrackInfo& t, const CString& v) { t.SetRemix(v); }},
    {"ALBUM", [](CAudioTrackInfo& t, const CString& v) { t.SetAlbumTitle(v); }},
    {"TRACKNUMBER", [](CAudioTrackInfo& t, const CString& v) { t.SetTrackPosition(v); }},
    {"ARTIST", [](CAudioTrackInfo& t, const CString& v) { t.SetArtist(v); }},
    {"PERFORMER", nullptr},
    {"COPYRIGHT", [](CAudioTrackInfo& t, const CString& v) { t.SetCopyright(v); }},
    {"LICENSE", nullptr},
    {"ORGANIZATION", [](CAudioTrackInfo& t, const CString& v) { t.SetPublisher(v); }},
    {"DESCRIPTION", [](CAudioTrackInfo& t, const CString& v) { t.SetTrackExt(v); }},
    {"GENRE", [](CAudioTrackInfo& t, const CString& v) { t.SetContentType(v); }},
    {"DATE", &SetYearFromDate},
    {"YEAR", &SetYearFromDate},
    {"LOCATION", nullptr},
    {"CONTACT", [](CAudioTrackInfo& t, const CString& v) { t.SetEncodedBy(v); }},
    {"ISRC", [](CAudioTrackInfo& t, const CString& v) { t.SetISRC(v); }},
    {"COMMENT", [](CAudioTrackInfo& t, const CString& v) { t.SetComment(v); }},
    {"ALBUMARTIST", [](CAudioTrackInfo& t, const CString& v) { t.SetAlbumArtist(v); }},
};

bool IsAscii(const char* bytes, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        if (static_cast<unsigned char>(bytes[i]) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

bool AssignVorbisComment(const CString& entry, CAudioTrackInfo& track)
{
    CString name = entry;
    CString value;
    int eq = entry.Find('=');
    if (eq >= 0) {
        name = entry.Left(eq);
        value = entry.Mid(eq + 1);
    }
    name.Trim();
    value.Trim();
    for (const CommentField& field : kCommentFields) {
        if (name.CompareNoCase(field.name) != 0)
            continue;
        // Writers put every field, also the empty ones: an empty entry leaves what another
        // entry filled.
        if (field.set && !value.IsEmpty())
            field.set(track, value);
        return true;
    }
    return false;
}

CString VorbisCommentFromTagText(const CString& text)
{
    const char* bytes = text;
    size_t length = static_cast<size_t>(text.GetLength());
    if (IsAscii(bytes, length))
        return text;
    const std::string utf8 = SystemToUtf8(bytes, length);
    return CString(utf8.c_str(), static_cast<int>(utf8.size()));
}

CString TagTextFromVorbisComment(const char* bytes, size_t length)
{
    if (!bytes)
        return CString();
    if (IsAscii(bytes, length) || !IsStrictUtf8(bytes, length))
        return CString(bytes, static_cast<int>(length));
    return Utf8ToSystem(bytes, length);
}
