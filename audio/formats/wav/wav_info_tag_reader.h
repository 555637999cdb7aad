// CAudioWavInfoTagReader: recognises WAV files and imports their RIFF LIST/INFO tags.
#pragma once

#include "audio/formats/tag_reader.h"

class CAudioWavInfoTagReader : public CAudioAbstractInfoTagReader
{
public:
    // Reads the first LIST/INFO chunk into the record; TRUE also when there is none.
    BOOL ReadTags(CAudioTrackInfo& track) override;
    // A RIFF/WAVE file with a PCM "fmt " chunk, read from the current position.
    BOOL IsThisFormat() override;

    // Walks the entries of an INFO list (the bytes after "INFO"). Zero bytes between entries
    // are skipped; IPRD fills the album title only while it is empty; ISFT and ITCH both fill
    // the encoded-by field. An entry whose size runs past the list ends the walk.
    static void ParseInfoList(const BYTE* pBytes, DWORD nLength, CAudioTrackInfo& track);
    // The entry's bytes as text, ending at the first zero byte.
    static CString GetEntryText(const BYTE* pBytes, DWORD nSize);
};
