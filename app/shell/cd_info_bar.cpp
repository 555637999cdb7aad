// The CD information bar: its two tag pages in the tab container, the records they show and the
// relay of edited titles to the view.
#include "app/shell/cd_info_bar.h"

#include "catalogue/model/cd_info.h"
#include "foundation/i18n/i18n.h"
#include "resources/info_tags_res.h"

IMPLEMENT_DYNAMIC(CCDInfoDlgBar, COXSizeControlBar)

BEGIN_MESSAGE_MAP(CCDInfoDlgBar, COXSizeControlBar)
ON_WM_CREATE()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

namespace
{
CString CDPageTitle()
{
    return I18NString("ccdinfodlgbar.const.cdinfo", "CD Info");
}

CString TrackPageTitle()
{
    return I18NString("ccdinfodlgbar.const.trackinfo", "Track Info");
}
} // namespace

CCDInfoDlgBar::CCDInfoDlgBar() : COXSizeControlBar(kSizeBarStyle) {}

CCDInfoDlgBar::~CCDInfoDlgBar() = default;

int CCDInfoDlgBar::OnCreate(LPCREATESTRUCT lpcs)
{
    if (COXSizeControlBar::OnCreate(lpcs) == -1)
        return -1;
    // The caption given at creation is the default of the title.
    I18NSetWindowText(this, "ccdinfodlgbar.title");
    const CString cdTitle = CDPageTitle();
    const CString trackTitle = TrackPageTitle();

    CRect rc;
    GetClientRect(&rc);
    if (!m_tabs.Create(WS_CHILD | WS_VISIBLE | TCS_BOTTOM | TCS_HOTTRACK | TCS_MULTILINE |
                           TCS_FOCUSNEVER,
                       rc, this, AFX_IDW_PANE_FIRST))
        return -1;

    m_images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 2);
    for (UINT id : {IDI_CDINFO_PAGE, IDI_TRACKINFO_PAGE}) {
        HICON hIcon = static_cast<HICON>(
            ::LoadImage(AfxGetResourceHandle(), MAKEINTRESOURCE(id), IMAGE_ICON, 16, 16, 0));
        m_images.Add(hIcon);
        ::DestroyIcon(hIcon);
    }
    m_tabs.SetImageList(&m_images);

    if (!m_cdPage.Create(&m_tabs) || !m_tabs.AddPage(&m_cdPage, cdTitle, 0, WS_EX_CLIENTEDGE, TRUE))
        return -1;
    if (!m_trackPage.Create(&m_tabs) ||
        !m_tabs.AddPage(&m_trackPage, trackTitle, 1, WS_EX_CLIENTEDGE, TRUE))
        return -1;
    m_tabs.SetActivePage(&m_cdPage);
    return 0;
}

void CCDInfoDlgBar::OnSizedOrDocked(int, int, BOOL, int)
{
    if (m_tabs.m_hWnd == nullptr)
        return;
    CRect rc;
    GetClientRect(&rc);
    m_tabs.MoveWindow(&rc, TRUE);
}

void CCDInfoDlgBar::SetCDInfo(CCDInfo* pInfo)
{
    if (pInfo != nullptr)
        pInfo->SetNotifyWindow(this);
    if (m_cdPage.m_hWnd != nullptr)
        m_cdPage.GetPropCtrl().SetPropertyHost(pInfo);
}

void CCDInfoDlgBar::SetTrack(CCDTrack* pTrack)
{
    if (pTrack == nullptr)
        pTrack = &m_placeholder;
    pTrack->SetNotifyWindow(this);
    if (m_trackPage.m_hWnd != nullptr)
        m_trackPage.GetPropCtrl().SetPropertyHost(pTrack);
}

void CCDInfoDlgBar::ActivateTrackPage()
{
    if (m_tabs.m_hWnd != nullptr)
        m_tabs.SetActivePage(&m_trackPage);
}

void CCDInfoDlgBar::Retranslate()
{
    I18NSetWindowText(this, "ccdinfodlgbar.title");
    if (m_tabs.m_hWnd == nullptr)
        return;
    m_tabs.SetPageTitle(0, CDPageTitle());
    m_tabs.SetPageTitle(1, TrackPageTitle());
}

BOOL CCDInfoDlgBar::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (wParam != ID_TAGS_CHANGED)
        return CWnd::OnCommand(wParam, lParam);
    // lParam above 0: a title was edited, which the grid shows.
    if (lParam > 0) {
        auto* pFrame = dynamic_cast<CFrameWnd*>(AfxGetMainWnd());
        if (CView* pView = pFrame != nullptr ? pFrame->GetActiveView() : nullptr)
            pView->PostMessage(WM_COMMAND, ID_TAGS_CHANGED, 0);
    }
    return TRUE;
}
