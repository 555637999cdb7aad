// Files for and from the formats' reference tools: check_with_flac_tools.sh runs these with
// a folder to write to or read from, and checks our files with metaflac, flac, ogginfo and
// vorbiscomment. Run on their own they are skipped.
#include "audio/formats/flac/flac_tag_reader.h"
#include "audio/formats/flac/flac_writer.h"
#include "audio/formats/vorbis/vorbis_tag_reader.h"
#include "audio/formats/vorbis/vorbis_writer.h"
#include "audio/track/track_info.h"
#include "tests/audio/flacvorbis_fixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

using namespace fixtures;

namespace
{

// The folder named by the variable, with a path separator at the end; empty when unset.
std::string FolderFromEnvironment(const char* name)
{
    const char* folder = std::getenv(name);
    if (folder == nullptr)
        return std::string();
#ifdef _WIN32
    return std::string(folder) + "\\";
#else
    return std::string(folder) + "/";
#endif
}

template <class TWriter, class TLevel>
void WriteTagged(const std::string& path, TLevel level, CAudioTrackInfo& track)
{
    TWriter writer;
    ASSERT_TRUE(writer.Open(path.c_str(), 2, 44100, level, &track));
    ASSERT_TRUE(writer.BeginStream());
    CAudioFrame frame;
    FillFrame(frame, MakeSignal(2, 16, 44100, 22050), 2, 16, 44100);
    ASSERT_TRUE(writer.WriteFrame(&frame));
    ASSERT_TRUE(writer.Close());
}

template <class TReader>
CAudioTrackInfo ReadTagged(const std::string& path)
{
    CAudioTrackInfo track;
    TReader reader;
    EXPECT_TRUE(reader.Open(path.c_str())) << path;
    EXPECT_EQ(reader.ReadTags(track), 1) << path;
    return track;
}

} // namespace

TEST(FlacVorbisTools, TaggedFilesForTheReferenceTools)
{
    const std::string folder = FolderFromEnvironment("SONORIA_TOOLS_EXPORT");
    if (folder.empty())
        GTEST_SKIP() << "SONORIA_TOOLS_EXPORT not set";
    CAudioTrackInfo track;
    track.SetTrackTitle("Export title");
    track.SetArtist("Export artist");
    track.SetYear("1999");
    track.SetComment("Export comment");
    track.SetTrackPosition("4");
    WriteTagged<CAudioFlacWriter>(folder + "ours.flac", 5, track);
    WriteTagged<CAudioVorbisWriter>(folder + "ours.ogg", 0.4, track);
}

// Files the script made with flac and oggenc, tagged the way those tools tag.
TEST(FlacVorbisTools, TagsOfTheReferenceToolsReadBack)
{
    const std::string folder = FolderFromEnvironment("SONORIA_TOOLS_IMPORT");
    if (folder.empty())
        GTEST_SKIP() << "SONORIA_TOOLS_IMPORT not set";
    const CAudioTrackInfo flac = ReadTagged<CAudioFlacInfoTagReader>(folder + "theirs.flac");
    const CAudioTrackInfo ogg = ReadTagged<CAudioVorbisInfoTagReader>(folder + "theirs.ogg");
    for (const CAudioTrackInfo* t : {&flac, &ogg}) {
        EXPECT_STREQ(t->GetTrackTitle(), "Their title");
        EXPECT_STREQ(t->GetYear(), "2003");
        EXPECT_STREQ(t->GetComment(), "Their comment");
        EXPECT_STREQ(t->GetTrackPosition(), "7");
    }
}
