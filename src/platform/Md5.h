#pragma once

#include <cstdint>

// Stand-in for the MD5 functions of advapi32. The record keeps the Windows layout; the block
// compression itself is done by OpenSSL, this layer only buffers, counts and pads.
namespace platform {

struct MD5_CTX {
    std::uint32_t i[2];       // processed bits, low word first
    std::uint32_t buf[4];     // state words A, B, C, D
    unsigned char in[64];     // input block being filled
    unsigned char digest[16]; // the result, after MD5Final
};
static_assert(sizeof(MD5_CTX) == 104, "MD5_CTX must keep the advapi32 layout");

// Starts a new digest: counters zero, state at the MD5 initial values.
void MD5Init(MD5_CTX* context);

// Adds inputLen bytes; the bit counter grows by eight per byte.
void MD5Update(MD5_CTX* context, const unsigned char* input, unsigned int inputLen);

// Pads the message and stores the digest in context->digest. As in the RSA reference code, the
// padding and length bytes are counted too, so the counter is not zero after hashing zero bytes.
void MD5Final(MD5_CTX* context);

} // namespace platform
