#include "MSScriptObject.h"

#include <memory>
#include <new>
#include <sstream>

#include "Bstr.h"
#include "BusyScope.h"
#include "CIMSObject.h"
#include "Resources.h"
#include "Strings.h"

namespace {

// Numbers are formatted before they are filled in, so a '%' inside an engine's description
// cannot upset the text.
constexpr wchar_t kComErrorFormat[] = L"IScriptControl COM Error 0x%s :\n - error : %s\n - desc : %s\r\n";
constexpr wchar_t kScriptErrorFormat[] =
    L"VB Script error:\r\n - Line: %s\r\n - Character: %s\r\n - Error: %s\r\n - Code: %s\r\n - Source: %s";
constexpr wchar_t kAddObjectCaption[] = L"CMSScriptObject";
// The engine reports its failures without rich error information, so both texts are absent.
constexpr wchar_t kAbsentText[] = L"(null)";
constexpr wchar_t kVBScriptLibrary[] = L"vbscript.dll";

std::wstring Hex(unsigned long value) {
    std::wostringstream text;
    text << std::uppercase << std::hex << value;
    return text.str();
}

struct SafeArrayDeleter {
    void operator()(SAFEARRAY* array) const noexcept { ::SafeArrayDestroy(array); }
};

}  // namespace

CMSScriptObject::CMSScriptObject(ScriptHostOwner* owner) : owner_(owner) {}

CMSScriptObject::~CMSScriptObject() {
    engine_.Reset();
    // A wrapper that someone else still holds must not unlink itself from a list that is gone.
    for (CIMSObject* item = hostObjects_; item;) {
        CIMSObject* next = item->Next();
        item->DetachFromList();
        item = next;
    }
    hostObjects_ = nullptr;
}

BOOL CMSScriptObject::Init() {
    Reset();
    if (!engine_.HasEngine()) engine_.ParseScriptText(L"", nullptr, nullptr, SCRIPTTEXT_ISEXPRESSION);
    if (!engine_.HasEngine()) return FALSE;
    engine_.SetLanguage(L"VBScript");
    engine_.SetSiteWindow(vb::MainWindow());
    // The built-in functions are listed for the editor; without the library they are not.
    if (SUCCEEDED(::LoadTypeLib(kVBScriptLibrary, vbScriptLibrary_.Put())) && vbScriptLibrary_) {
        vbScriptLibrary_->GetTypeInfo(0, vbScriptFunctions_.Put());
    }
    return TRUE;
}

void CMSScriptObject::Reset() {
    engine_.Reset();
    if (!engine_.HasEngine()) engine_.ParseScriptText(L"", nullptr, nullptr, SCRIPTTEXT_ISEXPRESSION);
}

void CMSScriptObject::StoreComError(HRESULT hr) {
    lastComError_ =
        vb::FormatTemplate(kComErrorFormat, {Hex(static_cast<unsigned long>(hr)), kAbsentText, kAbsentText});
}

BOOL CMSScriptObject::RunGuarded(const wchar_t* text, HRESULT (ScriptEngine::*call)(const wchar_t*)) {
    if (!engine_.HasEngine() || !text || !*text || busy_) return FALSE;
    HRESULT hr = E_FAIL;
    {
        BusyScope busy(busy_);
        hr = (engine_.*call)(text);
    }
    if (FAILED(hr)) {
        StoreComError(hr);
        return FALSE;
    }
    return TRUE;
}

BOOL CMSScriptObject::ExecuteStatement(const wchar_t* statement) {
    return RunGuarded(statement, &ScriptEngine::ExecuteStatement);
}

BOOL CMSScriptObject::AddCode(const wchar_t* code) { return RunGuarded(code, &ScriptEngine::AddCode); }

// Not refused while busy: a script may run a procedure while another operation is under way,
// and the flag it found is put back afterwards.
BOOL CMSScriptObject::Run(const wchar_t* procedure) {
    if (!engine_.HasEngine() || !procedure || !*procedure) return FALSE;
    BusyScope busy(busy_);
    std::unique_ptr<SAFEARRAY, SafeArrayDeleter> args(::SafeArrayCreateVector(VT_VARIANT, 0, 0));
    if (!args) return FALSE;
    SAFEARRAY* array = args.get();
    VARIANT result;
    ::VariantInit(&result);
    HRESULT hr = engine_.Run(procedure, &array, &result);
    ::VariantClear(&result);
    if (FAILED(hr)) {
        StoreComError(hr);
        return FALSE;
    }
    return TRUE;
}

void CMSScriptObject::FetchError(ScriptErrorText& record) {
    if (!engine_.HasEngine()) return;
    vb::ComPtr<MSSCtrl::IScriptError> error = vb::ComPtr<MSSCtrl::IScriptError>::Attach(engine_.GetError());
    if (!error) return;
    vb::Bstr source;
    vb::Bstr description;
    vb::Bstr text;
    error->get_Number(&record.number);
    error->get_Source(source.Put());
    error->get_Description(description.Put());
    error->get_Text(text.Put());
    error->get_Line(&record.line);
    error->get_Column(&record.column);
    record.source = source.Str();
    record.description = description.Str();
    record.text = text.Str();
}

void CMSScriptObject::GetErrorString(std::wstring& text) {
    ScriptErrorText record;
    FetchError(record);
    // The line stays as the engine counts it: a run puts one line before the tester's script,
    // so the zero-based count is the tester's line number. The character is shown from 1.
    text = vb::FormatTemplate(kScriptErrorFormat,
                              {std::to_wstring(record.line), std::to_wstring(record.column + 1), record.description,
                               Hex(static_cast<unsigned long>(record.number)), record.source});
    vb::ShowMessageBox(text, MB_ICONERROR);
}

BOOL CMSScriptObject::AddObject(const wchar_t* name, IDispatch* object) {
    if (!engine_.HasEngine() || !name || !*name || busy_) return FALSE;
    BusyScope busy(busy_);
    // An existing name keeps its wrapper, so the engine's binding stays and reaches the new
    // object. Once there are host objects, a null object under a new name has nothing to add;
    // the first name of all gets its wrapper even without an object.
    if (hostObjects_ && hostObjects_->ReplaceObject(name, object)) return TRUE;

    // The creation reference is dropped at the end: the engine's map then holds the only one.
    vb::ComPtr<CIMSObject> wrapper(new (std::nothrow) CIMSObject(&hostObjects_, object, name));
    HRESULT hr = wrapper ? engine_.AddObject(name, wrapper.Get(), TRUE) : E_OUTOFMEMORY;
    wrapper.Reset();
    if (SUCCEEDED(hr)) return TRUE;
    StoreComError(hr);
    vb::ShowMessageBox(lastComError_, MB_OK, kAddObjectCaption);
    return FALSE;
}
