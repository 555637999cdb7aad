// Owners of the libFLAC handles the FLAC reader and writer use, and the one place where
// libFLAC states become our error codes and texts.
// Classes here: CFlacDecoder, CFlacEncoder, CFlacMetadata.
#pragma once

#include "audio/audio_stream.h"
#include "framework/core.h"

#include <FLAC/metadata.h>
#include <FLAC/stream_decoder.h>
#include <FLAC/stream_encoder.h>

// Owns one stream decoder: created by the constructor (null when out of memory), finished and
// deleted by the destructor.
class CFlacDecoder
{
public:
    CFlacDecoder() : m_p(FLAC__stream_decoder_new()) {}
    ~CFlacDecoder();
    CFlacDecoder(const CFlacDecoder&) = delete;
    CFlacDecoder& operator=(const CFlacDecoder&) = delete;

    FLAC__StreamDecoder* Get() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    FLAC__StreamDecoder* m_p;
};

// Owns one stream encoder, the same way. Finish() flushes the last frame and rewrites
// STREAMINFO and the seek table; the destructor finishes an encoder that was not finished.
class CFlacEncoder
{
public:
    CFlacEncoder() : m_p(FLAC__stream_encoder_new()) {}
    ~CFlacEncoder();
    CFlacEncoder(const CFlacEncoder&) = delete;
    CFlacEncoder& operator=(const CFlacEncoder&) = delete;

    FLAC__StreamEncoder* Get() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }
    bool Finish();

private:
    FLAC__StreamEncoder* m_p;
};

// Owns one metadata object. The encoder only borrows the objects it is given: they must live
// until the encoder is finished.
class CFlacMetadata
{
public:
    explicit CFlacMetadata(FLAC__MetadataType type) : m_p(FLAC__metadata_object_new(type)) {}
    ~CFlacMetadata()
    {
        if (m_p)
            FLAC__metadata_object_delete(m_p);
    }
    CFlacMetadata(const CFlacMetadata&) = delete;
    CFlacMetadata& operator=(const CFlacMetadata&) = delete;

    FLAC__StreamMetadata* Get() const { return m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    FLAC__StreamMetadata* m_p;
};

// Error code and text for a decoder that stopped in a state other than reading on or end of
// stream (code 2, a read error in the middle of the source).
int FlacDecoderError(FLAC__StreamDecoderState state, CString& text);

// Error code and text for an encoder that failed while encoding or finishing (code 6).
int FlacEncoderError(FLAC__StreamEncoderState state, CString& text);
