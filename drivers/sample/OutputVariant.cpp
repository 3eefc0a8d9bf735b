#include "OutputVariant.h"

#include <string>

namespace vb::sample {

bool WriteVariantCommand(Instance& instance) {
    auto found = instance.parameters.find(L"variant");
    if (found == instance.parameters.end()) return true;
    const std::wstring value = vb::ToText(*found->second.Get()).value_or(std::wstring());
    if (value.empty() || value == L"0") return true;
    return instance.print.file.Command(L"VARIANT \"%ls\"", PrintFile::Text(value).c_str());
}

}  // namespace vb::sample
