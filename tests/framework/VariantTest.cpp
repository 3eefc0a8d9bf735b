#include <gtest/gtest.h>

#include "Bstr.h"
#include "Variant.h"

namespace {

using vb::Variant;

TEST(VariantConversions, MissingArgumentsConvertToNothing) {
    Variant missing = Variant::Missing();
    EXPECT_TRUE(vb::IsMissing(*missing.Get()));
    EXPECT_FALSE(vb::ToLong(*missing.Get()));
    EXPECT_FALSE(vb::ToText(*missing.Get()));
    EXPECT_FALSE(vb::ToBool(*missing.Get()));
    EXPECT_FALSE(vb::IsMissing(*Variant(0L).Get()));
}

TEST(VariantConversions, FollowScriptRules) {
    EXPECT_EQ(12L, vb::ToLong(*Variant(std::wstring(L"12")).Get()));
    EXPECT_FALSE(vb::ToLong(*Variant(std::wstring(L"twelve")).Get()));
    EXPECT_EQ(L"8000", vb::ToText(*Variant(8000L).Get()));
    EXPECT_EQ(true, vb::ToBool(*Variant(-1L).Get()));
    EXPECT_EQ(false, vb::ToBool(*Variant::Bool(false).Get()));
    EXPECT_EQ(4000000000UL, vb::ToULong(*Variant(std::wstring(L"4000000000")).Get()));
}

TEST(VariantConversions, ArgumentsPassedByReferenceAreRead) {
    Variant target(7L);
    VARIANT reference;
    ::VariantInit(&reference);
    V_VT(&reference) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&reference) = target.Get();
    EXPECT_EQ(7L, vb::ToLong(reference));
    EXPECT_EQ(L"7", vb::ToText(reference));
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
