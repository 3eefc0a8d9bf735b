#include "Base64Bench.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "Base64.h"
#include "Stopwatch.h"

namespace {

constexpr size_t kBufferSize = 64u * 1024 * 1024;
constexpr int kRepeats = 5;

// Best of several runs: the figure least disturbed by the rest of the machine.
template <class Work>
double BestSeconds(Work work) {
    double best = 1e9;
    for (int i = 0; i < kRepeats; ++i) {
        Stopwatch watch;
        work();
        best = std::min(best, watch.Seconds());
    }
    return best;
}

void Report(const char* what, size_t bytes, double seconds, double memcpySeconds) {
    double megabytes = static_cast<double>(bytes) / (1024.0 * 1024.0);
    std::printf("  %-34s %8.1f ms  %8.1f MB/s  %5.1f%% of memcpy\n", what, seconds * 1000, megabytes / seconds,
                100.0 * memcpySeconds / seconds);
}

bool WriteWholeFile(const std::wstring& path, const std::vector<BYTE>& data) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = ::WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == data.size();
}

}  // namespace

bool RunBase64Bench(const std::wstring& folder) {
    std::vector<BYTE> source(kBufferSize);
    std::mt19937 random(64);
    for (auto& b : source) b = static_cast<BYTE>(random());
    std::vector<BYTE> copy(kBufferSize);
    std::string text((kBufferSize + 2) / 3 * 4, '\0');
    std::string decoded;
    decoded.reserve(kBufferSize);

    std::printf("Base64 on a %u MB buffer (best of %d runs)\n", static_cast<unsigned>(kBufferSize >> 20), kRepeats);
    double memcpySeconds = BestSeconds([&] { std::memcpy(copy.data(), source.data(), kBufferSize); });
    Report("memcpy", kBufferSize, memcpySeconds, memcpySeconds);
    // The program's calls below write into memory they have just allocated; this is what that
    // alone costs for a buffer of the same size.
    double freshSeconds = BestSeconds([&] {
        std::vector<BYTE> fresh(kBufferSize, 0);
        std::memcpy(fresh.data(), source.data(), kBufferSize);
    });
    Report("memcpy into fresh memory", kBufferSize, freshSeconds, memcpySeconds);

    double encodeSeconds = BestSeconds([&] { CBase64::EncodeBlock(source.data(), source.size(), text.data()); });
    Report("encode (memory to memory)", kBufferSize, encodeSeconds, memcpySeconds);
    double decodeSeconds = BestSeconds([&] {
        decoded.clear();
        CBase64::DecodeText(text.data(), text.size(), decoded);
    });
    Report("decode (memory to memory)", kBufferSize, decodeSeconds, memcpySeconds);
    bool ok = decoded.size() == source.size() && std::memcmp(decoded.data(), source.data(), source.size()) == 0;

    // The program's own calls: a captured file to a byte BSTR, and a BSTR to a memory stream.
    std::wstring path = folder + L"capture.bin";
    if (!WriteWholeFile(path, source)) {
        std::printf("  cannot write %ls\n", path.c_str());
        return false;
    }
    CBase64 codec;
    BSTR encoded = nullptr;
    double fileSeconds = BestSeconds([&] {
        ::SysFreeString(encoded);
        codec.EncodeFile(path.c_str(), &encoded);
    });
    Report("EncodeFile (file to BSTR)", kBufferSize, fileSeconds, memcpySeconds);
    CStreamFile stream;
    double streamSeconds = BestSeconds([&] { codec.Decode(stream, encoded); });
    Report("Decode (BSTR to memory IStream)", kBufferSize, streamSeconds, memcpySeconds);
    ok = ok && std::strlen(reinterpret_cast<const char*>(encoded)) == text.size() &&
         std::memcmp(encoded, text.data(), text.size()) == 0;
    stream.SeekToBegin();
    std::string streamed = stream.ReadToEnd();
    ok = ok && streamed.size() == source.size() && std::memcmp(streamed.data(), source.data(), source.size()) == 0;
    ::SysFreeString(encoded);
    ::DeleteFileW(path.c_str());
    return ok;
}
