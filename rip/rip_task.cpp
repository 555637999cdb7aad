// CRipTask: construction and the copy of the encoder settings.
#include "rip/rip_task.h"

#include "foundation/settings/app_cfg.h"

CRipTask::CRipTask(int nDrive, int nTrack, int nStartSector, int nEndSector, int nOutputFormat,
                   LPCTSTR lpszOutputFile)
    : m_nSourceType(SOURCE_CD), m_nDriveIndex(nDrive), m_nTrackNumber(nTrack),
      m_nStartSector(nStartSector), m_nEndSector(nEndSector), m_nOutputFormat(nOutputFormat),
      m_strOutputFile(lpszOutputFile)
{
    LoadEncoderSettings();
}

CRipTask::CRipTask(int nSourceType, LPCTSTR lpszInputFile, int nOutputFormat,
                   LPCTSTR lpszOutputFile)
    : m_nSourceType(nSourceType), m_nDriveIndex(-1), m_nTrackNumber(-1), m_nStartSector(-1),
      m_nEndSector(-1), m_strInputFile(lpszInputFile), m_nOutputFormat(nOutputFormat),
      m_strOutputFile(lpszOutputFile)
{
    LoadEncoderSettings();
}

CRipTask::~CRipTask() = default;

int CRipTask::SourceTypeFromFileType(int nFileType)
{
    if ((nFileType >= FILETYPE_WAV && nFileType <= FILETYPE_FLAC) || nFileType == SOURCE_CD)
        return nFileType;
    return SOURCE_UNKNOWN;
}

void CRipTask::LoadEncoderSettings()
{
    CAppCfg& cfg = GetAppCfg();
    m_bForceASPI = cfg.GetForceASPI();
    m_bSlowSpeedMode = cfg.GetSlowSpeedMode();
    m_bRunAtHigherPriority = cfg.GetRunAtHigherPriority();
    m_nSectorsPerRead = cfg.GetNumCDSectorsPerRead();
    m_nReadBufSize = cfg.GetCDReadBufSize();

    switch (m_nOutputFormat) {
    case FILETYPE_WAV:
        m_nChannels = cfg.GetWavEnc_Channels() == 1 ? 1 : 2;
        m_nTagsMode = cfg.GetWavEnc_WriteInfoTags() ? 1 : 0;
        m_wWavBitsPerSample = static_cast<WORD>(cfg.GetWavEnc_BitsPerSample());
        break;
    case FILETYPE_MP3: { // 1 mono, 2 stereo, anything else joint stereo
        const int nChannels = cfg.GetMp3Enc_Channels();
        m_nChannels = (nChannels == 1 || nChannels == 2) ? nChannels : 3;
        m_nTagsMode = cfg.GetMp3Enc_WriteID3();
        m_nMp3Bitrate = cfg.GetMp3Enc_Bitrate();
        m_nMp3VBRQuality = cfg.GetMp3Enc_VBRQuality();
        m_bMp3WriteCRCs = cfg.GetMp3Enc_WriteCRCs();
        m_nMp3Mode = cfg.GetMp3Enc_Mode();
        break;
    }
    case FILETYPE_VORBIS:
        m_nChannels = cfg.GetVorbisEnc_Channels() == 1 ? 1 : 2;
        m_nTagsMode = 1;
        m_dVorbisQuality = cfg.GetVorbisEnc_Quality() / 10.0;
        break;
    case FILETYPE_WMA:
        m_nChannels = 2;
        m_nTagsMode = 1;
        m_nWmaMode = cfg.GetWmaEnc_Mode();
        break;
    case FILETYPE_FLAC:
        m_nChannels = cfg.GetFlacEnc_Channels() == 1 ? 1 : 2;
        m_nTagsMode = 1;
        m_nFlacLevel = cfg.GetFlacEnc_Level();
        break;
    default:
        break;
    }
}
