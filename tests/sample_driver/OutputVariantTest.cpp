#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PrintTest.h"
#include "Strings.h"
#include "Variant.h"

namespace {

using vb::test::PrintTest;
using Lines = std::vector<std::string>;

class OutputVariantTest : public PrintTest {};

TEST_F(OutputVariantTest, OnlyAValueBesidesEmptyAndZeroMarksTheDocument) {
    const struct {
        const wchar_t* value;
        Lines commands;
    } cases[] = {
        {L"B", {"VARIANT \"B\""}},
        {L"0", {}},
        {L"", {}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(vb::ToUtf8(test.value));
        DRIVERHANDLE h = Enable(L"LX");
        vb::Variant name(std::wstring(L"VARIANT"));
        vb::Variant value{std::wstring(test.value)};
        ASSERT_EQ(0, driver_.D_PrinterParameter(h, nullptr, name.Get(), value.Get()));
        ASSERT_EQ(1, StartDoc(h, PrintFile().c_str()));
        EXPECT_EQ(test.commands, Commands(h));
    }
}

}  // namespace
