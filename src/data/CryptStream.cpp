#include "CryptStream.h"

#include <algorithm>
#include <string>

namespace {

constexpr size_t kBlock = 16;

DWORD ReadLittleEndian32(const BYTE* p) {
    return DWORD{p[0]} | (DWORD{p[1]} << 8) | (DWORD{p[2]} << 16) | (DWORD{p[3]} << 24);
}

}  // namespace

int CCryptStream::Decrypt() {
    CStreamFile plain;
    if (!plain.CreateMemoryStream()) return 0;

    SeekToBegin();
    std::string data = ReadToEnd();
    data.resize(data.size() - data.size() % kBlock);
    for (size_t offset = 0; offset < data.size(); offset += kBlock) {
        vb::cipher::TransformBlock(reinterpret_cast<BYTE*>(&data[offset]), key_, 0);
    }

    // The payload follows the header: N whole blocks, then T bytes when T is 1 to 15. Both
    // counts come from the file, so they only ever limit what is copied.
    size_t payload = 0;
    if (data.size() >= kBlock) {
        auto header = reinterpret_cast<const BYTE*>(data.data());
        unsigned long long blocks = ReadLittleEndian32(header);
        DWORD tail = ReadLittleEndian32(header + 4);
        unsigned long long wanted = blocks * kBlock + (tail >= 1 && tail <= 15 ? tail : 0);
        payload = static_cast<size_t>(std::min<unsigned long long>(wanted, data.size() - kBlock));
    }
    if (!plain.Write(data.data() + (data.size() >= kBlock ? kBlock : 0), static_cast<ULONG>(payload))) return 0;

    // Detach from the storage stream and become the memory stream of the payload.
    Close();
    Attach(plain.Detach());
    SeekToBegin();
    return 0;
}
