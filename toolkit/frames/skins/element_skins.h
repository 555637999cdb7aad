// The abstract element skins that this folder does not paint with yet: each is one painting
// interface of a COXSkin, owned by its skin (or by a control as its Classic fallback).
// Classes here: COXToolbarSkin, COXMenuSkin, COXShortcutBarSkin, COXMiniFrameSkin,
// COXStatusbarSkin, COXFrameSkin.
#pragma once

class COXToolbarSkin
{
public:
    virtual ~COXToolbarSkin() = default;
};

class COXMenuSkin
{
public:
    virtual ~COXMenuSkin() = default;
};

class COXShortcutBarSkin
{
public:
    virtual ~COXShortcutBarSkin() = default;
};

class COXMiniFrameSkin
{
public:
    virtual ~COXMiniFrameSkin() = default;
};

class COXStatusbarSkin
{
public:
    virtual ~COXStatusbarSkin() = default;
};

class COXFrameSkin
{
public:
    virtual ~COXFrameSkin() = default;
};
