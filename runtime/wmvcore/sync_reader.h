// CSyncReader: IWMSyncReader of our wmvcore.dll. Reads an ASF file with one WMA stream through
// the caller's IStream, one data packet per GetNextSample, never ahead, so that the bytes the
// stream has given show how far decoding has got.
#pragma once

#include "runtime/wmvcore/asf_format.h"
#include "runtime/wmvcore/com_objects.h"
#include "runtime/wmvcore/wma_codec.h"

#include <memory>

class CSyncReader : public IWMSyncReader
{
public:
    CSyncReader() = default;
    virtual ~CSyncReader();
    CSyncReader(const CSyncReader&) = delete;
    CSyncReader& operator=(const CSyncReader&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override;
    WMV_REFCOUNT

    HRESULT STDMETHODCALLTYPE OpenStream(IStream* pStream) override;
    HRESULT STDMETHODCALLTYPE Close() override;
    HRESULT STDMETHODCALLTYPE GetNextSample(WORD wStreamNum, INSSBuffer** ppSample,
                                            QWORD* pcnsSampleTime, QWORD* pcnsDuration,
                                            DWORD* pdwFlags, DWORD* pdwOutputNum,
                                            WORD* pwStreamNum) override;
    HRESULT STDMETHODCALLTYPE SetStreamsSelected(WORD cStreamCount, WORD* pwStreamNumbers,
                                                 WMT_STREAM_SELECTION* pSelections) override;
    HRESULT STDMETHODCALLTYPE SetReadStreamSamples(WORD wStreamNum, WINBOOL fCompressed) override;
    HRESULT STDMETHODCALLTYPE GetOutputCount(DWORD* pcOutputs) override;
    HRESULT STDMETHODCALLTYPE GetOutputProps(DWORD dwOutputNum,
                                             IWMOutputMediaProps** ppOutput) override;
    HRESULT STDMETHODCALLTYPE GetOutputFormat(DWORD dwOutputNum, DWORD dwFormatNum,
                                              IWMOutputMediaProps** ppProps) override;

    HRESULT STDMETHODCALLTYPE Open(const WCHAR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetRange(QWORD, LONGLONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetRangeByFrame(WORD, QWORD, LONGLONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetStreamSelected(WORD, WMT_STREAM_SELECTION*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetReadStreamSamples(WORD, WINBOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetOutputSetting(DWORD, LPCWSTR, WMT_ATTR_DATATYPE*, BYTE*, WORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetOutputSetting(DWORD, LPCWSTR, WMT_ATTR_DATATYPE, const BYTE*, WORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetOutputProps(DWORD, IWMOutputMediaProps*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetOutputFormatCount(DWORD, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetOutputNumberForStream(WORD, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetStreamNumberForOutput(DWORD, WORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMaxOutputSampleSize(DWORD, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMaxStreamSampleSize(WORD, DWORD*) override { return E_NOTIMPL; }

private:
    bool ReadExactly(void* buffer, ULONG size);
    // Reads and decodes one data packet into m_pcm; false at the end of the data.
    bool DecodeNextPacket(HRESULT& error);

    IStream* m_pStream = nullptr;
    asf::Header m_header;
    uint64_t m_packetsLeft = 0;
    std::unique_ptr<CWmaDecoder> m_decoder;
    asf::ObjectAssembler m_assembler;
    std::vector<int16_t> m_pcm;      // decoded, not yet delivered
    bool m_flushed = false;          // the codec was drained at the end of the stream
    uint64_t m_delivered = 0;        // samples per channel delivered
    uint64_t m_limit = UINT64_MAX;   // the file's duration in samples per channel
};
