// The view's list, search and page commands: check boxes in bulk, moving, removing and adding
// file rows, web searches about the selected artist or title and the maker's pages, opened
// through the shell.
#include "app/shell/sonoria3_view.h"

#include <memory>

#include "app/shell/sonoria3_doc.h"
#include "catalogue/model/cd_info.h"
#include "catalogue/model/cd_track.h"
#include "foundation/i18n/i18n.h"
#include "foundation/util/sys_utils.h"
#include "foundation/web/endpoints.h"
#include "resources/resource.h"

namespace {

// The add-files dialog's name buffer: room for many paths of one folder.
constexpr DWORD kAddFilesBuffer = 66560;

// The search commands: the code the query is built by, whether the term is the title (else
// the artist), and the item text with the term.
struct Search {
    UINT nID;
    LPCTSTR lpszCode;
    BOOL bTitle;
    LPCTSTR lpszKey;
    LPCTSTR lpszText;
};
const Search kSearches[] = {
    {ID_SEARCH_INFO, "MSGW", FALSE, "csonoria3view.const.searchinfoabout",
     "Search Information About '%s'"},
    {ID_SEARCH_IMAGES, "MSGI", FALSE, "csonoria3view.const.searchimagesabout",
     "Search Images About '%s'"},
    {ID_SEARCH_AUDIO, "MSYA", FALSE, "csonoria3view.const.searchaudioabout",
     "Search Audio About '%s'"},
    {ID_SEARCH_VIDEOS, "MSYV", FALSE, "csonoria3view.const.searchvideosabout",
     "Search Videos About '%s'"},
    {ID_SEARCH_LYRICS_ARTIST, "LYRA", FALSE, "csonoria3view.const.searchlyricsby",
     "Search Lyrics By '%s'"},
    {ID_SEARCH_LYRICS_TITLE, "LYRT", TRUE, "csonoria3view.const.searchlyricsbytitle",
     "Search Lyrics Of '%s'"},
    {ID_SEARCH_STORE, "AMAZ", FALSE, "csonoria3view.const.shoppingfor", "Shopping for '%s'"},
};

const Search* FindSearch(UINT nID)
{
    for (const Search& s : kSearches)
        if (s.nID == nID)
            return &s;
    return nullptr;
}

// The query of a search code: what kind of result ("w" pages, "i" images, "v" videos, "s"
// shop) and a word added to the term.
struct Query {
    LPCTSTR lpszCode;
    LPCTSTR lpszWhat;
    LPCTSTR lpszSuffix;
};
const Query kQueries[] = {
    {"MSGW", "w", ""},       {"MSGI", "i", ""},        {"MSYA", "w", " +mp3"},
    {"MSYV", "v", ""},       {"LYRA", "w", " +lyrics"}, {"LYRT", "w", " +lyrics"},
    {"AMAZ", "s", ""},
};

} // namespace

CString CSonoria3View::SearchQuery(LPCTSTR lpszCode, LPCTSTR lpszTerm)
{
    CString strTerm = lpszTerm;
    strTerm.Trim();
    CString strWhat = "w", strSuffix;
    for (const Query& q : kQueries)
        if (lstrcmp(q.lpszCode, lpszCode) == 0) {
            strWhat = q.lpszWhat;
            strSuffix = q.lpszSuffix;
        }
    CString strQuery;
    strQuery.Format("%s?what=%s&q=%s", endpoints::kSearchHub, static_cast<LPCTSTR>(strWhat),
                    static_cast<LPCTSTR>(UrlEncoded(strTerm + strSuffix)));
    return strQuery;
}

void CSonoria3View::OpenSearch(LPCTSTR lpszCode, LPCTSTR lpszTerm)
{
    if (lpszTerm == nullptr || *lpszTerm == 0)
        return;
    OpenUrlOrFile(SearchQuery(lpszCode, lpszTerm), TRUE);
}

CString CSonoria3View::GetSearchTitle() const
{
    CSonoria3Doc* pDoc = GetDocument();
    if (pDoc == nullptr)
        return CString();
    CString strPrefix = CSonoria3Doc::DefaultTrackName();
    strPrefix.Trim();
    if (!strPrefix.IsEmpty())
        strPrefix += ' ';
    CString strTitle;
    const CCDTrack* pTrack = TrackOfRow(m_grid.GetCurSel());
    if (pTrack != nullptr && !pTrack->IsDataTrack())
        strTitle = pTrack->GetTrackTitle();
    // A title the disc load gave ("Track 3") says nothing: the album's title is searched.
    if (strTitle.IsEmpty() || (!strPrefix.IsEmpty() && strTitle.Find(strPrefix) == 0))
        strTitle = pDoc->GetCDInfo().GetTitle();
    return strTitle;
}

CString CSonoria3View::GetSearchArtist() const
{
    CString strArtist;
    if (const CCDTrack* pTrack = TrackOfRow(m_grid.GetCurSel()))
        strArtist = pTrack->GetArtist();
    if (strArtist.IsEmpty())
        strArtist = GetSearchTitle();
    if (strArtist.IsEmpty() && GetDocument() != nullptr)
        strArtist = GetDocument()->GetCDInfo().GetArtist();
    return strArtist;
}

void CSonoria3View::OnSearch(UINT nID)
{
    if (const Search* s = FindSearch(nID))
        OpenSearch(s->lpszCode, s->bTitle ? GetSearchTitle() : GetSearchArtist());
}

void CSonoria3View::OnUpdateSearch(CCmdUI* pCmdUI)
{
    const Search* s = FindSearch(pCmdUI->m_nID);
    if (s == nullptr)
        return;
    const CString strTerm = s->bTitle ? GetSearchTitle() : GetSearchArtist();
    pCmdUI->Enable(!strTerm.IsEmpty());
    CString strText;
    strText.Format(I18NString(s->lpszKey, s->lpszText), static_cast<LPCTSTR>(strTerm));
    pCmdUI->SetText(strText);
}

void CSonoria3View::OnSearchImages()
{
    OnSearch(ID_SEARCH_IMAGES);
}

void CSonoria3View::OnSearchInfo()
{
    OnSearch(ID_SEARCH_INFO);
}

void CSonoria3View::OnSearchAudio()
{
    OnSearch(ID_SEARCH_AUDIO);
}

void CSonoria3View::OnSearchVideos()
{
    OnSearch(ID_SEARCH_VIDEOS);
}

void CSonoria3View::OnSearchLyricsArtist()
{
    OnSearch(ID_SEARCH_LYRICS_ARTIST);
}

void CSonoria3View::OnSearchLyricsTitle()
{
    OnSearch(ID_SEARCH_LYRICS_TITLE);
}

void CSonoria3View::OnSearchShop()
{
    OnSearch(ID_SEARCH_STORE);
}

void CSonoria3View::OnShopPage()
{
    OnWebPage(ID_HELP_SHOP);
}

void CSonoria3View::OnVideosPage()
{
    OnWebPage(ID_WEB_VIDEOS);
}

void CSonoria3View::OnRingtonesPage()
{
    OnWebPage(ID_WEB_RINGTONES);
}

void CSonoria3View::OnWebPage(UINT nID)
{
    LPCTSTR lpszPage = nID == ID_HELP_SHOP     ? "shop"
                       : nID == ID_WEB_VIDEOS ? "videos"
                                              : "ringtones";
    CString strUrl;
    strUrl.Format("%s?s=%s&artist=%s&title=%s", endpoints::kHubPage, lpszPage,
                  static_cast<LPCTSTR>(UrlEncoded(GetSearchArtist())),
                  static_cast<LPCTSTR>(UrlEncoded(GetSearchTitle())));
    OpenUrlOrFile(strUrl, TRUE);
}

// Check all, none or invert: the boxes of every row but the data tracks'; the item-change rule
// carries each box to its track.
void CSonoria3View::SetChecks(int nHow)
{
    for (int nRow = 0; nRow < m_grid.GetItemCount(); ++nRow) {
        const CCDTrack* pTrack = TrackOfRow(nRow);
        if (pTrack == nullptr || pTrack->IsDataTrack())
            continue;
        const int nCheck = nHow < 0 ? !m_grid.GetCheck(nRow) : nHow;
        m_grid.SetCheck(nRow, nCheck);
    }
}

void CSonoria3View::OnSelectAll()
{
    SetChecks(1);
}

void CSonoria3View::OnUnselectAll()
{
    SetChecks(0);
}

void CSonoria3View::OnInvertSelection()
{
    SetChecks(-1);
}

void CSonoria3View::OnUpdateHasTracks(CCmdUI* pCmdUI)
{
    CSonoria3Doc* pDoc = GetDocument();
    pCmdUI->Enable(pDoc != nullptr && pDoc->GetCDInfo().GetTrackCount() > 0);
}

BOOL CSonoria3View::IsFileMode() const
{
    CSonoria3Doc* pDoc = GetDocument();
    return pDoc != nullptr && pDoc->GetMode() != CSonoria3Doc::MODE_RIPPER;
}

void CSonoria3View::OnMoveUp()
{
    const int nRow = m_grid.GetCurSel();
    if (!IsFileMode() || nRow < 1)
        return;
    GetDocument()->GetCDInfo().MoveTrackUp(nRow);
    GetDocument()->UpdateAllViews(nullptr);
    m_grid.SetCurSel(nRow - 1, TRUE);
}

void CSonoria3View::OnMoveDown()
{
    const int nRow = m_grid.GetCurSel();
    if (!IsFileMode() || nRow < 0 || nRow >= m_grid.GetItemCount() - 1)
        return;
    GetDocument()->GetCDInfo().MoveTrackDown(nRow);
    GetDocument()->UpdateAllViews(nullptr);
    m_grid.SetCurSel(nRow + 1, TRUE);
}

void CSonoria3View::OnRemove()
{
    const int nRow = m_grid.GetCurSel();
    if (!IsFileMode() || nRow < 0)
        return;
    GetDocument()->GetCDInfo().DeleteTrack(nRow);
    GetDocument()->UpdateAllViews(nullptr);
}

void CSonoria3View::OnUpdateMoveUp(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(IsFileMode() && m_grid.GetCurSel() > 0);
}

void CSonoria3View::OnUpdateMoveDown(CCmdUI* pCmdUI)
{
    const int nRow = m_grid.GetCurSel();
    pCmdUI->Enable(IsFileMode() && nRow >= 0 && nRow < m_grid.GetItemCount() - 1);
}

void CSonoria3View::OnUpdateRemove(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(IsFileMode() && m_grid.GetCurSel() >= 0);
}

void CSonoria3View::OnAddFiles()
{
    const CString strErrorTitle = I18NString("csonoria3view.const.dderrortitle", "Error");
    const CString strUnsupported =
        I18NString("csonoria3view.const.ddunsupportedformat", "unsupported format");
    const CString strConverterFilter = I18NString(
        "csonoria3view.const.fileselection",
        "Music files (*.wav; *.ogg; *.mp3; *.wma; *.flac)|*.wav; *.ogg; *.mp3; *.wma; "
        "*.flac|Wav files (*.wav)|*.wav|Ogg files (*.ogg)|*.ogg|Mp3 files (*.mp3)|*.mp3|Wma "
        "files (*.wma)|*.wma|Flac files (*.flac)|*.flac|All Files (*.*)|*.*||");
    const CString strTaggerFilter =
        I18NString("csonoria3view.const.fileselection-tagger",
                   "Mp3 files (*.mp3)|*.mp3|All Files (*.*)|*.*||");
    CSonoria3Doc* pDoc = GetDocument();
    if (!IsFileMode())
        return;
    const BOOL bTagger = pDoc->GetMode() == CSonoria3Doc::MODE_TAGGER;

    CFileDialog dlg(TRUE, "mp3", nullptr, OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT,
                    bTagger ? strTaggerFilter : strConverterFilter, this);
    auto buffer = std::make_unique<TCHAR[]>(kAddFilesBuffer);
    buffer[0] = 0;
    dlg.m_ofn.lpstrFile = buffer.get();
    dlg.m_ofn.nMaxFile = kAddFilesBuffer - 1;
    if (dlg.DoModal() != IDOK)
        return;

    CString strErrors;
    ::LockWindowUpdate(m_grid.m_hWnd);
    for (POSITION pos = dlg.GetStartPosition(); pos != nullptr;) {
        const CString strPath = dlg.GetNextPathName(pos);
        const BOOL bAdded =
            bTagger ? pDoc->AddTaggerFile(strPath) : pDoc->AddConverterFile(strPath);
        if (!bAdded)
            strErrors += strPath + ": " + strUnsupported + "\r\n";
    }
    if (!strErrors.IsEmpty())
        MessageBox(strErrors, strErrorTitle, MB_ICONERROR);
    ::LockWindowUpdate(nullptr);
}

void CSonoria3View::OnUpdateAddFiles(CCmdUI* pCmdUI)
{
    CSonoria3Doc* pDoc = GetDocument();
    const int nMode = pDoc != nullptr ? pDoc->GetMode() : CSonoria3Doc::MODE_RIPPER;
    pCmdUI->Enable(nMode != CSonoria3Doc::MODE_RIPPER);
    if (nMode == CSonoria3Doc::MODE_CONVERTER)
        pCmdUI->SetText(
            I18NString("csonoria3doc.const.menu-converteraddfiles", "Add files to convert..."));
    else if (nMode == CSonoria3Doc::MODE_TAGGER)
        pCmdUI->SetText(
            I18NString("csonoria3doc.const.menu-taggeraddfiles", "Add files to tag..."));
}
