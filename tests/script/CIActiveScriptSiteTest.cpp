#include <gtest/gtest.h>

#include "CIActiveScriptSite.h"
#include "ComPtr.h"
#include "ScriptEngine.h"
#include "TestHostObject.h"

namespace {

class CIActiveScriptSiteTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, engine_.ExecuteStatement(L""));
        ASSERT_EQ(S_OK, engine_.AddNamedObject(L"Me", host_.AsDispatch(), 1));
    }

    vb::test::TestHostObject host_;
    ScriptEngine engine_;
    vb::ComPtr<CIActiveScriptSite> site_ = vb::ComPtr<CIActiveScriptSite>::Attach(new CIActiveScriptSite(&engine_));
};

TEST_F(CIActiveScriptSiteTest, ItemInfoNeedsTheUnknownInTheMaskAndMatchesAnyCase) {
    IUnknown* untouched = reinterpret_cast<IUnknown*>(1);
    ITypeInfo* info = reinterpret_cast<ITypeInfo*>(1);
    EXPECT_EQ(TYPE_E_ELEMENTNOTFOUND, site_->GetItemInfo(L"Me", SCRIPTINFO_ITYPEINFO, &untouched, &info));
    EXPECT_EQ(reinterpret_cast<IUnknown*>(1), untouched);
    EXPECT_EQ(reinterpret_cast<ITypeInfo*>(1), info);

    // The type-information slot is not filled, nor consulted, unless the engine asked for it.
    vb::ComPtr<IUnknown> unknown;
    ASSERT_EQ(S_OK, site_->GetItemInfo(L"me", SCRIPTINFO_IUNKNOWN, unknown.Put(), &info));
    EXPECT_EQ(static_cast<IUnknown*>(host_.AsDispatch()), unknown.Get());
}

TEST_F(CIActiveScriptSiteTest, TheEnginesWindowIsTheSitesWindow) {
    EXPECT_EQ(S_OK, site_->GetDocVersionString(nullptr));
    EXPECT_EQ(E_POINTER, site_->OnScriptError(nullptr));

    vb::ComPtr<IActiveScriptSiteWindow> window;
    ASSERT_EQ(S_OK, site_->QueryInterface(__uuidof(IActiveScriptSiteWindow), reinterpret_cast<void**>(window.Put())));
    HWND owner = reinterpret_cast<HWND>(1);
    EXPECT_EQ(S_OK, window->GetWindow(&owner));
    EXPECT_EQ(nullptr, owner);
    engine_.SetSiteWindow(::GetDesktopWindow());
    EXPECT_EQ(S_OK, window->GetWindow(&owner));
    EXPECT_EQ(::GetDesktopWindow(), owner);
}

// A scripting engine that someone still holds after a reset must not reach the reset host.
TEST_F(CIActiveScriptSiteTest, DisconnectedSiteAnswersWithoutTheEngine) {
    engine_.SetSiteWindow(::GetDesktopWindow());
    site_->Disconnect();
    vb::ComPtr<IUnknown> unknown;
    EXPECT_EQ(E_UNEXPECTED, site_->GetItemInfo(L"Me", SCRIPTINFO_IUNKNOWN, unknown.Put(), nullptr));
    HWND owner = reinterpret_cast<HWND>(1);
    EXPECT_EQ(S_OK, site_->GetWindow(&owner));
    EXPECT_EQ(nullptr, owner);
}

}  // namespace
