// Views of a document inside a frame. Classes here: CView, CFormView.
#pragma once

#include "framework/frame.h"
#include "framework/wnd.h"

class CDocument;

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
public:
    // Leaves its document (which may close itself when this was its last view).
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }

    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr) override;
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void PostNcDestroy() override { delete this; }
    // The view's own map, then its document's.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    // The first update after the document was opened: OnUpdate with no hint.
    virtual void OnInitialUpdate();
    // The document changed; the default repaints the view.
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
    virtual void OnDraw(CDC* pDC) = 0;
    virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);

protected:
    CView() = default;
    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDestroy();
    void OnPaint();
    LRESULT OnInitialUpdateMessage(WPARAM, LPARAM);

    CDocument* m_pDocument = nullptr;
    CCreateContext* m_pCreateContext = nullptr; // only during Create

    friend class CDocument;
    DECLARE_MESSAGE_MAP()
};

// A view made from a dialog template (style WS_CHILD), its controls bound by DoDataExchange.
class CFormView : public CView {
    DECLARE_DYNAMIC(CFormView)
public:
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr) override;
    // UpdateData(FALSE), then the view's first update.
    void OnInitialUpdate() override;
    void OnDraw(CDC*) override {}
    // The frames' accelerators first, then the dialog keys of the form.
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    explicit CFormView(UINT nIDTemplate) : m_nIDTemplate(nIDTemplate) {}
    UINT m_nIDTemplate;
};
