// Reading the attributes of an ASF file.
#include "runtime/wmvcore/editor.h"

#include <cstring>

namespace {

constexpr DWORD kMaxHeaderSize = 16u << 20;

// Packed picture: type byte, 32-bit data length, MIME type and description as zero-ended
// UTF-16, the data.
bool UnpackPicture(const std::vector<uint8_t>& packed, std::vector<uint8_t>& out)
{
    if (packed.size() < 5)
        return false;
    const uint8_t type = packed[0];
    uint32_t dataLength = 0;
    std::memcpy(&dataLength, packed.data() + 1, 4);
    size_t pos = 5;
    size_t textStart[2], textBytes[2];
    for (int t = 0; t < 2; ++t) {
        textStart[t] = pos;
        while (pos + 1 < packed.size() && (packed[pos] | packed[pos + 1]))
            pos += 2;
        if (pos + 1 >= packed.size())
            return false;
        pos += 2;
        textBytes[t] = pos - textStart[t];
    }
    if (dataLength > packed.size() - pos)
        return false;
    // WmPicture, then the two texts (kept 2-byte aligned) and the data.
    out.assign(sizeof(WmPicture) + textBytes[0] + textBytes[1] + dataLength, 0);
    auto* pic = reinterpret_cast<WmPicture*>(out.data());
    BYTE* p = out.data() + sizeof(WmPicture);
    std::memcpy(p, packed.data() + textStart[0], textBytes[0]);
    pic->pwszMIMEType = reinterpret_cast<LPWSTR>(p);
    p += textBytes[0];
    std::memcpy(p, packed.data() + textStart[1], textBytes[1]);
    pic->pwszDescription = reinterpret_cast<LPWSTR>(p);
    p += textBytes[1];
    std::memcpy(p, packed.data() + pos, dataLength);
    pic->bPictureType = type;
    pic->dwDataLen = dataLength;
    pic->pbData = p;
    return true;
}

// Pointers inside a WmPicture copied to another place must follow it.
void RebasePicture(BYTE* dst, const BYTE* src)
{
    auto* pic = reinterpret_cast<WmPicture*>(dst);
    const ptrdiff_t shift = dst - src;
    pic->pwszMIMEType = reinterpret_cast<LPWSTR>(reinterpret_cast<BYTE*>(pic->pwszMIMEType) + shift);
    pic->pwszDescription =
        reinterpret_cast<LPWSTR>(reinterpret_cast<BYTE*>(pic->pwszDescription) + shift);
    pic->pbData += shift;
}

} // namespace

HRESULT STDMETHODCALLTYPE CMetadataEditor::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IWMMetadataEditor) {
        *ppv = static_cast<IWMMetadataEditor*>(this);
    } else if (riid == IID_IWMHeaderInfo) {
        *ppv = static_cast<IWMHeaderInfo*>(this);
    } else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CMetadataEditor::Open(const WCHAR* pwszFilename)
{
    if (!pwszFilename)
        return E_POINTER;
    if (m_open)
        return kInvalidRequest;
    HANDLE file = CreateFileW(pwszFilename, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return HRESULT_FROM_WIN32(GetLastError());
    std::vector<uint8_t> bytes(asf::kObjectHeaderSize);
    DWORD got = 0;
    bool ok = ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr) &&
              got == bytes.size();
    const uint64_t size = ok ? asf::HeaderObjectSize(bytes.data(), bytes.size()) : 0;
    ok = size != 0 && size <= kMaxHeaderSize;
    if (ok) {
        bytes.resize(static_cast<size_t>(size));
        const DWORD rest = static_cast<DWORD>(size - asf::kObjectHeaderSize);
        ok = ReadFile(file, bytes.data() + asf::kObjectHeaderSize, rest, &got, nullptr) &&
             got == rest;
    }
    CloseHandle(file);
    asf::Header header;
    if (!ok || !asf::ParseHeader(bytes.data(), bytes.size(), header))
        return kInvalidData;
    m_table.m_attributes.clear();
    for (asf::Attribute& a : header.attributes) {
        if (a.name == u"WM/Picture") {
            // A picture that does not unpack is dropped: handing out its raw bytes would make
            // the caller read them as the WM_PICTURE's pointers.
            std::vector<uint8_t> picture;
            if (a.type == asf::kBinary) {
                if (!UnpackPicture(a.value, picture))
                    continue;
                a.value.swap(picture);
            }
        }
        m_table.m_attributes.push_back(std::move(a));
    }
    m_open = true;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CMetadataEditor::Close()
{
    if (!m_open)
        return kInvalidRequest;
    m_open = false;
    m_table.m_attributes.clear();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CMetadataEditor::GetAttributeByName(WORD* stream_num, LPCWSTR name,
                                                              WMT_ATTR_DATATYPE* type,
                                                              BYTE* value, WORD* length)
{
    if (!m_open)
        return kInvalidRequest;
    if (stream_num && *stream_num != 0)
        return kNotFound; // only file-level attributes exist here
    HRESULT hr = m_table.Get(name, type, value, length);
    if (SUCCEEDED(hr) && value && std::u16string(reinterpret_cast<const char16_t*>(name)) ==
                                      u"WM/Picture" && *type == WMT_TYPE_BINARY) {
        // Get() returned the first picture; its pointers must follow the copy, once.
        for (const asf::Attribute& a : m_table.m_attributes) {
            if (a.name == u"WM/Picture") {
                RebasePicture(value, a.value.data());
                break;
            }
        }
    }
    return hr;
}
