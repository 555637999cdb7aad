// Members of CComboBox that do more than one call.
#include "framework/combobox.h"

IMPLEMENT_DYNAMIC(CComboBox, CWnd)

void CComboBox::GetLBText(int nIndex, CString& rString) const
{
    const int n = GetLBTextLen(nIndex);
    if (n == CB_ERR) {
        rString.Empty();
        return;
    }
    LPTSTR buf = rString.GetBufferSetLength(n);
    SendMessage(CB_GETLBTEXT, nIndex, reinterpret_cast<LPARAM>(buf));
    rString.ReleaseBuffer();
}
