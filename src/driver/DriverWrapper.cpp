#include "DriverWrapper.h"

#include <gdiplus.h>
#include <shlwapi.h>

#include "FileVersion.h"
#include "ResourceIds.h"
#include "Resources.h"
#include "Strings.h"

namespace {

bool FileExists(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring AfterLastBackslash(const std::wstring& path) {
    size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// The driver's own fonts sit beside its settings file, named like it with the extension ".FNT".
// A settings name without an extension simply gets one.
std::wstring FontFileFor(const std::wstring& settingsFile) {
    size_t dot = settingsFile.rfind(L'.');
    size_t slash = settingsFile.rfind(L'\\');
    bool hasExtension = dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash);
    return (hasExtension ? settingsFile.substr(0, dot) : settingsFile) + L".FNT";
}

// A driver that cannot resolve its dependencies must fail quietly here: the bench reports it
// in its own box, not in the system's.
HMODULE LoadDriverLibrary(const std::wstring& path) {
    DWORD previousMode = 0;
    ::SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &previousMode);
    // A driver's own dependencies are looked for beside it.
    DWORD flags = ::PathIsRelativeW(path.c_str()) ? 0 : LOAD_WITH_ALTERED_SEARCH_PATH;
    HMODULE module = ::LoadLibraryExW(path.c_str(), nullptr, flags);
    ::SetThreadErrorMode(previousMode, nullptr);
    return module;
}

}  // namespace

CDriverWrapper::CDriverWrapper(CDriverHandler* owner) : AutomationObject(Lifetime::Owned), owner_(owner) {
    SetDefaults();
    vb::ScopedWindowDC screen(::GetDesktopWindow());
    memoryDC_.Reset(::CreateCompatibleDC(screen.Get()));
    screenDepth_ = ::GetDeviceCaps(screen.Get(), BITSPIXEL);
}

CDriverWrapper::~CDriverWrapper() { Unload(); }

void CDriverWrapper::SetDefaults() {
    driverInfo_ = tagDRIVERINFO{};
    driverInfo_.defaultResolution[0] = driverInfo_.defaultResolution[1] = kDefaultResolution;
    driverInfo_.resolutionX = driverInfo_.resolutionY = kDefaultResolution;
    pageWidth_ = pageHeight_ = kDefaultPageSize;
    pagesPerRow_ = pagesPerColumn_ = 1;
    rasterOperation_ = kShapeRasterOperation;
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof(currentFont_), &currentFont_);
    std::fill(std::begin(currentCode_), std::end(currentCode_), BYTE{0});
    rfidObject_ = nullptr;
    objectPosition_ = 0;
    objectCounter_ = 0;
    // The GDI+ token stays: only Unload may end what Load started, or GDI+ would never be shut
    // down after the first device is released.
}

BOOL CDriverWrapper::Load(const std::wstring& dllPath, const std::wstring& outputFile,
                          const std::wstring& settingsFile, BOOL useGdiPlus) {
    Unload();
    if (dllPath.empty() || outputFile.empty() || settingsFile.empty()) return FALSE;

    if (useGdiPlus) {
        Gdiplus::GdiplusStartupInput input;
        if (Gdiplus::GdiplusStartup(&gdiPlusToken_, &input, nullptr) != Gdiplus::Ok) gdiPlusToken_ = 0;
    }

    HMODULE module = LoadDriverLibrary(dllPath);
    if (!module) {
        ShutdownGdiPlus();
        UINT message = FileExists(dllPath) ? IDS_DRIVER_NOT_LOADABLE : IDS_DRIVER_NOT_FOUND;
        vb::ShowMessageBox(vb::FormatResString(message, {dllPath}), MB_OK | MB_ICONERROR);
        return FALSE;
    }
    module_.Reset(module);

    dllPath_ = dllPath;
    shortName_ = AfterLastBackslash(dllPath);
    outputFile_ = outputFile;
    settingsFile_ = settingsFile;
    version_ = vb::ReadFileVersionText(dllPath).value_or(L"?.?.?.?");
    AddDriverFonts(settingsFile);
    entry_.Bind(module);
    return TRUE;
}

void CDriverWrapper::AddDriverFonts(const std::wstring& settingsFile) {
    std::wstring fontFile = FontFileFor(settingsFile);
    if (FileExists(fontFile) && ::AddFontResourceW(fontFile.c_str()) > 0) addedFontFile_ = fontFile;
}

void CDriverWrapper::ShutdownGdiPlus() noexcept {
    if (gdiPlusToken_) Gdiplus::GdiplusShutdown(gdiPlusToken_);
    gdiPlusToken_ = 0;
}

void CDriverWrapper::Unload() {
    if (!module_) return;
    ShutdownGdiPlus();
    ReleaseDriver();
    dllPath_.clear();
    shortName_.clear();
    outputFile_.clear();
    settingsFile_.clear();
    module_.Reset();
    entry_.Clear();
    version_.clear();
    // A handle that the driver refused to end means nothing once its library is gone, and
    // there is no driver left to send events.
    device_ = 0;
    eventsWindow_ = nullptr;
    if (!addedFontFile_.empty()) {
        ::RemoveFontResourceW(addedFontFile_.c_str());
        addedFontFile_.clear();
    }
    ::CoFreeUnusedLibraries();
}

BOOL CDriverWrapper::ReleaseDriver() {
    if (rfidObject_) {
        if (entry_.D_RFIDUpdateInterface && device_) entry_.D_RFIDUpdateInterface(device_, rfidObject_, 1);
        rfidObject_ = nullptr;
    }
    BOOL result = FALSE;
    if (entry_.D_Disable) {
        result = entry_.D_Disable(device_);
        if (result) device_ = 0;
    }
    devmode_.Clear();
    // Fonts, codes, variables and formats belong to the device that is gone.
    fonts_.clear();
    codes_.clear();
    defaultFontName_.clear();
    defaultCodeName_.clear();
    variables_.clear();
    dateTimeFormats_.clear();
    SetDefaults();
    model_.clear();
    return result;
}

std::wstring CDriverWrapper::GetExternalModels() {
    std::wstring catalog = owner_ ? owner_->GetModelCatalog(model_) : std::wstring();
    size_t colon = catalog.find(L':');
    if (colon == std::wstring::npos) return catalog;
    std::wstring models = catalog.substr(colon + 1);
    size_t lineEnd = models.find(L"\r\n");
    if (lineEnd != std::wstring::npos) models.resize(lineEnd);
    return vb::Trim(vb::ReplaceAll(models, L", ", L";"));
}

void CDriverWrapper::SetEnableEvents(BOOL enable) {
    if (!module_) return;
    eventsWindow_ = enable ? vb::MainWindow() : nullptr;
    if (entry_.D_SetPFMessageBox) entry_.D_SetPFMessageBox(device_, 0, eventsWindow_);
    if (entry_.D_SetPFAppEvent) entry_.D_SetPFAppEvent(device_, 0, eventsWindow_);
    if (entry_.D_SetPFAppEventMT) entry_.D_SetPFAppEventMT(device_, 0, eventsWindow_);
}
