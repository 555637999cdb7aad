// The file-browse edit over the masked edit.
#include "toolkit/controls/browse_edit/browse_edit.h"

CString COXBrowseFileEdit::GetPath(CString& sPath) const
{
    GetInputData(sPath);
    return sPath;
}

void COXBrowseFileEdit::SetPath(LPCTSTR lpszPath)
{
    EmptyData(TRUE);
    SetInputData(lpszPath, 0);
    SetCaretForward(0);
}
