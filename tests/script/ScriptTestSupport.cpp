#include "ScriptTestSupport.h"

#include "ScriptEngine.h"
#include "Variant.h"

namespace vb::test {

UniqueSafeArray MakeArguments(std::initializer_list<long> values, LONG lowerBound) {
    SAFEARRAYBOUND bound{static_cast<ULONG>(values.size()), lowerBound};
    UniqueSafeArray array(::SafeArrayCreate(VT_VARIANT, 1, &bound));
    LONG index = lowerBound;
    for (long value : values) {
        vb::Variant element(value);
        ::SafeArrayPutElement(array.get(), &index, element.Get());
        ++index;
    }
    return array;
}

std::wstring Evaluate(ScriptEngine& engine, const wchar_t* expression) {
    vb::Variant value;
    if (FAILED(engine.ParseScriptText(expression, nullptr, value.Put(), SCRIPTTEXT_ISEXPRESSION))) return L"<error>";
    return vb::ToText(*value.Get()).value_or(L"<no text>");
}

}  // namespace vb::test
