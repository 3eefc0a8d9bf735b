#include <gtest/gtest.h>

#include <algorithm>

#include "DriverWrapper.h"
#include "FakeDriverHandler.h"
#include "FakeScriptHostOwner.h"
#include "MSScriptObject.h"
#include "Strings.h"
#include "TestHostObject.h"

namespace {

using Texts = std::vector<std::wstring>;

bool Contains(const Texts& texts, const wchar_t* text) {
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TEST(VarTypeNameTest, NamesByTypeCode) {
    const struct {
        VARTYPE type;
        const wchar_t* text;
        BOOL result;
    } cases[] = {
        {VT_UI2, L"Short", TRUE},
        {0x42, L"ByRef Short", TRUE},
        {VT_EMPTY, L"", FALSE},
        {0x40, L"ByRef ", FALSE},
        // Codes without a name of their own leave the text as it was.
        {VT_BYREF | VT_I4, L"before", TRUE},
        {128, L"before", TRUE},
    };
    for (const auto& test : cases) {
        std::wstring text = L"before";
        EXPECT_EQ(test.result, CMSScriptObject::GetVarTypeName(test.type, text)) << test.type;
        EXPECT_EQ(test.text, text) << test.type;
    }
}

// Listings as the editor asks for them, with the real `Driver` and VBScript's own library.
class MSScriptObjectListingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(facade_.Init());
        ASSERT_TRUE(facade_.AddObject(L"Driver", wrapper_.AsDispatch()));
        ASSERT_TRUE(facade_.AddObject(L"Host", host_.AsDispatch()));
        ASSERT_TRUE(facade_.AddCode(L"Sub Two(first, second)\r\nEnd Sub\r\nDim number\r\nnumber = 3\r\n"));
    }

    vb::test::FakeScriptHostOwner owner_;
    vb::test::FakeDriverHandler handler_;
    CDriverWrapper wrapper_{&handler_};
    vb::test::TestHostObject host_;
    CMSScriptObject facade_{&owner_};  // last: it holds the objects above
};

TEST_F(MSScriptObjectListingTest, DriverMembersComeFromTheTypeLibrary) {
    Texts properties;
    Texts methods;
    ASSERT_TRUE(facade_.GetObjectMembers(L"DRIVER", properties, methods, nullptr));
    EXPECT_TRUE(Contains(properties, L"EnableEvents"));
    EXPECT_TRUE(Contains(methods, L"GetDeviceCaps"));
    EXPECT_FALSE(Contains(methods, L"Invoke"));  // nor any other member of IDispatch
}

TEST_F(MSScriptObjectListingTest, OneMemberWithItsTypesAndOptionalParameters) {
    Texts properties;
    Texts methods{L"kept"};
    ASSERT_TRUE(facade_.GetObjectMembers(L"Driver", properties, methods, L"textout"));
    EXPECT_TRUE(properties.empty());
    EXPECT_EQ((Texts{L"kept", L"Integer TextOut", L"left", L"top", L"Text", L"TextColor", L"[BkMode]", L"[BkColor]"}),
              methods);
    Texts args;
    EXPECT_TRUE(facade_.GetMemberArgs(L"Driver", L"GetTextExt", args));
    EXPECT_EQ((Texts{L"Object GetTextExt", L"Text", L"Length"}), args);
    EXPECT_FALSE(facade_.GetMemberArgs(L"Driver", L"NoSuchMember", args));
    EXPECT_FALSE(facade_.GetMemberArgs(nullptr, L"TextOut", args));
}

TEST_F(MSScriptObjectListingTest, WhatIsNoDescribedObjectListsNothing) {
    Texts properties;
    Texts methods;
    for (const wchar_t* name : {L"number", L"undefinedName", L"Host", L""}) {
        EXPECT_FALSE(facade_.GetObjectMembers(name, properties, methods, nullptr)) << vb::ToUtf8(name);
    }
    EXPECT_FALSE(facade_.GetObjectMembers(nullptr, properties, methods, nullptr));
    EXPECT_TRUE(properties.empty());
    EXPECT_TRUE(methods.empty());
}

TEST_F(MSScriptObjectListingTest, BuiltinFunctionsAndTheirParameters) {
    const int mid = facade_.FindBuiltinFunction(L"Mid");
    EXPECT_GE(mid, 0);
    EXPECT_EQ(mid, facade_.FindBuiltinFunction(L"MID"));
    EXPECT_EQ(-1, facade_.FindBuiltinFunction(L"NoSuchFunction"));
    EXPECT_EQ(-1, facade_.FindBuiltinFunction(nullptr));

    Texts args;
    ASSERT_TRUE(facade_.GetProcedureArgs(L"mid", args));
    ASSERT_EQ(4u, args.size());  // Mid(string, start[, length]); the names are the engine's
    EXPECT_TRUE(vb::EqualsNoCase(args[0], L"Mid"));
    EXPECT_NE(L'[', args[2].front());
    EXPECT_EQ(L'[', args[3].front());
}

TEST_F(MSScriptObjectListingTest, ScriptProceduresGetNumberedArguments) {
    Texts args;
    ASSERT_TRUE(facade_.GetProcedureArgs(L"two", args));
    EXPECT_EQ((Texts{L"Two", L"\u00ABarg_1\u00BB", L"\u00ABarg_2\u00BB"}), args);
    Texts none;
    EXPECT_FALSE(facade_.GetProcedureArgs(L"Three", none));
    EXPECT_FALSE(facade_.GetProcedureArgs(nullptr, none));
    EXPECT_TRUE(none.empty());
}

}  // namespace
