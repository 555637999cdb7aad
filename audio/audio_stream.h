// The source and sink interfaces between the rip engine and the audio formats, and the error
// codes every reader, writer, tag reader and opened CD reports.
// Classes here: CAudioErrorState, CAudioAbstractReader, CAudioAbstractWriter.
#pragma once

#include "audio/audio_frame.h"
#include "framework/core.h"

#include <cstdint>

// Error codes shared by readers, writers, tag readers and the opened CD. The text that goes
// with a code is the reporting class's own.
enum : int {
    AUDIO_ERROR_NONE = 0,
    AUDIO_ERROR_NOT_INITIALIZED = 1, // object not open, or its codec library missing
    AUDIO_ERROR_READ = 2,            // read error in the middle of the source
    AUDIO_ERROR_FILE_NOT_FOUND = 3,  // input file cannot be opened
    AUDIO_ERROR_BAD_FORMAT = 4,      // input is not of the expected format
    AUDIO_ERROR_CREATE_FILE = 5,     // output file cannot be created
    AUDIO_ERROR_ENCODER = 6,         // encoder failed
    AUDIO_ERROR_CHANNELS = 7,        // channel mode not supported
    AUDIO_ERROR_CONVERSION = 8,      // frame conversion failed in WriteFrame
    AUDIO_ERROR_CODEC_INIT = 9,      // setting up the codec or its library failed
    AUDIO_ERROR_DRIVE = 10,          // drive command failed (opened CD only)
    AUDIO_ERROR_WRITE = 11,          // output file cannot be written (full disk, size limit)
};

// The error code and text an audio object reports last: readers, writers and tag readers
// keep theirs here.
class CAudioErrorState
{
public:
    // A null text stores "".
    void SetError(int code, LPCTSTR text);
    // Copies the text to strText and returns the code.
    int GetError(CString& strText) const;

private:
    CString m_strError;
    int m_nError = AUDIO_ERROR_NONE;
};

// A source of PCM audio. Calling order: construct, the concrete class's Open, Prepare,
// ReadFrame while HasMoreData, Close, delete. A successful Open resets the error to 0 and "".
class CAudioAbstractReader : public CAudioErrorState
{
public:
    CAudioAbstractReader();
    // Releases everything the reader holds, also when it was not closed.
    virtual ~CAudioAbstractReader();

    CAudioAbstractReader(const CAudioAbstractReader&) = delete;
    CAudioAbstractReader& operator=(const CAudioAbstractReader&) = delete;

    // True between a successful Open and Close.
    virtual bool IsInitialized() = 0;
    // True while the source holds audio not yet delivered.
    virtual bool HasMoreData() = 0;
    // 0..100, the share delivered so far, truncated; -1 when not open or the source is empty.
    virtual int GetProgressPercent() = 0;
    // Called once after Open and before the first ReadFrame.
    virtual bool Prepare() = 0;
    // One read step: sets the frame's format and appends the next audio, never removing what
    // the frame held. True when the step ran (even with nothing appended); false with a code
    // when the next audio cannot be delivered; false with code 0 only when input was consumed
    // without producing audio.
    virtual bool ReadFrame(CAudioFrame* pFrame) = 0;
    // Releases the source; true when something was open.
    virtual bool Close() = 0;
    // The source's sample rate, valid after a successful Open.
    virtual uint32_t GetSampleRate() = 0;
};

// A sink of PCM audio. Calling order: construct, the concrete class's Open, BeginStream,
// WriteFrame for every non-empty frame, Close, delete.
class CAudioAbstractWriter : public CAudioErrorState
{
public:
    CAudioAbstractWriter();
    // Releases everything; a writer that was not closed closes its output without finishing
    // the stream.
    virtual ~CAudioAbstractWriter();

    CAudioAbstractWriter(const CAudioAbstractWriter&) = delete;
    CAudioAbstractWriter& operator=(const CAudioAbstractWriter&) = delete;

    // True between a successful Open and Close.
    virtual bool IsInitialized() = 0;
    // Writes what precedes the audio (headers, leading tags); once, before the first frame.
    virtual bool BeginStream() = 0;
    // Converts the frame in place to the writer's format and writes it.
    virtual bool WriteFrame(CAudioFrame* pFrame) = 0;
    // Finishes the stream and closes the output; true when something was open.
    virtual bool Close() = 0;
    // Bytes written to the output so far, or -1 for a writer that does not count them.
    virtual int64_t GetBytesWritten() = 0;

protected:
    // The order in which a writer family converts a frame: WAV, MP3 and the player go bits,
    // channels, rate; FLAC, WMA and Vorbis go channels, bits, rate.
    enum class ConvertOrder { BitsChannelsRate, ChannelsBitsRate };

    // The conversion part of a write step: a null frame, or a step that fails, sets code 8 with
    // its text and returns false. Each step runs only where the frame differs from the
    // writer's format: bits / 8 bytes per sample, unsigned at 8 bits and signed otherwise,
    // little-endian; the channel count; the rate. An empty frame is left as it is.
    bool ConvertFrameForWriting(CAudioFrame* pFrame, int channels, uint32_t sampleRate,
                                int bitsPerSample, ConvertOrder order);
};

// The pauses a conversion must take between or after its steps, timed, so a benchmark can
// tell waiting from work: the calling thread's total and every thread's.
void StreamSleep(DWORD dwMs);
double GetThreadSleepSeconds();
double GetProcessSleepSeconds();
