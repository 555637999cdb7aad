// MD5 message digest, written from RFC 1321.
#include "foundation/checksum/md5.h"

#include <cstdio>
#include <cstring>

namespace {

inline uint32_t Rotl(uint32_t x, int n)
{
    return (x << n) | (x >> (32 - n));
}

// Per-round shift amounts and the sine-derived constants T[i] = floor(2^32 * |sin(i + 1)|).
constexpr int kShift[4][4] = {{7, 12, 17, 22}, {5, 9, 14, 20}, {4, 11, 16, 23}, {6, 10, 15, 21}};
constexpr uint32_t kT[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391,
};

} // namespace

void MD5Init(MD5_CTX* ctx)
{
    ctx->count[0] = ctx->count[1] = 0;
    ctx->state[0] = 0x67452301;
    ctx->state[1] = 0xefcdab89;
    ctx->state[2] = 0x98badcfe;
    ctx->state[3] = 0x10325476;
    std::memset(ctx->buffer, 0, sizeof ctx->buffer);
}

void MD5Transform(uint32_t state[4], const unsigned char block[64])
{
    uint32_t x[16];
    for (int i = 0; i < 16; ++i)
        x[i] = uint32_t(block[i * 4]) | uint32_t(block[i * 4 + 1]) << 8 |
               uint32_t(block[i * 4 + 2]) << 16 | uint32_t(block[i * 4 + 3]) << 24;
    uint32_t a = state[0], b = state[1], c = state[2], d = state[3];
    for (int i = 0; i < 64; ++i) {
        int round = i / 16;
        uint32_t f;
        int k;
        switch (round) {
        case 0: f = (b & c) | (~b & d); k = i; break;
        case 1: f = (b & d) | (c & ~d); k = (5 * i + 1) % 16; break;
        case 2: f = b ^ c ^ d; k = (3 * i + 5) % 16; break;
        default: f = c ^ (b | ~d); k = (7 * i) % 16; break;
        }
        uint32_t next = b + Rotl(a + f + x[k] + kT[i], kShift[round][i % 4]);
        a = d;
        d = c;
        c = b;
        b = next;
    }
    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

void MD5Update(MD5_CTX* ctx, const unsigned char* data, long length)
{
    if (length <= 0)
        return;
    unsigned index = (ctx->count[0] >> 3) & 0x3F;
    uint64_t bits = (uint64_t(ctx->count[1]) << 32 | ctx->count[0]) + (uint64_t(length) << 3);
    ctx->count[0] = static_cast<uint32_t>(bits);
    ctx->count[1] = static_cast<uint32_t>(bits >> 32);
    unsigned long n = static_cast<unsigned long>(length);
    unsigned partLen = 64 - index;
    unsigned long i = 0;
    if (n >= partLen) {
        std::memcpy(&ctx->buffer[index], data, partLen);
        MD5Transform(ctx->state, ctx->buffer);
        for (i = partLen; i + 63 < n; i += 64)
            MD5Transform(ctx->state, &data[i]);
        index = 0;
    }
    std::memcpy(&ctx->buffer[index], &data[i], n - i);
}

void MD5Final(unsigned char digest[16], MD5_CTX* ctx)
{
    unsigned char bits[8];
    for (int i = 0; i < 8; ++i)
        bits[i] = static_cast<unsigned char>(ctx->count[i / 4] >> ((i % 4) * 8));
    // Pad to 56 bytes mod 64: one 0x80 then zeros, then the 64-bit bit count.
    static const unsigned char padding[64] = {0x80};
    unsigned index = (ctx->count[0] >> 3) & 0x3F;
    unsigned padLen = index < 56 ? 56 - index : 120 - index;
    MD5Update(ctx, padding, padLen);
    MD5Update(ctx, bits, 8);
    for (int i = 0; i < 16; ++i)
        digest[i] = static_cast<unsigned char>(ctx->state[i / 4] >> ((i % 4) * 8));
    std::memset(ctx, 0, sizeof *ctx);
}

void MD5HexDigest(const void* data, long length, char* output)
{
    output[0] = 0;
    MD5_CTX ctx;
    MD5Init(&ctx);
    MD5Update(&ctx, static_cast<const unsigned char*>(data), length);
    unsigned char digest[16];
    MD5Final(digest, &ctx);
    for (int i = 0; i < 16; ++i)
        std::snprintf(output + i * 2, 3, "%02x", digest[i]);
}
