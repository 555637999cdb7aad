// The hover button, the numbered popup menu and the built-in images with their blits.
#include "propgrid/hover_button.h"

#include "propgrid/propgrid_res.h"

const EDibImage* GetBuiltinImage(EBuiltinImage which)
{
    static const int ids[] = {IDR_PG_DOTS_BUTTON, IDR_PG_CHECK_ON, IDR_PG_CHECK_OFF,
                              IDR_PG_CHECK_ON_DISABLED, IDR_PG_CHECK_OFF_DISABLED};
    int id = ids[static_cast<int>(which)];
    HRSRC res = ::FindResource(AfxGetResourceHandle(), MAKEINTRESOURCE(id), RT_RCDATA);
    if (res == nullptr)
        return nullptr;
    HGLOBAL data = ::LoadResource(AfxGetResourceHandle(), res);
    DWORD size = ::SizeofResource(AfxGetResourceHandle(), res);
    auto* image = static_cast<const EDibImage*>(::LockResource(data));
    // A record must hold the pixels its header announces.
    if (image == nullptr || size < 8 || image->width <= 0 || image->height <= 0 ||
        (size - 8) / 4 / static_cast<DWORD>(image->width) < static_cast<DWORD>(image->height))
        return nullptr;
    return image;
}

namespace {

struct DibSource {
    const void* pixels;
    int width;
    int height;
};

DibSource Resolve(const void* pImage, int width, int height)
{
    if (width == -1 && height == -1) {
        auto* record = static_cast<const EDibImage*>(pImage);
        return {record->pixels, record->width, record->height};
    }
    return {pImage, width, height};
}

void Blit(CDC* pDC, const DibSource& src, int dx, int dy, int dw, int dh, int sx, int sy, int sw,
          int sh)
{
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = 40;
    bi.bmiHeader.biWidth = src.width;
    bi.bmiHeader.biHeight = src.height; // positive: bottom-up
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    bi.bmiHeader.biXPelsPerMeter = 1;
    bi.bmiHeader.biYPelsPerMeter = 1;
    ::StretchDIBits(pDC->m_hDC, dx, dy, dw, dh, sx, sy, sw, sh, src.pixels, &bi, DIB_RGB_COLORS,
                    SRCCOPY);
}

} // namespace

void DrawDibImage(CDC* pDC, const void* pImage, int width, int height, bool bUpright)
{
    DrawDibImageAt(pDC, pImage, width, height, nullptr, bUpright);
}

void DrawDibImageAt(CDC* pDC, const void* pImage, int width, int height, const RECT* pDest,
                    bool bUpright)
{
    if (pImage == nullptr)
        return;
    DibSource src = Resolve(pImage, width, height);
    CRect dest = pDest != nullptr ? CRect(*pDest) : CRect(0, 0, src.width, src.height);
    // The rows are stored top first but described bottom-up: a negative source height mirrors
    // them back upright.
    if (bUpright)
        Blit(pDC, src, dest.left, dest.top, dest.Width(), dest.Height(), 0, src.height + 1,
             src.width, -src.height);
    else
        Blit(pDC, src, dest.left, dest.top, dest.Width(), dest.Height(), 0, 0, src.width,
             src.height);
}

void DrawDibImagePart(CDC* pDC, const void* pImage, int width, int height, const RECT& rcSource,
                      const RECT& rcDest)
{
    if (pImage == nullptr)
        return;
    DibSource src = Resolve(pImage, width, height);
    Blit(pDC, src, rcDest.left, rcDest.top, rcDest.right - rcDest.left,
         rcDest.bottom - rcDest.top, rcSource.left, rcSource.bottom + 1,
         rcSource.right - rcSource.left, rcSource.top - rcSource.bottom);
}

BEGIN_MESSAGE_MAP(CHoverButton, CBitmapButton)
ON_WM_MOUSEMOVE()
ON_WM_MOUSEHOVER()
ON_WM_MOUSELEAVE()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

void CHoverButton::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!m_bTracking) {
        TRACKMOUSEEVENT tme{};
        tme.cbSize = sizeof(tme);
        tme.dwFlags = TME_HOVER | TME_LEAVE;
        tme.hwndTrack = m_hWnd;
        tme.dwHoverTime = 1;
        m_bTracking = ::TrackMouseEvent(&tme) != FALSE;
    }
    Default();
}

void CHoverButton::OnMouseHover(UINT, CPoint)
{
    m_bHovering = true;
    Invalidate();
}

void CHoverButton::OnMouseLeave()
{
    m_bTracking = false;
    m_bHovering = false;
    Invalidate();
}

void CHoverButton::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    int saved = pDC->SaveDC();
    int frame = (lpDIS->itemState & ODS_SELECTED) ? 2 : (m_bHovering ? 1 : 0);
    m_nLastFrame = frame;
    if (m_pImage != nullptr) {
        int fw = m_pImage->width / 3;
        int fh = m_pImage->height;
        CRect source(fw * frame, 0, fw * (frame + 1), fh);
        CRect dest(0, 0, fw, fh);
        DrawDibImagePart(pDC, m_pImage, -1, -1, source, dest);
    }
    pDC->SetBkMode(TRANSPARENT);
    CRect rc;
    GetClientRect(&rc);
    pDC->DrawText("...", -1, &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    pDC->RestoreDC(saved);
}

void EXMenu::AppendItem(const CString& sText, UINT nCommandId, bool bMark)
{
    AppendMenu(MF_STRING | (bMark ? MF_CHECKED : 0), nCommandId, sText);
}
