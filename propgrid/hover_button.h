// The small pieces the grid draws with: the hover "..." button, the numbered context menu,
// and the built-in 32-bit images with their blit operations.
// Classes here: CHoverButton, EXMenu; DrawDibImage, DrawDibImageAt, DrawDibImagePart.
#pragma once

#include <cstdint>

#include "framework/ui.h"

// A built-in image record: width, height, then width x height pixels of 32 bits (blue in the
// low byte, then green, red and a zero byte), rows stored top row first.
struct EDibImage {
    int32_t width;
    int32_t height;
    uint32_t pixels[1]; // width * height of them
};

enum class EBuiltinImage {
    DotsButton,
    CheckOnEnabled,
    CheckOffEnabled,
    CheckOnDisabled,
    CheckOffDisabled
};

// The record of a built-in image (from the program's resources), or null when missing.
const EDibImage* GetBuiltinImage(EBuiltinImage which);

// With width and height both -1, pImage is an EDibImage record; otherwise it points at the
// pixels and width and height describe them. Upright drawing shows top-first rows upright.
void DrawDibImage(CDC* pDC, const void* pImage, int width, int height, bool bUpright);
void DrawDibImageAt(CDC* pDC, const void* pImage, int width, int height, const RECT* pDest,
                    bool bUpright);
void DrawDibImagePart(CDC* pDC, const void* pImage, int width, int height, const RECT& rcSource,
                      const RECT& rcDest);

// The owner-drawn "..." button: normal, hover and pressed faces from a three-frame strip.
class CHoverButton : public CBitmapButton {
public:
    CHoverButton() = default;
    void SetImage(const EDibImage* pImage) { m_pImage = pImage; }
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    bool IsHovering() const { return m_bHovering; }
    // The frame DrawItem shows last: 0 normal, 1 hover, 2 pressed.
    int GetLastFrame() const { return m_nLastFrame; }

protected:
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnMouseHover(UINT nFlags, CPoint point);
    void OnMouseLeave();
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }

    const EDibImage* m_pImage = nullptr;
    bool m_bHovering = false;
    bool m_bTracking = false;
    int m_nLastFrame = -1;

    DECLARE_MESSAGE_MAP()
};

// A popup menu whose items are numbered from a base command id.
class EXMenu : public CMenu {
public:
    EXMenu() = default;
    void SetBaseId(int nBaseId) { m_nBaseId = nBaseId; }
    int GetBaseId() const { return m_nBaseId; }
    void AppendItem(const CString& sText, UINT nCommandId, bool bMark);
    void AppendIndexedItem(const CString& sText, int nIndex, bool bMark)
    {
        AppendItem(sText, static_cast<UINT>(m_nBaseId + nIndex), bMark);
    }

private:
    int m_nBaseId = -1;
};
