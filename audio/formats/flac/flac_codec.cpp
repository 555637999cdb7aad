// libFLAC handle owners and the mapping of libFLAC states to our errors.
#include "audio/formats/flac/flac_codec.h"

CFlacDecoder::~CFlacDecoder()
{
    if (m_p) {
        FLAC__stream_decoder_finish(m_p);
        FLAC__stream_decoder_delete(m_p);
    }
}

CFlacEncoder::~CFlacEncoder()
{
    if (m_p) {
        Finish();
        FLAC__stream_encoder_delete(m_p);
    }
}

bool CFlacEncoder::Finish()
{
    if (FLAC__stream_encoder_get_state(m_p) == FLAC__STREAM_ENCODER_UNINITIALIZED)
        return true;
    return FLAC__stream_encoder_finish(m_p) != 0;
}

int FlacDecoderError(FLAC__StreamDecoderState state, CString& text)
{
    const char* why = "decoder error";
    switch (state) {
    case FLAC__STREAM_DECODER_SEARCH_FOR_METADATA:
    case FLAC__STREAM_DECODER_READ_METADATA:
    case FLAC__STREAM_DECODER_SEARCH_FOR_FRAME_SYNC:
    case FLAC__STREAM_DECODER_READ_FRAME:
    case FLAC__STREAM_DECODER_END_OF_STREAM:
        text.Empty();
        return AUDIO_ERROR_NONE;
    case FLAC__STREAM_DECODER_OGG_ERROR:
        why = "Ogg layer error";
        break;
    case FLAC__STREAM_DECODER_SEEK_ERROR:
        why = "seek error";
        break;
    case FLAC__STREAM_DECODER_ABORTED:
        why = "read error";
        break;
    case FLAC__STREAM_DECODER_MEMORY_ALLOCATION_ERROR:
        why = "out of memory";
        break;
    case FLAC__STREAM_DECODER_UNINITIALIZED:
        why = "decoder not initialized";
        break;
    }
    text.Format("Error reading Flac stream: %s", why);
    return AUDIO_ERROR_READ;
}

int FlacEncoderError(FLAC__StreamEncoderState state, CString& text)
{
    const char* why = "encoder error";
    switch (state) {
    case FLAC__STREAM_ENCODER_OK:
        text.Empty();
        return AUDIO_ERROR_NONE;
    case FLAC__STREAM_ENCODER_IO_ERROR:
    case FLAC__STREAM_ENCODER_CLIENT_ERROR:
        why = "cannot write the output file";
        break;
    case FLAC__STREAM_ENCODER_MEMORY_ALLOCATION_ERROR:
        why = "out of memory";
        break;
    case FLAC__STREAM_ENCODER_VERIFY_DECODER_ERROR:
    case FLAC__STREAM_ENCODER_VERIFY_MISMATCH_IN_AUDIO_DATA:
        why = "verification failed";
        break;
    case FLAC__STREAM_ENCODER_UNINITIALIZED:
        why = "encoder not initialized";
        break;
    case FLAC__STREAM_ENCODER_OGG_ERROR:
    case FLAC__STREAM_ENCODER_FRAMING_ERROR:
        why = "framing error";
        break;
    }
    text.Format("Flac encoder error: %s", why);
    return AUDIO_ERROR_ENCODER;
}
