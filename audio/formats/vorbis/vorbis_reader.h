// CAudioVorbisReader: decodes an Ogg Vorbis file into 16-bit PCM frames and reads its comments.
#pragma once

#include "audio/audio_stream.h"
#include "audio/formats/vorbis/vorbis_codec.h"
#include "framework/core.h"

#include <memory>

class CAudioFrame;
class CAudioTrackInfo;
class CFile;

class CAudioVorbisReader : public CAudioAbstractReader
{
public:
    CAudioVorbisReader();
    ~CAudioVorbisReader() override;

    // Opens the file at path and reads the three Vorbis headers. False with error 3 when the
    // file cannot be opened, error 4 when it holds no Vorbis stream at its start; false with
    // the error unchanged for a reader that is already open.
    bool Open(LPCTSTR path);
    // Reads the three Vorbis headers from the file's current position. The reader borrows
    // file: it must stay open until the reader is closed or deleted. False with error 4 and
    // the reason when the headers are missing or damaged.
    bool ParseHeaders(CFile* file);

    bool IsInitialized() override;
    bool HasMoreData() override;
    int GetProgressPercent() override;
    bool Prepare() override;
    // Feeds the next 4096 bytes of the file and decodes every page that is complete: 16-bit
    // little-endian signed samples. A step that completed no page appends nothing. False with
    // error 2 when the file cannot be read.
    bool ReadFrame(CAudioFrame* frame) override;
    bool Close() override;
    uint32_t GetSampleRate() override;

    // Assigns every comment of the stream to track; false when the reader is not open.
    bool ReadComments(CAudioTrackInfo& track);

protected:
    void SetFrameFormat(CAudioFrame* frame);

private:
    bool Fail(const char* text);
    UINT FeedBlock();
    bool ReadSecondaryHeaders();
    void Step(CAudioFrame* frame);
    void DecodePages(CAudioFrame* frame);
    void DecodePacket(CAudioFrame* frame);
    void FlushSamples(CAudioFrame* frame);

    std::unique_ptr<CFile> m_ownedFile; // the file Open opened; null for a borrowed one
    CFile* m_pFile = nullptr;
    int m_bInitialized = 0;
    ULONGLONG m_nStart = 0;
    ULONGLONG m_nConsumed = 0;
    ULONGLONG m_nLength = 0;
    int m_bDrained = 0;               // the whole file fed and every complete page decoded
    std::unique_ptr<BYTE[]> m_buffer; // 16-bit samples waiting for the frame
    size_t m_nBufferSize;
    size_t m_nWritten = 0; // samples in m_buffer
    int m_nSamplesPerTake = 4096;
    std::unique_ptr<CVorbisDecoder> m_codec;
};
