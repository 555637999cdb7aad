// Resource ids of the sizable control bar: its block of the toolkit's string table.
#pragma once

#define IDS_OX_DRAGDOCKHINT 26430     // "Press Ctrl to prevent docking\n"
#define ID_OX_ALLOWDOCKING 26431      // "Allow docking" (command and text)
#define ID_OX_HIDEBAR 26432           // "Hide"
#define ID_OX_FLOATASMDI 26433        // "Float as MDI Window"
#define IDS_OX_DOCKMDICHILD 26965      // "Dock window"
