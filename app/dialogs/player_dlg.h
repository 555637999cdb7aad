// CPlayerDlg: the small modal window that plays one track (a CD track or an audio file) on a
// wave-out device, with a clock, a volume slider and a fading Stop.
#pragma once

#include <atomic>
#include <memory>

#include "app/dialogs/player_dlg_res.h"
#include "audio/player/audio_player.h"
#include "foundation/util/thread.h"
#include "framework/sliderctrl.h"
#include "framework/ui.h"

class CAudioAbstractReader;
class CAudioCD;
class CRipTask;

// Two threads use the window: the user-interface thread (clock, slider, icons, Stop) and the
// playback thread (Run), which alone opens, reads and deletes the source and opens, feeds and
// closes the player. The window closes itself at the first clock tick that finds the player
// closed once the playback thread is past opening it.
class CPlayerDlg : public CDialog, public CThread {
    DECLARE_DYNAMIC(CPlayerDlg)
public:
    enum { IDD = IDD_PLAYER };
    static constexpr UINT_PTR kClockTimerId = 0x11223344;
    static constexpr UINT kClockMs = 350;
    // The slider's range; the device's volume runs from 0 to 0xFFFF.
    static constexpr int kSliderMax = 1000;

    explicit CPlayerDlg(CWnd* pParent = nullptr);
    ~CPlayerDlg() override;

    // Not owned: the creator deletes the task after DoModal.
    void SetTask(CRipTask* pTask) { m_pTask = pTask; }

    // The line of control 1078: "Playing" (translated as given), then ": " and the track's
    // title, else the file name of a path with folders; cut to 57 characters and "..." when
    // longer than 60.
    static CString PlayingLine(const CString& strPlaying, const CString& strTitle,
                               const CString& strInputFile);
    // "%02d:%02d" of whole minutes and seconds; minutes are not limited to two digits.
    static CString ClockText(DWORD dwMs);

    // Set by the creator before DoModal: the wave-out device and the starting volume in
    // percent (0 to 100; values outside are taken as the nearer end).
    int m_nOutputDevice = 0;
    int m_nStartVolume = 70;

protected:
    // Binds the slider and the two icons.
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    void Run(LPVOID arg) override;
    // A new opened reader for the task's source, or null; a CD leaves its opened disc in
    // m_pDisc for Run to release after the reader.
    CAudioAbstractReader* OpenSource();

    void OnStop();
    void OnTimer(UINT_PTR nIDEvent);
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnVolumeMax();
    void OnVolumeMute();

    DECLARE_MESSAGE_MAP()

private:
    void PlaceIcons();
    WORD StartVolume() const;
    void PlayStream();

    CRipTask* m_pTask = nullptr;
    CAudioPlayer m_player;
    CAudioAbstractReader* m_pReader = nullptr;
    std::unique_ptr<CAudioCD> m_pDisc;
    // True from Start until the playback thread has opened the player or given up: until
    // then a closed player does not mean that playback ended.
    std::atomic<bool> m_bStarting{false};
    CSliderCtrl m_slider;
    CStatic m_iconLoud;
    CStatic m_iconMute;
};
