// The dialog acting during a run: Stop from its progress handler or from a message that a
// script's Me.StopProcess dispatches, and a second run asked for meanwhile.
#include "BatchFixture.h"
#include "SampleScripts.h"

namespace vb::test {
namespace {

constexpr wchar_t kWaitingScript[] =
    L"Dim i\r\nFor i = 1 To 3\r\n  If Me.StopProcess Then Exit For\r\nNext\r\nMe.Trace \"stopped at \" & i";

class StopTest : public BatchFixture {
protected:
    void SetUp() override {
        UseFamily(L"FAM01");
        scripts_ = {GlobalScript(), StoreScript(8, L"Waiting", kWaitingScript),
                    StoreScript(1, L"Shapes", kShapesScript), StoreScript(2, L"Text", kTextScript)};
    }
    // Rows stored, as "<model> <script key>".
    std::vector<std::string> Stored() const {
        std::vector<std::string> keys;
        for (const auto& row : StoredRows(L"FAM01")) keys.push_back(row[0] + " " + row[1]);
        return keys;
    }
    // Run as the dialog's handler of a message posted at the script's start.
    void WhenWaiting(std::function<void()> action) {
        onProgress_ = [this](WPARAM, LPARAM script) {
            if (script && std::wstring(reinterpret_cast<const wchar_t*>(script)) == L"Waiting") {
                ::PostMessageW(parent_, kPosted, 0, 0);
            }
        };
        onPosted_ = std::move(action);
    }
    // However a run ends, it leaves nothing loaded or open behind, and no log window.
    void ExpectCleanedUp() {
        EXPECT_FALSE(ws_->Driver().IsLoaded());
        EXPECT_FALSE(ws_->ResultsDatabase().IsOpen());
        EXPECT_EQ(nullptr, ws_->LogWindow());
        EXPECT_FALSE(Logged(L"# ERROR"));
        EXPECT_TRUE(boxes_.Boxes().empty());
    }

    std::vector<CScriptItem> scripts_;
    const std::vector<std::wstring> models_{L"Model 300", L"Model 300 COLOR"};
};

TEST_F(StopTest, StopAskedForAtAScriptsStartEndsTheRunAfterThatScript) {
    onProgress_ = [this](WPARAM, LPARAM script) {
        if (script && std::wstring(reinterpret_cast<const wchar_t*>(script)) == L"Shapes") ws_->SetStop(true);
    };
    EXPECT_TRUE(Build(1, {scripts_[0], scripts_[2], scripts_[3]}, models_));

    EXPECT_EQ((std::vector<std::string>{"MODEL 300 1"}), Stored());
    EXPECT_EQ((std::vector<std::wstring>{L"model Model 300", L"script Shapes"}), progress_);
    EXPECT_TRUE(Logged(L"   Abort processing...\r\n"));
    ExpectCleanedUp();
}

TEST_F(StopTest, StopReachesAScriptThroughStopProcess) {
    WhenWaiting([this] { ws_->SetStop(true); });
    EXPECT_TRUE(Build(1, scripts_, models_));

    EXPECT_TRUE(Logged(L"   stopped at 1\r\n"));
    EXPECT_FALSE(Logged(L"[Shapes]"));
    EXPECT_TRUE(Stored().empty());
    EXPECT_TRUE(Logged(L"   Abort processing...\r\n"));
    ExpectCleanedUp();
}

// The Build button answers while a script pumps messages: the run under way goes on alone.
TEST_F(StopTest, RunAskedForDuringARunIsRefused) {
    BOOL inner = TRUE;
    WhenWaiting([&] { inner = ws_->RunBatch(1, scripts_, models_, L"", FALSE, pane_); });
    EXPECT_TRUE(Build(1, {scripts_[0], scripts_[1], scripts_[2]}, models_));

    EXPECT_FALSE(inner);
    EXPECT_TRUE(Logged(L"# ERROR 'A batch process is already running: no other one is started.'\r\n"));
    EXPECT_EQ(Log().find(L"Start processing"), Log().rfind(L"Start processing"));
    EXPECT_TRUE(Logged(L"   stopped at 4\r\n"));
    EXPECT_EQ((std::vector<std::string>{"MODEL 300 1", "MODEL 300 COLOR 1"}), Stored());
    EXPECT_TRUE(Logged(L"   End processing...\r\n"));
    EXPECT_FALSE(ws_->Driver().IsLoaded());
    EXPECT_EQ(nullptr, ws_->LogWindow());
}

}  // namespace
}  // namespace vb::test
