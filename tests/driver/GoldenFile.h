#pragma once
#include <gtest/gtest.h>

#include <string>

// Compares a produced file with the expected one kept beside the tests (copied next to the test
// program at build time). On a difference the produced file is left in golden-actual\ next to
// the program, to review and, when right, to copy over the expected one.
::testing::AssertionResult MatchesGoldenFile(const std::wstring& goldenName, const std::string& actual);
