// Batches that convert generated WAV files to FLAC and Ogg Vorbis and back: FLAC bit for bit
// with a correct STREAMINFO MD5, seek table and comments; Vorbis at the right length, channels,
// frequency and level.
#include "testing/rip_batch.h"
#include "rip/rip_task.h"
#include "rip/rip_thread.h"
#include "rip/rip_thread_list.h"

#include "audio/audio_frame.h"
#include "audio/track/track_info.h"
#include "foundation/settings/app_cfg.h"
#include "testing/generated_wav.h"

#include <FLAC/metadata.h>
#include <FLAC/stream_decoder.h>
#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

using testing_wav::Format;

namespace
{

class CScratchFolder : public testing_rip::ScratchFolder
{
public:
    CScratchFolder() : ScratchFolder("rip_flacvorbis") {}
};

// Settings a task copies when it is built, restored when the test ends.
class CSavedEncoderSettings
{
public:
    CSavedEncoderSettings()
        : m_cfg(GetAppCfg()), m_wavChannels(m_cfg.GetWavEnc_Channels()),
          m_wavBits(m_cfg.GetWavEnc_BitsPerSample()), m_flacChannels(m_cfg.GetFlacEnc_Channels()),
          m_flacLevel(m_cfg.GetFlacEnc_Level()), m_vorbisChannels(m_cfg.GetVorbisEnc_Channels()),
          m_vorbisQuality(m_cfg.GetVorbisEnc_Quality())
    {
    }
    ~CSavedEncoderSettings()
    {
        m_cfg.SetWavEnc_Channels(m_wavChannels);
        m_cfg.SetWavEnc_BitsPerSample(m_wavBits);
        m_cfg.SetFlacEnc_Channels(m_flacChannels);
        m_cfg.SetFlacEnc_Level(m_flacLevel);
        m_cfg.SetVorbisEnc_Channels(m_vorbisChannels);
        m_cfg.SetVorbisEnc_Quality(m_vorbisQuality);
    }

private:
    CAppCfg& m_cfg;
    int m_wavChannels, m_wavBits, m_flacChannels, m_flacLevel, m_vorbisChannels, m_vorbisQuality;
};

void RunBatch(CRipThreadList& batch)
{
    testing_rip::RunBatch(batch);
    for (int i = 0; i < batch.GetCount(); ++i)
        EXPECT_EQ(batch.GetThread(i)->GetState(), CRipThread::STATE_DONE)
            << i << ": " << batch.GetThread(i)->GetErrorText().GetString();
}

// The 16-bit samples a 16-bit writer receives for WAV input of this format.
std::vector<int16_t> At16Bits(const Format& in, const std::vector<uint8_t>& pcm)
{
    const int width = in.bits / 8;
    std::vector<int16_t> out(pcm.size() / width);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<int16_t>(CAudioFrame::ReadSample(
            pcm.data(), static_cast<uint32_t>(i), 0, 1, width, in.bits == 8 ? 0 : 1, 0));
    return out;
}

std::vector<int16_t> ReadWav16(const std::string& path, Format& f)
{
    std::vector<uint8_t> bytes, pcm;
    EXPECT_TRUE(testing_wav::ReadFile(path, bytes));
    EXPECT_TRUE(testing_wav::ParseWav(bytes, f, pcm));
    std::vector<int16_t> out(pcm.size() / 2);
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<int16_t>(pcm[2 * i] | (pcm[2 * i + 1] << 8));
    return out;
}

struct FlacFacts {
    bool md5Matches = false;
    unsigned seekPoints = 0;
    std::string title;
};

FlacFacts InspectFlac(const std::string& path)
{
    FlacFacts facts;
    FLAC__StreamDecoder* dec = FLAC__stream_decoder_new();
    FLAC__stream_decoder_set_md5_checking(dec, true);
    auto write = [](const FLAC__StreamDecoder*, const FLAC__Frame*, const FLAC__int32* const[],
                    void*) { return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE; };
    auto error = [](const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void*) {};
    if (FLAC__stream_decoder_init_file(dec, path.c_str(), write, nullptr, error, nullptr) ==
        FLAC__STREAM_DECODER_INIT_STATUS_OK) {
        FLAC__stream_decoder_process_until_end_of_stream(dec);
        facts.md5Matches = FLAC__stream_decoder_finish(dec);
    }
    FLAC__stream_decoder_delete(dec);
    FLAC__Metadata_SimpleIterator* it = FLAC__metadata_simple_iterator_new();
    if (FLAC__metadata_simple_iterator_init(it, path.c_str(), true, false)) {
        do {
            if (FLAC__metadata_simple_iterator_get_block_type(it) ==
                FLAC__METADATA_TYPE_SEEKTABLE) {
                FLAC__StreamMetadata* seek = FLAC__metadata_simple_iterator_get_block(it);
                facts.seekPoints = seek->data.seek_table.num_points;
                FLAC__metadata_object_delete(seek);
            }
        } while (FLAC__metadata_simple_iterator_next(it));
    }
    FLAC__metadata_simple_iterator_delete(it);
    FLAC__StreamMetadata* tags = nullptr;
    if (FLAC__metadata_get_tags(path.c_str(), &tags)) {
        const int at = FLAC__metadata_object_vorbiscomment_find_entry_from(tags, 0, "TITLE");
        if (at >= 0) {
            const auto& e = tags->data.vorbis_comment.comments[at];
            facts.title.assign(reinterpret_cast<const char*>(e.entry), e.length);
        }
        FLAC__metadata_object_delete(tags);
    }
    return facts;
}

} // namespace

// WAV (mono and stereo; 8, 16 and 24-bit; several rates) to FLAC at levels 0, 5 and 8 in one
// batch, then back to 16-bit WAV in another: the audio comes back as the writer received it.
TEST(RipFlac, WavToFlacAndBackIsBitExact)
{
    CScratchFolder dir;
    CSavedEncoderSettings saved;
    CAppCfg& cfg = GetAppCfg();
    struct Case {
        const char* name;
        Format in;
        int level;
    };
    const Case cases[] = {
        {"mono 8-bit 11025 Hz level 0", {1, 11025, 8}, 0},
        {"stereo 8-bit 8000 Hz level 5", {2, 8000, 8}, 5},
        {"stereo 16-bit 44100 Hz level 5", {2, 44100, 16}, 5},
        {"mono 16-bit 22050 Hz level 8", {1, 22050, 16}, 8},
        {"stereo 24-bit 48000 Hz level 8", {2, 48000, 24}, 8},
        {"mono 24-bit 96000 Hz level 0", {1, 96000, 24}, 0},
    };
    std::vector<std::vector<uint8_t>> inputs;
    CRipThreadList toFlac;
    toFlac.SetMaxConcurrent(3);
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const std::string n = std::to_string(i);
        inputs.push_back(testing_wav::SineSweep(c.in, 1.3));
        ASSERT_TRUE(testing_wav::WriteFile(dir / ("in" + n + ".wav"),
                                           testing_wav::WavFile(c.in, inputs.back())));
        cfg.SetFlacEnc_Channels(c.in.channels);
        cfg.SetFlacEnc_Level(c.level);
        auto* task = new CRipTask(0, (dir / ("in" + n + ".wav")).c_str(), 4,
                                  (dir / ("mid" + n + ".flac")).c_str());
        CAudioTrackInfo track;
        track.SetTrackTitle(c.name);
        task->SetTrackInfo(track);
        toFlac.AddTask(task);
    }
    RunBatch(toFlac);

    CRipThreadList toWav;
    toWav.SetMaxConcurrent(3);
    cfg.SetWavEnc_BitsPerSample(16);
    for (size_t i = 0; i < std::size(cases); ++i) {
        const std::string n = std::to_string(i);
        cfg.SetWavEnc_Channels(cases[i].in.channels);
        toWav.AddTask(new CRipTask(4, (dir / ("mid" + n + ".flac")).c_str(), 0,
                                   (dir / ("out" + n + ".wav")).c_str()));
    }
    RunBatch(toWav);

    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        const std::string n = std::to_string(i);
        const FlacFacts facts = InspectFlac(dir / ("mid" + n + ".flac"));
        EXPECT_TRUE(facts.md5Matches);
        EXPECT_EQ(facts.seekPoints, 100u);
        EXPECT_EQ(facts.title, std::string("TITLE=") + c.name);
        Format out{};
        const std::vector<int16_t> got = ReadWav16(dir / ("out" + n + ".wav"), out);
        EXPECT_EQ(out.channels, c.in.channels);
        EXPECT_EQ(out.rate, c.in.rate);
        EXPECT_EQ(out.bits, 16);
        EXPECT_TRUE(got == At16Bits(c.in, inputs[i])) << "audio differs";
    }
}

namespace
{

std::vector<uint8_t> Sine16(const Format& f, double seconds, const double* freq)
{
    const size_t frames = static_cast<size_t>(seconds * f.rate);
    std::vector<uint8_t> pcm;
    for (size_t j = 0; j < frames; ++j)
        for (int c = 0; c < f.channels; ++c) {
            const int v = static_cast<int>(
                std::lround(16384 * std::sin(2 * 3.14159265358979323846 * freq[c] * j / f.rate)));
            pcm.push_back(static_cast<uint8_t>(v & 0xFF));
            pcm.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
        }
    return pcm;
}

// Frequency from upward zero crossings and level as RMS over the middle half of a channel.
void Measure(const std::vector<int16_t>& s, int channels, int ch, int rate, double& freq,
             double& rms)
{
    const size_t n = s.size() / channels, from = n / 4, to = n * 3 / 4;
    size_t crossings = 0, first = 0, last = 0;
    double sum = 0;
    for (size_t j = from; j < to; ++j) {
        const int v = s[j * channels + ch];
        sum += double(v) * v;
        if (j > from && s[(j - 1) * channels + ch] < 0 && v >= 0) {
            if (crossings++ == 0)
                first = j;
            last = j;
        }
    }
    freq = crossings > 1 ? double(crossings - 1) * rate / double(last - first) : 0;
    rms = std::sqrt(sum / double(to - from));
}

} // namespace

// WAV to Ogg Vorbis at several qualities, and back to WAV, in batches.
TEST(RipVorbis, WavToVorbisAndBackKeepsLengthFrequencyAndLevel)
{
    CScratchFolder dir;
    CSavedEncoderSettings saved;
    CAppCfg& cfg = GetAppCfg();
    struct Case {
        Format in;
        int quality; // VorbisEnc_Quality, tenths
    };
    const Case cases[] = {
        {{2, 44100, 16}, 4}, {{1, 22050, 16}, 0}, {{2, 48000, 16}, 10}, {{1, 44100, 16}, -1}};
    const double freq[2] = {880.0, 1320.0};
    const double seconds = 2.0;
    CRipThreadList toOgg;
    toOgg.SetMaxConcurrent(4);
    for (size_t i = 0; i < std::size(cases); ++i) {
        const std::string n = std::to_string(i);
        ASSERT_TRUE(testing_wav::WriteFile(
            dir / ("in" + n + ".wav"),
            testing_wav::WavFile(cases[i].in, Sine16(cases[i].in, seconds, freq))));
        cfg.SetVorbisEnc_Channels(cases[i].in.channels);
        cfg.SetVorbisEnc_Quality(cases[i].quality);
        toOgg.AddTask(new CRipTask(0, (dir / ("in" + n + ".wav")).c_str(), 2,
                                   (dir / ("mid" + n + ".ogg")).c_str()));
    }
    RunBatch(toOgg);

    CRipThreadList toWav;
    cfg.SetWavEnc_BitsPerSample(16);
    for (size_t i = 0; i < std::size(cases); ++i) {
        const std::string n = std::to_string(i);
        cfg.SetWavEnc_Channels(cases[i].in.channels);
        toWav.AddTask(new CRipTask(2, (dir / ("mid" + n + ".ogg")).c_str(), 0,
                                   (dir / ("out" + n + ".wav")).c_str()));
    }
    RunBatch(toWav);

    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(testing::Message() << c.in.channels << " ch, quality " << c.quality);
        Format out{};
        const std::vector<int16_t> got = ReadWav16(dir / ("out" + std::to_string(i) + ".wav"), out);
        EXPECT_EQ(out.channels, c.in.channels);
        EXPECT_EQ(out.rate, c.in.rate);
        const double frames = c.in.rate * seconds;
        EXPECT_NEAR(double(got.size() / c.in.channels), frames, frames * 0.001);
        for (int ch = 0; ch < c.in.channels; ++ch) {
            double f = 0, rms = 0;
            Measure(got, c.in.channels, ch, c.in.rate, f, rms);
            EXPECT_NEAR(f, freq[ch], freq[ch] * 0.01) << "channel " << ch;
            EXPECT_NEAR(rms, 16384 / std::sqrt(2.0) * 31000 / 32768, 600) << "channel " << ch;
        }
    }
}

// Files for tests/rip/check_outputs_with_tools.sh, which compares them with what the reference
// tools make of the same input with the same settings: the folder comes from
// SONORIA_TOOLS_SAME_AUDIO. Encode: in.wav (music-like) to ours.flac/.ogg/.mp3/.wma. Decode:
// the tools' ref.flac/.ogg/.mp3/.wma to dec_flac.wav, dec_ogg.wav, ...
namespace
{

const struct {
    int format;
    const char* ext;
} kToolFormats[] = {{FILETYPE_FLAC, "flac"},
                    {FILETYPE_VORBIS, "ogg"},
                    {FILETYPE_MP3, "mp3"},
                    {FILETYPE_WMA, "wma"}};

std::string ToolsFolder()
{
    const char* folder = std::getenv("SONORIA_TOOLS_SAME_AUDIO");
    return folder && *folder ? std::string(folder) + "\\" : std::string();
}

// The settings the script gives the reference tools.
void SetToolSettings(CAppCfg& cfg)
{
    cfg.SetFlacEnc_Level(5);
    cfg.SetFlacEnc_Channels(2);
    cfg.SetVorbisEnc_Quality(4);
    cfg.SetVorbisEnc_Channels(2);
    cfg.SetMp3Enc_Mode(1);
    cfg.SetMp3Enc_Bitrate(192);
    cfg.SetMp3Enc_Channels(3);
    cfg.SetMp3Enc_WriteID3(0);
    cfg.SetMp3Enc_WriteCRCs(0);
    cfg.SetWmaEnc_Mode(7);
    cfg.SetWavEnc_Channels(2);
    cfg.SetWavEnc_BitsPerSample(16);
    cfg.SetWavEnc_WriteInfoTags(0);
}

} // namespace

TEST(RipReferenceTools, EncodeForComparison)
{
    const std::string folder = ToolsFolder();
    if (folder.empty())
        GTEST_SKIP() << "SONORIA_TOOLS_SAME_AUDIO not set";
    CSavedEncoderSettings saved;
    CAppCfg& cfg = GetAppCfg();
    const int mp3Mode = cfg.GetMp3Enc_Mode(), mp3Rate = cfg.GetMp3Enc_Bitrate(),
              mp3Channels = cfg.GetMp3Enc_Channels(), id3 = cfg.GetMp3Enc_WriteID3(),
              crc = cfg.GetMp3Enc_WriteCRCs(), wma = cfg.GetWmaEnc_Mode(),
              infoTags = cfg.GetWavEnc_WriteInfoTags();
    SetToolSettings(cfg);
    // Longer than a few read steps, and not a multiple of a step or a codec's block.
    const Format f{2, 44100, 16};
    ASSERT_TRUE(testing_wav::WriteFile(folder + "in.wav",
                                       testing_wav::WavFile(f, testing_wav::MusicLike(f, 7.3, 5))));
    CRipThreadList batch;
    batch.SetMaxConcurrent(4);
    for (const auto& t : kToolFormats)
        batch.AddTask(new CRipTask(FILETYPE_WAV, (folder + "in.wav").c_str(), t.format,
                                   (folder + "ours." + t.ext).c_str()));
    RunBatch(batch);
    cfg.SetMp3Enc_Mode(mp3Mode);
    cfg.SetMp3Enc_Bitrate(mp3Rate);
    cfg.SetMp3Enc_Channels(mp3Channels);
    cfg.SetMp3Enc_WriteID3(id3);
    cfg.SetMp3Enc_WriteCRCs(crc);
    cfg.SetWmaEnc_Mode(wma);
    cfg.SetWavEnc_WriteInfoTags(infoTags);
}

TEST(RipReferenceTools, DecodeForComparison)
{
    const std::string folder = ToolsFolder();
    if (folder.empty())
        GTEST_SKIP() << "SONORIA_TOOLS_SAME_AUDIO not set";
    CSavedEncoderSettings saved;
    CAppCfg& cfg = GetAppCfg();
    const int infoTags = cfg.GetWavEnc_WriteInfoTags();
    SetToolSettings(cfg);
    CRipThreadList batch;
    batch.SetMaxConcurrent(4);
    for (const auto& t : kToolFormats)
        batch.AddTask(new CRipTask(CRipTask::SourceTypeFromFileType(t.format),
                                   (folder + "ref." + t.ext).c_str(), FILETYPE_WAV,
                                   (folder + "dec_" + t.ext + ".wav").c_str()));
    RunBatch(batch);
    cfg.SetWavEnc_WriteInfoTags(infoTags);
}
