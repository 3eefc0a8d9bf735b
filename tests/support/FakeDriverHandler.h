#pragma once
#include <string>
#include <vector>

#include "DriverHandler.h"

namespace vb::test {

// Stands in for the engine: records what the wrapper reports and answers from preset values.
class FakeDriverHandler : public CDriverHandler {
public:
    struct PrintEvent {
        int code;
        std::wstring text;
        std::wstring extra;
    };

    BOOL OnPrintEvent(int code, const std::wstring& text, const std::wstring& extra) override {
        events.push_back({code, text, extra});
        return TRUE;
    }
    std::wstring GetModelCatalog(const std::wstring& model) override {
        catalogRequests.push_back(model);
        return catalog;
    }
    BOOL OpenPipe(const std::wstring& pipeName) override {
        openedPipes.push_back(pipeName);
        return TRUE;
    }
    BOOL IsDirectPrintMode() override { return directPrint; }

    std::wstring catalog;
    BOOL directPrint = FALSE;
    std::vector<PrintEvent> events;
    std::vector<std::wstring> catalogRequests;
    std::vector<std::wstring> openedPipes;
};

}  // namespace vb::test
