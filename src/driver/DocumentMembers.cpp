// Documents, pages, the driver's own dialogs and its device capabilities.
#include <cstring>
#include <cwchar>

#include "DriverWrapper.h"
#include "Resources.h"

namespace {

constexpr DWORD kDefaultQuantity = 1;
// A driver that reports an absurd number of items is not trusted with the allocation.
constexpr LONG kMaxCapabilityItems = 4096;
constexpr size_t kCapabilityNameSize = 64;

enum CapabilityIndex : LONG {
    kPaperList = 2,
    kPaperSizes = 3,
    kMinimumSize = 4,
    kMaximumSize = 5,
    kPaperNames = 16,
    kSingleValue = 18,
    kResolutions = 19,
};

std::wstring Join(const std::vector<std::wstring>& items, const std::wstring& separator) {
    std::wstring text;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) text += separator;
        text += items[i];
    }
    return text;
}

std::wstring Unsigned(DWORD value) { return std::to_wstring(value); }

}  // namespace

HRESULT CDriverWrapper::StartDoc(vb::DispatchCall& call) {
    if (!entry_.D_StartDocW || !DeviceOpen()) return call.Return(0L);
    auto argument = [&call](unsigned index, DWORD fallback) { return call.ULong(index).value_or(fallback); };
    const DWORD width = argument(0, kDefaultPageSize);
    const DWORD height = argument(1, kDefaultPageSize);
    const DWORD quantity = argument(2, kDefaultQuantity);
    const LONG perRow = static_cast<LONG>(argument(3, 1));
    const LONG perColumn = static_cast<LONG>(argument(4, 1));
    const bool trace = call.IsMissing(5) || vb::ToShort(call.Arg(5)) == SHORT{-1};
    // The set-up divides the page among the labels: a document without any is refused before
    // anything reaches the driver or the engine.
    if (perRow < 1 || perColumn < 1) return call.Return(0L);

    const bool hookFamily = Family() == DriverFamily::Fam09;
    if (hookFamily && owner_) owner_->OnPrintEvent(CDriverHandler::kHookSwitch, L"ON", L"");
    ResetDevice();
    SetupPage(static_cast<LONG>(width), static_cast<LONG>(height), quantity, perRow, perColumn);
    if (entry_.D_RealizeDMW) entry_.D_RealizeDMW(device_, devmode_.Data(), devmode_.Data(), model_.c_str());
    if (entry_.D_ResetDriver) entry_.D_ResetDriver(device_, devmode_.Data(), &driverInfo_);

    DOCINFOW document{};
    document.cbSize = 20;
    document.lpszDocName = L"CDriverWrapper";
    document.lpszOutput = outputFile_.c_str();
    LONG result = entry_.D_StartDocW(device_, &document);

    std::wstring paper;
    if (trace) {
        wchar_t text[128];
        std::swprintf(text, 128, L"Paper: %u x %u, DPI: %u x %u", static_cast<unsigned>(pageWidth_),
                      static_cast<unsigned>(pageHeight_), static_cast<unsigned>(driverInfo_.resolutionX),
                      static_cast<unsigned>(driverInfo_.resolutionY));
        paper = text;
    }
    if (owner_) owner_->OnPrintEvent(CDriverHandler::kJobStarted, paper, L"");
    return call.Return(result);
}

HRESULT CDriverWrapper::EndDoc(vb::DispatchCall& call) {
    if (!entry_.D_EndDoc || !DeviceOpen()) return call.Return(0L);
    std::wstring subItem = call.Text(0).value_or(L"");
    std::wstring extra = call.Text(1).value_or(L"");
    LONG result = entry_.D_EndDoc(device_);
    if (owner_) {
        if (Family() == DriverFamily::Fam09) owner_->OnPrintEvent(CDriverHandler::kHookSwitch, L"OFF", L"");
        owner_->OnPrintEvent(CDriverHandler::kJobEnded, subItem, extra);
    }
    return call.Return(result);
}

HRESULT CDriverWrapper::StartPage(vb::DispatchCall& call) {
    if (!entry_.D_StartMultiplePage || !DeviceOpen()) return call.Return(0L);
    return call.Return(entry_.D_StartMultiplePage(device_));
}

HRESULT CDriverWrapper::EndPage(vb::DispatchCall& call) {
    if (!entry_.D_EndMultiplePage || !DeviceOpen()) return call.Return(0L);
    return call.Return(entry_.D_EndMultiplePage(device_));
}

HRESULT CDriverWrapper::SetupDlg(vb::DispatchCall& call) {
    if (!entry_.D_SetupDlgW || !DeviceOpen()) return call.Return(0L);
    return call.Return(entry_.D_SetupDlgW(device_, 0, vb::MainWindow(), devmode_.Data(), model_.c_str(), kPort));
}

HRESULT CDriverWrapper::SetCountry(vb::DispatchCall& call) {
    auto country = call.Long(0);
    auto unit = call.Long(1);
    if (!country || !unit) return DISP_E_TYPEMISMATCH;
    if (!entry_.D_SetCountry || !DeviceOpen()) return call.Return(0L);
    return call.Return(entry_.D_SetCountry(device_, *country, *unit, 0));
}

HRESULT CDriverWrapper::GetDeviceCaps(vb::DispatchCall& call) {
    auto index = call.Long(0);
    if (!index) return DISP_E_TYPEMISMATCH;
    ::VariantClear(call.Result());
    if (!entry_.D_DevCapsW || !DeviceOpen()) return S_OK;
    const std::wstring separator = call.Text(1).value_or(L";");
    auto ask = [&](void* buffer) {
        return entry_.D_DevCapsW(device_, model_.c_str(), kPort, *index, buffer, devmode_.Data());
    };
    auto count = [&]() -> size_t {
        LONG n = ask(nullptr);
        return n > 0 && n <= kMaxCapabilityItems ? static_cast<size_t>(n) : 0;
    };

    std::vector<std::wstring> items;
    switch (*index) {
    case kPaperList: {
        std::vector<WORD> values(count());
        if (!values.empty()) ask(values.data());
        for (WORD value : values) items.push_back(Unsigned(value));
        break;
    }
    case kPaperSizes: {
        std::vector<DWORD> pairs(2 * count());
        if (!pairs.empty()) ask(pairs.data());
        for (size_t i = 0; i + 1 < pairs.size(); i += 2) items.push_back(Unsigned(pairs[i]) + L"x" + Unsigned(pairs[i + 1]));
        break;
    }
    case kMinimumSize:
    case kMaximumSize: {
        DWORD pair[2] = {};
        if (ask(pair)) items = {Unsigned(pair[0]), Unsigned(pair[1])};
        break;
    }
    case kPaperNames: {
        std::vector<char> names(kCapabilityNameSize * count(), '\0');
        if (!names.empty()) ask(names.data());
        for (size_t i = 0; i < names.size(); i += kCapabilityNameSize) {
            items.push_back(vb::FromAnsi(std::string(&names[i], strnlen(&names[i], kCapabilityNameSize))));
        }
        break;
    }
    case kSingleValue:
        return call.Return(ask(nullptr));
    case kResolutions: {
        std::vector<DWORD> values(count());
        if (!values.empty()) ask(values.data());
        for (DWORD value : values) items.push_back(Unsigned(value));
        break;
    }
    default:
        break;
    }
    std::wstring text = Join(items, separator);
    return text.empty() ? S_OK : call.Return(text);
}
