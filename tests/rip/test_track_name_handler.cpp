// File-name templates: keywords, validation texts, rip and conversion paths, hostile tag values.
#include "rip/track_name_handler.h"

#include "audio/track/track_info.h"
#include "foundation/i18n/i18n.h"
#include "tests/rip/rip_test_util.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace
{

// One record with a distinct value in every field a keyword reads.
CAudioTrackInfo SampleRecord()
{
    CAudioTrackInfo info;
    info.SetTrackPosition("3");
    info.SetTrackTitle("Song");
    info.SetTrackExt("Live");
    info.SetContentGroup("Group");
    info.SetArtist("AB");
    info.SetBand("Band");
    info.SetComposer("Comp");
    info.SetCDId("cd01");
    info.SetCommentDigest("Digest");
    info.SetContentType("Rock");
    info.SetMediaType("CD");
    info.SetISRC("US1234567890");
    info.SetConductor("Cond");
    info.SetMood("Calm");
    info.SetLyricist("Lyr");
    info.SetDurationMs(205000); // 3:25
    info.SetPartOfASet("2/3");
    info.SetComment("Note");
    info.SetRemix("Rmx");
    info.SetAlbumTitle("Album");
    info.SetYear("1999");
    return info;
}

TEST(TrackNameExpand, EveryKeyword)
{
    struct Case {
        const char* name;
        const char* format;
        const char* expected;
    };
    const Case kCases[] = {
        {"good.001.track_position_two_digits", "%#", "03"},
        {"good.002.title", "%1", "Song"},
        {"good.003.title_refinement", "%2", "Live"},
        {"good.004.content_group", "%3", "Group"},
        {"good.005.artist", "%a", "AB"},
        {"good.006.band", "%b", "Band"},
        {"good.007.composer", "%c", "Comp"},
        {"good.008.cd_id", "%d", "cd01"},
        {"good.009.extension_of_output_format", "%e", ".mp3"},
        {"good.010.comment_digest", "%f", "Digest"},
        {"good.011.genre", "%g", "Rock"},
        {"good.012.media_type", "%h", "CD"},
        {"good.013.isrc", "%i", "US1234567890"},
        {"good.014.conductor", "%j", "Cond"},
        {"good.015.mood", "%k", "Calm"},
        {"good.016.lyricist", "%l", "Lyr"},
        {"good.017.duration_with_comma", "%m", "3,25"},
        {"good.018.part_of_set_slash_to_dash", "%n", "2-3"},
        {"good.019.comment", "%o", "Note"},
        {"good.020.album_artist_falls_back_to_artist", "%p", "AB"},
        {"good.021.part_number_leading_space_kept", "%q", " (2)"},
        {"good.022.remix", "%r", "Rmx"},
        {"good.023.duration_minutes_seconds", "%s", "3m25s"},
        {"good.024.album", "%t", "Album"},
        {"good.025.year", "%y", "1999"},
        {"good.026.percent", "%%", "%"},
        {"good.027.mixed_with_text", "%a - %t (%y)", "AB - Album (1999)"},
        {"good.028.format_trimmed", "  %1  ", "Song"},
        {"good.029.refused_chars_pass_expand", "%1:x", "Song:x"},
        {"good.030.backslash_runs_collapse", "%a\\\\\\%1", "AB\\Song"},
    };
    const CAudioTrackInfo info = SampleRecord();
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        CString name = "stale";
        EXPECT_TRUE(CTrackNameHandler::Expand(c.format, info, name, 0, 1));
        EXPECT_EQ(std::string(name), c.expected);
    }
}

TEST(TrackNameExpand, FieldValues)
{
    struct Case {
        const char* name;
        void (CAudioTrackInfo::*set)(const CString&);
        const char* value;
        const char* format;
        const char* expected;
    };
    using R = CAudioTrackInfo;
    const Case kCases[] = {
        {"good.001.question_slash_trailing_space", &R::SetTrackTitle, "Wh?at/ever ", "%1",
         "Wh_at_ever"},
        {"good.002.every_replaced_char", &R::SetTrackTitle, "a\"b:c?d*e<f>g|h/i\\j", "%1",
         "a_b_c_d_e_f_g_h_i_j"},
        {"good.003.white_space_trimmed", &R::SetTrackTitle, " \t Song\r\n", "%1", "Song"},
        {"good.004.inner_line_break_blank", &R::SetTrackTitle, "One\r\nTwo", "%1", "One  Two"},
        {"good.005.position_of_total", &R::SetTrackPosition, "12/14", "%#", "12"},
        {"good.006.position_not_a_number", &R::SetTrackPosition, "x3", "%#", "00"},
        {"good.007.position_empty", &R::SetTrackPosition, "", "%#", "00"},
        {"good.008.position_three_digits", &R::SetTrackPosition, "123", "%#", "123"},
        {"good.009.position_overflow_held", &R::SetTrackPosition, "99999999999", "%#",
         "2147483647"},
        {"good.010.part_zero", &R::SetPartOfASet, "0", "%q", ""},
        {"good.011.part_empty", &R::SetPartOfASet, "", "%q", ""},
        {"good.012.part_empty_n", &R::SetPartOfASet, "", "%n", ""},
        {"good.013.album_artist_own_value", &R::SetAlbumArtist, "V/A", "%p", "V_A"},
        {"good.014.dots_kept_in_field", &R::SetTrackTitle, "..", "%1", ".."},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        CAudioTrackInfo info = SampleRecord();
        (info.*c.set)(c.value);
        CString name;
        EXPECT_TRUE(CTrackNameHandler::Expand(c.format, info, name, 0, 1));
        EXPECT_EQ(std::string(name), c.expected);
    }
}

TEST(TrackNameExpand, DurationKeywords)
{
    struct Case {
        int ms;
        const char* m; // %m
        const char* s; // %s
    };
    const Case kCases[] = {
        {205000, "3,25", "3m25s"}, {185000, "3,5", ""}, {65000, "1,5", ""},
        {605000, "10,5", "10m5s"}, {0, "0,0", ""},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.ms);
        CAudioTrackInfo info;
        info.SetDurationMs(c.ms);
        CString m, s;
        CTrackNameHandler::Expand("%m", info, m, 0, 1);
        CTrackNameHandler::Expand("%s", info, s, 0, 1);
        EXPECT_EQ(std::string(m), c.m);
        EXPECT_EQ(std::string(s), c.s);
    }
}

TEST(TrackNameExpand, CountersExtensionsAndBadKeywords)
{
    struct Case {
        const char* name;
        const char* format;
        int counter;
        int outputFormat;
        const char* expected;
        BOOL ok;
    };
    const Case kCases[] = {
        {"good.001.folder_and_number", "%a\\%#-%1%e", 0, 1, "AB\\03-Song.mp3", TRUE},
        {"good.002.counter_before_extension", "%a\\%#-%1%e", 2, 1, "AB\\03-Song[2].mp3", TRUE},
        {"good.003.counter_at_end_without_e", "%1", 2, 1, "Song[2]", TRUE},
        {"good.004.counter_used_once", "%1%e%e", 2, 1, "Song[2].mp3.mp3", TRUE},
        {"good.005.no_counter_at_zero", "%1%e", 0, 0, "Song.wav", TRUE},
        {"good.006.ogg", "%1%e", 0, 2, "Song.ogg", TRUE},
        {"good.007.wma", "%1%e", 0, 3, "Song.wma", TRUE},
        {"good.008.flac", "%1%e", 0, 4, "Song.flac", TRUE},
        {"good.009.no_extension", "%1%e", 3, 5, "Song[3]", TRUE},
        {"good.010.unknown_output_format", "%1%e", 0, 99, "Song", TRUE},
        {"good.011.negative_counter", "%1%e", -1, 1, "Song.mp3", TRUE},
        {"bad.001.unknown_keyword_kept", "%z", 0, 1, "z", FALSE},
        {"bad.002.unknown_keyword_in_name", "%1%x%e", 0, 1, "Songx.mp3", FALSE},
        {"bad.003.trailing_percent", "%1%", 0, 1, "Song", FALSE},
        {"bad.004.trailing_percent_with_counter", "%1%", 4, 1, "Song[4]", FALSE},
    };
    const CAudioTrackInfo info = SampleRecord();
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        CString name;
        EXPECT_EQ(CTrackNameHandler::Expand(c.format, info, name, c.counter, c.outputFormat), c.ok);
        EXPECT_EQ(std::string(name), c.expected);
    }
}

TEST(TrackNameValidate, EveryErrorText)
{
    struct Case {
        const char* name;
        const char* format;
        const char* error; // nullptr: valid
    };
    const Case kCases[] = {
        {"bad.001.empty", "", "Empty format string"},
        {"bad.002.only_blanks", " \t  ", "Empty format string"},
        {"bad.003.no_keyword", "Track title", "Format string must contain at least a % keyword"},
        {"bad.004.double_quote", "%1\"", "Invalid character: \""},
        {"bad.005.colon", "%1:%a", "Invalid character: :"},
        {"bad.006.question_mark", "%1?", "Invalid character: ?"},
        {"bad.007.asterisk", "*%1", "Invalid character: *"},
        {"bad.008.less_than", "%1<", "Invalid character: <"},
        {"bad.009.greater_than", "%1>", "Invalid character: >"},
        {"bad.010.vertical_bar", "%1|", "Invalid character: |"},
        {"bad.011.slash", "%a/%1", "Invalid character: /"},
        {"bad.012.refused_before_keyword", "a?b", "Invalid character: ?"},
        {"bad.013.unknown_keyword", "%z", "Invalid symbol: %z"},
        {"bad.014.refused_char_as_keyword", "%?", "Invalid symbol: %?"},
        {"bad.015.trailing_percent", "%1%", "Invalid symbol: %"},
        {"bad.016.trailing_percent_then_blanks", "%1%   ", "Invalid symbol: %"},
        {"bad.017.blank_after_percent", "% 1", "Invalid symbol: % "},
        {"good.001.folders", "%1\\%a", nullptr},
        {"good.002.percent_keyword_only", "%%", nullptr},
        {"good.003.surrounding_blanks", "  %a - %1%e  ", nullptr},
        {"good.004.every_keyword", "%#%1%2%3%a%b%c%d%e%f%g%h%i%j%k%l%m%n%o%p%q%r%s%t%y%%", nullptr},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        CString error = "untouched";
        EXPECT_EQ(CTrackNameHandler::Validate(c.format, error), c.error ? FALSE : TRUE);
        EXPECT_EQ(std::string(error), c.error ? c.error : "untouched");
    }
}

struct PathCase {
    const char* name;
    const char* folder;
    const char* format; // rip: template; conversion: file title
    int counter;
    int outputFormat;
    const char* path;
    const char* lyrics;
    BOOL ok;
};

TEST(TrackNamePaths, Rip)
{
    const PathCase kCases[] = {
        {"good.001.folder_without_backslash", "C:\\Music", "%a\\%#-%1%e", 0, 1,
         "C:\\Music\\AB\\03-Song.mp3", "C:\\Music\\AB\\03-Song.LRC", TRUE},
        {"good.002.folder_with_backslash", "C:\\Music\\", "%a\\%#-%1%e", 0, 1,
         "C:\\Music\\AB\\03-Song.mp3", "C:\\Music\\AB\\03-Song.LRC", TRUE},
        {"good.003.counter", "C:\\Music", "%a\\%#-%1%e", 2, 1, "C:\\Music\\AB\\03-Song[2].mp3",
         "C:\\Music\\AB\\03-Song[2].LRC", TRUE},
        {"good.004.no_e", "C:\\Music", "%a\\%1", 0, 1, "C:\\Music\\AB\\Song",
         "C:\\Music\\AB\\Song.LRC", TRUE},
        {"good.005.no_e_counter", "C:\\Music", "%a\\%1", 3, 1, "C:\\Music\\AB\\Song[3]",
         "C:\\Music\\AB\\Song[3].LRC", TRUE},
        {"good.006.network_folder", "\\\\server\\share", "%a\\%1%e", 0, 4,
         "\\\\server\\share\\AB\\Song.flac", "\\\\server\\share\\AB\\Song.LRC", TRUE},
        {"good.007.double_backslash_in_name", "C:\\Music", "%a\\\\%1%e", 0, 1,
         "C:\\Music\\AB\\Song.mp3", "C:\\Music\\AB\\Song.LRC", TRUE},
        {"good.008.double_backslash_in_folder", "C:\\\\Music\\\\", "%1%e", 0, 1,
         "C:\\Music\\Song.mp3", "C:\\Music\\Song.LRC", TRUE},
        {"good.009.lyrics_ignores_dot_of_folder", "C:\\My.Music", "%1", 0, 5, "C:\\My.Music\\Song",
         "C:\\My.Music\\Song.LRC", TRUE},
        {"good.010.leading_backslash_in_format", "C:\\Music", "\\%1%e", 0, 1, "C:\\Music\\Song.mp3",
         "C:\\Music\\Song.LRC", TRUE},
        {"bad.001.unknown_keyword_still_named", "C:\\Music", "%1%z%e", 0, 1, "C:\\Music\\Songz.mp3",
         "C:\\Music\\Songz.LRC", FALSE},
        {"bad.002.stored_template_with_colon", "C:\\Music", "%1:x%e", 0, 1, "C:\\Music\\Song_x.mp3",
         "C:\\Music\\Song_x.LRC", TRUE},
        {"bad.003.parent_folder_in_template", "C:\\Music", "..\\%1%e", 0, 1,
         "C:\\Music\\_\\Song.mp3", "C:\\Music\\_\\Song.LRC", TRUE},
        {"bad.004.control_char_in_template", "C:\\Music", "%1\t%e", 0, 1, "C:\\Music\\Song_.mp3",
         "C:\\Music\\Song_.LRC", TRUE},
        {"bad.005.no_file_name", "C:\\Music", "%1\\", 0, 1, "C:\\Music\\Song\\_",
         "C:\\Music\\Song\\_.LRC", TRUE},
    };
    const CAudioTrackInfo info = SampleRecord();
    for (const PathCase& c : kCases) {
        SCOPED_TRACE(c.name);
        CString path, lyrics;
        EXPECT_EQ(CTrackNameHandler::BuildRipPath(c.folder, c.format, info, path, lyrics, c.counter,
                                                  c.outputFormat),
                  c.ok);
        EXPECT_EQ(std::string(path), c.path);
        EXPECT_EQ(std::string(lyrics), c.lyrics);
    }
}

TEST(TrackNamePaths, Conversion)
{
    const PathCase kCases[] = {
        {"good.001.title_and_extension", "C:\\Out", "my.song", 0, 4, "C:\\Out\\my.song.flac",
         "C:\\Out\\my.song.LRC", TRUE},
        {"good.002.counter", "C:\\Out\\", "my.song", 3, 4, "C:\\Out\\my.song[3].flac",
         "C:\\Out\\my.song[3].LRC", TRUE},
        {"good.003.no_extension_cuts_title_dot", "C:\\Out", "my.song", 0, 5, "C:\\Out\\my.song",
         "C:\\Out\\my.LRC", TRUE},
        {"good.004.title_not_cleaned_of_blanks", "C:\\Out", " a b", 0, 1, "C:\\Out\\ a b.mp3",
         "C:\\Out\\ a b.LRC", TRUE},
        {"good.005.network_folder", "\\\\srv\\x\\", "t", 0, 1, "\\\\srv\\x\\t.mp3",
         "\\\\srv\\x\\t.LRC", TRUE},
        {"bad.001.device_name_title", "C:\\Out", "aux", 0, 1, "C:\\Out\\aux_.mp3",
         "C:\\Out\\aux_.LRC", TRUE},
        {"bad.002.empty_title_no_extension", "C:\\Out", "", 0, 5, "C:\\Out\\_", "C:\\Out\\_.LRC",
         TRUE},
        {"bad.003.title_with_backslash_run", "C:\\Out", "a\\\\\\..", 0, 1, "C:\\Out\\a\\...mp3",
         "C:\\Out\\a\\...LRC", TRUE},
    };
    for (const PathCase& c : kCases) {
        SCOPED_TRACE(c.name);
        CString path, lyrics;
        EXPECT_EQ(CTrackNameHandler::BuildConvertPath(c.folder, c.format, path, lyrics, c.counter,
                                                      c.outputFormat),
                  c.ok);
        EXPECT_EQ(std::string(path), c.path);
        EXPECT_EQ(std::string(lyrics), c.lyrics);
    }
}

// Tag values from a disc or a file are outside input: whatever they hold, the path stays a
// plain Windows path below the output folder.
TEST(TrackNamePaths, HostileTagValuesStayInsideOutputFolder)
{
    struct Case {
        const char* name;
        void (CAudioTrackInfo::*set)(const CString&);
        const char* value;
        const char* path;
    };
    using R = CAudioTrackInfo;
    const Case kCases[] = {
        {"bad.001.album_parent", &R::SetAlbumTitle, "..", "C:\\Music\\_\\Song.mp3"},
        {"bad.002.album_current", &R::SetAlbumTitle, ".", "C:\\Music\\_\\Song.mp3"},
        {"bad.003.album_three_dots", &R::SetAlbumTitle, "...", "C:\\Music\\_\\Song.mp3"},
        {"bad.004.album_trailing_dots", &R::SetAlbumTitle, "Vol..", "C:\\Music\\Vol\\Song.mp3"},
        {"bad.005.album_climbs_with_backslashes", &R::SetAlbumTitle, "..\\..\\Windows",
         "C:\\Music\\.._.._Windows\\Song.mp3"},
        {"bad.006.album_absolute", &R::SetAlbumTitle, "C:\\Windows",
         "C:\\Music\\C__Windows\\Song.mp3"},
        {"bad.007.album_unc", &R::SetAlbumTitle, "\\\\evil\\share",
         "C:\\Music\\__evil_share\\Song.mp3"},
        {"bad.008.album_every_forbidden", &R::SetAlbumTitle, "\"*:<>?|/\\",
         "C:\\Music\\_________\\Song.mp3"},
        {"bad.009.album_only_blanks", &R::SetAlbumTitle, "   ", "C:\\Music\\Song.mp3"},
        {"bad.010.title_device_con", &R::SetTrackTitle, "Con", "C:\\Music\\Album\\Con_.mp3"},
        {"bad.011.title_device_lpt1", &R::SetTrackTitle, "lpt1", "C:\\Music\\Album\\lpt1_.mp3"},
        {"bad.012.album_device_nul", &R::SetAlbumTitle, "NUL", "C:\\Music\\NUL_\\Song.mp3"},
        {"bad.013.title_not_a_device", &R::SetTrackTitle, "Conrad", "C:\\Music\\Album\\Conrad.mp3"},
        {"bad.014.title_control_chars", &R::SetTrackTitle,
         "A\x01"
         "B\x1f"
         "C",
         "C:\\Music\\Album\\A B C.mp3"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        CAudioTrackInfo info = SampleRecord();
        (info.*c.set)(c.value);
        CString path, lyrics;
        EXPECT_TRUE(
            CTrackNameHandler::BuildRipPath("C:\\Music", "%t\\%1%e", info, path, lyrics, 0, 1));
        EXPECT_EQ(std::string(path), c.path);
        EXPECT_EQ(RipPathFault(path, "C:\\Music\\"), "");
        EXPECT_EQ(RipPathFault(lyrics, "C:\\Music\\"), "");
    }
}

// Long tag values are shortened so that the path, its lyrics companion and every folder along
// it stay within what the ANSI file functions accept; the counter and extension are kept.
TEST(TrackNamePaths, LongValuesAreShortenedToWindowsLimits)
{
    const CString folder = "C:\\Music";
    const std::string kLong(1000, 'x');
    struct Case {
        const char* name;
        const char* format;
        int counter;
        int outputFormat;
        const char* prefix;
        const char* suffix;
    };
    const Case kCases[] = {
        {"good.001.long_title", "%a\\%#-%1%e", 0, 1, "C:\\Music\\AB\\03-", ".mp3"},
        {"good.002.long_title_counter_kept", "%a\\%#-%1%e", 7, 1, "C:\\Music\\AB\\03-", "[7].mp3"},
        {"good.003.long_title_no_extension", "%1", 12, 5, "C:\\Music\\", "[12]"},
        {"good.004.long_folder_from_tag", "%1\\%a%e", 0, 4, "C:\\Music\\", "\\AB.flac"},
        {"good.005.long_in_two_folders", "%1\\%1\\%1%e", 0, 1, "C:\\Music\\", ".mp3"},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        CAudioTrackInfo info = SampleRecord();
        info.SetTrackTitle(kLong.c_str());
        CString path, lyrics;
        EXPECT_TRUE(CTrackNameHandler::BuildRipPath(folder, c.format, info, path, lyrics, c.counter,
                                                    c.outputFormat));
        const std::string p(path);
        EXPECT_EQ(p.rfind(c.prefix, 0), 0u) << p;
        EXPECT_TRUE(p.size() >= strlen(c.suffix) &&
                    p.compare(p.size() - strlen(c.suffix), std::string::npos, c.suffix) == 0)
            << p;
        EXPECT_EQ(RipPathFault(path, "C:\\Music\\"), "");
        EXPECT_EQ(RipPathFault(lyrics, "C:\\Music\\"), "");
        // The title is cut no shorter than needed: the longer of path and lyrics path is full.
        EXPECT_GE(std::max(path.GetLength(), lyrics.GetLength()), 250) << p;
    }

    CString path, lyrics;
    EXPECT_TRUE(CTrackNameHandler::BuildConvertPath(folder, kLong.c_str(), path, lyrics, 3, 4));
    EXPECT_EQ(RipPathFault(path, "C:\\Music\\"), "");
    EXPECT_EQ(std::string(path).substr(path.GetLength() - 8), "[3].flac");

    // Distinct counters still give distinct paths once shortened.
    CAudioTrackInfo info = SampleRecord();
    info.SetTrackTitle(kLong.c_str());
    CString first, second;
    CTrackNameHandler::BuildRipPath(folder, "%1%e", info, first, lyrics, 1, 1);
    CTrackNameHandler::BuildRipPath(folder, "%1%e", info, second, lyrics, 2, 1);
    EXPECT_NE(std::string(first), std::string(second));
}

TEST(TrackNamePaths, NoFittingNameFailsClearly)
{
    const CString longFolder = "C:\\" + CString('f', 255);
    const CAudioTrackInfo info = SampleRecord();
    CString path = "x", lyrics = "y";
    EXPECT_FALSE(CTrackNameHandler::BuildRipPath(longFolder, "%1%e", info, path, lyrics, 0, 1));
    EXPECT_TRUE(path.IsEmpty());
    EXPECT_TRUE(lyrics.IsEmpty());
    EXPECT_FALSE(
        CTrackNameHandler::BuildConvertPath(longFolder, "t", path = "x", lyrics = "y", 0, 1));
    EXPECT_TRUE(path.IsEmpty());
    // The literal text of the template alone is too long for a name.
    const CString longFormat = CString('n', 300) + "%1%e";
    EXPECT_FALSE(
        CTrackNameHandler::BuildRipPath("C:\\Music", longFormat, info, path, lyrics, 0, 1));
    EXPECT_TRUE(path.IsEmpty());
}

TEST(TrackNameFiles, SanitizeAndFileTitle)
{
    EXPECT_EQ(std::string(CTrackNameHandler::SanitizeFileName("a/b:c\\d \"e\"")), "a_b_c_d _e_");
    EXPECT_EQ(std::string(CTrackNameHandler::SanitizeFileName("tab\there\r\n")), "tab here  ");

    struct Case {
        const char* path;
        const char* title;
    };
    const Case kCases[] = {
        {"C:\\in\\my.song.flac", "my.song"},
        {"song", "song"},
        {"C:\\in\\noext", "noext"},
        {"C:\\in.d\\noext", "noext"},
        {"C:/in/a.b.wav", "a.b"},
        {"C:\\in\\.flac", ""},
        {"", ""},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(std::string(CTrackNameHandler::GetFileTitle(c.path)), c.title);
    }
}

TEST(TrackNameFiles, CreateDirectoriesAlongPath)
{
    ScratchDir dir("names");
    const std::string music = dir.Path("Music");
    const std::string ab = music + kSep + "AB";
    const std::string file = ab + kSep + "03-Song.mp3";

    EXPECT_TRUE(CTrackNameHandler::CreateDirectories(file.c_str()));
    EXPECT_TRUE(IsDirectory(music));
    EXPECT_TRUE(IsDirectory(ab));
    EXPECT_FALSE(Exists(file)); // the file name is never made a folder

    // Everything exists already: the last creation fails harmlessly.
    EXPECT_FALSE(CTrackNameHandler::CreateDirectories(file.c_str()));
    // Only a file name below a drive root: nothing to create.
    EXPECT_FALSE(CTrackNameHandler::CreateDirectories("C:\\x.mp3"));
}

#ifdef _WIN32
// Translated texts come from a language file the user may edit; their "%" sequences other than
// "%c" and "%%" are shown as they are, never handed to a formatter.
TEST(TrackNameValidate, TranslatedTexts)
{
    ScratchDir dir("lang");
    const std::string lang = dir.Path("test.lang");
    WriteFile(lang, "[Language]\r\n"
                    "ctracknamehandler.errors.invalidchar=Zeichen %c %s%n%d ungueltig\r\n"
                    "ctracknamehandler.errors.invalidsymbol=Symbol %%%c?\r\n");
    I18NSetLanguageFile(lang.c_str());
    CString error;
    EXPECT_FALSE(CTrackNameHandler::Validate("%1:", error));
    EXPECT_EQ(std::string(error), "Zeichen : %s%n%d ungueltig");
    EXPECT_FALSE(CTrackNameHandler::Validate("%w", error));
    EXPECT_EQ(std::string(error), "Symbol %w?");
    EXPECT_FALSE(CTrackNameHandler::Validate("", error));
    EXPECT_EQ(std::string(error), "Empty format string");
    I18NSetLanguageFile("");
}
#endif

} // namespace
