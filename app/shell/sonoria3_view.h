// CSonoria3View: the form of the main window with the track grid (control 1002), one row per
// CD track in the "Ripper" mode and one per file in the other modes; it carries the
// application's command handlers. Its sources: sonoria3_view.cpp (the view, grid and mode
// commands), view_format_commands.cpp (the rip and convert commands) and
// view_lookup_commands.cpp (the freedb and disc-information service lookups).
// view_list_commands.cpp (the list, search and page commands).
#pragma once

#include "framework/ui.h"
#include "toolkit/controls/gridlist/grid_list.h"

#include "catalogue/cddb/cddb_values.h"

class CAppCfg;
class CCDInfoDlgBar;
class CCDInfo;
class CCDTrack;
class CSonoria3Doc;

class CSonoria3View : public CFormView {
    DECLARE_DYNCREATE(CSonoria3View)
public:
    CSonoria3View();
    ~CSonoria3View() override;

    CSonoria3Doc* GetDocument() const;
    COXGridList& GetGrid() { return m_grid; }

    void DoDataExchange(CDataExchange* pDX) override;
    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    void OnDraw(CDC*) override {}
    // ID_TAGS_CHANGED (7002) rewrites the rows from their tracks first.
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    // Shows the disc and the track of nRow in the CD information bar.
    void ShowTrackInfo(int nRow);
    // Stores the five widths under the current mode's list setting.
    void SaveColumnWidths();

    // The freedb lookup's pieces: the timeout of attempt k (0, 1, 2), the table-of-contents
    // positions of the query (every track, then the lead-out), and a record taken into the
    // disc (bSlashSep: an "artist / title" track title is split).
    static int FreedbAttemptTimeoutMs(int nTimeoutSeconds, int nAttempt);
    static void BuildTrackPositions(const CCDInfo& info, CCDDBTrackPositionArray& positions);
    static void ApplyFreedbRecord(CCDInfo& info, const CCDDBRecord& record, BOOL bSlashSep);
    // The text in the first pane of the main window's status bar.
    static void ReportStatus(LPCTSTR lpszText);

protected:
    void SetupColumns();
    // The track or file column takes what the other four leave of the width cx.
    void FitStretchColumn(int cx);
    void FillRows();
    void FillRow(int nRow, CCDTrack* pTrack, LPCTSTR lpszAudio, LPCTSTR lpszData);
    CCDTrack* TrackOfRow(int nRow) const;
    // The main frame's CD information bar once its window exists, else null.
    CCDInfoDlgBar* InfoBar() const;

    void OnSize(UINT nType, int cx, int cy);
    void OnDestroy();
    void OnDropFiles(HDROP hDropInfo);
    void OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult);
    void OnBeginLabelEdit(NMHDR* pNMHDR, LRESULT* pResult);
    void OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult);
    void OnRClickGrid(NMHDR* pNMHDR, LRESULT* pResult);

    void OnModeRipper();
    void OnModeConverter();
    void OnModeTagger();
    void OnUpdateModeRipper(CCmdUI* pCmdUI);
    void OnUpdateModeConverter(CCmdUI* pCmdUI);
    void OnUpdateModeTagger(CCmdUI* pCmdUI);
    void OnUpdateRefresh(CCmdUI* pCmdUI);
    void OnEditTitle();
    void OnUpdateAlwaysEnabled(CCmdUI* pCmdUI) { pCmdUI->Enable(TRUE); }
    void AfterModeCommand(BOOL bChanged);

    // The rip and convert commands (view_format_commands.cpp).
    void OnRipDefault();
    void OnRipWav();
    void OnRipMp3();
    void OnRipOgg();
    void OnRipWma();
    void OnRipFlac();
    void OnUpdateRipCommand(CCmdUI* pCmdUI);
    // The checked rows of the grid as one batch in the format (0 WAV, 1 MP3, 2 Ogg Vorbis,
    // 3 WMA, 4 FLAC), run in the progress window; "No tracks to rip" when no row gives a job.
    void RipSelectedTracks(int nFormat);

    // The disc lookups (view_lookup_commands.cpp).
    void OnQueryFreedb();
    void OnQueryDiscIndex();
    void OnSubmitDiscIndex();
    void OnUpdateLookUp(CCmdUI* pCmdUI);
    void OnUpdateSubmitDiscIndex(CCmdUI* pCmdUI);
    // The "Ripper" mode with at least one audio track.
    BOOL CanLookUp() const;
    // Plays the selected row's track or file in the player window (view_play_command.cpp).
    void OnPlay();
    void OnUpdatePlay(CCmdUI* pCmdUI);
    // The multi-track and raw rip commands (view_rip_range_commands.cpp).
    void OnMultiTrackRip();
    void OnRawRip();
    void OnUpdateMultiTrackRip(CCmdUI* pCmdUI);
    void OnUpdateRawRip(CCmdUI* pCmdUI);
    // The list, search and page commands (view_list_commands.cpp).
    void OnSelectAll();
    void OnUnselectAll();
    void OnInvertSelection();
    void OnUpdateHasTracks(CCmdUI* pCmdUI);
    void OnMoveUp();
    void OnMoveDown();
    void OnRemove();
    void OnUpdateMoveUp(CCmdUI* pCmdUI);
    void OnUpdateMoveDown(CCmdUI* pCmdUI);
    void OnUpdateRemove(CCmdUI* pCmdUI);
    void OnAddFiles();
    void OnUpdateAddFiles(CCmdUI* pCmdUI);
    void OnSearchImages();
    void OnSearchInfo();
    void OnSearchAudio();
    void OnSearchVideos();
    void OnSearchLyricsArtist();
    void OnSearchLyricsTitle();
    void OnSearchShop();
    void OnUpdateSearch(CCmdUI* pCmdUI);
    void OnShopPage();
    void OnVideosPage();
    void OnRingtonesPage();
    // 1 checks, 0 unchecks, -1 inverts the box of every row but the data tracks'.
    void SetChecks(int nHow);
    BOOL IsFileMode() const;
    void OnSearch(UINT nID);
    void OnWebPage(UINT nID);

public:
    // The selected row's artist, else the search title, else the album's artist.
    CString GetSearchArtist() const;
    // The selected row's title; the album's title for none, a data track or a title the load
    // gave by default ("Track 3").
    CString GetSearchTitle() const;
    // The search site's address for a search code ("MSGW", "LYRT", ...) and a term.
    static CString SearchQuery(LPCTSTR lpszCode, LPCTSTR lpszTerm);
    // Opens the query in the browser; nothing for an empty term.
    void OpenSearch(LPCTSTR lpszCode, LPCTSTR lpszTerm);

protected:

    CAppCfg* m_pCfg;
    COXGridList m_grid;
    int m_nCurrentRow = -1;
    BOOL m_bColumnsBuilt = FALSE;
    int m_nEditableColumn = -1;

    DECLARE_MESSAGE_MAP()
};
