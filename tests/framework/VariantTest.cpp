#include <gtest/gtest.h>

#include "Bstr.h"
#include "Variant.h"

namespace {

using vb::Variant;

TEST(VariantConversions, FollowScriptRules) {
    EXPECT_EQ(12L, vb::ToLong(*Variant(std::wstring(L"12")).Get()));
    EXPECT_FALSE(vb::ToLong(*Variant(std::wstring(L"twelve")).Get()));
    EXPECT_EQ(L"8000", vb::ToText(*Variant(8000L).Get()));
    EXPECT_EQ(true, vb::ToBool(*Variant(-1L).Get()));
    EXPECT_EQ(false, vb::ToBool(*Variant::Bool(false).Get()));
    EXPECT_EQ(4000000000UL, vb::ToULong(*Variant(std::wstring(L"4000000000")).Get()));
}

TEST(OwnedValues, CopiesAreDeepAndTextsKeepEmbeddedNulls) {
    Variant original(std::wstring(L"a\0b", 3));
    Variant copy = original;
    ::VariantClear(original.Put());
    ASSERT_EQ(VT_BSTR, copy.Type());
    EXPECT_EQ(3u, ::SysStringLen(V_BSTR(copy.Get())));

    vb::Bstr text(std::wstring(L"x\0y", 3));
    vb::Bstr second = text;
    EXPECT_EQ(std::wstring(L"x\0y", 3), second.Str());
    EXPECT_EQ(L"", vb::Bstr().Str());
}

}  // namespace
