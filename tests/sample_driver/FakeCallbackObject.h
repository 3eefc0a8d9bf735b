#pragma once
// Stands in for the bench's callback object: GetFormat (dispid 2) and GetVarInfo (dispid 3),
// answering from the variables and the format object a test sets up.
#include <map>
#include <string>

#include "ComPtr.h"
#include "FakeDispatch.h"
#include "FakeFormatObject.h"

namespace vb::test {

class FakeCallbackObject : public FakeDispatch {
public:
    struct Variable {
        WORD type;
        std::string utf8Value;
    };

    FakeCallbackObject();

    std::map<std::wstring, Variable> variables;
    ComPtr<FakeFormatObject> format;

    // What the last GetVarInfo got.
    std::wstring askedName;
    bool recordArrivedZeroed = false;
    WORD flagsSeen = 0;

protected:
    HRESULT Call(DISPID member, WORD flags, const std::vector<VARIANT>& arguments, VARIANT& result) override;

private:
    HRESULT GetVarInfo(const std::vector<VARIANT>& arguments, VARIANT& result);
};

}  // namespace vb::test
