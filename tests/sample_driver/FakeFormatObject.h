#pragma once
// Stands in for the bench's label-format object: the four sizes the driver reads by dispid.
#include "FakeDispatch.h"

namespace vb::test {

class FakeFormatObject : public FakeDispatch {
public:
    long pageHeight = 0;   // dispid 3
    long pageWidth = 0;    // dispid 4
    long labelHeight = 0;  // dispid 5
    long labelWidth = 0;   // dispid 6
    // Every call of this member fails.
    DISPID failingMember = DISPID_UNKNOWN;

protected:
    HRESULT Call(DISPID member, WORD flags, const std::vector<VARIANT>& arguments, VARIANT& result) override;
};

}  // namespace vb::test
