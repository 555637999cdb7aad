// Resource ids of the options window.
#pragma once

#define IDD_CFGDLG 142
#define IDC_CFGDLG_HELP 1087
#define IDC_CFGDLG_GRID 7003
