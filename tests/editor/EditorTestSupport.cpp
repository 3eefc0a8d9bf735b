#include "EditorTestSupport.h"

#include <commctrl.h>

#include "DialogMessages.h"
#include "MessagePump.h"
#include "EditorTestIds.h"
#include "TestFiles.h"
#include "UniqueHandle.h"

namespace {

// Under Wine a freed Scintilla.dll leaves its window class registered, so the library cannot be
// loaded a second time in the same process; the test program keeps a reference of its own for
// its whole run, which also stands for any other holder of the library.
struct ComponentHold {
    vb::UniqueModule scintilla{::LoadLibraryW((vb::test::BinDir() + L"Scintilla.dll").c_str())};
    vb::UniqueModule lexilla{::LoadLibraryW((vb::test::BinDir() + L"Lexilla.dll").c_str())};
};
const ComponentHold g_hold;

}  // namespace

EditorHost::EditorHost() : Dialog(IDD_EDITOR_TEST) {}

EditorHost::~EditorHost() {
    vb::UnregisterModelessDialog(Handle());
    DestroyWindowNow();
}

void PressKey(CScintillaWnd& editor, WPARAM key) {
    ::PostMessageW(editor.Handle(), WM_KEYDOWN, key, 1);
    vb::DispatchPendingMessages();
}

void EditorTest::SetUp() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&controls);
    host = std::make_unique<EditorHost>();
    ASSERT_TRUE(host->Create());
    vb::RegisterModelessDialog(host->Handle());
    editor = std::make_unique<CScintillaWnd>();
    ASSERT_TRUE(editor->CreateOver(::GetDlgItem(host->Handle(), IDC_EDITOR_PLACEHOLDER)));
}

void EditorTest::Load(const wchar_t* text) {
    editor->Setup();
    ::SetWindowTextW(editor->Handle(), text);
    Call(SCI_COLOURISE, 0, -1);
}
