// Pens, brushes, shapes and images.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>

#include <memory>

#include "BitmapCanvas.h"
#include "DriverWrapper.h"
#include "PackedDib.h"

namespace {

constexpr LONG kRectangle = 6;
constexpr LONG kEllipse = 7;
constexpr LONG kRoundRectangle = 72;
constexpr DWORD kDefaultPatternRop = 0x42;
constexpr LONG kHeightNotGiven = -1;
constexpr LONG kProvisionalHeight = 1000;

// GDI+ for one picture when the wrapper was loaded without it: a comparison run must print the
// same images as the snapshot it is compared with.
class ScopedGdiPlus {
public:
    explicit ScopedGdiPlus(bool alreadyRunning) {
        Gdiplus::GdiplusStartupInput input;
        if (!alreadyRunning && Gdiplus::GdiplusStartup(&token_, &input, nullptr) != Gdiplus::Ok) token_ = 0;
    }
    ~ScopedGdiPlus() {
        if (token_) Gdiplus::GdiplusShutdown(token_);
    }
    ScopedGdiPlus(const ScopedGdiPlus&) = delete;
    ScopedGdiPlus& operator=(const ScopedGdiPlus&) = delete;

private:
    ULONG_PTR token_ = 0;
};

// Frees the packed image whatever the driver did with it.
struct GlobalBlockDeleter {
    void operator()(void* block) const { ::GlobalFree(static_cast<HGLOBAL>(block)); }
};
using PackedImage = std::unique_ptr<void, GlobalBlockDeleter>;

}  // namespace

bool CDriverWrapper::IsColourDevice() const { return devmode_.I16(DevmodeBuffer::kColor).value_or(0) == 2; }

int CDriverWrapper::RequestedDepth(const VARIANT& bitsPerPixel) const {
    VARIANT depth;
    ::VariantInit(&depth);
    if (FAILED(::VariantChangeType(&depth, const_cast<VARIANT*>(&bitsPerPixel), 0, VT_UI2))) return screenDepth_;
    return V_UI2(&depth);
}

int CDriverWrapper::BitmapDepth(int requestedBits) const {
    return IsColourDevice() && requestedBits != 1 ? screenDepth_ : 1;
}

LONG CDriverWrapper::SendPackedImage(const POINT& position, const SIZE& size, HGLOBAL image, DWORD rop) {
    PackedImage owned(image);
    return entry_.D_PrintDIB(device_, &position, &size, image, rop);
}

HRESULT CDriverWrapper::SelectPen(vb::DispatchCall& call) {
    auto width = call.Long(0), color = call.Long(1);
    if (!width || !color) return DISP_E_TYPEMISMATCH;
    if (!entry_.D_SELECTPEN || !DeviceOpen()) return call.Return(0L);
    LOGPEN pen{PS_SOLID, POINT{*width, *width}, static_cast<COLORREF>(*color)};
    ToDeviceUnits(&pen.lopnWidth, 1);
    return call.Return(entry_.D_SELECTPEN(device_, &pen));
}

HRESULT CDriverWrapper::SelectBrush(vb::DispatchCall& call) {
    auto color = call.Long(0);
    if (!color) return DISP_E_TYPEMISMATCH;
    if (!entry_.D_SELECTBRUSH || !DeviceOpen()) return call.Return(0L);
    LOGBRUSH brush{BS_SOLID, static_cast<COLORREF>(*color), 0};
    return call.Return(entry_.D_SELECTBRUSH(device_, &brush));
}

HRESULT CDriverWrapper::DrawShape(vb::DispatchCall& call, LONG style) {
    const unsigned count = style == kRoundRectangle ? 3 : 2;
    POINT points[3] = {};
    for (unsigned i = 0; i < count; ++i) {
        auto x = call.Long(2 * i), y = call.Long(2 * i + 1);
        if (!x || !y) return DISP_E_TYPEMISMATCH;
        points[i] = POINT{*x, *y};
    }
    if (!entry_.D_Output || !DeviceOpen()) return call.Return(0L);
    ToDeviceUnits(points, count);
    LONG result = entry_.D_Output(device_, style, static_cast<LONG>(count), points, kShapeRasterOperation);
    EndObject(L"SHAPE");
    return call.Return(result);
}

HRESULT CDriverWrapper::Rectangle(vb::DispatchCall& call) { return DrawShape(call, kRectangle); }
HRESULT CDriverWrapper::Ellipse(vb::DispatchCall& call) { return DrawShape(call, kEllipse); }
HRESULT CDriverWrapper::RoundRect(vb::DispatchCall& call) { return DrawShape(call, kRoundRectangle); }

HRESULT CDriverWrapper::PatBlt(vb::DispatchCall& call) {
    auto left = call.Long(0), top = call.Long(1), width = call.Long(2), height = call.Long(3);
    if (!left || !top || !width || !height) return DISP_E_TYPEMISMATCH;
    if (!entry_.D_PatBlt || !DeviceOpen()) return call.Return(0L);
    const DWORD rop = call.ULong(4).value_or(kDefaultPatternRop);
    POINT position{*left, *top};
    POINT extent{*width, *height};
    ToDeviceUnits(&position, 1);
    ToDeviceUnits(&extent, 1);
    SIZE size{extent.x, extent.y};
    LONG result = entry_.D_PatBlt(device_, &position, &size, rop);
    EndObject(L"IMAGE");
    return call.Return(result);
}

HRESULT CDriverWrapper::PrintDIB(vb::DispatchCall& call) {
    auto fileName = call.Text(0);
    auto left = call.Long(1), top = call.Long(2), width = call.Long(3);
    if (!fileName || !left || !top || !width) return DISP_E_TYPEMISMATCH;
    if (!entry_.D_PrintDIB || !DeviceOpen()) return call.Return(0L);

    auto givenHeight = call.Long(4);
    const bool heightGiven = givenHeight && *givenHeight != kHeightNotGiven;
    POINT position{*left, *top};
    POINT extent{*width, heightGiven ? *givenHeight : kProvisionalHeight};
    const DWORD rop = static_cast<DWORD>(call.Long(5).value_or(static_cast<LONG>(kCopyRop)));
    const int depthAsked = RequestedDepth(call.Arg(6));

    HGLOBAL image = nullptr;
    bool converted = false;
    if (!fileName->empty()) {
        ScopedGdiPlus gdiPlus(GdiPlusRunning());
        Gdiplus::Bitmap picture(fileName->c_str());
        const LONG pictureWidth = static_cast<LONG>(picture.GetWidth());
        const LONG pictureHeight = static_cast<LONG>(picture.GetHeight());
        if (picture.GetLastStatus() == Gdiplus::Ok && pictureWidth > 0 && pictureHeight > 0) {
            const int depth = BitmapDepth(depthAsked);
            if (!heightGiven) {
                extent.y = static_cast<LONG>(static_cast<long long>(pictureHeight) * extent.x / pictureWidth);
                if (position.y + extent.y > pageHeight_) {
                    extent.y = pageHeight_ - position.y;
                    extent.x = static_cast<LONG>(static_cast<long long>(pictureWidth) * extent.y / pictureHeight);
                }
            }
            ToDeviceUnits(&position, 1);
            ToDeviceUnits(&extent, 1);
            converted = true;
            HBITMAP source = nullptr;
            if (picture.GetHBITMAP(Gdiplus::Color(255, 255, 255), &source) == Gdiplus::Ok) {
                vb::UniqueBitmap sourceOwner(source);
                vb::UniqueDC sourceDC(::CreateCompatibleDC(memoryDC_.Get()));
                vb::ScopedSelect selectSource(sourceDC.Get(), source);
                BitmapCanvas canvas(memoryDC_.Get(), extent.x, extent.y, depth);
                if (canvas) {
                    ::SetStretchBltMode(memoryDC_.Get(), HALFTONE);
                    ::SetBrushOrgEx(memoryDC_.Get(), 0, 0, nullptr);
                    ::StretchBlt(memoryDC_.Get(), 0, 0, extent.x, extent.y, sourceDC.Get(), 0, 0, pictureWidth,
                                 pictureHeight, SRCCOPY);
                    image = CreatePackedDIB(memoryDC_.Get(), canvas.Bitmap(), depthAsked, screenDepth_);
                }
            }
        }
    }
    if (!converted) {
        ToDeviceUnits(&position, 1);
        ToDeviceUnits(&extent, 1);
    }
    if (entry_.D_EscapeW) entry_.D_EscapeW(device_, kEscapeImageSource, 0, fileName->c_str(), nullptr);
    EndObject(L"IMAGE");
    BeginObject(L"IMAGE_OBJECT");
    return call.Return(SendPackedImage(position, SIZE{extent.x, extent.y}, image, rop));
}
