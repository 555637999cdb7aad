// The abstract element skins that this folder does not paint with yet: each is one painting
// interface of a COXSkin, owned by its skin (or by a control as its Classic fallback).
// Classes here: COXMenuSkin. (The toolbar, status-bar, frame and shortcut-bar skins have
// their own files.)
#pragma once

#include "toolkit/frames/skins/frame_skin.h"
#include "toolkit/frames/skins/shortcutbar_skin.h"
#include "toolkit/frames/skins/statusbar_skin.h"
#include "toolkit/frames/skins/toolbar_skin.h"

class COXMenuSkin
{
public:
    virtual ~COXMenuSkin() = default;
};


