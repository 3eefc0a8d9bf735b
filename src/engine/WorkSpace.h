#pragma once
#include <windows.h>
#include <oaidl.h>

#include <optional>
#include <string>
#include <vector>

#include "AutomationObject.h"
#include "CheckListView.h"
#include "ComboBoxView.h"
#include "ComPtr.h"
#include "DbConnection.h"
#include "DeviceStorage.h"
#include "DriverHandler.h"
#include "DriverWrapper.h"
#include "MSScriptObject.h"
#include "PipeList.h"
#include "ProfileFile.h"
#include "RunContext.h"
#include "ScriptItem.h"
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
    // The driver's settings file of every run, beside the print file.
    std::wstring SettingsFilePath() const { return programFolder_ + L"Output\\USER.INI"; }

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
    // A printer port as the spooler reports it.
    struct PortRecord {
        std::wstring name;
        DWORD type = 0;
    };
    static std::vector<PortRecord> ReadSpoolerPorts();
    // The ports offered for output: read-and-write ports only, trailing ':' cut, the spooler's
    // own "USB0" ports left out (the USB entries stand for them).
    static std::vector<std::wstring> PrinterPorts(const std::vector<PortRecord>& ports);
    // Fills the output combo box and selects the configured output; the number of entries added.
    int FillPortList(HWND combo);
    int FillPortList(HWND combo, const std::vector<PortRecord>& spoolerPorts);
    int EnumUsbPrinters(std::vector<std::wstring>& ports);
    BOOL GetUsbDevicePath(std::wstring& port);
    void SendToPort(const std::wstring& file, BOOL toDevice);
    // The copy a Test run sends for a job that named its output: ...\print.txt and A/B give
    // ...\print_A_B.txt.
    static std::wstring CopyNameFor(const std::wstring& jobFile, const std::wstring& subItem);

    // Results database.
    // The connection string of a database file, as every connection of the program is opened.
    static std::wstring DatabaseConnectionString(const std::wstring& path);
    // Data\<family key>.mdb under the program folder: the family of the configuration's
    // DriverName.
    std::wstring ResultsDatabasePath() const;
    // Makes the file from the template when it is missing and opens the results connection on
    // it, giving it its table OUTPUT when that is missing. FALSE only when the file cannot be
    // made; a file that does not open leaves the connection closed, and nothing is stored.
    BOOL OpenResultsDatabase(const std::wstring& path);
    // Stores a print job of a Build run: the files it lists and the hooked files, each under
    // the run's sub-item + "::" + its name, then the job's file under the sub-item.
    BOOL StoreOutput(const std::wstring& mainFile);
    // Stores one file under `run`'s key, with the job's resource changes; TRUE when the row
    // and its data were written.
    BOOL StoreOutputItem(const std::wstring& file, const CRunContext& run, const RunResourceRecord& delta);
    // The Base64 text of REF_DATA (reference key) or CMP_DATA of the key's row; FALSE when the
    // row is missing or the query fails.
    BOOL GetOutputData(std::wstring& out, const COutputKey& key);
    // Opens the selected family's results database and lists its failed rows, or all rows, in
    // the report list view `list`.
    void LoadResultsList(HWND list, BOOL failedOnly);
    // One entry per row of a two-column query on the device database: column 1 -> column 2,
    // or `format` filled with (column 2, column 1) when it is given.
    void QueryTextColumns(std::map<std::wstring, std::wstring>& out, const std::wstring& sql,
                          const std::wstring& format);

    // Device database.
    // Writes the empty database template to `path` unless a file is there already; `created`
    // becomes TRUE only when it was written now. Shared by the device and results databases.
    BOOL CreateDatabaseFile(LPCWSTR path, BOOL* created);
    // List fills of the main dialog: each runs one query and closes its rowset.
    void LoadFamilyList(vb::ComboBoxView combo, LPCWSTR family);
    void LoadModelList(vb::CheckListView list, std::map<std::wstring, std::wstring>* catalogs);
    int LoadScriptList(vb::CheckListView list);
    int FillListBox(vb::CheckListView list, LPCWSTR sql, LPCWSTR savedSelection,
                    std::map<std::wstring, std::wstring>* texts);
    BOOL LoadScript(CScriptItem& item);
    // `update` 0 only inserts a missing row; 1 also rewrites a row whose texts changed.
    BOOL SaveScript(const CScriptItem& item, int update);
    int NewScript(vb::CheckListView list, CScriptItem& item);
    // Never the global script (key 0).
    BOOL DeleteScript(const CScriptItem& item);

    // Device definition import.
    // True when the tables were replaced; rows that the database refused are left out and
    // reported in one box.
    bool ImportDeviceDefinitions(CDeviceStorage& storage);

    // Batch run.
    // The progress message the log pane's parent receives before each model (wParam: its
    // name) and each script of a Build run (lParam: its name).
    static constexpr UINT kProgressMessage = WM_USER + 0x200;
    // mode 1: snapshot with the reference build, stored as reference data; 0: comparison.
    // Returns when the run has ended: TRUE when the last script executed succeeded and the run
    // ended without an error. Refused while a run is under way (the log says so).
    BOOL RunBatch(int mode, std::vector<CScriptItem>& scripts, const std::vector<std::wstring>& models,
                  const std::wstring& currentModel, BOOL test, HWND logPane);
    // A fresh script engine with `Me` and `Driver`; FALSE while the host is busy.
    BOOL InitScriptHost();

    // Application object: the script's `Me`.
    static vb::DispatchTable<CWorkSpace> Members();
    static DISPID DefaultMember() noexcept;
    static const IID* const* InterfaceIds() noexcept;
    // One type description: IApplication, from the program's own type library.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
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
    // Batch run (private).
    // Where a run's clean-up begins; every run ends through the same steps from there on.
    enum class BatchCleanup { UnloadDriver, CloseResults, LogEnd };
    struct BatchRun;
    // Database, driver, script host and code; the clean-up to begin with when the run cannot
    // go on, nothing when it can.
    std::optional<BatchCleanup> PrepareBatch(BatchRun& run);
    void RunBatchModels(BatchRun& run);
    // One script on the current model: true when it succeeded.
    bool RunBatchScript(BatchRun& run, const CScriptItem& script);
    BOOL EndBatch(BatchRun& run, BatchCleanup from);
    // The message pumping of StopProcess can reach the dialog's Build and Test buttons again.
    bool batchRunning_ = false;

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
    void SendJobOutput(const std::wstring& jobFile, const std::wstring& subItem, const std::wstring& extra);
    void ShowInNotepad(const std::wstring& file);
    void SetUpSerialLine(HANDLE port);
    bool SendBytes(HANDLE port, const char* data, DWORD length);
    static BOOL OpenInNotepad(const std::wstring& file);

    // Results database (private).
    enum class StoreResult { Failed, StoredEmpty, Stored };
    StoreResult StoreItem(const std::wstring& file, const CRunContext& run, const RunResourceRecord& delta);
    // 1 with the text when the row exists, 0 when it does not, -1 when the query failed (the
    // box was shown).
    int ReadOutputData(std::wstring& out, const COutputKey& key);
    // The Build run's part of a job end: the job's files, then its extra data.
    void StoreJobOutput(const std::wstring& jobFile, const std::wstring& subItem, const std::wstring& extra);
    // Only the driver's own leftovers may go: files under Output\ other than the job's file,
    // the print file, their ".ext" files and the settings file.
    bool IsDisposableOutput(const std::wstring& path, const std::wstring& jobFile) const;
    // The extra data of a job, in the thread's code page, into `path` (created or truncated).
    static bool WriteExtraDataFile(const std::wstring& path, const std::wstring& extra);
    // Writes a job's non-empty extra data and names the item "<sub-item>::EXTDATA".
    bool WriteExtraData(const std::wstring& path, const std::wstring& subItem, const std::wstring& extra);

    // Device database (private).
    // Opens (or creates) the device database named by the configuration.
    void OpenDeviceDatabase();
    // Opens the device connection on `path`, made complete first when it is missing; empty
    // when it is open, else why it is not (the file is left as it is).
    std::wstring OpenDeviceConnection(const std::wstring& path);
    // Creates Data\Data.mdb complete under a temporary name and renames it; empty when the file
    // is there afterwards, else why it is not.
    std::wstring CreateDeviceDatabase(const std::wstring& path);
    // Gives an open device database its missing tables and global script row, all at once;
    // false when it is still incomplete (read-only, locked, or a statement failed).
    bool CompleteDeviceDatabase();
    void OfferDefinitionImport(const std::wstring& definitionFile);
    enum class ScriptRow { Found, Missing, Failed };
    // The stored texts of `item.KEY` into `item`; Failed, after the box, when the query fails.
    ScriptRow ReadScriptRow(CScriptItem& item);
    // The INSERT of a missing row, or with `update` 1 the UPDATE of a changed one; empty when
    // there is nothing to write.
    std::wstring ScriptWriteStatement(const CScriptItem& item, int update);
    // The models of the configuration's family with their catalogues, as two columns.
    std::wstring FamilyModelsQuery() const;

    // Device definition import (private).

    void SetValue(std::wstring& member, const std::wstring& value);
    void AddHookedFile(const std::wstring& path);
    static bool ContainsPath(const std::vector<std::wstring>& files, const std::wstring& path);
    // Starts or stops the hook library's watch; TRUE when it is in the requested state.
    BOOL SwitchHooking(bool on);
    // Stops whatever the hook library does, started or not, and forgets the files it reported.
    void EndHooking();

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
