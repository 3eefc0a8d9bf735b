#include <gtest/gtest.h>

#include "CIMSObject.h"
#include "ComPtr.h"
#include "TestHostObject.h"

namespace {

using vb::test::TestHostObject;

// The wrappers behind named host objects and the list the facade keeps of them.
class CIMSObjectTest : public ::testing::Test {
protected:
    vb::ComPtr<CIMSObject> Wrap(TestHostObject* object, const wchar_t* name) {
        return vb::ComPtr<CIMSObject>(new CIMSObject(&head_, object ? object->AsDispatch() : nullptr, name));
    }
    static IDispatch* Dispatch(TestHostObject& object) { return object.AsDispatch(); }

    TestHostObject first_;
    TestHostObject second_;
    CIMSObject* head_ = nullptr;
};

TEST_F(CIMSObjectTest, WrappersJoinAtTheHeadAndLeaveWhenReleased) {
    auto me = Wrap(&first_, L"Me");
    auto middle = Wrap(&first_, L"Middle");
    auto driver = Wrap(&second_, L"Driver");
    EXPECT_EQ(driver.Get(), head_);
    middle.Reset();
    EXPECT_EQ(me.Get(), head_->Next());
    driver.Reset();
    EXPECT_EQ(me.Get(), head_);
    me.Reset();
    EXPECT_EQ(nullptr, head_);
    EXPECT_EQ(1u, first_.References());
}

TEST_F(CIMSObjectTest, PrivateIdGivesTheWrappedObjectWithoutAReference) {
    auto wrapper = Wrap(&first_, L"Driver");
    const ULONG held = first_.References();
    void* once = nullptr;
    void* twice = nullptr;
    EXPECT_EQ(S_OK, wrapper->QueryInterface(CIMSObject::kWrappedObjectIid, &once));
    EXPECT_EQ(S_OK, wrapper->QueryInterface(CIMSObject::kWrappedObjectIid, &twice));
    EXPECT_EQ(Dispatch(first_), once);
    EXPECT_EQ(once, twice);
    EXPECT_EQ(held, first_.References());
    void* other = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, wrapper->QueryInterface(IID_IEnumVARIANT, &other));
    EXPECT_EQ(nullptr, other);
}

TEST_F(CIMSObjectTest, WrapperWithoutObjectFailsEveryCall) {
    auto wrapper = Wrap(nullptr, L"Empty");
    UINT count = 0;
    EXPECT_EQ(E_FAIL, wrapper->GetTypeInfoCount(&count));
    DISPID id = 0;
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"Touch")};
    EXPECT_EQ(E_FAIL, wrapper->GetIDsOfNames(IID_NULL, names, 1, 0, &id));
    DISPPARAMS none{};
    EXPECT_EQ(E_FAIL, wrapper->Invoke(1, IID_NULL, 0, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr));
}

TEST_F(CIMSObjectTest, DetachedWrapperNoLongerTouchesTheList) {
    auto wrapper = Wrap(&first_, L"Driver");
    wrapper->DetachFromList();
    head_ = reinterpret_cast<CIMSObject*>(1);  // whatever the list's owner left behind
    wrapper.Reset();
    EXPECT_EQ(reinterpret_cast<CIMSObject*>(1), head_);
}

}  // namespace
