// The local disc store and cdplayer.ini through the real profile functions: value escaping,
// the exact file layout, a disc found again by another process, the legacy store file, and
// damaged store files.
#include "testing/scratch_folder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "catalogue/localstore/cddb_local_manager.h"
#include "tests/catalogue/catalogue_fixture.h"

namespace
{

// A manager over folders of the test's own.
class FolderManager : public CCDDBLocalManager
{
public:
    FolderManager(const CString& storeFolder, const CString& legacyFile)
    {
        m_strStoreFolder = storeFolder;
        m_strLegacyFile = legacyFile;
    }
};

std::string ReadFile(const CString& path)
{
    std::ifstream in(path.GetString(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteFile(const CString& path, const std::string& bytes)
{
    std::ofstream out(path.GetString(), std::ios::binary | std::ios::trunc);
    out << bytes;
}

// The lines of one section of an ini file, without line ends.
std::vector<std::string> SectionLines(const std::string& text, const std::string& section)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty() && line[0] == '[') {
            inside = line == "[" + section + "]";
            continue;
        }
        if (inside && !line.empty())
            lines.push_back(line);
    }
    return lines;
}

// A fresh folder with the store's CString paths.
class TempFolder : public testing_files::ScratchFolder
{
public:
    TempFolder() : ScratchFolder("sonoria_store"), path(Path().c_str()) {}
    CString File(const char* name) const { return path + "\\" + name; }
    const CString path;
};

TEST(LocalStoreValues, EscapingAndDecoding)
{
    struct Case {
        const char* value;
        const char* stored;
    } const cases[] = {
        {"50% off", "50%25 off"},
        {"a\r\nb", "a%0D%0Ab"},
        {"tab\there", "tab%09here"},
        {"caf\xE9 ~00E9", "caf\xE9 ~00E9"},
        {"\x1F\x01", "%1F%01"},
        {" padded ", "%20padded%20"}, // the profile functions would drop them
        {"\"quoted\"", "%22quoted%22"},
        {"in \"middle\" ok", "in \"middle\" ok"},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_STREQ(CCDDBLocalManager::EscapeValue(c.value), c.stored);
        EXPECT_STREQ(CCDDBLocalManager::UnescapeValue(c.stored), c.value);
    }
    struct DecodeCase {
        const char* stored;
        const char* store;  // UnescapeValue
        const char* legacy; // UnescapeLegacyValue
    } const decodes[] = {
        {"%0a", "%0a", "%0a"},       // lower-case hex is not an escape
        {"abc%4", "abc%4", "abc%4"}, // cut short at the end
        {"%", "%", "%"},
        {"x%00y", "xy", "xy"}, // a zero byte would end the text
        {"~00E9", "~00E9", "\xE9"},
        {"~0141", "~0141", "A"}, // the low byte of the 16-bit value
        {"~00e9", "~00e9", "~00e9"},
        {"~12", "~12", "~12"},
        {"%41~", "A~", "A~"},
    };
    for (const DecodeCase& c : decodes) {
        SCOPED_TRACE(c.stored);
        EXPECT_STREQ(CCDDBLocalManager::UnescapeValue(c.stored), c.store);
        EXPECT_STREQ(CCDDBLocalManager::UnescapeLegacyValue(c.stored), c.legacy);
    }
}

// The 31 track keys in writing order.
const char* const kTrackKeys[] = {"Title",
                                  "Ext",
                                  "AlbumTitle",
                                  "Year",
                                  "ContentType",
                                  "Artist",
                                  "AlbumArtist",
                                  "Band",
                                  "Conductor",
                                  "Remix",
                                  "TrackLength",
                                  "TrackPosition",
                                  "CommentDigest",
                                  "Comment",
                                  "Composer",
                                  "Lyricist",
                                  "Copyright",
                                  "EncodedBy",
                                  "InvolvedPeople",
                                  "Publisher",
                                  "MediaType",
                                  "Mood",
                                  "CDId",
                                  "ISRC",
                                  "SyncLyric",
                                  "UnsyncLyric",
                                  "OriginalAlbumTitle",
                                  "OriginalLyricist",
                                  "OriginalArtist",
                                  "PartOfASet",
                                  "ContentGroup"};

CString CAudioTrackInfo::*const kTrackFields[] = {&CAudioTrackInfo::m_strTrackTitle,
                                                  &CAudioTrackInfo::m_strTrackExt,
                                                  &CAudioTrackInfo::m_strAlbumTitle,
                                                  &CAudioTrackInfo::m_strYear,
                                                  &CAudioTrackInfo::m_strContentType,
                                                  &CAudioTrackInfo::m_strArtist,
                                                  &CAudioTrackInfo::m_strAlbumArtist,
                                                  &CAudioTrackInfo::m_strBand,
                                                  &CAudioTrackInfo::m_strConductor,
                                                  &CAudioTrackInfo::m_strRemix,
                                                  nullptr,
                                                  &CAudioTrackInfo::m_strTrackPosition,
                                                  &CAudioTrackInfo::m_strCommentDigest,
                                                  &CAudioTrackInfo::m_strComment,
                                                  &CAudioTrackInfo::m_strComposer,
                                                  &CAudioTrackInfo::m_strLyricist,
                                                  &CAudioTrackInfo::m_strCopyright,
                                                  &CAudioTrackInfo::m_strEncodedBy,
                                                  &CAudioTrackInfo::m_strInvolvedPeople,
                                                  &CAudioTrackInfo::m_strPublisher,
                                                  &CAudioTrackInfo::m_strMediaType,
                                                  &CAudioTrackInfo::m_strMood,
                                                  &CAudioTrackInfo::m_strCDId,
                                                  &CAudioTrackInfo::m_strISRC,
                                                  &CAudioTrackInfo::m_strSyncLyric,
                                                  &CAudioTrackInfo::m_strUnsyncLyric,
                                                  &CAudioTrackInfo::m_strOriginalAlbumTitle,
                                                  &CAudioTrackInfo::m_strOriginalLyricist,
                                                  &CAudioTrackInfo::m_strOriginalArtist,
                                                  &CAudioTrackInfo::m_strPartOfASet,
                                                  &CAudioTrackInfo::m_strContentGroup};

// A three-entry disc (the last a data track); with tags, every field holds its own value.
void MakeDisc(CCDInfo& info, DWORD discId, bool withTags)
{
    info.SetDiscId(discId);
    AddTracks(info, {0, 15000, 33333}, 21000);
    info.GetTrack(2)->SetFlags(4);
    if (!withTags)
        return;
    info.SetArtist("50% off");
    info.SetTitle("Caf\xE9 \"live\"");
    info.SetExtendedData("a\r\nb\tc");
    info.SetYearText("1999");
    info.SetGenre(" Rock ");
    info.SetRevision(3);
    info.SetBand("band");
    info.SetConductor("cond");
    info.SetRemix("remix");
    info.SetComposer("comp");
    info.SetLyricist("lyr");
    info.SetCopyright("(c)");
    info.SetPublisher("pub");
    info.SetPartOfASet("2/4");
    info.SetContentGroup("group");
    info.SetChecksum("0badf00d");
    for (int i = 0; i < info.GetTrackCount(); ++i) {
        CCDTrack* t = info.GetTrack(i);
        for (size_t k = 0; k < std::size(kTrackKeys); ++k)
            if (kTrackFields[k] != nullptr)
                (t->*kTrackFields[k]).Format("%d %s %%", i, kTrackKeys[k]);
        t->m_strUnsyncLyric.Format("line %d\nline two\n", i);
        t->SetDurationMs(1000 * i + 7);
    }
}

void ExpectSameTags(const CCDInfo& got, const CCDInfo& want)
{
    using Getter = CString (CCDInfo::*)() const;
    for (Getter g : {&CCDInfo::GetArtist, &CCDInfo::GetTitle, &CCDInfo::GetExtendedData,
                     &CCDInfo::GetYear, &CCDInfo::GetGenre, &CCDInfo::GetBand,
                     &CCDInfo::GetConductor, &CCDInfo::GetRemix, &CCDInfo::GetComposer,
                     &CCDInfo::GetLyricist, &CCDInfo::GetCopyright, &CCDInfo::GetPublisher,
                     &CCDInfo::GetPartOfASet, &CCDInfo::GetContentGroup, &CCDInfo::GetChecksum})
        EXPECT_STREQ((got.*g)(), (want.*g)());
    EXPECT_EQ(got.GetRevision(), want.GetRevision());
    ASSERT_EQ(got.GetTrackCount(), want.GetTrackCount());
    for (int i = 0; i < got.GetTrackCount(); ++i) {
        for (size_t k = 0; k < std::size(kTrackKeys); ++k) {
            SCOPED_TRACE(std::to_string(i) + " " + kTrackKeys[k]);
            if (kTrackFields[k] != nullptr)
                EXPECT_STREQ(got.GetTrack(i)->*kTrackFields[k], want.GetTrack(i)->*kTrackFields[k]);
            else
                EXPECT_EQ(got.GetTrack(i)->GetDurationMs(), want.GetTrack(i)->GetDurationMs());
        }
    }
}

constexpr DWORD kRoundTripId = 0x0e5a7c31;
const char kChildEnv[] = "SONORIA_CATALOGUE_STORE_CHILD";

TEST(LocalStore, DiscFoundAgainByAnotherProcess)
{
    CCDInfo saved;
    MakeDisc(saved, kRoundTripId, true);
    CCDDBLocalManager manager;
    ::DeleteFileA(manager.GetStoreFilePath(saved.GetTocId()));
    EXPECT_EQ(manager.Save(&saved), 1);
    EXPECT_EQ(manager.WriteCDPlayerIni(&saved), 1);

    TempFolder marker;
    CString done = marker.File("child.done");
    char exe[MAX_PATH];
    ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
    CString command;
    command.Format("\"%s\" --gtest_filter=LocalStoreChild.FindsTheSavedDisc", exe);
    ::SetEnvironmentVariableA(kChildEnv, done);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(::CreateProcessA(nullptr, command.GetBuffer(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &si, &pi));
    ::SetEnvironmentVariableA(kChildEnv, nullptr);
    ::WaitForSingleObject(pi.hProcess, 300000);
    DWORD code = 1;
    ::GetExitCodeProcess(pi.hProcess, &code);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    EXPECT_EQ(code, 0u) << "the child's own failures are in the output above";
    EXPECT_EQ(::GetFileAttributesA(done) != INVALID_FILE_ATTRIBUTES, true) << "child ran";
}

TEST(LocalStoreChild, FindsTheSavedDisc)
{
    const char* done = std::getenv(kChildEnv);
    if (done == nullptr)
        GTEST_SKIP() << "runs as the child of DiscFoundAgainByAnotherProcess";
    CCDInfo want;
    MakeDisc(want, kRoundTripId, true);
    CCDInfo found;
    MakeDisc(found, kRoundTripId, false);
    CCDDBLocalManager manager;
    ASSERT_EQ(manager.Load(&found), 1);
    ExpectSameTags(found, want);

    CString ini = CCDDBLocalManager::GetCDPlayerIniPath();
    auto read = [&](const char* key) {
        char buffer[256] = {};
        ::GetPrivateProfileStringA("E5A7C31", key, "?", buffer, sizeof buffer, ini);
        return std::string(buffer);
    };
    EXPECT_EQ(read("EntryType"), "1");
    EXPECT_EQ(read("artist"), "50% off");
    EXPECT_EQ(read("year"), "1999");
    EXPECT_EQ(read("comment"), "a b\tc");
    EXPECT_EQ(read("numtracks"), "3");
    EXPECT_EQ(read("1"), "1 Title %");
    EXPECT_EQ(read("3"), "?");
    if (!HasFailure())
        WriteFile(done, "ok");
}

TEST(LocalStore, FilesLaidOutKeyByKey)
{
    TempFolder folder;
    FolderManager manager(folder.path, folder.File("ZPX3_db.ini"));
    CCDInfo info;
    info.SetDiscId(0x0abc1234);
    AddTracks(info, {0, 15000}, 21000);
    info.SetArtist("Art");
    info.SetExtendedData("a\r\nb");
    info.SetYearText("none");
    info.GetTrack(0)->m_strTrackTitle = "One";
    info.GetTrack(1)->m_strTrackTitle = "Two";
    info.GetTrack(1)->SetDurationMs(4321);
    ASSERT_EQ(manager.Save(&info), 1);

    const CString toc = info.GetTocId();
    const CString file = manager.GetStoreFilePath(toc);
    EXPECT_STREQ(file, folder.File(toc.Left(4) + ".idx"));
    std::vector<std::string> expected = {
        "ID=0abc1234",     "Artist=Art", "Title=",      "ExtendedData=a%0D%0Ab",
        "Year=",           "Genre=",     "Revision=-1", "Band=",
        "Conductor=",      "Remix=",     "Composer=",   "Lyricist=",
        "Cpyright=",       "Publisher=", "PartOfASet=", "ContentGroup=",
        "SonoriaCDDBCrc=", "NTracks=2"};
    for (int i = 0; i < 2; ++i)
        for (const char* key : kTrackKeys) {
            char line[64];
            std::snprintf(line, sizeof line, "TK%02d-%s=", i, key);
            std::string value = std::string(key) == "Title"         ? (i == 0 ? "One" : "Two")
                                : std::string(key) == "TrackLength" ? (i == 0 ? "0" : "4321")
                                                                    : "";
            expected.push_back(line + value);
        }
    std::string text = ReadFile(file);
    EXPECT_EQ(text.rfind("[" + std::string(toc.GetString()) + "]", 0), 0u) << text.substr(0, 60);
    EXPECT_EQ(SectionLines(text, toc.GetString()), expected);

    ASSERT_EQ(manager.WriteCDPlayerIni(&info), 1);
    std::vector<std::string> player = {"EntryType=1", "artist=Art",  "title=", "genre=", "year=",
                                       "comment=a b", "numtracks=2", "0=One",  "1=Two"};
    EXPECT_EQ(SectionLines(ReadFile(CCDDBLocalManager::GetCDPlayerIniPath()), "ABC1234"), player);
}

TEST(LocalStore, DiscsThatAreNotStoredTouchNoFile)
{
    TempFolder folder;
    FolderManager manager(folder.path, folder.File("ZPX3_db.ini"));
    CCDInfo files;
    files.SetDiscId(0x01020304); // left from an earlier disc
    files.AddNewTrack()->MarkAsFileEntry();
    CCDInfo noId;
    AddTracks(noId, {0}, 100);
    CCDInfo noTracks;
    noTracks.SetDiscId(0x01020305);
    const std::string before = ReadFile(CCDDBLocalManager::GetCDPlayerIniPath());
    for (CCDInfo* info : {&files, &noId, &noTracks}) {
        EXPECT_EQ(manager.Save(info), 0);
        EXPECT_EQ(manager.WriteCDPlayerIni(info), 0);
    }
    EXPECT_EQ(manager.Load(&noId), 0);
    EXPECT_EQ(manager.Load(&noTracks), 0);
    EXPECT_EQ(ReadFile(CCDDBLocalManager::GetCDPlayerIniPath()), before);
    WIN32_FIND_DATAA fd;
    HANDLE h = ::FindFirstFileA(folder.File("*.idx"), &fd);
    EXPECT_EQ(h, INVALID_HANDLE_VALUE);
    if (h != INVALID_HANDLE_VALUE)
        ::FindClose(h);
}

TEST(LocalStore, LegacyFileReadByDiscIdText)
{
    TempFolder folder;
    FolderManager manager(folder.path, folder.File("ZPX3_db.ini"));
    WriteFile(folder.File("ZPX3_db.ini"), "[00c0ffee]\r\n"
                                          "ID=00c0ffee\r\n"
                                          "Artist=Caf~00E9 %25\r\n"
                                          "Year=1987 remaster\r\n"
                                          "Revision=12x\r\n"
                                          "TT0=Legacy one\r\n"
                                          "TE0=Ext one\r\n"
                                          "TL0=l1%0Al2\r\n"
                                          "TK01-Title=Modern two\r\n"
                                          "TT1=Legacy two\r\n"
                                          "TT2=Legacy three\r\n"
                                          "TK02-Title=\r\n"
                                          "[00C0FFEF]\r\n"
                                          "ID=00C0FFEF\r\n"
                                          "Artist=upper\r\n");
    CCDInfo info;
    info.SetDiscId(0x00c0ffee);
    AddTracks(info, {0, 100, 200}, 100);
    info.SetTitle("replaced by the empty stored title");
    ASSERT_EQ(manager.Load(&info), 1);
    EXPECT_STREQ(info.GetArtist(), "Caf\xE9 %");
    EXPECT_STREQ(info.GetTitle(), "");
    EXPECT_STREQ(info.GetYear(), "1987");
    EXPECT_EQ(info.GetRevision(), 12);
    EXPECT_STREQ(info.GetTrack(0)->m_strTrackTitle, "Legacy one");
    EXPECT_STREQ(info.GetTrack(0)->m_strTrackExt, "Ext one");
    EXPECT_STREQ(info.GetTrack(0)->m_strUnsyncLyric, "l1\nl2");
    EXPECT_STREQ(info.GetTrack(1)->m_strTrackTitle, "Modern two");
    EXPECT_STREQ(info.GetTrack(2)->m_strTrackTitle, "Legacy three");

    CCDInfo upper; // "ID" in upper-case letters does not match "%08x"
    upper.SetDiscId(0x00c0ffef);
    AddTracks(upper, {0}, 100);
    upper.SetArtist("untouched");
    EXPECT_EQ(manager.Load(&upper), 0);
    EXPECT_STREQ(upper.GetArtist(), "untouched");
}

TEST(LocalStore, DamagedStoreFilesLoadWhatIsSound)
{
    TempFolder folder;
    FolderManager manager(folder.path, folder.File("ZPX3_db.ini"));
    CCDInfo info;
    info.SetDiscId(0x7a7a7a7a);
    AddTracks(info, {0, 100, 200}, 100);
    const CString toc = info.GetTocId();
    const std::string huge(20000, 'h');
    WriteFile(manager.GetStoreFilePath(toc), "garbage line without equals\r\n\x01\x02\xff\r\n"
                                             "[" +
                                                 std::string(toc.GetString()) +
                                                 "]\r\n"
                                                 "ID=7a7a7a7a\r\n"
                                                 "Artist=cut%4\r\n"
                                                 "Title=%\r\n"
                                                 "Genre=" +
                                                 huge +
                                                 "\r\n"
                                                 "Revision=abc\r\n"
                                                 "NTracks=9\r\n"
                                                 "TK00-Title=first\r\n"
                                                 "TK00-TrackLength=-\r\n"
                                                 "TK01-Comment=%0D%0A%0\r\n"
                                                 "TK05-Title=beyond the disc\r\n"
                                                 "[other]\r\nID=7a7a7a7a\r\n");
    info.GetTrack(2)->m_strTrackTitle = "emptied: the key is absent";
    ASSERT_EQ(manager.Load(&info), 1);
    EXPECT_STREQ(info.GetArtist(), "cut%4");
    EXPECT_STREQ(info.GetTitle(), "%");
    EXPECT_EQ(info.GetGenre().GetLength(), 16383);
    EXPECT_EQ(info.GetRevision(), 0);
    ASSERT_EQ(info.GetTrackCount(), 3);
    EXPECT_STREQ(info.GetTrack(0)->m_strTrackTitle, "first");
    EXPECT_EQ(info.GetTrack(0)->GetDurationMs(), 0);
    EXPECT_STREQ(info.GetTrack(1)->m_strComment, "\r\n%0");
    EXPECT_STREQ(info.GetTrack(2)->m_strTrackTitle, "");

    // A section without "ID", and a file without the section: misses, the disc unchanged.
    CCDInfo missing;
    missing.SetDiscId(0x7a7a7a7b);
    AddTracks(missing, {0, 100, 200}, 100);
    WriteFile(manager.GetStoreFilePath(missing.GetTocId()),
              "[" + std::string(missing.GetTocId().GetString()) + "]\r\nArtist=no id\r\n");
    missing.SetArtist("kept");
    EXPECT_EQ(manager.Load(&missing), 0);
    EXPECT_STREQ(missing.GetArtist(), "kept");

    // A long lyrics text is read back cut to 16,383 escaped characters. Past 32,000 escaped
    // characters it is cut when written (longer values corrupt the file), whole escapes only.
    CCDInfo lyrics;
    lyrics.SetDiscId(0x7a7a7a7c);
    AddTracks(lyrics, {0}, 100);
    const std::string text = std::string(9000, 'a') + std::string(9000, '\n');
    lyrics.GetTrack(0)->m_strUnsyncLyric = CString(text);
    ASSERT_EQ(manager.Save(&lyrics), 1);
    CString stored;
    manager.ReadStoreKey(lyrics.GetTocId(), "TK00-UnsyncLyric", stored);
    EXPECT_EQ(stored.GetLength(), 9000 + (16383 - 9000) / 3);
    std::vector<std::string> lines = SectionLines(
        ReadFile(manager.GetStoreFilePath(lyrics.GetTocId())), lyrics.GetTocId().GetString());
    ASSERT_EQ(lines.size(), 18u + 31u);
    std::string written = "TK00-UnsyncLyric=" + std::string(9000, 'a');
    for (int i = 0; i < (32000 - 9000) / 3; ++i)
        written += "%0A";
    EXPECT_EQ(lines[18 + 25], written);
    EXPECT_EQ(lines.back(), "TK00-ContentGroup=");
}

} // namespace
