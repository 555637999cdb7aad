// Ids of the toolbar and status-bar test resources.
#pragma once

#define IDR_TEST_TOOLBAR 128
#define IDB_TEST_IMAGES 147
#define IDB_TEST_DISABLED 149

#define ID_TEST_RIP 0x8001
#define ID_TEST_STOP 0x8002
#define ID_TEST_EJECT 0x8003
#define ID_TEST_PLAY 0x8004
#define ID_TEST_PANE 0x8010
