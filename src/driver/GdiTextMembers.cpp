// Text rendered with the system's own fonts and sent to the driver as an image.
#include <olectl.h>

#include "BitmapCanvas.h"
#include "CISize.h"
#include "ComPtr.h"
#include "DriverWrapper.h"
#include "PackedDib.h"

namespace {

constexpr LONG kDefaultPoints = 14;

// Restores a DC's text colours and background mode when a drawing is done.
class ScopedTextColours {
public:
    ScopedTextColours(HDC dc, int bkMode, COLORREF bkColor, COLORREF textColor)
        : dc_(dc),
          bkMode_(::SetBkMode(dc, bkMode)),
          bkColor_(::SetBkColor(dc, bkColor)),
          textColor_(::SetTextColor(dc, textColor)) {}
    ~ScopedTextColours() {
        ::SetBkMode(dc_, bkMode_);
        ::SetBkColor(dc_, bkColor_);
        ::SetTextColor(dc_, textColor_);
    }
    ScopedTextColours(const ScopedTextColours&) = delete;
    ScopedTextColours& operator=(const ScopedTextColours&) = delete;

private:
    HDC dc_;
    int bkMode_;
    COLORREF bkColor_;
    COLORREF textColor_;
};

}  // namespace

HRESULT CDriverWrapper::GetFontGDI(vb::DispatchCall& call) {
    auto name = call.Text(0);
    auto size = call.Long(1);
    if (!name || !size) return DISP_E_TYPEMISMATCH;
    std::wstring face = name->empty() ? L"Arial" : *name;
    LONG points = *size == 0 ? kDefaultPoints : std::labs(*size);
    FONTDESC description{};
    description.cbSizeofstruct = 32;
    description.lpstrName = face.data();
    description.cySize.int64 = static_cast<LONGLONG>(points) * 10000;
    description.sWeight = FW_NORMAL;
    description.sCharset = DEFAULT_CHARSET;
    IDispatch* font = nullptr;
    if (FAILED(::OleCreateFontIndirect(&description, IID_IFontDisp, reinterpret_cast<void**>(&font)))) font = nullptr;
    return call.Return(font);
}

HFONT CDriverWrapper::CreateFontFromIFont(IDispatch* fontDispatch) const {
    if (!fontDispatch) return nullptr;
    vb::ComPtr<IFont> font;
    if (FAILED(fontDispatch->QueryInterface(IID_IFont, reinterpret_cast<void**>(font.Put())))) return nullptr;
    HFONT handle = nullptr;
    LOGFONTW description{};
    if (FAILED(font->get_hFont(&handle)) || !::GetObjectW(handle, sizeof description, &description)) return nullptr;
    // The OLE font is sized for the screen; the bitmap must come out at the same size in dots.
    const int screenDpi = ::GetDeviceCaps(memoryDC_.Get(), LOGPIXELSY);
    if (screenDpi == 0) return nullptr;
    description.lfHeight = ::MulDiv(::MulDiv(72, description.lfHeight, screenDpi), driverInfo_.resolutionX, 72);
    description.lfWidth = ::MulDiv(::MulDiv(72, description.lfWidth, screenDpi), driverInfo_.resolutionY, 72);
    return ::CreateFontIndirectW(&description);
}

HRESULT CDriverWrapper::TextOutGDI(vb::DispatchCall& call) {
    auto left = call.Long(0), top = call.Long(1), color = call.Long(4);
    auto text = call.Text(2);
    if (!left || !top || !text || !color) return DISP_E_TYPEMISMATCH;
    if (!entry_.D_PrintDIB || !DeviceOpen()) return call.Return(0L);
    POINT position{*left, *top};
    ToDeviceUnits(&position, 1);
    const int bkMode = call.Long(5).value_or(kOpaqueBackground);
    const COLORREF bkColor = call.ULong(6).value_or(kWhiteBackground);
    const int depthAsked = RequestedDepth(call.Arg(7));

    vb::UniqueFont font(text->empty() ? nullptr : CreateFontFromIFont(vb::ToDispatch(call.Arg(3))));
    if (!font) return call.Return(0L);
    HDC dc = memoryDC_.Get();
    vb::ScopedSelect selectFont(dc, font.Get());
    SIZE size{};
    ::GetTextExtentPoint32W(dc, text->c_str(), static_cast<int>(text->size()), &size);
    HGLOBAL image = nullptr;
    {
        BitmapCanvas canvas(dc, size.cx, size.cy, BitmapDepth(depthAsked));
        if (canvas) {
            {
                ScopedTextColours colours(dc, bkMode, bkColor, static_cast<COLORREF>(*color));
                ::TextOutW(dc, 0, 0, text->c_str(), static_cast<int>(text->size()));
            }
            image = CreatePackedDIB(dc, canvas.Bitmap(), depthAsked, screenDepth_);
        }
    }
    LONG result = 0;
    if (image) {
        BeginObject(L"IMAGE_OBJECT");
        if (entry_.D_EscapeW) entry_.D_EscapeW(device_, kEscapeImageSource, 0, nullptr, nullptr);
        EndObject(L"IMAGE");
        result = SendPackedImage(position, size, image, kCopyRop);
    }
    return call.Return(result);
}

HRESULT CDriverWrapper::GetTextExtGDI(vb::DispatchCall& call) {
    auto text = call.Text(0);
    auto length = call.Long(1);
    if (!text || !length) return DISP_E_TYPEMISMATCH;
    SIZE size{0, 0};
    vb::UniqueFont font(text->empty() ? nullptr : CreateFontFromIFont(vb::ToDispatch(call.Arg(2))));
    if (font) {
        vb::ScopedSelect selectFont(memoryDC_.Get(), font.Get());
        // Never measure past the text itself.
        int count = static_cast<int>(std::max(0L, std::min(*length, static_cast<long>(text->size()))));
        if (::GetTextExtentPoint32W(memoryDC_.Get(), text->c_str(), count, &size)) {
            FromDeviceUnits(size);
        } else {
            size = SIZE{0, 0};
        }
    }
    return call.Return(NewSize(size.cx, size.cy));
}
