// CCDInfoDlgBar: the sizable side bar of the main window in which the user edits the album and
// track tags, on two pages ("CD Info", "Track Info") of a tab view container. It is the notify
// window of the records it shows and passes edited titles on to the view.
#pragma once

#include "app/shell/tags_host_dlg.h"
#include "catalogue/model/cd_track.h"
#include "toolkit/frames/sizebar/size_control_bar.h"
#include "toolkit/frames/skins/tabview_container.h"

class CCDInfo;

class CCDInfoDlgBar : public COXSizeControlBar
{
    DECLARE_DYNAMIC(CCDInfoDlgBar)
public:
    // Solid caption, the "Float as MDI Window" item and the context menu.
    static constexpr DWORD kSizeBarStyle =
        SZBARF_SOLIDGRIPPER | SZBARF_MDI_FLOAT_ITEM | SZBARF_ALLOW_MDI_FLOAT_MENU;

    CCDInfoDlgBar();
    ~CCDInfoDlgBar() override;

    // Shows the disc in the CD page; the bar becomes its notify window. The record must outlive
    // the page or be replaced first.
    void SetCDInfo(CCDInfo* pInfo);
    // Shows the track in the track page (null: the placeholder, which offers nothing to edit);
    // the bar becomes the track's notify window. The same lifetime rule holds.
    void SetTrack(CCDTrack* pTrack);
    void ActivateTrackPage();
    // Re-reads the bar's title and the page captions in the current language.
    void Retranslate();

    COX3DTabViewContainer& GetTabContainer() { return m_tabs; }
    CTagsHostDlg& GetCDPage() { return m_cdPage; }
    CTagsHostDlg& GetTrackPage() { return m_trackPage; }
    const CCDTrack& GetPlaceholderTrack() const { return m_placeholder; }

    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnSizedOrDocked(int cx, int cy, BOOL bFloating, int nFlags) override;

protected:
    int OnCreate(LPCREATESTRUCT lpcs);
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }

    COX3DTabViewContainer m_tabs;
    CImageList m_images;
    CTagsHostDlg m_cdPage;
    CTagsHostDlg m_trackPage;
    CCDTrack m_placeholder;

    DECLARE_MESSAGE_MAP()
};
