// Fonts, barcode types, text and barcodes printed by the driver.
#include <cstring>

#include "CICodeEx.h"
#include "CIFontEx.h"
#include "CISize.h"
#include "ComPtr.h"
#include "DriverWrapper.h"
#include "KeyedLookup.h"

namespace {

constexpr LONG kEscapeTextBracket = 0x202D;
constexpr LONG kEscapePiece = 0x201F;
constexpr size_t kCodeVerticalSize = 4;
constexpr size_t kCodeHorizontalSize = 8;
constexpr size_t kCodeModuleX = 12;
constexpr size_t kCodeModuleY = 16;
constexpr size_t kCodeRotation = 32;

LONG ReadCodeLong(const BYTE* description, size_t offset) {
    LONG value;
    std::memcpy(&value, description + offset, 4);
    return value;
}

void WriteCodeLong(BYTE* description, size_t offset, LONG value) { std::memcpy(description + offset, &value, 4); }

}  // namespace

HRESULT CDriverWrapper::GetFont(vb::DispatchCall& call) {
    const tagDEVICEFONT* entry = FindByKeyOrPosition(fonts_, call.Text(0));
    bool named = entry && entry->font.lfFaceName[0] != L'\0';
    auto* font = named ? new CIFontEx(this, *entry) : new CIFontEx(this);
    return call.Return(font->AsDispatch());
}

HRESULT CDriverWrapper::GetCode(vb::DispatchCall& call) {
    const tagDEVICECODE* entry = FindByKeyOrPosition(codes_, call.Text(0));
    bool named = entry && (entry->description[60] != 0 || entry->description[61] != 0);
    auto* code = named ? new CICodeEx(this, *entry) : new CICodeEx(this);
    return call.Return(code->AsDispatch());
}

HRESULT CDriverWrapper::SelectFont(vb::DispatchCall& call) {
    CIFontEx* font = CIFontEx::FromDispatch(vb::ToDispatch(call.Arg(0)));
    if (!entry_.D_SelectFontW || !DeviceOpen() || !font) return call.Return(0L);
    currentFont_ = font->Font();
    return call.Return(entry_.D_SelectFontW(device_, &currentFont_));
}

HRESULT CDriverWrapper::SelectCode(vb::DispatchCall& call) {
    CICodeEx* code = CICodeEx::FromDispatch(vb::ToDispatch(call.Arg(0)));
    if (!entry_.D_SelectCodeW || !DeviceOpen() || !code) return call.Return(0L);
    std::memcpy(currentCode_, code->Record().description, sizeof currentCode_);
    LONG moduleX = ReadCodeLong(currentCode_, kCodeModuleX), moduleY = ReadCodeLong(currentCode_, kCodeModuleY);
    LONG width = ReadCodeLong(currentCode_, kCodeHorizontalSize), height = ReadCodeLong(currentCode_, kCodeVerticalSize);
    ToDeviceUnitsXY(moduleX, moduleY);
    ToDeviceUnitsXY(width, height);
    WriteCodeLong(currentCode_, kCodeModuleX, moduleX);
    WriteCodeLong(currentCode_, kCodeModuleY, moduleY);
    WriteCodeLong(currentCode_, kCodeHorizontalSize, width);
    WriteCodeLong(currentCode_, kCodeVerticalSize, height);
    if (codes_.empty()) return call.Return(0L);
    return call.Return(entry_.D_SelectCodeW(device_, currentCode_));
}

HRESULT CDriverWrapper::TextOut(vb::DispatchCall& call) {
    auto left = call.Long(0), top = call.Long(1), color = call.Long(3);
    auto text = call.Text(2);
    if (!left || !top || !text || !color) return DISP_E_TYPEMISMATCH;
    if (!entry_.D_TextOutW || !DeviceOpen()) return call.Return(0L);

    const LONG rotation = currentFont_.lfEscapement;
    std::vector<std::wstring> pieces = SplitVariables(*text, rotation == 900 || rotation == 1800);
    POINT position{*left, *top};
    ToDeviceUnits(&position, 1);
    const LONG bkMode = call.Long(4).value_or(kOpaqueBackground);
    const COLORREF bkColor = call.ULong(5).value_or(kWhiteBackground);

    auto escape = [this](LONG code) {
        if (entry_.D_EscapeW) entry_.D_EscapeW(device_, code, 0, nullptr, nullptr);
    };
    escape(kEscapeTextBracket);
    LONG result = 0;
    for (size_t i = 0; i < pieces.size(); ++i) {
        std::wstring& piece = pieces[i];
        if (!SendVariableInfo(piece)) BeginObject(L"TEXT_OBJECT");
        const LONG length = static_cast<LONG>(piece.size());
        DWORD extent = entry_.D_GetTextExtW ? entry_.D_GetTextExtW(device_, piece.c_str(), length) : 0;
        const LONG w = LOWORD(extent), h = HIWORD(extent);
        escape(kEscapePiece);
        if (rotation == 900) {
            if (i == 0) position.x -= h;
            position.y += w;
        } else if (rotation == 1800) {
            position.x += w;
            if (i == 0) position.y += h;
        }
        result = entry_.D_TextOutW(device_, &position, piece.c_str(), length, static_cast<COLORREF>(*color), bkMode,
                                   bkColor);
        if (rotation == 0) position.x += w;
        if (rotation == 2700) position.y += w;
    }
    escape(kEscapeTextBracket);
    EndObject(L"TEXT");
    std::wstring none;
    SendVariableInfo(none);
    return call.Return(result);
}

HRESULT CDriverWrapper::GetTextExt(vb::DispatchCall& call) {
    auto text = call.Text(0);
    if (!text) return DISP_E_TYPEMISMATCH;
    if (!entry_.D_GetTextExtW || !DeviceOpen()) return call.Return(NewSize(0, 0));
    const LONG rotation = currentFont_.lfEscapement;
    SIZE total{0, 0};
    for (std::wstring& piece : SplitVariables(*text, rotation == 900 || rotation == 1800)) {
        SendVariableInfo(piece);
        DWORD extent = entry_.D_GetTextExtW(device_, piece.c_str(), static_cast<LONG>(piece.size()));
        total.cx += LOWORD(extent);
        total.cy += HIWORD(extent);
    }
    std::wstring none;
    SendVariableInfo(none);
    FromDeviceUnits(total);
    return call.Return(NewSize(total.cx, total.cy));
}

HRESULT CDriverWrapper::CodeOut(vb::DispatchCall& call) {
    auto left = call.Long(0), top = call.Long(1), color = call.Long(3);
    auto data = call.Text(2);
    if (!left || !top || !data || !color) return DISP_E_TYPEMISMATCH;
    if (!entry_.D_CodeOutW || !DeviceOpen()) return call.Return(0L);

    std::wstring text = *data;
    const bool known = SendVariableInfo(text);
    const LONG length = static_cast<LONG>(text.size());
    DWORD extent = entry_.D_GetCodeExtW ? entry_.D_GetCodeExtW(device_, text.c_str(), length) : 0;
    const LONG w = LOWORD(extent), h = HIWORD(extent);
    if (!known) BeginObject(L"BARCODE_OBJECT");
    POINT position{*left, *top};
    ToDeviceUnits(&position, 1);
    const LONG bkMode = call.Long(4).value_or(kOpaqueBackground);
    const COLORREF bkColor = call.ULong(5).value_or(kWhiteBackground);
    switch (ReadCodeLong(currentCode_, kCodeRotation)) {
    case 900:
        position.y += w;
        break;
    case 1800:
        position.x += w;
        position.y += h;
        break;
    case 2700:
        position.x += h;
        break;
    default:
        break;
    }
    EndObject(L"BARCODE");
    LONG result = entry_.D_CodeOutW(device_, &position, text.c_str(), length, static_cast<COLORREF>(*color), bkMode,
                                    bkColor);
    std::wstring none;
    SendVariableInfo(none);
    return call.Return(result);
}

HRESULT CDriverWrapper::GetCodeExt(vb::DispatchCall& call) {
    auto data = call.Text(0);
    auto length = call.Long(1);
    if (!data || !length) return DISP_E_TYPEMISMATCH;
    if (!entry_.D_GetCodeExtW || !DeviceOpen()) return call.Return(NewSize(0, 0));
    // The driver must never be told to read past the text it was given.
    LONG bounded = std::max(0L, std::min(*length, static_cast<long>(data->size())));
    DWORD extent = entry_.D_GetCodeExtW(device_, data->c_str(), bounded);
    SIZE size{LOWORD(extent), HIWORD(extent)};
    FromDeviceUnits(size);
    return call.Return(NewSize(size.cx, size.cy));
}

HRESULT CDriverWrapper::IsValidData(vb::DispatchCall& call) {
    auto data = call.Text(0);
    if (!data) return DISP_E_TYPEMISMATCH;
    if (!entry_.D_IsValidDataW || !DeviceOpen()) return call.Return(0L);
    LONG result = entry_.D_IsValidDataW(device_, data->c_str());
    if (result < 1) return call.Return(result);
    vb::ComPtr<CICodeEx> code = vb::ComPtr<CICodeEx>::Attach(CICodeEx::FromDescription(this, currentCode_));
    return call.Return(code->IsValidData(*data));
}
