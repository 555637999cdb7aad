// Number reading shared by the CDDB client's parsers: never overflow, never read past the text.
#pragma once

#include "framework/core.h"

// The decimal number at the start (leading blanks and a sign allowed), clamped to int; 0 when
// there is none.
int CddbToInt(LPCTSTR lpsz);
// The hexadecimal number at the start, cut to 32 bits; 0 when there is none.
DWORD CddbToHex(LPCTSTR lpsz);
