// CAudioFlacWriter: encodes PCM frames into a 16-bit FLAC file with the track's tags as
// Vorbis comments, a 4096-byte padding and a seek table.
#pragma once

#include "audio/audio_stream.h"
#include "audio/formats/flac/flac_codec.h"
#include "framework/core.h"

#include <memory>
#include <vector>

class CAudioFrame;
class CAudioTrackInfo;
class CFile;

class CAudioFlacWriter : public CAudioAbstractWriter
{
public:
    CAudioFlacWriter();
    // Finishes the stream when Close was not called.
    ~CAudioFlacWriter() override;

    // Creates the file at path and writes its metadata blocks. channels is the channel count
    // frames are converted to (the file gets 1 channel for 1, else 2); level 0 to 8, where
    // anything above 7 or below 0 counts as 8. track is borrowed and may be null: the caller
    // keeps it alive until the writer is deleted. False with error 5 and the file layer's text
    // when the file cannot be created, 9 when the encoder cannot be set up; false with the
    // error unchanged for a writer that is already open.
    bool Open(LPCTSTR path, int channels, int sampleRate, int level, CAudioTrackInfo* track);
    // Open on the path of an open file object, which is closed first.
    bool OpenFromFile(CFile* file, int channels, int sampleRate, int level, CAudioTrackInfo* track);

    bool IsInitialized() override;
    bool BeginStream() override;
    bool WriteFrame(CAudioFrame* frame) override;
    // Flushes the last frame and rewrites STREAMINFO (length, MD5) and the seek table. False
    // with error 11 and the file layer's text when any write, seek or the close failed.
    bool Close() override;
    int64_t GetBytesWritten() override;

protected:
    // Appends the 13 comments of the tag track to the VORBIS_COMMENT block.
    void AddComments(FLAC__StreamMetadata* block);

private:
    bool SetLevelParameters();
    // Sets the error from the file layer's text when a write failed, else from the encoder.
    void SetEncoderError();

    // libFLAC's I/O, over m_file. A failed write or seek is kept in m_strFileError and ends
    // the stream: libFLAC cannot pass an exception through.
    static FLAC__StreamEncoderWriteStatus WriteCallback(const FLAC__StreamEncoder*,
                                                        const FLAC__byte buffer[], size_t bytes,
                                                        uint32_t samples, uint32_t frame,
                                                        void* client);
    static FLAC__StreamEncoderSeekStatus SeekCallback(const FLAC__StreamEncoder*,
                                                      FLAC__uint64 offset, void* client);
    static FLAC__StreamEncoderTellStatus TellCallback(const FLAC__StreamEncoder*,
                                                      FLAC__uint64* offset, void* client);
    void KeepFileError(CException* e);

    int m_bInitialized = 0;
    int m_nChannels = 0;
    int m_nEncoderChannels = 0;
    int m_nSampleRate = 0;
    int m_nBitsPerSample = 16;
    int m_nLevel = 5;
    CAudioTrackInfo* m_pTrack = nullptr;
    CString m_strPath;
    CString m_strFileError; // the first failure of the file layer
    std::unique_ptr<CFile> m_file;
    // The encoder borrows the metadata blocks until it is finished: it is declared after them
    // so that it goes first.
    std::unique_ptr<CFlacMetadata> m_seekTable;
    std::unique_ptr<CFlacMetadata> m_comments;
    std::unique_ptr<CFlacMetadata> m_padding;
    std::unique_ptr<CFlacEncoder> m_encoder;
    std::vector<FLAC__int32> m_samples; // scratch for one frame
};
