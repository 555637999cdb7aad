// CAudioVorbisInfoTagReader: recognises Ogg files and reads their Vorbis comments for the
// file import.
#pragma once

#include "audio/formats/tag_reader.h"

class CAudioTrackInfo;

class CAudioVorbisInfoTagReader : public CAudioAbstractInfoTagReader
{
public:
    // Reads the Vorbis headers of the open file and assigns its comments to track: 1 when
    // both succeeded, else 0; 0 with error 1 when no file is open. The file position is kept.
    BOOL ReadTags(CAudioTrackInfo& track) override;
    // 1 when the open file starts with "OggS" (after one ID3v2 tag); 0 with error 1 when no
    // file is open.
    BOOL IsThisFormat() override;
};
