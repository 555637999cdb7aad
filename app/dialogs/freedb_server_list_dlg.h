// CFreedbServerListDlg: the freedb servers the program may use, edited in an edit list, with
// the server list of the default freedb server to fetch; stored on OK.
#pragma once

#include "framework/ui.h"
#include "toolkit/controls/editlist/edit_list.h"

class CFreedbServerListDlg : public CDialog {
public:
    explicit CFreedbServerListDlg(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;

    COXEditList& GetList() { return m_list; }
    // The server asked for the list, also the one row of an empty stored list.
    static CString DefaultServer();

protected:
    void OnUpdateList();
    void OnListItemChanged(NMHDR* pNMHDR, LRESULT* pResult) { *pResult = 0; }
    DECLARE_MESSAGE_MAP()

    COXEditList m_list;
};
