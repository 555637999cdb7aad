// CAudioVorbisWriter: encodes PCM frames into an Ogg Vorbis file with quality-based variable
// bit rate and the track's tags as Vorbis comments.
#pragma once

#include "audio/audio_stream.h"
#include "audio/formats/vorbis/vorbis_codec.h"
#include "framework/core.h"

#include <memory>

class CAudioFrame;
class CAudioTrackInfo;
class CFile;

class CAudioVorbisWriter : public CAudioAbstractWriter
{
public:
    CAudioVorbisWriter();
    // Closes a file still open without finishing the stream.
    ~CAudioVorbisWriter() override;

    // Creates (or truncates) the file at path and sets up the encoder. channels is the count
    // frames are converted to (the stream gets 1 for 1, else 2); a rate below 22050 encodes at
    // 22050; quality runs from -0.1 to 1.0. track is borrowed and may be null: the caller keeps
    // it alive until the writer is deleted. False with error 5 when the file cannot be created,
    // 9 when the encoder refuses the format or quality.
    bool Open(LPCTSTR path, int channels, int sampleRate, double quality, CAudioTrackInfo* track);
    // Sets up the encoder on an open file, which the writer takes over (also on failure).
    bool Setup(std::unique_ptr<CFile> file, int channels, int sampleRate, double quality,
               CAudioTrackInfo* track);

    bool IsInitialized() override;
    // Writes the identification, comment and setup headers on pages of their own.
    bool BeginStream() override;
    bool WriteFrame(CAudioFrame* frame) override;
    // Ends the stream with its last page and closes the file.
    bool Close() override;
    // Bytes of Ogg pages written so far.
    int64_t GetBytesWritten() override;

protected:
    // Fills the comment header with the 15 tags of the track (none without a track).
    void AddComments();

private:
    void DrainBlocks();
    void WritePage();

    int m_nChannels = 0;
    int m_nEncoderChannels = 0;
    int m_nSampleRate = 0;
    int m_nBitsPerSample = 16;
    CAudioTrackInfo* m_pTrack = nullptr;
    std::unique_ptr<CFile> m_file;
    int m_bInitialized = 0;
    ULONGLONG m_nStart = 0;
    int m_nBytesWritten = 0;
    double m_fQuality = 0.4;
    std::unique_ptr<CVorbisEncoder> m_codec;
    int m_bEndOfStream = 0;
};
