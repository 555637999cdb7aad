// CCfgDlg: the modal, sizable "Options" window. It shows the settings in a property grid over
// CCfgProp, writes every one of them back and saves the store on OK, and changes nothing on
// Cancel. Its outer size is kept in OptionsWindow_dx and OptionsWindow_dy.
#pragma once

#include "app/dialogs/cfg_dlg_res.h"
#include "app/dialogs/cfg_prop.h"
#include "framework/ui.h"
#include "propgrid/prop_ctrl.h"

class CCfgDlg : public CDialog {
    DECLARE_DYNAMIC(CCfgDlg)
public:
    enum { IDD = IDD_CFGDLG };

    // The host and its choice lists are built here, before DoModal.
    explicit CCfgDlg(CWnd* pParent = nullptr);
    ~CCfgDlg() override;

    BOOL OnInitDialog() override;

    EPropCtrl& GetGrid() { return m_grid; }
    CCfgProp& GetHost() { return m_host; }

    // The address of the options help page for a language code (encoded into the query).
    static CString HelpPageUrl(LPCTSTR lpszLanguageCode);

protected:
    void OnSize(UINT nType, int cx, int cy);
    void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    void OnBnClickedOk();
    void OnHelp();
    // Shifts a control by the change of the client size; a missing control is skipped.
    void MoveControlBy(int nID, int nLastCx, int nLastCy, int cx, int cy);

    int m_nLastCx = 0;
    int m_nLastCy = 0;
    bool m_bSized = false;
    EPropCtrl m_grid;
    CCfgProp m_host;

    DECLARE_MESSAGE_MAP()
};
