// CAudioWMAWriter: the sink for ".wma" output, encoded by the Windows Media Format runtime with
// one of seven audio system profiles chosen by a mode number; the track's tags become
// attributes of the file when the stream begins.
#pragma once

#include "audio/audio_stream.h"
#include "audio/formats/wma/wma_base.h"
#include "audio/track/track_info.h"

class CAudioWMAWriter : public CAudioAbstractWriter
{
public:
    CAudioWMAWriter();
    ~CAudioWMAWriter() override;

    // Mode 1: 28 Kbps mono; 2..6: 28, 32, 48, 64, 96 Kbps stereo; any other: 128 Kbps stereo.
    // pTrack, when not null, is the record whose tags BeginStream writes; not owned, it must
    // outlive the writer. FALSE (error untouched) when already open.
    BOOL Open(LPCTSTR pszPath, DWORD nSampleRate, int nMode, const CAudioTrackInfo* pTrack);
    // Takes the open file's path, closes it and continues as Open.
    BOOL OpenFile(CFile* pFile, DWORD nSampleRate, int nMode, const CAudioTrackInfo* pTrack);

    bool IsInitialized() override;
    // Writes the attributes and creates the file: false when the file cannot be created.
    bool BeginStream() override;
    // Converts to the writer's channels, 16 bits and rate, then encodes.
    bool WriteFrame(CAudioFrame* pFrame) override;
    // Finishes the file; waits 250 ms after the runtime's end of writing. False when the last
    // packets or the final header could not be written: the file is then incomplete.
    bool Close() override;
    // -1: the writer counts no bytes.
    int64_t GetBytesWritten() override;

    // The system profile of a mode and its channel count.
    static const GUID& GetProfileForMode(int nMode, int* pChannels);

private:
    void WriteAttributes();
    // Error 11 with the file layer's text for a full disk, denied access or a bad path;
    // error 6 with the runtime's code for anything else.
    void SetRuntimeError(HRESULT hr, const char* pszStep);

    CString m_strPath;
    int m_nChannels = 2;
    DWORD m_nSampleRate = 0;
    int m_nBitsPerSample = 16;
    const CAudioTrackInfo* m_pTrack = nullptr;
    BOOL m_bInitialized = FALSE;
    IWMWriter* m_pWriter = nullptr;
    uint64_t m_nSampleTime = 0;
    IWMInputMediaProps* m_pInputProps = nullptr;
    CAudioWMABase m_base;
};
