#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "DefinitionFileWriter.h"
#include "DeviceStorage.h"
#include "TestFiles.h"
#include "UniqueHandle.h"

namespace {

struct Opening {
    std::wstring path;
    std::string what;
    int expected;
};

// Opens every file in both modes on one worker thread, so that a storage looping for ever fails
// the test instead of hanging it; the worker is then left behind. One thread and one wait for
// the whole table: a thread and a timed standard-library wait per open sometimes ran past the
// limit on a loaded machine although every open returned at once.
void ExpectOpens(const std::vector<Opening>& openings) {
    struct Work {
        std::vector<Opening> openings;
        std::vector<int> codes;  // read-only, then writable, for each file
        std::atomic<size_t> opened{0};
        vb::UniqueKernelHandle done{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    };
    auto work = std::make_shared<Work>();
    work->openings = openings;
    std::thread([work] {
        for (const Opening& opening : work->openings) {
            for (BOOL readOnly : {TRUE, FALSE}) {
                CDeviceStorage storage;
                work->codes.push_back(storage.Open(opening.path, readOnly));
                ++work->opened;
            }
        }
        ::SetEvent(work->done.Get());
    }).detach();
    auto name = [&](size_t i) { return openings[i / 2].what + (i % 2 ? ", writable" : ", read-only"); };
    // Far above any real open, so a loaded machine never passes for a hang.
    if (::WaitForSingleObject(work->done.Get(), 60000) != WAIT_OBJECT_0) {
        FAIL() << "no answer opening " << name(std::min<size_t>(work->opened, 2 * openings.size() - 1));
    }
    for (size_t i = 0; i < work->codes.size(); ++i) EXPECT_EQ(openings[i / 2].expected, work->codes[i]) << name(i);
}

uint32_t Field(const std::string& file, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(file[at + i]);
    return value;
}

// Where the sector that a header field names starts in the file (512-byte sectors).
size_t SectorAt(const std::string& file, size_t field) { return (size_t{Field(file, field)} + 1) * 512; }

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

    // A file of these bytes that both modes must refuse.
    void AddRefused(const std::string& bytes, const std::string& what) {
        std::wstring path = folder_ / (L"case" + std::to_wstring(openings_.size()) + L".def");
        ASSERT_TRUE(vb::test::WriteFileBytes(path, bytes));
        openings_.push_back({path, what, CDeviceStorage::kCannotOpen});
    }

    vb::test::TempFolder folder_;
    std::vector<Opening> openings_;
};

TEST_F(CompoundFileCheckTest, FileCutShortIsRefused) {
    const struct {
        const char* what;
        size_t (*length)(const std::string& whole);
    } cuts[] = {
        {"empty", [](const std::string&) { return size_t{0}; }},
        {"header alone", [](const std::string&) { return size_t{512}; }},
        // The platform's storage loops for ever copying such a file into the working copy.
        {"inside the first directory sector", [](const std::string& whole) { return SectorAt(whole, 0x30) + 384; }},
        {"at the start of the mini FAT", [](const std::string& whole) { return SectorAt(whole, 0x3C); }},
        {"one byte short", [](const std::string& whole) { return whole.size() - 1; }},
        {"without the last sector", [](const std::string& whole) { return whole.size() - 512; }},
    };
    const std::string whole = WholeFile();
    openings_.push_back({folder_ / L"whole.def", "the whole file", CDeviceStorage::kOk});
    for (const auto& cut : cuts) AddRefused(whole.substr(0, cut.length(whole)), cut.what);
    ExpectOpens(openings_);
}

// A header that contradicts the file. Found by fuzzing: the storage loops for ever looking up a
// name in a directory that is no tree, or grows the working copy towards the size that a stream
// declares.
TEST_F(CompoundFileCheckTest, HeaderOrDirectoryThatContradictsTheFileIsRefused) {
    const std::string whole = WholeFile();
    const size_t root = SectorAt(whole, 0x30);
    const size_t child = root + 128 * Field(whole, root + 0x4C);
    const struct {
        const char* what;
        size_t offset;
        uint32_t value;
        int bytes;
    } changes[] = {
        {"signature", 0x00, 0x00, 1},
        {"byte order", 0x1C, 0xFEFF, 2},
        {"version 3 with 4096-byte sectors", 0x1E, 12, 2},
        {"mini sector shift", 0x20, 7, 2},
        {"no FAT sectors", 0x2C, 0, 4},
        {"more FAT sectors than the file has", 0x2C, 0x10000, 4},
        {"FAT sector beyond the file", 0x4C, 0x1000, 4},
        {"directory beyond the file", 0x30, 0x1000, 4},
        {"DIFAT sectors counted but none named", 0x48, 1, 4},
        {"the root's child past the directory", root + 0x4C, 0x4120, 4},
        {"an entry that is its own left sibling", child + 0x44, Field(whole, root + 0x4C), 4},
        {"an entry whose right sibling is the root", child + 0x48, 0, 4},
        // The working copy follows a stream's child too, until the stack runs out.
        {"a stream whose child is the root", child + 0x4C, 0, 4},
        {"a stream that is its own child", child + 0x4C, Field(whole, root + 0x4C), 4},
        {"the root's right sibling is its child", root + 0x48, Field(whole, root + 0x4C), 4},
        {"a stream of 4 GB", child + 0x78, 0xFB000040, 4},
        {"a mini stream of 4 GB", root + 0x78, 0xFB000040, 4},
    };
    for (const auto& change : changes) {
        std::string bytes = whole;
        for (int i = 0; i < change.bytes; ++i) bytes[change.offset + i] = static_cast<char>(change.value >> (8 * i));
        AddRefused(bytes, change.what);
    }
    ExpectOpens(openings_);
}

}  // namespace
