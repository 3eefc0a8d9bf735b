// The shared steps of every printing member: units, object names and template variables.
#include <memory>

#include "DriverWrapper.h"
#include "Units.h"

namespace {
constexpr LONG kEscapeObjectName = 0x202A;
}

void CDriverWrapper::ToDeviceUnits(POINT* points, size_t count) const {
    for (size_t i = 0; i < count; ++i) ToDeviceUnitsXY(points[i].x, points[i].y);
}

void CDriverWrapper::ToDeviceUnitsXY(LONG& x, LONG& y) const {
    x = units::ToDots(x, driverInfo_.resolutionX);
    y = units::ToDots(y, driverInfo_.resolutionY);
}

void CDriverWrapper::FromDeviceUnits(SIZE& size) const {
    size.cx = units::FromDots(size.cx, driverInfo_.resolutionX);
    size.cy = units::FromDots(size.cy, driverInfo_.resolutionY);
}

std::wstring CDriverWrapper::BeginObject(const std::wstring& type) {
    ++objectCounter_;
    std::wstring name = (type.empty() ? L"GENERIC_OBJECT" : type) + L"_" + std::to_wstring(objectCounter_);
    auto record = std::make_unique<_tagvarinfo>();
    // Object names are plain ASCII; the driver reads them in its own code page.
    varinfo::Store(record->Name, vb::ToAnsi(name));
    if (entry_.D_SetVarInfo && DeviceOpen()) entry_.D_SetVarInfo(device_, 0, 0, record.get());
    return name;
}

void CDriverWrapper::EndObject(const std::wstring& type) {
    if (!DeviceOpen()) return;
    ++objectCounter_;
    std::wstring name = (type.empty() ? L"OBJECT" : type) + L"_" + std::to_wstring(objectCounter_);
    if (entry_.D_EscapeW) entry_.D_EscapeW(device_, kEscapeObjectName, 0, name.c_str(), nullptr);
}

std::vector<std::wstring> CDriverWrapper::SplitVariables(const std::wstring& text, bool atFront) const {
    std::vector<std::wstring> pieces;
    auto add = [&](std::wstring piece) {
        if (piece.empty()) return;
        if (atFront) {
            pieces.insert(pieces.begin(), std::move(piece));
        } else {
            pieces.push_back(std::move(piece));
        }
    };
    if (variables_.empty()) {
        // The whole text is the one piece, even when it is empty.
        pieces.push_back(text);
        return pieces;
    }
    size_t position = 0;
    while (position < text.size()) {
        size_t open = text.find(L"{{", position);
        if (open == std::wstring::npos) break;
        size_t close = text.find(L"}}", open + 2);
        add(text.substr(position, open - position));
        if (close == std::wstring::npos) {
            // An unclosed name stays plain text.
            add(text.substr(open));
            return pieces;
        }
        add(text.substr(open, close + 2 - open));
        position = close + 2;
    }
    add(text.substr(position));
    return pieces;
}

bool CDriverWrapper::SendVariableInfo(std::wstring& piece) {
    auto record = std::make_unique<_tagvarinfo>();
    bool known = false;
    if (!variables_.empty() && piece.size() >= 4 && piece.compare(0, 2, L"{{") == 0) {
        std::wstring key = varinfo::KeyOf(piece.substr(2, piece.size() - 4));
        auto found = variables_.find(key);
        if (found != variables_.end()) {
            *record = found->second;
            piece = varinfo::ReadUtf8(record->Prefix) + varinfo::ReadUtf8(record->Value) +
                    varinfo::ReadUtf8(record->Suffix);
            known = true;
        }
    }
    if (entry_.D_SetVarInfo && DeviceOpen()) entry_.D_SetVarInfo(device_, record->Type, 0, record.get());
    return known;
}
