// The environment probe's decisions and the option defaults, on the real
// platform: which systems are accepted, the single-instance test, and the
// keypad default from the user's decimal separator.
#include <gtest/gtest.h>

#include "core/install.h"

extern CInstall* g_services_app;

namespace {

TEST(Probe, AcceptsOnlyKnownSystemsAndProcessors)
{
    struct Case {
        int32_t osCode;
        uint16_t arch;
        int supported;
    } cases[] = {
        {50, 0, 1},  {51, 0, 1},  {50, 9, 0},   {51, 6, 0},  {52, 9, 1},     {52, 0, 1},  {60, 6, 1},
        {61, 9, 1},  {62, 0, 1},  {63, 9, 1},   {100, 9, 1}, {53, 0, 0},     {64, 0, 0},  {61, 5, 0},
        {61, 12, 0}, {100, 12, 0}, {0, 0, 0},   {0, 0xFFFF, 0}, {49, 0, 0},  {110, 0, 0},
    };
    CInstall& app = *g_services_app;
    for (const Case& c : cases) {
        app.OsCode = c.osCode;
        app.ProcessorArch = c.arch;
        EXPECT_EQ(app.IsOsSupported(), c.supported) << c.osCode << " arch " << c.arch;
    }
    // The machine itself: a 32-bit program still sees the native processor.
    ASSERT_TRUE(app.ProbeOs());
    SYSTEM_INFO native;
    GetNativeSystemInfo(&native);
    EXPECT_EQ(app.ProcessorArch, native.wProcessorArchitecture);
    EXPECT_EQ(app.Is64BitOs, native.wProcessorArchitecture == 9 || native.wProcessorArchitecture == 6);
}

LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l) { return DefWindowProcW(hwnd, msg, w, l); }

TEST(Probe, FindsAnotherInstanceByItsWindowClass)
{
    CInstall& app = *g_services_app;
    EXPECT_TRUE(app.ActivateOtherInstance()) << "no window yet";
    GString className;
    ASSERT_TRUE(app.GetText(TXT_WINDOW_CLASS, className));
    WNDCLASSW wc = {};
    wc.lpfnWndProc = PlainProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = className.WideAt(0);
    ASSERT_NE(RegisterClassW(&wc), 0);
    HWND other = CreateWindowW(className.WideAt(0), L"other", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                               wc.hInstance, nullptr);
    ASSERT_NE(other, nullptr);
    EXPECT_FALSE(app.ActivateOtherInstance());
    DestroyWindow(other);
    EXPECT_TRUE(app.ActivateOtherInstance());
    UnregisterClassW(className.WideAt(0), wc.hInstance);
}

TEST(Probe, NoMessageWithoutTheWizard)
{
    CInstall& app = *g_services_app;
    CWizard* wizard = app.Wizard;
    app.Wizard = nullptr;
    EXPECT_EQ(app.ShowMessage(TXT_MSG_NEED_ADMIN, MB_OK), 0);
    app.Wizard = wizard;
}

TEST(OptionDefaults, KeypadDecimalFollowsTheUserSeparator)
{
    CInstall& app = *g_services_app;
    wchar_t saved[16] = L"";
    GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, saved, 16);
    struct Case {
        const wchar_t* separator;
        int keypadDecimal;
    } cases[] = {{L",", 0}, {L".", 1}, {L",,", 1}, {L"\x066B", 1}};
    for (const Case& c : cases) {
        ASSERT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, c.separator));
        app.KeypadDecimal = -1;
        EXPECT_EQ(app.DefaultKeypadDecimal(), c.keypadDecimal) << c.separator;
        EXPECT_EQ(app.KeypadDecimal, c.keypadDecimal);
    }
    // A chosen value stays.
    EXPECT_EQ(app.DefaultKeypadDecimal(), 1);
    app.KeypadDecimal = 0;
    EXPECT_EQ(app.DefaultKeypadDecimal(), 0);
    SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, saved);
}

TEST(OptionDefaults, LayoutVariantIsTheOneMarkedRecommended)
{
    CInstall& app = *g_services_app;
    app.LayoutVariant = -1;
    EXPECT_EQ(app.DefaultLayoutVariant(), 0) << "text 113 carries the mark";
    app.LayoutVariant = 2;
    EXPECT_EQ(app.DefaultLayoutVariant(), 2) << "a chosen variant stays";
    app.LayoutVariant = -1;
}

}  // namespace
