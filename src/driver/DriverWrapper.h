#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "AutomationObject.h"
#include "DeviceRecords.h"
#include "DriverApi.h"
#include "DriverEntryPoints.h"
#include "DriverHandler.h"
#include "UniqueHandle.h"

// One loaded driver library and its device, and at the same time the script object `Driver`.
// The engine holds exactly one for the life of the program, so script references never
// delete it.
class CDriverWrapper : public vb::AutomationObject<CDriverWrapper> {
public:
    static constexpr DWORD kShapeRasterOperation = 13;
    static constexpr LONG kDefaultPageSize = 8000;  // 1/100 mm
    static constexpr SHORT kDefaultResolution = 300;

    explicit CDriverWrapper(CDriverHandler* owner);
    ~CDriverWrapper() override;

    BOOL Load(const std::wstring& dllPath, const std::wstring& outputFile, const std::wstring& settingsFile,
              BOOL useGdiPlus);
    void Unload();
    BOOL ReleaseDriver();
    void SetDefaults();

    const std::wstring& DllPath() const noexcept { return dllPath_; }
    const std::wstring& ShortName() const noexcept { return shortName_; }
    const std::wstring& Model() const noexcept { return model_; }
    const std::wstring& OutputFile() const noexcept { return outputFile_; }
    const std::wstring& SettingsFile() const noexcept { return settingsFile_; }
    const std::wstring& VersionText() const noexcept { return version_; }
    CDriverHandler* Owner() const noexcept { return owner_; }

    bool IsLoaded() const noexcept { return static_cast<bool>(module_); }
    bool GdiPlusRunning() const noexcept { return gdiPlusToken_ != 0; }
    DRIVERHANDLE DeviceHandle() const noexcept { return device_; }
    const tagDRIVERINFO& DriverInfo() const noexcept { return driverInfo_; }
    const DriverEntryPoints& EntryPoints() const noexcept { return entry_; }

    std::wstring GetExternalModels();
    void SetEnableEvents(BOOL enable);

    // Automation plumbing.
    static vb::DispatchTable<CDriverWrapper> Members();
    static DISPID DefaultMember() noexcept;
    static const IID* const* InterfaceIds() noexcept;

private:
    HRESULT GetName(vb::DispatchCall& call);
    HRESULT GetModel(vb::DispatchCall& call);
    HRESULT GetVersion(vb::DispatchCall& call);
    HRESULT GetPageWidth(vb::DispatchCall& call);
    HRESULT GetPageHeight(vb::DispatchCall& call);
    HRESULT GetPagePerRow(vb::DispatchCall& call);
    HRESULT GetPagePerCol(vb::DispatchCall& call);
    HRESULT GetFonts(vb::DispatchCall& call);
    HRESULT GetCodes(vb::DispatchCall& call);
    HRESULT GetObjectPosition(vb::DispatchCall& call);
    HRESULT SetObjectPosition(vb::DispatchCall& call);
    HRESULT GetShortName(vb::DispatchCall& call);
    HRESULT GetOutputFile(vb::DispatchCall& call);
    HRESULT GetExternalModelsProperty(vb::DispatchCall& call);
    HRESULT GetEnableEvents(vb::DispatchCall& call);
    HRESULT SetEnableEventsProperty(vb::DispatchCall& call);

    void AddDriverFonts(const std::wstring& settingsFile);
    void ShutdownGdiPlus() noexcept;

    CDriverHandler* owner_;
    vb::UniqueModule module_;
    vb::UniqueDC memoryDC_;
    int screenDepth_ = 0;
    tagDRIVERINFO driverInfo_{};
    DRIVERHANDLE device_ = 0;
    std::vector<BYTE> devmode_;
    HWND eventsWindow_ = nullptr;
    std::wstring dllPath_;
    std::wstring shortName_;
    std::wstring model_;
    std::wstring outputFile_;
    std::wstring settingsFile_;
    std::wstring defaultFontName_;
    std::wstring defaultCodeName_;
    DWORD rasterOperation_ = kShapeRasterOperation;
    LONG pageWidth_ = kDefaultPageSize;
    LONG pageHeight_ = kDefaultPageSize;
    LONG pagesPerRow_ = 1;
    LONG pagesPerColumn_ = 1;
    std::wstring version_;
    LONG objectPosition_ = 0;
    LOGFONTW currentFont_{};
    BYTE currentCode_[144]{};
    IDispatch* rfidObject_ = nullptr;  // the driver's; handed back, never released here
    DWORD objectCounter_ = 0;
    std::map<std::wstring, tagDEVICEFONT> fonts_;
    std::map<std::wstring, tagDEVICECODE> codes_;
    ULONG_PTR gdiPlusToken_ = 0;
    std::wstring addedFontFile_;
    DriverEntryPoints entry_;
};
