// The runs the batch refuses: each is logged as an error of its own, without a box of the
// batch's own, ends through the one clean-up, and the next run works.
#include <sqlite3.h>

#include "BatchFixture.h"
#include "DbConnection.h"
#include "SampleScripts.h"

namespace vb::test {
namespace {

constexpr wchar_t kAborted[] = L"\r\n\r\nThe batch process is aborted.";

// Another program holding the database for writing: nobody can even read it meanwhile.
class ExclusiveLock {
public:
    explicit ExclusiveLock(const std::wstring& path) {
        std::wstring error;
        database_ = CDbConnection::OpenDatabase(path, error);
        locked_ =
            database_ && ::sqlite3_exec(database_.Get(), "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
    }
    bool Locked() const { return locked_; }

private:
    vb::UniqueSqliteDatabase database_;
    bool locked_ = false;
};

class RefusalsTest : public BatchFixture {
protected:
    void SetUp() override { scripts_ = {GlobalScript(), StoreScript(1, L"Shapes", kShapesScript)}; }

    void ExpectGoodRun(const char* after) {
        UseFamily(L"FAM01");
        ExpectGoodBuild(scripts_, {L"Model 300"}, 1, after);
    }

    std::vector<CScriptItem> scripts_;
    std::unique_ptr<ExclusiveLock> lock_;
};

TEST_F(RefusalsTest, EachRefusalIsLoggedAndTheNextRunWorks) {
    ExpectGoodRun("the first run");
    const std::wstring database = ResultsFile(L"FAM01");
    const std::wstring kNothingSelected = L"You must select at least one driver model and also\r\nat least one script "
                                          L"(different than [#Global_Script] because it's always added)." +
                                          std::wstring(kAborted);
    const struct {
        const char* name;
        std::function<void()> cause;
        std::function<void()> undo;
        std::vector<std::wstring> models;
        size_t scripts;
        std::wstring error;
        std::wstring box;  // what the driver wrapper's own box says, if it shows one
    } cases[] = {
        {"no model", [] {}, [] {}, {}, 2, kNothingSelected, L""},
        {"no script", [] {}, [] {}, {L"Model 300"}, 0, kNothingSelected, L""},
        {"a driver that does not load", [this] { UseFamily(L"FAM02", L"unloadable_driver.dll"); }, [] {},
         {L"Model 300"}, 2,
         L"The device driver cannot be loaded:\r\n<reference>\\FAM02.prn." + std::wstring(kAborted),
         L"cannot be loaded.\nCheck module dependencies."},
        {"a driver that is missing", [this] { ws_->SetDriverName(L"FAM07 (Missing family)"); }, [] {},
         {L"Model 300"}, 2,
         L"The device driver cannot be loaded:\r\n<reference>\\FAM07.prn." + std::wstring(kAborted),
         L"cannot be found."},
        // The sample driver opens every model it is given a name for.
        {"a model the driver cannot open", [] {}, [] {}, {L"Model 300", L""}, 2,
         L"The device context for the model [] cannot be created." + std::wstring(kAborted), L""},
        {"a folder where the database belongs",
         [&] {
             ::DeleteFileW(database.c_str());
             ::CreateDirectoryW(database.c_str(), nullptr);
         },
         [&] { ::RemoveDirectoryW(database.c_str()); }, {L"Model 300"}, 2,
         L"The database cannot be opened:\r\n<program>\\Data\\FAM01.mdb" + std::wstring(kAborted), L""},
        {"a locked database",
         [&] {
             lock_ = std::make_unique<ExclusiveLock>(database);
             ASSERT_TRUE(lock_->Locked());
         },
         [this] { lock_.reset(); }, {L"Model 300"}, 2,
         L"The database cannot be opened:\r\n<program>\\Data\\FAM01.mdb" + std::wstring(kAborted), L""},
    };
    for (const auto& refusal : cases) {
        UseFamily(L"FAM01");
        refusal.cause();
        ::SetWindowTextW(pane_, L"");
        boxes_.Clear();
        std::vector<CScriptItem> scripts(scripts_.begin(),
                                         scripts_.begin() + static_cast<std::ptrdiff_t>(refusal.scripts));
        EXPECT_FALSE(Build(1, scripts, refusal.models)) << refusal.name;

        const std::wstring ending = L"   End processing...\r\n\r\nhh:mm:ss   # ERROR '" + refusal.error + L"'\r\n";
        EXPECT_EQ(ending, MaskedEnding(ending)) << refusal.name;
        if (refusal.models.empty() || refusal.scripts == 0) {
            EXPECT_EQ(L"\r\nhh:mm:ss" + ending, MaskedLog()) << refusal.name;  // nothing before
        }
        ASSERT_EQ(refusal.box.empty() ? 0u : 1u, boxes_.Boxes().size()) << refusal.name;
        if (!refusal.box.empty()) {
            EXPECT_NE(std::wstring::npos, boxes_.Boxes()[0].text.find(refusal.box)) << refusal.name;
        }
        EXPECT_FALSE(ws_->Driver().IsLoaded()) << refusal.name;
        EXPECT_FALSE(ws_->ResultsDatabase().IsOpen()) << refusal.name;
        EXPECT_EQ(nullptr, ws_->LogWindow()) << refusal.name;

        refusal.undo();
        ExpectGoodRun(refusal.name);
    }
}

}  // namespace
}  // namespace vb::test
