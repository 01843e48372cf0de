// The frame's header band and the placing of pages below it.
#include "ui/wnd_base.h"
#include "wizard/wizard.h"

// Icon group of the header band.
const int kHeaderIcon = 128;
const int kHeaderMargin = 10;
const int kHeaderTextLeft = 60;

// Pixel height of one character in the title font, measured on the frame.
int CWndBase::MeasureTextHeight()
{
    HWND frame = owner != nullptr ? owner->GetMainHwnd() : nullptr;
    HDC dc = GetDC(frame);
    if (dc == nullptr)
        return 0;
    HGDIOBJ previous = SelectObject(dc, owner != nullptr ? owner->titleFont : nullptr);
    SIZE size = {0, 0};
    const WChar sample[] = {0x00D3, L'j', 0};
    GetTextExtentPoint32W(dc, sample, 1, &size);
    if (previous != nullptr)
        SelectObject(dc, previous);
    ReleaseDC(frame, dc);
    return size.cy;
}

// Sizes and centres the frame around the first page shown, then puts this
// page directly below the header band.
int CWndBase::FitPage()
{
    HWND frame = owner != nullptr ? owner->GetMainHwnd() : nullptr;
    if (owner == nullptr || hwnd == nullptr || frame == nullptr)
        return 0;
    if (owner->headerHeight == 0) {
        textHeight = MeasureTextHeight();
        owner->headerHeight = textHeight + textHeight / 2;
    }
    RECT frameWindow, frameClient, pageClient, desktop;
    if (!GetWindowRect(frame, &frameWindow) || !GetClientRect(frame, &frameClient) ||
        !GetClientRect(hwnd, &pageClient) || !GetWindowRect(GetDesktopWindow(), &desktop))
        return 0;
    if (owner->mainSized == 0) {
        const int width = (frameWindow.right - frameWindow.left) - (frameClient.right - frameClient.left) +
                          (pageClient.right - pageClient.left);
        const int height = (frameWindow.bottom - frameWindow.top) - (frameClient.bottom - frameClient.top) +
                           (pageClient.bottom - pageClient.top) + owner->headerHeight;
        const int x = ((desktop.right - desktop.left) - width) / 2;
        const int y = ((desktop.bottom - desktop.top) - height) / 2;
        SetWindowPos(frame, nullptr, x, y, width, height, SWP_NOZORDER);
    }
    owner->mainSized = 1;
    SetWindowPos(hwnd, nullptr, 0, owner->headerHeight, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    return 1;
}

// Icon and one grey line: product, layout and version names.
void CWndBase::PaintHeader(HDC dc)
{
    if (owner == nullptr)
        return;
    RECT client;
    GetClientRect(hwnd, &client);
    DrawIcon(dc, kHeaderMargin, kHeaderMargin, LoadIconW(owner->hInstance, MAKEINTRESOURCEW(kHeaderIcon)));
    if (textHeight == 0)
        textHeight = MeasureTextHeight();
    RECT line = {kHeaderTextLeft, kHeaderMargin, client.right, kHeaderMargin + textHeight};

    const COLORREF previousColour = SetTextColor(dc, RGB(128, 128, 128));
    const int previousMode = SetBkMode(dc, TRANSPARENT);
    HGDIOBJ previousFont = SelectObject(dc, owner->titleFont);

    GString part;
    const WChar space = L' ';
    if (LoadText(TXT_PRODUCT_SHORT_NAME) && text.AppendWide(&space, 1) && LoadText(TXT_LAYOUT_RECORD_NAME, part) &&
        text.Append(part) && text.AppendWide(&space, 1) && LoadText(TXT_PRODUCT_VERSION_NAME, part) &&
        text.Append(part))
        DrawTextW(dc, text.WideAt(0), text.Length(), &line, DT_SINGLELINE);

    if (previousFont != nullptr)
        SelectObject(dc, previousFont);
    SetBkMode(dc, previousMode);
    SetTextColor(dc, previousColour);
}
