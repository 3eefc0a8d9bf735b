// The styled editor, in a build that has it.
#include "ScintillaWnd.h"
#include "ScriptEditor.h"

namespace {

class ScintillaScriptEditor : public ScriptEditor {
public:
    bool Create(HWND parent, const RECT& rect, UINT id, DWORD style) override {
        return window_.Create(style, rect, parent, id, L"") != FALSE;
    }
    HWND Handle() const noexcept override { return window_.Handle(); }
    void SetUpForScripts(CMSScriptObject& script) override {
        window_.Setup();
        window_.SetScriptObject(&script);
    }

private:
    CScintillaWnd window_;
};

}  // namespace

std::unique_ptr<ScriptEditor> MakeScriptEditor() { return std::make_unique<ScintillaScriptEditor>(); }
