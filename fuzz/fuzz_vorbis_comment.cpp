// Fuzz target: the comment table and the text conversions. Any bytes map without fault, and a
// tag text converted to a comment and back is unchanged (the check build's code page,
// Windows-1252, holds every byte value).
#include "audio/formats/vorbis_comment/vorbis_comment.h"
#include "audio/track/track_info.h"

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* bytes = reinterpret_cast<const char*>(data);
    CAudioTrackInfo track;
    AssignVorbisComment(TagTextFromVorbisComment(bytes, size), track);

    const CString text(bytes, static_cast<int>(size));
    const CString comment = VorbisCommentFromTagText(text);
    const CString back =
        TagTextFromVorbisComment(comment.GetString(), static_cast<size_t>(comment.GetLength()));
    if (back.GetLength() != text.GetLength() ||
        std::memcmp(back.GetString(), text.GetString(), size) != 0)
        __builtin_trap();
    return 0;
}
