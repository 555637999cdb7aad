// Resource ids of the drop and browse edits: the caption of the file-browse edit.
#pragma once

#define IDS_OX_BROWSEDIRCAPTION 26582
