// Feeds arbitrary ID3v2 tag bodies to the frame walk of every version.
#include "audio/formats/mp3/id3_reader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    int version = 2 + data[0] % 3;
    CAudioTrackInfo track;
    CAudioMP3InfoTagReader::ParseFrames(data + 1, size - 1, version, track);
    CAudioMP3InfoTagReader::ReadTextFrame(data + 1, size - 1);
    return 0;
}
