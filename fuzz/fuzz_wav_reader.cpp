// Fuzz target: a WAV file of any bytes through the reader, the tag reader, and the frame
// conversions a writer would apply.
#include "audio/formats/wav/wav_info_tag_reader.h"
#include "audio/formats/wav/wav_reader.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

namespace
{

// The input goes through a real file, as the reader opens files by path.
struct InputFile {
    std::string path = "/tmp/fuzz_wav_reader_" + std::to_string(getpid()) + ".wav";
    ~InputFile() { std::remove(path.c_str()); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const InputFile input;
    const std::string& path = input.path;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    CAudioWavReader reader;
    if (reader.Open(path.c_str()) && reader.Prepare()) {
        // Every step must make progress; more steps than bytes would mean it does not.
        for (size_t steps = 0; reader.HasMoreData(); ++steps) {
            if (steps > size)
                __builtin_trap();
            CAudioFrame frame;
            if (!reader.ReadFrame(&frame))
                break;
            frame.ApplyGain(0.5);
            frame.ConvertChannels(1);
            frame.ConvertSampleFormat(2, 1, 0);
            frame.ConvertChannels(2);
            frame.Resample(44100);
        }
        reader.GetProgressPercent();
        reader.Close();
    }

    CAudioWavInfoTagReader tags;
    if (tags.Open(path.c_str())) {
        tags.IsThisFormat();
        CAudioTrackInfo track;
        tags.ReadTags(track);
        tags.Close();
    }
    return 0;
}
