// The definition file into the device database, read back through a raw SQLite handle.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>

#include "DefinitionFileWriter.h"
#include "RawDatabase.h"
#include "Resources.h"
#include "Strings.h"
#include "TestDatabase.h"
#include "WorkSpace.h"

namespace {

using vb::test::Rows;
using vb::test::ArchiveBuilder;

std::string Index(const char* families) { return ArchiveBuilder().Count(2).Ansi("").Ansi(families).Bytes(); }

class DeviceImportTest : public ::testing::Test {
protected:
    void SetUp() override {
        CDbConnection setup;
        ASSERT_TRUE(setup.Open(database_.ConnectionString().c_str()));
        for (auto sql : {vb::test::kCreateDriverFamilies, vb::test::kCreateDriverModels}) {
            ASSERT_TRUE(setup.Execute(sql, 1));
        }
        SeedOldRows();
        workspace_ = std::make_unique<CWorkSpace>(program_ / L"Vellbrook.exe");
        ASSERT_TRUE(workspace_->DeviceDatabase().Open(database_.ConnectionString().c_str()));
    }

    void RawSql(const std::string& sql) { ASSERT_EQ("", vb::test::ExecRaw(database_.Path(), sql)) << sql; }
    Rows Table(const wchar_t* sql) const {
        Rows rows = vb::test::QueryRaw(database_.Path(), sql);
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    void SeedOldRows() {
        RawSql("DELETE FROM DRIVER_FAMILIES; DELETE FROM DRIVER_MODELS; INSERT INTO DRIVER_FAMILIES "
               "VALUES ('OLD','Old'); INSERT INTO DRIVER_MODELS VALUES ('OLD','M','',1)");
    }
    Rows Models() const { return Table(L"SELECT [KEY],NAME,CATALOG,REFS FROM DRIVER_MODELS"); }
    Rows Families() const { return Table(L"SELECT [KEY],NAME FROM DRIVER_FAMILIES"); }

    // Families as {name, listings}, models as {listing, model name, family key}; the index
    // object's payload, if any. Damaged objects are the storage's tests' concern.
    bool Import(const std::optional<std::string>& index, const Rows& families, const Rows& models) {
        const std::wstring path = database_.Folder() / L"Test.def";
        {
            vb::test::DefinitionFileWriter writer(path);
            if (index) writer.AddObject(L"FAMILIES INDEX", *index);
            for (size_t i = 0; i < families.size(); ++i) writer.AddStrings(L"F~" + std::to_wstring(i), families[i]);
            for (size_t i = 0; i < models.size(); ++i) writer.AddStrings(L"M~" + std::to_wstring(i), models[i]);
        }
        CDeviceStorage storage;
        EXPECT_EQ(0, storage.Open(path, TRUE));
        return workspace_->ImportDeviceDefinitions(storage);
    }

    vb::test::TempFolder program_;
    vb::test::TestDatabase database_;
    vb::MessageBoxCapture boxes_;
    std::unique_ptr<CWorkSpace> workspace_;
};

const Rows kOldModels = {{L"OLD", L"M", L"", L"1"}};
const Rows kOldFamilies = {{L"OLD", L"Old"}};

// Empty pieces, a missing family, a family and a model with too few strings, a missing model,
// case and apostrophes. K1 goes to ZED by count, K2 to the later beta by count, K4 to the
// first family of a tie although it sorts last.
const char kIndex[] = ";ZED;;ALPHA;GHOST;THIN;beta;ZIP'S;TIE;";
const Rows kFamilies = {{L"ZED", L"Z-A;Z-A2;NOPE;SHORT;Z'C"}, {L"ALPHA", L"A-A;;A-B"}, {L"THIN"},
                        {L"beta", L"b-1;b-2;b-3"}, {L"ZIP'S", L"t2"}, {L"TIE", L"t1"}};
const Rows kModels = {{L"Z-A", L"lp 100", L"k1"}, {L"Z-A2", L"LP 100", L"K1"}, {L"SHORT", L"S"},
                      {L"Z'C", L"O'Neil", L"K1"},  {L"A-A", L"Lp 100", L"K1"},  {L"A-B", L"R&D+1", L"K2"},
                      {L"b-1", L"X", L"k2"},       {L"b-2", L"Y", L"K2"},       {L"b-3", L"LP 100", L"K1"},
                      {L"t2", L"T", L"K4"},        {L"t1", L"T", L"K4"}};

TEST_F(DeviceImportTest, ListingsMergePerModelAndEachKeyIsNamedByItsLargestFamily) {
    EXPECT_TRUE(Import(Index(kIndex), kFamilies, kModels));
    EXPECT_EQ((Rows{{L"K1", L"LP 100", L"ALPHA: A-A\\r\\nZED: Z-A, Z-A2\\r\\nbeta: b-3", L"4"},
                    {L"K1", L"O'NEIL", L"ZED: Z'C", L"1"},
                    {L"K2", L"R&D+1", L"ALPHA: A-B", L"1"},
                    {L"K2", L"X", L"beta: b-1", L"1"},
                    {L"K2", L"Y", L"beta: b-2", L"1"},
                    {L"K4", L"T", L"TIE: t1\\r\\nZIP'S: t2", L"2"}}),
              Models());
    EXPECT_EQ((Rows{{L"K1", L"ZED"}, {L"K2", L"beta"}, {L"K4", L"ZIP'S"}}), Families());
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(DeviceImportTest, OnlyAReadableIndexReplacesTheTables) {
    struct Case { const char* what; std::optional<std::string> index; bool imported; } cases[] = {
        {"no index", std::nullopt, false},
        {"one string", ArchiveBuilder().Count(1).Ansi("x").Bytes(), false},
        {"separators only", Index(";;"), true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SeedOldRows();
        boxes_.Clear();
        EXPECT_EQ(c.imported, Import(c.index, {{L"F", L"m"}}, {{L"m", L"M", L"K"}}));
        EXPECT_EQ(c.imported ? 0u : 1u, boxes_.Boxes().size());
        EXPECT_EQ(c.imported ? Rows{} : kOldModels, Models());
        EXPECT_EQ(c.imported ? Rows{} : kOldFamilies, Families());
    }
}

// Rows the database refuses are left out and the rest replaces the tables; only a failure that
// would leave old rows beside new ones, or end the transaction, keeps the old tables; the
// connection stays fit for the next import. One box each time.
TEST_F(DeviceImportTest, FailingStatementsAreReportedInOneBoxAndOnlyAFatalOneKeepsTheOldTables) {
    const Rows families = {{L"FAM A", L"a;b;c"}};
    const Rows models = {{L"a", L"A", L"K1"}, {L"b", L"B", L"TOOLONG"}, {L"c", L"C", L"K1"}};
    const Rows newModels = {{L"K1", L"A", L"FAM A: a", L"1"}, {L"K1", L"C", L"FAM A: c", L"1"}};
    struct Case {
        const char* what;
        const char* trigger;  // null: none
        bool imported;
        std::vector<std::wstring> inBox;
    } cases[] = {
        // The database ends the transaction itself: nothing may run on outside it.
        {"transaction ended", "BEFORE INSERT ON DRIVER_MODELS WHEN NEW.NAME = 'C' BEGIN SELECT RAISE(ROLLBACK,'no'); END",
         false, {L"VALUES ( 'K1', 'C', 'FAM A: c', 1 )'\r\nno\r\n\r\nThe tables could not be replaced"}},
        // A key longer than its column: its model and its family row fail.
        {"overlong key", nullptr, true,
         {L"2 of 7 statements failed; the others were imported.\r\n\r\nIncorrect SQL query (0x",
          L"VALUES ( 'TOOLONG', 'B', 'FAM A: b', 1 )'\r\nCHECK constraint failed",
          L"VALUES ( 'TOOLONG', 'FAM A' )'\r\nCHECK constraint failed"}},
        {"the first three of four shown", "BEFORE INSERT ON DRIVER_MODELS BEGIN SELECT RAISE(ABORT,'no'); END", true,
         {L"4 of 7 statements failed; the others were imported.\r\nThe first 3:\r\n\r\nIncorrect SQL query"}},
        {"old rows not removed", "BEFORE DELETE ON DRIVER_MODELS BEGIN SELECT RAISE(ABORT,'kept'); END", false,
         {L"'DELETE * FROM [DRIVER_MODELS] '\r\nkept\r\n\r\nThe tables could not be replaced after this "
          L"failure; nothing was imported."}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RawSql("DROP TRIGGER IF EXISTS refuse");
        SeedOldRows();
        if (c.trigger) RawSql(std::string("CREATE TRIGGER refuse ") + c.trigger);
        boxes_.Clear();
        EXPECT_EQ(c.imported, Import(Index("FAM A"), families, models));
        const bool allRefused = c.trigger && c.imported;
        EXPECT_EQ(!c.imported ? kOldModels : allRefused ? Rows{} : newModels, Models());
        const Rows newFamilies = {{L"K1", L"FAM A"}};
        EXPECT_EQ(c.imported ? newFamilies : kOldFamilies, Families());
        ASSERT_EQ(1u, boxes_.Boxes().size());
        const std::wstring& text = boxes_.Boxes()[0].text;
        for (const auto& part : c.inBox) EXPECT_NE(std::wstring::npos, text.find(part)) << vb::ToUtf8(text);
        EXPECT_EQ(UINT(MB_OK | MB_ICONERROR), boxes_.Boxes()[0].flags);
    }
}

}  // namespace
