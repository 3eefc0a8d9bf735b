#include "Base64.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "Base64Simd.h"

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kPad = '=';
constexpr uint8_t kNoSextet = 0xFF;
constexpr uint32_t kInvalid = 0xFF000000;

// Two output characters for every 12-bit value: three input bytes become two lookups.
struct PairTable {
    std::array<uint16_t, 4096> pair{};
    constexpr PairTable() {
        for (unsigned v = 0; v < 4096; ++v) {
            pair[v] = static_cast<uint16_t>(static_cast<unsigned char>(kAlphabet[v >> 6]) |
                                            (static_cast<unsigned char>(kAlphabet[v & 63]) << 8));
        }
    }
};

// The value of each character; codes above 127 and '=' have none.
struct SextetTable {
    std::array<uint8_t, 256> value{};
    constexpr SextetTable() {
        for (auto& entry : value) entry = kNoSextet;
        for (unsigned d = 0; d < 64; ++d) value[static_cast<unsigned char>(kAlphabet[d])] = static_cast<uint8_t>(d);
    }
};

constexpr SextetTable kSextets;

// One table per position in a group, each holding its character's bits already where they
// land in memory: ORing the four gives the group's three bytes in order, plus a fourth byte
// that is non-zero when any character was invalid.
struct GroupTables {
    std::array<std::array<uint32_t, 256>, 4> placed{};
    static constexpr uint32_t InMemoryOrder(uint32_t bits) {  // bits 23..0 -> bytes 0, 1, 2
        return ((bits >> 16) & 0xFF) | (bits & 0xFF00) | ((bits & 0xFF) << 16);
    }
    constexpr GroupTables() {
        for (unsigned c = 0; c < 256; ++c) {
            uint8_t d = kSextets.value[c];
            for (unsigned position = 0; position < 4; ++position) {
                placed[position][c] = d == kNoSextet ? kInvalid : InMemoryOrder(uint32_t{d} << (18 - 6 * position));
            }
        }
    }
};

constexpr PairTable kPairs;
constexpr GroupTables kGroups;

bool IsValid(unsigned char c) { return kSextets.value[c] != kNoSextet; }

// Decodes a group that holds padding or an invalid character into `out`; how many bytes it
// gave, or -1 for an invalid character.
int DecodeOddGroup(const unsigned char* c, char* out) {
    if (!IsValid(c[0]) || !IsValid(c[1])) return -1;
    if ((c[2] != kPad && !IsValid(c[2])) || (c[3] != kPad && !IsValid(c[3]))) return -1;
    const auto& v = kSextets.value;
    out[0] = static_cast<char>((v[c[0]] << 2) | (v[c[1]] >> 4));
    if (c[2] == kPad) return 1;
    out[1] = static_cast<char>(((v[c[1]] << 4) | (v[c[2]] >> 2)) & 0xFF);
    if (c[3] == kPad) return 2;
    out[2] = static_cast<char>(((v[c[2]] << 6) | v[c[3]]) & 0xFF);
    return 3;
}

// Decodes `count` groups that lie wholly inside the text into `out`, which has room for their
// bytes and 4 of scratch; false at a group holding an invalid character, the groups before it
// decoded. `written` tells how many bytes belong to the result.
bool DecodeGroups(const unsigned char* c, size_t count, char* out, size_t& written) {
    char* target = out;
    const unsigned char* end = c + 4 * count;
    if (vb::base64simd::Available()) {
        size_t fast = vb::base64simd::DecodeBlocks(c, count, target);
        c += 4 * fast;
        target += 3 * fast;
    }
    const auto& placed = kGroups.placed;
    bool valid = true;
    for (; c < end; c += 4) {
        uint32_t v = placed[0][c[0]] | placed[1][c[1]] | placed[2][c[2]] | placed[3][c[3]];
        if (!(v & kInvalid)) {
            std::memcpy(target, &v, 4);  // the fourth byte is overwritten by the next group
            target += 3;
            continue;
        }
        int bytes = DecodeOddGroup(c, target);
        if (bytes < 0) {
            valid = false;
            break;
        }
        target += bytes;
    }
    written = static_cast<size_t>(target - out);
    return valid;
}

// The decoder hands its bytes to a sink slice by slice; a slice's bytes fit the first-level
// cache with room to spare.
constexpr size_t kSliceGroups = 1024;
constexpr size_t kSliceRoom = kSliceGroups * 3 + 4;

// Bytes land straight in memory sized beforehand for the whole result.
class BlockSink {
public:
    explicit BlockSink(char* out) : start_(out), next_(out) {}
    char* Room() { return next_; }
    void Took(size_t bytes) { next_ += bytes; }
    size_t Size() const { return static_cast<size_t>(next_ - start_); }

private:
    char* start_;
    char* next_;
};

// Bytes go to a string through a buffer that stays in the first-level cache: growing the string
// to its full size first would zero all of it, a whole extra pass over memory.
class StringSink {
public:
    explicit StringSink(std::string& out) : out_(out) {}
    char* Room() { return buffer_; }
    void Took(size_t bytes) { out_.append(buffer_, bytes); }

private:
    std::string& out_;
    char buffer_[kSliceRoom];
};

// The decoder proper: gives the sink the bytes of at most kSliceGroups groups at a time.
template <class Sink>
int DecodeInto(const char* text, size_t length, Sink& sink) {
    auto bytes = reinterpret_cast<const unsigned char*>(text);
    // Past the byte length every character reads as NUL, which is outside the alphabet.
    auto at = [&](size_t i) -> unsigned char { return i < length ? bytes[i] : 0; };
    size_t start = length >= 2 && bytes[0] == '+' && bytes[1] == ' ' ? 2 : 0;
    if (at(start) == 0) return 0;
    if (length < 4) return 1;
    // The group count comes from the whole byte length, prefix included.
    size_t groups = length / 4;
    size_t inText = std::min(groups, (length - start) / 4);  // groups that lie wholly inside the text
    for (size_t done = 0; done < inText; done += kSliceGroups) {
        size_t count = std::min(kSliceGroups, inText - done), written = 0;
        bool valid = DecodeGroups(bytes + start + 4 * done, count, sink.Room(), written);
        sink.Took(written);
        if (!valid) return -1;
    }
    for (size_t done = inText; done < groups; ++done) {
        size_t i = start + done * 4;
        unsigned char group[4] = {at(i), at(i + 1), at(i + 2), at(i + 3)};
        int count = DecodeOddGroup(group, sink.Room());
        if (count < 0) return -1;
        sink.Took(static_cast<size_t>(count));
    }
    return 1;
}

size_t DecodeCapacity(size_t length) { return length / 4 * 3 + 4; }

BSTR EmptyText() { return ::SysAllocStringByteLen("", 0); }

// Reads until `size` bytes are in or the file ends; how many arrived.
size_t ReadFully(HANDLE file, BYTE* buffer, size_t size) {
    size_t total = 0;
    while (total < size) {
        DWORD read = 0;
        DWORD want = static_cast<DWORD>(size - total);
        if (!::ReadFile(file, buffer + total, want, &read, nullptr) || read == 0) break;
        total += read;
    }
    return total;
}

// Decodes straight into the memory of an HGLOBAL stream, sparing a copy of the whole result;
// nothing when the stream's memory cannot be reached.
bool DecodeIntoStream(IStream* stream, const char* text, size_t length, int& result) {
    ULARGE_INTEGER capacity;
    capacity.QuadPart = DecodeCapacity(length);
    HGLOBAL memory = nullptr;
    if (FAILED(stream->SetSize(capacity)) || FAILED(::GetHGlobalFromStream(stream, &memory))) return false;
    auto target = static_cast<char*>(::GlobalLock(memory));
    if (!target) return false;
    BlockSink sink(target);
    result = DecodeInto(text, length, sink);
    size_t written = sink.Size();
    ::GlobalUnlock(memory);
    ULARGE_INTEGER size;
    size.QuadPart = written;
    stream->SetSize(size);
    // Where a byte-by-byte write would have left it: after the last byte.
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(written);
    stream->Seek(end, STREAM_SEEK_SET, nullptr);
    return true;
}

}  // namespace

size_t CBase64::EncodeBlock(const BYTE* data, size_t size, char* out) noexcept {
    char* start = out;
    size_t whole = size - size % 3;
    size_t i = 0;
    if (vb::base64simd::Available()) {
        i = vb::base64simd::EncodeBlocks(data, size, out);
        out += i / 3 * 4;
    }
    for (; i < whole; i += 3, out += 4) {
        uint32_t v = (uint32_t{data[i]} << 16) | (uint32_t{data[i + 1]} << 8) | data[i + 2];
        std::memcpy(out, &kPairs.pair[v >> 12], 2);
        std::memcpy(out + 2, &kPairs.pair[v & 0xFFF], 2);
    }
    size_t rest = size - whole;
    if (rest) {
        BYTE b0 = data[whole];
        BYTE b1 = rest == 2 ? data[whole + 1] : 0;
        out[0] = kAlphabet[b0 >> 2];
        out[1] = kAlphabet[((b0 & 3) << 4) | (b1 >> 4)];
        out[2] = rest == 2 ? kAlphabet[(b1 & 15) << 2] : kPad;
        out[3] = kPad;
        out += 4;
    }
    return static_cast<size_t>(out - start);
}

int CBase64::DecodeText(const char* text, size_t length, std::string& out) {
    out.reserve(out.size() + DecodeCapacity(length));
    StringSink sink(out);
    return DecodeInto(text, length, sink);
}

int CBase64::EncodeFile(LPCWSTR path, BSTR* out) {
    if (!out) return -1;
    *out = nullptr;
    if (!path || !*path) return -1;
    // Read access is all the encoder needs: a write-protected capture still encodes.
    vb::UniqueFile file(::CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) {
        *out = EmptyText();
        return -1;
    }
    return Encode(file, out);
}

int CBase64::Encode(const vb::UniqueFile& file, BSTR* out) {
    if (!out) return -1;
    *out = nullptr;
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.Get(), &size) || size.QuadPart <= 0) {
        *out = EmptyText();
        return 1;
    }
    unsigned long long n = static_cast<unsigned long long>(size.QuadPart);
    unsigned long long allocation = (n * 4 + 8) / 3;
    BSTR text = allocation <= 0x7FFFFFF0ull ? ::SysAllocStringByteLen(nullptr, static_cast<UINT>(allocation)) : nullptr;
    if (!text) {
        *out = EmptyText();
        return 1;
    }
    LARGE_INTEGER zero{};
    ::SetFilePointerEx(file.Get(), zero, nullptr, FILE_BEGIN);

    // Whole groups per read; the file is never read past the length the text was sized for.
    constexpr size_t kChunk = 3 * 262144;
    std::vector<BYTE> buffer(static_cast<size_t>(std::min<unsigned long long>(n, kChunk)));
    char* target = reinterpret_cast<char*>(text);
    unsigned long long remaining = n;
    while (remaining > 0) {
        size_t want = static_cast<size_t>(std::min<unsigned long long>(remaining, buffer.size()));
        size_t got = ReadFully(file.Get(), buffer.data(), want);
        target += EncodeBlock(buffer.data(), got, target);
        if (got < want) break;  // the file shrank: the text ends with what was there
        remaining -= got;
    }
    *target = '\0';
    *out = text;
    return 1;
}

int CBase64::Decode(CStreamFile& stream, BSTR text) {
    if (!stream.CreateMemoryStream()) return 1;
    auto bytes = reinterpret_cast<const char*>(text);
    size_t length = text ? ::SysStringByteLen(text) : 0;
    int result = 1;
    if (DecodeIntoStream(stream.Get(), bytes, length, result)) return result;
    std::string decoded;
    result = DecodeText(bytes, length, decoded);
    stream.Write(decoded.data(), static_cast<ULONG>(decoded.size()));
    return result;
}
