// Resource ids of the shell folder tree (the toolkit's block of the string table).
#pragma once

#define IDS_OX_SHELLTREE_DESKTOP 27003
