// CAudioWavWriter: the sink for ".wav" output: 8-bit unsigned or 16-bit signed PCM, mono or
// stereo, with the track's tags in a LIST/INFO chunk after the audio.
#pragma once

#include "audio/audio_stream.h"
#include "audio/formats/wav/wav_base.h"
#include "audio/track/track_info.h"

#include <memory>

class CAudioWavWriter : public CAudioAbstractWriter
{
public:
    CAudioWavWriter();
    // Closes a file that was not closed, without patching its header (the audio written so
    // far goes out first; a failure there is ignored).
    ~CAudioWavWriter() override;

    // Creates (or truncates) the file. pTrack, when not null, is the record whose tags Close
    // writes; it is not owned and must outlive the writer. FALSE when already open; error 5
    // "Can't open output Wav file" when the file cannot be created.
    BOOL Open(LPCTSTR pszPath, int nChannels, DWORD nSampleRate, int nBitsPerSample,
              const CAudioTrackInfo* pTrack);
    // Takes ownership of a file created for writing and stores the format.
    BOOL OpenFile(std::unique_ptr<CFile> pFile, int nChannels, DWORD nSampleRate,
                  int nBitsPerSample, const CAudioTrackInfo* pTrack);

    bool IsInitialized() override;
    // Writes the 44-byte header with zero sizes. Error 7 for a channel count other than 1 or 2.
    bool BeginStream() override;
    // The audio may wait in the writer's buffer until a later step or Close: a failing write
    // raises CFileException from whichever call writes it.
    bool WriteFrame(CAudioFrame* pFrame) override;
    // Writes the audio still buffered, pads odd audio, patches both sizes, appends the INFO
    // list and closes the file.
    bool Close() override;
    int64_t GetBytesWritten() override;

    // The LIST/INFO chunk for the track record at the current position; returns its length
    // (0 without a record).
    DWORD WriteInfoList();
    // One INFO entry: nothing for an empty text, else id, size, text and its zero byte.
    // Returns the bytes written.
    DWORD WriteInfoEntry(const char* pszId, const CString& strText);

private:
    void WriteAudio(const uint8_t* pData, uint32_t nBytes);
    void WritePending();

    int m_nChannels = 0;
    DWORD m_nSampleRate = 0;
    int m_nBitsPerSample = 0;
    const CAudioTrackInfo* m_pTrack = nullptr;
    std::unique_ptr<CFile> m_pFile;
    bool m_bInitialized = false;
    bool m_bStreamBegun = false; // the header has been written
    ULONGLONG m_nRiffPos = 0;
    ULONGLONG m_nDataPos = 0;
    ULONGLONG m_nBytesWritten = 0; // everything written to the file
    ULONGLONG m_nAudioBytes = 0;   // the audio alone
    CAudioWavHeader m_header;
    // Audio not yet written: small frames (a FLAC frame is 16 KiB, an MP3 one under 5) go to
    // the file in large writes, as each write is a system call.
    std::unique_ptr<uint8_t[]> m_pPending;
    size_t m_nPending = 0;
};
