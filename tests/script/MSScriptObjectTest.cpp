#include <gtest/gtest.h>

#include "CIMSObject.h"
#include "MSScriptObject.h"
#include "Resources.h"
#include "ScriptTestSupport.h"
#include "Strings.h"
#include "TestHostObject.h"
#include "Variant.h"

namespace {

using vb::test::TestHostObject;

constexpr wchar_t kProcedures[] =
    L"Dim ran\r\n"
    L"Sub TouchDriver()\r\n"
    L"  Driver.Touch\r\n"
    L"End Sub\r\n"
    L"Sub Raiser()\r\n"
    L"  Err.Raise 1000, \"test source\", \"raised by the test\"\r\n"
    L"End Sub\r\n"
    L"Sub Mismatch()\r\n"
    L"      ran = \"text\" * 2\r\n"
    L"End Sub\r\n"
    L"Sub Broken()\r\n"
    L"  Driver.Fail\r\n"
    L"End Sub\r\n";

class MSScriptObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(facade_.Init());
        ASSERT_TRUE(facade_.AddObject(L"Driver", driver_.AsDispatch()));
        ASSERT_TRUE(facade_.AddCode(kProcedures));
    }
    std::wstring ErrorText() {
        std::wstring text;
        facade_.GetErrorString(text);
        return text;
    }

    vb::MessageBoxCapture boxes_;
    TestHostObject driver_;
    TestHostObject other_;
    CMSScriptObject facade_{nullptr};  // last: it holds the objects above
};

TEST_F(MSScriptObjectTest, RunsProceduresAndStatementsAgainstHostObjects) {
    EXPECT_TRUE(facade_.Run(L"TouchDriver"));
    EXPECT_TRUE(facade_.ExecuteStatement(L"Driver.Touch"));
    EXPECT_EQ(2, driver_.touches);
    EXPECT_FALSE(facade_.IsBusy());
}

TEST_F(MSScriptObjectTest, EmptyOrNullTextsAreRefusedWithoutAnyMessage) {
    for (const wchar_t* text : {L"", static_cast<const wchar_t*>(nullptr)}) {
        EXPECT_FALSE(facade_.ExecuteStatement(text));
        EXPECT_FALSE(facade_.AddCode(text));
        EXPECT_FALSE(facade_.Run(text));
        EXPECT_FALSE(facade_.AddObject(text, other_.AsDispatch()));
    }
    EXPECT_EQ(L"", facade_.LastComError());
    EXPECT_TRUE(boxes_.Boxes().empty());
    EXPECT_EQ(1u, other_.References());
}

TEST_F(MSScriptObjectTest, UnknownProcedureStoresTheComErrorText) {
    EXPECT_FALSE(facade_.Run(L"NoSuchProcedure"));
    EXPECT_EQ(L"IScriptControl COM Error 0x80020006 :\n - error : (null)\n - desc : (null)\r\n",
              facade_.LastComError());
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(MSScriptObjectTest, ScriptErrorsAreFormattedWithLineCharacterAndCode) {
    EXPECT_FALSE(facade_.Run(L"Raiser"));
    const std::wstring text = ErrorText();
    EXPECT_EQ(
        L"VB Script error:\r\n - Line: 5\r\n - Character: 3\r\n - Error: raised by the test\r\n"
        L" - Code: 800A03E8\r\n - Source: test source",
        text);
    ASSERT_EQ(1u, boxes_.Boxes().size());
    EXPECT_EQ(text, boxes_.Boxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_ICONERROR), boxes_.Boxes()[0].flags);

    EXPECT_FALSE(facade_.Run(L"Mismatch"));
    const std::wstring mismatch = ErrorText();
    EXPECT_EQ(0u, mismatch.find(L"VB Script error:\r\n - Line: 8\r\n - Character: 7\r\n - Error: "))
        << vb::ToUtf8(mismatch);
    EXPECT_NE(std::wstring::npos, mismatch.find(L"\r\n - Code: 800A000D\r\n - Source: "));
}

TEST_F(MSScriptObjectTest, BadCodeAndFailingHostObjectsFailOnlyTheirOwnCall) {
    EXPECT_FALSE(facade_.AddCode(L"Sub Good()\r\nEnd Sub\r\nSub Bad(\r\n"));
    ScriptErrorText record;
    facade_.FetchError(record);
    EXPECT_EQ(2, record.line);
    EXPECT_FALSE(facade_.Run(L"Broken"));  // the host object throws
    EXPECT_FALSE(facade_.IsBusy());
    EXPECT_TRUE(facade_.Run(L"TouchDriver"));
    EXPECT_EQ(1, driver_.touches);
}

TEST_F(MSScriptObjectTest, AddingAnExistingNameReplacesTheObjectBehindItsWrapper) {
    CIMSObject* wrapper = facade_.HostObjects();
    const ULONG driverHeld = driver_.References();
    EXPECT_TRUE(facade_.AddObject(L"driver", other_.AsDispatch()));
    EXPECT_TRUE(facade_.AddObject(L"Printer", nullptr));  // nothing under a new name: nothing to add
    EXPECT_EQ(wrapper, facade_.HostObjects());
    EXPECT_EQ(nullptr, wrapper->Next());
    EXPECT_EQ(1u, facade_.Engine().NamedObjectCount());
    EXPECT_EQ(driverHeld - 1, driver_.References());

    EXPECT_TRUE(facade_.Run(L"TouchDriver"));
    EXPECT_EQ(0, driver_.touches);
    EXPECT_EQ(1, other_.touches);
}

TEST_F(MSScriptObjectTest, MeAddedBeforeDriverReachesItsObject) {
    facade_.Reset();
    ASSERT_TRUE(facade_.AddObject(L"Me", other_.AsDispatch()));
    ASSERT_TRUE(facade_.AddObject(L"Driver", driver_.AsDispatch()));
    EXPECT_TRUE(facade_.ExecuteStatement(L"Me.Touch\r\nDriver.Touch\r\nDriver.Value = Me.Touch"));
    EXPECT_EQ(2, other_.touches);
    EXPECT_EQ(1, driver_.touches);
    EXPECT_EQ(L"2", driver_.value);
}

TEST_F(MSScriptObjectTest, ResetLeavesAFreshEngineAndReleasesTheHostObjects) {
    facade_.Reset();
    EXPECT_TRUE(facade_.HasEngine());
    EXPECT_EQ(nullptr, facade_.HostObjects());
    EXPECT_EQ(1u, driver_.References());
    EXPECT_FALSE(facade_.Run(L"TouchDriver"));
    EXPECT_TRUE(facade_.ExecuteStatement(L"x = 1"));
}

// A host method may reset the facade while the script that called it is still on the stack:
// the run returns, and the fresh engine takes new objects and code.
TEST_F(MSScriptObjectTest, ResetFromInsideARunningScriptLeavesAUsableFacade) {
    ASSERT_TRUE(facade_.AddCode(L"Sub ResetMidway()\r\n  Driver.Touch\r\n  ran = 1\r\nEnd Sub\r\n"));
    driver_.onTouch = [&] { facade_.Reset(); };
    for (bool asProcedure : {true, false}) {
        if (asProcedure) {
            facade_.Run(L"ResetMidway");
        } else {
            ASSERT_TRUE(facade_.AddObject(L"Driver", driver_.AsDispatch()));
            facade_.ExecuteStatement(L"Driver.Touch\r\nx = 1");
        }
        EXPECT_FALSE(facade_.IsBusy());
        EXPECT_TRUE(facade_.HasEngine());
        EXPECT_EQ(nullptr, facade_.HostObjects());
        EXPECT_EQ(1u, driver_.References());
    }
    ASSERT_TRUE(facade_.AddObject(L"Driver", other_.AsDispatch()));
    ASSERT_TRUE(facade_.AddCode(L"Sub Again()\r\n  Driver.Touch\r\nEnd Sub\r\n"));
    EXPECT_TRUE(facade_.Run(L"Again"));
    EXPECT_EQ(1, other_.touches);
    EXPECT_EQ(2, driver_.touches);
}

TEST_F(MSScriptObjectTest, RefusedNameIsShownInItsOwnBoxAndKeptUntilReset) {
    // A failed first parse leaves a closed engine, which refuses every new name.
    facade_.Engine().Reset();
    facade_.Engine().ParseScriptText(L"Sub (", nullptr, nullptr, SCRIPTTEXT_ISVISIBLE);
    EXPECT_FALSE(facade_.AddObject(L"Other", other_.AsDispatch()));
    ASSERT_EQ(1u, boxes_.Boxes().size());
    EXPECT_EQ(L"CMSScriptObject", boxes_.Boxes()[0].caption);
    EXPECT_EQ(static_cast<UINT>(MB_OK), boxes_.Boxes()[0].flags);
    EXPECT_EQ(facade_.LastComError(), boxes_.Boxes()[0].text);
    ASSERT_NE(nullptr, facade_.HostObjects());
    EXPECT_EQ(1u, facade_.Engine().NamedObjectCount());
    EXPECT_EQ(2u, other_.References());
    EXPECT_FALSE(facade_.IsBusy());
    facade_.Reset();
    EXPECT_EQ(nullptr, facade_.HostObjects());
    EXPECT_EQ(1u, other_.References());
}

TEST_F(MSScriptObjectTest, FirstNameOfAllGetsItsWrapperEvenWithoutAnObject) {
    facade_.Reset();
    EXPECT_TRUE(facade_.AddObject(L"Printer", nullptr));
    ASSERT_NE(nullptr, facade_.HostObjects());
    EXPECT_EQ(1u, facade_.Engine().NamedObjectCount());
    // The wrapper now forwards to an object added under the same name.
    EXPECT_TRUE(facade_.AddObject(L"PRINTER", other_.AsDispatch()));
    EXPECT_EQ(nullptr, facade_.HostObjects()->Next());
    EXPECT_TRUE(facade_.ExecuteStatement(L"Printer.Touch"));
    EXPECT_EQ(1, other_.touches);
}

TEST(MSScriptObjectBeforeInitTest, EmptyRecordIsFormattedAndNothingRuns) {
    vb::MessageBoxCapture boxes;
    CMSScriptObject facade(nullptr);
    EXPECT_FALSE(facade.ExecuteStatement(L"x = 1"));
    EXPECT_FALSE(facade.Run(L"Anything"));
    std::wstring text;
    facade.GetErrorString(text);
    EXPECT_EQ(L"VB Script error:\r\n - Line: 0\r\n - Character: 1\r\n - Error: \r\n - Code: 0\r\n - Source: ", text);
    EXPECT_EQ(1u, boxes.Boxes().size());
}

TEST(MSScriptObjectLifetimeTest, WrapperHeldPastTheFacadeCanStillBeReleased) {
    TestHostObject host;
    IDispatch* held = nullptr;
    {
        CMSScriptObject facade(nullptr);
        ASSERT_TRUE(facade.Init());
        ASSERT_TRUE(facade.AddObject(L"Driver", host.AsDispatch()));
        vb::Variant value;
        ASSERT_EQ(S_OK, facade.Engine().ParseScriptText(L"Driver", nullptr, value.Put(), SCRIPTTEXT_ISEXPRESSION));
        held = V_DISPATCH(value.Get());
        held->AddRef();
    }
    held->Release();
    EXPECT_EQ(1u, host.References());
}

}  // namespace
