// Fuzz target: the FLAC reader over any file content, decoded to its end, tags included.
#include "audio/audio_frame.h"
#include "audio/formats/flac/flac_reader.h"
#include "audio/track/track_info.h"

#include "fuzz/fuzz_input_file.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const FuzzInputFile input("fuzz_flac_reader");
    const char* path = input.Write(data, size);
    CAudioFlacReader reader;
    if (!path || !reader.Open(path))
        return 0;
    CAudioTrackInfo track;
    reader.CopyTrackInfo(track);
    reader.Prepare();
    // Every step consumes input, so a file of this size ends well within the bound.
    for (size_t steps = 0; reader.HasMoreData(); ++steps) {
        if (steps > size + 16)
            __builtin_trap();
        CAudioFrame frame;
        if (!reader.ReadFrame(&frame))
            break;
        reader.GetProgressPercent();
    }
    reader.Close();
    return 0;
}
