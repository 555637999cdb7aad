// Format detection in a fixed order, and tag import with the matching reader.
#include "audio/formats/detection/format_detection.h"

#include "audio/formats/flac/flac_tag_reader.h"
#include "audio/formats/mp3/id3_reader.h"
#include "audio/formats/vorbis/vorbis_tag_reader.h"
#include "audio/formats/wav/wav_info_tag_reader.h"
#include "audio/formats/wma/wma_tag_reader.h"

#include <memory>

namespace {

// The tag reader of a file type code; null for any other code.
std::unique_ptr<CAudioAbstractInfoTagReader> MakeReader(int nFormat)
{
    switch (nFormat) {
    case FILETYPE_WAV: return std::make_unique<CAudioWavInfoTagReader>();
    case FILETYPE_MP3: return std::make_unique<CAudioMP3InfoTagReader>();
    case FILETYPE_VORBIS: return std::make_unique<CAudioVorbisInfoTagReader>();
    case FILETYPE_WMA: return std::make_unique<CAudioWMAInfoTagReader>();
    case FILETYPE_FLAC: return std::make_unique<CAudioFlacInfoTagReader>();
    default: return nullptr;
    }
}

// Probing order: WAV first (its data may hold anything), MP3 last (a frame header may turn up
// inside other formats, and FLAC or Ogg files may start with an ID3v2 tag).
const int kProbeOrder[] = {FILETYPE_WAV, FILETYPE_VORBIS, FILETYPE_WMA, FILETYPE_FLAC,
                           FILETYPE_MP3};

} // namespace

int CAudioFileInspector::DetectFormat(LPCTSTR pszPath)
{
    CFileStatus status;
    if (!pszPath || !CFile::GetStatus(pszPath, status))
        return -1;
    for (int format : kProbeOrder) {
        std::unique_ptr<CAudioAbstractInfoTagReader> reader = MakeReader(format);
        if (!reader || !reader->Open(pszPath))
            continue;
        const BOOL yes = reader->IsThisFormat();
        reader->Close();
        if (yes)
            return format;
    }
    return -1;
}

int CAudioFileInspector::ImportTags(LPCTSTR pszPath, CAudioTrackInfo& track)
{
    const int format = DetectFormat(pszPath);
    int result = 0;
    if (format >= 0) {
        std::unique_ptr<CAudioAbstractInfoTagReader> reader = MakeReader(format);
        if (reader && reader->Open(pszPath)) {
            reader->ReadTags(track);
            reader->Close();
        }
        result = 1;
    }
    track.SetFileType(format);
    return result;
}
