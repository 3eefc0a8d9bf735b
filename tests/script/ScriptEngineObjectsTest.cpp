#include <gtest/gtest.h>

#include "CIActiveScriptSite.h"
#include "ComPtr.h"
#include "ScriptEngine.h"
#include "TestHostObject.h"

namespace {

using vb::test::TestHostObject;

// Named host objects as the engine keeps them and the scripting engine asks for them through
// the site.
class ScriptEngineObjectsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, engine_.ExecuteStatement(L""));
        ASSERT_EQ(S_OK, engine_.AddNamedObject(L"Driver", first_.AsDispatch(), 1));
    }
    IUnknown* ItemFor(const wchar_t* name) {
        vb::ComPtr<IUnknown> unknown;
        engine_.GetItemInfo(name, unknown.Put(), nullptr);
        return unknown.Get();  // the map keeps it alive
    }
    static IUnknown* Identity(TestHostObject& object) { return static_cast<IDispatch*>(object.AsDispatch()); }

    TestHostObject first_;
    TestHostObject second_;
    ScriptEngine engine_;  // holds the objects above
    vb::ComPtr<CIActiveScriptSite> site_ = vb::ComPtr<CIActiveScriptSite>::Attach(new CIActiveScriptSite(&engine_));
};

TEST_F(ScriptEngineObjectsTest, NameIsFoundInAnyCaseAndReplacingItReleasesTheObjectBefore) {
    EXPECT_EQ(Identity(first_), ItemFor(L"DRIVER"));
    EXPECT_EQ(Identity(first_), ItemFor(L"driver"));
    EXPECT_EQ(nullptr, ItemFor(L"Printer"));
    EXPECT_EQ(nullptr, ItemFor(nullptr));
    vb::ComPtr<IUnknown> unknown;
    ASSERT_EQ(S_OK, site_->GetItemInfo(L"driver", SCRIPTINFO_IUNKNOWN, unknown.Put(), nullptr));
    EXPECT_EQ(Identity(first_), unknown.Get());

    const ULONG firstHeld = first_.References();
    engine_.AddNamedObject(L"DRIVER", second_.AsDispatch(), 1);
    EXPECT_EQ(firstHeld - 1, first_.References());
    EXPECT_EQ(1u, engine_.NamedObjectCount());
    EXPECT_EQ(Identity(second_), ItemFor(L"driver"));
}

TEST_F(ScriptEngineObjectsTest, BadNamesObjectsAndMissingTypeInformationHandOutNothing) {
    EXPECT_EQ(E_INVALIDARG, engine_.AddNamedObject(L"", second_.AsDispatch(), 1));
    EXPECT_EQ(E_POINTER, engine_.AddNamedObject(L"Other", nullptr, 1));
    EXPECT_EQ(1u, second_.References());

    // The host objects serve no type information: a request for it fails whole.
    const ULONG held = first_.References();
    vb::ComPtr<IUnknown> unknown;
    vb::ComPtr<ITypeInfo> info;
    EXPECT_TRUE(FAILED(engine_.GetItemInfo(L"Driver", unknown.Put(), info.Put())));
    EXPECT_FALSE(unknown);
    EXPECT_EQ(held, first_.References());
}

// A scripting engine that someone still holds after a reset must not reach the reset host.
TEST_F(ScriptEngineObjectsTest, DisconnectedSiteAnswersWithoutTheEngine) {
    engine_.SetSiteWindow(::GetDesktopWindow());
    site_->Disconnect();
    vb::ComPtr<IUnknown> unknown;
    EXPECT_EQ(E_UNEXPECTED, site_->GetItemInfo(L"Driver", SCRIPTINFO_IUNKNOWN, unknown.Put(), nullptr));
    HWND owner = reinterpret_cast<HWND>(1);
    EXPECT_EQ(S_OK, site_->GetWindow(&owner));
    EXPECT_EQ(nullptr, owner);
}

}  // namespace
