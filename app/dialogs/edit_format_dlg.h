// CEditFormatDlg: edits one output file-name template (its display name and its definition),
// showing the name the definition gives for a sample track while it is typed.
#pragma once

#include "framework/ui.h"

class CAudioTrackInfo;

class CEditFormatDlg : public CDialog {
public:
    explicit CEditFormatDlg(CWnd* pParent = nullptr);

    void SetNameAndFormat(LPCTSTR lpszName, LPCTSTR lpszFormat)
    {
        m_strName = lpszName;
        m_strFormat = lpszFormat;
    }
    CString GetName() const { return m_strName; }
    CString GetFormat() const { return m_strFormat; }

    // The track the sample name is made for.
    static void FillSampleTrack(CAudioTrackInfo& info);

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    void OnChangeFormat();
    void OnHelp();
    DECLARE_MESSAGE_MAP()

    CString m_strName;
    CString m_strFormat;
};
