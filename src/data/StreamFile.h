#pragma once
#include <windows.h>
#include <objidl.h>

#include <string>
#include <utility>

#include "ComPtr.h"

// A file over an IStream: a stream of a compound file, or a growable memory stream. It may
// also hold no stream at all, until one is created in it.
class CStreamFile {
public:
    CStreamFile() = default;
    virtual ~CStreamFile() = default;
    CStreamFile(const CStreamFile&) = delete;
    CStreamFile& operator=(const CStreamFile&) = delete;

    // Replaces what the object held by a new, empty memory stream.
    bool CreateMemoryStream();
    // Opens a stream directly under a storage.
    HRESULT OpenStream(IStorage* storage, const std::wstring& name, DWORD mode);
    void Close() noexcept { stream_.Reset(); }
    void Attach(vb::ComPtr<IStream> stream) noexcept { stream_ = std::move(stream); }
    vb::ComPtr<IStream> Detach() noexcept { return std::move(stream_); }

    bool IsOpen() const noexcept { return static_cast<bool>(stream_); }
    IStream* Get() const noexcept { return stream_.Get(); }

    // Bytes read: fewer than asked at the end, 0 on failure.
    ULONG Read(void* buffer, ULONG size);
    bool Write(const void* data, ULONG size);
    bool Seek(LONGLONG offset, DWORD origin = STREAM_SEEK_SET);
    bool SeekToBegin() { return Seek(0); }
    ULONGLONG GetLength() const;
    bool Flush();

    // Everything from the current position to the end.
    std::string ReadToEnd();

private:
    vb::ComPtr<IStream> stream_;
};
