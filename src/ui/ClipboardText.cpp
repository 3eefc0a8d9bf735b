#include "ClipboardText.h"

#include <ole2.h>
#include <shlobj.h>

#include <cstring>

#include "UniqueHandle.h"

namespace vb {

namespace {

struct GlobalTraits {
    using Handle = HGLOBAL;
    static Handle Invalid() noexcept { return nullptr; }
    static void Close(Handle h) noexcept { ::GlobalFree(h); }
};
using UniqueGlobal = UniqueHandle<GlobalTraits>;

// A movable, zeroed block with the NUL-terminated UTF-16 text.
UniqueGlobal MakeTextBlock(const std::wstring& text) {
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    UniqueGlobal block(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes));
    if (!block) return block;
    if (void* memory = ::GlobalLock(block.Get())) {
        std::memcpy(memory, text.c_str(), bytes);
        ::GlobalUnlock(block.Get());
        return block;
    }
    return UniqueGlobal();
}

FORMATETC TextFormat() noexcept { return {CF_UNICODETEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

bool IsTextFormat(const FORMATETC* format) noexcept {
    return format && format->cfFormat == CF_UNICODETEXT && (format->tymed & TYMED_HGLOBAL) &&
           format->dwAspect == DVASPECT_CONTENT;
}

// Hands out copies of one cached text block.
class TextDataSource final : public IDataObject {
public:
    explicit TextDataSource(UniqueGlobal block) noexcept : block_(std::move(block)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDataObject) {
            *out = static_cast<IDataObject*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = ::InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return static_cast<ULONG>(left);
    }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (!medium) return E_POINTER;
        if (!IsTextFormat(format)) return DV_E_FORMATETC;
        HANDLE copy = ::OleDuplicateData(block_.Get(), CF_UNICODETEXT, 0);
        if (!copy) return E_OUTOFMEMORY;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = static_cast<HGLOBAL>(copy);
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return IsTextFormat(format) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out) out->ptd = nullptr;
        return DATA_S_SAMEFORMATETC;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (direction != DATADIR_GET) return E_NOTIMPL;
        FORMATETC format = TextFormat();
        return ::SHCreateStdEnumFmtEtc(1, &format, out);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    ~TextDataSource() = default;

    LONG references_ = 1;
    UniqueGlobal block_;
};

}  // namespace

ComPtr<IDataObject> PutTextOnClipboard(HWND owner, const std::wstring& text) {
    if (text.empty() || !::OpenClipboard(owner)) return {};
    ::EmptyClipboard();
    UniqueGlobal direct = MakeTextBlock(text);
    // The clipboard owns a block it accepted.
    if (direct && ::SetClipboardData(CF_UNICODETEXT, direct.Get())) direct.Release();
    ::CloseClipboard();

    UniqueGlobal cached = MakeTextBlock(text);
    if (!cached) return {};
    auto source = ComPtr<IDataObject>::Attach(new TextDataSource(std::move(cached)));
    if (FAILED(::OleSetClipboard(source.Get()))) return {};
    return source;
}

}  // namespace vb
