#include "ScriptEngine.h"

#include <shlwapi.h>

#include <new>

#include "CIActiveScriptSite.h"
#include "CIEnumerator.h"
#include "DispatchHelpers.h"
#include "Strings.h"
#include "VariantArray.h"

namespace {

// The newer JScript engine, tried first for every language spelt like "J*Script".
constexpr CLSID kJScriptEngine = {0x16D51579, 0xA30B, 0x4C8B, {0xA2, 0x76, 0x0F, 0xF4, 0xDC, 0x41, 0xE7, 0x55}};
constexpr DWORD kEngineContext = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER;
constexpr long kHighestInvokeVersion = 256;
constexpr wchar_t kClassIdPrefix[] = L"new:";

// Asks for each invoke version in turn and keeps the highest the engine accepts; engines
// without the property (Wine's among them) keep their default.
void SelectInvokeVersion(IActiveScript* engine) {
    vb::ComPtr<IActiveScriptProperty> property =
        vb::ComPtr<IActiveScript>(engine).As<IActiveScriptProperty>(__uuidof(IActiveScriptProperty));
    if (!property) return;
    for (long version = 1; version <= kHighestInvokeVersion; ++version) {
        VARIANT value;
        ::VariantInit(&value);
        V_VT(&value) = VT_I4;
        V_I4(&value) = version;
        if (property->SetProperty(SCRIPTPROP_INVOKEVERSIONING, nullptr, &value) != S_OK) break;
    }
}

}  // namespace

class ScriptEngine::CallScope {
public:
    explicit CallScope(ScriptEngine& owner) noexcept : owner_(owner) { ++owner_.activeCalls_; }
    ~CallScope() {
        if (--owner_.activeCalls_ == 0) owner_.ReleaseRetiredEngines();
    }
    CallScope(const CallScope&) = delete;
    CallScope& operator=(const CallScope&) = delete;

private:
    ScriptEngine& owner_;
};

ScriptEngine::ScriptEngine() : moduleNames_{kGlobalModule}, language_(kDefaultLanguage) {
    HRESULT hr = ::CoInitialize(nullptr);
    comInitialized_ = SUCCEEDED(hr);
}

ScriptEngine::~ScriptEngine() {
    Reset();
    // Only a successful CoInitialize is balanced; a failed one must not end another's COM.
    if (comInitialized_) ::CoUninitialize();
}

void ScriptEngine::Reset() {
    moduleNames_.clear();
    RemoveAllObjects();
    language_.clear();
    if (site_) site_->Disconnect();
    site_.Reset();
    // Releasing the code object closes the scripting engine; the last release then frees it.
    // Neither may happen under a script that is still running in that engine.
    if (engine_ || codeObject_) retired_.push_back(RetiredEngine{std::move(engine_), std::move(codeObject_)});
    if (activeCalls_ == 0) ReleaseRetiredEngines();
    moduleNames_.emplace_back(kGlobalModule);
    siteWindow_ = nullptr;
    language_ = kDefaultLanguage;
}

void ScriptEngine::ReleaseRetiredEngines() {
    // Moved out first: closing an engine may reach back into this host.
    auto retired = std::move(retired_);
    retired_.clear();
    for (RetiredEngine& item : retired) {
        item.codeObject.Reset();
        item.engine.Reset();
    }
}

void ScriptEngine::SetLanguage(std::wstring_view language) { language_.assign(language); }

const wchar_t* ScriptEngine::EngineModuleName(const wchar_t* module) noexcept {
    return module && *module && !vb::EqualsNoCase(module, kGlobalModule) ? module : nullptr;
}

HRESULT ScriptEngine::ParseScriptText(const wchar_t* text, const wchar_t* module, VARIANT* result, DWORD flags) {
    if (!text) text = L"";
    module = EngineModuleName(module);
    if (!engine_) return CreateScriptEngine(text, module, result, flags);
    // Held locally: the text may reset this host while it runs.
    vb::ComPtr<IActiveScript> engine = engine_;
    vb::ComPtr<IActiveScriptParse32> parser = engine.As<IActiveScriptParse32>(__uuidof(IActiveScriptParse32));
    if (!parser) return E_NOINTERFACE;
    if (module) {
        HRESULT hr = engine->AddNamedItem(module, SCRIPTITEM_CODEONLY);
        if (FAILED(hr)) return hr;
    }
    HRESULT hr = Parse(parser.Get(), text, module, result, flags);
    if (SUCCEEDED(hr)) hr = engine->SetScriptState(SCRIPTSTATE_CONNECTED);
    return hr;
}

HRESULT ScriptEngine::Parse(IActiveScriptParse32* parser, const wchar_t* text, const wchar_t* module, VARIANT* result,
                            DWORD flags) {
    CallScope call(*this);
    return parser->ParseScriptText(text, module, nullptr, nullptr, 0, 0, flags, result, nullptr);
}

HRESULT ScriptEngine::CreateEngineObject(vb::ComPtr<IActiveScript>& engine) const {
    if (::PathMatchSpecW(language_.c_str(), L"J*Script")) {
        ::CoCreateInstance(kJScriptEngine, nullptr, kEngineContext, __uuidof(IActiveScript),
                           reinterpret_cast<void**>(engine.Put()));
    }
    if (engine) return S_OK;
    CLSID classId{};
    HRESULT hr = ::StrCmpNIW(language_.c_str(), kClassIdPrefix, 4) == 0
                     ? ::CLSIDFromString(language_.c_str() + 4, &classId)
                     : ::CLSIDFromProgID(language_.c_str(), &classId);
    if (hr == S_OK) {
        ::CoCreateInstance(classId, nullptr, kEngineContext, __uuidof(IActiveScript),
                           reinterpret_cast<void**>(engine.Put()));
    }
    return engine ? S_OK : E_FAIL;
}

// The first parse goes into a new engine. When it does not succeed the engine is closed but
// still kept, so every later call fails with the engine's own error until Reset.
HRESULT ScriptEngine::CreateScriptEngine(const wchar_t* text, const wchar_t* module, VARIANT* result, DWORD flags) {
    vb::ComPtr<IActiveScript> engine;
    if (FAILED(CreateEngineObject(engine))) return E_FAIL;
    SelectInvokeVersion(engine.Get());

    vb::ComPtr<CIActiveScriptSite> site =
        vb::ComPtr<CIActiveScriptSite>::Attach(new (std::nothrow) CIActiveScriptSite(this));
    HRESULT hr = site ? engine->SetScriptSite(site.Get()) : E_OUTOFMEMORY;
    vb::ComPtr<IActiveScriptParse32> parser = engine.As<IActiveScriptParse32>(__uuidof(IActiveScriptParse32));
    if (SUCCEEDED(hr) && !parser) hr = E_FAIL;
    if (SUCCEEDED(hr)) hr = parser->InitNew();
    if (SUCCEEDED(hr)) {
        hr = Parse(parser.Get(), text, module, result, flags);
        if (hr == S_OK) {
            engine->SetScriptState(SCRIPTSTATE_CONNECTED);
            CreateCodeObject(engine.Get());
        }
    }
    if (!codeObject_) {
        engine->SetScriptState(SCRIPTSTATE_CLOSED);
        engine->Close();
        // A parse that succeeded still leaves an engine that cannot run anything.
        if (SUCCEEDED(hr)) hr = E_FAIL;
    }
    engine_ = std::move(engine);
    site_ = std::move(site);
    return hr;
}

void ScriptEngine::CreateCodeObject(IActiveScript* engine) {
    vb::ComPtr<IDispatch> global;
    if (FAILED(engine->GetScriptDispatch(nullptr, global.Put())) || !global) return;
    CIEnumerator* wrapper = new (std::nothrow) CIEnumerator(global.Get(), CIEnumerator::kArrayLike);
    if (!wrapper) return;
    if (SUCCEEDED(wrapper->HoldEngine(engine))) codeObject_ = vb::ComPtr<IDispatch>(wrapper->AsDispatch());
    wrapper->Release();
}

HRESULT ScriptEngine::AddCode(const wchar_t* code) {
    return ParseScriptText(code, nullptr, nullptr, SCRIPTTEXT_ISVISIBLE);
}

HRESULT ScriptEngine::ExecuteStatement(const wchar_t* statement) {
    return ParseScriptText(statement, nullptr, nullptr, SCRIPTTEXT_ISPERSISTENT);
}

HRESULT ScriptEngine::Run(const wchar_t* procedure, SAFEARRAY** arguments, VARIANT* result) {
    return RunProcedure(nullptr, procedure, arguments, result);
}

HRESULT ScriptEngine::GetModuleDispatch(const wchar_t* module, IDispatch** out) const {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!engine_) return E_FAIL;
    return engine_->GetScriptDispatch(EngineModuleName(module), out);
}

namespace {

// The number of arguments in the caller's array: one dimension of VARIANTs, counted from both
// bounds, so an array that does not start at 0 is not read past its end.
HRESULT ArgumentCount(SAFEARRAY* array, LONG& count) {
    count = 0;
    if (!array) return S_OK;
    if (::SafeArrayGetDim(array) != 1) return E_INVALIDARG;
    VARTYPE type = VT_EMPTY;
    if (FAILED(::SafeArrayGetVartype(array, &type)) || type != VT_VARIANT) return DISP_E_TYPEMISMATCH;
    LONG lower = 0;
    LONG upper = -1;
    if (FAILED(::SafeArrayGetLBound(array, 1, &lower)) || FAILED(::SafeArrayGetUBound(array, 1, &upper))) {
        return E_INVALIDARG;
    }
    count = upper >= lower ? upper - lower + 1 : 0;
    return S_OK;
}

// IDispatch wants the arguments from the last to the first, so the array's first element
// becomes the procedure's first parameter.
HRESULT CopyReversed(SAFEARRAY* array, vb::VariantArray& args) {
    if (args.Count() == 0) return S_OK;
    VARIANT* elements = nullptr;
    HRESULT hr = ::SafeArrayAccessData(array, reinterpret_cast<void**>(&elements));
    if (FAILED(hr)) return hr;
    const UINT count = args.Count();
    for (UINT i = 0; i < count && SUCCEEDED(hr); ++i) hr = ::VariantCopy(&args[count - 1 - i], &elements[i]);
    ::SafeArrayUnaccessData(array);
    return hr;
}

}  // namespace

HRESULT ScriptEngine::RunProcedure(const wchar_t* module, const wchar_t* procedure, SAFEARRAY** arguments,
                                   VARIANT* result) {
    if (!engine_) return E_FAIL;
    if (!procedure || !*procedure) return DISP_E_UNKNOWNNAME;
    vb::ComPtr<IDispatch> script;
    HRESULT hr = GetModuleDispatch(module, script.Put());
    if (FAILED(hr)) return hr;
    if (!script) return E_FAIL;

    SAFEARRAY* array = arguments ? *arguments : nullptr;
    LONG count = 0;
    hr = ArgumentCount(array, count);
    if (FAILED(hr)) return hr;
    vb::VariantArray args(static_cast<size_t>(count));
    hr = CopyReversed(array, args);
    if (FAILED(hr)) return hr;

    LPOLESTR names[] = {const_cast<LPOLESTR>(procedure)};
    DISPID id = DISPID_UNKNOWN;
    hr = script->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    CallScope call(*this);
    return vb::InvokeDispatch(script.Get(), id, DISPATCH_METHOD, args.Data(), args.Count(), result);
}

HRESULT ScriptEngine::AddObject(const wchar_t* name, IDispatch* object, BOOL globalMembers) {
    return AddNamedObject(name, object, globalMembers ? 1 : 0);
}

HRESULT ScriptEngine::AddNamedObject(const wchar_t* name, IDispatch* object, WORD globalMembers) {
    if (!engine_) return E_FAIL;
    if (!name || !*name) return E_INVALIDARG;
    if (!object) return E_POINTER;
    // The object stays in the map even when the engine refuses the name: the facade's wrapper
    // list keeps it too, and a later reset releases both together.
    namedObjects_[vb::ToLower(name)] = vb::ComPtr<IDispatch>(object);

    DWORD flags = SCRIPTITEM_ISVISIBLE | SCRIPTITEM_ISSOURCE;
    if (globalMembers) flags |= SCRIPTITEM_GLOBALMEMBERS;
    return engine_->AddNamedItem(name, flags);
}

void ScriptEngine::RemoveAllObjects() {
    // Moved out first: releasing an object may reach back into this engine.
    auto objects = std::move(namedObjects_);
    namedObjects_.clear();
    objects.clear();
}

bool ScriptEngine::IsModuleName(const std::wstring& lowerName) const {
    for (const auto& module : moduleNames_) {
        if (module == lowerName) return true;
    }
    return false;
}

HRESULT ScriptEngine::GetItemInfo(const wchar_t* name, IUnknown** unknown, ITypeInfo** typeInfo) {
    if (!unknown) return E_POINTER;
    *unknown = nullptr;
    if (typeInfo) *typeInfo = nullptr;
    if (!name) return TYPE_E_ELEMENTNOTFOUND;
    std::wstring key = vb::ToLower(name);
    auto found = namedObjects_.find(key);
    if (found != namedObjects_.end()) {
        IDispatch* object = found->second.Get();
        HRESULT hr = object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(unknown));
        if (FAILED(hr) || !typeInfo) return hr;
        hr = object->GetTypeInfo(0, 0, typeInfo);
        if (FAILED(hr)) {
            // Nothing is handed out by a call that fails.
            (*unknown)->Release();
            *unknown = nullptr;
        }
        return hr;
    }
    if (!IsModuleName(key)) return TYPE_E_ELEMENTNOTFOUND;
    vb::ComPtr<IDispatch> script;
    HRESULT hr = GetModuleDispatch(name, script.Put());
    if (FAILED(hr)) return hr;
    if (!script) return E_FAIL;
    return script->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(unknown));
}

void ScriptEngine::SetErrorInfo(ScriptErrorInfo&& record) noexcept {
    if (&record != &error_) error_ = std::move(record);
}
