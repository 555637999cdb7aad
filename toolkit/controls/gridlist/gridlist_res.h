// Resource ids of the grid list: the check-box state images (three 13 x 11 images).
#pragma once

#define IDB_OX_GRIDLIST_CHECKS 26400
