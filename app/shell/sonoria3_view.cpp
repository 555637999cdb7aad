// The track grid view: columns per mode with their stored widths, rows from the document,
// the mode commands, in-place title edit and dropped files.
#include "app/shell/sonoria3_view.h"

#include <cstdlib>

#include "app/shell/cd_info_bar.h"
#include "app/shell/main_frame.h"
#include "app/shell/sonoria3_doc.h"
#include "foundation/i18n/i18n.h"
#include "foundation/settings/app_cfg.h"
#include "resources/resource.h"
#include "rip/rip_task.h"

IMPLEMENT_DYNCREATE(CSonoria3View, CFormView)

BEGIN_MESSAGE_MAP(CSonoria3View, CFormView)
ON_WM_SIZE()
ON_WM_DESTROY()
ON_WM_DROPFILES()
ON_NOTIFY(LVN_ITEMCHANGED, IDC_TRACKGRID, OnItemChanged)
ON_NOTIFY(LVN_BEGINLABELEDIT, IDC_TRACKGRID, OnBeginLabelEdit)
ON_NOTIFY(LVN_ENDLABELEDIT, IDC_TRACKGRID, OnEndLabelEdit)
ON_NOTIFY(NM_RCLICK, IDC_TRACKGRID, OnRClickGrid)
ON_COMMAND(ID_VIEW_RIPPER, OnModeRipper)
ON_COMMAND(ID_VIEW_CONVERTER, OnModeConverter)
ON_COMMAND(ID_VIEW_TAGGER, OnModeTagger)
ON_UPDATE_COMMAND_UI(ID_VIEW_RIPPER, OnUpdateModeRipper)
ON_UPDATE_COMMAND_UI(ID_VIEW_CONVERTER, OnUpdateModeConverter)
ON_UPDATE_COMMAND_UI(ID_VIEW_TAGGER, OnUpdateModeTagger)
ON_UPDATE_COMMAND_UI(ID_FILE_NEW, OnUpdateRefresh)
ON_COMMAND(ID_EDIT_TITLE, OnEditTitle)
ON_UPDATE_COMMAND_UI(ID_EDIT_TITLE, OnUpdateAlwaysEnabled)
ON_COMMAND(ID_RIP_DEFAULT, OnRipDefault)
ON_COMMAND(ID_RIP_WAV, OnRipWav)
ON_COMMAND(ID_RIP_MP3, OnRipMp3)
ON_COMMAND(ID_RIP_OGG, OnRipOgg)
ON_COMMAND(ID_RIP_WMA, OnRipWma)
ON_COMMAND(ID_RIP_FLAC, OnRipFlac)
ON_UPDATE_COMMAND_UI_RANGE(ID_RIP_DEFAULT, ID_RIP_WMA, OnUpdateRipCommand)
ON_UPDATE_COMMAND_UI(ID_RIP_FLAC, OnUpdateRipCommand)
ON_COMMAND(ID_TAGS_FREEDBQUERY, OnQueryFreedb)
ON_COMMAND(ID_TAGS_SERVICEQUERY, OnQueryDiscIndex)
ON_COMMAND(ID_TAGS_SERVICESUBMIT, OnSubmitDiscIndex)
ON_UPDATE_COMMAND_UI(ID_TAGS_FREEDBQUERY, OnUpdateLookUp)
ON_UPDATE_COMMAND_UI(ID_TAGS_SERVICEQUERY, OnUpdateLookUp)
ON_UPDATE_COMMAND_UI(ID_TAGS_SERVICESUBMIT, OnUpdateSubmitDiscIndex)
ON_COMMAND(ID_FILE_PLAYTRACK, OnPlay)
ON_UPDATE_COMMAND_UI(ID_FILE_PLAYTRACK, OnUpdatePlay)
ON_COMMAND(ID_RIP_MULTITRACK, OnMultiTrackRip)
ON_COMMAND(ID_RIP_RAW, OnRawRip)
ON_UPDATE_COMMAND_UI(ID_RIP_MULTITRACK, OnUpdateMultiTrackRip)
ON_UPDATE_COMMAND_UI(ID_RIP_RAW, OnUpdateRawRip)
ON_COMMAND(ID_EDIT_SELECTALLTRACKS, OnSelectAll)
ON_COMMAND(ID_EDIT_UNSELECTALL, OnUnselectAll)
ON_COMMAND(ID_EDIT_INVERTSELECTION, OnInvertSelection)
ON_UPDATE_COMMAND_UI_RANGE(ID_EDIT_SELECTALLTRACKS, ID_EDIT_INVERTSELECTION, OnUpdateHasTracks)
ON_COMMAND(ID_EDIT_MOVEUP, OnMoveUp)
ON_COMMAND(ID_EDIT_MOVEDOWN, OnMoveDown)
ON_COMMAND(ID_EDIT_REMOVE, OnRemove)
ON_UPDATE_COMMAND_UI(ID_EDIT_MOVEUP, OnUpdateMoveUp)
ON_UPDATE_COMMAND_UI(ID_EDIT_MOVEDOWN, OnUpdateMoveDown)
ON_UPDATE_COMMAND_UI(ID_EDIT_REMOVE, OnUpdateRemove)
ON_COMMAND(ID_FILE_ADDFILES, OnAddFiles)
ON_UPDATE_COMMAND_UI(ID_FILE_ADDFILES, OnUpdateAddFiles)
ON_COMMAND(ID_SEARCH_IMAGES, OnSearchImages)
ON_COMMAND(ID_SEARCH_INFO, OnSearchInfo)
ON_COMMAND(ID_SEARCH_AUDIO, OnSearchAudio)
ON_COMMAND(ID_SEARCH_VIDEOS, OnSearchVideos)
ON_COMMAND(ID_SEARCH_LYRICS_ARTIST, OnSearchLyricsArtist)
ON_COMMAND(ID_SEARCH_LYRICS_TITLE, OnSearchLyricsTitle)
ON_COMMAND(ID_SEARCH_STORE, OnSearchShop)
ON_UPDATE_COMMAND_UI_RANGE(ID_SEARCH_IMAGES, ID_SEARCH_STORE, OnUpdateSearch)
ON_UPDATE_COMMAND_UI(ID_SEARCH_AUDIO, OnUpdateSearch)
ON_COMMAND(ID_HELP_SHOP, OnShopPage)
ON_COMMAND(ID_WEB_VIDEOS, OnVideosPage)
ON_COMMAND(ID_WEB_RINGTONES, OnRingtonesPage)
ON_UPDATE_COMMAND_UI(ID_HELP_SHOP, OnUpdateAlwaysEnabled)
ON_UPDATE_COMMAND_UI(ID_WEB_VIDEOS, OnUpdateAlwaysEnabled)
ON_UPDATE_COMMAND_UI(ID_WEB_RINGTONES, OnUpdateAlwaysEnabled)
END_MESSAGE_MAP()

namespace {

struct Column {
    const char* key;
    const char* title;
    int format;
};
// Column titles and formats of the "Ripper" mode and of the file modes.
constexpr Column kRipColumns[5] = {
    {"csonoria3view.const.column-num", "#", LVCFMT_LEFT},
    {"csonoria3view.const.column-track", "Track", LVCFMT_LEFT},
    {"csonoria3view.const.column-startframe", "Start frame", LVCFMT_RIGHT},
    {"csonoria3view.const.column-length", "Length", LVCFMT_RIGHT},
    {"csonoria3view.const.column-type", "Type", LVCFMT_CENTER},
};
constexpr Column kFileColumns[5] = {
    {"csonoria3view.const.column-num", "#", LVCFMT_LEFT},
    {"csonoria3view.const.column-file", "File", LVCFMT_LEFT},
    {"csonoria3view.const.column-title", "Title", LVCFMT_LEFT},
    {"csonoria3view.const.column-artist", "Artist", LVCFMT_LEFT},
    {"csonoria3view.const.column-type", "Type", LVCFMT_CENTER},
};
// The default is used when no width is stored, the minimum only against a stored width.
constexpr int kDefaultWidth[5] = {35, 135, 70, 50, 40};
constexpr int kMinimumWidth[5] = {40, 80, 50, 40, 40};

const char* FormatName(int fileType)
{
    switch (CRipTask::SourceTypeFromFileType(fileType)) {
    case 0:
        return "WAV";
    case 1:
        return "MP3";
    case 2:
        return "Vorbis";
    case 3:
        return "WMA";
    case 4:
        return "FLAC";
    default:
        return "";
    }
}

} // namespace

CSonoria3View::CSonoria3View() : CFormView(IDD_SONORIA3_FORM), m_pCfg(&GetAppCfg()) {}

CSonoria3View::~CSonoria3View() = default;

CSonoria3Doc* CSonoria3View::GetDocument() const
{
    return dynamic_cast<CSonoria3Doc*>(m_pDocument);
}

void CSonoria3View::DoDataExchange(CDataExchange* pDX)
{
    CFormView::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_TRACKGRID, m_grid);
}

CCDTrack* CSonoria3View::TrackOfRow(int nRow) const
{
    CSonoria3Doc* pDoc = GetDocument();
    return pDoc != nullptr ? pDoc->GetCDInfo().GetTrack(nRow) : nullptr;
}

void CSonoria3View::OnInitialUpdate()
{
    m_bColumnsBuilt = FALSE;
    CFormView::OnInitialUpdate();
    CSonoria3Doc* pDoc = GetDocument();
    const int mode = pDoc != nullptr ? pDoc->GetMode() : 0;
    DragAcceptFiles(mode != CSonoria3Doc::MODE_RIPPER);

    RECT rc;
    GetClientRect(&rc);
    m_grid.MoveWindow(&rc, TRUE);
    m_grid.SetTextFont(nullptr, TRUE);

    SetupColumns();
    SaveColumnWidths();
    FillRows();
    if (m_grid.GetItemCount() > 0 && m_nCurrentRow < 0) {
        m_grid.SetCurSel(0, TRUE);
        m_nCurrentRow = m_grid.GetCurSel();
    }
    m_nEditableColumn = mode == CSonoria3Doc::MODE_RIPPER ? 1 : 2;
    m_grid.SetEditable(TRUE, m_nEditableColumn);
    m_grid.SetAutoEdit(TRUE);
}

void CSonoria3View::SetupColumns()
{
    CSonoria3Doc* pDoc = GetDocument();
    const bool ripper = pDoc == nullptr || pDoc->GetMode() == CSonoria3Doc::MODE_RIPPER;
    const Column* columns = ripper ? kRipColumns : kFileColumns;

    m_grid.DeleteAllItems();
    while (m_grid.GetColumnCount() > 0)
        m_grid.DeleteColumn(0);
    for (int i = 0; i < 5; ++i) {
        CString stored;
        BOOL have = ripper ? m_pCfg->GetCDGridColumnWidthRipItem(i, stored)
                           : m_pCfg->GetCDGridColumnWidthConvItem(i, stored);
        int width = kDefaultWidth[i];
        if (have) {
            width = atoi(stored);
            if (width < kMinimumWidth[i])
                width = kMinimumWidth[i];
        }
        m_grid.InsertColumn(i, I18NString(columns[i].key, columns[i].title), columns[i].format,
                            width);
    }
    // The stored widths are those of another window size or were raised to their minimum.
    CRect client;
    GetClientRect(&client);
    FitStretchColumn(client.Width());
    m_grid.SetCheckable(TRUE);
    m_grid.SetCheckStyle(BS_AUTOCHECKBOX);
    m_grid.SetEditable(FALSE, -1);
    m_grid.SetShowSelAlways(TRUE);
    m_bColumnsBuilt = TRUE;
}

void CSonoria3View::FillRow(int nRow, CCDTrack* pTrack, LPCTSTR lpszAudio, LPCTSTR lpszData)
{
    CString text;
    if (GetDocument()->GetMode() == CSonoria3Doc::MODE_RIPPER) {
        m_grid.SetItemText(nRow, 1, pTrack->GetTrackTitle());
        text.Format("%ld", static_cast<long>(pTrack->GetStartSector()));
        m_grid.SetItemText(nRow, 2, text);
        const int frames = pTrack->GetLengthFrames();
        text.Format("%-d:%02d", frames / 4500, frames / 75 % 60);
        m_grid.SetItemText(nRow, 3, text);
        m_grid.SetItemText(nRow, 4, pTrack->IsAudio() ? lpszAudio : lpszData);
    } else {
        m_grid.SetItemText(nRow, 1, m_pCfg->GetShowFullFilename() ? pTrack->GetFilePath()
                                                                  : pTrack->GetFileName());
        m_grid.SetItemText(nRow, 2, pTrack->GetTrackTitle());
        m_grid.SetItemText(nRow, 3, pTrack->GetArtist());
        m_grid.SetItemText(nRow, 4, FormatName(pTrack->GetFileType()));
    }
}

void CSonoria3View::FillRows()
{
    if (!m_bColumnsBuilt)
        return;
    const CString audio = I18NString("csonoria3view.const.audio", "Audio");
    const CString data = I18NString("csonoria3view.const.data", "Data");
    CSonoria3Doc* pDoc = GetDocument();
    if (pDoc == nullptr)
        return;
    m_grid.DeleteAllItems();
    CCDInfo& info = pDoc->GetCDInfo();
    for (int i = 0; i < info.GetTrackCount(); ++i) {
        CCDTrack* pTrack = info.GetTrack(i);
        CString number;
        number.Format("%2d", i + 1);
        m_grid.InsertItem(i, number);
        FillRow(i, pTrack, audio, data);
        if (pTrack->IsSelected())
            m_grid.SetCheck(i, 1);
    }
}

void CSonoria3View::OnUpdate(CView*, LPARAM lHint, CObject*)
{
    if (lHint == CSonoria3Doc::kHintReleaseTracks) {
        if (CCDInfoDlgBar* pBar = InfoBar())
            pBar->SetTrack(nullptr);
        return;
    }
    CSonoria3Doc* pDoc = GetDocument();
    if (pDoc != nullptr) {
        switch (pDoc->GetMode()) {
        case CSonoria3Doc::MODE_RIPPER:
            pDoc->SetTitle(pDoc->GetCDInfo().GetTitle());
            break;
        case CSonoria3Doc::MODE_CONVERTER:
            pDoc->SetTitle(I18NString("csonoria3view.const.audiofileconverter",
                                      "Audio File Converter"));
            break;
        default:
            pDoc->SetTitle(I18NString("csonoria3view.const.audiofiletagger",
                                      "Audio File Tagger"));
            break;
        }
    }
    if (m_grid.m_hWnd == nullptr)
        return;
    m_nCurrentRow = m_grid.GetCurSel();
    FillRows();
    const int count = pDoc != nullptr ? pDoc->GetCDInfo().GetTrackCount() : 0;
    if (m_nCurrentRow >= 0 && m_nCurrentRow < count)
        m_grid.SetCurSel(m_nCurrentRow, TRUE);
    else
        m_nCurrentRow = -1;
    ShowTrackInfo(m_nCurrentRow);
}

CCDInfoDlgBar* CSonoria3View::InfoBar() const
{
    // While the frame is being created it is not yet the main window: reach it as the parent.
    auto* pFrame = dynamic_cast<CMainFrame*>(GetParentFrame());
    if (pFrame == nullptr || pFrame->GetCDInfoBar().m_hWnd == nullptr)
        return nullptr;
    return &pFrame->GetCDInfoBar();
}

void CSonoria3View::ShowTrackInfo(int nRow)
{
    CCDInfoDlgBar* pBar = InfoBar();
    CSonoria3Doc* pDoc = GetDocument();
    if (pBar == nullptr || pDoc == nullptr)
        return;
    pBar->SetCDInfo(&pDoc->GetCDInfo());
    pBar->SetTrack(pDoc->GetCDInfo().GetTrack(nRow));
    if (pDoc->GetMode() != CSonoria3Doc::MODE_RIPPER)
        pBar->ActivateTrackPage();
}

BOOL CSonoria3View::OnCommand(WPARAM wParam, LPARAM lParam)
{
    CSonoria3Doc* pDoc = GetDocument();
    if (LOWORD(wParam) == ID_TAGS_CHANGED && pDoc != nullptr && m_grid.m_hWnd != nullptr) {
        CCDInfo& info = pDoc->GetCDInfo();
        for (int i = 0; i < info.GetTrackCount() && i < m_grid.GetItemCount(); ++i) {
            CCDTrack* pTrack = info.GetTrack(i);
            if (pDoc->GetMode() == CSonoria3Doc::MODE_RIPPER) {
                m_grid.SetItemText(i, 1, pTrack->GetTrackTitle());
            } else if (pDoc->GetMode() == CSonoria3Doc::MODE_CONVERTER) {
                m_grid.SetItemText(i, 2, pTrack->GetTrackTitle());
                m_grid.SetItemText(i, 3, pTrack->GetArtist());
            }
        }
    }
    return CFormView::OnCommand(wParam, lParam);
}

void CSonoria3View::OnSize(UINT nType, int cx, int cy)
{
    Default();
    if (m_grid.m_hWnd == nullptr)
        return;
    m_grid.MoveWindow(0, 0, cx, cy, TRUE);
    FitStretchColumn(cx);
    SaveColumnWidths();
}

void CSonoria3View::FitStretchColumn(int cx)
{
    int w = cx - 4;
    for (int i : {0, 2, 3, 4})
        w -= m_grid.GetColumnWidth(i);
    m_grid.SetColumnWidth(1, w < 80 ? 80 : w);
}

void CSonoria3View::SaveColumnWidths()
{
    if (m_grid.m_hWnd == nullptr)
        return;
    CSonoria3Doc* pDoc = GetDocument();
    const bool ripper = pDoc == nullptr || pDoc->GetMode() == CSonoria3Doc::MODE_RIPPER;
    if (ripper)
        m_pCfg->ClearCDGridColumnWidthRip();
    else
        m_pCfg->ClearCDGridColumnWidthConv();
    for (int i = 0; i < 5; ++i) {
        CString width;
        width.Format("%d", m_grid.GetColumnWidth(i));
        if (ripper)
            m_pCfg->AddCDGridColumnWidthRipItem(width);
        else
            m_pCfg->AddCDGridColumnWidthConvItem(width);
    }
}

void CSonoria3View::OnDestroy()
{
    CFormView::OnDestroy();
    SaveColumnWidths();
}

void CSonoria3View::OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult)
{
    const int row = reinterpret_cast<NMLISTVIEW*>(pNMHDR)->iItem;
    if (CCDTrack* pTrack = TrackOfRow(row)) {
        int check = m_grid.GetCheck(row);
        if (pTrack->IsDataTrack())
            check = 0;
        CSonoria3Doc* pDoc = GetDocument();
        if (pDoc->GetMode() == CSonoria3Doc::MODE_TAGGER && pTrack->IsModified())
            pDoc->WriteTags(row);
        pTrack->SetSelected(check > 0);
    }
    ShowTrackInfo(row);
    *pResult = 0;
}

void CSonoria3View::OnBeginLabelEdit(NMHDR*, LRESULT* pResult)
{
    if (COXGridEdit* pEdit = m_grid.GetGridEdit(); pEdit != nullptr && m_nEditableColumn >= 0)
        pEdit->SetExtraWidth(m_grid.GetColumnWidth(m_nEditableColumn));
    *pResult = 0;
}

void CSonoria3View::OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult)
{
    const LVITEM& item = reinterpret_cast<NMLVDISPINFO*>(pNMHDR)->item;
    if (item.iItem >= 0 && item.pszText != nullptr) {
        if (CCDTrack* pTrack = TrackOfRow(item.iItem)) {
            pTrack->SetTrackTitle(item.pszText);
            pTrack->SetModified();
        }
    }
    *pResult = 0;
}

void CSonoria3View::OnRClickGrid(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    POINT pt;
    ::GetCursorPos(&pt);
    LVHITTESTINFO hit{};
    hit.pt = pt;
    m_grid.ScreenToClient(&hit.pt);
    if (m_grid.HitTest(&hit) < 0)
        return;
    CWnd* pMain = AfxGetMainWnd();
    if (pMain == nullptr)
        return;
    HMENU hEdit = ::GetSubMenu(::GetMenu(pMain->m_hWnd), 1);
    if (hEdit != nullptr)
        ::TrackPopupMenu(hEdit, TPM_LEFTALIGN, pt.x, pt.y, 0, pMain->m_hWnd, nullptr);
}

void CSonoria3View::AfterModeCommand(BOOL bChanged)
{
    if (bChanged && AfxGetMainWnd() != nullptr)
        AfxGetMainWnd()->PostMessage(WM_COMMAND, ID_FILE_NEW, 0);
}

void CSonoria3View::OnModeRipper()
{
    AfterModeCommand(GetDocument()->SetModeRipper());
}

void CSonoria3View::OnModeConverter()
{
    AfterModeCommand(GetDocument()->SetModeConverter());
}

void CSonoria3View::OnModeTagger()
{
    AfterModeCommand(GetDocument()->SetModeTagger());
}

void CSonoria3View::OnUpdateModeRipper(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(GetDocument()->GetMode() == CSonoria3Doc::MODE_RIPPER);
}

void CSonoria3View::OnUpdateModeConverter(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(GetDocument()->GetMode() == CSonoria3Doc::MODE_CONVERTER);
}

void CSonoria3View::OnUpdateModeTagger(CCmdUI* pCmdUI)
{
    pCmdUI->SetCheck(GetDocument()->GetMode() == CSonoria3Doc::MODE_TAGGER);
}

void CSonoria3View::OnUpdateRefresh(CCmdUI* pCmdUI)
{
    if (GetDocument()->GetMode() == CSonoria3Doc::MODE_RIPPER)
        pCmdUI->SetText(I18NString("csonoria3view.const.menu-cdrefresh", "&Refresh CD\tCtrl+N"));
    else
        pCmdUI->SetText(
            I18NString("csonoria3view.const.menu-converterreset", "&Reset List\tCtrl+N"));
    // The state stays the framework's: the command is routed on to its handler.
    pCmdUI->ContinueRouting();
}

void CSonoria3View::OnEditTitle()
{
    const int row = m_grid.GetCurSel();
    if (row >= 0)
        m_grid.EditLabel(row, m_nEditableColumn);
}

void CSonoria3View::OnDropFiles(HDROP hDropInfo)
{
    const CString errorTitle = I18NString("csonoria3view.const.dderrortitle", "Error");
    const CString unsupported =
        I18NString("csonoria3view.const.ddunsupportedformat", "unsupported format");
    CString errors;
    CSonoria3Doc* pDoc = GetDocument();
    const UINT count = ::DragQueryFile(hDropInfo, 0xFFFFFFFF, nullptr, 0);
    ::LockWindowUpdate(m_grid.m_hWnd);
    for (UINT i = 0; i < count; ++i) {
        char name[MAX_PATH] = {};
        if (::DragQueryFile(hDropInfo, i, name, MAX_PATH) == 0)
            continue;
        BOOL ok = FALSE;
        if (pDoc->GetMode() == CSonoria3Doc::MODE_CONVERTER)
            ok = pDoc->AddConverterFile(name);
        else if (pDoc->GetMode() == CSonoria3Doc::MODE_TAGGER)
            ok = pDoc->AddTaggerFile(name);
        if (!ok) {
            errors += name;
            errors += ": ";
            errors += unsupported;
            errors += "\r\n";
        }
    }
    ::LockWindowUpdate(nullptr);
    ::DragFinish(hDropInfo);
    if (!errors.IsEmpty())
        MessageBox(errors, errorTitle, MB_ICONERROR);
}
