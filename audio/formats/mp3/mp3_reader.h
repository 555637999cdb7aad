// CAudioMP3Reader: decodes an MP3 file into PCM frames through mpglib.dll, loaded at run time
// and shared by all readers; each decoding step runs under a process-wide named mutex.
#pragma once

#include "audio/audio_stream.h"

#include <windows.h>

#include <memory>
#include <vector>

class CAudioMP3Reader : public CAudioAbstractReader
{
public:
    enum { INPUT_SIZE = 131072, STATE_SIZE = 40000 };

    //! Takes a reference on the decoder library; a reader whose library failed to load still
    //! constructs, and its Open fails.
    CAudioMP3Reader();
    ~CAudioMP3Reader() override;

    bool Open(LPCTSTR path);
    bool IsInitialized() override { return m_bInitialized; }
    bool HasMoreData() override;
    int GetProgressPercent() override;
    bool Prepare() override;
    bool ReadFrame(CAudioFrame* frame) override;
    bool Close() override;
    uint32_t GetSampleRate() override { return static_cast<uint32_t>(m_nSampleRate); }
    int GetChannels() const { return m_nChannels; }

private:
    bool OpenStream(std::unique_ptr<CFile> file);

    HANDLE m_hDecodeLock;
    std::unique_ptr<CFile> m_pFile;
    bool m_bInitialized = false;
    std::vector<BYTE> m_input;
    ULONGLONG m_nFirstFrame = 0;
    ULONGLONG m_nFileLength = 0;
    ULONGLONG m_nConsumed = 0;
    int m_nLastResult = 1;
    int m_nSampleRate = 0;
    int m_nChannels = 0;
    std::vector<BYTE> m_state;
    std::vector<char> m_output; // a read step's decoded audio, kept for the next steps
    bool m_bHaveLibrary = false;
    bool m_bPrepared = false;
};
