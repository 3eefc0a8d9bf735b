#include <gtest/gtest.h>

#include "ResourceIds.h"
#include "Resources.h"

namespace {

TEST(ResourceStrings, LoadFromTheProgramsStringTable) {
    EXPECT_EQ(L"The driver [x.prn] cannot be found.\n\nThe process is aborted.",
              vb::FormatResString(IDS_DRIVER_NOT_FOUND, {L"x.prn"}));
    EXPECT_EQ(L"", vb::LoadResString(4321));
}

TEST(MessageBoxCapture, RecordsBoxesAndAnswersForTheUser) {
    vb::MessageBoxCapture outer(IDNO);
    EXPECT_EQ(IDNO, vb::ShowMessageBox(L"Import now?", MB_YESNO | MB_ICONQUESTION));
    {
        vb::MessageBoxCapture inner(IDYES);
        EXPECT_EQ(IDYES, vb::ShowMessageBox(L"Inner", MB_OK, L"Caption"));
        ASSERT_EQ(1u, inner.Boxes().size());
        EXPECT_EQ(L"Caption", inner.Boxes()[0].caption);
    }
    ASSERT_EQ(1u, outer.Boxes().size());
    EXPECT_EQ(L"Vellbrook", outer.Boxes()[0].caption);
    EXPECT_EQ(L"Import now?", outer.Boxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_YESNO | MB_ICONQUESTION), outer.Boxes()[0].flags);
}

TEST(FormatWin32Error, GivesCodeAndSystemText) {
    std::wstring text = vb::FormatWin32Error(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(0u, text.find(L"2: "));
    EXPECT_GT(text.size(), 3u);
    EXPECT_NE(L'\n', text.back());
}

}  // namespace
