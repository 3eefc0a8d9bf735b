#include <gtest/gtest.h>

#include "Bstr.h"
#include "CICodeEx.h"
#include "CIFontEx.h"
#include "CISize.h"
#include "CIVariable.h"
#include "ComPtr.h"
#include "DriverIds.h"
#include "DriverWrapper.h"
#include "Strings.h"

namespace {

// The type library embedded in the program must describe the members scripts reach, with the
// same dispatch ids, or the editor's listings and the dispatch tables disagree.
class TypeLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t program[MAX_PATH];
        ::GetModuleFileNameW(nullptr, program, MAX_PATH);
        ASSERT_EQ(S_OK, ::LoadTypeLibEx(program, REGKIND_NONE, library_.Put()));
    }
    vb::ComPtr<ITypeLib> library_;
};

// Every non-placeholder member of a dispatch table must have the type library's id and name.
template <class T>
void ExpectTableMatches(ITypeLib* library, REFIID iid) {
    vb::ComPtr<ITypeInfo> info;
    ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(iid, info.Put()));
    for (const auto& member : T::Members()) {
        if (member.kind == vb::MemberKind::Placeholder) continue;
        LPOLESTR names[] = {const_cast<LPOLESTR>(member.name)};
        MEMBERID id = MEMBERID_NIL;
        EXPECT_EQ(S_OK, info->GetIDsOfNames(names, 1, &id)) << vb::ToUtf8(member.name);
        EXPECT_EQ(member.id, id) << vb::ToUtf8(member.name);

        vb::Bstr documented;
        EXPECT_EQ(S_OK, info->GetDocumentation(member.id, documented.Put(), nullptr, nullptr, nullptr));
        EXPECT_EQ(member.name, documented.Str());
    }
}

TEST_F(TypeLibraryTest, ScriptObjectsHaveTheTypeLibrarysIdsAndNames) {
    ExpectTableMatches<CDriverWrapper>(library_.Get(), vb::ids::IID_IDriver);
    ExpectTableMatches<CIVariable>(library_.Get(), vb::ids::IID_IVariable);
    ExpectTableMatches<CIFontEx>(library_.Get(), vb::ids::IID_IFont);
    ExpectTableMatches<CICodeEx>(library_.Get(), vb::ids::IID_ICode);
    ExpectTableMatches<CISize>(library_.Get(), vb::ids::IID_ISize);
}

TEST_F(TypeLibraryTest, FontSizeIsACurrencyValue) {
    vb::ComPtr<ITypeInfo> info;
    ASSERT_EQ(S_OK, library_->GetTypeInfoOfGuid(vb::ids::IID_IFont, info.Put()));
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attributes));
    bool found = false;
    for (UINT i = 0; i < attributes->cVars; ++i) {
        VARDESC* variable = nullptr;
        ASSERT_EQ(S_OK, info->GetVarDesc(i, &variable));
        if (variable->memid == 2) {
            found = true;
            EXPECT_EQ(VT_CY, variable->elemdescVar.tdesc.vt);
        }
        info->ReleaseVarDesc(variable);
    }
    info->ReleaseTypeAttr(attributes);
    EXPECT_TRUE(found);
}

}  // namespace
