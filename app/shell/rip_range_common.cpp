// Shared parts of the multi-track and raw rip dialogs.
#include "app/shell/rip_range_common.h"

#include "app/shell/rip_dialogs_res.h"
#include "catalogue/model/cd_info.h"
#include "catalogue/model/cd_track.h"
#include "foundation/i18n/i18n.h"
#include "foundation/settings/app_cfg.h"
#include "foundation/util/sys_utils.h"
#include "framework/combobox.h"
#include "propgrid/prop_ctrl.h"

namespace rip_range {

namespace {

struct Format {
    LPCTSTR name;
    LPCTSTR extension;
};
constexpr Format kFormats[kFormatCount] = {
    {"WAV", ".wav"}, {"MP3", ".mp3"}, {"Vorbis", ".ogg"}, {"WMA", ".wma"}, {"FLAC", ".flac"}};

// The position of the file name's "." (after the last backslash), -1 for none.
int ExtensionDot(const CString& strName)
{
    const int nDot = strName.ReverseFind('.');
    return nDot > strName.ReverseFind('\\') ? nDot : -1;
}

} // namespace

void FillFormatList(CComboBox& list)
{
    list.ResetContent();
    for (const Format& f : kFormats)
        list.AddString(f.name);
}

CString FormatExtension(int nFormat)
{
    return nFormat >= 0 && nFormat < kFormatCount ? kFormats[nFormat].extension : "";
}

CString WithExtension(const CString& strName, int nFormat)
{
    if (nFormat < 0 || nFormat >= kFormatCount)
        return strName;
    const int nDot = ExtensionDot(strName);
    return (nDot < 0 ? strName : strName.Left(nDot)) + kFormats[nFormat].extension;
}

CString WithoutExtension(const CString& strName)
{
    const int nDot = ExtensionDot(strName);
    return nDot > 0 ? strName.Left(nDot) : strName;
}

CString DefaultOutputPath(LPCTSTR lpszKey, LPCTSTR lpszDefault, int nFormat)
{
    return AppendPathComponent(GetAppCfg().GetOutputPath(),
                               I18NString(lpszKey, lpszDefault) + FormatExtension(nFormat));
}

void FillOutputTrack(CCDTrack& track, const CCDInfo& disc, int nDrive)
{
    track.SetFlags(CCDTrack::FLAG_DATA);
    track.SetDriveIndex(nDrive);
    track.SetAlbumTitle(disc.GetTitle());
    track.SetArtist(disc.GetArtist());
    track.SetAlbumArtist(disc.GetArtist());
    track.SetCDId(disc.GetCDDBId());
    track.SetContentType(disc.GetGenre());
    track.SetYear(disc.GetYear());
    track.SetMediaType("CD");
}

void CreateTagsGrid(CDialog& dlg, EPropCtrl& grid, IPropertyHost* pHost)
{
    CRect rc;
    if (CWnd* pStatic = dlg.GetDlgItem(IDC_RIPDLG_TAGS); pStatic != nullptr) {
        pStatic->GetWindowRect(&rc);
        dlg.ScreenToClient(&rc);
        // The grid takes its place (and its id): the label must not paint through it.
        pStatic->ShowWindow(SW_HIDE);
    }
    grid.Create(&dlg, IDC_RIPDLG_TAGS, rc, nullptr);
    grid.SetFont(dlg.GetFont(), TRUE);
    grid.SetAutoNameColumn(true);
    grid.ShowComment(true);
    grid.SetCommentHeight(24);
    const LRESULT hIcon = ::SendMessage(dlg.m_hWnd, WM_GETICON, ICON_BIG, 0);
    ::SendMessage(grid.m_hWnd, WM_SETICON, ICON_BIG, hIcon);
    grid.SetPropertyHost(pHost);
}

void RedrawGrid(EPropCtrl& grid)
{
    if (grid.m_hWnd != nullptr)
        grid.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

} // namespace rip_range
