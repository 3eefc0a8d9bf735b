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

const IID IID_ICounter = {0x1d0c7a10, 0x3b1e, 0x4a6e, {0x9d, 0x2c, 0x51, 0x7e, 0x42, 0x11, 0x60, 0x0a}};

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
            {2, L"Label", MemberKind::Property, &Counter::GetLabel, &Counter::SetLabel},
            {3, L"Add", MemberKind::Method, &Counter::Add},
            {4, L"4", MemberKind::Placeholder},
            {5, L"Fail", MemberKind::Method, &Counter::Fail},
        };
        return members;
    }
    static DISPID DefaultMember() noexcept { return 2; }
    static const IID* const* InterfaceIds() noexcept {
        static const IID* const ids[] = {&IID_ICounter, nullptr};
        return ids;
    }

private:
    HRESULT GetCount(DispatchCall& call) { return call.Return(7L); }
    HRESULT GetLabel(DispatchCall& call) { return call.Return(label_); }
    HRESULT SetLabel(DispatchCall& call) {
        auto text = vb::ToText(call.PutValue());
        if (!text) return DISP_E_TYPEMISMATCH;
        label_ = *text;
        return S_OK;
    }
    // Add(a, [b = 10])
    HRESULT Add(DispatchCall& call) {
        auto a = call.Long(0);
        if (!a) return DISP_E_TYPEMISMATCH;
        return call.Return(*a + call.Long(1).value_or(10));
    }
    HRESULT Fail(DispatchCall&) { throw std::runtime_error("handler failure"); }

    std::wstring label_ = L"first";
    bool* destroyed_;
};

class AutomationObjectTest : public ::testing::Test {
protected:
    Counter counter_{Counter::Lifetime::Owned};
    DispatchClient client_{counter_.AsDispatch()};
};

TEST_F(AutomationObjectTest, NamesResolveInAnyLetterCase) {
    for (const wchar_t* name : {L"Count", L"count", L"COUNT", L"cOuNt"}) {
        DISPID id = 0;
        EXPECT_EQ(S_OK, client_.IdOf(name, id)) << name;
        EXPECT_EQ(1, id);
    }
    DISPID id = 0;
    EXPECT_EQ(DISP_E_UNKNOWNNAME, client_.IdOf(L"Missing", id));
    EXPECT_EQ(DISPID_UNKNOWN, id);
}

TEST_F(AutomationObjectTest, InvokesByIdAndDefaultMember) {
    Variant result;
    EXPECT_EQ(S_OK, client_.Invoke(1, DISPATCH_PROPERTYGET, {}, result));
    EXPECT_EQ(7, V_I4(result.Get()));

    EXPECT_EQ(S_OK, client_.Invoke(DISPID_VALUE, DISPATCH_PROPERTYGET, {}, result));
    ASSERT_EQ(VT_BSTR, result.Type());
    EXPECT_STREQ(L"first", V_BSTR(result.Get()));

    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, client_.Invoke(99, DISPATCH_METHOD, {}, result));
    client_.Call(L"Fail");  // a handler's exception stays inside
    EXPECT_EQ(E_UNEXPECTED, client_.LastResult());
}

TEST_F(AutomationObjectTest, ArgumentsArriveInWrittenOrderAndMayBeLeftOut) {
    EXPECT_EQ(15, V_I4(client_.Call(L"Add", {Variant(5L)}).Get()));
    EXPECT_EQ(6, V_I4(client_.Call(L"Add", {Variant(5L), Variant(1L)}).Get()));
    EXPECT_EQ(15, V_I4(client_.Call(L"Add", {Variant(5L), Variant::Missing()}).Get()));
    EXPECT_EQ(12, V_I4(client_.Call(L"Add", {Variant(std::wstring(L"2"))}).Get()));

    client_.Call(L"Add", {Variant(std::wstring(L"two"))});
    EXPECT_EQ(DISP_E_TYPEMISMATCH, client_.LastResult());
}

TEST_F(AutomationObjectTest, WritableReadOnlyAndPlaceholderProperties) {
    EXPECT_EQ(S_OK, client_.Put(L"label", Variant(std::wstring(L"second"))));
    EXPECT_STREQ(L"second", V_BSTR(client_.Get(L"Label").Get()));

    EXPECT_EQ(DISP_E_EXCEPTION, client_.Put(L"Count", Variant(3L)));
    EXPECT_EQ(vb::DispatchSupport::kSetNotSupported, client_.LastExceptionCode());
    EXPECT_EQ(7, V_I4(client_.Get(L"Count").Get()));

    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, client_.Put(L"Add", Variant(3L)));

    // Placeholders report "not supported" both ways.
    client_.Get(L"4");
    EXPECT_EQ(DISP_E_EXCEPTION, client_.LastResult());
    EXPECT_EQ(vb::DispatchSupport::kGetNotSupported, client_.LastExceptionCode());
    EXPECT_EQ(DISP_E_EXCEPTION, client_.Put(L"4", Variant(1L)));
    EXPECT_EQ(vb::DispatchSupport::kSetNotSupported, client_.LastExceptionCode());
}

TEST_F(AutomationObjectTest, AnswersItsInterfacesOnly) {
    IUnknown* unknown = nullptr;
    ASSERT_EQ(S_OK, counter_.QueryInterface(IID_ICounter, reinterpret_cast<void**>(&unknown)));
    EXPECT_EQ(static_cast<IUnknown*>(counter_.AsDispatch()), unknown);
    unknown->Release();
    EXPECT_EQ(E_NOINTERFACE, counter_.QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(&unknown)));
    EXPECT_EQ(nullptr, unknown);

    UINT count = 1;
    EXPECT_EQ(S_OK, counter_.GetTypeInfoCount(&count));
    EXPECT_EQ(0u, count);
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
