// CAudioWavReader: the source for ".wav" input (uncompressed PCM, 8, 16 or 24 bits).
#pragma once

#include "audio/audio_stream.h"
#include "audio/formats/wav/wav_base.h"

#include <memory>

class CAudioWavReader : public CAudioAbstractReader
{
public:
    CAudioWavReader();
    ~CAudioWavReader() override;

    // FALSE (error untouched) when already open; error 3 "Wav file not found" when the file
    // cannot be opened; otherwise the result of OpenFile.
    BOOL Open(LPCTSTR pszPath);
    // Reads the header and finds the audio of an open file, taking ownership of it (also on
    // failure, when it is closed). Error 4 "Error reading Wav file header" for anything but a
    // RIFF/WAVE file with a PCM "fmt " chunk of 8, 16 or 24 bits and a non-zero rate and
    // channel count; error 4 "Cannot find 'data' tag" when no data chunk follows it.
    BOOL OpenFile(std::unique_ptr<CFile> pFile);

    bool IsInitialized() override;
    bool HasMoreData() override;
    int GetProgressPercent() override;
    bool Prepare() override;
    // Appends up to one second of audio. A data chunk that claims more than the file holds
    // ends where the file ends.
    bool ReadFrame(CAudioFrame* pFrame) override;
    bool Close() override;
    uint32_t GetSampleRate() override;

private:
    std::unique_ptr<CFile> m_pFile;
    CAudioWavHeader m_header;
    bool m_bInitialized = false;
    ULONGLONG m_nBegin = 0;     // file offset of the first audio byte
    ULONGLONG m_nEnd = 0;       // begin + the data chunk's size
    ULONGLONG m_nDelivered = 0; // audio bytes handed out so far
    DWORD m_nReadStep = 176400; // bytes per read step: one second of audio
};
