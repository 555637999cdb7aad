// Reading the attributes of an ASF file.
#include "runtime/wmvcore/editor.h"

#include <cstring>

namespace {

constexpr DWORD kMaxHeaderSize = 16u << 20;

// The packed picture as a WmPicture followed by the two texts (kept 2-byte aligned) and the
// data; false when the packed value is damaged.
bool UnpackPicture(const std::vector<uint8_t>& packed, std::vector<uint8_t>& out)
{
    asf::Picture parsed;
    if (!asf::ParsePicture(packed.data(), packed.size(), parsed))
        return false;
    const size_t mimeBytes = parsed.mimeType.size(), descriptionBytes = parsed.description.size();
    out.assign(sizeof(WmPicture) + mimeBytes + descriptionBytes + parsed.data.size(), 0);
    auto* pic = reinterpret_cast<WmPicture*>(out.data());
    BYTE* p = out.data() + sizeof(WmPicture);
    std::memcpy(p, parsed.mimeType.data(), mimeBytes);
    pic->pwszMIMEType = reinterpret_cast<LPWSTR>(p);
    p += mimeBytes;
    std::memcpy(p, parsed.description.data(), descriptionBytes);
    pic->pwszDescription = reinterpret_cast<LPWSTR>(p);
    p += descriptionBytes;
    if (!parsed.data.empty())
        std::memcpy(p, parsed.data.data(), parsed.data.size());
    pic->bPictureType = parsed.type;
    pic->dwDataLen = static_cast<DWORD>(parsed.data.size());
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
