#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "DispatchClient.h"
#include "DriverWrapper.h"
#include "FakeDriverHandler.h"
#include "Resources.h"
#include "SampleDriverSandbox.h"

// A wrapper over a copy of the sample driver, ready to open a device for a model.
class OpenDeviceFixture : public ::testing::Test {
protected:
    // Loads the driver build under the family file name and opens `model`.
    void Open(const std::wstring& familyFile, const std::wstring& model,
              const std::wstring& build = L"sample_driver.dll") {
        std::wstring path = sandbox_.AddDriver(familyFile, build);
        ASSERT_TRUE(wrapper_.Load(path, sandbox_.OutputFile(), sandbox_.SettingsFile(), FALSE));
        ASSERT_TRUE(wrapper_.CreateDriverDC(model, nullptr));
    }

    // The logged calls that start with one of the given entry points, without the module prefix.
    std::vector<std::string> CallsOf(std::initializer_list<const char*> entryPoints) const {
        std::vector<std::string> selected;
        for (const std::string& line : sandbox_.Calls()) {
            std::string call = line.substr(line.find(": ") + 2);
            for (const char* entryPoint : entryPoints) {
                if (call.rfind(entryPoint, 0) == 0) {
                    selected.push_back(call);
                    break;
                }
            }
        }
        return selected;
    }

    bool Logged(const std::string& call) const {
        auto calls = CallsOf({""});
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    }

    static vb::Variant Str(const std::wstring& text) { return vb::Variant(text); }
    long Long(const vb::Variant& value) const { return value.Type() == VT_I4 ? V_I4(value.Get()) : -999999; }
    std::wstring Text(const vb::Variant& value) const {
        return value.Type() == VT_BSTR ? std::wstring(V_BSTR(value.Get())) : L"<not a text>";
    }

    vb::test::SampleDriverSandbox sandbox_;
    vb::test::FakeDriverHandler handler_;
    CDriverWrapper wrapper_{&handler_};
    vb::test::DispatchClient driver_{wrapper_.AsDispatch()};
    vb::MessageBoxCapture boxes_;
};
