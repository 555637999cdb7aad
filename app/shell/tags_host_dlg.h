// CTagsHostDlg: one page of the CD information bar, a borderless child dialog filled by one
// property grid that shows a disc or a track record.
#pragma once

#include "framework/ui.h"
#include "propgrid/prop_ctrl.h"

class CTagsHostDlg : public CDialog
{
    DECLARE_DYNAMIC(CTagsHostDlg)
public:
    CTagsHostDlg();
    ~CTagsHostDlg() override;

    // The modeless page from its template, a child of pParent.
    BOOL Create(CWnd* pParent);
    EPropCtrl& GetPropCtrl() { return m_propCtrl; }

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;

protected:
    void OnSize(UINT nType, int cx, int cy);

    EPropCtrl m_propCtrl;

    DECLARE_MESSAGE_MAP()
};
