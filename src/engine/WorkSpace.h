#pragma once
#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

#include "AutomationObject.h"
#include "ComPtr.h"
#include "DbConnection.h"
#include "DriverHandler.h"
#include "DriverWrapper.h"
#include "MSScriptObject.h"
#include "PipeList.h"
#include "ProfileFile.h"
#include "RunContext.h"
#include "ScriptHostOwner.h"

// The one engine object: the configuration file, the two database connections, the script
// host, the driver wrapper, the run context, the pipe capture and the files the hook library
// reported, and the run log in the main dialog's log pane. It lives as long as the main dialog.
class CWorkSpace : public vb::AutomationObject<CWorkSpace>, public CDriverHandler, public ScriptHostOwner {
public:
    // `programFile` stands for the program's own path (default: the running module), so tests
    // can keep the configuration file, Data\ and Output\ in a folder of their own.
    explicit CWorkSpace(const std::wstring& programFile = {});
    ~CWorkSpace() override;
    CWorkSpace(const CWorkSpace&) = delete;
    CWorkSpace& operator=(const CWorkSpace&) = delete;

    // Configuration.
    void LoadSettings();
    void SaveSettings();
    void SaveSelection(const std::vector<std::wstring>& items, const std::wstring& current, BOOL models);
    std::wstring GetSavedSelection(const std::wstring& key, BOOL drivers) const;
    static BOOL IsInSelectionList(const std::wstring& item, const std::wstring& list);
    // The family key of a family text "KEY (Name)": the text before the blank and '('.
    static std::wstring FamilyKey(const std::wstring& driverName);

    void SetPrnFolder(const std::wstring& folder);
    void SetPrnFolderRef(const std::wstring& folder);
    void SetDriverName(const std::wstring& name);
    void SetModelName(const std::wstring& name);
    void SetScriptName(const std::wstring& name);
    void SetOutput(const std::wstring& name);

    int Version() const noexcept { return version_; }
    const std::wstring& HashCode() const noexcept { return hashCode_; }
    bool SettingsDirty() const noexcept { return dirty_ != FALSE; }
    const std::wstring& IniPath() const noexcept { return settings_.Path(); }
    const std::wstring& ProgramFolder() const noexcept { return programFolder_; }
    const std::wstring& PrnFolder() const noexcept { return prnFolder_; }
    const std::wstring& PrnFolderRef() const noexcept { return prnFolderRef_; }
    const std::wstring& DriverName() const noexcept { return driverName_; }
    const std::wstring& ModelName() const noexcept { return modelName_; }
    const std::wstring& ScriptName() const noexcept { return scriptName_; }
    const std::wstring& Output() const noexcept { return output_; }
    // The print file of every run, under the program folder.
    std::wstring PrintFilePath() const { return programFolder_ + L"Output\\print.txt"; }

    // Run log. The batch hands over the log pane for the length of a run; nothing is logged
    // outside one. The text is shown as it stands: callers fill their own formats.
    void SetLogWindow(HWND window);
    HWND LogWindow() const noexcept { return logWindow_; }
    BOOL Log(const std::wstring& text);
    BOOL LogError(const std::wstring& text);
    BOOL OnHookNotify(WPARAM code, LPARAM unused);

    // Files and the message loop.
    static BOOL EnsureFolderPath(const std::wstring& filePath);
    BOOL FileExists(const std::wstring& path);
    BOOL ReadPrnSubFiles(const std::wstring& printFile, std::vector<std::wstring>& files);
    static void PumpMessages();
    const std::vector<std::wstring>& HookedFiles() const noexcept { return hookedFiles_; }

    bool StopRequested() const noexcept { return stop_ != FALSE; }
    void SetStop(bool stop) noexcept { stop_ = stop ? TRUE : FALSE; }
    bool UsesOutput() const noexcept { return usesOutput_ != FALSE; }

    CDbConnection& DeviceDatabase() noexcept { return deviceDb_; }
    CDbConnection& ResultsDatabase() noexcept { return resultsDb_; }
    CMSScriptObject& Script() noexcept { return script_; }
    CDriverWrapper& Driver() noexcept { return driver_; }
    CRunContext& RunContext() noexcept { return runContext_; }
    CPipeList& Pipes() noexcept { return pipes_; }

    // Output ports.

    // Results database.

    // Device database.

    // Device definition import.

    // Application object: the script's `Me`.
    static vb::DispatchTable<CWorkSpace> Members();
    static DISPID DefaultMember() noexcept;
    static const IID* const* InterfaceIds() noexcept;
    // Has the hook library substitute the loaded driver inside the printing server registered
    // under `progId`, or end that with `restore`; true when the library agreed.
    bool UpdateDriver(const std::wstring& progId, bool restore);
    // Deletes the sections the driver keeps for `model` in its user settings file, found from
    // the driver installation's `folder`.
    void EraseModelSettings(const std::wstring& folder, const std::wstring& model);
    // The folder of a registered local server's command line, quoted or not.
    static std::wstring LocalServerFolder(const std::wstring& commandLine);
    void SetUsesOutput(bool uses) noexcept { usesOutput_ = uses ? TRUE : FALSE; }

    // CDriverHandler
    BOOL OnPrintEvent(int code, const std::wstring& text, const std::wstring& extra) override;
    std::wstring GetModelCatalog(const std::wstring& model) override;
    BOOL OpenPipe(const std::wstring& pipeName) override;
    BOOL IsDirectPrintMode() override;

    // ScriptHostOwner
    HRESULT GetTypeLibrary(ITypeLib** library) override;

private:
    // Application object (private).
    HRESULT GetComputerNameProperty(vb::DispatchCall& call);
    HRESULT GetUserNameProperty(vb::DispatchCall& call);
    HRESULT GetTempPathProperty(vb::DispatchCall& call);
    HRESULT GetDirectPrintMode(vb::DispatchCall& call);
    HRESULT GetUsesOutput(vb::DispatchCall& call);
    HRESULT SetUsesOutputProperty(vb::DispatchCall& call);
    HRESULT GetStopProcess(vb::DispatchCall& call);
    HRESULT GetAppPath(vb::DispatchCall& call);
    HRESULT TraceMethod(vb::DispatchCall& call);
    HRESULT UpdateDriverMethod(vb::DispatchCall& call);
    HRESULT DoCommandMethod(vb::DispatchCall& call);

    // Output ports (private).

    // Results database (private).

    // Device database (private).
    // Opens (or creates) the device database named by the configuration.
    void OpenDeviceDatabase();

    // Device definition import (private).

    void SetValue(std::wstring& member, const std::wstring& value);
    void AddHookedFile(const std::wstring& path);
    static bool ContainsPath(const std::vector<std::wstring>& files, const std::wstring& path);
    // Starts or stops the hook library's watch; TRUE when it is in the requested state.
    BOOL SwitchHooking(bool on);

    int version_ = 1;
    std::wstring hashCode_;
    BOOL dirty_ = FALSE;
    std::wstring prnFolder_;
    std::wstring prnFolderRef_;
    std::wstring driverName_;
    std::wstring modelName_;
    std::wstring scriptName_;
    std::wstring output_;
    BOOL stop_ = FALSE;
    BOOL usesOutput_ = TRUE;
    std::wstring programFolder_;
    ProfileFile settings_;
    // Destroyed from the last to the first: the pipes first, the device database last.
    CDbConnection deviceDb_;
    CDbConnection resultsDb_;
    CMSScriptObject script_;
    CDriverWrapper driver_;
    CRunContext runContext_;
    HWND logWindow_ = nullptr;
    CPipeList pipes_;
    std::vector<std::wstring> hookedFiles_;
    vb::ComPtr<ITypeLib> typeLibrary_;
};
