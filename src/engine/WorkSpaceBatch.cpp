// The batch run: one driver build, a device context per model and the selected scripts on each,
// while the print events store (Build) or send (Test) what the driver writes.
#include "ResourceIds.h"
#include "Resources.h"
#include "Strings.h"
#include "WaitCursor.h"
#include "WorkSpace.h"

namespace {

constexpr wchar_t kGlobalScriptName[] = L"#Global_Script";
constexpr wchar_t kProcedureText[] = L"\r\nSub ScriptItem_%s()\r\n%s\r\nEnd Sub\r\n";
constexpr wchar_t kProcedureName[] = L"ScriptItem_%s";
// VBScript takes it only as the first statement of a text, so it leads the statement and
// never follows the global script's code.
constexpr wchar_t kOptionExplicit[] = L"Option Explicit\r\n";
constexpr wchar_t kAlreadyRunning[] = L"A batch process is already running: no other one is started.";
constexpr wchar_t kHostNotReady[] = L"The script host cannot be prepared.";

// Script keys are counted as unsigned numbers in procedure names, as in every statement.
std::wstring KeyText(int key) { return std::to_wstring(static_cast<unsigned>(key)); }

// Script hosts end their lines with LF, CR LF or both: the log pane wants CR LF.
std::wstring WithCrLf(const std::wstring& text) {
    return vb::ReplaceAll(vb::ReplaceAll(text, L"\r\n", L"\n"), L"\n", L"\r\n");
}

// Sent, not posted: the dialog shows the step before the run goes on.
void SendProgress(HWND mainWindow, const wchar_t* model, const wchar_t* script) {
    if (!mainWindow) return;
    ::SendMessageW(mainWindow, CWorkSpace::kProgressMessage, reinterpret_cast<WPARAM>(model),
                   reinterpret_cast<LPARAM>(script));
}

class RunningMark {
public:
    explicit RunningMark(bool& mark) noexcept : mark_(mark) { mark_ = true; }
    ~RunningMark() { mark_ = false; }
    RunningMark(const RunningMark&) = delete;
    RunningMark& operator=(const RunningMark&) = delete;

private:
    bool& mark_;
};

}  // namespace

// The run's own copies of the lists: the dialog's handlers, entered again while a script pumps
// messages, may change the lists it passed in.
struct CWorkSpace::BatchRun {
    BatchRun(int runMode, bool testRun, std::vector<CScriptItem>& scriptList,
             const std::vector<std::wstring>& modelList, const std::wstring& current)
        : mode(runMode), test(testRun), selected(scriptList), models(modelList), currentModel(current) {}

    int mode;
    bool test;
    std::vector<CScriptItem>& selected;
    std::vector<CScriptItem> scripts;
    std::vector<std::wstring> models;
    std::wstring currentModel;
    HWND mainWindow = nullptr;
    CScriptItem global{0};
    std::wstring error;
    BOOL result = FALSE;
};

BOOL CWorkSpace::RunBatch(int mode, std::vector<CScriptItem>& scripts, const std::vector<std::wstring>& models,
                          const std::wstring& currentModel, BOOL test, HWND logPane) {
    if (batchRunning_) {
        LogError(kAlreadyRunning);
        return FALSE;
    }
    RunningMark running(batchRunning_);
    vb::WaitCursor wait;
    SetLogWindow(logPane);
    stop_ = FALSE;
    usesOutput_ = TRUE;

    BatchRun run(mode, test != FALSE, scripts, models, currentModel);
    if (models.empty() || scripts.empty()) {
        run.error = vb::FormatResString(IDS_BATCH_NOTHING_SELECTED, {kGlobalScriptName});
        return EndBatch(run, BatchCleanup::LogEnd);
    }
    run.mainWindow = logPane ? ::GetParent(logPane) : nullptr;
    if (std::optional<BatchCleanup> from = PrepareBatch(run)) return EndBatch(run, *from);
    RunBatchModels(run);
    return EndBatch(run, BatchCleanup::UnloadDriver);
}

std::optional<CWorkSpace::BatchCleanup> CWorkSpace::PrepareBatch(BatchRun& run) {
    // Folders are kept with their trailing '\' (or empty) from the moment they are set.
    const std::wstring& driverFolder = run.mode != 0 ? prnFolderRef_ : prnFolder_;
    const std::wstring family = FamilyKey(driverName_);
    runContext_.key.reference = run.mode == 1 ? TRUE : FALSE;
    if (logWindow_ && ::IsWindow(logWindow_)) ::SetWindowTextW(logWindow_, L"");
    Log(L"Start processing...\r\n");

    const std::wstring printFile = PrintFilePath();
    // Without its folder every job would be lost, and the run would still look good.
    if (!EnsureFolderPath(printFile)) {
        const std::wstring folder = printFile.substr(0, printFile.rfind(L'\\'));
        run.error = vb::FormatResString(IDS_BATCH_OUTPUT_FOLDER_NOT_MADE, {folder});
        return BatchCleanup::LogEnd;
    }
    Log(vb::FormatTemplate(L"Output file[%s].", {printFile}));
    const std::wstring driverPath = driverFolder + family + L".prn";
    Log(vb::FormatTemplate(L"Loading driver [%s].", {driverPath}));
    const std::wstring settingsFile = SettingsFilePath();

    if (!run.test) {
        const std::wstring database = ResultsDatabasePath();
        Log(vb::FormatTemplate(L"Opening database [%s].", {database}));
        if (!OpenResultsDatabase(database)) {
            run.error = vb::FormatResString(IDS_BATCH_DATABASE_NOT_OPENED, {database});
            return BatchCleanup::LogEnd;
        }
        SaveSelection(run.models, run.currentModel, TRUE);
        // Without its connection a Build run would print every job and keep none of them.
        if (!resultsDb_.IsOpen()) {
            run.error = vb::FormatResString(IDS_BATCH_DATABASE_NOT_OPENED, {database});
            return BatchCleanup::CloseResults;
        }
    }

    if (!driver_.Load(driverPath, printFile, settingsFile, runContext_.key.reference)) {
        run.error = vb::FormatResString(IDS_BATCH_DRIVER_NOT_LOADED, {driverPath});
        return BatchCleanup::CloseResults;
    }
    LoadScript(run.global);
    // Scripts run without `Me` or `Driver` would each fail on their first call.
    if (!InitScriptHost()) {
        run.error = script_.LastComError().empty() ? kHostNotReady : script_.LastComError();
        return BatchCleanup::UnloadDriver;
    }

    if (!run.test) {
        std::wstring code = run.global.DATA;
        for (CScriptItem& script : run.selected) {
            if (script.KEY == 0) continue;
            LoadScript(script);
            code += vb::FormatTemplate(kProcedureText, {KeyText(script.KEY), script.DATA});
        }
        // Code that did not go in leaves procedures missing: nothing may run on it.
        if (!code.empty() && !script_.AddCode(code.c_str())) {
            script_.GetErrorString(run.error);
            stop_ = TRUE;
            return BatchCleanup::UnloadDriver;
        }
    }
    // Taken once the reloaded texts are in: no message has been pumped yet.
    run.scripts = run.selected;
    return std::nullopt;
}

void CWorkSpace::RunBatchModels(BatchRun& run) {
    for (const std::wstring& model : run.models) {
        runContext_.key.SetModel(model.c_str());
        Log(vb::FormatTemplate(L"\r\nCreating DC with model [%s].", {model}));
        SendProgress(run.mainWindow, model.c_str(), nullptr);
        if (!driver_.CreateDriverDC(model, run.mainWindow)) {
            run.error = vb::FormatResString(IDS_BATCH_NO_DEVICE_CONTEXT, {model});
            return;
        }
        for (const CScriptItem& script : run.scripts) {
            const bool succeeded = RunBatchScript(run, script);
            run.result = succeeded ? TRUE : FALSE;
            // A stop asked for during the script outweighs its failure.
            if (stop_) return;
            if (!succeeded) {
                script_.GetErrorString(run.error);
                stop_ = TRUE;
                return;
            }
        }
        if (stop_) return;
    }
}

bool CWorkSpace::RunBatchScript(BatchRun& run, const CScriptItem& script) {
    if (run.test) {
        runContext_.key.KEY = -1;
        // The global script alone runs as it stands; any other gets the global code first.
        std::wstring statement;
        if (script.KEY != 0) {
            if (!run.global.DATA.empty() && !script_.AddCode(run.global.DATA.c_str())) return false;
            statement = kOptionExplicit;
        }
        Log(vb::FormatTemplate(L"Testing VB script [%s].", {script.NAME}));
        statement += script.DATA;
        return script_.ExecuteStatement(statement.c_str()) != FALSE;
    }
    if (script.KEY == 0) return true;
    SendProgress(run.mainWindow, nullptr, script.NAME.c_str());
    runContext_.key.KEY = script.KEY;
    Log(vb::FormatTemplate(L"Running VB script [%s].", {script.NAME}));
    return script_.Run(vb::FormatTemplate(kProcedureName, {KeyText(script.KEY)}).c_str()) != FALSE;
}

BOOL CWorkSpace::EndBatch(BatchRun& run, BatchCleanup from) {
    // A job broken off before its end leaves its watch on, a script may leave a substitution in
    // place: neither may reach into the next run, which would find hooking on and start none
    // for its own driver. Ended while the driver is still loaded, so its imports are put back.
    EndHooking();
    if (from == BatchCleanup::UnloadDriver) {
        driver_.Unload();
        pipes_.CloseAll();
    }
    if (from != BatchCleanup::LogEnd) resultsDb_.Close(TRUE);
    Log(stop_ ? L"\r\nAbort processing..." : L"\r\nEnd processing...");
    if (!run.error.empty()) {
        LogError(WithCrLf(run.error));
        // A failed script may have left the engine half-run: the next run starts on a fresh one.
        InitScriptHost();
    }
    SetLogWindow(nullptr);
    // A run that ended on an error did not do what was asked, whatever its last script did.
    return run.error.empty() ? run.result : FALSE;
}

BOOL CWorkSpace::InitScriptHost() {
    if (!script_.HasEngine()) {
        if (!script_.Init()) return FALSE;
    } else {
        if (script_.IsBusy()) return FALSE;
        script_.SetBusy(true);
        script_.Reset();
        script_.SetBusy(false);
    }
    // Both are tried: a refusal of the first is shown, and the second may still be usable.
    const BOOL me = script_.AddObject(L"Me", AsDispatch());
    const BOOL driver = script_.AddObject(L"Driver", driver_.AsDispatch());
    return me && driver ? TRUE : FALSE;
}
