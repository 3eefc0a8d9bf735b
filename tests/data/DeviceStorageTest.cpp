#include <gtest/gtest.h>

#include <vector>

#include "DefinitionFileWriter.h"
#include "DeviceStorage.h"
#include "Strings.h"
#include "TestFiles.h"

namespace {

using vb::test::ArchiveBuilder;
using vb::test::DefinitionFileWriter;
using Length = ArchiveBuilder::Length;
using Strings = std::vector<std::wstring>;

class DeviceStorageTest : public ::testing::Test {
protected:
    std::wstring Path() const { return folder_ / L"Devices2.def"; }

    // Writes a file with one object holding `payload`, opens it read-only and reads the object.
    int ReadPayload(const std::string& payload, Strings& strings) {
        {
            DefinitionFileWriter writer(Path());
            EXPECT_TRUE(writer.AddObject(L"M~1", payload));
        }
        CDeviceStorage storage;
        EXPECT_EQ(0, storage.Open(Path(), TRUE));
        int result = storage.ReadObject(L"M~1");
        strings = storage.Strings();
        return result;
    }

    vb::test::TempFolder folder_;
};

// The first list is counted and must be whole; the second list, after its own count, reads one
// string more than that count and ends quietly where it cannot go on.
TEST_F(DeviceStorageTest, PayloadsAreReadAsTwoListsAndDamageIsRefused) {
    constexpr int kDamaged = CDeviceStorage::kDamagedObject;
    auto archive = [] { return ArchiveBuilder(); };
    // Wide text is UTF-16 character for character; one-byte text is in the ANSI code page.
    const std::wstring wide = L"\x4E2D\x6587 W\x00E9";
    const struct {
        const char* what;
        std::string payload;
        int result;
        Strings strings;
    } cases[] = {
        {"every length form",
         archive().Count(8).Ansi("").Ansi(std::string(300, 'L'), Length::Word).Ansi("dword", Length::Dword)
             .Ansi("qword", Length::Qword).Wide(wide).Wide(L"ww", Length::Word)
             .Wide(L"wd", Length::Dword).Ansi("caf\xE9").Bytes(),
         0, {L"", std::wstring(300, L'L'), L"dword", L"qword", wide, L"ww", L"wd", vb::FromAnsi("caf\xE9")}},
        {"both lists", archive().Count(2).Ansi("first").Ansi("second").Count(0).Ansi("third").Bytes(), 0,
         {L"first", L"second", L"third"}},
        {"no second count", archive().Count(2).Ansi("first").Ansi("second").Bytes(), 0, {L"first", L"second"}},
        {"second list cut", archive().Count(1).Ansi("name").Count(5).Ansi("a").LengthOnly(200, Length::Byte).Raw("xyz").Bytes(),
         0, {L"name", L"a"}},
        {"huge second count", archive().Count(1).Ansi("a").Count(0x7FFFFFFF).Ansi("b").Bytes(), 0, {L"a", L"b"}},
        {"empty", "", kDamaged, {}},
        {"cut count", std::string("\x02\x00", 2), kDamaged, {}},
        {"first list cut", archive().Count(3).Ansi("one").Ansi("two").Bytes(), kDamaged, {}},
        // Huge declared lengths are refused without reading them.
        {"word length", archive().Count(1).LengthOnly(0xFFFD, Length::Word).Raw("tiny").Bytes(), kDamaged, {}},
        {"huge qword", archive().Count(1).LengthOnly(0x80000000ull, Length::Qword).Raw("tiny").Bytes(), kDamaged, {}},
        {"huge first count", archive().Count(0x7FFFFFFF).Ansi("a").Bytes(), kDamaged, {}},
    };
    for (const auto& c : cases) {
        Strings strings;
        EXPECT_EQ(c.result, ReadPayload(c.payload, strings)) << c.what;
        EXPECT_EQ(c.strings, strings) << c.what;
    }
}

// Elements are grouped by their prefix, with its case; a model is found by its first string.
TEST_F(DeviceStorageTest, ElementsAreGroupedAndModelsFoundByTheirFirstString) {
    {
        DefinitionFileWriter writer(Path());
        ASSERT_TRUE(writer.AddStrings(L"M~1", {L"X1", L"MODEL X", L"FAM01"}));
        ASSERT_TRUE(writer.AddStrings(L"M~2", {L"X2", L"MODEL Y", L"FAM01"}));
        ASSERT_TRUE(writer.AddStrings(L"M~3", {L"X3", L"MODEL Z", L"FAM02"}));
        for (const wchar_t* name : {L"F~B", L"L~C", L"m~x", L"M-y", L"FAMILIES INDEX"}) {
            ASSERT_TRUE(writer.AddStrings(name, {name}));
        }
    }
    CDeviceStorage storage;
    ASSERT_EQ(0, storage.Open(Path(), TRUE));
    auto names = [](const std::map<std::wstring, std::wstring>& group) {
        Strings result;
        for (const auto& entry : group) result.push_back(entry.first);
        return result;
    };
    EXPECT_EQ((Strings{L"M~1", L"M~2", L"M~3"}), names(storage.ModelElements()));
    EXPECT_EQ((Strings{L"F~B"}), names(storage.FamilyElements()));
    EXPECT_EQ((Strings{L"L~C"}), names(storage.ListElements()));

    Strings strings;
    ASSERT_EQ(0, storage.GetModelStrings(L"X2", &strings));
    EXPECT_EQ((Strings{L"X2", L"MODEL Y", L"FAM01"}), strings);
    EXPECT_EQ(1, storage.GetModelStrings(L"x2", &strings));  // names match with case
    EXPECT_EQ(1, storage.GetModelStrings(L"F~B", &strings));  // not in the model group
    EXPECT_EQ(1, storage.GetModelStrings(L"X1", nullptr));
}

TEST_F(DeviceStorageTest, ResultCodesOnRealFiles) {
    CDeviceStorage storage;
    EXPECT_EQ(1, storage.Open(L"", TRUE));
    EXPECT_EQ(1, storage.ReadObject(L"M~1"));  // nothing open

    std::wstring text = folder_ / L"notes.txt";
    vb::test::WriteFileBytes(text, std::string(2048, 'n'));
    EXPECT_EQ(31, storage.Open(text, TRUE));
    EXPECT_EQ(31, storage.Open(text, FALSE));
    EXPECT_EQ(std::string(2048, 'n'), vb::test::ReadFileBytes(text));
    EXPECT_EQ(31, storage.Open(folder_ / L"missing.def", TRUE));
    EXPECT_EQ(1, storage.Open(folder_ / L"no folder\\Devices2.def", FALSE));
    {
        // The working copy cannot be made when the temporary folder is missing.
        vb::test::ScopedEnvironment tmp(L"TMP", folder_ / L"no such folder");
        vb::test::ScopedEnvironment temp(L"TEMP", folder_ / L"no such folder");
        EXPECT_EQ(30, storage.Open(Path(), FALSE));
    }

    // The writable mode creates a missing file.
    EXPECT_EQ(0, storage.Open(Path(), FALSE));
    EXPECT_TRUE(storage.ModelElements().empty());
    storage.Release();
    {
        DefinitionFileWriter writer(Path());
        ASSERT_TRUE(writer.AddStream(L"M~empty", ""));
    }
    ASSERT_EQ(0, storage.Open(Path(), FALSE));
    EXPECT_EQ(20, storage.ReadObject(L"FAMILIES INDEX"));
    EXPECT_EQ(20, storage.ReadObject(L""));
    EXPECT_EQ(1, storage.ReadObject(L"M~empty"));
    Strings strings;
    EXPECT_EQ(1, storage.GetModelStrings(L"anything", &strings));
}

// Reading in either mode leaves the file as it was; a stream with bytes after its last whole
// block still reads.
TEST_F(DeviceStorageTest, ReadingLeavesTheFileAsItWas) {
    const std::string partial = vb::test::EncipherPayload(ArchiveBuilder().Count(1).Ansi("ok").Bytes(),
                                                          CDeviceStorage::DefinitionKey()) + "12345";
    {
        DefinitionFileWriter writer(Path());
        ASSERT_TRUE(writer.AddStrings(L"M~1", {L"X1", L"MODEL X", L"FAM01"}));
        ASSERT_TRUE(writer.AddStream(L"M~2", partial));
    }
    const std::string before = vb::test::ReadFileBytes(Path());
    for (BOOL readOnly : {TRUE, FALSE}) {
        std::wstring workingCopy;
        {
            CDeviceStorage storage;
            ASSERT_EQ(0, storage.Open(Path(), readOnly));
            Strings strings;
            EXPECT_EQ(0, storage.GetModelStrings(L"X1", &strings));
            EXPECT_EQ(0, storage.ReadObject(L"M~2"));
            EXPECT_EQ((Strings{L"ok"}), storage.Strings());
            workingCopy = storage.WorkingCopy();
            EXPECT_EQ(readOnly, workingCopy.empty());
        }
        EXPECT_EQ(before, vb::test::ReadFileBytes(Path())) << readOnly;
        if (!readOnly) {
            EXPECT_FALSE(vb::test::FileExists(workingCopy));
        }
    }
}

}  // namespace
