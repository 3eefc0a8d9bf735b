#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CIEnumerator.h"
#include "ComPtr.h"
#include "ScriptEngine.h"
#include "ScriptTestSupport.h"
#include "Variant.h"

namespace {

// A script array of three elements (element i is i * 10) as the enumerator sees it; it records
// the last name it was asked for.
class FakeScriptObject : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override {
        askedName = names[0];
        *ids = 5;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                     UINT*) override {
        V_VT(result) = VT_I4;
        V_I4(result) = id == 0x3FFFFFFE ? 3 : V_I4(&params->rgvarg[0]) * 10;
        return S_OK;
    }

    std::wstring askedName;
};

vb::ComPtr<CIEnumerator> Enumerate(IDispatch* object, int kind) {
    return vb::ComPtr<CIEnumerator>::Attach(new CIEnumerator(object, kind));
}

TEST(CIEnumeratorTest, ItemIsAnsweredOnlyInItsExactSpelling) {
    FakeScriptObject object;
    auto enumerator = Enumerate(&object, CIEnumerator::kArrayLike);
    LPOLESTR item[] = {const_cast<LPOLESTR>(L"Item")};
    LPOLESTR lower[] = {const_cast<LPOLESTR>(L"item")};
    DISPID id = DISPID_UNKNOWN;
    EXPECT_EQ(S_OK, enumerator->GetIDsOfNames(IID_NULL, item, 1, 0, &id));
    EXPECT_EQ(DISPID_VALUE, id);
    EXPECT_EQ(L"", object.askedName);
    EXPECT_EQ(S_OK, enumerator->GetIDsOfNames(IID_NULL, lower, 1, 0, &id));
    EXPECT_EQ(5, id);
    EXPECT_EQ(L"item", object.askedName);
    EXPECT_EQ(DISP_E_UNKNOWNNAME,
              Enumerate(&object, CIEnumerator::kPlainObject)->GetIDsOfNames(IID_NULL, item, 1, 0, &id));
}

// The engine's code object: Item(name) reads and Item(name, value) writes script variables.
TEST(CIEnumeratorTest, CodeObjectItemReadsAndWritesScriptVariables) {
    ScriptEngine engine;
    ASSERT_EQ(S_OK, engine.AddCode(L"Dim counter\r\ncounter = 5\r\n"));
    auto item = [&](std::vector<vb::Variant> args, vb::Variant& result) {
        std::vector<VARIANT> reversed;
        for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(*it->Get());
        DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        return engine.CodeObject()->Invoke(DISPID_VALUE, IID_NULL, 0, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params,
                                           result.Put(), nullptr, nullptr);
    };
    vb::Variant result;
    ASSERT_EQ(S_OK, item({vb::Variant(std::wstring(L"counter"))}, result));
    EXPECT_EQ(5, vb::ToLong(*result.Get()).value_or(-1));
    ASSERT_EQ(S_OK, item({vb::Variant(std::wstring(L"counter")), vb::Variant(9L)}, result));
    EXPECT_EQ(L"9", vb::test::Evaluate(engine, L"counter"));
    // An unknown name is an error, not an empty success.
    EXPECT_TRUE(FAILED(item({vb::Variant(std::wstring(L"no_such_variable"))}, result)));
    EXPECT_EQ(VT_EMPTY, result.Type());
}

// Without IDispatchEx the elements are read by index; each call reports what it fetched, Skip(n)
// after Reset passes n elements, and a clone moves on its own.
TEST(CIEnumeratorTest, NextWalksTheElementsAndACloneMovesAlone) {
    FakeScriptObject object;
    auto enumerator = Enumerate(&object, CIEnumerator::kPlainObject);
    auto remaining = [](IEnumVARIANT* walk) {
        std::vector<long> values;
        vb::Variant element;
        ULONG fetched = 99;
        while (walk->Next(1, element.Put(), &fetched) == S_OK && fetched == 1) {
            values.push_back(vb::ToLong(*element.Get()).value_or(-1));
        }
        EXPECT_EQ(0u, fetched);
        return values;
    };
    EXPECT_EQ((std::vector<long>{0, 10, 20}), remaining(enumerator.Get()));
    enumerator->Reset();
    EXPECT_EQ((std::vector<long>{0, 10, 20}), remaining(enumerator.Get()));
    enumerator->Reset();
    enumerator->Skip(1);
    enumerator->Skip(1);
    vb::ComPtr<IEnumVARIANT> clone;
    ASSERT_EQ(S_OK, enumerator->Clone(clone.Put()));
    EXPECT_EQ((std::vector<long>{20}), remaining(clone.Get()));
    EXPECT_EQ((std::vector<long>{20}), remaining(enumerator.Get()));
}

TEST(CIEnumeratorTest, LastReleaseClosesTheHeldEngine) {
    CLSID vbscript{};
    ASSERT_EQ(S_OK, ::CLSIDFromProgID(L"VBScript", &vbscript));
    vb::ComPtr<IActiveScript> engine;
    ASSERT_EQ(S_OK, ::CoCreateInstance(vbscript, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IActiveScript),
                                       reinterpret_cast<void**>(engine.Put())));
    FakeScriptObject object;
    auto enumerator = Enumerate(&object, CIEnumerator::kArrayLike);
    ASSERT_EQ(S_OK, enumerator->HoldEngine(engine.Get()));
    enumerator.Reset();
    SCRIPTSTATE state = SCRIPTSTATE_UNINITIALIZED;
    engine->GetScriptState(&state);
    EXPECT_EQ(SCRIPTSTATE_CLOSED, state);
}

}  // namespace
