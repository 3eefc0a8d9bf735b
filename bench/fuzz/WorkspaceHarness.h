#pragma once
#include <memory>

#include "Harness.h"
#include "Resources.h"
#include "TestFiles.h"
#include "WorkSpace.h"

namespace vb::fuzz {

// A harness that feeds its inputs through the engine: a workspace in a program folder of its
// own, a folder for the input files, and the message boxes a refusal shows, captured.
class WorkspaceHarness : public Harness {
public:
    void Setup() override { workspace_ = std::make_unique<CWorkSpace>(program_ / L"Vellbrook.exe"); }

protected:
    test::TempFolder program_;
    test::TempFolder files_;
    MessageBoxCapture boxes_;
    std::unique_ptr<CWorkSpace> workspace_;
};

}  // namespace vb::fuzz
