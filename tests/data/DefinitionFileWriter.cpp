#include "DefinitionFileWriter.h"

#include <vector>

#include "DeviceStorage.h"
#include "Strings.h"

namespace vb::test {

namespace {

void AppendLittleEndian(std::string& out, unsigned long long value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

void ArchiveBuilder::Prefix(unsigned long long length, Length form, bool wide) {
    if (wide) AppendLittleEndian(bytes_, 0xFFFEFF, 3);  // 0xFF, then the word 0xFFFE
    // Each wider length is announced by the narrower ones holding all ones.
    constexpr int kBytes[] = {1, 2, 4, 8};
    const int widest = static_cast<int>(form);
    for (int i = 0; i < widest; ++i) AppendLittleEndian(bytes_, ~0ull, kBytes[i]);
    AppendLittleEndian(bytes_, length, kBytes[widest]);
}

ArchiveBuilder& ArchiveBuilder::Count(LONG count) {
    AppendLittleEndian(bytes_, static_cast<DWORD>(count), 4);
    return *this;
}

ArchiveBuilder& ArchiveBuilder::Ansi(const std::string& text, Length form) {
    Prefix(text.size(), form, false);
    bytes_ += text;
    return *this;
}

ArchiveBuilder& ArchiveBuilder::Wide(const std::wstring& text, Length form) {
    Prefix(text.size(), form, true);
    bytes_.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    return *this;
}

ArchiveBuilder& ArchiveBuilder::Raw(const std::string& bytes) {
    bytes_ += bytes;
    return *this;
}

ArchiveBuilder& ArchiveBuilder::LengthOnly(unsigned long long length, Length form) {
    Prefix(length, form, false);
    return *this;
}

std::string EncipherWithHeader(DWORD blocks, DWORD tail, const std::string& payload, const cipher::Key& key) {
    std::string plain(16, '\0');
    for (int i = 0; i < 4; ++i) {
        plain[i] = static_cast<char>((blocks >> (8 * i)) & 0xFF);
        plain[4 + i] = static_cast<char>((tail >> (8 * i)) & 0xFF);
    }
    plain += payload;
    plain.resize((plain.size() + 15) / 16 * 16, '\x5A');
    for (size_t offset = 0; offset < plain.size(); offset += 16) {
        cipher::TransformBlock(reinterpret_cast<BYTE*>(&plain[offset]), key, 1);
    }
    return plain;
}

std::string EncipherPayload(const std::string& payload, const cipher::Key& key) {
    return EncipherWithHeader(static_cast<DWORD>(payload.size() / 16), static_cast<DWORD>(payload.size() % 16),
                              payload, key);
}

DefinitionFileWriter::DefinitionFileWriter(const std::wstring& path) {
    ::StgCreateDocfile(path.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, root_.Put());
}

DefinitionFileWriter::~DefinitionFileWriter() { Close(); }

bool DefinitionFileWriter::AddStream(const std::wstring& name, const std::string& bytes) {
    ComPtr<IStream> stream;
    if (!root_ || FAILED(root_->CreateStream(name.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                                             stream.Put()))) {
        return false;
    }
    ULONG written = 0;
    return bytes.empty() || (SUCCEEDED(stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written)) &&
                             written == bytes.size());
}

bool DefinitionFileWriter::AddObject(const std::wstring& name, const std::string& payload) {
    return AddStream(name, EncipherPayload(payload, CDeviceStorage::DefinitionKey()));
}

bool DefinitionFileWriter::AddStrings(const std::wstring& name, const std::vector<std::wstring>& strings) {
    ArchiveBuilder archive;
    archive.Count(static_cast<LONG>(strings.size()));
    // A one-byte length would silently wrap for the long model lists of big families.
    for (const auto& text : strings) {
        archive.Wide(text, text.size() < 0xFF     ? ArchiveBuilder::Length::Byte
                           : text.size() < 0xFFFF ? ArchiveBuilder::Length::Word
                                                  : ArchiveBuilder::Length::Dword);
    }
    archive.Count(-1);
    return AddObject(name, archive.Bytes());
}

void DefinitionFileWriter::Close() {
    if (root_) root_->Commit(STGC_DEFAULT);
    root_.Reset();
}

}  // namespace vb::test
