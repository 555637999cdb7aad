// Fuzz target: the Ogg Vorbis reader over any file content, headers, comments and audio.
#include "audio/audio_frame.h"
#include "audio/formats/vorbis/vorbis_reader.h"
#include "audio/track/track_info.h"

#include "fuzz/fuzz_input_file.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const FuzzInputFile input("fuzz_vorbis_reader");
    // One reader for the whole run, opened and closed per input: its 4 MB output buffer,
    // allocated and freed per input under AddressSanitizer, cost more than the decoding.
    static CAudioVorbisReader reader;
    const char* path = input.Write(data, size);
    if (!path || !reader.Open(path))
        return 0;
    CAudioTrackInfo track;
    reader.ReadComments(track);
    reader.Prepare();
    // Each step feeds 4096 bytes of the file: the step count is bounded by its size.
    for (size_t steps = 0; reader.HasMoreData(); ++steps) {
        if (steps > size / 4096 + 4)
            __builtin_trap();
        CAudioFrame frame;
        if (!reader.ReadFrame(&frame))
            break;
        reader.GetProgressPercent();
    }
    reader.Close();
    return 0;
}
