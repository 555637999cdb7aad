// CAudioFileInspector: tells an audio file's format by asking each format's tag reader in turn,
// and imports the file's tags with the matching reader.
#pragma once

#include "audio/track/track_info.h"
#include "framework/core.h"

class CAudioFileInspector
{
public:
    virtual ~CAudioFileInspector() = default;

    // The file type code (0 WAV, 1 MP3, 2 Ogg Vorbis, 3 WMA, 4 FLAC), or -1 for a file that
    // cannot be reached or that no reader takes. Asks WAV, Ogg Vorbis, WMA, FLAC, then MP3.
    static int DetectFormat(LPCTSTR pszPath);
    // Detects the format and reads the tags into the track (a failed read leaves it as it
    // was). Sets the track's file type code in every case, -1 included; 1 when the format was
    // recognised, else 0.
    static int ImportTags(LPCTSTR pszPath, CAudioTrackInfo& track);

private:
    CAudioFileInspector() = default;
};
