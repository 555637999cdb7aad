// The error state every audio object keeps, and the writers' frame conversion step.
#include "audio/audio_stream.h"

#include <atomic>
#include <chrono>
#ifdef _WIN32
#include <windows.h>
#else
#include <thread>
#endif

namespace
{
thread_local double t_dSleepSeconds = 0;
std::atomic<int64_t> g_nSleepNanoseconds{0};
} // namespace

void StreamSleep(DWORD dwMs)
{
    const auto t0 = std::chrono::steady_clock::now();
#ifdef _WIN32
    ::Sleep(dwMs);
#else
    std::this_thread::sleep_for(std::chrono::milliseconds(dwMs));
#endif
    const auto ns =
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - t0)
            .count();
    t_dSleepSeconds += ns / 1e9;
    g_nSleepNanoseconds += ns;
}

double GetThreadSleepSeconds()
{
    return t_dSleepSeconds;
}

double GetProcessSleepSeconds()
{
    return g_nSleepNanoseconds.load() / 1e9;
}

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
