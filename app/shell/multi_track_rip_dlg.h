// CMultiTrackRipDlg: a run of consecutive tracks of the disc ripped into one output file, with
// tags of its own edited in a property grid and, when asked, a cue sheet that marks where each
// track starts inside the file.
#pragma once

#include <utility>

#include "app/shell/rip_dialogs_res.h"
#include "catalogue/model/cd_track.h"
#include "framework/combobox.h"
#include "framework/ui.h"
#include "propgrid/prop_ctrl.h"
#include "propgrid/prop_host.h"
#include "rip/cue_sheet.h"
#include "toolkit/controls/browse_edit/browse_edit.h"

class CCDInfo;
class CRipTask;

class CMultiTrackRipDlg : public CDialog, public IPropertyHost {
    DECLARE_DYNAMIC(CMultiTrackRipDlg)
public:
    enum { IDD = IDD_MULTITRACK_RIP };

    // pDisc is the document's disc record (not owned); nDrive the drive index (CDDevice).
    CMultiTrackRipDlg(CCDInfo* pDisc, int nDrive, CWnd* pParent = nullptr);
    ~CMultiTrackRipDlg() override;

    // After IDOK: the CD task over the whole range. The caller's batch takes it over; until
    // then (or when nobody takes it) the dialog deletes it.
    CRipTask* GetTask() { return m_pTask; }
    CRipTask* DetachTask() { return std::exchange(m_pTask, nullptr); }
    BOOL IsCueSheetWanted() const { return m_bCueSheetWanted; }
    // Lives as long as the dialog.
    CCueSheet* GetCueSheet() { return &m_cueSheet; }
    CString GetCueSheetPath() const { return m_strCueSheetPath; }

    CCDTrack& GetOutputTrack() { return m_outputTrack; }
    EPropCtrl& GetGrid() { return m_grid; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    // The range, the name's extension and the output record after a change of the lists.
    void UpdateRange();
    void OnChangeOutFile();
    void FillCueSheet(int nFrom, int nTo);

    DECLARE_MESSAGE_MAP()

private:
    CString OutputName() const;

    EPropCtrl m_grid;
    CCDTrack m_outputTrack;
    CCueSheet m_cueSheet;
    CString m_strCueSheetPath;
    CComboBox m_fromList;
    CComboBox m_toList;
    COXBrowseFileEdit m_outFile;
    CComboBox m_formatList;
    CButton m_btnRip;
    CButton m_btnCueSheet;
    CCDInfo* m_pDisc;
    int m_nDrive;
    BOOL m_bCueSheetWanted = FALSE;
    CRipTask* m_pTask = nullptr;
};
