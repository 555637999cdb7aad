// Members of the control wrappers that do more than one call.
// The image-list stream functions of commctrl.h are declared only once IStream is known.
#include <objidl.h>

#include "framework/controls.h"

#include "framework/archive.h"

#include "framework/handle_map.h"

IMPLEMENT_DYNAMIC(CEdit, CWnd)
IMPLEMENT_DYNAMIC(CButton, CWnd)
IMPLEMENT_DYNAMIC(CBitmapButton, CButton)
IMPLEMENT_DYNAMIC(CStatic, CWnd)
IMPLEMENT_DYNAMIC(CProgressCtrl, CWnd)
IMPLEMENT_DYNAMIC(CTabCtrl, CWnd)
IMPLEMENT_DYNAMIC(CSpinButtonCtrl, CWnd)

BOOL CButton::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message != WM_DRAWITEM)
        return CWnd::OnChildNotify(message, wParam, lParam, pResult);
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    if (pResult != nullptr)
        *pResult = TRUE;
    return TRUE;
}

BOOL CBitmapButton::LoadBitmaps(UINT nIDUp, UINT nIDDown, UINT nIDFocus, UINT nIDDisabled)
{
    m_bitmap.DeleteObject();
    m_bitmapSel.DeleteObject();
    m_bitmapFocus.DeleteObject();
    m_bitmapDisabled.DeleteObject();
    if (!m_bitmap.LoadBitmap(nIDUp))
        return FALSE;
    bool ok = true;
    if (nIDDown != 0)
        ok = m_bitmapSel.LoadBitmap(nIDDown) && ok;
    if (nIDFocus != 0)
        ok = m_bitmapFocus.LoadBitmap(nIDFocus) && ok;
    if (nIDDisabled != 0)
        ok = m_bitmapDisabled.LoadBitmap(nIDDisabled) && ok;
    return ok ? TRUE : FALSE;
}

void CBitmapButton::SizeToContent()
{
    BITMAP bm{};
    if (m_bitmap.GetSafeHandle() == nullptr || !m_bitmap.GetBitmap(&bm))
        return;
    SetWindowPos(nullptr, 0, 0, bm.bmWidth, bm.bmHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CBitmapButton::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    CBitmap* pBitmap = &m_bitmap;
    if ((lpDIS->itemState & ODS_SELECTED) && m_bitmapSel.GetSafeHandle())
        pBitmap = &m_bitmapSel;
    else if ((lpDIS->itemState & ODS_FOCUS) && m_bitmapFocus.GetSafeHandle())
        pBitmap = &m_bitmapFocus;
    else if ((lpDIS->itemState & ODS_DISABLED) && m_bitmapDisabled.GetSafeHandle())
        pBitmap = &m_bitmapDisabled;
    if (pBitmap->GetSafeHandle() == nullptr)
        return;
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    CDC memDC;
    memDC.CreateCompatibleDC(pDC);
    CBitmap* pOld = memDC.SelectObject(pBitmap);
    const RECT& r = lpDIS->rcItem;
    pDC->BitBlt(r.left, r.top, r.right - r.left, r.bottom - r.top, &memDC, 0, 0, SRCCOPY);
    memDC.SelectObject(pOld);
}

LONG CTabCtrl::InsertItem(UINT nMask, int nItem, LPCTSTR lpszItem, int nImage, LPARAM lParam)
{
    TCITEM item{};
    item.mask = nMask;
    item.pszText = const_cast<LPTSTR>(lpszItem);
    item.iImage = nImage;
    item.lParam = lParam;
    return static_cast<LONG>(SendMessage(TCM_INSERTITEM, nItem, reinterpret_cast<LPARAM>(&item)));
}

namespace {
void SetMenuHandle(CMenu& menu, HMENU h)
{
    menu.m_hMenu = h;
}
using MenuMap = CHandleMap<CMenu, HMENU, &SetMenuHandle>;
void SetImageListHandle(CImageList& list, HIMAGELIST h)
{
    list.m_hImageList = h;
}
using ImageListMap = CHandleMap<CImageList, HIMAGELIST, &SetImageListHandle>;
} // namespace

BOOL CImageList::Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask)
{
    return Attach(ImageList_LoadImage(AfxGetResourceHandle(), MAKEINTRESOURCE(nBitmapID), cx,
                                      nGrow, crMask, IMAGE_BITMAP, LR_CREATEDIBSECTION));
}

namespace {

// An IStream over an archive, for the common controls' image-list reader and writer: reads
// and writes go through the archive's buffer; nothing else is offered.
class CArchiveStream : public IStream {
public:
    explicit CArchiveStream(CArchive* pArchive) : m_pArchive(pArchive) {}
    virtual ~CArchiveStream() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_ISequentialStream || riid == IID_IStream) {
            *ppv = this;
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on the caller's stack: the counts are kept for COM's sake only.
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_nRef; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_nRef; }
    HRESULT STDMETHODCALLTYPE Read(void* pv, ULONG cb, ULONG* pcbRead) override
    {
        const UINT n = m_pArchive->Read(pv, cb);
        if (pcbRead != nullptr)
            *pcbRead = n;
        return n == cb ? S_OK : S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE Write(const void* pv, ULONG cb, ULONG* pcbWritten) override
    {
        m_pArchive->Write(pv, cb);
        if (pcbWritten != nullptr)
            *pcbWritten = cb;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER, DWORD, ULARGE_INTEGER*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*,
                                     ULARGE_INTEGER*) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override
    {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG*, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clone(IStream**) override { return E_NOTIMPL; }

private:
    CArchive* m_pArchive;
    ULONG m_nRef = 1;
};

} // namespace

BOOL CImageList::Read(CArchive* pArchive)
{
    ASSERT(pArchive != nullptr && pArchive->IsLoading());
    if (pArchive == nullptr || !pArchive->IsLoading() || m_hImageList != nullptr)
        return FALSE;
    CArchiveStream stream(pArchive);
    return Attach(ImageList_Read(&stream));
}

BOOL CImageList::Write(CArchive* pArchive)
{
    ASSERT(pArchive != nullptr && pArchive->IsStoring());
    if (pArchive == nullptr || !pArchive->IsStoring() || m_hImageList == nullptr)
        return FALSE;
    CArchiveStream stream(pArchive);
    return ImageList_Write(m_hImageList, &stream);
}

CImageList* CImageList::FromHandle(HIMAGELIST h)
{
    return AfxThreadMap<ImageListMap>().FromHandle(h);
}

void CImageList::DeleteTempMap()
{
    AfxThreadMap<ImageListMap>().DeleteTemp();
}

CMenu* CMenu::FromHandle(HMENU hMenu)
{
    return AfxThreadMap<MenuMap>().FromHandle(hMenu);
}

void CMenu::DeleteTempMap()
{
    AfxThreadMap<MenuMap>().DeleteTemp();
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const
{
    int n = ::GetMenuString(m_hMenu, nIDItem, nullptr, 0, nFlags);
    LPTSTR buf = rString.GetBufferSetLength(n);
    ::GetMenuString(m_hMenu, nIDItem, buf, n + 1, nFlags);
    rString.ReleaseBuffer();
    return n;
}
