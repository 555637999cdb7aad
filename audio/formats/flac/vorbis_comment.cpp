// Vorbis comment names mapped to the track record, and comment text conversion.
#include "audio/formats/flac/vorbis_comment.h"

#include "audio/track/track_info.h"

#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

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

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool DecodeUtf8(const char* bytes, size_t length, std::u32string& out)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes);
    out.clear();
    for (size_t i = 0; i < length;) {
        unsigned c = p[i];
        size_t extra;
        char32_t cp, min;
        if (c < 0x80) {
            out.push_back(c);
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1, cp = c & 0x1F, min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2, cp = c & 0x0F, min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3, cp = c & 0x07, min = 0x10000;
        } else {
            return false;
        }
        if (extra > length - i - 1)
            return false;
        for (size_t k = 1; k <= extra; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
            cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return false;
        out.push_back(cp);
        i += extra + 1;
    }
    return true;
}

void AppendUtf8(char32_t cp, std::string& out)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

#ifdef _WIN32

std::u32string CodePointsFromSystem(const char* bytes, size_t length)
{
    std::u32string out;
    int n = MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(length), nullptr, 0);
    if (n <= 0)
        return out;
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(length), wide.data(), n);
    for (size_t i = 0; i < wide.size(); ++i) {
        char32_t c = static_cast<char16_t>(wide[i]);
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < wide.size()) {
            char32_t lo = static_cast<char16_t>(wide[i + 1]);
            if (lo >= 0xDC00 && lo <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (lo - 0xDC00);
                ++i;
            }
        }
        out.push_back(c);
    }
    return out;
}

std::string SystemFromCodePoints(const std::u32string& cps)
{
    std::wstring wide;
    // No ANSI code page holds a character beyond the basic plane; one '?' stands for it, not
    // one per surrogate.
    for (char32_t c : cps)
        wide += static_cast<wchar_t>(c >= 0x10000 ? U'?' : c);
    int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                nullptr, nullptr);
    if (n <= 0)
        return std::string();
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                        nullptr, nullptr);
    return out;
}

#else

// Windows-1252 bytes 0x80-0x9F; the five unassigned ones map to the C1 control of that value,
// as Windows maps them.
const char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                  0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                  0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                  0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

std::u32string CodePointsFromSystem(const char* bytes, size_t length)
{
    std::u32string out;
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(bytes[i]);
        out.push_back(c >= 0x80 && c < 0xA0 ? kCp1252High[c - 0x80] : c);
    }
    return out;
}

std::string SystemFromCodePoints(const std::u32string& cps)
{
    std::string out;
    for (char32_t c : cps) {
        char b = '?';
        if (c < 0x80 || (c >= 0xA0 && c < 0x100)) {
            b = static_cast<char>(c);
        } else {
            for (int k = 0; k < 32; ++k) {
                if (kCp1252High[k] == c)
                    b = static_cast<char>(0x80 + k);
            }
        }
        out += b;
    }
    return out;
}

#endif

CString MakeText(const std::string& s)
{
    return CString(s.c_str(), static_cast<int>(s.size()));
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
    std::string out;
    for (char32_t c : CodePointsFromSystem(bytes, length))
        AppendUtf8(c, out);
    return MakeText(out);
}

CString TagTextFromVorbisComment(const char* bytes, size_t length)
{
    if (!bytes)
        return CString();
    std::u32string cps;
    if (IsAscii(bytes, length) || !DecodeUtf8(bytes, length, cps))
        return MakeText(std::string(bytes, length));
    return MakeText(SystemFromCodePoints(cps));
}
