// CWndMain: the frame window. It has no controls: a painted header band and,
// below it, the current page. Pages reach it only by posting wizard messages.
#include "ui/messages.h"
#include "ui/wnd_base.h"
#include "wizard/wizard.h"

int CWndMain::OnMessage()
{
    if (CWndBase::OnMessage())
        return 1;
    switch (msg) {
    case UM_CANCEL:  return Close();
    case UM_BACK:    return GoBack();
    case UM_NEXT:    return GoNext();
    case UM_SETUP:   return ShowSetupPage();
    case UM_EXPERT1: return ShowExpertPage1();
    case UM_EXPERT2: return ShowExpertPage2();
    case UM_DONE:    return ShowDonePage();
    case UM_FINISH:  return OnFinish();
    default:         return 0;
    }
}

int CWndMain::OnCreate()
{
    if (owner == nullptr)
        return 0;
    owner->ShowWelcomePage();
    return 1;
}

int CWndMain::OnPaint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    PaintHeader(dc);
    EndPaint(hwnd, &ps);
    return 1;
}

int CWndMain::OnDestroy()
{
    PostQuitMessage(0);
    return 1;
}

// Every close of the frame, the close box included, comes here. Once a page
// has finished the wizard the frame closes without asking.
int CWndMain::OnClose()
{
    if (owner == nullptr)
        return 0;  // default processing closes the window
    if (GetPage() == PAGE_FINISHED || ShowMessage(TXT_CLOSE_QUESTION, MB_YESNO | MB_ICONQUESTION) == IDYES)
        DestroyWindow(hwnd);
    return 1;
}

int CWndMain::OnFinish()
{
    if (owner == nullptr || !owner->SetRestartRequested())
        return 0;
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
    return 1;
}

int CWndMain::GoBack()
{
    if (owner == nullptr)
        return 0;
    switch (GetPage()) {
    case PAGE_LICENCE: return owner->ShowWelcomePage();
    case PAGE_SETUP:   return owner->ShowLicencePage();
    default:           return 0;
    }
}

int CWndMain::GoNext()
{
    if (owner == nullptr)
        return 0;
    switch (GetPage()) {
    case PAGE_WELCOME: return owner->ShowLicencePage();
    case PAGE_LICENCE: return owner->ShowSetupPage();
    default:           return 0;
    }
}

int CWndMain::ShowDonePage() { return owner != nullptr ? owner->ShowDonePage() : 0; }
int CWndMain::ShowSetupPage() { return owner != nullptr ? owner->ShowSetupPage() : 0; }
int CWndMain::ShowExpertPage1() { return owner != nullptr ? owner->ShowExpertPage1() : 0; }
int CWndMain::ShowExpertPage2() { return owner != nullptr ? owner->ShowExpertPage2() : 0; }
