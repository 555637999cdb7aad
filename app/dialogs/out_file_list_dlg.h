// COutFileListDlg: the stored output file-name templates as a two-column grid (name,
// template), edited through the template editor and stored whole on OK. The first three
// templates are fixed.
#pragma once

#include "framework/ui.h"
#include "toolkit/controls/gridlist/grid_list.h"

class COutFileListDlg : public CDialog {
public:
    explicit COutFileListDlg(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;

    COXGridList& GetGrid() { return m_grid; }

protected:
    // Rows below this index are the fixed templates.
    static constexpr int kFirstUserRow = 3;

    int SelectedRow() const;
    void UpdateButtons();
    void OnAdd();
    void OnEdit();
    void OnRemove();
    void OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

    COXGridList m_grid;
};
