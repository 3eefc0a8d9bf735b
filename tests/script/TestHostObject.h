#pragma once
#include <functional>

#include "AutomationObject.h"

namespace vb::test {

// A host object for scripts: counts its calls and references, can run a hook from inside a
// script call (to try re-entrance) and can fail like a broken host.
class TestHostObject : public vb::AutomationObject<TestHostObject> {
public:
    TestHostObject() = default;

    static vb::DispatchTable<TestHostObject> Members();
    static DISPID DefaultMember() noexcept { return DISPID_UNKNOWN; }
    static const IID* const* InterfaceIds() noexcept { return nullptr; }

    int touches = 0;
    std::function<void()> onTouch;

private:
    HRESULT Touch(vb::DispatchCall& call);
    HRESULT Fail(vb::DispatchCall& call);
};

}  // namespace vb::test
