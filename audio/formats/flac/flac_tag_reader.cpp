// FLAC tag reader, and the magic probe past an ID3v2 tag.
#include "audio/formats/flac/flac_tag_reader.h"

#include "audio/formats/flac/flac_reader.h"

#include <cstring>

namespace
{

const char kNotOpen[] = "Flac Info Tag Reader not correctly initialized";

} // namespace

bool StartsWithMagicAfterId3v2(CFile& file, const char magic[4])
{
    bool found = false;
    ULONGLONG position = 0;
    try {
        position = file.GetPosition();
        BYTE head[4] = {};
        file.Seek(static_cast<LONGLONG>(Id3v2TagLength(file)), CFile::begin);
        UINT n = file.Read(head, sizeof head);
        found = n >= 4 && std::memcmp(head, magic, 4) == 0;
        file.Seek(static_cast<LONGLONG>(position), CFile::begin);
    } catch (CException* e) {
        e->Delete();
        found = false;
    }
    return found;
}

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
