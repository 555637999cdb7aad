// String ids of the shortcut bar and its lists: one string-table block (26832-26847).
#pragma once

#define IDS_OX_SHB_LARGEICONS 26840
#define IDS_OX_SHB_SMALLICONS 26841
#define IDS_OX_SHB_ADDNEWGROUP 26842
#define IDS_OX_SHB_REMOVEGROUP 26843
#define IDS_OX_SHB_RENAMEGROUP 26844
#define IDS_OX_SHB_REMOVEITEM 26845
#define IDS_OX_SHB_RENAMEITEM 26846
