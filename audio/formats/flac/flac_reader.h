// CAudioFlacReader: decodes a FLAC file into PCM frames and reads its Vorbis comments.
#pragma once

#include "audio/audio_stream.h"
#include "audio/formats/flac/flac_codec.h"
#include "audio/track/track_info.h"
#include "framework/core.h"

#include <memory>

class CAudioFrame;
class CFile;
class CFlacFileInput;

class CAudioFlacReader : public CAudioAbstractReader
{
public:
    CAudioFlacReader();
    ~CAudioFlacReader() override;

    // Sets up decoding of the file at path and reads its STREAMINFO and VORBIS_COMMENT blocks.
    // False with error 3 when the file cannot be opened, 9 when it holds no FLAC stream, 4 when
    // its STREAMINFO gives 0 Hz; false with the error unchanged for a reader already open.
    // ReadFrame fails with error 2 when the stream ends before the length STREAMINFO gives.
    bool Open(LPCTSTR path);
    // Open on the path of an open file object, which is closed first.
    bool OpenFromFile(CFile* file);

    bool IsInitialized() override;
    bool HasMoreData() override;
    int GetProgressPercent() override;
    bool Prepare() override;
    // Decodes one FLAC frame into the frame: little-endian signed samples of 1 to 3 bytes.
    // False with error 2 when the decoder stops on a read error.
    bool ReadFrame(CAudioFrame* frame) override;
    bool Close() override;
    uint32_t GetSampleRate() override;

    // Assigns the tags read at Open to track; false when the reader is not open.
    bool CopyTrackInfo(CAudioTrackInfo& track);

protected:
    void SetFrameFormat(CAudioFrame* frame, int bitsPerSample, int channels, int sampleRate);

private:
    static FLAC__StreamDecoderWriteStatus WriteCallback(const FLAC__StreamDecoder* decoder,
                                                        const FLAC__Frame* frame,
                                                        const FLAC__int32* const buffer[],
                                                        void* client);
    static void MetadataCallback(const FLAC__StreamDecoder* decoder,
                                 const FLAC__StreamMetadata* metadata, void* client);
    static void ErrorCallback(const FLAC__StreamDecoder* decoder,
                              FLAC__StreamDecoderErrorStatus status, void* client);
    // The decoder reads through m_input (see CFlacFileInput in the .cpp).
    static FLAC__StreamDecoderReadStatus ReadCallback(const FLAC__StreamDecoder* decoder,
                                                      FLAC__byte buffer[], size_t* bytes,
                                                      void* client);
    static FLAC__StreamDecoderSeekStatus SeekCallback(const FLAC__StreamDecoder* decoder,
                                                      FLAC__uint64 offset, void* client);
    static FLAC__StreamDecoderTellStatus TellCallback(const FLAC__StreamDecoder* decoder,
                                                      FLAC__uint64* offset, void* client);
    static FLAC__StreamDecoderLengthStatus LengthCallback(const FLAC__StreamDecoder* decoder,
                                                          FLAC__uint64* length, void* client);
    static FLAC__bool EofCallback(const FLAC__StreamDecoder* decoder, void* client);
    void AppendBlock(const FLAC__Frame* block, const FLAC__int32* const buffer[]);

    int m_bInitialized = 0;
    int m_bEndOfStream = 0;
    int m_nChannels = 0;
    int m_nBitsPerSample = 0;
    int m_nSampleRate = 0;
    std::unique_ptr<CFlacFileInput> m_input; // outlives the decoder that reads it
    std::unique_ptr<CFlacDecoder> m_decoder;
    CAudioFrame* m_pFrame = nullptr; // set only during ReadFrame
    ULONGLONG m_nFileSize = 0;
    CAudioTrackInfo m_trackInfo;
    bool m_bStreamInfo = false;
    FLAC__uint64 m_nTotalSamples = 0;   // from STREAMINFO; 0 when the encoder did not know
    FLAC__uint64 m_nDecodedSamples = 0; // per channel, so far
};
