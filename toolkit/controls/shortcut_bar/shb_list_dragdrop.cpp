// The shortcut-bar list: items moved or copied by OLE drag and drop, within a list, between
// lists and to other programs. A dragged item travels in the "Shortcut bar child window item"
// format (little-endian, packed):
//   text, NUL | DWORD item data | DWORD image count |
//   per image: DWORD kind (0) | DWORD list (0 normal, 1 small) | DWORD n | n bytes |
//   DWORD extra size m | m bytes of the owner's extra data
// and also as CF_TEXT.
#include "toolkit/controls/shortcut_bar/shb_list_ctrl.h"

#include <cstring>
#include <vector>

#include "framework/archive.h"

namespace {

constexpr int kMargin = 2;
constexpr int kScrollZone = 8; // pixels inside the top or bottom margin where a drag scrolls
constexpr DWORD kMaxImageRecords = 2;

void PutDword(std::vector<BYTE>& out, DWORD v)
{
    const BYTE* p = reinterpret_cast<const BYTE*>(&v);
    out.insert(out.end(), p, p + sizeof v);
}

// Reads the block from outside: every length is checked against what is left.
class BlockReader {
public:
    BlockReader(const BYTE* p, SIZE_T n) : m_p(p), m_left(n) {}
    bool Dword(DWORD& v)
    {
        if (m_left < sizeof v)
            return false;
        std::memcpy(&v, m_p, sizeof v);
        Skip(sizeof v);
        return true;
    }
    const BYTE* Bytes(SIZE_T n)
    {
        if (n > m_left)
            return nullptr;
        const BYTE* p = m_p;
        Skip(n);
        return p;
    }
    const char* Text()
    {
        const void* end = std::memchr(m_p, 0, m_left);
        if (end == nullptr)
            return nullptr;
        const char* text = reinterpret_cast<const char*>(m_p);
        Skip(static_cast<const BYTE*>(end) - m_p + 1);
        return text;
    }

private:
    void Skip(SIZE_T n) { m_p += n, m_left -= n; }
    const BYTE* m_p;
    SIZE_T m_left;
};

HGLOBAL GlobalCopy(const void* p, SIZE_T n)
{
    HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, n);
    if (h == nullptr)
        AfxThrowMemoryException();
    std::memcpy(::GlobalLock(h), p, n);
    ::GlobalUnlock(h);
    return h;
}

CImageList* ListOfKind(HWND hList, int nKind)
{
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
        ::SendMessage(hList, LVM_GETIMAGELIST, nKind == 0 ? LVSIL_NORMAL : LVSIL_SMALL, 0)));
}

} // namespace

// ---- Image serialisation ----

BYTE* COXSHBListCtrl::SerializeImage(CImageList* pImageList, int nImage, DWORD& dwSize)
{
    dwSize = 0;
    if (pImageList == nullptr || nImage < 0 || nImage >= pImageList->GetImageCount())
        return nullptr;
    int cx = 0, cy = 0;
    ImageList_GetIconSize(pImageList->m_hImageList, &cx, &cy);
    HICON hIcon = pImageList->ExtractIcon(nImage);
    if (hIcon == nullptr)
        return nullptr;
    // 32-bit colour: a list of the default depth would lose the image's colours on the way.
    CImageList single;
    const bool made = single.Create(cx, cy, ILC_MASK | ILC_COLOR32, 1, 0) && single.Add(hIcon) == 0;
    ::DestroyIcon(hIcon);
    if (!made)
        return nullptr;
    CMemFile file(1024);
    {
        CArchive ar(&file, CArchive::store, 4096);
        if (!single.Write(&ar))
            return nullptr;
        ar.Close();
    }
    dwSize = static_cast<DWORD>(file.GetLength());
    BYTE* pData = new BYTE[dwSize];
    file.SeekToBegin();
    file.Read(pData, dwSize);
    return pData;
}

int COXSHBListCtrl::DeserializeImage(CImageList** ppImageList, const BYTE* pData, DWORD dwSize)
{
    if (ppImageList == nullptr || pData == nullptr || dwSize == 0)
        return -1;
    CImageList read;
    {
        CMemFile file(const_cast<BYTE*>(pData), dwSize);
        CArchive ar(&file, CArchive::load, 4096);
        if (!read.Read(&ar))
            return -1;
        ar.Abort();
    }
    HICON hIcon = read.ExtractIcon(0);
    if (hIcon == nullptr)
        return -1;
    if (*ppImageList == nullptr) {
        int cx = 0, cy = 0;
        ImageList_GetIconSize(read.m_hImageList, &cx, &cy);
        auto pNew = std::make_unique<CImageList>();
        if (!pNew->Create(cx, cy, ILC_MASK | ILC_COLOR32, 1, 0)) {
            ::DestroyIcon(hIcon);
            return -1;
        }
        *ppImageList = pNew.release();
    }
    const int index = (*ppImageList)->Add(hIcon);
    ::DestroyIcon(hIcon);
    return index;
}

// ---- Drag source ----

COleDropSource* COXSHBListCtrl::GetDropSource()
{
    SHB_NOTIFYHDR nm = Notify(SHBN_GETDROPSOURCE, -1);
    if (SendSHBNotification(&nm) != 0 && nm.lParam != 0)
        return reinterpret_cast<COleDropSource*>(nm.lParam);
    m_dropSource.m_pOwner = this;
    return &m_dropSource;
}

COleDropTarget* COXSHBListCtrl::GetDropTarget()
{
    SHB_NOTIFYHDR nm = Notify(SHBN_GETDROPTARGET, -1);
    if (SendSHBNotification(&nm) != 0 && nm.lParam != 0)
        return reinterpret_cast<COleDropTarget*>(nm.lParam);
    return &m_dropTarget;
}

HGLOBAL COXSHBListCtrl::BuildDragBlock(int nItem)
{
    const CString text = GetItemText(nItem, 0);
    std::vector<BYTE> block(static_cast<LPCTSTR>(text), static_cast<LPCTSTR>(text) + text.GetLength() + 1);
    // The format keeps 4 bytes of item data; a drop into the same list takes the whole value
    // from the source item instead.
    PutDword(block, static_cast<DWORD>(GetItemData(nItem)));

    const int nImage = GetItemImage(nItem);
    CImageList* pView = ViewImageList();
    DWORD count = 0;
    std::vector<BYTE> records;
    if (pView != nullptr && nImage >= 0 && nImage < pView->GetImageCount()) {
        for (int kind = 0; kind < 2; ++kind) {
            DWORD size = 0;
            std::unique_ptr<BYTE[]> bytes(SerializeImage(ListOfKind(m_hWnd, kind), nImage, size));
            if (bytes == nullptr)
                continue;
            PutDword(records, 0);
            PutDword(records, static_cast<DWORD>(kind));
            PutDword(records, size);
            records.insert(records.end(), bytes.get(), bytes.get() + size);
            ++count;
        }
    }
    PutDword(block, count);
    block.insert(block.end(), records.begin(), records.end());

    SHB_EXTRADRAGDATA extra{};
    SHB_NOTIFYHDR nm = Notify(SHBN_GETEXTRADRAGDATA, nItem, reinterpret_cast<LPARAM>(&extra));
    SendSHBNotification(&nm);
    const DWORD extraSize = extra.pData != nullptr ? extra.dwDataSize : 0;
    PutDword(block, extraSize);
    const BYTE* pExtra = static_cast<const BYTE*>(extra.pData);
    block.insert(block.end(), pExtra, pExtra + extraSize);
    return GlobalCopy(block.data(), block.size());
}

void COXSHBListCtrl::BeginDragItem(int nItem)
{
    if (nItem == -1 || Rects(nItem) == nullptr) {
        m_nDragItem = -1;
        return;
    }
    m_nDragItem = nItem;
    SHB_NOTIFYHDR nm =
        Notify(SHBN_BEGINDRAGITEM, nItem, reinterpret_cast<LPARAM>(&m_ptDragHotSpot));
    SendSHBNotification(&nm);

    auto pSource = std::make_unique<COleDataSource>();
    const CString text = GetItemText(nItem, 0);
    pSource->CacheGlobalData(CF_TEXT, GlobalCopy(static_cast<LPCTSTR>(text), text.GetLength() + 1));
    pSource->CacheGlobalData(SHBItemClipFormat(), BuildDragBlock(nItem));
    PostMessage(SHBM_STARTDRAGDROP, static_cast<WPARAM>(nItem),
                reinterpret_cast<LPARAM>(pSource.release()));
}

LRESULT COXSHBListCtrl::OnStartDragDrop(WPARAM wParam, LPARAM lParam)
{
    StartDragDrop(static_cast<int>(wParam), reinterpret_cast<COleDataSource*>(lParam));
    return 0;
}

void COXSHBListCtrl::StartDragDrop(int nItem, COleDataSource* pDataSource)
{
    std::unique_ptr<COleDataSource> source(pDataSource);
    SHB_NOTIFYHDR nm = Notify(SHBN_BEGINDRAGDROPITEM, nItem, reinterpret_cast<LPARAM>(pDataSource));
    if (SendSHBNotification(&nm) != 0 || Rects(nItem) == nullptr) {
        BeginDragItem(-1);
        return;
    }
    SelectItem(-1);
    RedrawItem(nItem);
    COleDropSource* pDropSource = GetDropSource();
    m_bDragSource = TRUE;
    if ((GetBarStyle() & SHB_STYLE_ITEMDRAGIMAGE) != 0) {
        m_pDragImage.reset(CreateDragImage(nItem, nullptr));
        if (m_pDragImage != nullptr)
            m_pDragImage->BeginDrag(0, m_ptDragHotSpot);
    }

    const DROPEFFECT effect =
        source->DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE, nullptr, pDropSource);

    const bool intoItself = m_nInsertPos != -1;
    if (effect == DROPEFFECT_MOVE) {
        int old = m_nDragItem;
        if (intoItself && m_nInsertPos <= old)
            ++old;
        DeleteItem(old);
    }
    m_nInsertPos = -1;
    m_bDragSource = FALSE;
    if (m_pDragImage != nullptr) {
        CImageList::DragLeave(nullptr);
        CImageList::EndDrag();
        m_pDragImage.reset();
    }
    m_nDragItem = -1;
    source.reset();

    if (effect == DROPEFFECT_MOVE || (effect == DROPEFFECT_COPY && intoItself))
        Invalidate(FALSE);
    CPoint cursor;
    ::GetCursorPos(&cursor);
    ScreenToClient(&cursor);
    WPARAM keys = 0;
    if (::GetKeyState(VK_SHIFT) < 0)
        keys |= MK_SHIFT;
    if (::GetKeyState(VK_CONTROL) < 0)
        keys |= MK_CONTROL;
    SendMessage(WM_LBUTTONUP, keys, MAKELPARAM(cursor.x, cursor.y));
    SHB_NOTIFYHDR done = Notify(SHBN_ENDDRAGDROPITEM, nItem, static_cast<LPARAM>(effect));
    SendSHBNotification(&done);
}

CImageList* COXSHBListCtrl::CreateDragImage(int nItem, LPPOINT lpHotSpot)
{
    const ItemRects* r = Rects(nItem);
    if (r == nullptr)
        return nullptr;
    CRect both;
    both.UnionRect(&r->image, &r->text);
    const CRect bound = ClientBound(nItem);
    if (both.IsRectEmpty())
        return nullptr;
    CClientDC dc(this);
    CDC itemDC, partDC;
    CBitmap itemBitmap, partBitmap;
    if (!itemDC.CreateCompatibleDC(&dc) || !partDC.CreateCompatibleDC(&dc) ||
        !itemBitmap.CreateCompatibleBitmap(&dc, bound.Width(), bound.Height()) ||
        !partBitmap.CreateCompatibleBitmap(&dc, both.Width(), both.Height()))
        return nullptr;
    CBitmap* pOldItem = itemDC.SelectObject(&itemBitmap);
    m_bCreatingDragImage = TRUE;
    DrawWholeItem(&itemDC, nItem, bound);
    m_bCreatingDragImage = FALSE;
    CBitmap* pOldPart = partDC.SelectObject(&partBitmap);
    partDC.BitBlt(0, 0, both.Width(), both.Height(), &itemDC, both.left, both.top, SRCCOPY);
    partDC.SelectObject(pOldPart);
    itemDC.SelectObject(pOldItem);

    auto pList = std::make_unique<CImageList>();
    if (!pList->Create(both.Width(), both.Height(), ILC_MASK | ILC_COLOR32, 0, 1) ||
        pList->Add(&partBitmap, GetBkColor()) == -1)
        return nullptr;
    if (lpHotSpot != nullptr)
        *lpHotSpot = CPoint(bound.left + both.left, bound.top + both.top);
    return pList.release();
}

// ---- Drop target ----

int COXSHBListCtrl::DropPosition(CPoint point, DROPEFFECT& effect) const
{
    const int count = static_cast<int>(m_mapRects.size());
    const CPoint p = point + m_ptOrigin;
    if (count == 0 || p.y < Rects(0)->bound.top)
        return 0;
    if (p.y >= Rects(count - 1)->bound.bottom)
        return count;
    for (int i = 0; i < count; ++i) {
        const CRect& b = Rects(i)->bound;
        if (p.y >= b.top && p.y < b.bottom) {
            effect = DROPEFFECT_NONE;
            return -1;
        }
        if (b.top >= p.y)
            return i;
    }
    return count;
}

CRect COXSHBListCtrl::InsertMarkRect(int nPosition) const
{
    const int count = static_cast<int>(m_mapRects.size());
    CRect client;
    GetClientRect(&client);
    if (nPosition < 0 || nPosition > count)
        return CRect(0, 0, 0, 0);
    if (nPosition == 0) {
        const int top = kMargin - m_ptOrigin.y;
        return CRect(client.left, top, client.right, top + 10);
    }
    if (nPosition == count) {
        const int bottom = Rects(count - 1)->bound.bottom + 2 - m_ptOrigin.y;
        return CRect(client.left, bottom - 10, client.right, bottom);
    }
    const int centre =
        (Rects(nPosition - 1)->bound.bottom + Rects(nPosition)->bound.top) / 2 - m_ptOrigin.y;
    return CRect(client.left, centre - 7, client.right, centre + 8);
}

void COXSHBListCtrl::RedrawInsertMark(int nPosition)
{
    CRect band = InsertMarkRect(nPosition);
    if (!band.IsRectEmpty())
        InvalidateRect(&band, FALSE);
}

void COXSHBListCtrl::DrawInsertMark(CDC* pDC)
{
    const int count = static_cast<int>(m_mapRects.size());
    if (m_nInsertPos < 0 || m_nInsertPos > count)
        return;
    const CRect band = InsertMarkRect(m_nInsertPos);
    const COLORREF clr = AreColorsSimilar(GetBkColor(), RGB(0, 0, 0), 64) ? RGB(255, 255, 255)
                                                                           : RGB(0, 0, 0);
    CPen pen(PS_SOLID, 1, clr);
    CBrush brush(clr);
    CPen* pOldPen = pDC->SelectObject(&pen);
    CBrush* pOldBrush = pDC->SelectObject(&brush);
    const int l = band.left, r = band.right - 1;
    if (m_nInsertPos == 0) {
        const int y = band.top;
        pDC->MoveTo(l, y);
        pDC->LineTo(r + 1, y);
        const POINT left[] = {{l, y}, {l + 4, y}, {l, y + 9}};
        const POINT right[] = {{r, y}, {r - 4, y}, {r, y + 9}};
        pDC->Polygon(left, 3);
        pDC->Polygon(right, 3);
    } else if (m_nInsertPos == count) {
        const int y = band.bottom - 1;
        pDC->MoveTo(l, y);
        pDC->LineTo(r + 1, y);
        const POINT left[] = {{l, y}, {l + 4, y}, {l, y - 9}};
        const POINT right[] = {{r, y}, {r - 4, y}, {r, y - 9}};
        pDC->Polygon(left, 3);
        pDC->Polygon(right, 3);
    } else {
        const int y = band.top + 7;
        pDC->MoveTo(l, y);
        pDC->LineTo(r + 1, y);
        const POINT left[] = {{l, y - 7}, {l + 6, y}, {l, y + 7}};
        const POINT right[] = {{r, y - 7}, {r - 6, y}, {r, y + 7}};
        pDC->Polygon(left, 3);
        pDC->Polygon(right, 3);
    }
    pDC->SelectObject(pOldBrush);
    pDC->SelectObject(pOldPen);
}

LRESULT COXSHBListCtrl::OnDragEnter(WPARAM wParam, LPARAM lParam)
{
    if ((GetBarStyle() & SHB_STYLE_NODROP) != 0)
        return 0;
    auto* pAction = reinterpret_cast<SHBDROPTARGETACTION*>(lParam);
    m_bDragOver = TRUE;
    SetHotItem(-1);
    SHB_NOTIFYHDR nm = Notify(SHBN_DRAGENTER, -1, lParam);
    if (SendSHBNotification(&nm) != 0)
        return 1;
    if (m_bDragSource && m_pDragImage != nullptr) {
        CPoint screen = pAction->point;
        ClientToScreen(&screen);
        CImageList::DragEnter(nullptr, screen);
    }
    return OnDragOver(wParam, lParam);
}

LRESULT COXSHBListCtrl::OnDragOver(WPARAM, LPARAM lParam)
{
    if ((GetBarStyle() & SHB_STYLE_NODROP) != 0)
        return 0;
    auto* pAction = reinterpret_cast<SHBDROPTARGETACTION*>(lParam);
    SHB_NOTIFYHDR nm = Notify(SHBN_DRAGOVER, -1, lParam);
    if (SendSHBNotification(&nm) != 0)
        return 1;
    const CPoint point = pAction->point;
    if (m_bDragSource && m_pDragImage != nullptr) {
        CPoint screen = point;
        ClientToScreen(&screen);
        CImageList::DragMove(screen);
    }
    DROPEFFECT effect = DROPEFFECT_NONE;
    int position = -1;
    if (pAction->pDataObject != nullptr &&
        pAction->pDataObject->IsDataAvailable(SHBItemClipFormat())) {
        effect = (pAction->dwKeyState & MK_CONTROL) != 0 ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
        position = DropPosition(point, effect);
    }
    pAction->result = effect;

    CRect client;
    GetClientRect(&client);
    if (point.y < client.top + kMargin + kScrollZone && !m_rectTopScroll.IsRectEmpty()) {
        if (!m_bScrollingUp)
            StartScrolling(TRUE, TRUE);
    } else if (point.y >= client.bottom - kMargin - kScrollZone &&
               !m_rectBottomScroll.IsRectEmpty()) {
        if (!m_bScrollingDown)
            StartScrolling(FALSE, TRUE);
    } else if (m_bAutoScrolling) {
        StopScrolling();
    }

    if (position != m_nInsertPos) {
        const bool image = m_bDragSource && m_pDragImage != nullptr;
        if (image)
            CImageList::DragShowNolock(FALSE);
        RedrawInsertMark(m_nInsertPos);
        m_nInsertPos = position;
        RedrawInsertMark(m_nInsertPos);
        UpdateWindow();
        if (image)
            CImageList::DragShowNolock(TRUE);
    }
    return 1;
}

LRESULT COXSHBListCtrl::OnDragLeave(WPARAM, LPARAM lParam)
{
    if ((GetBarStyle() & SHB_STYLE_NODROP) != 0)
        return 0;
    SHB_NOTIFYHDR nm = Notify(SHBN_DRAGLEAVE, -1, lParam);
    if (SendSHBNotification(&nm) == 0) {
        if (m_bDragSource && m_pDragImage != nullptr)
            CImageList::DragLeave(nullptr);
        const int old = m_nInsertPos;
        m_nInsertPos = -1;
        RedrawInsertMark(old);
        if (m_bAutoScrolling)
            StopScrolling();
    }
    m_bDragOver = FALSE;
    return 1;
}

LRESULT COXSHBListCtrl::OnDrop(WPARAM, LPARAM lParam)
{
    if ((GetBarStyle() & SHB_STYLE_NODROP) != 0)
        return 0;
    auto* pAction = reinterpret_cast<SHBDROPTARGETACTION*>(lParam);
    SHB_NOTIFYHDR nm = Notify(SHBN_DROP, -1, lParam);
    if (SendSHBNotification(&nm) != 0)
        return 1;
    m_bDragOver = FALSE;
    if (m_bAutoScrolling)
        StopScrolling();
    BOOL dropped = FALSE;
    if ((pAction->dropEffect & (DROPEFFECT_COPY | DROPEFFECT_MOVE)) != 0 && m_nInsertPos != -1 &&
        pAction->pDataObject != nullptr) {
        HGLOBAL h = pAction->pDataObject->GetGlobalData(SHBItemClipFormat());
        if (h != nullptr) {
            const BYTE* p = static_cast<const BYTE*>(::GlobalLock(h));
            dropped = p != nullptr && ReadDragBlock(p, ::GlobalSize(h), m_nInsertPos);
            ::GlobalUnlock(h);
            ::GlobalFree(h);
        }
    }
    pAction->result = dropped ? TRUE : FALSE;
    if (!m_bDragSource) {
        const int old = m_nInsertPos;
        m_nInsertPos = -1;
        RedrawInsertMark(old);
        Invalidate(FALSE);
        SHB_NOTIFYHDR done = Notify(SHBN_ENDDRAGDROPITEM, -1,
                                    dropped ? static_cast<LPARAM>(pAction->dropEffect) : 0);
        SendSHBNotification(&done);
    } else if (!dropped) {
        // Nothing arrived: the source must not count this as a drop into itself.
        const int old = m_nInsertPos;
        m_nInsertPos = -1;
        RedrawInsertMark(old);
    }
    return 1;
}

BOOL COXSHBListCtrl::ReadDragBlock(const BYTE* pData, SIZE_T cbData, int nPosition)
{
    BlockReader in(pData, cbData);
    const char* text = in.Text();
    DWORD data = 0, count = 0;
    if (text == nullptr || !in.Dword(data) || !in.Dword(count) || count > kMaxImageRecords)
        return FALSE;
    int nImage = -1;
    for (DWORD i = 0; i < count; ++i) {
        DWORD kind = 0, list = 0, size = 0;
        if (!in.Dword(kind) || !in.Dword(list) || !in.Dword(size))
            return FALSE;
        const BYTE* bytes = in.Bytes(size);
        if (bytes == nullptr)
            return FALSE;
        if (kind != 0 || list > 1)
            continue;
        CImageList* pList = ListOfKind(m_hWnd, static_cast<int>(list));
        const int index = DeserializeImage(&pList, bytes, size);
        if (index == -1)
            continue;
        if (ListOfKind(m_hWnd, static_cast<int>(list)) == nullptr) {
            // A list without images of this kind gets its own, made to the image's size.
            auto& own = list == 0 ? m_pOwnImageList : m_pOwnSmallImageList;
            own.reset(pList);
            SetImageList(own.get(), list == 0 ? LVSIL_NORMAL : LVSIL_SMALL);
        }
        nImage = index;
    }
    DWORD extraSize = 0;
    if (!in.Dword(extraSize))
        return FALSE;
    const BYTE* extra = in.Bytes(extraSize);
    if (extra == nullptr)
        return FALSE;

    LVITEM item{};
    item.mask = LVIF_TEXT;
    item.iItem = nPosition;
    item.pszText = const_cast<LPSTR>(text);
    if (nImage != -1) {
        item.mask |= LVIF_IMAGE;
        item.iImage = nImage;
    }
    if (m_bDragSource && m_nDragItem != -1) {
        item.mask |= LVIF_PARAM;
        item.lParam = static_cast<LPARAM>(GetItemData(m_nDragItem));
    }
    const int inserted = InsertItem(&item);
    if (inserted == -1)
        return FALSE;
    if (extraSize != 0) {
        SHB_EXTRADRAGDATA arrived{extraSize, const_cast<BYTE*>(extra)};
        SHB_NOTIFYHDR nm =
            Notify(SHBN_SETEXTRADRAGDATA, nPosition, reinterpret_cast<LPARAM>(&arrived));
        SendSHBNotification(&nm);
    }
    return TRUE;
}
