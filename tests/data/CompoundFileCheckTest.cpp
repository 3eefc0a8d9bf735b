#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <future>
#include <memory>
#include <string>
#include <thread>

#include "DefinitionFileWriter.h"
#include "DeviceStorage.h"
#include "TestFiles.h"

namespace {

constexpr int kTimedOut = -1;

// Opens on a worker thread, so that a storage looping for ever fails the test instead of
// hanging it. The worker is left behind when it does not finish in time.
int OpenWithin(std::chrono::seconds limit, const std::wstring& path, BOOL readOnly) {
    auto done = std::make_shared<std::promise<int>>();
    std::future<int> result = done->get_future();
    std::thread([done, path, readOnly] {
        int code;
        {
            CDeviceStorage storage;
            code = storage.Open(path, readOnly);
        }
        done->set_value(code);
    }).detach();
    if (result.wait_for(limit) != std::future_status::ready) return kTimedOut;
    return result.get();
}

// Where the sector that a header field names starts in the file (512-byte sectors).
size_t SectorAt(const std::string& file, size_t field) {
    uint32_t sector = 0;
    for (int i = 3; i >= 0; --i) sector = sector << 8 | static_cast<uint8_t>(file[field + i]);
    return (size_t{sector} + 1) * 512;
}

class CompoundFileCheckTest : public ::testing::Test {
protected:
    // A definition file with a directory of several sectors, objects in the mini stream and
    // one object large enough for sectors of its own.
    std::string WholeFile() {
        {
            vb::test::DefinitionFileWriter writer(folder_ / L"whole.def");
            for (wchar_t n = L'0'; n <= L'9'; ++n) {
                EXPECT_TRUE(writer.AddStrings(std::wstring(L"M~") + n, {std::wstring(L"X") + n, L"MODEL", L"FAM01"}));
            }
            EXPECT_TRUE(writer.AddStrings(L"F~big", {L"Family", std::wstring(6000, L'f')}));
        }
        return vb::test::ReadFileBytes(folder_ / L"whole.def");
    }

    // Both modes refuse the file, and in good time.
    void ExpectRefused(const std::string& bytes, const std::string& what) {
        std::wstring path = folder_ / (L"case" + std::to_wstring(++cases_) + L".def");
        ASSERT_TRUE(vb::test::WriteFileBytes(path, bytes));
        for (BOOL readOnly : {TRUE, FALSE}) {
            EXPECT_EQ(CDeviceStorage::kCannotOpen, OpenWithin(kLimit, path, readOnly))
                << what << (readOnly ? ", read-only" : ", writable");
        }
    }

    // Far above any real open, so a loaded machine never passes for a hang.
    static constexpr std::chrono::seconds kLimit{60};
    vb::test::TempFolder folder_;
    int cases_ = 0;
};

TEST_F(CompoundFileCheckTest, WholeFileOpensInBothModes) {
    WholeFile();
    for (BOOL readOnly : {TRUE, FALSE}) {
        EXPECT_EQ(CDeviceStorage::kOk, OpenWithin(kLimit, folder_ / L"whole.def", readOnly)) << readOnly;
    }
}

TEST_F(CompoundFileCheckTest, FileCutShortIsRefused) {
    const struct {
        const char* what;
        size_t (*length)(const std::string& whole);
    } cuts[] = {
        {"empty", [](const std::string&) { return size_t{0}; }},
        {"inside the header", [](const std::string&) { return size_t{300}; }},
        {"header alone", [](const std::string&) { return size_t{512}; }},
        // The platform's storage loops for ever copying such a file into the working copy.
        {"inside the first directory sector", [](const std::string& whole) { return SectorAt(whole, 0x30) + 384; }},
        {"at the start of the mini FAT", [](const std::string& whole) { return SectorAt(whole, 0x3C); }},
        {"one byte short", [](const std::string& whole) { return whole.size() - 1; }},
        {"without the last sector", [](const std::string& whole) { return whole.size() - 512; }},
    };
    const std::string whole = WholeFile();
    for (const auto& cut : cuts) ExpectRefused(whole.substr(0, cut.length(whole)), cut.what);
}

TEST_F(CompoundFileCheckTest, HeaderThatContradictsTheFileIsRefused) {
    const struct {
        const char* what;
        size_t offset;
        uint32_t value;
        int bytes;
    } changes[] = {
        {"signature", 0x00, 0x00, 1},
        {"byte order", 0x1C, 0xFEFF, 2},
        {"version 3 with 4096-byte sectors", 0x1E, 12, 2},
        {"version 4 with 512-byte sectors", 0x1A, 4, 2},
        {"mini sector shift", 0x20, 7, 2},
        {"mini stream cutoff", 0x38, 8192, 4},
        {"no FAT sectors", 0x2C, 0, 4},
        {"more FAT sectors than the file has", 0x2C, 0x10000, 4},
        {"a second FAT sector the header does not name", 0x2C, 2, 4},
        {"FAT sector beyond the file", 0x4C, 0x1000, 4},
        {"directory beyond the file", 0x30, 0x1000, 4},
        {"directory at the end of chain marker", 0x30, 0xFFFFFFFE, 4},
        {"mini FAT beyond the file", 0x3C, 0x1000, 4},
        {"DIFAT sectors counted but none named", 0x48, 1, 4},
    };
    const std::string whole = WholeFile();
    for (const auto& change : changes) {
        std::string bytes = whole;
        for (int i = 0; i < change.bytes; ++i) bytes[change.offset + i] = static_cast<char>(change.value >> (8 * i));
        ExpectRefused(bytes, change.what);
    }
}

// Found by fuzzing: the storage loops for ever looking up a name in such a directory, or
// grows the working copy towards the size that a stream declares.
TEST_F(CompoundFileCheckTest, DirectoryThatIsNoTreeOrPromisesMoreThanTheFileIsRefused) {
    const std::string whole = WholeFile();
    const size_t root = SectorAt(whole, 0x30);
    auto field = [&](const std::string& bytes, size_t at) {
        uint32_t value = 0;
        for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
        return value;
    };
    const size_t child = root + 128 * field(whole, root + 0x4C);
    const struct {
        const char* what;
        size_t offset;
        uint32_t value;
    } changes[] = {
        {"the root's child past the directory", root + 0x4C, 0x4120},
        {"an entry that is its own left sibling", child + 0x44, field(whole, root + 0x4C)},
        {"an entry whose right sibling is the root", child + 0x48, 0},
        {"a stream of 4 GB", child + 0x78, 0xFB000040},
        {"a mini stream of 4 GB", root + 0x78, 0xFB000040},
    };
    for (const auto& change : changes) {
        std::string bytes = whole;
        for (int i = 0; i < 4; ++i) bytes[change.offset + i] = static_cast<char>(change.value >> (8 * i));
        ExpectRefused(bytes, change.what);
    }
}

}  // namespace
