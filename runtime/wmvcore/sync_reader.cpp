// Reading an ASF/WMA file through an IStream, packet by packet.
#include "runtime/wmvcore/sync_reader.h"

#include <algorithm>
#include <cstring>

namespace {
// Bounds for what a header may claim.
constexpr uint64_t kMaxHeaderSize = 16u << 20;
constexpr uint32_t kMaxPacketSize = 1u << 20;
} // namespace

CSyncReader::~CSyncReader()
{
    Close();
}

HRESULT STDMETHODCALLTYPE CSyncReader::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IWMSyncReader) {
        *ppv = static_cast<IWMSyncReader*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

bool CSyncReader::ReadExactly(void* buffer, ULONG size)
{
    auto* p = static_cast<BYTE*>(buffer);
    while (size > 0) {
        ULONG got = 0;
        if (FAILED(m_pStream->Read(p, size, &got)) || got == 0)
            return false;
        p += got;
        size -= got;
    }
    return true;
}

HRESULT STDMETHODCALLTYPE CSyncReader::OpenStream(IStream* pStream)
{
    if (!pStream)
        return E_POINTER;
    Close();
    m_pStream = pStream;
    m_pStream->AddRef();

    std::vector<uint8_t> bytes(asf::kObjectHeaderSize);
    if (!ReadExactly(bytes.data(), static_cast<ULONG>(bytes.size())))
        return Close(), kInvalidData;
    const uint64_t size = asf::HeaderObjectSize(bytes.data(), bytes.size());
    if (size == 0 || size > kMaxHeaderSize)
        return Close(), kInvalidData;
    bytes.resize(static_cast<size_t>(size));
    uint8_t dataHeader[asf::kDataObjectHeaderSize];
    if (!ReadExactly(bytes.data() + asf::kObjectHeaderSize,
                     static_cast<ULONG>(size - asf::kObjectHeaderSize)) ||
        !asf::ParseHeader(bytes.data(), bytes.size(), m_header) || !m_header.hasAudio ||
        m_header.packetSize == 0 || m_header.packetSize > kMaxPacketSize ||
        !ReadExactly(dataHeader, sizeof dataHeader))
        return Close(), kInvalidData;

    m_decoder = std::make_unique<CWmaDecoder>();
    if (!m_decoder->Open(m_header.audio))
        return Close(), kInvalidInputFormat;
    uint64_t packets = 0;
    std::memcpy(&packets, dataHeader + 40, sizeof packets);
    m_packetsLeft = packets != 0 ? packets : m_header.packetCount;
    if (m_packetsLeft == 0)
        m_packetsLeft = UINT64_MAX; // still being written: read until the stream ends
    const uint64_t preroll = static_cast<uint64_t>(m_header.prerollMs) * 10000;
    // A broadcast file's durations are not valid; otherwise decoding stops at the duration,
    // which cuts the codec's padding of the last frame.
    if (!(m_header.flags & 1)) {
        const uint64_t d = m_header.playDuration > preroll ? m_header.playDuration - preroll : 0;
        m_limit = (d * m_header.audio.sampleRate + 5000000) / 10000000;
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSyncReader::Close()
{
    if (m_pStream)
        m_pStream->Release();
    m_pStream = nullptr;
    m_decoder.reset();
    m_assembler = asf::ObjectAssembler();
    m_pcm.clear();
    m_flushed = false;
    m_delivered = 0;
    m_limit = UINT64_MAX;
    m_packetsLeft = 0;
    return S_OK;
}

bool CSyncReader::DecodeNextPacket(HRESULT& error)
{
    error = S_OK;
    if (m_packetsLeft == 0)
        return false;
    std::vector<uint8_t> packet(m_header.packetSize);
    if (!ReadExactly(packet.data(), m_header.packetSize))
        return false;
    if (m_packetsLeft != UINT64_MAX)
        --m_packetsLeft;
    bool ok = true;
    asf::ParsePacket(packet.data(), packet.size(), [&](const asf::Payload& p) {
        std::vector<uint8_t> object;
        if (p.streamNumber == m_header.audioStream && m_assembler.Add(p, object))
            ok = ok && m_decoder->Decode(object.data(), object.size(), m_pcm);
    });
    // The codec holds back its last frame: drain it with the last packet, so the caller has
    // every sample by the time it has read the whole file.
    if (ok && m_packetsLeft == 0 && !m_flushed) {
        m_flushed = true;
        ok = m_decoder->Flush(m_pcm);
    }
    if (!ok)
        error = kInvalidData;
    return ok;
}

HRESULT STDMETHODCALLTYPE CSyncReader::GetNextSample(WORD wStreamNum, INSSBuffer** ppSample,
                                                     QWORD* pcnsSampleTime, QWORD* pcnsDuration,
                                                     DWORD* pdwFlags, DWORD* pdwOutputNum,
                                                     WORD* pwStreamNum)
{
    if (!ppSample)
        return E_POINTER;
    *ppSample = nullptr;
    if (!m_pStream || !m_decoder)
        return kInvalidRequest;
    if (wStreamNum != 0 && wStreamNum != m_header.audioStream)
        return kNoMoreSamples;
    const int channels = m_decoder->Channels();
    while (m_pcm.empty() && m_delivered < m_limit) {
        HRESULT error = S_OK;
        if (!DecodeNextPacket(error)) {
            if (FAILED(error))
                return error;
            // The stream ended before its packet count said (or had none): drain the codec.
            if (m_flushed)
                break;
            m_flushed = true;
            if (!m_decoder->Flush(m_pcm))
                return kInvalidData;
        }
    }
    uint64_t frames = m_pcm.size() / channels;
    frames = std::min<uint64_t>(frames, m_limit - m_delivered);
    if (frames == 0) {
        m_pcm.clear();
        return kNoMoreSamples;
    }
    const DWORD bytes = static_cast<DWORD>(frames * channels * sizeof(int16_t));
    auto* buffer = new CNSSBuffer(bytes);
    std::memcpy(buffer->m_data.data(), m_pcm.data(), bytes);
    buffer->m_length = bytes;
    m_pcm.erase(m_pcm.begin(), m_pcm.begin() + static_cast<ptrdiff_t>(frames * channels));
    const uint32_t rate = m_header.audio.sampleRate;
    if (pcnsSampleTime)
        *pcnsSampleTime = m_delivered * 10000000 / rate;
    if (pcnsDuration)
        *pcnsDuration = frames * 10000000 / rate;
    if (pdwFlags)
        *pdwFlags = 0;
    if (pdwOutputNum)
        *pdwOutputNum = 0;
    if (pwStreamNum)
        *pwStreamNum = m_header.audioStream;
    m_delivered += frames;
    if (m_delivered >= m_limit)
        m_pcm.clear();
    *ppSample = buffer;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSyncReader::SetStreamsSelected(WORD cStreamCount, WORD* pwStreamNumbers,
                                                          WMT_STREAM_SELECTION* pSelections)
{
    if (!m_decoder)
        return kInvalidRequest;
    if (cStreamCount == 0 || !pwStreamNumbers || !pSelections)
        return E_INVALIDARG;
    for (WORD i = 0; i < cStreamCount; ++i)
        if (pwStreamNumbers[i] != m_header.audioStream)
            return E_INVALIDARG;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSyncReader::SetReadStreamSamples(WORD wStreamNum, WINBOOL fCompressed)
{
    if (!m_decoder)
        return kInvalidRequest;
    if (wStreamNum != m_header.audioStream || fCompressed)
        return E_INVALIDARG;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSyncReader::GetOutputCount(DWORD* pcOutputs)
{
    if (!pcOutputs)
        return E_POINTER;
    *pcOutputs = m_decoder ? 1 : 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CSyncReader::GetOutputProps(DWORD dwOutputNum,
                                                      IWMOutputMediaProps** ppOutput)
{
    return GetOutputFormat(dwOutputNum, 0, ppOutput);
}

HRESULT STDMETHODCALLTYPE CSyncReader::GetOutputFormat(DWORD dwOutputNum, DWORD dwFormatNum,
                                                       IWMOutputMediaProps** ppProps)
{
    if (!ppProps)
        return E_POINTER;
    *ppProps = nullptr;
    if (!m_decoder)
        return kInvalidRequest;
    if (dwOutputNum != 0 || dwFormatNum != 0)
        return E_INVALIDARG;
    *ppProps = new COutputProps(
        PcmMediaType::Pcm(m_decoder->Channels(), m_header.audio.sampleRate, 16));
    return S_OK;
}
