// The device definition file into the device database: the models that the families list,
// merged per model, and a name for every family key.
#include <algorithm>
#include <map>
#include <utility>

#include "DbErrors.h"
#include "DbTransaction.h"
#include "DeviceDef.h"
#include "DeviceStorage.h"
#include "Resources.h"
#include "Strings.h"
#include "WaitCursor.h"
#include "WorkSpace.h"

namespace {

constexpr wchar_t kFamiliesIndex[] = L"FAMILIES INDEX";
constexpr wchar_t kUnknownFamily[] = L"Unknown";
constexpr wchar_t kDeleteFamilies[] = L"DELETE * FROM [DRIVER_FAMILIES] ";
constexpr wchar_t kDeleteModels[] = L"DELETE * FROM [DRIVER_MODELS] ";
constexpr wchar_t kInsertModel[] =
    L"INSERT INTO [DRIVER_MODELS] ([KEY],[NAME],[CATALOG],[REFS]) VALUES ( '%s', '%s', '%s', %u )";
constexpr wchar_t kInsertFamily[] = L"INSERT INTO [DRIVER_FAMILIES] ([KEY],[NAME]) VALUES ( '%s', '%s' )";

constexpr wchar_t kNoIndex[] = L"The device definition file holds no readable family index; nothing was imported.";
constexpr wchar_t kNotWritable[] = L"The device database cannot be written (%s); nothing was imported.";
constexpr wchar_t kFailedCount[] = L"%s of %s statements failed; the others were imported.";
constexpr wchar_t kFirstShown[] = L"The first %s:";
constexpr wchar_t kNotReplaced[] = L"The tables could not be replaced after this failure; nothing was imported.";
// A box stays readable: the failures after these are only counted.
constexpr size_t kFailuresShown = 3;

// Names in the file's lists are separated by ";"; empty pieces name nothing.
std::vector<std::wstring> SplitList(const std::wstring& text) {
    std::vector<std::wstring> names;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(L';', start);
        if (end == std::wstring::npos) end = text.size();
        if (end > start) names.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return names;
}

// Key and name are stored as they stand; only the catalogue carries escaped line breaks.
std::wstring QuoteApostrophes(const std::wstring& text) { return vb::ReplaceAll(text, L"'", L"''"); }

// What the definition file says, merged: one record per model, and per family key how many
// listings each family name gave, in the order the names were first met.
class DefinitionSet {
public:
    bool Read(CDeviceStorage& storage);
    // The rows that replace the tables' contents: every model, then every family key.
    std::vector<std::wstring> Inserts() const;

private:
    using FamilyCounts = std::vector<std::pair<std::wstring, unsigned long>>;

    void ReadFamily(CDeviceStorage& storage, const std::wstring& family);
    void AddListing(const std::wstring& family, const std::vector<std::wstring>& model);
    static std::wstring NameOf(const FamilyCounts& counts);

    std::map<std::wstring, CDeviceDef> models_;
    std::map<std::wstring, FamilyCounts> families_;
};

bool DefinitionSet::Read(CDeviceStorage& storage) {
    if (storage.ReadObject(kFamiliesIndex) != CDeviceStorage::kOk || storage.Strings().size() < 2) return false;
    for (const auto& family : SplitList(storage.Strings()[1])) ReadFamily(storage, family);
    return true;
}

void DefinitionSet::ReadFamily(CDeviceStorage& storage, const std::wstring& family) {
    std::vector<std::wstring> strings;
    if (storage.GetFamilyStrings(family, &strings) != CDeviceStorage::kOk || strings.size() < 2) return;
    std::vector<std::wstring> model;
    for (const auto& listing : SplitList(strings[1])) {
        if (storage.GetModelStrings(listing, &model) == CDeviceStorage::kOk && model.size() >= 3) {
            AddListing(family, model);
        }
    }
}

// `model` holds the listing name, the model name and the family key.
void DefinitionSet::AddListing(const std::wstring& family, const std::vector<std::wstring>& model) {
    CDeviceDef fresh;
    fresh.modelName = model[1];
    fresh.familyKey = model[2];
    CDeviceDef& record = models_.try_emplace(fresh.ToString(), fresh).first->second;
    record.AddProperty(family, model[0]);
    ++record.refCount;

    FamilyCounts& counts = families_[record.familyKey];
    auto found = std::find_if(counts.begin(), counts.end(), [&](const auto& c) { return c.first == family; });
    if (found == counts.end()) {
        counts.emplace_back(family, 1);
    } else {
        ++found->second;
    }
}

// The family name that lists most of the key's models; on a tie the first one met, which is
// the first in the index, so the result does not depend on how the names happen to be stored.
std::wstring DefinitionSet::NameOf(const FamilyCounts& counts) {
    std::wstring name = kUnknownFamily;
    unsigned long best = 0;
    for (const auto& [family, count] : counts) {
        if (count > best) {
            name = family;
            best = count;
        }
    }
    return name;
}

std::vector<std::wstring> DefinitionSet::Inserts() const {
    std::vector<std::wstring> statements;
    statements.reserve(models_.size() + families_.size());
    for (const auto& entry : models_) {
        const CDeviceDef& record = entry.second;
        statements.push_back(vb::FormatTemplate(
            vb::ReplaceAll(kInsertModel, L"%u", std::to_wstring(record.refCount)),
            {QuoteApostrophes(record.familyKey), QuoteApostrophes(record.modelName), record.GetPropertiesText()}));
    }
    for (const auto& [key, counts] : families_) {
        statements.push_back(
            vb::FormatTemplate(kInsertFamily, {QuoteApostrophes(key), QuoteApostrophes(NameOf(counts))}));
    }
    return statements;
}

// The failures of one import, for the one box that reports them all.
struct StatementFailures {
    size_t count = 0;
    size_t total = 0;
    // The first few, each as the statement's own box text followed by the database's words.
    std::vector<std::wstring> shown;
    // The old rows could not be removed, or the database ended the transaction on its own
    // (whatever ran after that would stay written alone): nothing may be kept.
    bool fatal = false;
};

// Runs the statements inside the caller's transaction, going on after a failed one.
void RunStatements(CDbConnection& db, const std::vector<std::wstring>& statements, StatementFailures& failures) {
    for (const auto& sql : statements) {
        ++failures.total;
        HRESULT result = db.OpenRowset(sql.c_str(), FALSE);
        if (SUCCEEDED(result)) continue;
        failures.fatal = !db.InTransaction();
        // The failure that ends the import is the one its box names.
        if (failures.count++ < kFailuresShown || failures.fatal) {
            failures.shown.push_back(vb::SqlFailureText(result, sql) + L"\r\n" + db.LastErrorText());
        }
        if (failures.fatal) break;
    }
    db.Close();
}

void ShowFailures(const StatementFailures& failures) {
    std::wstring text;
    if (failures.fatal) {
        text = failures.shown.back() + L"\r\n\r\n" + kNotReplaced;
    } else {
        text = vb::FormatTemplate(kFailedCount, {std::to_wstring(failures.count), std::to_wstring(failures.total)});
        if (failures.count > failures.shown.size()) {
            text += L"\r\n" + vb::FormatTemplate(kFirstShown, {std::to_wstring(failures.shown.size())});
        }
        for (const auto& failure : failures.shown) text += L"\r\n\r\n" + failure;
    }
    vb::ShowMessageBox(text, MB_OK | MB_ICONERROR);
}

}  // namespace

bool CWorkSpace::ImportDeviceDefinitions(CDeviceStorage& storage) {
    vb::WaitCursor wait;
    if (!deviceDb_.IsOpen()) return false;
    DefinitionSet definitions;
    if (!definitions.Read(storage)) {
        vb::ShowMessageBox(kNoIndex, MB_OK | MB_ICONERROR);
        return false;
    }

    // One transaction: a crash halfway leaves the old tables. A row that fails is left out and
    // the rest goes in; the box comes after the commit, so the database is not held locked
    // while it is open.
    StatementFailures failures;
    bool committed = false;
    {
        CDbTransaction transaction(deviceDb_);
        if (transaction.IsActive()) {
            RunStatements(deviceDb_, {kDeleteFamilies, kDeleteModels}, failures);
            // Old rows that stayed would mix with the new ones.
            failures.fatal = failures.fatal || failures.count > 0;
            if (!failures.fatal) RunStatements(deviceDb_, definitions.Inserts(), failures);
            committed = !failures.fatal && transaction.Commit();
        }
    }
    if (failures.fatal || (committed && failures.count > 0)) ShowFailures(failures);
    if (!committed && !failures.fatal) {
        vb::ShowMessageBox(vb::FormatTemplate(kNotWritable, {deviceDb_.LastErrorText()}), MB_OK | MB_ICONERROR);
    }
    return committed;
}
