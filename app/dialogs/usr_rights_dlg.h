// CUsrRightsDlg: whether all users of the computer or only administrators may use the CD
// drives (the Winlogon values the settings object reads and writes).
#pragma once

#include "framework/ui.h"

class CUsrRightsDlg : public CDialog {
public:
    explicit CUsrRightsDlg(CWnd* pParent = nullptr);

    BOOL OnInitDialog() override;
    void OnOK() override;
};
