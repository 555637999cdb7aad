// The escaping of values in the local disc store's files: a value read back from a file is
// outside input (any editor, any older version may have written it), so its decoding is
// portable, tested and fuzzed apart from the profile functions that carry it.
#pragma once

#include "framework/core.h"

namespace store_values
{

// Control characters (1 to 31), '%', and a blank or '"' at either end become "%XX" (upper-case
// hex); everything else is kept.
CString Escape(LPCTSTR lpszValue);

// Decodes "%XX" and, for legacy values, "~XXXX" (the low byte of its value). An escape cut
// short by the end of the value is taken as it stands; a decoded zero byte is dropped (it
// would end the text).
CString Unescape(LPCTSTR lpszValue, bool bLegacy);

} // namespace store_values
