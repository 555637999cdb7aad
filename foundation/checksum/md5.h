// MD5 message digest (RFC 1321); the disc-index id is made from it.
#pragma once

#include <cstdint>

struct MD5_CTX {
    uint32_t count[2]; // bits, low word first
    uint32_t state[4]; // A, B, C, D
    unsigned char buffer[64];
};

void MD5Init(MD5_CTX* ctx);
//! Ignores a length of 0 or less.
void MD5Update(MD5_CTX* ctx, const unsigned char* data, long length);
void MD5Final(unsigned char digest[16], MD5_CTX* ctx);
void MD5Transform(uint32_t state[4], const unsigned char block[64]);

//! Writes the digest of `length` bytes as 32 lower-case hex digits and a zero into `output`,
//! which holds at least 33 bytes. A length of 0 or less digests no bytes.
void MD5HexDigest(const void* data, long length, char* output);
