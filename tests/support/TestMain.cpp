#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <cstdio>

#include "Resources.h"
#include "Strings.h"

// No test may ever wait on a message box: boxes that a test does not capture itself are caught
// here and fail the run.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::CoInitialize(nullptr);
    int result = 0;
    {
        vb::MessageBoxCapture unexpected;
        result = RUN_ALL_TESTS();
        for (const auto& box : unexpected.Boxes()) {
            std::printf("Unexpected message box [%s]: %s\n", vb::ToUtf8(box.caption).c_str(),
                        vb::ToUtf8(box.text).c_str());
            result = 1;
        }
    }
    ::CoUninitialize();
    return result;
}
