// CAudioMP3Writer: encodes PCM frames to MP3 through lame_enc.dll, loaded at run time, with
// optional ID3v2.3 (front) and ID3v1.1 (back) tags.
#pragma once

#include "audio/audio_stream.h"
#include "audio/formats/mp3/id3_writer.h"
#include "audio/formats/mp3/lame_enc_api.h"

#include <memory>
#include <vector>

class CAudioMP3Writer : public CAudioAbstractWriter
{
public:
    enum Flags : DWORD {
        FLAG_CBR = 0x01,
        FLAG_ABR = 0x02,
        FLAG_VBR = 0x04, // wins over FLAG_ABR
        FLAG_CRC = 0x08,
        FLAG_ID3V1 = 0x10,
        FLAG_ID3V2 = 0x20,
    };

    CAudioMP3Writer();
    ~CAudioMP3Writer() override;

    //! mode: 1 mono, 2 stereo, 3 joint stereo. The track is not owned and may be null.
    bool Open(LPCTSTR path, int mode, int rate, int kbps, int vbrQuality, DWORD flags,
              const CAudioTrackInfo* track);

    bool IsInitialized() override { return m_bInitialized; }
    bool BeginStream() override;
    bool WriteFrame(CAudioFrame* frame) override;
    bool Close() override;
    int64_t GetBytesWritten() override { return m_nBytesWritten; }

    //! The configuration record as the writer fills it (exposed for tests).
    const BE_CONFIG& GetConfig() const { return m_config; }

private:
    bool FillConfig();
    bool WriteOutput(const BYTE* bytes, DWORD count);

    int m_nMode = 0;
    int m_nSampleRate = 0;
    int m_nBitsPerSample = 16;
    const CAudioTrackInfo* m_pTrack = nullptr;
    std::unique_ptr<CFile> m_pFile;
    bool m_bInitialized = false;
    int64_t m_nBytesWritten = 0;
    int m_nBitrate = 0;
    int m_nVbrQuality = 0;
    DWORD m_dwFlags = 0;
    BE_VERSION m_version = {};
    BE_CONFIG m_config = {};
    HBE_STREAM m_hStream = nullptr;
    DWORD m_dwSamplesPerChunk = 0;
    DWORD m_dwOutputSize = 0;
    std::vector<BYTE> m_output;
    CString m_strPath;
    CAudioMP3InfoTagWriter m_tagWriter;
};
