// Owners of the libogg and libvorbis states of one Ogg Vorbis stream, so that every path out
// of a reader or writer clears exactly what was initialised.
// Classes here: CVorbisDecoder, CVorbisEncoder.
#pragma once

#include <ogg/ogg.h>
#include <vorbis/codec.h>

// The states of one decoding. Sync state, info and comment live from construction;
// StartStream and StartSynthesis set up the rest once the first page and the headers are in.
class CVorbisDecoder
{
public:
    CVorbisDecoder();
    ~CVorbisDecoder();
    CVorbisDecoder(const CVorbisDecoder&) = delete;
    CVorbisDecoder& operator=(const CVorbisDecoder&) = delete;

    void StartStream(int serial);
    bool StartSynthesis();

    ogg_sync_state sync;
    ogg_stream_state stream;
    ogg_page page;
    ogg_packet packet;
    vorbis_info info;
    vorbis_comment comment;
    vorbis_dsp_state dsp;
    vorbis_block block;

private:
    bool m_bStream = false;
    bool m_bSynthesis = false;
};

// The states of one encoding. Info and comment live from construction; StartAnalysis sets up
// the analysis and the Ogg stream once the encoder mode is chosen.
class CVorbisEncoder
{
public:
    CVorbisEncoder();
    ~CVorbisEncoder();
    CVorbisEncoder(const CVorbisEncoder&) = delete;
    CVorbisEncoder& operator=(const CVorbisEncoder&) = delete;

    bool StartAnalysis(int serial);
    bool IsStarted() const { return m_bAnalysis; }

    vorbis_info info;
    vorbis_comment comment;
    vorbis_dsp_state dsp;
    vorbis_block block;
    ogg_stream_state stream;
    ogg_page page;
    ogg_packet packet;

private:
    bool m_bAnalysis = false;
};

// True when a comment header packet is well formed: every length inside it fits in the
// packet and the count of comments does too. libvorbis trusts the count to size a table.
bool IsValidCommentHeader(const unsigned char* data, long bytes);
