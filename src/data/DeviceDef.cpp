#include "DeviceDef.h"

#include <algorithm>

#include "SqlQuoting.h"
#include "UpperCase.h"

void CDeviceDef::MakeUpper() {
    familyKey = vb::ToUpperAscii(familyKey);
    modelName = vb::ToUpperAscii(modelName);
}

std::wstring CDeviceDef::ToString() {
    MakeUpper();
    return familyKey + L"->" + modelName;
}

void CDeviceDef::AddProperty(const std::wstring& key, const std::wstring& value) {
    if (key.empty() || value.empty()) return;
    auto found = std::find_if(properties_.begin(), properties_.end(), [&](const auto& p) { return p.first == key; });
    if (found != properties_.end()) {
        found->second += L", " + value;
    } else {
        properties_.emplace_back(key, key + L": " + value);
    }
}

std::wstring CDeviceDef::GetPropertiesText() const {
    std::vector<std::wstring> lines;
    lines.reserve(properties_.size());
    for (const auto& property : properties_) lines.push_back(property.second);
    // The catalogue is shown as stored, so its lines must not depend on which family came first.
    std::stable_sort(lines.begin(), lines.end());
    std::wstring text;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i > 0) text += L"\r\n";
        text += lines[i];
    }
    return vb::QuoteForSql(text);
}
