// GoogleTest built for Windows: assertions, wide strings and the Win32 API
// work together, and a failing test makes the program fail.
#include <windows.h>
#include <gtest/gtest.h>

TEST(GtestWin, SeesTheWin32Api) {
    wchar_t path[MAX_PATH];
    DWORD cch = GetModuleFileNameW(nullptr, path, MAX_PATH);
    ASSERT_GT(cch, 0u);
    EXPECT_EQ(path[cch], L'\0');
    EXPECT_NE(wcsstr(path, L"gtest_win_smoke"), nullptr);
}

TEST(GtestWin, ComparesWideStrings) {
    EXPECT_STREQ(L"Kreska", L"Kreska");
    EXPECT_STRNE(L"Kreska", L"kreska");
}

// Run on purpose by the harness's tests to see the failure reach the exit code.
TEST(GtestWin, DISABLED_FailsOnPurpose) {
    EXPECT_EQ(1, 2);
}
