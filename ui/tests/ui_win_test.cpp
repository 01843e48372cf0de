// The window framework and the wizard controller on a real window system
// (Wine): binding, the two procedures, release, page switching, fitting the
// frame, and the control helpers on real page templates.
#include <gtest/gtest.h>
#include <windows.h>

#include "core/install.h"
#include "ui/messages.h"
#include "ui/wnd_base.h"
#include "wizard/pages.h"
#include "wizard/resource.h"
#include "wizard/wizard.h"

namespace {

// Counts what reaches the handlers.
class CProbe : public CWndBase {
public:
    int creates = 0, inits = 0, commands = 0, others = 0;
    int OnCreate() override { creates++; return 1; }
    int OnInitDialog() override { inits++; return 1; }
    int OnCommand() override { commands++; result = 7; return 1; }
    int OnMessage() override
    {
        if (msg == WM_USER + 50)
            others++;
        return CWndBase::OnMessage();
    }
};

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(install.Init(GetModuleHandleW(nullptr)));
        install.IsAdmin = 1;
        install.OsCode = 61;
        // Init has made the controller and prepared its interface.
        wizard = install.Wizard;
        ASSERT_NE(wizard, nullptr);
    }

    void TearDown() override
    {
        Pump();
        wizard->DestroyWindows();
        // A frame released during its own WM_NCDESTROY cannot unregister the
        // class it still belongs to; the next test registers it anew.
        UnregisterClassW(L"KreskaSetupFrame", GetModuleHandleW(nullptr));
    }

    // A top-level window to hold the child pages made directly.
    HWND MakeParent()
    {
        return CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPED, 0, 0, 600, 500, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    }

    // Makes the frame as the message loop does; its creation shows the
    // welcome page.
    CWndMain* MakeFrame()
    {
        wizard->mainWnd = new CWndMain;
        wizard->mainWnd->owner = wizard;
        EXPECT_TRUE(wizard->mainWnd->RegisterWindowClass());
        EXPECT_TRUE(wizard->mainWnd->Create(TXT_WINDOW_TITLE, WS_CAPTION | WS_SYSMENU, 500, 400));
        return wizard->mainWnd;
    }

    // Handles what is queued, the page messages through the dialog manager.
    void Pump()
    {
        MSG m;
        while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (wizard->currentPage != nullptr && IsDialogMessageW(wizard->currentPage->hwnd, &m))
                continue;
            TranslateMessage(&m);
            DispatchMessageW(&m);
        }
    }

    CInstall install;
    CWizard* wizard = nullptr;
};

TEST_F(WindowTest, FrameBindsOnceAndRefusesADialogObject)
{
    CProbe probe;
    probe.owner = wizard;
    ASSERT_TRUE(probe.RegisterWindowClass());
    ASSERT_TRUE(probe.Create(TXT_WINDOW_TITLE, WS_OVERLAPPED, 200, 100));
    EXPECT_EQ(1, probe.creates);
    EXPECT_EQ((LONG)(LONG_PTR)&probe, GetWindowLongW(probe.hwnd, GWL_USERDATA));
    HWND first = probe.hwnd;
    EXPECT_FALSE(probe.Create(TXT_WINDOW_TITLE, WS_OVERLAPPED, 200, 100));  // has a window already
    EXPECT_EQ(first, probe.hwnd);
    EXPECT_EQ(1, probe.creates);

    // An object marked as a dialog is not taken by the window procedure.
    CProbe dialogLike;
    dialogLike.owner = wizard;
    dialogLike.isDialog = 1;
    HWND other = CreateWindowExW(0, MAKEINTATOM(probe.classAtom), L"", WS_OVERLAPPED, 0, 0, 50, 50, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), &dialogLike);
    ASSERT_NE(nullptr, other);
    EXPECT_EQ(nullptr, dialogLike.hwnd);
    EXPECT_EQ(0, dialogLike.creates);
    EXPECT_EQ(0, GetWindowLongW(other, GWL_USERDATA));
    DestroyWindow(other);

    // Detaching unbinds; later messages get default processing only.
    probe.Detach();
    EXPECT_EQ(nullptr, probe.hwnd);
    EXPECT_EQ(0, GetWindowLongW(first, GWL_USERDATA));
    SendMessageW(first, WM_USER + 50, 0, 0);
    EXPECT_EQ(0, probe.others);
    DestroyWindow(first);
}

TEST_F(WindowTest, PageDispatchAndRefusals)
{
    HWND parent = MakeParent();
    ASSERT_NE(nullptr, parent);
    CProbe page;
    page.owner = wizard;
    ASSERT_TRUE(page.ShowDialog(IDD_LICENCE, parent));
    EXPECT_EQ(1, page.isDialog);
    EXPECT_EQ(1, page.inits);
    EXPECT_FALSE(page.ShowDialog(IDD_LICENCE, parent));
    EXPECT_EQ(1, page.inits);

    // Commands reach OnCommand (the controls send some of their own while
    // the page is made); the result goes to DWL_MSGRESULT.
    const int commands = page.commands;
    SendMessageW(page.hwnd, WM_COMMAND, MAKEWPARAM(IDC_BACK, BN_CLICKED), 0);
    EXPECT_EQ(commands + 1, page.commands);
    EXPECT_EQ(IDC_BACK, page.ctrlId);
    EXPECT_EQ(BN_CLICKED, page.notifyCode);
    EXPECT_EQ(7, GetWindowLongW(page.hwnd, DWL_MSGRESULT));

    // Notifications run no page code.
    NMHDR header = {GetDlgItem(page.hwnd, IDC_NEXT), IDC_NEXT, 123};
    EXPECT_EQ(0, SendMessageW(page.hwnd, WM_NOTIFY, IDC_NEXT, (LPARAM)&header));
    EXPECT_EQ(commands + 1, page.commands);
    EXPECT_EQ(IDC_NEXT, page.ctrlId);
    EXPECT_EQ(123u, page.nmCode);

    // The dialog procedure does not take a window object.
    CProbe windowLike;
    windowLike.owner = wizard;
    HWND other = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_LICENCE), parent, DialogProc,
                                    (LPARAM)&windowLike);
    ASSERT_NE(nullptr, other);
    EXPECT_EQ(nullptr, windowLike.hwnd);
    EXPECT_EQ(0, windowLike.inits);
    DestroyWindow(other);
    page.Detach();
    DestroyWindow(parent);
}

TEST_F(WindowTest, PagesSwitchAndAreReleasedWithTheirWindows)
{
    CWndMain* frame = MakeFrame();
    ASSERT_NE(nullptr, frame);
    ASSERT_NE(nullptr, wizard->welcomePage);
    EXPECT_EQ((CWndBase*)wizard->welcomePage, wizard->currentPage);
    EXPECT_EQ(PAGE_WELCOME, install.CurrentPage);

    EXPECT_EQ(0, wizard->ShowWelcomePage());  // its object still exists
    EXPECT_EQ((CWndBase*)wizard->welcomePage, wizard->currentPage);

    SendMessageW(frame->hwnd, UM_NEXT, 0, 0);
    EXPECT_EQ(nullptr, wizard->welcomePage);
    ASSERT_NE(nullptr, wizard->licencePage);
    EXPECT_EQ((CWndBase*)wizard->licencePage, wizard->currentPage);
    EXPECT_EQ(PAGE_LICENCE, install.CurrentPage);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(wizard->licencePage->hwnd, IDC_NEXT)));

    // Next from the licence page needs no acceptance from the frame's side,
    // so the page guards it; UM_NEXT on the setup page changes nothing.
    SendMessageW(frame->hwnd, UM_NEXT, 0, 0);
    ASSERT_NE(nullptr, wizard->setupPage);
    SendMessageW(frame->hwnd, UM_NEXT, 0, 0);
    EXPECT_EQ((CWndBase*)wizard->setupPage, wizard->currentPage);
    SendMessageW(frame->hwnd, UM_BACK, 0, 0);
    EXPECT_EQ((CWndBase*)wizard->licencePage, wizard->currentPage);
    EXPECT_EQ(nullptr, wizard->setupPage);

    // Destroying the frame releases the page and the frame.
    HWND pageWindow = wizard->currentPage->hwnd;
    DestroyWindow(frame->hwnd);
    EXPECT_FALSE(IsWindow(pageWindow));
    EXPECT_EQ(nullptr, wizard->mainWnd);
    EXPECT_EQ(nullptr, wizard->licencePage);
    EXPECT_EQ(nullptr, wizard->currentPage);
}

TEST_F(WindowTest, TeardownWithLiveWindowsDestroysThem)
{
    CWndMain* frame = MakeFrame();
    ASSERT_NE(nullptr, frame);
    HWND frameWindow = frame->hwnd;
    HWND pageWindow = wizard->currentPage->hwnd;
    wizard->DestroyWindows();
    EXPECT_FALSE(IsWindow(frameWindow));
    EXPECT_FALSE(IsWindow(pageWindow));
    EXPECT_EQ(nullptr, wizard->mainWnd);
    EXPECT_EQ(nullptr, wizard->welcomePage);
    EXPECT_EQ(nullptr, wizard->currentPage);
    EXPECT_EQ(nullptr, wizard->titleFont);
}

TEST_F(WindowTest, FrameFitsTheFirstPageOnceBelowTheBand)
{
    CWndMain* frame = MakeFrame();
    ASSERT_NE(nullptr, frame);
    const int h = frame->MeasureTextHeight();
    ASSERT_GT(h, 0);
    EXPECT_EQ(h + h / 2, wizard->headerHeight);
    EXPECT_EQ(1, wizard->mainSized);

    RECT client, page;
    GetClientRect(frame->hwnd, &client);
    GetClientRect(wizard->currentPage->hwnd, &page);
    EXPECT_EQ(page.right, client.right);
    EXPECT_EQ(page.bottom + wizard->headerHeight, client.bottom);
    POINT origin = {0, 0};
    MapWindowPoints(wizard->currentPage->hwnd, frame->hwnd, &origin, 1);
    EXPECT_EQ(0, origin.x);
    EXPECT_EQ(wizard->headerHeight, origin.y);

    // A later page neither moves nor resizes the frame the user moved.
    RECT before;
    GetWindowRect(frame->hwnd, &before);
    SetWindowPos(frame->hwnd, nullptr, 3, 4, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SendMessageW(frame->hwnd, UM_NEXT, 0, 0);
    RECT after;
    GetWindowRect(frame->hwnd, &after);
    EXPECT_EQ(3, after.left);
    EXPECT_EQ(4, after.top);
    EXPECT_EQ(before.right - before.left, after.right - after.left);
    EXPECT_EQ(before.bottom - before.top, after.bottom - after.top);
}

TEST_F(WindowTest, ControlHelpers)
{
    CWndMain* frame = MakeFrame();
    ASSERT_NE(nullptr, frame);
    CWndBase* page = wizard->currentPage;  // the welcome page

    const IdList ids[] = {IDC_CANCEL, 4242, IDC_NEXT, 0};
    EXPECT_EQ(1, page->EnableControls(ids, 0));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page->hwnd, IDC_CANCEL)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page->hwnd, IDC_NEXT)));
    EXPECT_EQ(1, page->ShowControls(ids, 0));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(page->hwnd, IDC_CANCEL)));
    EXPECT_EQ(0, page->EnableControls(nullptr, 1));
    EXPECT_EQ(0, page->EnableControl(4242, 1));
    EXPECT_EQ(0, page->SetControlText(IDC_CANCEL, nullptr));

    const OptionEntry options[] = {
        {TXT_LANGUAGE_ITEM_0, 5},
        {TXT_LANGUAGE_ITEM_1, 9},
        {TXT_BUTTON_NEXT,     9},
        {0,                   0},
    };
    HWND list = GetDlgItem(page->hwnd, IDC_UI_LANGUAGE);
    EXPECT_EQ(1, page->FillCombo(list, options, 77));  // no entry carries 77
    EXPECT_EQ(3, SendMessageW(list, CB_GETCOUNT, 0, 0));
    EXPECT_EQ(CB_ERR, SendMessageW(list, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(0, page->GetComboData(IDC_UI_LANGUAGE));
    EXPECT_EQ(1, page->FillComboById(IDC_UI_LANGUAGE, options, 9));  // the last of two stays selected
    EXPECT_EQ(2, SendMessageW(list, CB_GETCURSEL, 0, 0));
    EXPECT_EQ(9, page->GetComboData(IDC_UI_LANGUAGE));
    EXPECT_EQ(0, page->FillCombo(list, nullptr, 0));
    EXPECT_EQ(0, page->FillComboById(4242, options, 0));

    const PairEntry pairs[] = {{0x2A, 0xA0}, {0xE01D, 0x1A3}, {0, 0}};
    EXPECT_EQ(0x1A3, CWndBase::LookupValue(0xE01D, pairs));
    EXPECT_EQ(0, CWndBase::LookupValue(0x99, pairs));
    EXPECT_EQ(0, CWndBase::LookupValue(0, pairs));
    EXPECT_EQ(0, CWndBase::LookupValue(0x2A, nullptr));
    EXPECT_EQ(&pairs[0], CWndBase::FindPair(0x2A, pairs));

    // Before a long operation the page is made inert, every control of it.
    wizard->DisableCurrentPage();
    int children = 0, enabled = 0;
    for (HWND child = GetWindow(page->hwnd, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        children++;
        enabled += IsWindowEnabled(child) ? 1 : 0;
    }
    EXPECT_GT(children, 5);
    EXPECT_EQ(0, enabled);
}

TEST_F(WindowTest, WelcomePageFollowsTheLanguageAndTheInstalledState)
{
    CWndMain* frame = MakeFrame();
    ASSERT_NE(nullptr, frame);
    HWND page = wizard->currentPage->hwnd;
    wchar_t caption[64];
    GetDlgItemTextW(page, IDC_NEXT, caption, 64);
    EXPECT_STREQ(L"Next >", caption);

    HWND list = GetDlgItem(page, IDC_UI_LANGUAGE);
    SendMessageW(list, CB_SETCURSEL, 1, 0);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_UI_LANGUAGE, CBN_SELENDOK), (LPARAM)list);
    EXPECT_EQ(1, install.LanguageIndex);
    GetDlgItemTextW(page, IDC_NEXT, caption, 64);
    EXPECT_STREQ(L"Dalej >", caption);

    // Version 130 is an older install: still install mode. Modify does
    // nothing there.
    install.InstalledVersion = 130;
    SendMessageW(frame->hwnd, UM_NEXT, 0, 0);
    SendMessageW(frame->hwnd, UM_BACK, 0, 0);
    page = wizard->currentPage->hwnd;
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(page, IDC_NEXT)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, IDC_MODIFY)));
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_MODIFY, BN_CLICKED), 0);
    Pump();
    EXPECT_EQ((CWndBase*)wizard->welcomePage, wizard->currentPage);
    EXPECT_EQ(0, install.ModifyMode);

    // Version 190: Next ignored; Modify accepts the licence and skips it.
    install.InstalledVersion = 190;
    SendMessageW(frame->hwnd, UM_NEXT, 0, 0);
    SendMessageW(frame->hwnd, UM_BACK, 0, 0);
    page = wizard->currentPage->hwnd;
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(page, IDC_NEXT)));
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_NEXT, BN_CLICKED), 0);
    Pump();
    EXPECT_EQ((CWndBase*)wizard->welcomePage, wizard->currentPage);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_MODIFY, BN_CLICKED), 0);
    Pump();
    EXPECT_EQ(1, install.ModifyMode);
    EXPECT_EQ(1, install.EulaAccepted);
    EXPECT_EQ((CWndBase*)wizard->setupPage, wizard->currentPage);
    SendMessageW(frame->hwnd, UM_BACK, 0, 0);
    ASSERT_NE(nullptr, wizard->licencePage);
    EXPECT_EQ(BST_CHECKED, SendDlgItemMessageW(wizard->licencePage->hwnd, IDC_ACCEPT, BM_GETCHECK, 0, 0));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(wizard->licencePage->hwnd, IDC_NEXT)));
}

TEST_F(WindowTest, LicenceTicksAndFinishRequestsTheRestart)
{
    CWndMain* frame = MakeFrame();
    ASSERT_NE(nullptr, frame);
    SendMessageW(frame->hwnd, UM_NEXT, 0, 0);
    HWND page = wizard->currentPage->hwnd;
    HWND box = GetDlgItem(page, IDC_ACCEPT);
    SendMessageW(box, BM_CLICK, 0, 0);
    EXPECT_EQ(1, install.EulaAccepted);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_NEXT)));
    SendMessageW(box, BM_CLICK, 0, 0);
    EXPECT_EQ(0, install.EulaAccepted);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_NEXT)));

    // The completion page closes without asking and asks for the restart.
    install.CurrentPage = PAGE_FINISHED;
    SendMessageW(frame->hwnd, UM_DONE, 0, 0);
    ASSERT_NE(nullptr, wizard->donePage);
    HWND restart = GetDlgItem(wizard->donePage->hwnd, IDC_RESTART);
    SendMessageW(restart, BM_CLICK, 0, 0);
    Pump();
    EXPECT_EQ(1, install.RestartRequested);
    EXPECT_EQ(nullptr, wizard->mainWnd);  // closed without a question
}

}  // namespace
