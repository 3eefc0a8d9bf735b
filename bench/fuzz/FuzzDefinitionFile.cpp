// The device definition file through the program's own reader: the compound file check, the
// storage, the cipher stream, the archive strings and the import into the device database.
//
// Input: a first byte choosing the form, then
//   0: the bytes of a file as they stand, opened read-only and writable;
//   1: objects for a well-formed file, each a tag (element name in the low three bits; 0x80:
//      the bytes are the stored stream as they stand, else a payload that is enciphered), a
//      16-bit little-endian length and the bytes.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ArchiveReader.h"
#include "DefinitionFileWriter.h"
#include "DeviceStorage.h"
#include "RawDatabase.h"
#include "WorkspaceHarness.h"

namespace vb::fuzz {

namespace {

using test::ArchiveBuilder;

const wchar_t* const kElements[] = {L"FAMILIES INDEX", L"F~0", L"F~1", L"M~0", L"M~1", L"M~2", L"L~0", L"M~3"};

std::string Strings(const std::vector<std::wstring>& strings, ArchiveBuilder::Length form) {
    ArchiveBuilder archive;
    archive.Count(static_cast<LONG>(strings.size()));
    for (const auto& text : strings) archive.Wide(text, form);
    return archive.Count(-1).Bytes();
}

// A file the import takes whole: two families listing three models, one list object, every
// length form of the archive.
std::vector<std::pair<int, std::string>> ValidObjects() {
    using L = ArchiveBuilder::Length;
    return {
        {0, ArchiveBuilder().Count(2).Ansi("").Ansi("FAM A;FAM B;;MISSING").Bytes()},
        {1, Strings({L"FAM A", L"LIST1;LIST2"}, L::Byte)},
        {2, Strings({L"FAM B", L"LIST3;LIST1"}, L::Word)},
        {3, Strings({L"LIST1", L"Model One", L"k01"}, L::Byte)},
        {4, ArchiveBuilder().Count(3).Ansi("LIST2", L::Dword).Ansi("Model 'Two'").Ansi("K01", L::Qword).Bytes()},
        {5, Strings({L"LIST3", L"M\u00f6del \u4e09\r\nline", L"K02"}, L::Byte)},
        {6, ArchiveBuilder().Count(1).Ansi("list").Count(1).Ansi("a").Ansi("b").Bytes()},
    };
}

std::string Record(int element, bool raw, const std::string& bytes) {
    std::string record(1, static_cast<char>(element | (raw ? 0x80 : 0)));
    record += static_cast<char>(bytes.size() & 0xFF);
    record += static_cast<char>((bytes.size() >> 8) & 0xFF);
    return record + bytes;
}

class DefinitionFileHarness : public WorkspaceHarness {
public:
    void Setup() override {
        WorkspaceHarness::Setup();
        path_ = files_ / L"Devices.def";
    }

    std::vector<std::string> Seeds() override {
        std::string objects(1, '\x01');
        std::string rawObjects(1, '\x01');
        for (const auto& [element, payload] : ValidObjects()) {
            objects += Record(element, false, payload);
            rawObjects += Record(element, true, test::EncipherPayload(payload, CDeviceStorage::DefinitionKey()));
        }
        WriteObjects(std::string_view(objects).substr(1));
        return {objects, rawObjects, std::string(1, '\0') + test::ReadFileBytes(path_)};
    }

    std::vector<std::string> Dictionary() override {
        return {std::string("\xFF\xFF\xFF", 3), std::string("\xFF\xFE\xFF", 3), std::string("\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 7),
                std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8), std::string("\xFE\xFF\xFF\xFF", 4),
                std::string("\xFF\xFF\xFF\xFF", 4), std::string("\xFA\xFF\xFF\xFF", 4), ";", "FAM A", "LIST1"};
    }

    size_t MaxSize() const override { return 16384; }
    int TimeoutSeconds() const override { return 20; }

    void Run(std::string_view input) override {
        const int form = input.empty() ? 0 : static_cast<unsigned char>(input[0]) % 2;
        const std::string_view data = input.empty() ? input : input.substr(1);
        if (form == 0) {
            test::WriteFileBytes(path_, std::string(data));
        } else {
            WriteObjects(data);
        }
        const std::string before = test::ReadFileBytes(path_);
        {
            CDeviceStorage storage;
            const int opened = storage.Open(path_, TRUE);
            FUZZ_CHECK(opened == CDeviceStorage::kOk || opened == CDeviceStorage::kCannotOpen, std::to_string(opened));
            // The storage's own files are whole: the check must never refuse one.
            FUZZ_CHECK(form == 0 || opened == CDeviceStorage::kOk, "a whole file was refused");
            if (opened == CDeviceStorage::kOk) {
                ++opened_;
                ReadEverything(storage, before.size());
            }
        }
        // Writable mode works on a copy of the file: damaged files are copied and read too.
        if (form == 0) {
            CDeviceStorage storage;
            if (storage.Open(path_, FALSE) == CDeviceStorage::kOk) {
                for (const auto& element : storage.ModelElements()) storage.ReadObject(element.first);
            }
        }
        FUZZ_CHECK(test::ReadFileBytes(path_) == before, "reading changed the file");
    }

    std::string Stats() const override {
        return std::to_string(opened_) + " files opened, " + std::to_string(imported_) + " imported";
    }

private:
    void WriteObjects(std::string_view data) {
        test::DefinitionFileWriter writer(path_);
        for (size_t at = 0; at + 3 <= data.size();) {
            auto tag = static_cast<unsigned char>(data[at]);
            size_t length = static_cast<unsigned char>(data[at + 1]) | static_cast<unsigned char>(data[at + 2]) << 8;
            std::string bytes(data.substr(at + 3, length));
            at += 3 + bytes.size();
            if (tag & 0x80) {
                writer.AddStream(kElements[tag & 7], bytes);
            } else {
                CheckPayload(bytes);
                writer.AddObject(kElements[tag & 7], bytes);
            }
        }
    }

    // Every string takes at least its length byte, and every character a byte of the payload.
    static void CheckStrings(const std::vector<std::wstring>& strings, size_t bytes) {
        size_t characters = 0;
        for (const auto& text : strings) characters += text.size();
        FUZZ_CHECK(strings.size() <= bytes && characters <= bytes,
                   std::to_string(strings.size()) + " strings, " + std::to_string(characters) + " characters from " +
                       std::to_string(bytes) + " bytes");
    }

    static void CheckPayload(const std::string& payload) {
        if (auto strings = CArchiveReader::ReadStringLists(payload)) CheckStrings(*strings, payload.size());
    }

    void ReadEverything(CDeviceStorage& storage, size_t fileSize) {
        for (const auto* group : {&storage.ModelElements(), &storage.FamilyElements(), &storage.ListElements()}) {
            for (const auto& element : *group) {
                const int result = storage.ReadObject(element.first);
                FUZZ_CHECK(result == CDeviceStorage::kOk || result == CDeviceStorage::kNotFound ||
                               result == CDeviceStorage::kCannotOpenStream || result == CDeviceStorage::kDamagedObject,
                           std::to_string(result));
                CheckStrings(storage.Strings(), fileSize);
            }
        }
        // The import is all or nothing: a refused file leaves the tables as they were.
        const test::Rows tables = Tables();
        boxes_.Clear();
        if (workspace_->ImportDeviceDefinitions(storage)) {
            ++imported_;
        } else {
            FUZZ_CHECK(!boxes_.Boxes().empty(), "a refused import says nothing");
            FUZZ_CHECK(Tables() == tables, "a refused import changed the device database");
        }
    }

    test::Rows Tables() const {
        const std::wstring database = program_ / L"Data\\Data.mdb";
        test::Rows rows = test::QueryRaw(database, L"SELECT [KEY],NAME,CATALOG,REFS FROM DRIVER_MODELS ORDER BY 1,2");
        for (auto& row : test::QueryRaw(database, L"SELECT [KEY],NAME FROM DRIVER_FAMILIES ORDER BY 1")) {
            rows.push_back(std::move(row));
        }
        return rows;
    }

    std::wstring path_;
    size_t opened_ = 0;
    size_t imported_ = 0;
};

}  // namespace

std::unique_ptr<Harness> MakeDefinitionFileHarness() { return std::make_unique<DefinitionFileHarness>(); }

}  // namespace vb::fuzz
