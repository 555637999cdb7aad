// The player window: its opening, the playback thread, the clock, the volume and the fading
// Stop.
#include "app/dialogs/player_dlg.h"

#include <algorithm>

#include "audio/audio_frame.h"
#include "audio/audio_stream.h"
#include "audio/cd/audio_cd.h"
#include "audio/cd/cd_reader.h"
#include "foundation/i18n/i18n.h"
#include "foundation/settings/app_cfg.h"
#include "rip/rip_formats.h"
#include "rip/rip_task.h"

IMPLEMENT_DYNAMIC(CPlayerDlg, CDialog)

BEGIN_MESSAGE_MAP(CPlayerDlg, CDialog)
ON_BN_CLICKED(IDCANCEL, OnStop)
ON_WM_TIMER()
ON_WM_HSCROLL()
ON_CONTROL(STN_CLICKED, IDC_PLAYER_LOUD, OnVolumeMax)
ON_CONTROL(STN_CLICKED, IDC_PLAYER_MUTE, OnVolumeMute)
END_MESSAGE_MAP()

namespace {

constexpr int kMaxLine = 60;
constexpr int kQueuedBuffers = 5;
constexpr int kSlowReadSpeed = 176;
constexpr int kFastReadSpeed = 0xFFFF;
constexpr int kSectorsPerRead = 16;
constexpr int kBytesPerFrame = 1048576;
constexpr DWORD kFadeStepMs = 5;
constexpr int kFadeSteps = 100;

} // namespace

CPlayerDlg::CPlayerDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

CPlayerDlg::~CPlayerDlg()
{
    // A window ended without Stop still must not leave the thread playing its queue out.
    m_player.Stop();
    Stop(TRUE);
}

CString CPlayerDlg::PlayingLine(const CString& strPlaying, const CString& strTitle,
                                const CString& strInputFile)
{
    CString strLine = strPlaying;
    const int nSlash = strInputFile.ReverseFind('\\');
    if (!strTitle.IsEmpty())
        strLine += ": " + strTitle;
    else if (nSlash >= 0)
        strLine += ": " + strInputFile.Mid(nSlash + 1);
    if (strLine.GetLength() > kMaxLine)
        strLine = strLine.Left(kMaxLine - 3) + "...";
    return strLine;
}

CString CPlayerDlg::ClockText(DWORD dwMs)
{
    const unsigned nSeconds = dwMs / 1000;
    CString strText;
    strText.Format("%02d:%02d", static_cast<int>(nSeconds / 60), static_cast<int>(nSeconds % 60));
    return strText;
}

WORD CPlayerDlg::StartVolume() const
{
    return static_cast<WORD>(std::clamp(m_nStartVolume, 0, 100) * 65535 / 100);
}

void CPlayerDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PLAYER_VOLUME, m_slider);
    DDX_Control(pDX, IDC_PLAYER_LOUD, m_iconLoud);
    DDX_Control(pDX, IDC_PLAYER_MUTE, m_iconMute);
}

BOOL CPlayerDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    // The template's texts are the English defaults.
    I18NSetWindowText(this, "cplayerdlg.title");
    I18NSetDlgItemText(this, IDCANCEL, "cplayerdlg.bt.stop");
    const CString strPlaying = I18NString("cplayerdlg.const.playing", "Playing");
    PlaceIcons();
    if (m_pTask != nullptr)
        ::SetDlgItemText(m_hWnd, IDC_PLAYER_NOWPLAYING,
                       PlayingLine(strPlaying, m_pTask->GetTrackInfo().GetTrackTitle(),
                                   m_pTask->GetInputFile()));
    m_bStarting = true;
    Start(nullptr);
    if (!HasThread())
        m_bStarting = false; // no thread: the first tick closes the window
    SetTimer(kClockTimerId, kClockMs);
    m_slider.SetRange(0, kSliderMax, FALSE);
    m_slider.SetPos(std::clamp(m_nStartVolume, 0, 100) * kSliderMax / 100);
    return TRUE;
}

// Both icons go level with the slider's middle: the loud one after its right end, the muted
// one before its left end.
void CPlayerDlg::PlaceIcons()
{
    CRect rcSlider, rcIcon;
    m_slider.GetWindowRect(&rcSlider);
    ScreenToClient(&rcSlider);
    m_iconLoud.GetWindowRect(&rcIcon);
    const int cx = rcIcon.Width();
    const int cy = rcIcon.Height();
    const int y = rcSlider.top + rcSlider.Height() / 2 - 8;
    const UINT nFlags = SWP_NOZORDER | SWP_NOOWNERZORDER | SWP_NOACTIVATE;
    m_iconLoud.SetWindowPos(nullptr, rcSlider.right + 2, y, cx, cy, nFlags);
    m_iconMute.SetWindowPos(nullptr, rcSlider.left - 18, y, cx, cy, nFlags);
}

void CPlayerDlg::Run(LPVOID)
{
    if (m_pTask != nullptr)
        m_pReader = OpenSource();
    if (m_pReader == nullptr) {
        m_bStarting = false;
        return;
    }
    m_player.SetMaxQueuedBuffers(kQueuedBuffers);
    m_player.SetStartVolume(StartVolume());
    const bool bOpen = m_player.Open(static_cast<UINT>(m_nOutputDevice), 2,
                                     static_cast<int>(m_pReader->GetSampleRate()), 16, nullptr);
    m_bStarting = false;
    if (bOpen)
        PlayStream();
    m_pReader->Close();
    delete m_pReader;
    m_pReader = nullptr;
    // The reader never closes the disc it read: released only after the reader.
    m_pDisc.reset();
}

void CPlayerDlg::PlayStream()
{
    m_pReader->Prepare();
    m_player.BeginStream();
    // A frame that cannot be read or written is skipped; Stop ends the loop.
    while (IsRunning() && m_pReader->HasMoreData()) {
        CAudioFrame frame;
        if (m_pReader->ReadFrame(&frame) && !frame.IsEmpty())
            m_player.WriteFrame(&frame);
    }
    m_player.Close(); // returns once the queued buffers have played
}

CAudioAbstractReader* CPlayerDlg::OpenSource()
{
    if (m_pTask->GetSourceType() != CRipTask::SOURCE_CD) {
        CRipSource source;
        CString strError; // the player shows no error
        return RipOpenSource(*m_pTask, source, strError) ? source.pReader.release() : nullptr;
    }
    // The settings of the moment, not the task's copy: the player reads them when it opens.
    CAppCfg& cfg = GetAppCfg();
    CAudioCDManager manager(cfg.GetForceASPI());
    std::unique_ptr<CAudioCD> pDisc(manager.OpenCD(m_pTask->GetDriveIndex()));
    if (pDisc == nullptr)
        return nullptr;
    auto* pReader = new CAudioCDReader;
    pReader->Open(pDisc.get(), m_pTask->GetStartSector(), m_pTask->GetEndSector(),
                  cfg.GetSlowSpeedMode() ? kSlowReadSpeed : kFastReadSpeed, kSectorsPerRead,
                  kBytesPerFrame);
    m_pDisc = std::move(pDisc);
    return pReader;
}

void CPlayerDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kClockTimerId) {
        // The flag first: once it is down, IsOpen tells whether playback still runs.
        DWORD dwMs = 0;
        if (m_bStarting) {
            // the source or the device is still being opened
        } else if (!m_player.IsOpen()) {
            PostMessage(WM_COMMAND, IDCANCEL);
        } else if (m_player.GetPositionMs(dwMs)) {
            ::SetDlgItemText(m_hWnd, IDC_PLAYER_CLOCK, ClockText(dwMs));
        }
    }
    CDialog::OnTimer(nIDEvent);
}

void CPlayerDlg::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    if (pScrollBar != nullptr && pScrollBar->m_hWnd == m_slider.m_hWnd)
        m_player.SetVolume(static_cast<WORD>(m_slider.GetPos() * 65535 / kSliderMax));
    CDialog::OnHScroll(nSBCode, nPos, pScrollBar);
}

void CPlayerDlg::OnVolumeMax()
{
    if (!m_player.IsOpen())
        return;
    m_slider.SetPos(kSliderMax);
    m_player.SetVolume(0xFFFF);
}

void CPlayerDlg::OnVolumeMute()
{
    if (!m_player.IsOpen())
        return;
    m_slider.SetPos(0);
    m_player.SetVolume(0);
}

void CPlayerDlg::OnStop()
{
    if (m_player.IsOpen()) {
        // About half a second down to silence; a volume under 100 stops at once.
        int nVolume = m_player.GetVolume();
        const int nStep = nVolume / kFadeSteps;
        if (nStep >= 1) {
            for (; nVolume > 2 * nStep; nVolume -= nStep) {
                m_player.SetVolume(static_cast<WORD>(nVolume));
                ::Sleep(kFadeStepMs);
            }
        }
    }
    m_player.Stop();
    m_player.SetVolume(StartVolume());
    Stop(TRUE);
    CDialog::OnCancel();
}
