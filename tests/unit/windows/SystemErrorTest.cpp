// The words a failed call is reported and traced with (Windows build).
#include "keys/windows/SystemError.h"

#include <gtest/gtest.h>

namespace {

TEST(SystemErrorText, GivesTheSystemsWordsAndTheNumberOrTheNumberAlone) {
    const std::wstring denied = SystemErrorText(ERROR_ACCESS_DENIED);
    EXPECT_NE(denied.find(L" (error 5)"), std::wstring::npos);
    EXPECT_GT(denied.size(), std::wstring(L" (error 5)").size());
    EXPECT_NE(denied.back(), L'\n');
    EXPECT_EQ(SystemErrorText(0x2FFFFFFF), L"error 805306367");  // no text for it
}

TEST(FailedCallText, NamesTheCallAndWhyOneLine) {
    const std::wstring traced = FailedCallText(L"CancelIoEx", ERROR_INVALID_HANDLE);
    EXPECT_EQ(traced.rfind(L"SerialKey: CancelIoEx failed: ", 0), 0u);
    EXPECT_NE(traced.find(L"(error 6)\n"), std::wstring::npos);
    EXPECT_EQ(FailedCallText(L"Shell_NotifyIcon(NIM_ADD)", ERROR_SUCCESS),
              L"SerialKey: Shell_NotifyIcon(NIM_ADD) failed: no reason given\n");
}

}  // namespace
