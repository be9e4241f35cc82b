// The low-level block function is deprecated in OpenSSL 3 but is the only public way to run the
// MD5 compression on state words that live in our own record.
#define OPENSSL_SUPPRESS_DEPRECATED

#include "platform/Md5.h"

#include <openssl/md5.h>

#include <cstring>

namespace platform {

namespace {

constexpr unsigned int kBlockSize = 64;
constexpr unsigned int kLengthOffset = 56; // where the 8 length bytes go in the last block

// Runs one 64-byte block through OpenSSL's compression on the record's state words.
void CompressBlock(MD5_CTX* context, const unsigned char* block) {
    ::MD5_CTX library{};
    library.A = context->buf[0];
    library.B = context->buf[1];
    library.C = context->buf[2];
    library.D = context->buf[3];
    ::MD5_Transform(&library, block);
    context->buf[0] = library.A;
    context->buf[1] = library.B;
    context->buf[2] = library.C;
    context->buf[3] = library.D;
}

void StoreLittleEndian(std::uint32_t word, unsigned char* out) {
    for (int b = 0; b < 4; ++b)
        out[b] = static_cast<unsigned char>(word >> (8 * b));
}

} // namespace

void MD5Init(MD5_CTX* context) {
    ::MD5_CTX library{};
    ::MD5_Init(&library);
    context->i[0] = 0;
    context->i[1] = 0;
    context->buf[0] = library.A;
    context->buf[1] = library.B;
    context->buf[2] = library.C;
    context->buf[3] = library.D;
}

void MD5Update(MD5_CTX* context, const unsigned char* input, unsigned int inputLen) {
    unsigned int index = (context->i[0] >> 3) & (kBlockSize - 1);

    const std::uint32_t addedBits = inputLen << 3;
    context->i[0] += addedBits;
    if (context->i[0] < addedBits)
        ++context->i[1];
    context->i[1] += inputLen >> 29;

    unsigned int done = 0;
    const unsigned int room = kBlockSize - index;
    if (inputLen >= room) {
        std::memcpy(context->in + index, input, room);
        CompressBlock(context, context->in);
        for (done = room; done + kBlockSize <= inputLen; done += kBlockSize)
            CompressBlock(context, input + done);
        index = 0;
    }
    if (inputLen > done)
        std::memcpy(context->in + index, input + done, inputLen - done);
}

void MD5Final(MD5_CTX* context) {
    unsigned char length[8];
    StoreLittleEndian(context->i[0], length);
    StoreLittleEndian(context->i[1], length + 4);

    // A one bit, then zeros up to 56 bytes into a block, then the message length in bits.
    unsigned char padding[kBlockSize] = {0x80};
    const unsigned int index = (context->i[0] >> 3) & (kBlockSize - 1);
    const unsigned int padLen =
        index < kLengthOffset ? kLengthOffset - index : kBlockSize + kLengthOffset - index;
    MD5Update(context, padding, padLen);
    MD5Update(context, length, sizeof length);

    for (std::size_t w = 0; w < 4; ++w)
        StoreLittleEndian(context->buf[w], context->digest + 4 * w);
}

} // namespace platform
