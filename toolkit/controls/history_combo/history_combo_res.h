// Resource ids of the history combo box: its toolbar and the toolbar's commands.
#pragma once

#define IDR_OX_HISTORY_COMBO_TOOLS 28022

#define ID_OX_HISTORY_COMBO_NEW 26391
#define ID_OX_HISTORY_COMBO_DELETE 26392
#define ID_OX_HISTORY_COMBO_BROWSE 26393
#define ID_OX_HISTORY_COMBO_RESERVED1 26394
#define ID_OX_HISTORY_COMBO_RESERVED2 26395
