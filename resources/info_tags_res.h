// Resource ids of the CD information bar: its page icons and the tag page template.
#pragma once

#define IDI_CDINFO_PAGE 132
#define IDI_TRACKINFO_PAGE 133
#define IDD_TAGS_HOST 154

#define IDC_TAGS_HOST_GRID 1050
