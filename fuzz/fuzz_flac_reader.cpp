// Fuzz target: the FLAC reader over any file content, decoded to its end, tags included.
#include "audio/audio_frame.h"
#include "audio/formats/flac/flac_reader.h"
#include "audio/track/track_info.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The reader takes a path: the input goes to a file of this process's own.
    static const std::string path = "/tmp/fuzz_flac_reader_" + std::to_string(getpid()) + ".flac";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);

    CAudioFlacReader reader;
    if (!reader.Open(path.c_str()))
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
