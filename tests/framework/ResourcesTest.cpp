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

TEST(FormatWin32Error, GivesTheSignedCodeAndTheSystemsOwnText) {
    const struct {
        DWORD code;
        DWORD lastError;  // the thread's last error when the text is made
        std::wstring expected;
    } cases[] = {
        {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, L"2: " + vb::SystemMessageText(ERROR_FILE_NOT_FOUND)},
        {0, ERROR_ACCESS_DENIED, L"5: " + vb::SystemMessageText(ERROR_ACCESS_DENIED)},
        {0x80070005, ERROR_SUCCESS, L"-2147024891: " + vb::SystemMessageText(0x80070005)},
    };
    for (const auto& error : cases) {
        ::SetLastError(error.lastError);
        EXPECT_EQ(error.expected, vb::FormatWin32Error(error.code));
    }
    // The system ends its texts with a line end, and it is kept.
    const std::wstring text = vb::FormatWin32Error(ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(L"\r\n", text.substr(text.size() - 2));
}

}  // namespace
