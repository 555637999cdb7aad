// Resource ids of the edit list: its mini toolbar, the toolbar's commands and the message of a
// refused duplicate (the toolkit's own block of ids).
#pragma once

#define IDR_OX_EDITLIST_TOOLBAR 26420
#define ID_OX_EDITLIST_NEW 26421
#define ID_OX_EDITLIST_DELETE 26422
#define ID_OX_EDITLIST_MOVEUP 26423
#define ID_OX_EDITLIST_MOVEDOWN 26424
#define IDS_OX_EDITLIST_DUPLICATE 26950
