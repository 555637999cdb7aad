// CFreedbChooseDlg: the modal dialog in which the user picks one of the records a freedb query
// returned; the lower list shows the tracks and album details of the selected record.
#pragma once

#include "catalogue/cddb/cddb_values.h"
#include "framework/listbox.h"
#include "framework/ui.h"
#include "toolkit/controls/static/hyperlink.h"

class CFreedbChooseDlg : public CDialog
{
    DECLARE_DYNAMIC(CFreedbChooseDlg)
public:
    explicit CFreedbChooseDlg(CWnd* pParent = nullptr);
    ~CFreedbChooseDlg() override;

    // The caller's records, which must outlive DoModal.
    void SetRecords(CCDDBRecordArray* pRecords) { m_pRecords = pRecords; }
    // The records list's selection when the dialog ended (-1 for none).
    int GetSelectedIndex() const { return m_nSelected; }

    // The line of a record in the records list.
    static CString RecordLine(const CCDDBRecord& record);

    CListBox& GetRecordsList() { return m_records; }
    CListBox& GetDetailsList() { return m_details; }

    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Help (the F1 key or a help button) opens the chooser's help page and goes no further.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void OnSelChangeRecords();
    void OnDblClkRecords();
    void ShowDetails(const CCDDBRecord& record);

    COXStaticHyperLink m_logo;
    CListBox m_details;
    CListBox m_records;
    CCDDBRecordArray* m_pRecords = nullptr;
    int m_nSelected = -1;

    DECLARE_MESSAGE_MAP()
};
