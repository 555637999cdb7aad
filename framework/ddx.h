// Dialog data exchange of control values (the DDX_Control binding lives with CDataExchange).
// Functions here: DDX_Check, DDX_CBStringExact.
#pragma once

#include <windows.h>

#include "framework/strings.h"
#include "framework/wnd.h"

// A check box's state: 0 unchecked, 1 checked, 2 indeterminate.
void DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// A combo box's text. Loading selects the entry equal to the value (ignoring case) or, when
// none is, puts the value into the edit field; saving reads the edit field (the selected
// entry of a drop-down list).
void DDX_CBStringExact(CDataExchange* pDX, int nIDC, CString& value);
