#include "framework/ddx.h"

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hCtrl = ::GetDlgItem(AfxHwnd(pDX->m_pDlgWnd), nIDC);
    ASSERT(hCtrl != nullptr);
    if (hCtrl == nullptr)
        return;
    if (pDX->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessage(hCtrl, BM_GETCHECK, 0, 0));
    else
        ::SendMessage(hCtrl, BM_SETCHECK, static_cast<WPARAM>(value >= 0 && value <= 2 ? value : 0),
                      0);
}

void DDX_CBStringExact(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hCtrl = ::GetDlgItem(AfxHwnd(pDX->m_pDlgWnd), nIDC);
    ASSERT(hCtrl != nullptr);
    if (hCtrl == nullptr)
        return;
    const bool bList = (::GetWindowLong(hCtrl, GWL_STYLE) & 3) == CBS_DROPDOWNLIST;
    if (pDX->m_bSaveAndValidate) {
        const int nSel = bList ? static_cast<int>(::SendMessage(hCtrl, CB_GETCURSEL, 0, 0)) : -1;
        if (bList) {
            const int n =
                nSel >= 0 ? static_cast<int>(::SendMessage(hCtrl, CB_GETLBTEXTLEN, nSel, 0)) : 0;
            LPTSTR buf = value.GetBufferSetLength(n > 0 ? n : 0);
            if (n > 0)
                ::SendMessage(hCtrl, CB_GETLBTEXT, nSel, reinterpret_cast<LPARAM>(buf));
            value.ReleaseBuffer(n > 0 ? n : 0);
        } else {
            const int n = ::GetWindowTextLength(hCtrl);
            LPTSTR buf = value.GetBufferSetLength(n);
            ::GetWindowText(hCtrl, buf, n + 1);
            value.ReleaseBuffer();
        }
        return;
    }
    const int nFound =
        static_cast<int>(::SendMessage(hCtrl, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(value))));
    if (nFound != CB_ERR)
        ::SendMessage(hCtrl, CB_SETCURSEL, nFound, 0);
    else
        ::SetWindowText(hCtrl, value);
}
