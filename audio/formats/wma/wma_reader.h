// CAudioWMAReader: the source for ".wma" input, decoded by the Windows Media Format runtime
// through its synchronous reader. Progress counts the bytes the runtime has read.
#pragma once

#include "audio/audio_stream.h"
#include "audio/formats/wma/wma_base.h"

#include <memory>

class CAudioWMAReader : public CAudioAbstractReader
{
public:
    CAudioWMAReader();
    ~CAudioWMAReader() override;

    // FALSE (error untouched) when already open. Error 9 "WMA COM interface not initialized"
    // without the runtime; error 3 "WMA file not found" when the file cannot be opened; error 9
    // with the runtime's answer when it cannot read the stream.
    BOOL Open(LPCTSTR pszPath);

    bool IsInitialized() override;
    bool HasMoreData() override;
    int GetProgressPercent() override;
    // Selects stream 1 and asks for decoded samples.
    bool Prepare() override;
    // Appends the next decoded sample; after the last one, appends nothing, returns true and
    // HasMoreData turns false.
    bool ReadFrame(CAudioFrame* pFrame) override;
    // Keeps the runtime's reader for the next Open.
    bool Close() override;
    uint32_t GetSampleRate() override;

private:
    BOOL OpenStream(std::unique_ptr<CFile> pFile);

    std::unique_ptr<CFile> m_pFile;
    DWORD m_nStartPos = 0;
    DWORD m_nFileLength = 0;
    DWORD m_nBytesConsumed = 0;
    IWMSyncReader* m_pSyncReader = nullptr;
    BOOL m_bInitialized = FALSE;
    IWMOutputMediaProps* m_pOutputProps = nullptr;
    CAudioWMAStream m_stream;
    CAudioWMABase m_base;
    WORD m_nChannels = 0;
    DWORD m_nSampleRate = 0;
    WORD m_nBitsPerSample = 0;
};
