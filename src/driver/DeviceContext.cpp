// Opening a device for a printer model: enabling, devmode and page set-up, the private escapes
// and the font and barcode enumerations.
#include <cstring>
#include <cwchar>

#include "CIDriver.h"
#include "DriverWrapper.h"
#include "Resources.h"
#include "Strings.h"

namespace {

// Private part of the devmode, written only when it carries the known layout marker.
constexpr size_t kSetupKind = 152;
constexpr size_t kSetupFlag = 156;
constexpr size_t kSerialQuantity = 160;
constexpr size_t kReserved316 = 316;
constexpr size_t kLabelWidth = 328;
constexpr size_t kLabelHeight = 332;
constexpr size_t kReserved336 = 336;
constexpr size_t kPagesPerColumn = 340;
constexpr size_t kPagesPerRow = 344;
constexpr size_t kReservedBlock = 348;  // four 32-bit values
constexpr size_t kSheetHeight = 364;
constexpr size_t kSheetWidth = 368;
constexpr size_t kSetupVersion = 372;
constexpr size_t kOptionsWord = 876;
constexpr size_t kFam02Field = 1160;
constexpr size_t kFam10Options = 900;

constexpr DWORD kPaperFieldsUsed = 0x2 | 0x4 | 0x8;  // paper size, length and width
constexpr WORD kPortrait = 1;
constexpr WORD kUserDefinedPaper = 256;

// The default setting the first page set-up gives head temperature and image format.
constexpr long kHeadTemperatureDefault = 20;

std::wstring KeyOfName(const wchar_t* name, size_t capacity) {
    return vb::ToLower(vb::Trim(std::wstring(name, wcsnlen(name, capacity))));
}

}  // namespace

BOOL CDriverWrapper::CreateDriverDC(const std::wstring& model, HWND parent) {
    ReleaseDriver();
    if (!entry_.D_EnableDriverW) return FALSE;
    DRIVERHANDLE handle = entry_.D_EnableDriverW(0, &driverInfo_, model.c_str(), kPort, 0);
    if (!handle) return FALSE;
    device_ = handle;

    model_ = model;
    ::DeleteFileW(settingsFile_.c_str());
    FetchDevMode(model);
    SetupPage(kDefaultPageSize, kDefaultPageSize, 1, 1, 1);
    if (!entry_.D_RealizeDMW) return TRUE;

    entry_.D_RealizeDMW(device_, devmode_.Data(), devmode_.Data(), model.c_str());
    if (entry_.D_ResetDriver) entry_.D_ResetDriver(device_, devmode_.Data(), &driverInfo_);
    if (entry_.D_SaveDMW) entry_.D_SaveDMW(device_, devmode_.Data(), model.c_str(), kPort, settingsFile_.c_str());
    SendSetupEscapes(model, parent);

    EnumFontFamilies();
    EnumCodeFamilies();
    variables_.clear();
    BuildDateTimeList();
    return TRUE;
}

void CDriverWrapper::FetchDevMode(const std::wstring& model) {
    devmode_.Clear();
    if (!entry_.D_GetDevModeW) return;
    LONG size = entry_.D_GetDevModeW(device_, nullptr, nullptr, nullptr, nullptr);
    if (size <= 0) return;
    std::vector<BYTE> buffer(static_cast<size_t>(size), 0);
    if (entry_.D_GetDevModeW(device_, buffer.data(), model.c_str(), kPort, settingsFile_.c_str())) {
        devmode_ = DevmodeBuffer(std::move(buffer));
    }
}

void CDriverWrapper::SendSetupEscapes(const std::wstring& model, HWND parent) {
    if (!entry_.D_EscapeW) return;
    std::wstring folder = dllPath_.substr(0, dllPath_.rfind(L'\\') + 1);
    entry_.D_EscapeW(device_, 0x2064, 0, folder.c_str(), nullptr);
    // The driver owns the callback object from here on: it gets the creation reference.
    auto* callback = new CIDriver(this);
    entry_.D_EscapeW(device_, 0x2065, 0, folder.c_str(), nullptr);
    entry_.D_EscapeW(device_, 0x2013, 0, nullptr, nullptr);
    entry_.D_EscapeW(device_, 0x2014, 0, nullptr, nullptr);
    entry_.D_EscapeW(device_, 0x200E, 5000, nullptr, nullptr);
    entry_.D_EscapeW(device_, 0x203F, 0, nullptr, callback->AsDispatch());
    if (entry_.D_SetParentWindow) entry_.D_SetParentWindow(device_, parent);
    SetEnableEvents(FALSE);
    entry_.D_EscapeW(device_, 0x201C, 0, model.c_str(), nullptr);
    entry_.D_EscapeW(device_, 0x203E, 0, nullptr, nullptr);
    entry_.D_EscapeW(device_, 0x2020, 0, nullptr, nullptr);
}

bool CDriverWrapper::SetupPage(LONG width, LONG height, DWORD serialQuantity, LONG perRow, LONG perColumn) {
    if (devmode_.Empty()) return true;
    // Labels are divided among rows and columns; none of either is no page at all.
    if (perRow < 1 || perColumn < 1) return false;
    pageWidth_ = width;
    pageHeight_ = height;
    pagesPerRow_ = perRow;
    pagesPerColumn_ = perColumn;

    devmode_.Set32(DevmodeBuffer::kFields,
                   static_cast<DWORD>(devmode_.I32(DevmodeBuffer::kFields).value_or(0)) | kPaperFieldsUsed);
    devmode_.Set16(DevmodeBuffer::kOrientation, kPortrait);
    devmode_.Set16(DevmodeBuffer::kPaperSize, kUserDefinedPaper);
    devmode_.Set16(DevmodeBuffer::kPaperLength, static_cast<WORD>(height / 10));
    devmode_.Set16(DevmodeBuffer::kPaperWidth, static_cast<WORD>(width / 10));
    if (!devmode_.HasPrivateLayout()) return true;

    SetProperty(0, *vb::Variant(kHeadTemperatureDefault).Get());
    SetProperty(1, *vb::Variant(0L).Get());
    if (entry_.D_ResetDriver && DeviceOpen()) entry_.D_ResetDriver(device_, devmode_.Data(), &driverInfo_);
    SetParameter(*vb::Variant(std::wstring(L"ReloadImagesNext")).Get(), *vb::Variant::Bool(true).Get());

    LONG labelWidth = (width / 10) / perRow;
    LONG labelHeight = (height / 10) / perColumn;
    devmode_.Set16(kSetupKind, 7);
    devmode_.Set32(kSetupFlag, 1);
    devmode_.Set32(kSerialQuantity, serialQuantity);
    devmode_.Set32(kReserved316, 0);
    devmode_.Set32(kLabelWidth, static_cast<DWORD>(labelWidth));
    devmode_.Set32(kLabelHeight, static_cast<DWORD>(labelHeight));
    devmode_.Set32(kReserved336, 0);
    devmode_.Set32(kPagesPerColumn, static_cast<DWORD>(perColumn));
    devmode_.Set32(kPagesPerRow, static_cast<DWORD>(perRow));
    for (size_t i = 0; i < 4; ++i) devmode_.Set32(kReservedBlock + 4 * i, 0);
    devmode_.Set32(kSheetHeight, static_cast<DWORD>(labelHeight * perColumn));
    devmode_.Set32(kSheetWidth, static_cast<DWORD>(labelWidth * perRow));
    devmode_.Set16(kSetupVersion, 2);

    switch (Family()) {
    case DriverFamily::Fam01:
        if (auto options = devmode_.U16(kOptionsWord)) devmode_.Set16(kOptionsWord, *options & ~0x0100);
        break;
    case DriverFamily::Fam02:
        devmode_.Set16(kFam02Field, 2);
        break;
    case DriverFamily::Fam05:
        if (owner_) owner_->OpenPipe(kPipeName);
        break;
    case DriverFamily::Fam10:
        if (auto options = devmode_.I32(kFam10Options)) devmode_.Set32(kFam10Options, static_cast<DWORD>(*options) | 0x2);
        break;
    default:
        break;
    }
    return true;
}

void CDriverWrapper::ResetDevice() {
    if (entry_.D_SetVarInfo && DeviceOpen()) entry_.D_SetVarInfo(device_, 0, 0, nullptr);
    rasterOperation_ = kShapeRasterOperation;
    objectPosition_ = 0;
    objectCounter_ = 0;
    if (entry_.D_SetSpecificOptions && DeviceOpen()) entry_.D_SetSpecificOptions(device_, 0);
    if (!defaultFontName_.empty()) SelectDefaultFont();
    if (!defaultCodeName_.empty()) SelectDefaultCode();
}

void CDriverWrapper::SelectDefaultFont() {
    auto found = fonts_.find(defaultFontName_);
    currentFont_ = found != fonts_.end() ? found->second.font : LOGFONTW{};
    if (entry_.D_SelectFontW && DeviceOpen()) entry_.D_SelectFontW(device_, &currentFont_);
}

void CDriverWrapper::SelectDefaultCode() {
    auto found = codes_.find(defaultCodeName_);
    if (found != codes_.end()) {
        std::copy(std::begin(found->second.description), std::end(found->second.description), currentCode_);
    } else {
        std::fill(std::begin(currentCode_), std::end(currentCode_), BYTE{0});
    }
    if (entry_.D_SelectCodeW && DeviceOpen()) entry_.D_SelectCodeW(device_, currentCode_);
}

LONG CDriverWrapper::EnumFontFamilies() {
    if (!entry_.D_EnumFontsW || !DeviceOpen()) return 0;
    fonts_.clear();
    defaultFontName_.clear();
    LONG result = entry_.D_EnumFontsW(device_, nullptr, &CDriverWrapper::EnumFontProc, reinterpret_cast<LPARAM>(this));
    if (!defaultFontName_.empty()) SelectDefaultFont();
    return result;
}

LONG CDriverWrapper::EnumCodeFamilies() {
    if (!entry_.D_EnumCodesW || !DeviceOpen()) return 0;
    codes_.clear();
    defaultCodeName_.clear();
    LONG result = entry_.D_EnumCodesW(device_, nullptr, &CDriverWrapper::EnumCodeProc, reinterpret_cast<LPARAM>(this));
    if (!defaultCodeName_.empty()) SelectDefaultCode();
    return result;
}

int CALLBACK CDriverWrapper::EnumFontProc(const LOGFONTW* font, const TEXTMETRICW* metrics, DWORD, LPARAM data) {
    auto* self = reinterpret_cast<CDriverWrapper*>(data);
    if (!self || !font) return 0;
    std::wstring key = KeyOfName(font->lfFaceName, LF_FACESIZE);
    if (self->defaultFontName_.empty()) self->defaultFontName_ = key;
    tagDEVICEFONT record{*font, metrics ? *metrics : TEXTMETRICW{}};
    self->fonts_[key] = record;
    return 1;
}

int CALLBACK CDriverWrapper::EnumCodeProc(const BYTE* description, const BYTE* metrics, DWORD, LPARAM data) {
    auto* self = reinterpret_cast<CDriverWrapper*>(data);
    if (!self || !description) return 0;
    tagDEVICECODE record{};
    std::copy(description, description + sizeof record.description, record.description);
    if (metrics) std::copy(metrics, metrics + sizeof record.metrics, record.metrics);
    // The name fills the description from byte 60 to its end, terminated or not.
    wchar_t name[(sizeof record.description - 60) / sizeof(wchar_t)];
    std::memcpy(name, record.description + 60, sizeof name);
    std::wstring key = KeyOfName(name, std::size(name));
    if (self->defaultCodeName_.empty()) self->defaultCodeName_ = key;
    self->codes_[key] = record;
    return 1;
}

HRESULT CDriverWrapper::CreateDC(vb::DispatchCall& call) {
    if (!entry_.D_EnableDriverW || !DeviceOpen()) return call.ReturnBool(false);
    std::wstring model = call.Text(0).value_or(model_);
    if (call.Bool(1).value_or(false)) {
        std::wstring path = dllPath_, output = outputFile_, settings = settingsFile_;
        Load(path, output, settings, GdiPlusRunning());
    }
    return call.ReturnBool(CreateDriverDC(model, vb::MainWindow()) != FALSE);
}

HRESULT CDriverWrapper::ResetDC(vb::DispatchCall& call) {
    if (!entry_.D_ResetDriver || !DeviceOpen()) return call.Return(0L);
    return call.Return(entry_.D_ResetDriver(device_, devmode_.Data(), &driverInfo_));
}

HRESULT CDriverWrapper::EnumFontFamiliesMember(vb::DispatchCall& call) { return call.Return(EnumFontFamilies()); }
HRESULT CDriverWrapper::EnumCodeFamiliesMember(vb::DispatchCall& call) { return call.Return(EnumCodeFamilies()); }

HRESULT CDriverWrapper::Escape(vb::DispatchCall& call) {
    auto code = call.Long(0);
    auto input = call.Long(1);
    if (!code || !input) return DISP_E_TYPEMISMATCH;
    if (!entry_.D_EscapeW || !DeviceOpen()) return call.Return(0L);
    std::wstring text = call.Text(2).value_or(L"");
    return call.Return(entry_.D_EscapeW(device_, *code, static_cast<DWORD>(*input), text.c_str(), nullptr));
}
