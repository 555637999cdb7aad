// The options grid's host: the choice lists, the five pages and the rows' enable rules.
#include "app/dialogs/cfg_prop.h"

#include "audio/cd/audio_cd.h"
#include "audio/player/audio_player.h"
#include "foundation/i18n/i18n.h"
#include "foundation/settings/app_cfg.h"
#include "foundation/util/sys_utils.h"
#include "propgrid/numeric_property.h"
#include "propgrid/prop_list.h"
#include "propgrid/property_kinds.h"

namespace {

// The same host as the declared default of FreedbServer.
constexpr char kDefaultFreedbServer[] = "gnudb.gnudb.org";
constexpr char kAppKey[] = "Software\\Corvalen\\Sonoria3";

// The entry at nIndex, or empty outside the list.
CString EntryAt(const CStringList& list, int nIndex)
{
    POSITION pos = nIndex >= 0 ? list.FindIndex(nIndex) : nullptr;
    return pos != nullptr ? list.GetAt(pos) : CString();
}

// The index of the first entry equal to the text ignoring case, or -1.
int FindNoCase(const CStringList& list, LPCTSTR lpszText)
{
    int i = 0;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr; ++i)
        if (list.GetNext(pos).CompareNoCase(lpszText) == 0)
            return i;
    return -1;
}

CString T(LPCTSTR lpszKey, LPCTSTR lpszDefault)
{
    return I18NString(lpszKey, lpszDefault);
}

// Adds every entry of the list as an index choice.
void AddIndexChoices(EPropertyCombo* pCombo, const CStringList& list)
{
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;)
        pCombo->AddItem(list.GetNext(pos));
}

// "Auto" = 0, then "1" to "8".
void AddConcurrencyChoices(EPropertyCombo* pCombo, const CString& strAuto)
{
    pCombo->AddItemValue(strAuto, 0);
    for (int n = 1; n <= 8; ++n) {
        CString label;
        label.Format("%d", n);
        pCombo->AddItemValue(label, n);
    }
}

} // namespace

CCfgProp::CCfgProp() : m_pCfg(&GetAppCfg())
{
    CStringArray files;
    I18NListLanguageFiles(GetAppFolder(kAppKey), files);
    for (INT_PTR i = 0; i < files.GetSize(); ++i)
        m_languageFiles.AddTail(files[i]);
    if (m_languageFiles.IsEmpty())
        m_languageFiles.AddTail(m_pCfg->GetLanguage());
    m_nSelectedLanguage = 0;

    {
        CAudioCDManager drives(m_pCfg->GetForceASPI());
        const int count = drives.GetDriveCount(); // -1 when the enumeration failed
        for (int i = 0; i < count; ++i) {
            CString name;
            drives.GetDriveName(i, name);
            m_cdDrives.AddTail(name);
        }
    }
    m_nCDDevice = 0;

    const int servers = m_pCfg->GetFreedbServerListCount();
    for (int i = 0; i < servers; ++i) {
        CString server;
        if (m_pCfg->GetFreedbServerListItem(i, server))
            m_freedbServers.AddTail(server);
    }
    if (m_freedbServers.IsEmpty())
        m_freedbServers.AddTail(kDefaultFreedbServer);
    m_nSelectedFreedbServer = 0;

    const int templates = m_pCfg->GetFileNameDefsCount();
    for (int i = 0; i < templates; ++i) {
        CString item;
        m_pCfg->GetFileNameDefsItem(i, item);
        const int bar = item.Find('|');
        m_templateNames.AddTail(bar >= 0 ? item.Left(bar) : item);
    }
}

CCfgProp::~CCfgProp() = default;

bool CCfgProp::SelectLanguage(LPCTSTR lpszFile)
{
    const int i = FindNoCase(m_languageFiles, lpszFile);
    if (i < 0)
        return false;
    m_nSelectedLanguage = i;
    return true;
}

CString CCfgProp::GetSelectedLanguage() const
{
    return EntryAt(m_languageFiles, m_nSelectedLanguage);
}

bool CCfgProp::SelectFreedbServer(LPCTSTR lpszServer)
{
    const int i = FindNoCase(m_freedbServers, lpszServer);
    if (i < 0)
        return false;
    m_nSelectedFreedbServer = i;
    return true;
}

CString CCfgProp::GetSelectedFreedbServer() const
{
    return EntryAt(m_freedbServers, m_nSelectedFreedbServer);
}

bool CCfgProp::IsPropertyEditable(void* pProperty)
{
    if (pProperty == &m_nMp3Enc_VBRQuality)
        return m_nMp3Enc_Mode != 1; // CBR
    if (pProperty == &m_nMp3Enc_Bitrate)
        return m_nMp3Enc_Mode != 2; // VBR
    if (pProperty == &m_strProxyServer || pProperty == &m_nProxyPort)
        return m_nUseProxy == 2; // manual
    if (pProperty == &m_strProxyUser || pProperty == &m_strProxyPwd)
        return m_nUseProxy != 0; // no proxy
    if (pProperty == &m_strEndOfConversionErrorAlarm || pProperty == &m_strEndOfConversionOKAlarm)
        return m_bBeepAfterRip;
    return true;
}

void CCfgProp::FillProperties(EPropList* pList)
{
    pList->SetDefaultComment(T("ccfgprop.const.comm", "Configuration"));
    FillGeneralPage(pList);
    FillInfoTagsPage(pList);
    FillOutputPage(pList);
    FillEncodingPage(pList);
    FillNetworkPage(pList);
}

void CCfgProp::FillGeneralPage(EPropList* pList)
{
    pList->AddPage(T("ccfgprop.const.pagegeneral", "General"), -1);

    EPropertyCombo* pCombo =
        pList->AddCombo(this, T("ccfgprop.const.language", "Language"), &m_nSelectedLanguage);
    AddIndexChoices(pCombo, m_languageFiles);
    pCombo->SetComment(T("ccfgprop.const.commlanguage", "Language file name"));

    pCombo = pList->AddCombo(this, T("ccfgprop.const.device", "CD Device"), &m_nCDDevice);
    AddIndexChoices(pCombo, m_cdDrives);
    pCombo->SetComment(T("ccfgprop.const.commdevice", "CD reader device"));

    pList->AddCheck(this, T("ccfgprop.const.forceaspi", "Force ASPI use"), &m_bForceASPI)
        ->SetComment(T("ccfgprop.const.commforceaspi",
                       "Use ASPI interface to access CD drive on NT/2000/XP/Vista instead of using "
                       "Native Interface. (You must restart Sonoria after changing this one)"));

    pList->AddInt(this, T("ccfgprop.const.ripvolume", "Ripping Volume"), &m_nRipVolume, "%", true)
        ->SetRange(10, 1000)
        ->SetDecimals(0)
        ->SetComment(T("ccfgprop.const.commripvolume",
                       "Ripping Volume Adjustment (100%=No Change)"));

    pList->AddCheck(this, T("ccfgprop.const.slowspeedmode", "Slow CD reading mode"),
                    &m_bSlowSpeedMode)
        ->SetComment(T("ccfgprop.const.commslowspeedmode",
                       "Use slow CD reading mode. This mode can help on some old or buggy "
                       "hardware."));

    pList->AddCheck(this, T("ccfgprop.const.writelrc", "Write LRC files"), &m_bWriteLrcFile)
        ->SetComment(T("ccfgprop.const.commwritelrc", "Write track lyrics in .lrc file"));

    pCombo =
        pList->AddCombo(this, T("ccfgprop.const.writeplaylist", "Write playlist"), &m_nWritePlayList);
    pCombo->AddItemValue(T("ccfgprop.const.writeplaylist_no", "No"), 0);
    pCombo->AddItemValue(T("ccfgprop.const.writeplaylist_m3u", "M3U"), 1);
    pCombo->AddItemValue(T("ccfgprop.const.writeplaylist_pls", "PLS"), 2);
    pCombo->AddItemValue(T("ccfgprop.const.writeplaylist_b4s", "B4S"), 3);
    pCombo->AddItemValue(T("ccfgprop.const.writeplaylist_html", "HTML"), 4);
    pCombo->AddItemValue(T("ccfgprop.const.writeplaylist_csv", "CSV"), 5);
    pCombo->SetComment(T("ccfgprop.const.commwriteplaylist", "Generate a playlist while ripping"));

    pList->AddCheck(this, T("ccfgprop.const.showfullfilename", "Show full filenames"),
                    &m_bShowFullFilename)
        ->SetComment(T("ccfgprop.const.commshowfullfilename",
                       "Show full filenames in converter and tagger views"));

    pList->AddCheck(this, T("ccfgprop.const.autochecknewver", "Check for Updates"),
                    &m_bAutoCheckNewVersion)
        ->SetComment(T("ccfgprop.const.commautochecknewver", "Automatically Check for Updates"));

    pList->AddCheck(this, T("ccfgprop.const.showelapsedtime", "Show Elapsed Time"),
                    &m_bShowElapsedTime)
        ->SetComment(T("ccfgprop.const.commshowelapsedtime",
                       "Show how much time conversion/ripping process took."));

    pList->AddCheck(this, T("ccfgprop.const.beepafterrip", "Beep on rip end"), &m_bBeepAfterRip)
        ->SetComment(T("ccfgprop.const.commbeepafterrip", "Play a sound on rip finished "));

    const CString strFilter =
        T("ccfgprop.const.wavfilter", "Wav files (*.wav)|*.wav|All Files (*.*)|*.*||");
    pList
        ->AddFile(this,
                  T("ccfgprop.const.endofconversionokalarm",
                    "Sound to play on coversion end successfully"),
                  &m_strEndOfConversionOKAlarm, strFilter)
        ->SetComment(T("ccfgprop.const.endofconversionokalarmcomm",
                       "Wav file to play if rip or conversion finishes successfully."));
    pList
        ->AddFile(this,
                  T("ccfgprop.const.endofconversionerroralarm",
                    "Sound to play on coversion end with errors"),
                  &m_strEndOfConversionErrorAlarm, strFilter)
        ->SetComment(T("ccfgprop.const.endofconversionerroralarmcomm",
                       "Wav file to play if rip or conversion finishes with errors."));

    pList->AddCheck(this, T("ccfgprop.const.ejectafterrip", "Eject CD on rip end"),
                    &m_bEjectAfterRip)
        ->SetComment(T("ccfgprop.const.commejectafterrip",
                       "Eject CD on ripping successfully finished"));

    pList->AddCheck(this, T("ccfgprop.const.wndcloseafterrip", "Close progress window on rip end"),
                    &m_bWndCloseAfterRip)
        ->SetComment(T("ccfgprop.const.commwndcloseafterrip",
                       "Close progress window on ripping successfully finished"));

    pCombo = pList->AddCombo(this, T("ccfgprop.const.concurrentconversions", "Concurrent conversions"),
                             &m_nConcurrentConversions);
    AddConcurrencyChoices(pCombo, T("ccfgprop.const.concurrentconversions_auto", "Auto"));
    pCombo->SetComment(T("ccfgprop.const.commconcurrentconversions",
                         "Number of concurrent conversion threads in audio file converter mode. "
                         "Auto: sets it to the same number of CPU/Cores in the system."));

    pCombo = pList->AddCombo(this, T("ccfgprop.const.concurrentrippings", "Concurrent rippings"),
                             &m_nConcurrentRippings);
    AddConcurrencyChoices(pCombo, T("ccfgprop.const.concurrentrippings_auto", "Auto"));
    pCombo->SetComment(T("ccfgprop.const.commconcurrentrippings",
                         "Number of concurrent tracks to extract from CD. Auto: sets it the "
                         "number of CPUs available in the system."));

    const CString strSectors = T("ccfgprop.const.sectors", "Sectors");
    const CString strMBytes = T("ccfgprop.const.megabytes", "MBytes");
    pList
        ->AddInt(this, T("ccfgprop.const.cdreadernumsectorsperread", "CD sectors per read"),
                 &m_nNumCDSectorsPerRead, strSectors, true)
        ->SetRange(8, 54)
        ->SetDecimals(0)
        ->SetComment(T("ccfgprop.const.commnumcdsectorsperread",
                       "Number of sectors to read in each phisical access to the optical device. "
                       "Range: 8-54 sectors. Use 16 for maximum compatibility or 48 for maximum "
                       "performance."));
    pList
        ->AddInt(this, T("ccfgprop.const.cdreadbufsize", "CD read buffer size"), &m_nCDReadBufSize,
                 strMBytes, true)
        ->SetRange(1, 8)
        ->SetDecimals(0)
        ->SetComment(T("ccfgprop.const.commcdreadbufsize",
                       "Size in MBytes of the read buffer for each CD ripping thread. Range: 1-8 "
                       "MBytes."));

    pList->AddCheck(this, T("ccfgprop.const.higherpriority", "Higher Priority"),
                    &m_bRunAtHigherPriority)
        ->SetComment(T("ccfgprop.const.commhigherpriority ",
                       "Run ripping/converting thread at higher priority (faster)"));

    pList->AddCheck(this, T("ccfgprop.const.allowmultipleinstances", "Allow Multiple Instances"),
                    &m_bAllowMultipleInstances)
        ->SetComment(T("ccfgprop.const.commallowmultipleinstances",
                       "Allow run multiple Sonoria instances"));

    pList->AddCheck(this, T("ccfgprop.const.showsplash", "Show Splash Screen"), &m_bShowSplash)
        ->SetComment(T("ccfgprop.const.commshowsplash", "Show Splash Window On Start"));
}

void CCfgProp::FillInfoTagsPage(EPropList* pList)
{
    pList->AddPage(T("ccfgprop.const.pagetags", "Info Tags"), -1);

    pList->AddCheck(this, T("ccfgprop.const.sonoriadbautosearch", "Search Calvera automatically"),
                    &m_bSonoriaDBAutoSearch)
        ->SetComment(T("ccfgprop.const.commsonoriadbautosearch",
                       "Search automatically Calvera for CD info"));
    pList->AddCheck(this, T("ccfgprop.const.usecdtext", "Read CD Text"), &m_bReadCDText)
        ->SetComment(T("ccfgprop.const.commusecdtext", "Read CD Text if available"));
    pList->AddCheck(this, T("ccfgprop.const.uselocaldb", "Use local CD database"), &m_bUseLocalDB)
        ->SetComment(T("ccfgprop.const.commuselocaldb", "Use local CD database"));
    pList->AddCheck(this, T("ccfgprop.const.writecdplayerini", "Write CDPLAYER.INI"),
                    &m_bWriteCDPLAYERINI)
        ->SetComment(T("ccfgprop.const.commwritecdplayerini", "Write CD info in CDPLAYER.INI file"));

    pList->AddSeparator(this, T("ccfgprop.const.sepfreedb", "freedb settings"));

    const CString strDomain = kPublicCDDatabaseDomain;
    pList
        ->AddCheck(this,
                   T("ccfgprop.const.freedbautosearch", "Automatically Search " + strDomain),
                   &m_bAutoSearchFreedb)
        ->SetComment(T("ccfgprop.const.commfreedbautosearch",
                       "Search automatically " + strDomain +
                           " if CD info not found on Sonoria DB"));

    EPropertyCombo* pCombo = pList->AddCombo(this, T("ccfgprop.const.freedbserver", "freedb server"),
                                             &m_nSelectedFreedbServer);
    AddIndexChoices(pCombo, m_freedbServers);
    pCombo->SetComment(T("ccfgprop.const.commfreedbserver", "Name or address of the freedb server"));

    pList->AddCheck(this, T("ccfgprop.const.freedbautochoose1", "Select single results"),
                    &m_bFreedbAutoChoose1)
        ->SetComment(T("ccfgprop.const.commautochoose1",
                       "Select automatically in case of single freedb result"));
    pList->AddCheck(this, T("ccfgprop.const.freedbuseslashsep", "Use / as separator"),
                    &m_bFreedbUseSlashSep)
        ->SetComment(T("ccfgprop.const.commfreedbuseslashsep",
                       "Use / as Artist/Title separator reading " + strDomain +
                           " tracks title data"));

    pList->AddString(this, T("ccfgprop.const.encodedbypreset", "Encoded by preset string"),
                     &m_strEncodedByPreset, true)
        ->SetComment(T("ccfgprop.const.commencodedbypreset", "Text to preset 'Encoded by' info tag"));
}

void CCfgProp::FillOutputPage(EPropList* pList)
{
    pList->AddPage(T("ccfgprop.const.pageoutput", "Output"), -1);

    EPropertyCombo* pCombo = pList->AddCombo(
        this, T("ccfgprop.const.defaulttargetformat", "Default encoding"), &m_nDefaultTargetFormat);
    pCombo->AddItemValue("WAV", 0);
    pCombo->AddItemValue("MP3", 1);
    pCombo->AddItemValue("Vorbis", 2);
    pCombo->AddItemValue("WMA", 3);
    pCombo->AddItemValue("FLAC", 4);
    pCombo->SetComment(T("ccfgprop.const.commdefaulttargetformat", "Default output file encoding"));

    pList->AddDir(this, T("ccfgprop.const.outputpath", "Output Base Path"), &m_strOutputPath);

    pCombo = pList->AddCombo(this, T("ccfgprop.const.outfilenameformat", "Output file name format"),
                             &m_nFileNameFormat);
    AddIndexChoices(pCombo, m_templateNames);
    pCombo->SetComment(T("ccfgprop.const.commoutfilenameformat", "Output file name format"));

    pList->AddCheck(this, T("ccfgprop.const.converterusesfilenames", "Converter uses input filenames"),
                    &m_bConverterUsesFilenames)
        ->SetComment(T("ccfgprop.const.commconverterusesfilenames",
                       "Converter uses input filenames to build output filenames instead of audio "
                       "file tags"));
    pList->AddCheck(this, T("ccfgprop.const.overwrite", "Overwrite existing files"), &m_bOverwrite)
        ->SetComment(T("ccfgprop.const.commoverwrite",
                       "Sonoria will overwrite existing files (otherwise it will add a counter)"));
    pList->AddCheck(this, T("ccfgprop.const.autoopenoutputfolder", "Open output folder at rip end"),
                    &m_bAutoOpenOutputFolder)
        ->SetComment(T("ccfgprop.const.commautoopenoutputfolder",
                       "Automatically open output folder when ripping or converting process "
                       "finishes"));

    pList->AddSeparator(this, T("ccfgprop.const.sepaudioplayer", "Audio Player"));

    CStringArray devices;
    if (CAudioPlayer::ListOutputDevices(devices) <= 0)
        return; // without a device the page ends with the player's title row
    pCombo = pList->AddCombo(this, T("ccfgprop.const.audioplayingdevice", "Audio Playing Device"),
                             &m_nAudioOutDev);
    for (INT_PTR i = 0; i < devices.GetSize(); ++i)
        pCombo->AddItemValue(devices[i], static_cast<int>(i));
    pCombo->SetComment(T("ccfgprop.const.commaudioplayingdevice",
                         "Which audio device Sonoria will use to play tracks"));
    pList
        ->AddInt(this, T("ccfgprop.const.audioplayingvolume", "Default Volume"), &m_nAudioOutVolume,
                 "%", true)
        ->SetRange(0, 100)
        ->SetComment(T("ccfgprop.const.commaudioplayingvolume", "Set here player default Volume"));
}

void CCfgProp::FillEncodingPage(EPropList* pList)
{
    pList->AddPage(T("ccfgprop.const.pageencoding", "Encoding"), -1);
    const CString strMono = T("ccfgprop.const.mono", "Mono");
    const CString strStereo = T("ccfgprop.const.stereo", "Stereo");
    const CString strJoint = T("ccfgprop.const.jointstereo", "Joint Stereo");
    const CString strCBR = T("ccfgprop.const.cbr", "CBR - Constant bitrate");
    const CString strVBR = T("ccfgprop.const.vbr", "VBR - Variable bitrate");
    const CString strABR = T("ccfgprop.const.abr", "ABR - Average bitrate");
    const CString strChannels = T("ccfgprop.const.commwavenc_channels", "Mono or Stereo output mode");

    pList->AddSeparator(this, T("ccfgprop.const.wavenc_separator", "Wav Encoding"));
    EPropertyCombo* pCombo =
        pList->AddCombo(this, T("ccfgprop.const.wavenc_bitspersample", "Wav Bits per Sample"),
                        &m_nWavEnc_BitsPerSample);
    pCombo->AddItemValue("8", 8)->AddItemValue("16", 16);
    pCombo->SetComment(T("ccfgprop.const.commwavenc_bitspersample",
                         "Number of Bits per Sample of Wav files"));
    pCombo = pList->AddCombo(this, T("ccfgprop.const.wavenc_channels", "Mono/Stereo"),
                             &m_nWavEnc_Channels);
    pCombo->AddItemValue(strMono, 1)->AddItemValue(strStereo, 2);
    pCombo->SetComment(strChannels);
    pList->AddCheck(this, T("ccfgprop.const.wavenc_writeinfotags", "Write tags"),
                    &m_bWavEnc_WriteInfoTags)
        ->SetComment(T("ccfgprop.const.commwavenc_writeinfotags", "Write information tags"));

    pList->AddSeparator(this, T("ccfgprop.const.mp3enc_separator", "MP3 Encoding"));
    pCombo = pList->AddCombo(this, T("ccfgprop.const.mp3enc_channels", "Mono/Stereo"),
                             &m_nMp3Enc_Channels);
    pCombo->AddItemValue(strMono, 1)->AddItemValue(strStereo, 2)->AddItemValue(strJoint, 3);
    pCombo->SetComment(T("ccfgprop.const.commmp3enc_channels", "Mono or Stereo output mode"));
    pCombo = pList->AddCombo(this, T("ccfgprop.const.mp3enc_mode", "Mode"), &m_nMp3Enc_Mode);
    pCombo->AddItemValue(strCBR, 1)->AddItemValue(strVBR, 2)->AddItemValue(strABR, 3);
    pCombo->SetComment(T("ccfgprop.const.commmp3enc_mode", "Encoding mode"));
    pCombo = pList->AddCombo(this, T("ccfgprop.const.mp3enc_bitrate", "Bitrate"), &m_nMp3Enc_Bitrate);
    for (int rate : {16, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}) {
        CString label;
        label.Format("%d", rate);
        pCombo->AddItemValue(label, rate);
    }
    pCombo->SetComment(T("ccfgprop.const.commmp3enc_bitrate",
                         "MP3 encoding bitrate for CBR or average bitrate for ABR"));
    pList->AddInt(this, T("ccfgprop.const.mp3enc_vbrquality", "VBR/ABR quality"),
                  &m_nMp3Enc_VBRQuality, "", true)
        ->SetRange(0, 9)
        ->SetComment(T("ccfgprop.const.commmp3enc_vbrquality",
                       "VBR/ABR Quality algorithm 0 (best) to 9 (worst)"));
    pCombo = pList->AddCombo(this, T("ccfgprop.const.mp3enc_writeid3", "Write ID3 Tags"),
                             &m_nMp3Enc_WriteID3);
    pCombo->AddItemValue(T("ccfgprop.const.mp3enc_writeid3_no", "None"), 0)
        ->AddItemValue(T("ccfgprop.const.mp3enc_writeid3_v1", "ID3 v1"), 1)
        ->AddItemValue(T("ccfgprop.const.mp3enc_writeid3_v2", "ID3 v2"), 2)
        ->AddItemValue(T("ccfgprop.const.mp3enc_writeid3_v12", "ID3 v1+v2"), 3);
    pCombo->SetComment(T("ccfgprop.const.commmp3enc_writeid3", "Write ID3 info tags"));
    pList->AddCheck(this, T("ccfgprop.const.mp3enc_writecrcs", "Write CRCs"), &m_bMp3Enc_WriteCRCs)
        ->SetComment(T("ccfgprop.const.commmp3enc_writecrc", "Write CRCs"));

    pList->AddSeparator(this, T("ccfgprop.const.vorbisenc_separator", "Vorbis Encoding"));
    pCombo = pList->AddCombo(this, T("ccfgprop.const.vorbisenc_channels", "Mono/Stereo"),
                             &m_nVorbisEnc_Channels);
    pCombo->AddItemValue(strMono, 1)->AddItemValue(strStereo, 2);
    pCombo->SetComment(T("ccfgprop.const.commvorbisenc_channels", "Mono or Stereo output mode"));
    pList->AddInt(this, T("ccfgprop.const.vorbisenc_quality", "Quality"), &m_nVorbisEnc_Quality, "",
                  true)
        ->SetRange(-1, 10)
        ->SetComment(T("ccfgprop.const.commvorbisenc_quality",
                       "Quality of output file from -1 (worst) to 10 (best)"));

    pList->AddSeparator(this, T("ccfgprop.const.wmaenc_separator", "WMA Encoding"));
    pCombo = pList->AddCombo(this, T("ccfgprop.const.wmaenc_mode", "WMA Quality"), &m_nWmaEnc_Mode);
    pCombo->AddItemValue(T("ccfgprop.const.wmaenc_mode28m", "28 Kbps mono"), 1)
        ->AddItemValue(T("ccfgprop.const.wmaenc_mode28", "28 Kbps stereo"), 2)
        ->AddItemValue(T("ccfgprop.const.wmaenc_mode32", "32 Kbps stereo"), 3)
        ->AddItemValue(T("ccfgprop.const.wmaenc_mode48", "48 Kbps stereo"), 4)
        ->AddItemValue(T("ccfgprop.const.wmaenc_mode64", "64 Kbps stereo"), 5)
        ->AddItemValue(T("ccfgprop.const.wmaenc_mode96", "96 Kbps stereo"), 6)
        ->AddItemValue(T("ccfgprop.const.wmaenc_mode128", "128 Kbps stereo"), 7);
    pCombo->SetComment(T("ccfgprop.const.commwmaenc_mode", "WMA encoding quality settings"));

    pList->AddSeparator(this, T("ccfgprop.const.flacenc_separator", "FLAC Encoding"));
    pCombo = pList->AddCombo(this, T("ccfgprop.const.flacenc_channels", "Mono/Stereo"),
                             &m_nFlacEnc_Channels);
    pCombo->AddItemValue(strMono, 1)->AddItemValue(strStereo, 2);
    pCombo->SetComment(T("ccfgprop.const.commflacenc_channels", "Mono or Stereo output mode"));
    pList->AddInt(this, T("ccfgprop.const.flacenc_level", "FLAC quality level preset"),
                  &m_nFlacEnc_Level, "", true)
        ->SetRange(0, 8)
        ->SetComment(T("ccfgprop.const.commflacenc_level",
                       "FLAC quality level 0 (speech) to 8 (high quality music)"));
}

void CCfgProp::FillNetworkPage(EPropList* pList)
{
    pList->AddPage(T("ccfgprop.const.pagenetwork", "Network"), -1);

    EPropertyCombo* pCombo =
        pList->AddCombo(this, T("ccfgprop.const.useproxy", "Use a proxy"), &m_nUseProxy);
    pCombo->AddItemValue(T("ccfgprop.const.useproxy_no", "No"), 0)
        ->AddItemValue(T("ccfgprop.const.useproxy_windows", "Use Windows settings"), 1)
        ->AddItemValue(T("ccfgprop.const.useproxy_manual", "Manual proxy settings"), 2);
    pCombo->SetComment(T("ccfgprop.const.useproxy_comm", "Use a proxy to connect to the Internet"));

    pList->AddString(this, T("ccfgprop.const.proxyserver", "Proxy server address"),
                     &m_strProxyServer, true)
        ->SetComment(T("ccfgprop.const.commproxyserver", "Address of the proxy server"));
    pList->AddInt(this, T("ccfgprop.const.proxyport", "Proxy server port"), &m_nProxyPort, "", true)
        ->SetRange(1, 65535)
        ->SetComment(T("ccfgprop.const.commproxyport", "TCP port number of the proxy server"));
    pList->AddString(this, T("ccfgprop.const.proxyuser", "Proxy user"), &m_strProxyUser, true)
        ->SetComment(T("ccfgprop.const.commproxyuser", "User for proxy authentication"));
    EPropertyString* pPwd =
        pList->AddString(this, T("ccfgprop.const.proxypwd", "Proxy password"), &m_strProxyPwd, true);
    pPwd->SetPassword(true);
    pPwd->SetComment(T("ccfgprop.const.commproxypwd", "Password for proxy authentication"));
}

void CCfgProp::CopyFromSettings(const CAppCfg& cfg)
{
    SelectLanguage(cfg.GetLanguage());
    SelectFreedbServer(cfg.GetFreedbServer());
    m_nCDDevice = cfg.GetCDDevice();
    m_nRipVolume = cfg.GetRipVolume();
    m_bSlowSpeedMode = cfg.GetSlowSpeedMode() != FALSE;
    m_bBeepAfterRip = cfg.GetBeepAfterRip() != FALSE;
    m_bEjectAfterRip = cfg.GetEjectAfterRip() != FALSE;
    m_bWndCloseAfterRip = cfg.GetWndCloseAfterRip() != FALSE;
    m_bShowElapsedTime = cfg.GetShowElapsedTime() != FALSE;
    m_nConcurrentConversions = cfg.GetConcurrentConversions();
    m_nConcurrentRippings = cfg.GetConcurrentRippings();
    m_bRunAtHigherPriority = cfg.GetRunAtHigherPriority() != FALSE;
    m_nNumCDSectorsPerRead = cfg.GetNumCDSectorsPerRead();
    m_nCDReadBufSize = cfg.GetCDReadBufSize();
    m_strEndOfConversionErrorAlarm = cfg.GetEndOfConversionErrorAlarm();
    m_strEndOfConversionOKAlarm = cfg.GetEndOfConversionOKAlarm();
    m_bAllowMultipleInstances = cfg.GetAllowMultipleInstances() != FALSE;
    m_bShowSplash = cfg.GetShowSplash() != FALSE;
    m_bAutoCheckNewVersion = cfg.GetAutoCheckNewVersion() != FALSE;
    m_bForceASPI = cfg.GetForceASPI() != FALSE;
    m_bShowFullFilename = cfg.GetShowFullFilename() != FALSE;
    m_bWriteLrcFile = cfg.GetWriteLrcFile() != FALSE;
    m_nWritePlayList = cfg.GetWritePlayList();
    m_nFreedbTimeout = cfg.GetFreedbTimeout();
    m_strFreedbEmail = cfg.GetFreedbEmail();
    m_bSonoriaDBAutoSearch = cfg.GetSonoriaDBAutoSearch() != FALSE;
    m_bUseLocalDB = cfg.GetUseLocalDB() != FALSE;
    m_bWriteCDPLAYERINI = cfg.GetWriteCDPLAYERINI() != FALSE;
    m_bFreedbAutoChoose1 = cfg.GetFreedbAutoChoose1() != FALSE;
    m_bReadCDText = cfg.GetReadCDText() != FALSE;
    m_bAutoSearchFreedb = cfg.GetAutoSearchFreedb() != FALSE;
    m_bFreedbUseSlashSep = cfg.GetFreedbUseSlashSep() != FALSE;
    m_strEncodedByPreset = cfg.GetEncodedByPreset();
    m_nDefaultTargetFormat = cfg.GetDefaultTargetFormat();
    m_strOutputPath = cfg.GetOutputPath();
    m_nFileNameFormat = cfg.GetFileNameFormat();
    m_bConverterUsesFilenames = cfg.GetConverterUsesFilenames() != FALSE;
    m_bOverwrite = cfg.GetOverwrite() != FALSE;
    m_nAudioOutDev = cfg.GetAudioOutDev();
    m_nAudioOutVolume = cfg.GetAudioOutVolume();
    m_bAutoOpenOutputFolder = cfg.GetAutoOpenOutputFolder() != FALSE;
    m_nWavEnc_BitsPerSample = cfg.GetWavEnc_BitsPerSample();
    m_nWavEnc_Channels = cfg.GetWavEnc_Channels();
    m_bWavEnc_WriteInfoTags = cfg.GetWavEnc_WriteInfoTags() != FALSE;
    m_nMp3Enc_Channels = cfg.GetMp3Enc_Channels();
    m_nMp3Enc_Mode = cfg.GetMp3Enc_Mode();
    m_nMp3Enc_Bitrate = cfg.GetMp3Enc_Bitrate();
    m_nMp3Enc_VBRQuality = cfg.GetMp3Enc_VBRQuality();
    m_nMp3Enc_WriteID3 = cfg.GetMp3Enc_WriteID3();
    m_bMp3Enc_WriteCRCs = cfg.GetMp3Enc_WriteCRCs() != FALSE;
    m_nVorbisEnc_Channels = cfg.GetVorbisEnc_Channels();
    m_nVorbisEnc_Quality = cfg.GetVorbisEnc_Quality();
    m_nWmaEnc_Mode = cfg.GetWmaEnc_Mode();
    m_nFlacEnc_Channels = cfg.GetFlacEnc_Channels();
    m_nFlacEnc_Level = cfg.GetFlacEnc_Level();
    m_nUseProxy = cfg.GetUseProxy();
    m_strProxyServer = cfg.GetProxyServer();
    m_nProxyPort = cfg.GetProxyPort();
    m_strProxyUser = cfg.GetProxyUser();
    m_strProxyPwd = cfg.GetProxyPwd();
}

void CCfgProp::CopyToSettings(CAppCfg& cfg) const
{
    cfg.SetLanguage(GetSelectedLanguage());
    cfg.SetFreedbServer(GetSelectedFreedbServer());
    cfg.SetCDDevice(m_nCDDevice);
    cfg.SetRipVolume(m_nRipVolume);
    cfg.SetSlowSpeedMode(m_bSlowSpeedMode);
    cfg.SetBeepAfterRip(m_bBeepAfterRip);
    cfg.SetEjectAfterRip(m_bEjectAfterRip);
    cfg.SetWndCloseAfterRip(m_bWndCloseAfterRip);
    cfg.SetShowElapsedTime(m_bShowElapsedTime);
    cfg.SetConcurrentConversions(m_nConcurrentConversions);
    cfg.SetConcurrentRippings(m_nConcurrentRippings);
    cfg.SetRunAtHigherPriority(m_bRunAtHigherPriority);
    cfg.SetNumCDSectorsPerRead(m_nNumCDSectorsPerRead);
    cfg.SetCDReadBufSize(m_nCDReadBufSize);
    cfg.SetEndOfConversionErrorAlarm(m_strEndOfConversionErrorAlarm);
    cfg.SetEndOfConversionOKAlarm(m_strEndOfConversionOKAlarm);
    cfg.SetAllowMultipleInstances(m_bAllowMultipleInstances);
    cfg.SetShowSplash(m_bShowSplash);
    cfg.SetAutoCheckNewVersion(m_bAutoCheckNewVersion);
    cfg.SetForceASPI(m_bForceASPI);
    cfg.SetShowFullFilename(m_bShowFullFilename);
    cfg.SetWriteLrcFile(m_bWriteLrcFile);
    cfg.SetWritePlayList(m_nWritePlayList);
    cfg.SetFreedbTimeout(m_nFreedbTimeout);
    cfg.SetFreedbEmail(m_strFreedbEmail);
    cfg.SetSonoriaDBAutoSearch(m_bSonoriaDBAutoSearch);
    cfg.SetUseLocalDB(m_bUseLocalDB);
    cfg.SetWriteCDPLAYERINI(m_bWriteCDPLAYERINI);
    cfg.SetFreedbAutoChoose1(m_bFreedbAutoChoose1);
    cfg.SetReadCDText(m_bReadCDText);
    cfg.SetAutoSearchFreedb(m_bAutoSearchFreedb);
    cfg.SetFreedbUseSlashSep(m_bFreedbUseSlashSep);
    cfg.SetEncodedByPreset(m_strEncodedByPreset);
    cfg.SetDefaultTargetFormat(m_nDefaultTargetFormat);
    cfg.SetOutputPath(m_strOutputPath);
    cfg.SetFileNameFormat(m_nFileNameFormat);
    cfg.SetConverterUsesFilenames(m_bConverterUsesFilenames);
    cfg.SetOverwrite(m_bOverwrite);
    cfg.SetAudioOutDev(m_nAudioOutDev);
    cfg.SetAudioOutVolume(m_nAudioOutVolume);
    cfg.SetAutoOpenOutputFolder(m_bAutoOpenOutputFolder);
    cfg.SetWavEnc_BitsPerSample(m_nWavEnc_BitsPerSample);
    cfg.SetWavEnc_Channels(m_nWavEnc_Channels);
    cfg.SetWavEnc_WriteInfoTags(m_bWavEnc_WriteInfoTags);
    cfg.SetMp3Enc_Channels(m_nMp3Enc_Channels);
    cfg.SetMp3Enc_Mode(m_nMp3Enc_Mode);
    cfg.SetMp3Enc_Bitrate(m_nMp3Enc_Bitrate);
    cfg.SetMp3Enc_VBRQuality(m_nMp3Enc_VBRQuality);
    cfg.SetMp3Enc_WriteID3(m_nMp3Enc_WriteID3);
    cfg.SetMp3Enc_WriteCRCs(m_bMp3Enc_WriteCRCs);
    cfg.SetVorbisEnc_Channels(m_nVorbisEnc_Channels);
    cfg.SetVorbisEnc_Quality(m_nVorbisEnc_Quality);
    cfg.SetWmaEnc_Mode(m_nWmaEnc_Mode);
    cfg.SetFlacEnc_Channels(m_nFlacEnc_Channels);
    cfg.SetFlacEnc_Level(m_nFlacEnc_Level);
    cfg.SetUseProxy(m_nUseProxy);
    cfg.SetProxyServer(m_strProxyServer);
    cfg.SetProxyPort(m_nProxyPort);
    cfg.SetProxyUser(m_strProxyUser);
    cfg.SetProxyPwd(m_strProxyPwd);
}
