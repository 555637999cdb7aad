// The error state every audio object keeps, and the writers' frame conversion step.
#include "audio/audio_stream.h"

void CAudioErrorState::SetError(int code, LPCTSTR text)
{
    m_nError = code;
    m_strError = text ? text : "";
}

int CAudioErrorState::GetError(CString& strText) const
{
    strText = m_strError;
    return m_nError;
}

CAudioAbstractReader::CAudioAbstractReader() = default;

CAudioAbstractReader::~CAudioAbstractReader() = default;

CAudioAbstractWriter::CAudioAbstractWriter() = default;

CAudioAbstractWriter::~CAudioAbstractWriter() = default;

bool CAudioAbstractWriter::ConvertFrameForWriting(CAudioFrame* pFrame, int channels,
                                                  uint32_t sampleRate, int bitsPerSample,
                                                  ConvertOrder order)
{
    if (!pFrame) {
        SetError(AUDIO_ERROR_CONVERSION, "NULL Frame");
        return false;
    }
    // Nothing to convert; the frame conversions would refuse it as empty.
    if (pFrame->IsEmpty())
        return true;

    const int bytes = bitsPerSample / 8;
    const int isSigned = bitsPerSample == 8 ? 0 : 1;
    auto convertBits = [&] {
        if (pFrame->GetBytesPerSample() == bytes && pFrame->GetSigned() == isSigned &&
            pFrame->GetByteOrder() == 0)
            return true;
        if (pFrame->ConvertSampleFormat(bytes, isSigned, 0))
            return true;
        SetError(AUDIO_ERROR_CONVERSION, "Wrong bits per sample");
        return false;
    };
    auto convertChannels = [&] {
        if (pFrame->GetChannels() == channels || pFrame->ConvertChannels(channels))
            return true;
        SetError(AUDIO_ERROR_CONVERSION, "Cannot convert number of channels");
        return false;
    };

    bool ok = order == ConvertOrder::BitsChannelsRate ? convertBits() && convertChannels()
                                                      : convertChannels() && convertBits();
    if (!ok)
        return false;
    if (pFrame->GetSampleRate() != sampleRate && !pFrame->Resample(sampleRate)) {
        SetError(AUDIO_ERROR_CONVERSION, "Can't resample frame");
        return false;
    }
    return true;
}
