// Resource ids of the progress window.
#pragma once

#define IDD_PROGRESS 144
#define IDC_PROGRESS_STOP 1018
#define IDC_PROGRESS_FRAME 1020
#define IDC_PROGRESS_BAR 1022
#define IDC_PROGRESS_LIST 1088
