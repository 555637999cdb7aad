/* mpglib.dll: the MP3 decoder library the MP3 reader loads at run time, over LAME's decoder.
 * The caller owns a 40000-byte state block and hands it to every call. */
#include <windows.h>

#include "interface.h"
#include "mpglib.h"

/* The caller's block must hold the decoder's whole state. */
typedef char state_fits_in_40000_bytes[sizeof(struct mpstr_tag) <= 40000 ? 1 : -1];

BOOL mpglib_InitMP3(PMPSTR mp)
{
    return InitMP3(mp) != 0;
}

void mpglib_ExitMP3(PMPSTR mp)
{
    ExitMP3(mp);
}

/* Returns MP3_OK (0) after producing one frame, with its bytes in *done; MP3_NEED_MORE (1) when
 * the buffered input holds no further frame; MP3_ERR (-1) on failure. LAME's decoder answers
 * "need more" without output while it takes in the stream's first header (and once more for a
 * leading Xing/Info frame) even when whole frames are buffered: ask it again until it produces
 * a frame or its answer stays the same with nothing new to parse. */
int mpglib_decodeMP3(PMPSTR mp, char* in, int isize, char* out, int osize, int* done)
{
    int r, attempts;
    *done = 0;
    r = decodeMP3(mp, (unsigned char*)in, isize, out, osize, done);
    for (attempts = 0; r == MP3_NEED_MORE && *done == 0 && attempts < 4; ++attempts)
        r = decodeMP3(mp, NULL, 0, out, osize, done);
    return r;
}
