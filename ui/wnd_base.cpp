// CWndBase: construction, binding, creation, the two procedures and the
// dispatch of a message to the virtual handlers.
#include "ui/wnd_base.h"

#include "wizard/wizard.h"

// Flags that touch nothing but make the window re-read its cached data.
const UINT kSwpRefresh = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE;

CWndBase::CWndBase()
    : hwnd(nullptr), isDialog(0), classAtom(0), owner(nullptr), result(0), notifyCode(0), ctrlId(0),
      ctrlHwnd(nullptr), nmCode(0), nmhdr(nullptr), msg(0), wParam(0), lParam(0), textHeight(0)
{
}

// The window is unbound before it is destroyed: its WM_NCDESTROY then finds
// no object and cannot hand this half-destroyed one back to the owner.
CWndBase::~CWndBase()
{
    HWND h = hwnd;
    Detach();
    if (h != nullptr && IsWindow(h))
        DestroyWindow(h);
    if (classAtom != 0 && owner != nullptr && owner->LoadText(TXT_WINDOW_CLASS))
        UnregisterClassW(owner->text.WideAt(0), owner->hInstance);
}

// Dispatch table of the common messages.
int CWndBase::OnMessage()
{
    switch (msg) {
    case WM_CREATE:     return OnCreate();
    case WM_DESTROY:    return OnDestroy();
    case WM_PAINT:      return OnPaint();
    case WM_CLOSE:      return OnClose();
    case WM_NCDESTROY:  return OnNcDestroy();
    case WM_INITDIALOG: return OnInitDialog();
    default:            return 0;
    }
}

int CWndBase::OnCommand() { return 0; }
int CWndBase::OnCreate() { return 1; }
int CWndBase::OnPaint() { return 0; }
int CWndBase::OnDestroy() { return 0; }
int CWndBase::OnInitDialog() { return 0; }

// The last thing that happens to the object: the owner deletes it.
int CWndBase::OnNcDestroy()
{
    Detach();
    if (owner != nullptr)
        owner->ReleaseWindow(this);
    return 1;
}

int CWndBase::OnClose()
{
    DestroyWindow(hwnd);
    return 1;
}

int CWndBase::Close()
{
    PostMessageW(hwnd, WM_CLOSE, 0, 0);
    return 0;
}

int CWndBase::RegisterWindowClass()
{
    if (owner == nullptr || !owner->LoadText(TXT_WINDOW_CLASS))
        return 0;
    WNDCLASSEXW wc;
    ZeroMemory(&wc, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = owner->hInstance;
    wc.hIcon = LoadIconW(owner->hInstance, MAKEINTRESOURCEW(129));
    wc.hIconSm = wc.hIcon;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = owner->text.WideAt(0);
    classAtom = RegisterClassExW(&wc);
    return classAtom != 0;
}

int CWndBase::Create(TextId titleTextId, DWORD style, int width, int height)
{
    if (owner == nullptr || hwnd != nullptr)
        return 0;
    isDialog = 0;
    RECT desktop;
    if (!GetWindowRect(GetDesktopWindow(), &desktop) || !LoadText(titleTextId))
        return 0;
    const int desktopWidth = desktop.right - desktop.left;
    const int desktopHeight = desktop.bottom - desktop.top;
    HWND made = CreateWindowExW(0, MAKEINTATOM(classAtom), text.WideAt(0), style, (desktopWidth - width) / 2,
                                (desktopHeight - height) / 2, width, height, nullptr, nullptr,
                                owner->hInstance, this);
    if (made == nullptr || hwnd == nullptr)
        return 0;
    ShowWindow(hwnd, SW_SHOW);
    return 1;
}

int CWndBase::ShowDialog(int templateId, HWND parent)
{
    if (owner == nullptr || hwnd != nullptr)
        return 0;
    isDialog = 1;
    HWND made = CreateDialogParamW(owner->hInstance, MAKEINTRESOURCEW(templateId), parent, DialogProc,
                                   (LPARAM)this);
    if (made == nullptr || hwnd == nullptr)
        return 0;
    ShowWindow(hwnd, SW_SHOW);
    return 1;
}

int CWndBase::Attach(HWND h)
{
    if (hwnd != nullptr || h == nullptr)
        return 0;
    const LONG held = GetWindowLongW(h, GWL_USERDATA);
    hwnd = h;
    if (held != 0)
        return 1;  // bound already; the existing value stays
    SetLastError(0);
    if (SetWindowLongW(h, GWL_USERDATA, (LONG)(LONG_PTR)this) == 0 && GetLastError() != 0)
        return 0;
    SetWindowPos(h, nullptr, 0, 0, 0, 0, kSwpRefresh);
    return 1;
}

void CWndBase::Detach()
{
    if (hwnd == nullptr)
        return;
    SetWindowLongW(hwnd, GWL_USERDATA, 0);
    SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, kSwpRefresh);
    hwnd = nullptr;
}

BOOL CWndBase::DestroyWnd()
{
    return hwnd != nullptr ? DestroyWindow(hwnd) : TRUE;
}

void CWndBase::ClearMessageState()
{
    result = 0;
    notifyCode = 0;
    ctrlId = 0;
    ctrlHwnd = nullptr;
    nmCode = 0;
    nmhdr = nullptr;
}

LRESULT CWndBase::DispatchWindowMessage()
{
    ClearMessageState();
    if (msg == WM_COMMAND) {
        notifyCode = HIWORD(wParam);
        ctrlId = LOWORD(wParam);
        ctrlHwnd = (HWND)lParam;
    } else if (msg == WM_NOTIFY) {
        nmhdr = (NMHDR*)lParam;
        if (nmhdr != nullptr) {
            ctrlId = (uint16_t)nmhdr->idFrom;
            nmCode = nmhdr->code;
        }
    }
    if (!OnMessage())
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    return result;
}

INT_PTR CWndBase::DispatchDialogMessage()
{
    ClearMessageState();
    int handled;
    if (msg == WM_COMMAND) {
        notifyCode = HIWORD(wParam);
        ctrlId = LOWORD(wParam);
        ctrlHwnd = (HWND)lParam;
        handled = OnCommand();
    } else if (msg == WM_NOTIFY) {
        ctrlId = LOWORD(wParam);
        nmhdr = (NMHDR*)lParam;
        if (nmhdr != nullptr) {
            ctrlId = (uint16_t)nmhdr->idFrom;
            nmCode = nmhdr->code;
        }
        return FALSE;  // no page handler sees notifications
    } else {
        if (msg == WM_INITDIALOG)
            result = 1;
        handled = OnMessage();
    }
    if (!handled)
        return FALSE;
    if (msg == WM_COMMAND) {
        SetWindowLongW(hwnd, DWL_MSGRESULT, result);
        return FALSE;
    }
    return result;
}

LRESULT CALLBACK WindowProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWndBase* object = (CWndBase*)(LONG_PTR)GetWindowLongW(h, GWL_USERDATA);
    if (object == nullptr) {
        if (message != WM_NCCREATE && message != WM_CREATE)
            return DefWindowProcW(h, message, wParam, lParam);
        object = (CWndBase*)((CREATESTRUCTW*)lParam)->lpCreateParams;
        if (object == nullptr || object->isDialog != 0)
            return DefWindowProcW(h, message, wParam, lParam);
        object->Attach(h);
    }
    object->msg = message;
    object->wParam = wParam;
    object->lParam = lParam;
    if (message == WM_NCDESTROY) {
        // The object is released while handling this; nothing more is read.
        object->OnMessage();
        return DefWindowProcW(h, message, wParam, lParam);
    }
    return object->DispatchWindowMessage();
}

INT_PTR CALLBACK DialogProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWndBase* object = (CWndBase*)(LONG_PTR)GetWindowLongW(h, GWL_USERDATA);
    if (object == nullptr) {
        if (message != WM_INITDIALOG || lParam == 0 || ((CWndBase*)lParam)->isDialog == 0)
            return FALSE;
        object = (CWndBase*)lParam;
        object->Attach(h);
    }
    object->msg = message;
    object->wParam = wParam;
    object->lParam = lParam;
    if (message == WM_NCDESTROY) {
        object->OnMessage();
        return FALSE;
    }
    return object->DispatchDialogMessage();
}

int CWndBase::LoadText(TextId id)
{
    return owner != nullptr ? owner->LoadText(id, text) : 0;
}

int CWndBase::LoadText(TextId id, GString& target)
{
    return owner != nullptr ? owner->LoadText(id, target) : 0;
}

int CWndBase::ShowMessageText(const WChar* message, UINT flags)
{
    return owner != nullptr ? owner->ShowMessageText(message, flags) : 0;
}

int CWndBase::ShowMessage(TextId id, UINT flags)
{
    return owner != nullptr ? owner->ShowMessage(id, flags) : 0;
}

int32_t CWndBase::GetPage()
{
    return owner != nullptr ? owner->GetPage() : -1;
}

void CWndBase::SetPage(int32_t page)
{
    if (owner != nullptr)
        owner->SetPage(page);
}
