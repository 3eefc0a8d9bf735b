#include "CIVariable.h"

#include "DateTimeFormats.h"
#include "DriverIds.h"
#include "DriverWrapper.h"
#include "VariableRules.h"
#include "Variant.h"

using vb::DispatchCall;
using vb::MemberKind;
using V = CIVariable;

namespace {
constexpr DISPID kKeyNameId = 2;
}

CIVariable::CIVariable(CDriverWrapper* owner, const _tagvarinfo& record) : owner_(owner), record_(record) {}

vb::DispatchTable<V> V::Members() {
    static const vb::DispatchMember<V> kMembers[] = {
        {1, L"Name", MemberKind::Property, &V::GetName},
        {kKeyNameId, L"KeyName", MemberKind::Property, &V::GetKeyName},
        {3, L"Type", MemberKind::Property, &V::GetType},
        {4, L"MaxLength", MemberKind::Property, &V::GetMaxLength, &V::SetMaxLength},
        {5, L"Counter", MemberKind::Property, &V::GetCounter, &V::SetCounter},
        {6, L"Value", MemberKind::Property, &V::GetValue, &V::SetValue},
        {7, L"Prefix", MemberKind::Property, &V::GetPrefix, &V::SetPrefix},
        {8, L"Suffix", MemberKind::Property, &V::GetSuffix, &V::SetSuffix},
        {9, L"Increment", MemberKind::Property, &V::GetIncrement, &V::SetIncrement},
        {10, L"Format", MemberKind::Property, &V::GetFormat, &V::SetFormat},
        {11, L"DateTimeCounts", MemberKind::Property, &V::GetDateTimeCounts},
        {12, L"12", MemberKind::Placeholder},
        {13, L"13", MemberKind::Placeholder},
        {14, L"14", MemberKind::Placeholder},
        {15, L"15", MemberKind::Placeholder},
        {16, L"16", MemberKind::Placeholder},
        {17, L"17", MemberKind::Placeholder},
        {18, L"18", MemberKind::Placeholder},
        {19, L"19", MemberKind::Placeholder},
        {20, L"Update", MemberKind::Method, &V::Update},
        {21, L"GetDateTime", MemberKind::Method, &V::GetDateTime},
    };
    return kMembers;
}

DISPID V::DefaultMember() noexcept { return kKeyNameId; }

const IID* const* V::InterfaceIds() noexcept {
    static const IID* const kIds[] = {&vb::ids::IID_IVariable, nullptr};
    return kIds;
}

template <size_t N>
HRESULT V::SetText(DispatchCall& call, char (&field)[N], bool recompute) {
    auto text = vb::ToText(call.PutValue());
    if (!text) return DISP_E_TYPEMISMATCH;
    varinfo::StoreUtf8(field, *text);
    if (recompute) varinfo::ComputeMaxLength(record_);
    return S_OK;
}

HRESULT V::GetName(DispatchCall& call) { return call.Return(varinfo::ReadUtf8(record_.Name)); }
HRESULT V::GetKeyName(DispatchCall& call) {
    return call.Return(vb::Trim(L"{{" + varinfo::ReadUtf8(record_.Name) + L"}}"));
}
HRESULT V::GetType(DispatchCall& call) {
    return call.ReturnShort(static_cast<SHORT>(record_.Type));
}
HRESULT V::GetMaxLength(DispatchCall& call) { return call.Return(static_cast<long>(record_.MaxLength)); }
HRESULT V::SetMaxLength(DispatchCall& call) {
    auto value = vb::ToLong(call.PutValue());
    if (!value) return DISP_E_TYPEMISMATCH;
    record_.MaxLength = static_cast<DWORD>(*value);
    return S_OK;
}
HRESULT V::GetCounter(DispatchCall& call) { return call.ReturnBool(record_.Counter != FALSE); }
HRESULT V::SetCounter(DispatchCall& call) {
    auto value = vb::ToBool(call.PutValue());
    if (!value) return DISP_E_TYPEMISMATCH;
    if (varinfo::IsDateTimeType(record_.Type)) return S_OK;
    record_.Counter = *value ? TRUE : FALSE;
    varinfo::SetCounterDefaults(record_);
    return S_OK;
}
HRESULT V::GetValue(DispatchCall& call) { return call.Return(varinfo::ReadUtf8(record_.Value)); }
HRESULT V::SetValue(DispatchCall& call) { return SetText(call, record_.Value, true); }
HRESULT V::GetPrefix(DispatchCall& call) { return call.Return(varinfo::ReadUtf8(record_.Prefix)); }
HRESULT V::SetPrefix(DispatchCall& call) { return SetText(call, record_.Prefix, true); }
HRESULT V::GetSuffix(DispatchCall& call) { return call.Return(varinfo::ReadUtf8(record_.Suffix)); }
HRESULT V::SetSuffix(DispatchCall& call) { return SetText(call, record_.Suffix, true); }
HRESULT V::GetIncrement(DispatchCall& call) { return call.Return(varinfo::ReadUtf8(record_.Increment)); }
HRESULT V::SetIncrement(DispatchCall& call) { return SetText(call, record_.Increment, false); }
HRESULT V::GetFormat(DispatchCall& call) { return call.Return(varinfo::ReadUtf8(record_.Format)); }
HRESULT V::SetFormat(DispatchCall& call) { return SetText(call, record_.Format, false); }
HRESULT V::GetDateTimeCounts(DispatchCall& call) {
    return call.Return(static_cast<long>(owner_->DateTimeFormats().size()));
}

HRESULT V::Update(DispatchCall&) {
    varinfo::ComputeMaxLength(record_);
    if (varinfo::IsDateTimeType(record_.Type)) {
        std::string text = RenderDateTime(varinfo::FieldText(record_.Format), owner_->Now(), sizeof record_.Value - 1);
        varinfo::Store(record_.Value, text);
    } else if (record_.Counter) {
        varinfo::AdvanceCounter(record_);
    } else if (record_.Type == varinfo::kImport) {
        record_.MaxLength = sizeof record_.Value - 1;
    }
    owner_->UpdateVariable(record_);
    return S_OK;
}

HRESULT V::GetDateTime(DispatchCall& call) {
    auto item = call.Long(0);
    if (!item) return DISP_E_TYPEMISMATCH;
    return call.Return(owner_->GetDateTime(*item));
}
