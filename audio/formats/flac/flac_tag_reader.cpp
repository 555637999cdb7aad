// FLAC tag reader.
#include "audio/formats/flac/flac_tag_reader.h"

#include "audio/formats/flac/flac_reader.h"

#include <cstring>

namespace
{

const char kNotOpen[] = "Flac Info Tag Reader not correctly initialized";

} // namespace

BOOL CAudioFlacInfoTagReader::IsThisFormat()
{
    if (!IsOpen()) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, kNotOpen);
        return 0;
    }
    return StartsWithMagicAfterId3v2(*GetFile(), "fLaC") ? 1 : 0;
}

BOOL CAudioFlacInfoTagReader::ReadTags(CAudioTrackInfo& track)
{
    if (!IsOpen()) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, kNotOpen);
        return 0;
    }
    Close();
    CAudioFlacReader reader;
    if (!reader.Open(GetPath()))
        return 0;
    return reader.CopyTrackInfo(track) ? 1 : 0;
}
