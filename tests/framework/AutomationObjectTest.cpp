#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "AutomationObject.h"
#include "DispatchClient.h"

namespace {

using vb::DispatchCall;
using vb::MemberKind;
using vb::Variant;
using vb::test::DispatchClient;

class Counter : public vb::AutomationObject<Counter> {
public:
    explicit Counter(Lifetime lifetime = Lifetime::Counted, bool* destroyed = nullptr)
        : AutomationObject(lifetime), destroyed_(destroyed) {}
    ~Counter() override {
        if (destroyed_) *destroyed_ = true;
    }

    static vb::DispatchTable<Counter> Members() {
        static const vb::DispatchMember<Counter> members[] = {
            {1, L"Count", MemberKind::Property, &Counter::GetCount},
            {2, L"Label", MemberKind::Property, &Counter::GetLabel},
            {5, L"Fail", MemberKind::Method, &Counter::Fail},
        };
        return members;
    }
    static DISPID DefaultMember() noexcept { return 2; }
    static const IID* const* InterfaceIds() noexcept { return nullptr; }

private:
    HRESULT GetCount(DispatchCall& call) { return call.Return(7L); }
    HRESULT GetLabel(DispatchCall& call) { return call.Return(label_); }
    HRESULT Fail(DispatchCall&) { throw std::runtime_error("handler failure"); }

    const std::wstring label_ = L"first";
    bool* destroyed_;
};

// Any-case names, arguments, conversions and read-only or placeholder members are proven through
// the driver's and the program's own objects; here, what none of them shows.
class AutomationObjectTest : public ::testing::Test {
protected:
    Counter counter_{Counter::Lifetime::Owned};
    DispatchClient client_{counter_.AsDispatch()};
};

TEST_F(AutomationObjectTest, InvokesByIdAndDefaultMember) {
    Variant result;
    EXPECT_EQ(S_OK, client_.Invoke(1, DISPATCH_PROPERTYGET, {}, result));
    EXPECT_EQ(7, V_I4(result.Get()));

    EXPECT_EQ(S_OK, client_.Invoke(DISPID_VALUE, DISPATCH_PROPERTYGET, {}, result));
    ASSERT_EQ(VT_BSTR, result.Type());
    EXPECT_STREQ(L"first", V_BSTR(result.Get()));

    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, client_.Invoke(99, DISPATCH_METHOD, {}, result));
    DISPID id = 0;
    EXPECT_EQ(DISP_E_UNKNOWNNAME, client_.IdOf(L"Missing", id));
    EXPECT_EQ(DISPID_UNKNOWN, id);
    client_.Call(L"Fail");  // a handler's exception stays inside
    EXPECT_EQ(E_UNEXPECTED, client_.LastResult());
}

TEST(AutomationObjectLifetime, CountedObjectsDieAtLastReleaseOwnedOnesDoNot) {
    bool destroyed = false;
    auto* counted = new Counter(Counter::Lifetime::Counted, &destroyed);
    counted->AddRef();
    counted->Release();
    EXPECT_FALSE(destroyed);
    counted->Release();
    EXPECT_TRUE(destroyed);

    destroyed = false;
    auto owned = std::make_unique<Counter>(Counter::Lifetime::Owned, &destroyed);
    owned->Release();
    EXPECT_FALSE(destroyed);
    owned.reset();
    EXPECT_TRUE(destroyed);
}

}  // namespace
