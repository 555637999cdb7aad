// CRawRipDlg: any range of CD frames (sectors of 1/75 s) ripped into one output file,
// regardless of track boundaries, with tags of its own edited in a property grid.
#pragma once

#include <utility>

#include "app/shell/rip_dialogs_res.h"
#include "catalogue/model/cd_track.h"
#include "framework/combobox.h"
#include "framework/ui.h"
#include "propgrid/prop_ctrl.h"
#include "propgrid/prop_host.h"
#include "toolkit/controls/browse_edit/browse_edit.h"

class CCDInfo;
class CRipTask;

class CRawRipDlg : public CDialog, public IPropertyHost {
    DECLARE_DYNAMIC(CRawRipDlg)
public:
    enum { IDD = IDD_RAW_RIP };

    // pDisc is the document's disc record (not owned); nDrive the drive index (CDDevice).
    CRawRipDlg(CCDInfo* pDisc, int nDrive, CWnd* pParent = nullptr);
    ~CRawRipDlg() override;

    // After IDOK: the CD task over frames [from, to). The caller's batch takes it over; until
    // then (or when nobody takes it) the dialog deletes it.
    CRipTask* GetTask() { return m_pTask; }
    CRipTask* DetachTask() { return std::exchange(m_pTask, nullptr); }

    CCDTrack& GetOutputTrack() { return m_outputTrack; }
    EPropCtrl& GetGrid() { return m_grid; }
    int GetFirstFrame() const { return m_nFirstFrame; }
    int GetLastFrame() const { return m_nLastFrame; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void OnOK() override;

    // Reads the two fields, fixes the name's extension, sets the output record's range and
    // the Rip button's state.
    void ApplyRange();
    void OnChangeOutFile();
    void OnChangeFromFrame();
    void OnChangeToFrame();

    DECLARE_MESSAGE_MAP()

private:
    CString OutputName() const;
    static long FieldNumber(const CEdit& field);
    void UpdateRipButton();
    void ShowTime(const CEdit& field, CStatic& time);

    EPropCtrl m_grid;
    CCDTrack m_outputTrack;
    CCDInfo* m_pDisc;
    int m_nDrive;
    int m_nFirstFrame = 0;
    int m_nLastFrame = 0;
    CRipTask* m_pTask = nullptr;
    CComboBox m_formatList;
    COXBrowseFileEdit m_outFile;
    CEdit m_toField;
    CEdit m_fromField;
    CStatic m_fromTime;
    CStatic m_toTime;
    CButton m_btnRip;
};
