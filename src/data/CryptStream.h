#pragma once
#include "BlockCipher.h"
#include "StreamFile.h"

// A stream of the device definition file, read through the block cipher. Decrypt deciphers the
// whole stored stream and then holds only its plaintext payload, in memory; the stored stream
// is never written.
class CCryptStream : public CStreamFile {
public:
    CCryptStream() = default;
    ~CCryptStream() override { Close(); }

    void SetKey(const vb::cipher::Key& key) noexcept { key_ = key; }

    // Plaintext layout: a 16-byte header (N full payload blocks and a tail of T bytes, both
    // unsigned 32-bit little-endian), the payload, then padding. Bytes after the last whole
    // block cannot be deciphered and are left out. Counts larger than the data copy what is
    // there. Returns 0; a stream that cannot be replaced by memory is left as it was.
    int Decrypt();

private:
    vb::cipher::Key key_{};
};
