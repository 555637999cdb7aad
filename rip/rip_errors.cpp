// The job error texts with their translation keys.
#include "rip/rip_errors.h"

#include "foundation/i18n/i18n.h"

CString RipErrorText(int nCode)
{
    struct Text {
        RipJobError code;
        LPCTSTR lpszKey;
        LPCTSTR lpszDefault;
    };
    static const Text kTexts[] = {
        {RipJobError::CdReaderInit, "cripthread.const.cdreaderiniterror",
         "CD Reader initialization error: %s"},
        {RipJobError::WavReaderInit, "cripthread.const.wavreaderiniterror",
         "Wav Reader initialization error: %s"},
        {RipJobError::Mp3ReaderInit, "cripthread.const.mp3readeriniterror",
         "Mp3 Reader initialization error: %s"},
        {RipJobError::VorbisReaderInit, "cripthread.const.vorbisreaderiniterror",
         "Vorbis Reader initialization error: %s"},
        {RipJobError::WmaReaderInit, "cripthread.const.wmareaderiniterror",
         "Wma Reader initialization error: %s"},
        {RipJobError::FlacReaderInit, "cripthread.const.flacreaderiniterror",
         "Flac Reader initialization error: %s"},
        {RipJobError::CannotFindCd, "cripthread.const.cannotfindcd", "Can't find CD device"},
        {RipJobError::WavWriterInit, "cripthread.const.wavwriteriniterror",
         "Wav Writer initialization error: %s"},
        {RipJobError::Mp3WriterInit, "cripthread.const.mp3writeriniterror",
         "Mp3 Writer initialization error: %s"},
        {RipJobError::VorbisWriterInit, "cripthread.const.vorbiswriteriniterror",
         "Vorbis Writer initialization error: %s"},
        {RipJobError::WmaWriterInit, "cripthread.const.wmawriteriniterror",
         "Wma Writer initialization error: %s"},
        {RipJobError::FlacWriterInit, "cripthread.const.flacwriteriniterror",
         "Flac Writer initialization error: %s"},
        {RipJobError::UserStop, "cripthread.const.userstoperror", "Stopped by the user"},
    };
    for (const Text& text : kTexts)
        if (static_cast<int>(text.code) == nCode)
            return I18NString(text.lpszKey, text.lpszDefault);
    return I18NString("cripthread.const.generalerror", "General error");
}

CString RipSpliceDetail(const CString& strText, LPCTSTR lpszDetail)
{
    const int nAt = strText.Find("%s");
    if (nAt < 0)
        return strText;
    return strText.Left(nAt) + lpszDetail + strText.Mid(nAt + 2);
}

CString RipErrorText(RipJobError code, LPCTSTR lpszDetail)
{
    return RipSpliceDetail(RipErrorText(code), lpszDetail);
}
