#include "StreamFile.h"

bool CStreamFile::CreateMemoryStream() {
    vb::ComPtr<IStream> stream;
    if (FAILED(::CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()))) return false;
    stream_ = std::move(stream);
    return true;
}

HRESULT CStreamFile::OpenStream(IStorage* storage, const std::wstring& name, DWORD mode) {
    stream_.Reset();
    if (!storage) return E_POINTER;
    return storage->OpenStream(name.c_str(), nullptr, mode, 0, stream_.Put());
}

ULONG CStreamFile::Read(void* buffer, ULONG size) {
    if (!stream_ || !size) return 0;
    ULONG read = 0;
    if (FAILED(stream_->Read(buffer, size, &read))) return 0;
    return read;
}

bool CStreamFile::Write(const void* data, ULONG size) {
    if (!stream_) return false;
    if (!size) return true;
    ULONG written = 0;
    return SUCCEEDED(stream_->Write(data, size, &written)) && written == size;
}

bool CStreamFile::Seek(LONGLONG offset, DWORD origin) {
    if (!stream_) return false;
    LARGE_INTEGER move;
    move.QuadPart = offset;
    return SUCCEEDED(stream_->Seek(move, origin, nullptr));
}

ULONGLONG CStreamFile::GetLength() const {
    STATSTG stat{};
    if (!stream_ || FAILED(stream_->Stat(&stat, STATFLAG_NONAME))) return 0;
    return stat.cbSize.QuadPart;
}

bool CStreamFile::Flush() { return stream_ && SUCCEEDED(stream_->Commit(STGC_DEFAULT)); }

std::string CStreamFile::ReadToEnd() {
    std::string data;
    char buffer[65536];
    for (ULONG read; (read = Read(buffer, sizeof(buffer))) > 0;) data.append(buffer, read);
    return data;
}
