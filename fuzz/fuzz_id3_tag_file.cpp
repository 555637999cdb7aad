// Feeds whole files to the MP3 tag reader: the ID3v2 tag header (flags, sizes, extended
// header, unsynchronisation), ID3v1 at the end, and the scan for the first MPEG frame sync.
#include "audio/formats/mp3/id3_reader.h"
#include "audio/track/track_info.h"
#include "fuzz/fuzz_input_file.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const FuzzInputFile file("fuzz_id3_tag_file");
    const char* path = file.Write(data, size);
    if (!path)
        return 0;
    CAudioMP3InfoTagReader reader;
    if (reader.Open(path)) {
        reader.IsThisFormat();
        CAudioTrackInfo track;
        reader.ReadTags(track);
    }
    return 0;
}
