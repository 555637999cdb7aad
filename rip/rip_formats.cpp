// The table of formats a job reads and writes, and the two openers the job calls.
#include "rip/rip_formats.h"

#include "audio/audio_stream.h"
#include "audio/cd/audio_cd.h"
#include "audio/cd/cd_reader.h"
#include "audio/formats/flac/flac_reader.h"
#include "audio/formats/flac/flac_writer.h"
#include "audio/formats/mp3/mp3_reader.h"
#include "audio/formats/mp3/mp3_writer.h"
#include "audio/formats/vorbis/vorbis_reader.h"
#include "audio/formats/vorbis/vorbis_writer.h"
#include "audio/formats/wav/wav_reader.h"
#include "audio/formats/wav/wav_writer.h"
#include "audio/formats/wma/wma_reader.h"
#include "audio/formats/wma/wma_writer.h"
#include "foundation/i18n/i18n.h"
#include "rip/rip_task.h"
#include "rip/rip_thread.h"

#include <memory>

namespace
{

// Each opener returns the opened object, or null with that object's own error text, having
// released whatever it opened. The CD opener also hands the opened disc's release to
// source.releaseDisc, and fails with an empty text when no disc opens on the task's drive
// (the job then reports "Can't find CD device").
using ReaderOpener = CAudioAbstractReader* (*)(CRipTask& task, CRipSource& source,
                                               CString& strError);
using WriterOpener = CAudioAbstractWriter* (*)(CRipTask& task, LPCTSTR lpszPath, int nSampleRate,
                                               CString& strError);

template <class TReader>
CAudioAbstractReader* OpenFileReader(CRipTask& task, CRipSource&, CString& strError)
{
    auto pReader = std::make_unique<TReader>();
    if (pReader->Open(task.GetInputFile()))
        return pReader.release();
    pReader->GetError(strError);
    return nullptr;
}

CAudioAbstractReader* OpenCdReader(CRipTask& task, CRipSource& source, CString& strError)
{
    CAudioCDManager manager(task.GetForceASPI());
    CAudioCD* pCd = manager.OpenCD(task.GetDriveIndex());
    if (pCd == nullptr)
        return nullptr;
    auto pReader = std::make_unique<CAudioCDReader>();
    if (pReader->Open(pCd, task.GetStartSector(), task.GetEndSector(),
                      task.GetSlowSpeedMode() ? 176 : 0xFFFF, task.GetNumCDSectorsPerRead(),
                      task.GetCDReadBufSize() << 20)) {
        source.releaseDisc = [pCd] { delete pCd; };
        return pReader.release();
    }
    pReader->GetError(strError);
    pReader.reset();
    delete pCd;
    return nullptr;
}

CAudioAbstractWriter* OpenWavWriter(CRipTask& task, LPCTSTR lpszPath, int nSampleRate,
                                    CString& strError)
{
    auto pWriter = std::make_unique<CAudioWavWriter>();
    if (pWriter->Open(lpszPath, task.GetChannels(), nSampleRate, task.GetWavBitsPerSample(),
                      task.GetTagsMode() > 0 ? task.GetTrack() : nullptr))
        return pWriter.release();
    pWriter->GetError(strError);
    return nullptr;
}

CAudioAbstractWriter* OpenWmaWriter(CRipTask& task, LPCTSTR lpszPath, int nSampleRate,
                                    CString& strError)
{
    auto pWriter = std::make_unique<CAudioWMAWriter>();
    if (pWriter->Open(lpszPath, nSampleRate, task.GetWmaMode(), task.GetTrack()))
        return pWriter.release();
    pWriter->GetError(strError);
    return nullptr;
}

CAudioAbstractWriter* OpenMp3Writer(CRipTask& task, LPCTSTR lpszPath, int nSampleRate,
                                    CString& strError)
{
    DWORD flags = 0;
    switch (task.GetMp3Mode()) {
    case 1: flags |= CAudioMP3Writer::FLAG_CBR; break;
    case 2: flags |= CAudioMP3Writer::FLAG_VBR; break;
    case 3: flags |= CAudioMP3Writer::FLAG_ABR; break;
    }
    switch (task.GetTagsMode()) {
    case 1: flags |= CAudioMP3Writer::FLAG_ID3V1; break;
    case 2: flags |= CAudioMP3Writer::FLAG_ID3V2; break;
    case 3: flags |= CAudioMP3Writer::FLAG_ID3V1 | CAudioMP3Writer::FLAG_ID3V2; break;
    }
    if (task.GetMp3WriteCRCs())
        flags |= CAudioMP3Writer::FLAG_CRC;
    auto pWriter = std::make_unique<CAudioMP3Writer>();
    if (pWriter->Open(lpszPath, task.GetChannels(), nSampleRate, task.GetMp3Bitrate(),
                      task.GetMp3VBRQuality(), flags, task.GetTrack()))
        return pWriter.release();
    pWriter->GetError(strError);
    return nullptr;
}

// Ogg Vorbis and FLAC writers always get the task's tag record.
CAudioAbstractWriter* OpenVorbisWriter(CRipTask& task, LPCTSTR lpszPath, int nSampleRate,
                                       CString& strError)
{
    auto pWriter = std::make_unique<CAudioVorbisWriter>();
    if (pWriter->Open(lpszPath, task.GetChannels(), nSampleRate, task.GetVorbisQuality(),
                      task.GetTrack()))
        return pWriter.release();
    pWriter->GetError(strError);
    return nullptr;
}

CAudioAbstractWriter* OpenFlacWriter(CRipTask& task, LPCTSTR lpszPath, int nSampleRate,
                                     CString& strError)
{
    auto pWriter = std::make_unique<CAudioFlacWriter>();
    if (pWriter->Open(lpszPath, task.GetChannels(), nSampleRate, task.GetFlacLevel(),
                      task.GetTrack()))
        return pWriter.release();
    pWriter->GetError(strError);
    return nullptr;
}

struct FormatEntry {
    int nType;            // file type code, or 99 for a CD
    int nReaderErrorCode; // CRipThread::ErrorText code when the reader cannot open
    ReaderOpener openReader;
    int nWriterErrorCode; // CRipThread::ErrorText code when the writer cannot open (0: none)
    WriterOpener openWriter;
};

// A null opener is a format this build does not have yet: the job fails with its error text.
const FormatEntry kFormats[] = {
    {0, 2, &OpenFileReader<CAudioWavReader>, 8, &OpenWavWriter},
    {1, 3, &OpenFileReader<CAudioMP3Reader>, 9, &OpenMp3Writer},
    {2, 4, &OpenFileReader<CAudioVorbisReader>, 10, &OpenVorbisWriter},
    {3, 5, &OpenFileReader<CAudioWMAReader>, 11, &OpenWmaWriter},
    {4, 6, &OpenFileReader<CAudioFlacReader>, 12, &OpenFlacWriter},
    {99, 1, &OpenCdReader, 0, nullptr},
};

const char kNotAvailable[] = "Format not available";

const FormatEntry* FindFormat(int nType)
{
    for (const FormatEntry& entry : kFormats)
        if (entry.nType == nType)
            return &entry;
    return nullptr;
}

// The job text of the code with the detail in place of its "%s". Spliced rather than
// formatted: a translated text is outside input and may hold other '%' sequences.
CString FormatError(int nCode, LPCTSTR lpszDetail)
{
    const CString strText = CRipThread::ErrorText(nCode);
    const int nAt = strText.Find("%s");
    if (nAt < 0)
        return strText;
    return strText.Left(nAt) + lpszDetail + strText.Mid(nAt + 2);
}

} // namespace

BOOL RipOpenSource(CRipTask& task, CRipSource& source, CString& strError)
{
    strError.Empty();
    const FormatEntry* pEntry = FindFormat(task.GetSourceType());
    if (pEntry == nullptr) {
        // No reader recognised the input (a format of another kind, or damaged beyond telling).
        strError = I18NString("cripthread.const.unknowninputerror",
                              "The input file's format is not recognised: %s");
        const int nAt = strError.Find("%s");
        if (nAt >= 0)
            strError = strError.Left(nAt) + task.GetInputFile() + strError.Mid(nAt + 2);
        return FALSE;
    }
    if (pEntry->openReader == nullptr) {
        strError = FormatError(pEntry->nReaderErrorCode, kNotAvailable);
        return FALSE;
    }
    CString strDetail;
    source.pReader = pEntry->openReader(task, source, strDetail);
    if (source.pReader != nullptr)
        return TRUE;
    // An opener that fails has already released whatever it opened; a CD opener that found
    // no disc reports the complete text itself.
    if (pEntry->nType == CRipTask::SOURCE_CD && strDetail.IsEmpty())
        strError = CRipThread::ErrorText(7);
    else
        strError = FormatError(pEntry->nReaderErrorCode, strDetail);
    return FALSE;
}

CAudioAbstractWriter* RipOpenWriter(CRipTask& task, LPCTSTR lpszPath, int nSampleRate,
                                    CString& strError)
{
    strError.Empty();
    const FormatEntry* pEntry = FindFormat(task.GetOutputFormat());
    if (pEntry == nullptr || pEntry->nWriterErrorCode == 0)
        return nullptr;
    if (pEntry->openWriter == nullptr) {
        strError = FormatError(pEntry->nWriterErrorCode, kNotAvailable);
        return nullptr;
    }
    CString strDetail;
    CAudioAbstractWriter* pWriter = pEntry->openWriter(task, lpszPath, nSampleRate, strDetail);
    if (pWriter == nullptr)
        strError = FormatError(pEntry->nWriterErrorCode, strDetail);
    return pWriter;
}
