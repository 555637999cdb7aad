// Encoding to an ASF/WMA file with a system profile.
#include "runtime/wmvcore/writer.h"

#include "runtime/wmvcore/wmvcore_ids.h"

#include <cstring>

namespace {

struct Profile {
    const GUID* id;
    int channels;
    int bitrate;
};
// The codec refuses less than 24 kbps; every system profile we offer is above that.
const Profile kProfiles[] = {
    {&kWmProfileAudio28Mono, 1, 28000},    {&kWmProfileAudio28Stereo, 2, 28000},
    {&kWmProfileAudio32Stereo, 2, 32000},  {&kWmProfileAudio48Stereo, 2, 48000},
    {&kWmProfileAudio64Stereo, 2, 64000},  {&kWmProfileAudio96Stereo, 2, 96000},
    {&kWmProfileAudio128Stereo, 2, 128000},
};

// Payload and packet framing around one superframe (see asf::BuildPacket).
constexpr uint32_t kPacketOverhead = 28;

} // namespace

HRESULT CAttributeTable::Get(LPCWSTR name, WMT_ATTR_DATATYPE* type, BYTE* value, WORD* length) const
{
    if (!name || !type || !length)
        return E_POINTER;
    const std::u16string key(reinterpret_cast<const char16_t*>(name));
    for (const asf::Attribute& a : m_attributes) {
        if (a.name != key)
            continue;
        *type = static_cast<WMT_ATTR_DATATYPE>(a.type);
        if (a.value.size() > 0xFFFF)
            return kBufferTooSmall;
        const WORD size = static_cast<WORD>(a.value.size());
        if (value && *length < size) {
            *length = size;
            return kBufferTooSmall;
        }
        if (value)
            std::memcpy(value, a.value.data(), size);
        *length = size;
        return S_OK;
    }
    return kNotFound;
}

namespace {

// A WM_PICTURE handed in by the caller, stored packed as the file holds it: type byte, 32-bit
// data length, MIME type and description as zero-ended UTF-16, the data.
bool PackPicture(const BYTE* value, WORD length, std::vector<uint8_t>& packed)
{
    if (length != sizeof(WmPicture))
        return false;
    WmPicture picture;
    std::memcpy(&picture, value, sizeof picture);
    if (!picture.pbData && picture.dwDataLen)
        return false;
    packed.clear();
    packed.push_back(picture.bPictureType);
    for (int i = 0; i < 4; ++i)
        packed.push_back(static_cast<uint8_t>(picture.dwDataLen >> (8 * i)));
    for (const WCHAR* text : {picture.pwszMIMEType, picture.pwszDescription}) {
        for (const WCHAR* c = text; c && *c; ++c)
            packed.push_back(*c & 0xFF), packed.push_back(static_cast<uint8_t>(*c >> 8));
        packed.push_back(0), packed.push_back(0);
    }
    packed.insert(packed.end(), picture.pbData, picture.pbData + picture.dwDataLen);
    return packed.size() <= 0xFFFF;
}

} // namespace

HRESULT CAttributeTable::Set(LPCWSTR name, WMT_ATTR_DATATYPE type, const BYTE* value, WORD length)
{
    if (!name || !*name || (!value && length) || type > WMT_TYPE_GUID)
        return E_INVALIDARG;
    asf::Attribute a;
    a.name = reinterpret_cast<const char16_t*>(name);
    a.type = static_cast<asf::AttrType>(type);
    if (a.name == u"WM/Picture" && type == WMT_TYPE_BINARY) {
        if (!PackPicture(value, length, a.value))
            return E_INVALIDARG;
    } else if (value) {
        a.value.assign(value, value + length);
    }
    for (asf::Attribute& old : m_attributes) {
        if (old.name == a.name) {
            old = std::move(a);
            return S_OK;
        }
    }
    m_attributes.push_back(std::move(a));
    return S_OK;
}

CWriter::~CWriter()
{
    CloseFile();
}

HRESULT STDMETHODCALLTYPE CWriter::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IWMWriter) {
        *ppv = static_cast<IWMWriter*>(this);
    } else if (riid == IID_IWMHeaderInfo) {
        *ppv = static_cast<IWMHeaderInfo*>(this);
    } else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CWriter::SetProfileByID(REFGUID guidProfile)
{
    if (m_encoder)
        return kInvalidRequest;
    for (const Profile& p : kProfiles) {
        if (*p.id == guidProfile) {
            m_profileChannels = p.channels;
            m_bitrate = p.bitrate;
            m_input = PcmMediaType::Pcm(p.channels, 44100, 16);
            return S_OK;
        }
    }
    return E_INVALIDARG;
}

HRESULT STDMETHODCALLTYPE CWriter::SetOutputFilename(const WCHAR* pwszFilename)
{
    if (!pwszFilename || !*pwszFilename)
        return E_INVALIDARG;
    if (m_encoder)
        return kInvalidRequest;
    m_path = pwszFilename;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CWriter::GetInputCount(DWORD* pcInputs)
{
    if (!pcInputs)
        return E_POINTER;
    *pcInputs = m_profileChannels ? 1 : 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CWriter::GetInputProps(DWORD dwInputNum, IWMInputMediaProps** ppInput)
{
    if (!ppInput)
        return E_POINTER;
    *ppInput = nullptr;
    if (dwInputNum != 0 || !m_profileChannels)
        return E_INVALIDARG;
    *ppInput = new CInputProps(m_input);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CWriter::SetInputProps(DWORD dwInputNum, IWMInputMediaProps* pInput)
{
    if (!pInput)
        return E_POINTER;
    if (dwInputNum != 0 || !m_profileChannels || m_encoder)
        return E_INVALIDARG;
    DWORD size = 0;
    if (FAILED(pInput->GetMediaType(nullptr, &size)) || size < sizeof(WM_MEDIA_TYPE))
        return E_INVALIDARG;
    std::vector<BYTE> block(size);
    auto* mt = reinterpret_cast<WM_MEDIA_TYPE*>(block.data());
    PcmMediaType type;
    if (FAILED(pInput->GetMediaType(mt, &size)) || !type.Assign(mt))
        return E_INVALIDARG;
    const WAVEFORMATEX* w = type.Wave();
    // The extra-size field of a PCM format carries nothing; it is not checked.
    if (!w || w->wFormatTag != WAVE_FORMAT_PCM || w->wBitsPerSample != 16 || w->nChannels < 1 ||
        w->nChannels > 2 || w->nSamplesPerSec == 0 || w->nSamplesPerSec > 48000)
        return kInvalidInputFormat;
    m_input = std::move(type);
    return S_OK;
}

bool CWriter::WriteBytes(const void* data, size_t size)
{
    DWORD written = 0;
    if (!WriteFile(m_file, data, static_cast<DWORD>(size), &written, nullptr)) {
        m_writeError = HRESULT_FROM_WIN32(GetLastError());
        return false;
    }
    // A disk that takes only part of a write is full.
    if (written != size) {
        m_writeError = HRESULT_FROM_WIN32(ERROR_DISK_FULL);
        return false;
    }
    return true;
}

HRESULT CWriter::WriteError() const
{
    return FAILED(m_writeError) ? m_writeError : E_FAIL;
}

void CWriter::CloseFile()
{
    if (m_file != INVALID_HANDLE_VALUE)
        CloseHandle(m_file);
    m_file = INVALID_HANDLE_VALUE;
    m_encoder.reset();
}

HRESULT STDMETHODCALLTYPE CWriter::BeginWriting()
{
    if (m_encoder || !m_profileChannels || m_path.empty())
        return kInvalidRequest;
    const WAVEFORMATEX* w = m_input.Wave();
    auto encoder = std::make_unique<CWmaEncoder>();
    if (!w || !encoder->Open(m_profileChannels, static_cast<int>(w->nSamplesPerSec), m_bitrate))
        return kInvalidInputFormat;
    m_file = CreateFileW(m_path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (m_file == INVALID_HANDLE_VALUE)
        return HRESULT_FROM_WIN32(GetLastError());
    m_writeError = S_OK;
    m_encoder = std::move(encoder);
    m_header = asf::Header();
    m_header.hasAudio = true;
    m_header.audioStream = 1;
    m_header.audio = m_encoder->Format();
    m_header.packetSize = m_header.audio.blockAlign + kPacketOverhead;
    m_header.maxBitrate = static_cast<uint32_t>(m_bitrate);
    m_header.attributes = m_table.m_attributes;
    m_objects = 0;
    // Sizes and counts are written again in place by EndWriting.
    const std::vector<uint8_t> header = asf::BuildHeader(m_header);
    if (!WriteBytes(header.data(), header.size()) || !WritePackets()) {
        const HRESULT hr = WriteError();
        CloseFile();
        return hr;
    }
    return S_OK;
}

bool CWriter::WritePackets()
{
    const uint32_t rate = m_header.audio.sampleRate;
    const uint16_t durationMs = static_cast<uint16_t>(m_encoder->FrameSize() * 1000ull / rate);
    std::vector<uint8_t> packet;
    auto& queue = m_encoder->Packets();
    while (!queue.empty()) {
        const std::vector<uint8_t>& data = queue.front();
        const uint32_t timeMs =
            static_cast<uint32_t>(m_objects * m_encoder->FrameSize() * 1000ull / rate);
        if (!asf::BuildPacket(m_header.packetSize, 1, static_cast<uint8_t>(m_objects), timeMs,
                              durationMs, data.data(), data.size(), packet) ||
            !WriteBytes(packet.data(), packet.size()))
            return false;
        queue.pop_front();
        ++m_objects;
    }
    return true;
}

HRESULT STDMETHODCALLTYPE CWriter::AllocateSample(DWORD dwSampleSize, INSSBuffer** ppSample)
{
    if (!ppSample)
        return E_POINTER;
    *ppSample = new CNSSBuffer(dwSampleSize);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CWriter::WriteSample(DWORD dwInputNum, QWORD, DWORD, INSSBuffer* pSample)
{
    if (!pSample)
        return E_POINTER;
    if (!m_encoder || dwInputNum != 0)
        return kInvalidRequest;
    BYTE* data = nullptr;
    DWORD length = 0;
    if (FAILED(pSample->GetBufferAndLength(&data, &length)))
        return E_INVALIDARG;
    const int channels = m_input.Wave()->nChannels;
    const size_t frames = length / (2 * channels);
    std::vector<int16_t> pcm(frames * channels);
    std::memcpy(pcm.data(), data, pcm.size() * sizeof(int16_t));
    if (!m_encoder->Push(pcm.data(), frames, channels))
        return E_FAIL;
    if (!WritePackets())
        return WriteError();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CWriter::Flush()
{
    // Packets go out as soon as a superframe is complete; padding happens only at the end.
    return m_encoder ? S_OK : kInvalidRequest;
}

HRESULT STDMETHODCALLTYPE CWriter::EndWriting()
{
    if (!m_encoder)
        return kInvalidRequest;
    HRESULT hr = S_OK;
    if (!m_encoder->Finish()) {
        hr = E_FAIL;
    } else if (!WritePackets()) {
        hr = WriteError();
    } else {
        const uint32_t rate = m_header.audio.sampleRate;
        m_header.packetCount = m_objects;
        m_header.fileSize = 0;
        std::vector<uint8_t> header = asf::BuildHeader(m_header);
        m_header.fileSize = header.size() + m_objects * m_header.packetSize;
        m_header.playDuration = (m_encoder->InputFrames() * 10000000 + rate / 2) / rate;
        m_header.sendDuration = m_header.playDuration;
        header = asf::BuildHeader(m_header);
        if (SetFilePointer(m_file, 0, nullptr, FILE_BEGIN) != 0)
            hr = HRESULT_FROM_WIN32(GetLastError());
        else if (!WriteBytes(header.data(), header.size()))
            hr = WriteError();
    }
    if (m_file != INVALID_HANDLE_VALUE && !CloseHandle(m_file) && SUCCEEDED(hr))
        hr = HRESULT_FROM_WIN32(GetLastError());
    m_file = INVALID_HANDLE_VALUE;
    CloseFile();
    return hr;
}

HRESULT STDMETHODCALLTYPE CWriter::GetAttributeByName(WORD* stream_num, LPCWSTR name,
                                                      WMT_ATTR_DATATYPE* type, BYTE* value,
                                                      WORD* length)
{
    return m_table.Get(name, type, value, length);
}

HRESULT STDMETHODCALLTYPE CWriter::SetAttribute(WORD stream_num, LPCWSTR name,
                                                WMT_ATTR_DATATYPE type, const BYTE* value,
                                                WORD length)
{
    if (m_encoder)
        return kInvalidRequest; // the header is already written
    if (stream_num != 0)
        return E_INVALIDARG;
    return m_table.Set(name, type, value, length);
}
