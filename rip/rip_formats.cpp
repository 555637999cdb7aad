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
#include "rip/rip_errors.h"

#include <memory>

namespace
{

// Each opener returns the opened object, or null with that object's own error text, having
// released whatever it opened. The CD opener also hands the opened disc to source.pDisc, and
// fails with an empty text when no disc opens on the task's drive (the job then reports
// "Can't find CD device").
using ReaderOpener = std::unique_ptr<CAudioAbstractReader> (*)(CRipTask& task,
                                                               CRipSource& source,
                                                               CString& strError);
using WriterOpener = std::unique_ptr<CAudioAbstractWriter> (*)(CRipTask& task, LPCTSTR lpszPath,
                                                               int nSampleRate,
                                                               CString& strError);

template <class TReader>
std::unique_ptr<CAudioAbstractReader> OpenFileReader(CRipTask& task, CRipSource&,
                                                     CString& strError)
{
    auto pReader = std::make_unique<TReader>();
    if (pReader->Open(task.GetInputFile()))
        return pReader;
    pReader->GetError(strError);
    return nullptr;
}

std::unique_ptr<CAudioAbstractReader> OpenCdReader(CRipTask& task, CRipSource& source,
                                                   CString& strError)
{
    CAudioCDManager manager(task.GetForceASPI());
    std::unique_ptr<CAudioCD> pCd(manager.OpenCD(task.GetDriveIndex()));
    if (!pCd)
        return nullptr;
    auto pReader = std::make_unique<CAudioCDReader>();
    if (pReader->Open(pCd.get(), task.GetStartSector(), task.GetEndSector(),
                      task.GetSlowSpeedMode() ? 176 : 0xFFFF, task.GetNumCDSectorsPerRead(),
                      task.GetCDReadBufSize() << 20)) {
        source.pDisc = std::move(pCd);
        return pReader;
    }
    pReader->GetError(strError);
    pReader.reset(); // before the disc it reads from
    return nullptr;
}

// How each writer opens with the task's settings. Ogg Vorbis, FLAC, MP3 and WMA writers
// always get the task's tag record; the WAV writer only when tags are asked for.
bool OpenWith(CAudioWavWriter& writer, CRipTask& task, LPCTSTR lpszPath, int nSampleRate)
{
    return writer.Open(lpszPath, task.GetChannels(), nSampleRate, task.GetWavBitsPerSample(),
                       task.GetTagsMode() > 0 ? task.GetTrack() : nullptr);
}

bool OpenWith(CAudioWMAWriter& writer, CRipTask& task, LPCTSTR lpszPath, int nSampleRate)
{
    return writer.Open(lpszPath, nSampleRate, task.GetWmaMode(), task.GetTrack());
}

bool OpenWith(CAudioMP3Writer& writer, CRipTask& task, LPCTSTR lpszPath, int nSampleRate)
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
    return writer.Open(lpszPath, task.GetChannels(), nSampleRate, task.GetMp3Bitrate(),
                       task.GetMp3VBRQuality(), flags, task.GetTrack());
}

bool OpenWith(CAudioVorbisWriter& writer, CRipTask& task, LPCTSTR lpszPath, int nSampleRate)
{
    return writer.Open(lpszPath, task.GetChannels(), nSampleRate, task.GetVorbisQuality(),
                       task.GetTrack());
}

bool OpenWith(CAudioFlacWriter& writer, CRipTask& task, LPCTSTR lpszPath, int nSampleRate)
{
    return writer.Open(lpszPath, task.GetChannels(), nSampleRate, task.GetFlacLevel(),
                       task.GetTrack());
}

template <class TWriter>
std::unique_ptr<CAudioAbstractWriter> OpenWriter(CRipTask& task, LPCTSTR lpszPath,
                                                 int nSampleRate, CString& strError)
{
    auto pWriter = std::make_unique<TWriter>();
    if (OpenWith(*pWriter, task, lpszPath, nSampleRate))
        return pWriter;
    pWriter->GetError(strError);
    return nullptr;
}

struct FormatEntry {
    int nType;                  // file type code, or 99 for a CD
    RipJobError readerError;    // the job's text when the reader cannot open
    ReaderOpener openReader;
    RipJobError writerError;    // the job's text when the writer cannot open
    WriterOpener openWriter;    // null: nothing is written in this format
};

const FormatEntry kFormats[] = {
    {FILETYPE_WAV, RipJobError::WavReaderInit, &OpenFileReader<CAudioWavReader>,
     RipJobError::WavWriterInit, &OpenWriter<CAudioWavWriter>},
    {FILETYPE_MP3, RipJobError::Mp3ReaderInit, &OpenFileReader<CAudioMP3Reader>,
     RipJobError::Mp3WriterInit, &OpenWriter<CAudioMP3Writer>},
    {FILETYPE_VORBIS, RipJobError::VorbisReaderInit, &OpenFileReader<CAudioVorbisReader>,
     RipJobError::VorbisWriterInit, &OpenWriter<CAudioVorbisWriter>},
    {FILETYPE_WMA, RipJobError::WmaReaderInit, &OpenFileReader<CAudioWMAReader>,
     RipJobError::WmaWriterInit, &OpenWriter<CAudioWMAWriter>},
    {FILETYPE_FLAC, RipJobError::FlacReaderInit, &OpenFileReader<CAudioFlacReader>,
     RipJobError::FlacWriterInit, &OpenWriter<CAudioFlacWriter>},
    {FILETYPE_CD, RipJobError::CdReaderInit, &OpenCdReader, RipJobError::General, nullptr},
};

const FormatEntry* FindFormat(int nType)
{
    for (const FormatEntry& entry : kFormats)
        if (entry.nType == nType)
            return &entry;
    return nullptr;
}

} // namespace

CRipSource::CRipSource() = default;

CRipSource::~CRipSource()
{
    Release();
}

void CRipSource::Release()
{
    pReader.reset();
    pDisc.reset();
}

BOOL RipOpenSource(CRipTask& task, CRipSource& source, CString& strError)
{
    strError.Empty();
    const FormatEntry* pEntry = FindFormat(task.GetSourceType());
    if (pEntry == nullptr) {
        // No reader recognised the input (a format of another kind, or damaged beyond telling).
        strError = RipSpliceDetail(I18NString("cripthread.const.unknowninputerror",
                                              "The input file's format is not recognised: %s"),
                                   task.GetInputFile());
        return FALSE;
    }
    CString strDetail;
    source.pReader = pEntry->openReader(task, source, strDetail);
    if (source.pReader)
        return TRUE;
    // An opener that fails has already released whatever it opened; a CD opener that found
    // no disc reports the complete text itself.
    if (pEntry->nType == CRipTask::SOURCE_CD && strDetail.IsEmpty())
        strError = RipErrorText(RipJobError::CannotFindCd);
    else
        strError = RipErrorText(pEntry->readerError, strDetail);
    return FALSE;
}

std::unique_ptr<CAudioAbstractWriter> RipOpenWriter(CRipTask& task, LPCTSTR lpszPath,
                                                    int nSampleRate, CString& strError)
{
    strError.Empty();
    const FormatEntry* pEntry = FindFormat(task.GetOutputFormat());
    if (pEntry == nullptr || pEntry->openWriter == nullptr) {
        // A failure always says so, also for a format code no writer has.
        strError = RipErrorText(RipJobError::General);
        return nullptr;
    }
    CString strDetail;
    std::unique_ptr<CAudioAbstractWriter> pWriter =
        pEntry->openWriter(task, lpszPath, nSampleRate, strDetail);
    if (!pWriter)
        strError = RipErrorText(pEntry->writerError, strDetail);
    return pWriter;
}
