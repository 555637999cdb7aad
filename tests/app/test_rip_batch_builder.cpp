// The batches of the format commands: one task per checked row with a unique output path, its
// folders, the row's tags, the gain and the LRC name.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/shell/rip_batch_builder.h"
#include "catalogue/model/cd_track.h"
#include "foundation/settings/app_cfg.h"
#include "foundation/util/sys_utils.h"
#include "rip/rip_task.h"
#include "rip/rip_thread_list.h"
#include "tests/app/progress_test_support.h"

using testing_progress::FileExists;
using testing_progress::Scratch;

namespace {

CCDTrack CdTrack(const char* title, const char* artist = "Artist", int start = 0, int length = 750)
{
    CCDTrack t;
    t.SetFlags(0);
    t.SetDriveIndex(0);
    t.SetStartSector(start);
    t.SetLengthFrames(length);
    t.SetTrackTitle(title);
    t.SetArtist(artist);
    t.SetAlbumTitle("Album");
    return t;
}

CCDTrack FileTrack(const std::string& path, const char* title, int fileType = 0)
{
    CCDTrack t;
    t.MarkAsFileEntry();
    t.SetFilePath(path.c_str());
    t.SetFileType(fileType);
    t.SetTrackTitle(title);
    t.SetArtist("Artist");
    return t;
}

bool Touch(const std::string& path)
{
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    return h != INVALID_HANDLE_VALUE && ::CloseHandle(h);
}

class RipBatchBuilder : public ::testing::Test {
protected:
    void SetUp() override
    {
        CAppCfg& cfg = GetAppCfg();
        cfg.SetOutputPath(dir_.Path().c_str());
        UseTemplate("%1%e");
        cfg.SetConverterUsesFilenames(TRUE);
        cfg.SetOverwrite(FALSE);
        cfg.SetWriteLrcFile(FALSE);
        cfg.SetRipVolume(100);
    }
    void UseTemplate(const char* format)
    {
        CAppCfg& cfg = GetAppCfg();
        cfg.ClearFileNameDefs();
        cfg.AddFileNameDefsItem("Other|%a%e");
        cfg.AddFileNameDefsItem((std::string("Chosen|") + format).c_str());
        cfg.SetFileNameFormat(1);
    }
    // The output paths of a batch built from the rows, relative to the scratch folder.
    std::vector<std::string> Outputs(const std::vector<CCDTrack>& rows, int format = 4)
    {
        CRipThreadList batch;
        CRipBatchBuilder builder(batch, format);
        for (size_t i = 0; i < rows.size(); ++i)
            builder.AddTrack(static_cast<int>(i), rows[i]);
        std::vector<std::string> names;
        for (int j = 0; j < batch.GetCount(); ++j) {
            const std::string path = batch.GetTask(j)->GetOutputFile().GetString();
            names.push_back(path.substr(dir_.Path().size() + 1));
        }
        return names;
    }

    Scratch dir_{"ripbatch"};
};

} // namespace

TEST_F(RipBatchBuilder, GivesEveryRowAFreeName)
{
    struct Case {
        const char* name;
        std::vector<CCDTrack> rows;
        bool overwrite;
        const char* existing; // a file already in the output folder
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"same title twice", {CdTrack("Same"), CdTrack("Same")}, false, nullptr,
         {"Same.flac", "Same[1].flac"}},
        {"names differing in letter case", {CdTrack("Song"), CdTrack("SONG")}, false, nullptr,
         {"Song.flac", "SONG[1].flac"}},
        {"a file of the name exists", {CdTrack("Kept")}, false, "Kept.flac", {"Kept[1].flac"}},
        {"overwrite reuses the file, not a name of the batch",
         {CdTrack("Again"), CdTrack("Again")}, true, "Again.flac",
         {"Again.flac", "Again[1].flac"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        GetAppCfg().SetOverwrite(c.overwrite);
        if (c.existing != nullptr) {
            ASSERT_TRUE(Touch(dir_ / c.existing));
        }
        EXPECT_EQ(Outputs(c.rows), c.expected);
    }
}

TEST_F(RipBatchBuilder, NamesConversionsAfterTheSourceOrByTheTemplate)
{
    const std::vector<CCDTrack> rows = {FileTrack("C:\\music\\song.wav", "Title"),
                                        FileTrack("D:\\other\\SONG.flac", "Title", 4)};
    EXPECT_EQ(Outputs(rows, 1), (std::vector<std::string>{"song.mp3", "SONG[1].mp3"}));

    GetAppCfg().SetConverterUsesFilenames(FALSE);
    UseTemplate("%a - %1%e");
    EXPECT_EQ(Outputs(rows, 2),
              (std::vector<std::string>{"Artist - Title.ogg", "Artist - Title[1].ogg"}));
}

TEST_F(RipBatchBuilder, CreatesTheFoldersOfEachNameButNoneForADataTrack)
{
    UseTemplate("%a\\%t\\%1%e");
    CCDTrack data = CdTrack("Data", "Nobody");
    data.SetFlags(CCDTrack::FLAG_DATA);
    EXPECT_TRUE(Outputs({data}).empty());
    EXPECT_FALSE(FileExists(dir_ / "Nobody"));

    EXPECT_EQ(Outputs({CdTrack("One", "Band")}),
              (std::vector<std::string>{"Band\\Album\\One.flac"}));
    EXPECT_TRUE(FileExists(dir_ / "Band\\Album"));
}

TEST_F(RipBatchBuilder, TasksCarryTheRowTheTagsTheGainAndTheLyricsName)
{
    CAppCfg& cfg = GetAppCfg();
    cfg.SetWriteLrcFile(TRUE);
    struct Case {
        int volume;
        double gain;
    };
    for (const Case& c : {Case{100, 1.0}, Case{50, 0.5}, Case{150, 1.5}}) {
        SCOPED_TRACE(c.volume);
        cfg.SetRipVolume(c.volume);
        CRipThreadList batch;
        CRipBatchBuilder builder(batch, 4);
        builder.AddTrack(2, CdTrack("Third", "Band", 1500, 600));
        builder.AddTrack(3, FileTrack("C:\\in\\x.ogg", "Fourth", 2));
        ASSERT_EQ(batch.GetCount(), 2);

        CRipTask* cd = batch.GetTask(0);
        EXPECT_EQ(cd->GetSourceType(), CRipTask::SOURCE_CD);
        EXPECT_EQ(cd->GetDriveIndex(), 0);
        EXPECT_EQ(cd->GetTrackNumber(), 3);
        EXPECT_EQ(cd->GetStartSector(), 1500);
        EXPECT_EQ(cd->GetEndSector(), 2100);
        EXPECT_EQ(cd->GetOutputFormat(), 4);
        EXPECT_STREQ(cd->GetTrack()->GetTrackTitle(), "Third");
        EXPECT_STREQ(cd->GetTrack()->GetArtist(), "Band");
        EXPECT_EQ(cd->GetGain(), c.gain);
        EXPECT_STREQ(cd->GetLrcFile(), (dir_ / "Third.LRC").c_str());

        CRipTask* file = batch.GetTask(1);
        EXPECT_EQ(file->GetSourceType(), 2);
        EXPECT_STREQ(file->GetInputFile(), "C:\\in\\x.ogg");
        EXPECT_STREQ(file->GetOutputFile(), (dir_ / "x.flac").c_str());
        EXPECT_EQ(file->GetGain(), c.gain);
    }
}

TEST_F(RipBatchBuilder, MakesTheOutputFolderAndTheLimitUsable)
{
    CAppCfg& cfg = GetAppCfg();
    cfg.SetOutputPath("D:");
    const CString desktop = GetDesktopFolder();
    const CString expected = desktop.GetLength() >= 3 ? desktop : CString("C:\\");
    EXPECT_STREQ(CRipBatchBuilder::PrepareOutputFolder(), expected);
    EXPECT_STREQ(cfg.GetOutputPath(), expected) << "the setting keeps the folder";
    cfg.SetOutputPath("E:\\out");
    EXPECT_STREQ(CRipBatchBuilder::PrepareOutputFolder(), "E:\\out");

    const int processors = std::max(GetProcessorCount(), 1);
    struct Case {
        int mode, rippings, conversions, limit;
    };
    const Case cases[] = {
        {0, 0, 5, processors}, {0, 3, 5, 3}, {1, 3, 5, 5}, {2, 3, -1, processors}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        cfg.SetConcurrentRippings(c.rippings);
        cfg.SetConcurrentConversions(c.conversions);
        EXPECT_EQ(CRipBatchBuilder::ConcurrencyLimit(c.mode), c.limit);
    }
}
