// Ogg Vorbis tag reader.
#include "audio/formats/vorbis/vorbis_tag_reader.h"

#include "audio/formats/vorbis/vorbis_reader.h"

namespace
{

const char kNotOpen[] = "Vorbis Info Tag Reader not correctly initialized";

} // namespace

BOOL CAudioVorbisInfoTagReader::IsThisFormat()
{
    if (!IsOpen()) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, kNotOpen);
        return 0;
    }
    return StartsWithMagicAfterId3v2(*GetFile(), "OggS") ? 1 : 0;
}

BOOL CAudioVorbisInfoTagReader::ReadTags(CAudioTrackInfo& track)
{
    if (!IsOpen()) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, kNotOpen);
        return 0;
    }
    int result = 0;
    ULONGLONG position = 0;
    try {
        position = GetFile()->GetPosition();
        // The stream may follow an ID3v2 tag.
        GetFile()->Seek(static_cast<LONGLONG>(Id3v2TagLength(*GetFile())), CFile::begin);
        CAudioVorbisReader reader;
        if (reader.ParseHeaders(GetFile()) && reader.ReadComments(track))
            result = 1;
        GetFile()->Seek(static_cast<LONGLONG>(position), CFile::begin);
    } catch (CException* e) {
        e->Delete();
        result = 0;
    }
    return result;
}
