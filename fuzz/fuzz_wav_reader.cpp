// Fuzz target: a WAV file of any bytes through the reader, the tag reader, and the frame
// conversions a writer would apply.
#include "audio/formats/wav/wav_info_tag_reader.h"
#include "audio/formats/wav/wav_reader.h"

#include "fuzz/fuzz_input_file.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const FuzzInputFile input("fuzz_wav_reader");
    const char* path = input.Write(data, size);
    if (!path)
        return 0;

    CAudioWavReader reader;
    if (reader.Open(path) && reader.Prepare()) {
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
    if (tags.Open(path)) {
        tags.IsThisFormat();
        CAudioTrackInfo track;
        tags.ReadTags(track);
        tags.Close();
    }
    return 0;
}
