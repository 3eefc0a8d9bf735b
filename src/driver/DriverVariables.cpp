// Template variables of the script: the wrapper's map of records and the date/time formats.
#include <memory>
#include <new>

#include "CIVariable.h"
#include "DateTimeFormats.h"
#include "DriverWrapper.h"
#include "KeyedLookup.h"
#include "VariableRules.h"

namespace {
// Date and time capability words of the driver.
constexpr LONG kDateTimeCaps = 5;
constexpr LONG kDateWord = 0;
constexpr LONG kTimeWord = 2;
}  // namespace

BOOL CDriverWrapper::LookupVariable(_tagvarinfo& record) const {
    std::wstring key = varinfo::KeyOfRecord(record);
    if (key.empty()) return FALSE;
    auto found = variables_.find(key);
    if (found == variables_.end()) return FALSE;
    record = found->second;
    return TRUE;
}

void CDriverWrapper::UpdateVariable(const _tagvarinfo& record) {
    std::wstring key = varinfo::KeyOfRecord(record);
    if (!key.empty()) variables_[key] = record;
}

std::wstring CDriverWrapper::GetDateTime(long item) const {
    if (item < 0 || static_cast<size_t>(item) >= dateTimeFormats_.size()) return std::wstring();
    return dateTimeFormats_[static_cast<size_t>(item)];
}

void CDriverWrapper::BuildDateTimeList() {
    auto capability = [this](LONG subIndex) -> DWORD {
        if (!entry_.D_GetDrvCaps || !DeviceOpen()) return 0;
        return static_cast<DWORD>(entry_.D_GetDrvCaps(device_, kDateTimeCaps, subIndex));
    };
    DWORD dateWord = capability(kDateWord);
    DWORD timeWord = capability(kTimeWord);
    dateTimeFormats_ = BuildDateTimeFormats(dateWord, timeWord);
}

SYSTEMTIME CDriverWrapper::Now() const {
    if (clock_) return clock_();
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    return now;
}

// A new variable object for the script, or Nothing when memory runs out.
IDispatch* CDriverWrapper::NewVariable(const _tagvarinfo& record) {
    auto* variable = new (std::nothrow) CIVariable(this, record);
    return variable ? variable->AsDispatch() : nullptr;
}

HRESULT CDriverWrapper::AddVariable(vb::DispatchCall& call) {
    auto name = call.Text(0);
    auto value = call.Text(1);
    if (!name || !value) return DISP_E_TYPEMISMATCH;
    auto empty = std::make_unique<_tagvarinfo>();
    std::wstring key = varinfo::KeyOf(*name);
    if (!entry_.D_SetVarInfo || !DeviceOpen() || key.empty()) return call.Return(NewVariable(*empty));

    auto found = variables_.find(key);
    if (found != variables_.end()) return call.Return(NewVariable(found->second));

    auto record = std::make_unique<_tagvarinfo>();
    record->Type = static_cast<WORD>(vb::ToShort(call.Arg(2)).value_or(varinfo::kImport));
    varinfo::StoreUtf8(record->Name, *name);
    varinfo::StoreUtf8(record->Value, *value);
    varinfo::SetDefaultsByType(*record, dateTimeFormats_);
    variables_[key] = *record;
    return call.Return(NewVariable(*record));
}

HRESULT CDriverWrapper::GetVariable(vb::DispatchCall& call) {
    auto item = call.Text(0);
    if (!item || item->empty()) return call.Return(static_cast<IDispatch*>(nullptr));
    if (const _tagvarinfo* found = FindByKeyOrPosition(variables_, item)) return call.Return(NewVariable(*found));
    auto empty = std::make_unique<_tagvarinfo>();
    return call.Return(NewVariable(*empty));
}

HRESULT CDriverWrapper::GetDateTimeMember(vb::DispatchCall& call) {
    auto item = call.Long(0);
    if (!item) return DISP_E_TYPEMISMATCH;
    return call.Return(GetDateTime(*item));
}

HRESULT CDriverWrapper::GetDateTimeCounts(vb::DispatchCall& call) {
    return call.Return(static_cast<long>(dateTimeFormats_.size()));
}
