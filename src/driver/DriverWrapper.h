#pragma once
#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "AutomationObject.h"
#include "DeviceRecords.h"
#include "DevmodeBuffer.h"
#include "DriverApi.h"
#include "DriverEntryPoints.h"
#include "DriverFamily.h"
#include "DriverHandler.h"
#include "UniqueHandle.h"
#include "VarInfo.h"
#include "Variant.h"

// One loaded driver library and its device, and at the same time the script object `Driver`.
// The engine holds exactly one for the life of the program, so script references never
// delete it.
class CDriverWrapper : public vb::AutomationObject<CDriverWrapper> {
public:
    static constexpr DWORD kShapeRasterOperation = 13;
    static constexpr LONG kDefaultPageSize = 8000;  // 1/100 mm
    static constexpr SHORT kDefaultResolution = 300;
    static constexpr const wchar_t* kPort = L"FILE";
    static constexpr const wchar_t* kPipeName = L"\\\\.\\pipe\\DizEvoviDodu";
    // What text and images default to, and what tells the driver an image's source.
    static constexpr LONG kOpaqueBackground = 2;
    static constexpr COLORREF kWhiteBackground = 0xFFFFFF;
    static constexpr DWORD kCopyRop = 0xCC0020;
    static constexpr LONG kEscapeImageSource = 0x2012;

    using Clock = std::function<SYSTEMTIME()>;

    explicit CDriverWrapper(CDriverHandler* owner);
    ~CDriverWrapper() override;

    // Loading and state.
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
    const DevmodeBuffer& Devmode() const noexcept { return devmode_; }
    DriverFamily Family() const { return FamilyOf(shortName_); }

    std::wstring GetExternalModels();
    void SetEnableEvents(BOOL enable);

    // Device context and page set-up.
    BOOL CreateDriverDC(const std::wstring& model, HWND parent);
    // False when the page set-up is refused (labels per row or column below 1).
    bool SetupPage(LONG width, LONG height, DWORD serialQuantity, LONG perRow, LONG perColumn);
    void ResetDevice();
    LONG EnumFontFamilies();
    LONG EnumCodeFamilies();
    const std::map<std::wstring, tagDEVICEFONT>& FontMap() const noexcept { return fonts_; }
    const std::map<std::wstring, tagDEVICECODE>& CodeMap() const noexcept { return codes_; }
    const std::wstring& DefaultFontName() const noexcept { return defaultFontName_; }
    const std::wstring& DefaultCodeName() const noexcept { return defaultCodeName_; }
    const LOGFONTW& CurrentFont() const noexcept { return currentFont_; }
    const BYTE* CurrentCode() const noexcept { return currentCode_; }

    // Template variables.
    BOOL LookupVariable(_tagvarinfo& record) const;
    void UpdateVariable(const _tagvarinfo& record);
    const std::map<std::wstring, _tagvarinfo>& Variables() const noexcept { return variables_; }
    const std::vector<std::wstring>& DateTimeFormats() const noexcept { return dateTimeFormats_; }
    std::wstring GetDateTime(long item) const;
    void BuildDateTimeList();
    // The clock of date and time variables; tests set a fixed one.
    void SetClock(Clock clock) { clock_ = std::move(clock); }
    SYSTEMTIME Now() const;

    // Driver parameters and family properties.
    bool SetParameter(const VARIANT& name, const VARIANT& value);
    vb::Variant GetProperty(long id) const;
    void SetProperty(long id, const VARIANT& value);
    std::wstring GetPropertyValues(long id, const std::wstring& separator) const;

    // Units and printed objects.
    void ToDeviceUnits(POINT* points, size_t count) const;
    void ToDeviceUnitsXY(LONG& x, LONG& y) const;
    void FromDeviceUnits(SIZE& size) const;
    std::wstring BeginObject(const std::wstring& type);
    void EndObject(const std::wstring& type);
    std::vector<std::wstring> SplitVariables(const std::wstring& text, bool atFront) const;
    bool SendVariableInfo(std::wstring& piece);
    int ScreenDepth() const noexcept { return screenDepth_; }
    HDC MemoryDC() const noexcept { return memoryDC_.Get(); }

    // Automation plumbing.
    static vb::DispatchTable<CDriverWrapper> Members();
    static DISPID DefaultMember() noexcept;
    static const IID* const* InterfaceIds() noexcept;

private:
    // Simple properties.
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
    HRESULT GetDateTimeCounts(vb::DispatchCall& call);
    HRESULT GetDIBColors(vb::DispatchCall& call);
    HRESULT GetShortName(vb::DispatchCall& call);
    HRESULT GetOutputFile(vb::DispatchCall& call);
    HRESULT GetExternalModelsProperty(vb::DispatchCall& call);
    HRESULT GetEnableEvents(vb::DispatchCall& call);
    HRESULT SetEnableEventsProperty(vb::DispatchCall& call);
    // Device members.
    HRESULT Escape(vb::DispatchCall& call);
    HRESULT CreateDC(vb::DispatchCall& call);
    HRESULT ResetDC(vb::DispatchCall& call);
    HRESULT EnumFontFamiliesMember(vb::DispatchCall& call);
    HRESULT EnumCodeFamiliesMember(vb::DispatchCall& call);
    HRESULT GetParameterMember(vb::DispatchCall& call);
    HRESULT SetParameterMember(vb::DispatchCall& call);
    HRESULT GetLastErrorMember(vb::DispatchCall& call);
    HRESULT GetRFIDNames(vb::DispatchCall& call);
    HRESULT GetRFIDObject(vb::DispatchCall& call);
    // Variables and properties.
    HRESULT AddVariable(vb::DispatchCall& call);
    HRESULT GetVariable(vb::DispatchCall& call);
    HRESULT GetDateTimeMember(vb::DispatchCall& call);
    HRESULT GetPropertyMember(vb::DispatchCall& call);
    HRESULT SetPropertyMember(vb::DispatchCall& call);
    HRESULT GetPropertyValuesMember(vb::DispatchCall& call);
    // Documents and pages.
    HRESULT StartDoc(vb::DispatchCall& call);
    HRESULT EndDoc(vb::DispatchCall& call);
    HRESULT StartPage(vb::DispatchCall& call);
    HRESULT EndPage(vb::DispatchCall& call);
    HRESULT SetupDlg(vb::DispatchCall& call);
    HRESULT SetCountry(vb::DispatchCall& call);
    HRESULT GetDeviceCaps(vb::DispatchCall& call);
    // Text and barcodes.
    HRESULT GetFont(vb::DispatchCall& call);
    HRESULT SelectFont(vb::DispatchCall& call);
    HRESULT TextOut(vb::DispatchCall& call);
    HRESULT GetTextExt(vb::DispatchCall& call);
    HRESULT GetCode(vb::DispatchCall& call);
    HRESULT SelectCode(vb::DispatchCall& call);
    HRESULT CodeOut(vb::DispatchCall& call);
    HRESULT GetCodeExt(vb::DispatchCall& call);
    HRESULT IsValidData(vb::DispatchCall& call);
    // Shapes, images and GDI text.
    HRESULT SelectPen(vb::DispatchCall& call);
    HRESULT SelectBrush(vb::DispatchCall& call);
    HRESULT Rectangle(vb::DispatchCall& call);
    HRESULT Ellipse(vb::DispatchCall& call);
    HRESULT RoundRect(vb::DispatchCall& call);
    HRESULT PatBlt(vb::DispatchCall& call);
    HRESULT PrintDIB(vb::DispatchCall& call);
    HRESULT GetFontGDI(vb::DispatchCall& call);
    HRESULT TextOutGDI(vb::DispatchCall& call);
    HRESULT GetTextExtGDI(vb::DispatchCall& call);

    bool DeviceOpen() const noexcept { return device_ != 0; }
    void AddDriverFonts(const std::wstring& settingsFile);
    void ShutdownGdiPlus() noexcept;
    void FetchDevMode(const std::wstring& model);
    void SendSetupEscapes(const std::wstring& model, HWND parent);
    void SelectDefaultFont();
    void SelectDefaultCode();
    IDispatch* NewVariable(const _tagvarinfo& record);
    // The rectangle and ellipse members differ only in their shape style.
    HRESULT DrawShape(vb::DispatchCall& call, LONG style);
    // The bitmap depth for pictures and GDI text: the screen's on a colour device, else 1.
    int BitmapDepth(int requestedBits) const;
    // The depth a script asks an image to be sent with; the screen's when it asks for none.
    int RequestedDepth(const VARIANT& bitsPerPixel) const;
    bool IsColourDevice() const;
    HFONT CreateFontFromIFont(IDispatch* font) const;
    LONG SendPackedImage(const POINT& position, const SIZE& size, HGLOBAL image, DWORD rop);

    static int CALLBACK EnumFontProc(const LOGFONTW* font, const TEXTMETRICW* metrics, DWORD type, LPARAM data);
    static int CALLBACK EnumCodeProc(const BYTE* description, const BYTE* metrics, DWORD type, LPARAM data);

    CDriverHandler* owner_;
    vb::UniqueModule module_;
    vb::UniqueDC memoryDC_;
    int screenDepth_ = 0;
    tagDRIVERINFO driverInfo_{};
    DRIVERHANDLE device_ = 0;
    DevmodeBuffer devmode_;
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
    std::map<std::wstring, _tagvarinfo> variables_;
    std::vector<std::wstring> dateTimeFormats_;
    Clock clock_;
    ULONG_PTR gdiPlusToken_ = 0;
    std::wstring addedFontFile_;
    DriverEntryPoints entry_;
};
