// Resource ids of the freedb match chooser.
#pragma once

#define IDD_FREEDB_CHOOSE 135
#define IDB_FREEDB_LOGO 141

#define IDC_FREEDB_RECORDS 136
#define IDC_FREEDB_DETAILS 138
#define IDC_FREEDB_LOGO 139
#define IDC_FREEDB_DETAILS_GROUP 140
