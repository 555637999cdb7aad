// CAudioMP3InfoTagReader: reads ID3v1 and ID3v2.2/2.3/2.4 tags into a track record and tells
// MP3 files by their first MPEG audio frame header.
#pragma once

#include "audio/formats/tag_reader.h"

class CAudioMP3InfoTagReader : public CAudioAbstractInfoTagReader
{
public:
    //! ID3v1 first, then ID3v2 (whose values win); closes the file. Nonzero when either was found.
    BOOL ReadTags(CAudioTrackInfo& track) override;
    //! True when the file starts, after any ID3v2 tags and zero padding, with consecutive
    //! valid frame headers of one version, layer and rate: three, or as many as fit the file.
    BOOL IsThisFormat() override;

    BOOL ReadID3v1(CAudioTrackInfo& track);
    BOOL ReadID3v2(CAudioTrackInfo& track);

    //! Walks the frames of an ID3v2 tag body of the given major version (2, 3 or 4).
    static void ParseFrames(const BYTE* body, size_t size, int version, CAudioTrackInfo& track);
    //! The text of a text-frame body: encoding byte, then 8-bit or UTF-16 text.
    static CString ReadTextFrame(const BYTE* body, size_t size);

private:
    int m_nVersion = 0;
};
