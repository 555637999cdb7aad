// CCfgProp: the options grid's host. It holds an editable copy of every setting the options
// show, the choice lists some rows offer, the five pages and the rules that make rows
// read-only. It never touches the settings store: the options dialog copies values in and out.
#pragma once

#include "framework/collections.h"
#include "propgrid/prop_host.h"

class CAppCfg;

class CCfgProp : public IPropertyHost {
public:
    // Builds the choice lists: language files, CD drives, freedb servers, template names.
    CCfgProp();
    virtual ~CCfgProp();
    CCfgProp(const CCfgProp&) = delete;
    CCfgProp& operator=(const CCfgProp&) = delete;

    // The selection becomes the first entry equal to the name ignoring case; when there is
    // none it stays at 0 and the result is false.
    bool SelectLanguage(LPCTSTR lpszFile);
    // The entry at the selection; empty when the list has none.
    CString GetSelectedLanguage() const;
    bool SelectFreedbServer(LPCTSTR lpszServer);
    CString GetSelectedFreedbServer() const;

    void FillProperties(EPropList* pList) override;
    bool IsPropertyEditable(void* pProperty) override;

    // Copies between the settings object and the members below ("In" on opening, "Out" on OK).
    void CopyFromSettings(const CAppCfg& cfg);
    void CopyToSettings(CAppCfg& cfg) const;

    const CStringList& GetLanguageFiles() const { return m_languageFiles; }
    const CStringList& GetCDDrives() const { return m_cdDrives; }
    const CStringList& GetFreedbServers() const { return m_freedbServers; }
    const CStringList& GetTemplateNames() const { return m_templateNames; }

    // The copies, in the order the settings are declared on the pages. Rows bind them by
    // address.
    CAppCfg* m_pCfg;
    CStringList m_languageFiles;
    int m_nSelectedLanguage = 0;
    CStringList m_cdDrives;
    int m_nCDDevice = 0;
    int m_nRipVolume = 100;
    bool m_bSlowSpeedMode = false;
    bool m_bBeepAfterRip = true;
    bool m_bEjectAfterRip = false;
    bool m_bWndCloseAfterRip = false;
    bool m_bShowElapsedTime = false;
    int m_nConcurrentConversions = 0;
    int m_nConcurrentRippings = 0;
    bool m_bRunAtHigherPriority = false;
    int m_nNumCDSectorsPerRead = 16;
    int m_nCDReadBufSize = 1;
    CString m_strEndOfConversionErrorAlarm;
    CString m_strEndOfConversionOKAlarm;
    bool m_bAllowMultipleInstances = false;
    bool m_bShowSplash = true;
    bool m_bAutoCheckNewVersion = true;
    bool m_bForceASPI = false;
    bool m_bShowFullFilename = false;
    bool m_bWriteLrcFile = false;
    int m_nWritePlayList = 0;
    CStringList m_freedbServers;
    int m_nSelectedFreedbServer = 0;
    int m_nFreedbTimeout = 90;
    CString m_strFreedbEmail;
    bool m_bSonoriaDBAutoSearch = true;
    bool m_bUseLocalDB = true;
    bool m_bWriteCDPLAYERINI = true;
    bool m_bFreedbAutoChoose1 = true;
    bool m_bReadCDText = true;
    bool m_bAutoSearchFreedb = true;
    bool m_bFreedbUseSlashSep = true;
    CString m_strEncodedByPreset;
    int m_nDefaultTargetFormat = 1;
    CString m_strOutputPath;
    int m_nFileNameFormat = 0;
    CStringList m_templateNames;
    bool m_bConverterUsesFilenames = true;
    bool m_bOverwrite = false;
    int m_nAudioOutDev = 0;
    int m_nAudioOutVolume = 50;
    bool m_bAutoOpenOutputFolder = true;
    int m_nWavEnc_BitsPerSample = 16;
    int m_nWavEnc_Channels = 2;
    bool m_bWavEnc_WriteInfoTags = false;
    int m_nMp3Enc_Channels = 3;
    int m_nMp3Enc_Mode = 2;
    int m_nMp3Enc_Bitrate = 192;
    int m_nMp3Enc_VBRQuality = 5;
    int m_nMp3Enc_WriteID3 = 3;
    bool m_bMp3Enc_WriteCRCs = false;
    int m_nVorbisEnc_Channels = 2;
    int m_nVorbisEnc_Quality = 4;
    int m_nWmaEnc_Mode = 7;
    int m_nFlacEnc_Channels = 2;
    int m_nFlacEnc_Level = 5;
    int m_nUseProxy = 1;
    CString m_strProxyServer;
    int m_nProxyPort = 3128;
    CString m_strProxyUser;
    CString m_strProxyPwd;

private:
    void FillGeneralPage(EPropList* pList);
    void FillInfoTagsPage(EPropList* pList);
    void FillOutputPage(EPropList* pList);
    void FillEncodingPage(EPropList* pList);
    void FillNetworkPage(EPropList* pList);
};

// The web domain of the public CD database named in the freedb rows' texts.
inline constexpr char kPublicCDDatabaseDomain[] = "gnudb.org";
