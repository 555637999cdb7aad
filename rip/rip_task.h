// CRipTask: everything one rip or conversion job needs, settings included, fixed at creation.
#pragma once

#include "audio/track/track_info.h"
#include "framework/core.h"

// Source types are the file type codes (0 WAV, 1 MP3, 2 Ogg Vorbis, 3 WMA, 4 FLAC) and 99 for
// an audio CD; output formats are the file type codes. The settings a job reads are copied from
// the settings object when the task is built, so a job never reads the settings object and a
// change of the options while a batch runs does not reach it.
class CRipTask : public CObject
{
public:
    enum { SOURCE_CD = FILETYPE_CD, SOURCE_UNKNOWN = FILETYPE_NONE };

    // A CD task: sectors [nStartSector, nEndSector) of track nTrack on drive nDrive.
    CRipTask(int nDrive, int nTrack, int nStartSector, int nEndSector, int nOutputFormat,
             LPCTSTR lpszOutputFile);
    // A file task.
    CRipTask(int nSourceType, LPCTSTR lpszInputFile, int nOutputFormat, LPCTSTR lpszOutputFile);
    ~CRipTask() override;

    // 0 to 4 and 99 map to themselves, anything else to -1.
    static int SourceTypeFromFileType(int nFileType);

    void SetTrackInfo(const CAudioTrackInfo& track) { m_track = track; }
    void SetGain(double dGain) { m_dGain = dGain; }
    void SetLrcFile(LPCTSTR lpszPath) { m_strLrcFile = lpszPath; }
    CString GetLrcFile() const { return m_strLrcFile; }

    int GetSourceType() const { return m_nSourceType; }
    int GetDriveIndex() const { return m_nDriveIndex; }
    int GetTrackNumber() const { return m_nTrackNumber; }
    int GetStartSector() const { return m_nStartSector; }
    int GetEndSector() const { return m_nEndSector; }
    CString GetInputFile() const { return m_strInputFile; }
    int GetOutputFormat() const { return m_nOutputFormat; }
    CString GetOutputFile() const { return m_strOutputFile; }
    BOOL GetForceASPI() const { return m_bForceASPI; }
    BOOL GetSlowSpeedMode() const { return m_bSlowSpeedMode; }
    BOOL GetRunAtHigherPriority() const { return m_bRunAtHigherPriority; }
    int GetNumCDSectorsPerRead() const { return m_nSectorsPerRead; }
    int GetCDReadBufSize() const { return m_nReadBufSize; }
    // The channel mode handed to the writer: 1 mono, 2 stereo, 3 joint stereo (MP3 only).
    int GetChannels() const { return m_nChannels; }
    int GetTagsMode() const { return m_nTagsMode; }
    int GetMp3Bitrate() const { return m_nMp3Bitrate; }
    int GetMp3VBRQuality() const { return m_nMp3VBRQuality; }
    BOOL GetMp3WriteCRCs() const { return m_bMp3WriteCRCs; }
    int GetMp3Mode() const { return m_nMp3Mode; }
    double GetVorbisQuality() const { return m_dVorbisQuality; }
    WORD GetWavBitsPerSample() const { return m_wWavBitsPerSample; }
    int GetWmaMode() const { return m_nWmaMode; }
    int GetFlacLevel() const { return m_nFlacLevel; }
    double GetGain() const { return m_dGain; }
    CAudioTrackInfo GetTrackInfo() const { return m_track; }
    // Valid as long as the task.
    CAudioTrackInfo* GetTrack() { return &m_track; }

private:
    void LoadEncoderSettings();

    int m_nSourceType;
    int m_nDriveIndex;
    int m_nTrackNumber;
    int m_nStartSector;
    int m_nEndSector;
    CString m_strInputFile;
    int m_nOutputFormat;
    CString m_strOutputFile;
    BOOL m_bForceASPI = FALSE;
    BOOL m_bSlowSpeedMode = FALSE;
    BOOL m_bRunAtHigherPriority = FALSE;
    int m_nSectorsPerRead = 0;
    int m_nReadBufSize = 0;
    int m_nChannels = 0;
    int m_nTagsMode = 0;
    int m_nMp3Bitrate = 0;
    int m_nMp3VBRQuality = 0;
    BOOL m_bMp3WriteCRCs = FALSE;
    int m_nMp3Mode = 0;
    double m_dVorbisQuality = 0.0;
    WORD m_wWavBitsPerSample = 0;
    int m_nWmaMode = 0;
    int m_nFlacLevel = 0;
    double m_dGain = 1.0;
    CAudioTrackInfo m_track;
    CString m_strLrcFile;
};
