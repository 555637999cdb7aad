// Language-file access of the native check build: there are no profile functions there, so no
// entry is ever found and nothing is written; every text is its English default.
#include "foundation/i18n/i18n.h"

BOOL CI18N::ReadEntry(LPCTSTR lpszKey, CString& strText)
{
    return FALSE;
}

BOOL CI18N::WriteEntry(LPCTSTR lpszKey, LPCTSTR lpszText)
{
    return TRUE;
}
