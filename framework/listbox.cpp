// Members of CListBox that do more than one call.
#include "framework/listbox.h"

IMPLEMENT_DYNAMIC(CListBox, CWnd)

void CListBox::GetText(int nIndex, CString& rString) const
{
    const int n = GetTextLen(nIndex);
    if (n == LB_ERR) {
        rString.Empty();
        return;
    }
    LPTSTR buf = rString.GetBufferSetLength(n);
    SendMessage(LB_GETTEXT, nIndex, reinterpret_cast<LPARAM>(buf));
    rString.ReleaseBuffer();
}
