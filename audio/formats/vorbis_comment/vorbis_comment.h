// Vorbis comments as the FLAC and Ogg Vorbis formats share them: the table of comment names
// mapped to track record fields, and the text conversion between comments and tag texts.
#pragma once

#include "framework/core.h"

#include <cstddef>

class CAudioTrackInfo;

// Assigns one comment entry "NAME=value" to the track field its name maps to. The name is
// the text before the first "=", the value the text after it (empty without "="); both are
// trimmed of blanks and the name is compared without regard to case. A later entry of the same
// field replaces an earlier one; an empty value changes nothing. DATE and YEAR give the year
// (the first four digits of a date). Returns false, leaving the record unchanged, for a name that
// is not in the table; true for a known name, also one whose field the system ignores.
bool AssignVorbisComment(const CString& entry, CAudioTrackInfo& track);

// Comments are UTF-8 in the file, tag texts are in the system code page inside the program.
// On Windows the code page is the ANSI code page (CP_ACP); the native check build takes
// Windows-1252 as its code page. Characters the code page lacks become '?'.
CString VorbisCommentFromTagText(const CString& text);

// The tag text for the bytes of a comment: valid UTF-8 is converted to the code page; any other
// bytes (files written in the code page by earlier versions) are kept byte for byte.
CString TagTextFromVorbisComment(const char* bytes, size_t length);
