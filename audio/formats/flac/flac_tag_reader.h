// CAudioFlacInfoTagReader: recognises FLAC files and reads their Vorbis comments for the
// file import.
#pragma once

#include "audio/formats/tag_reader.h"
#include "framework/core.h"

class CAudioTrackInfo;
class CFile;

class CAudioFlacInfoTagReader : public CAudioAbstractInfoTagReader
{
public:
    // Closes the open file and decodes the metadata of the remembered path: 1 when the tags
    // were read (track is then assigned the file's tags), 0 when the file cannot be decoded;
    // 0 with error 1 when no file is open.
    BOOL ReadTags(CAudioTrackInfo& track) override;
    // 1 when the open file starts with "fLaC" (after one ID3v2 tag); 0 with error 1 when no
    // file is open.
    BOOL IsThisFormat() override;
};
