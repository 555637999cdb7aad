// Ids of the document/view test program's resources.
#pragma once

#define IDR_TESTDOC 300
#define IDD_TESTFORM 301
#define IDC_TESTEDIT 1001
#define IDC_TESTBUTTON 1002

#define ID_TEST_VIEWCMD 0x7001
#define ID_TEST_DOCCMD 0x7002
#define ID_TEST_FRAMECMD 0x7003
#define ID_TEST_APPCMD 0x7004
#define ID_TEST_SHAREDCMD 0x7005
#define ID_TEST_NOHANDLER 0x7006
