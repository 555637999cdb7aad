// The element skins of a COXSkin in one include: each is one painting interface of a skin,
// owned by its skin (or by a control as its Classic fallback), declared in its own file.
#pragma once

#include "toolkit/frames/skins/frame_skin.h"
#include "toolkit/frames/skins/menu_skin.h"
#include "toolkit/frames/skins/shortcutbar_skin.h"
#include "toolkit/frames/skins/statusbar_skin.h"
#include "toolkit/frames/skins/toolbar_skin.h"
