// The family's results database: storing what a Build run's print jobs wrote, and reading it
// back for the comparison and the result viewer.
#include <algorithm>
#include <cstring>
#include <optional>
#include <string_view>

#include "Base64.h"
#include "Bstr.h"
#include "DbTransaction.h"
#include "SqlQuoting.h"
#include "Strings.h"
#include "UniqueHandle.h"
#include "WorkSpace.h"

namespace {

constexpr wchar_t kConnectionFormat[] = L"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=%s;User Id=admin;Password=;";

constexpr wchar_t kCreateOutput[] =
    L"CREATE TABLE [OUTPUT] ([NAME] VARCHAR(64) NOT NULL,[KEY] LONG NOT NULL,[KEY_SUB] VARCHAR(192) NOT NULL,"
    L"[REF_USER] VARCHAR(32),[REF_SYSTEM] VARCHAR(64),[REF_DRV_VERSION] VARCHAR(16),[REF_DATE] DATE,[REF_DATA] MEMO,"
    L"[REF_DURATION] LONG,[REF_GDI_OBJ] LONG,[REF_USR_OBJ] LONG,[REF_MEM_USAGE] LONG,[CMP_USER] VARCHAR(32),"
    L"[CMP_SYSTEM] VARCHAR(64),[CMP_DRV_VERSION] VARCHAR(16),[CMP_DATE] DATE,[CMP_DATA] MEMO,[CMP_DURATION] LONG,"
    L"[CMP_GDI_OBJ] LONG,[CMP_USR_OBJ] LONG,[CMP_MEM_USAGE] LONG,[SUCCESS] YESNO NOT NULL, CONSTRAINT OUTPUT_INDEX "
    L"PRIMARY KEY ([NAME], [KEY], [KEY_SUB]))";
// Asks only whether the table is there; it reads no row.
constexpr wchar_t kProbeOutput[] = L"SELECT [KEY] FROM [OUTPUT] WHERE 1 = 0";

constexpr wchar_t kUpdateRef[] =
    L"UPDATE [OUTPUT]  SET [REF_USER] = '%s',[REF_SYSTEM] = '%s',[REF_DRV_VERSION] = '%s',[REF_DATE] = '%s',"
    L"[REF_DATA] = '%s',[REF_DURATION] = %u,[REF_GDI_OBJ] = %d,[REF_USR_OBJ] = %d,[REF_MEM_USAGE] = %d,[SUCCESS] = %d "
    L"WHERE [NAME] = '%s' AND [KEY] = %u AND [KEY_SUB] = '%s'";
constexpr wchar_t kUpdateCmp[] =
    L"UPDATE [OUTPUT]  SET [CMP_USER] = '%s',[CMP_SYSTEM] = '%s',[CMP_DRV_VERSION] = '%s',[CMP_DATE] = '%s',"
    L"[CMP_DATA] = '%s',[CMP_DURATION] = %u,[CMP_GDI_OBJ] = %d,[CMP_USR_OBJ] = %d,[CMP_MEM_USAGE] = %d,[SUCCESS] = %d "
    L"WHERE [NAME] = '%s' AND [KEY] = %u AND [KEY_SUB] = '%s'";
constexpr wchar_t kInsertRef[] =
    L"INSERT INTO [OUTPUT] ([REF_USER],[REF_SYSTEM],[REF_DRV_VERSION],[REF_DATE],[REF_DATA],[REF_DURATION],"
    L"[REF_GDI_OBJ],[REF_USR_OBJ],[REF_MEM_USAGE],[SUCCESS],[NAME],[KEY],[KEY_SUB]) VALUES ( '%s', '%s', '%s', "
    L"'%s', '%s', %u, %d, %d, %d, %d, '%s', %u, '%s')";
constexpr wchar_t kInsertCmp[] =
    L"INSERT INTO [OUTPUT] ([CMP_USER],[CMP_SYSTEM],[CMP_DRV_VERSION],[CMP_DATE],[CMP_DATA],[CMP_DURATION],"
    L"[CMP_GDI_OBJ],[CMP_USR_OBJ],[CMP_MEM_USAGE],[SUCCESS],[NAME],[KEY],[KEY_SUB]) VALUES ( '%s', '%s', '%s', "
    L"'%s', '%s', %u, %d, %d, %d, %d, '%s', %u, '%s')";
constexpr wchar_t kReadSelectRef[] =
    L"SELECT [REF_DATA] FROM [OUTPUT] WHERE [NAME] = '%s' AND [KEY] = %u AND [KEY_SUB] = '%s'";
constexpr wchar_t kReadSelectCmp[] =
    L"SELECT [CMP_DATA] FROM [OUTPUT] WHERE [NAME] = '%s' AND [KEY] = %u AND [KEY_SUB] = '%s'";

// Base64 texts above this many bytes are stored with a warning in the log.
constexpr UINT kHugeData = 0x32000;

// Widths of the text columns: a longer value would fail the whole statement.
constexpr size_t kUserWidth = 32;
constexpr size_t kSystemWidth = 64;
constexpr size_t kVersionWidth = 16;

constexpr wchar_t kExtraDataName[] = L"EXTDATA";

// A value that goes into the statement bound, not spelled out.
constexpr std::nullopt_t kBound = std::nullopt;

// The statements keep their printf form; every placeholder (%s, %u, %d) takes a text, in turn.
// A placeholder given kBound becomes a parameter marker, with the quotes around it.
std::wstring FillStatement(std::wstring_view pattern, std::initializer_list<std::optional<std::wstring_view>> args) {
    std::wstring result;
    auto next = args.begin();
    for (size_t i = 0; i < pattern.size(); ++i) {
        const bool placeholder = pattern[i] == L'%' && i + 1 < pattern.size() &&
                                 std::wstring_view(L"sud").find(pattern[i + 1]) != std::wstring_view::npos;
        if (!placeholder || next == args.end()) {
            result.push_back(pattern[i]);
            continue;
        }
        const std::optional<std::wstring_view>& arg = *next++;
        ++i;
        if (arg) {
            result.append(*arg);
            continue;
        }
        if (!result.empty() && result.back() == L'\'' && i + 1 < pattern.size() && pattern[i + 1] == L'\'') {
            result.pop_back();
            ++i;
        }
        result.push_back(L'?');
    }
    return result;
}

std::wstring Unsigned(long long value) { return std::to_wstring(static_cast<unsigned long>(value)); }
std::wstring Signed(DWORD value) { return std::to_wstring(static_cast<long>(value)); }

// As much of `text` as its column holds once quoted (a CR LF is stored as four characters),
// quoted; a surrogate pair is never split.
std::wstring FitColumn(std::wstring_view text, size_t width) {
    size_t used = 0;
    size_t end = 0;
    while (end < text.size()) {
        bool lineBreak = text.substr(end, 2) == L"\r\n";
        size_t cost = lineBreak ? 4 : 1;
        if (used + cost > width) break;
        used += cost;
        end += lineBreak ? 2 : 1;
    }
    if (end > 0 && end < text.size() && IS_HIGH_SURROGATE(text[end - 1])) --end;
    return vb::QuoteForSql(text.substr(0, end));
}

// Base64 is ASCII: the text read back is compared with the new one character by character.
bool SameText(std::wstring_view stored, std::string_view encoded) {
    return std::equal(stored.begin(), stored.end(), encoded.begin(), encoded.end(),
                      [](wchar_t c, char b) { return c == static_cast<unsigned char>(b); });
}

// The file in Base64; nothing when it cannot be opened or read whole. An empty file gives an
// empty text, which is a capture of its own.
std::optional<vb::Bstr> EncodeCapture(const std::wstring& path) {
    vb::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.Get(), &size)) return std::nullopt;
    vb::Bstr text;
    CBase64 codec;
    codec.Encode(file, text.Put());
    // The encoder ends its text early where a read fails, and gives an empty text when it
    // cannot hold the whole file: a capture cut short must not be stored as the capture.
    unsigned long long expected = (static_cast<unsigned long long>(size.QuadPart) + 2) / 3 * 4;
    auto bytes = reinterpret_cast<const char*>(text.Get());
    if (!bytes || std::strlen(bytes) != expected) return std::nullopt;
    return text;
}

std::wstring FullLongPath(const std::wstring& path) {
    wchar_t full[MAX_PATH * 2];
    DWORD length = ::GetFullPathNameW(path.c_str(), MAX_PATH * 2, full, nullptr);
    if (length == 0 || length >= MAX_PATH * 2) return path;
    wchar_t longPath[MAX_PATH * 2];
    length = ::GetLongPathNameW(full, longPath, MAX_PATH * 2);
    return length && length < MAX_PATH * 2 ? longPath : full;
}

}  // namespace

std::wstring CWorkSpace::DatabaseConnectionString(const std::wstring& path) {
    return vb::FormatTemplate(kConnectionFormat, {path});
}

std::wstring CWorkSpace::ResultsDatabasePath() const {
    return programFolder_ + L"Data\\" + FamilyKey(driverName_) + L".mdb";
}

BOOL CWorkSpace::OpenResultsDatabase(const std::wstring& path) {
    BOOL created = FALSE;
    if (!CreateDatabaseFile(path.c_str(), &created)) return FALSE;
    if (!resultsDb_.Open(DatabaseConnectionString(path).c_str())) return TRUE;
    // Not only a file made just now: a run ended between making the file and its table would
    // otherwise leave a database that no later run could store into.
    bool hasTable = SUCCEEDED(resultsDb_.OpenRowset(kProbeOutput));
    resultsDb_.Close();
    if (!hasTable) resultsDb_.Execute(kCreateOutput, 1);
    return TRUE;
}

BOOL CWorkSpace::StoreOutput(const std::wstring& mainFile) {
    std::vector<std::wstring> files;
    if (!ReadPrnSubFiles(mainFile, files)) return FALSE;
    RunResourceRecord delta{};
    runContext_.GetResourceDelta(delta);
    if (!files.empty()) {
        // The key holds its sub-item quoted; it is named anew from the plain text.
        const std::wstring subItem = runContext_.key.KEY_SUB;
        const std::wstring plainSubItem = vb::UnquoteFromSql(subItem);
        for (const std::wstring& file : files) {
            runContext_.key.SetSubItemFromFile(plainSubItem.c_str(), file.c_str());
            if (StoreItem(file, runContext_, delta) != StoreResult::Failed && IsDisposableOutput(file, mainFile)) {
                ::DeleteFileW(file.c_str());
            }
        }
        runContext_.key.KEY_SUB = subItem;
    }
    return StoreOutputItem(mainFile, runContext_, delta);
}

BOOL CWorkSpace::StoreOutputItem(const std::wstring& file, const CRunContext& run, const RunResourceRecord& delta) {
    return StoreItem(file, run, delta) == StoreResult::Stored ? TRUE : FALSE;
}

CWorkSpace::StoreResult CWorkSpace::StoreItem(const std::wstring& file, const CRunContext& run,
                                              const RunResourceRecord& delta) {
    if (file.empty() || !resultsDb_.IsOpen() || !FileExists(file)) return StoreResult::Failed;
    const COutputKey& key = run.key;
    std::optional<vb::Bstr> encoded = EncodeCapture(file);
    if (!encoded) {
        LogError(vb::FormatTemplate(L"The output file [%s] cannot be read; it is not stored.", {file}));
        return StoreResult::Failed;
    }
    // The size is the encoder's buffer, as the huge-data warning counts it; the text ends at its
    // NUL, and the one or two bytes the buffer holds after it are no part of what is stored.
    const UINT size = ::SysStringByteLen(encoded->Get());
    std::string text(reinterpret_cast<const char*>(encoded->Get()));
    encoded.reset();

    auto notStored = [&](const std::wstring& reason) {
        LogError(vb::FormatTemplate(L"The output data of [%s] were not stored: %s",
                                    {vb::UnquoteFromSql(key.KEY_SUB), reason}));
        return StoreResult::Failed;
    };
    // The other column is judged as it is when the row is written.
    CDbTransaction transaction(resultsDb_);
    if (!transaction.IsActive()) return notStored(resultsDb_.LastErrorText());
    COutputKey other = key;
    other.reference = !key.reference;
    std::wstring otherText;
    int found = ReadOutputData(otherText, other);
    if (found < 0) return StoreResult::Failed;

    const std::wstring keyText = Unsigned(key.KEY);
    if (size > kHugeData) {
        Log(vb::FormatTemplate(L"Huge data on Script(%s) / %s / %s kb)",
                               {keyText, vb::UnquoteFromSql(key.KEY_SUB), std::to_wstring(size / 1024)}));
    }
    // The data go in as a bound value of the same statement: the row, which may hold the other
    // run's data beside them, is rewritten once.
    const std::wstring statement = FillStatement(
        found ? (key.reference ? kUpdateRef : kUpdateCmp) : (key.reference ? kInsertRef : kInsertCmp),
        {FitColumn(run.UserName(), kUserWidth), FitColumn(run.SystemDescription(), kSystemWidth),
         FitColumn(driver_.VersionText(), kVersionWidth), FormatCurrentDateTime(), kBound,
         Unsigned(run.GetElapsedMs()), Signed(delta.gdiObjects), Signed(delta.userObjects),
         Signed(static_cast<DWORD>(delta.memory.PrivateUsage)), SameText(otherText, text) ? L"-1" : L"0", key.NAME,
         keyText, key.KEY_SUB});
    if (!resultsDb_.Execute(statement.c_str(), 1, FALSE, {vb::DbCell::Utf8Text(std::move(text))})) {
        return StoreResult::Failed;
    }
    if (!transaction.Commit()) return notStored(resultsDb_.LastErrorText());
    return size == 0 ? StoreResult::StoredEmpty : StoreResult::Stored;
}

BOOL CWorkSpace::GetOutputData(std::wstring& out, const COutputKey& key) {
    return ReadOutputData(out, key) > 0 ? TRUE : FALSE;
}

int CWorkSpace::ReadOutputData(std::wstring& out, const COutputKey& key) {
    out.clear();
    if (!resultsDb_.IsOpen()) return -1;
    const std::wstring sql =
        FillStatement(key.reference ? kReadSelectRef : kReadSelectCmp, {key.NAME, Unsigned(key.KEY), key.KEY_SUB});
    HRESULT result = resultsDb_.OpenRowset(sql.c_str());
    if (!resultsDb_.HasRowset()) {
        vb::ShowSqlFailure(result, sql);
        return -1;
    }
    if (resultsDb_.LastResult() == vb::kDbEndOfRowset) return 0;
    out = resultsDb_.GetString(1);
    // Rows stored while the store bound the encoder's whole buffer end in one or two NULs, which
    // no Base64 text holds: read without them, such rows still compare with new ones.
    out.erase(out.find_last_not_of(L'\0') + 1);
    return 1;
}

void CWorkSpace::StoreJobOutput(const std::wstring& jobFile, const std::wstring& subItem, const std::wstring& extra) {
    StoreOutput(jobFile);
    const std::wstring extraFile = jobFile + L".ext";
    if (!WriteExtraData(extraFile, subItem, extra)) return;
    // One item of its own: read as a list of files, extra data naming a file would have that
    // file stored and deleted.
    RunResourceRecord delta{};
    runContext_.GetResourceDelta(delta);
    StoreOutputItem(extraFile, runContext_, delta);
}

bool CWorkSpace::WriteExtraData(const std::wstring& path, const std::wstring& subItem, const std::wstring& extra) {
    if (extra.empty() || !WriteExtraDataFile(path, extra)) return false;
    runContext_.key.SetSubItem(((subItem.empty() ? L"" : subItem + L"::") + kExtraDataName).c_str());
    return true;
}

bool CWorkSpace::WriteExtraDataFile(const std::wstring& path, const std::wstring& extra) {
    vb::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                      nullptr));
    if (!file) return false;
    const std::string bytes = vb::ToAnsi(extra);
    DWORD written = 0;
    if (::WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
        written == bytes.size()) {
        return true;
    }
    // Half an extra text must not be stored or sent as if it were the whole.
    file.Reset();
    ::DeleteFileW(path.c_str());
    return false;
}

bool CWorkSpace::IsDisposableOutput(const std::wstring& path, const std::wstring& jobFile) const {
    const std::wstring folder = FullLongPath(programFolder_ + L"Output") + L"\\";
    const std::wstring file = FullLongPath(path);
    if (file.size() <= folder.size() || !vb::EqualsNoCase(std::wstring_view(file).substr(0, folder.size()), folder)) {
        return false;
    }
    for (const std::wstring& kept : {jobFile, jobFile + L".ext", PrintFilePath(), PrintFilePath() + L".ext",
                                     SettingsFilePath()}) {
        if (vb::EqualsNoCase(file, FullLongPath(kept))) return false;
    }
    return true;
}
