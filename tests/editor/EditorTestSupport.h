#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Dialog.h"
#include "ScintillaWnd.h"

// A modeless dialog whose placeholder the editor replaces, as in the main dialog.
class EditorHost : public vb::Dialog {
public:
    EditorHost();
    ~EditorHost() override;
    int cancelled = 0;

protected:
    void OnCancel() override { ++cancelled; }
};

// Posts a key to the editor as the keyboard would and lets the program's own loop handle it.
void PressKey(CScintillaWnd& editor, WPARAM key);

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override;
    // A set-up editor with `text`, coloured.
    void Load(const wchar_t* text);
    sptr_t Call(UINT message, uptr_t w = 0, sptr_t l = 0) { return editor->Call(message, w, l); }

    std::unique_ptr<EditorHost> host;
    std::unique_ptr<CScintillaWnd> editor;  // destroyed before its host
};
