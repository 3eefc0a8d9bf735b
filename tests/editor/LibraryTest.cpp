#include <windows.h>

#include <gtest/gtest.h>

#include <memory>

#include "EditorTestSupport.h"
#include "Resources.h"
#include "ResourceIds.h"
#include "RgbaImage.h"
#include "Strings.h"
#include "TestFiles.h"

namespace {

std::wstring ModulePath(const wchar_t* name) {
    HMODULE module = ::GetModuleHandleW(name);
    wchar_t path[MAX_PATH] = {};
    if (module) ::GetModuleFileNameW(module, path, MAX_PATH);
    return path;
}

std::unique_ptr<CScintillaWnd> NewEditor(HWND parent) {
    auto editor = std::make_unique<CScintillaWnd>();
    RECT rect{0, 0, 200, 100};
    return editor->Create(WS_CHILD, rect, parent, 1) ? std::move(editor) : nullptr;
}

}  // namespace

// The libraries come from the program folder. The test program holds its own reference to both
// (see EditorTestSupport.cpp), as another part of a process might: the editors must give back
// exactly what they took.
TEST_F(EditorTest, EditorsHoldTheLibrariesEachForItselfAndGiveBackOnlyTheirOwn) {
    EXPECT_TRUE(vb::EqualsNoCase(ModulePath(L"Scintilla.dll"), vb::test::BinDir() + L"Scintilla.dll"));
    EXPECT_TRUE(vb::EqualsNoCase(ModulePath(L"Lexilla.dll"), vb::test::BinDir() + L"Lexilla.dll"));
    EXPECT_EQ(1u, CScintillaWnd::ComponentUseCount());
    auto second = NewEditor(host->Handle());
    ASSERT_TRUE(second);
    EXPECT_EQ(2u, CScintillaWnd::ComponentUseCount());
    editor.reset();
    ::SetWindowTextW(second->Handle(), L"still alive");
    EXPECT_EQ(11, ::GetWindowTextLengthW(second->Handle()));
    second.reset();
    EXPECT_EQ(0u, CScintillaWnd::ComponentUseCount());
    EXPECT_TRUE(::GetModuleHandleW(L"Scintilla.dll") && ::GetModuleHandleW(L"Lexilla.dll"));
    EXPECT_TRUE(NewEditor(host->Handle()));
}

TEST(EditorLibraries, WithoutTheLibrariesCreationFailsQuietly) {
    vb::test::TempFolder empty;
    std::wstring previous = CEditorLibraries::SetFolder(empty.Path());
    vb::MessageBoxCapture boxes;
    HWND parent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    CScintillaWnd editor;
    RECT rect{0, 0, 50, 50};
    EXPECT_FALSE(editor.Create(WS_CHILD, rect, parent, 1));
    EXPECT_EQ(nullptr, editor.Handle());
    EXPECT_EQ(nullptr, ::GetWindow(parent, GW_CHILD));
    EXPECT_EQ(0u, CScintillaWnd::ComponentUseCount());
    EXPECT_TRUE(boxes.Boxes().empty());
    ::DestroyWindow(parent);
    CEditorLibraries::SetFolder(previous);
}

TEST(EditorImages, StripImagesConvertToRgbaWithWhiteTransparent) {
    HMODULE program = ::GetModuleHandleW(nullptr);
    RgbaImage image;
    ASSERT_TRUE(LoadRgbaImage(program, IDB_EDITOR_MARKERS, 3, image));
    EXPECT_EQ(16, image.width);
    EXPECT_EQ(16, image.height);
    auto pixel = [&](int x, int y) { return &image.pixels[static_cast<size_t>(y * image.width + x) * 4]; };
    EXPECT_EQ(0, pixel(0, 0)[3]);  // white corner
    const unsigned char* centre = pixel(8, 8);  // the blue bookmark, red first
    EXPECT_EQ(255, centre[3]);
    EXPECT_LT(centre[0], centre[2]);

    ASSERT_TRUE(LoadRgbaImage(program, IDB_EDITOR_COMPLETION, -1, image));
    EXPECT_EQ(48, image.width);
    EXPECT_FALSE(LoadRgbaImage(program, IDB_EDITOR_COMPLETION, 3, image));  // past the strip
    EXPECT_FALSE(LoadRgbaImage(program, 999, 0, image));
}
