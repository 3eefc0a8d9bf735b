#pragma once
#include <windows.h>
#include <objidl.h>

#include <string>
#include <vector>

#include "BlockCipher.h"
#include "ComPtr.h"

namespace vb::test {

// Builds the payload of a definition object: counts and length-prefixed strings in every
// length form the reader knows.
class ArchiveBuilder {
public:
    enum class Length { Byte, Word, Dword, Qword };

    ArchiveBuilder& Count(LONG count);
    ArchiveBuilder& Ansi(const std::string& text, Length form = Length::Byte);
    ArchiveBuilder& Wide(const std::wstring& text, Length form = Length::Byte);
    ArchiveBuilder& Raw(const std::string& bytes);
    // Just the length prefix of a one-byte string, with no characters behind it.
    ArchiveBuilder& LengthOnly(unsigned long long length, Length form);

    const std::string& Bytes() const noexcept { return bytes_; }

private:
    void Prefix(unsigned long long length, Length form, bool wide);
    std::string bytes_;
};

// The stored form of a payload: the header (N whole blocks, T tail bytes), the payload and
// padding to whole blocks, enciphered block by block.
std::string EncipherPayload(const std::string& payload, const cipher::Key& key);
// The same with a header of one's own choosing.
std::string EncipherWithHeader(DWORD blocks, DWORD tail, const std::string& payload, const cipher::Key& key);

// Writes a compound file as the definition files are laid out.
class DefinitionFileWriter {
public:
    explicit DefinitionFileWriter(const std::wstring& path);
    ~DefinitionFileWriter();
    DefinitionFileWriter(const DefinitionFileWriter&) = delete;
    DefinitionFileWriter& operator=(const DefinitionFileWriter&) = delete;

    bool IsOpen() const noexcept { return static_cast<bool>(root_); }
    // A stream holding exactly these bytes.
    bool AddStream(const std::wstring& name, const std::string& bytes);
    // A stream holding the enciphered payload, with the program's key.
    bool AddObject(const std::wstring& name, const std::string& payload);
    // An object whose strings are the two lists: `first` strings, then `second` with its count.
    bool AddStrings(const std::wstring& name, const std::vector<std::wstring>& strings);
    // Writes the file and closes it.
    void Close();

private:
    ComPtr<IStorage> root_;
};

}  // namespace vb::test
