#include <gtest/gtest.h>

#include <functional>

#include "CIMSObject.h"
#include "MSScriptObject.h"
#include "Resources.h"
#include "ScriptTestSupport.h"
#include "TestHostObject.h"
#include "Variant.h"

namespace {

using vb::test::TestHostObject;

constexpr wchar_t kProcedures[] =
    L"Dim ran\r\n"
    L"Sub TouchDriver()\r\n"
    L"  Driver.Touch\r\n"
    L"End Sub\r\n"
    L"Sub Broken()\r\n"
    L"  Driver.Fail\r\n"
    L"End Sub\r\n"
    L"Sub BrokenLater()\r\n"
    L"  Driver.FailLater\r\n"
    L"End Sub\r\n";

class MSScriptObjectTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(facade_.Init());
        ASSERT_TRUE(facade_.AddObject(L"Driver", driver_.AsDispatch()));
        ASSERT_TRUE(facade_.AddCode(kProcedures));
    }

    vb::MessageBoxCapture boxes_;
    TestHostObject driver_;
    TestHostObject other_;
    CMSScriptObject facade_{nullptr};  // last: it holds the objects above
};

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

// A host object may leave its error's code and texts to the deferred fill-in; the record still
// holds them, whether a procedure or a statement made the failing call.
TEST_F(MSScriptObjectTest, ErrorTextsAHostObjectDefersReachTheRecord) {
    const struct {
        const char* way;
        std::function<BOOL()> call;
        long line;
    } ways[] = {
        {"run", [this] { return facade_.Run(L"BrokenLater"); }, 8},
        {"statement", [this] { return facade_.ExecuteStatement(L"ran = 1\r\nDriver.FailLater"); }, 1},
    };
    for (const auto& way : ways) {
        EXPECT_FALSE(way.call()) << way.way;
        ScriptErrorText record;
        facade_.FetchError(record);
        EXPECT_EQ(TestHostObject::kDeferredCode, record.number) << way.way;
        EXPECT_EQ(TestHostObject::kDeferredSource, record.source) << way.way;
        EXPECT_EQ(TestHostObject::kDeferredDescription, record.description) << way.way;
        EXPECT_EQ(way.line, record.line) << way.way;
    }
}

// A reset, even by a host method while the script that called it is still on the stack (from a
// procedure, then from a statement), leaves a fresh engine without the old objects and code,
// which takes new ones.
TEST_F(MSScriptObjectTest, ResetFromOutsideOrInsideARunningScriptLeavesAFreshEngine) {
    ASSERT_TRUE(facade_.AddCode(L"Sub ResetMidway()\r\n  Driver.Touch\r\n  ran = 1\r\nEnd Sub\r\n"));
    driver_.onTouch = [&] { facade_.Reset(); };
    for (int way = 0; way < 3; ++way) {
        if (way == 0) facade_.Run(L"ResetMidway");
        if (way > 0) {
            ASSERT_TRUE(facade_.AddObject(L"Driver", driver_.AsDispatch()));
        }
        if (way == 1) facade_.ExecuteStatement(L"Driver.Touch\r\nx = 1");
        if (way == 2) facade_.Reset();
        EXPECT_FALSE(facade_.IsBusy()) << way;
        EXPECT_TRUE(facade_.HasEngine()) << way;
        EXPECT_EQ(nullptr, facade_.HostObjects()) << way;
        EXPECT_EQ(1u, driver_.References()) << way;
    }
    EXPECT_FALSE(facade_.Run(L"TouchDriver"));
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
    EXPECT_FALSE(facade_.ExecuteStatement(L"Printer.Touch"));  // an empty wrapper fails every call
    // The wrapper now forwards to an object added under the same name.
    EXPECT_TRUE(facade_.AddObject(L"PRINTER", other_.AsDispatch()));
    EXPECT_EQ(nullptr, facade_.HostObjects()->Next());
    EXPECT_TRUE(facade_.ExecuteStatement(L"Printer.Touch"));
    EXPECT_EQ(1, other_.touches);
}

// A script that calls back into the host (as Me.StopProcess does by pumping messages) must not
// start another statement, code, object or listing while the facade drives the engine; running
// a procedure stays allowed and gives the flag back as it found it.
TEST_F(MSScriptObjectTest, OnlyARunOrAResetMayStartWhileBusy) {
    ASSERT_TRUE(facade_.AddCode(L"Dim state\r\nSub Inner()\r\n  state = \"ran\"\r\nEnd Sub\r\n"));
    std::vector<std::wstring> refused;
    bool busyAfterInnerRun = false;
    driver_.onTouch = [&] {
        std::vector<std::wstring> properties;
        std::vector<std::wstring> methods;
        if (facade_.ExecuteStatement(L"state = 1")) refused.push_back(L"statement ran");
        if (facade_.AddCode(L"Sub Late()\r\nEnd Sub")) refused.push_back(L"code added");
        if (facade_.AddObject(L"Other", other_.AsDispatch())) refused.push_back(L"object added");
        if (facade_.GetObjectMembers(L"Driver", properties, methods, nullptr)) refused.push_back(L"members listed");
        if (!facade_.Run(L"Inner")) refused.push_back(L"run refused");
        busyAfterInnerRun = facade_.IsBusy();
    };
    EXPECT_TRUE(facade_.Run(L"TouchDriver"));
    EXPECT_TRUE(facade_.ExecuteStatement(L"Driver.Touch"));
    EXPECT_EQ(std::vector<std::wstring>{}, refused);
    EXPECT_TRUE(busyAfterInnerRun);
    EXPECT_FALSE(facade_.IsBusy());
    EXPECT_EQ(L"ran", vb::test::Evaluate(facade_.Engine(), L"state"));
    EXPECT_EQ(1u, facade_.Engine().NamedObjectCount());
}

TEST(MSScriptObjectBeforeInitTest, EmptyRecordIsFormattedAndNothingRuns) {
    vb::MessageBoxCapture boxes;
    CMSScriptObject facade(nullptr);
    EXPECT_FALSE(facade.ExecuteStatement(L"x = 1"));
    EXPECT_FALSE(facade.Run(L"Anything"));
    std::vector<std::wstring> args;
    EXPECT_FALSE(facade.GetProcedureArgs(L"Mid", args));  // no engine, no library
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
