// Drives the installer's wizard from outside, as a user would: finds the frame
// by its class, the page and its controls by id, clicks, selects, answers
// message boxes, and saves a screenshot of every page it visits.
//
//   gui_driver.exe SCENARIO INSTALLER.exe SHOT_DIR [INSTALLER ARGS...]
//
// Exit code 0 when every check of the scenario held, 1 otherwise.
#include <windows.h>

#include <stdio.h>
#include <string>

namespace {

typedef std::wstring Text;

const wchar_t kFrameClass[] = L"KreskaSetupFrame";
const wchar_t kDialogClass[] = L"#32770";
const DWORD kTimeoutMs = 15000;

// A control that only one page has, naming that page.
enum PageMark { WELCOME = 2002, LICENCE = 306, SETUP = 1202, EXPERT = 1401, DONE = 1209 };

int failures = 0;
Text shotDir;

void Check(bool ok, const char* what, const Text& detail = Text())
{
    if (!ok) {
        failures++;
        printf("FAIL: %s %ls\n", what, detail.c_str());
    } else {
        printf("ok: %s\n", what);
    }
    fflush(stdout);
}

template <typename Condition>
bool WaitFor(Condition condition, DWORD timeoutMs = kTimeoutMs)
{
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(50);
    }
    return true;
}

struct Installer {
    PROCESS_INFORMATION pi = {};
    HWND frame = nullptr;
};

bool Start(Installer& installer, const Text& path, const Text& args)
{
    Text line = L"\"" + path + L"\" " + args;
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    return CreateProcessW(path.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          &installer.pi) != 0;
}

struct FrameSearch {
    DWORD pid;
    HWND found;
    int count;
};

BOOL CALLBACK CollectFrame(HWND h, LPARAM p)
{
    FrameSearch* search = (FrameSearch*)p;
    wchar_t name[64];
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (GetClassNameW(h, name, 64) && lstrcmpW(name, kFrameClass) == 0) {
        search->count++;
        if (search->pid == 0 || pid == search->pid)
            search->found = h;
    }
    return TRUE;
}

FrameSearch FindFrames(DWORD pid)
{
    FrameSearch search = {pid, nullptr, 0};
    EnumWindows(CollectFrame, (LPARAM)&search);
    return search;
}

bool WaitFrame(Installer& installer)
{
    return WaitFor([&] { return (installer.frame = FindFrames(installer.pi.dwProcessId).found) != nullptr; });
}

HWND Page(HWND frame)
{
    return FindWindowExW(frame, nullptr, kDialogClass, nullptr);
}

HWND Control(HWND frame, int id)
{
    HWND page = Page(frame);
    return page != nullptr ? GetDlgItem(page, id) : nullptr;
}

bool OnPage(HWND frame, PageMark mark)
{
    return Control(frame, mark) != nullptr && IsWindowVisible(Page(frame));
}

Text TextOf(HWND h)
{
    wchar_t buffer[4096] = {0};
    DWORD_PTR ignored;
    SendMessageTimeoutW(h, WM_GETTEXT, 4096, (LPARAM)buffer, SMTO_ABORTIFHUNG, 2000, &ignored);
    return buffer;
}

Text ControlText(HWND frame, int id)
{
    HWND control = Control(frame, id);
    return control != nullptr ? TextOf(control) : L"<missing>";
}

bool Visible(HWND frame, int id) { return IsWindowVisible(Control(frame, id)) != 0; }
bool Enabled(HWND frame, int id) { return IsWindowEnabled(Control(frame, id)) != 0; }

bool Checked(HWND frame, int id)
{
    DWORD_PTR state = 0;
    SendMessageTimeoutW(Control(frame, id), BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state);
    return state == BST_CHECKED;
}

void Click(HWND frame, int id)
{
    PostMessageW(Control(frame, id), BM_CLICK, 0, 0);
}

// Selects a list item and tells the page, as the list does after a choice.
void Choose(HWND frame, int id, int index)
{
    HWND list = Control(frame, id);
    DWORD_PTR ignored;
    SendMessageTimeoutW(list, CB_SETCURSEL, index, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
    PostMessageW(Page(frame), WM_COMMAND, MAKEWPARAM(id, CBN_SELENDOK), (LPARAM)list);
}

// The message box the installer shows over its frame, if any.
HWND MessageBoxOf(Installer& installer)
{
    HWND box = nullptr;
    while ((box = FindWindowExW(nullptr, box, kDialogClass, nullptr)) != nullptr) {
        DWORD pid = 0;
        GetWindowThreadProcessId(box, &pid);
        if (pid == installer.pi.dwProcessId && IsWindowVisible(box))
            return box;
    }
    return nullptr;
}

Text MessageBoxText(HWND box)
{
    Text all;
    HWND child = nullptr;
    while ((child = FindWindowExW(box, child, L"Static", nullptr)) != nullptr)
        all += TextOf(child);
    return all;
}

void Answer(HWND box, int button)
{
    PostMessageW(GetDlgItem(box, button), BM_CLICK, 0, 0);
}

// Captures a window from the screen into SHOT_DIR\NAME.bmp (24 bits).
void Screenshot(HWND window, const wchar_t* name)
{
    Sleep(400);  // let the page and the header band paint
    RECT r;
    GetWindowRect(window, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    const DWORD cbRow = (width * 3 + 3) & ~3u;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + cbRow * height;
    Text path = shotDir + L"\\" + name + L".bmp";
    HANDLE out = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written;
    bool saved = out != INVALID_HANDLE_VALUE && WriteFile(out, &file, sizeof file, &written, nullptr) &&
                 WriteFile(out, &info.bmiHeader, sizeof info.bmiHeader, &written, nullptr) &&
                 WriteFile(out, bits, cbRow * height, &written, nullptr);
    if (out != INVALID_HANDLE_VALUE)
        CloseHandle(out);
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    Check(saved, "screenshot saved", path);
}

// Closes through the close box, answers Yes, and expects a clean exit.
void CloseWithYes(Installer& installer)
{
    PostMessageW(installer.frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    HWND box = nullptr;
    Check(WaitFor([&] { return (box = MessageBoxOf(installer)) != nullptr; }), "close asks the question");
    if (box != nullptr)
        Answer(box, IDYES);
    const bool ended = WaitForSingleObject(installer.pi.hProcess, kTimeoutMs) == WAIT_OBJECT_0;
    DWORD code = 1;
    GetExitCodeProcess(installer.pi.hProcess, &code);
    Check(ended && code == 0, "Yes ends the installer with exit code 0");
}

void Stop(Installer& installer)
{
    if (WaitForSingleObject(installer.pi.hProcess, 0) == WAIT_TIMEOUT)
        TerminateProcess(installer.pi.hProcess, 3);
    CloseHandle(installer.pi.hThread);
    CloseHandle(installer.pi.hProcess);
}

void CheckWelcomeInstallMode(HWND frame)
{
    Check(Visible(frame, 1) && Enabled(frame, 1), "welcome: Next shown and enabled");
    Check(!Visible(frame, 315) && !Visible(frame, 2) && !Visible(frame, 2003),
          "welcome: remove, open and modify hidden");
}

// Scenarios -------------------------------------------------------------------

void Navigate(Installer& in)
{
    HWND f = in.frame;
    Check(WaitFor([&] { return OnPage(f, WELCOME); }), "welcome page shown");
    Check(ControlText(f, 308) == L"Welcome to Kreska Polish Setup", "welcome heading", ControlText(f, 308));
    Check(ControlText(f, 1) == L"Next >" && ControlText(f, 300) == L"Cancel", "welcome buttons");
    Check(ControlText(f, 307) == L"Language of Setup:", "language label");
    Check(ControlText(f, 2002) == L"English", "language list shows English");
    Check(TextOf(f) == L"Kreska Polish Setup", "frame title", TextOf(f));
    CheckWelcomeInstallMode(f);
    RECT frameClient, page;
    GetClientRect(f, &frameClient);
    GetWindowRect(Page(f), &page);
    POINT pageOrigin = {page.left, page.top};
    ScreenToClient(f, &pageOrigin);
    Check(pageOrigin.x == 0 && pageOrigin.y > 30 && frameClient.right == page.right - page.left &&
              frameClient.bottom == pageOrigin.y + (page.bottom - page.top),
          "frame fitted around the page below the header band");
    Screenshot(f, L"welcome_en");

    Click(f, 1);
    Check(WaitFor([&] { return OnPage(f, LICENCE); }), "Next shows the licence page");
    Check(!Enabled(f, 1) && !Checked(f, 305), "licence: box clear, Next disabled");
    Check(ControlText(f, 305) == L"I accept the agreement", "licence: accept caption");
    Check(ControlText(f, 306).compare(0, 29, L"KRESKA POLISH KEYBOARD LAYOUT") == 0, "licence text in English");
    Screenshot(f, L"licence_en");
    Click(f, 305);
    Check(WaitFor([&] { return Enabled(f, 1); }), "ticking enables Next");
    Click(f, 305);
    Check(WaitFor([&] { return !Enabled(f, 1); }), "unticking disables Next");
    Click(f, 305);
    Check(WaitFor([&] { return Enabled(f, 1); }), "ticking again enables Next");

    Click(f, 1);
    Check(WaitFor([&] { return OnPage(f, SETUP); }), "Next shows the setup page");
    Check(ControlText(f, 313) == L"Add Kreska Polish to this input language:", "setup: label formatted",
          ControlText(f, 313));
    Check(ControlText(f, 206) == L"Install" && ControlText(f, 303) == L"Keys", "setup: button captions");
    Check(!Visible(f, 304), "setup: second expert button hidden");
    Screenshot(f, L"setup_en");
    Click(f, 303);
    Check(WaitFor([&] { return OnPage(f, EXPERT); }), "expert button shows the expert page");
    Screenshot(f, L"expert_en");
    Click(f, 301);
    Check(WaitFor([&] { return OnPage(f, SETUP); }), "Back from the expert page shows the setup page");

    Click(f, 301);
    Check(WaitFor([&] { return OnPage(f, LICENCE); }), "Back shows the licence page");
    Check(Checked(f, 305) && Enabled(f, 1), "licence: acceptance kept");
    Click(f, 301);
    Check(WaitFor([&] { return OnPage(f, WELCOME); }), "Back shows the welcome page");
    CloseWithYes(in);
}

void Language(Installer& in)
{
    HWND f = in.frame;
    Check(WaitFor([&] { return OnPage(f, WELCOME); }), "welcome page shown");
    Choose(f, 2002, 1);
    Check(WaitFor([&] { return ControlText(f, 1) == L"Dalej >"; }), "Next re-texted in Polish", ControlText(f, 1));
    Check(ControlText(f, 308) == L"Witamy w instalatorze układu Kreska Polish", "Polish heading",
          ControlText(f, 308));
    Check(ControlText(f, 307) == L"Język instalatora:" && ControlText(f, 300) == L"Anuluj", "Polish captions");
    Check(ControlText(f, 2002) == L"Polski", "language list shows Polish");
    CheckWelcomeInstallMode(f);
    Screenshot(f, L"welcome_pl");
    Click(f, 1);
    Check(WaitFor([&] { return OnPage(f, LICENCE); }), "licence page shown");
    Check(ControlText(f, 305) == L"Akceptuję warunki umowy", "Polish accept caption", ControlText(f, 305));
    Check(ControlText(f, 306).compare(0, 30, L"UKŁAD KLAWIATURY KRESKA POLISH") == 0, "licence text in Polish");
    Screenshot(f, L"licence_pl");
    Click(f, 301);
    Check(WaitFor([&] { return OnPage(f, WELCOME); }), "Back shows the welcome page");
    Check(ControlText(f, 1) == L"Dalej >" && ControlText(f, 2002) == L"Polski", "welcome stays Polish");
    Choose(f, 2002, 0);
    Check(WaitFor([&] { return ControlText(f, 1) == L"Next >"; }), "switching back re-texts in English");
    CloseWithYes(in);
}

void Close(Installer& in)
{
    HWND f = in.frame;
    Check(WaitFor([&] { return OnPage(f, WELCOME); }), "welcome page shown");
    Click(f, 1);
    Check(WaitFor([&] { return OnPage(f, LICENCE); }), "licence page shown");
    PostMessageW(f, WM_SYSCOMMAND, SC_CLOSE, 0);
    HWND box = nullptr;
    Check(WaitFor([&] { return (box = MessageBoxOf(in)) != nullptr; }), "close box asks");
    if (box != nullptr) {
        Check(MessageBoxText(box) == L"Do you want to quit Setup?", "question 96", MessageBoxText(box));
        Check(TextOf(box) == L"Kreska Polish Setup", "message box caption", TextOf(box));
        Check(GetDlgItem(box, IDYES) != nullptr && GetDlgItem(box, IDNO) != nullptr, "Yes and No buttons");
        Screenshot(box, L"close_question");
        Answer(box, IDNO);
    }
    Check(WaitFor([&] { return MessageBoxOf(in) == nullptr; }), "No closes the question");
    Sleep(300);
    Check(IsWindow(f) && OnPage(f, LICENCE), "No keeps the licence page");
    Click(f, 300);  // Cancel asks the same question
    Check(WaitFor([&] { return (box = MessageBoxOf(in)) != nullptr; }), "Cancel asks too");
    if (box != nullptr)
        Answer(box, IDNO);
    Check(WaitFor([&] { return MessageBoxOf(in) == nullptr; }) && OnPage(f, LICENCE), "No keeps the page again");
    CloseWithYes(in);
}

void Second(Installer& in, const Text& path, const Text& args)
{
    HWND f = in.frame;
    Check(WaitFor([&] { return OnPage(f, WELCOME); }), "first instance shows the welcome page");
    Installer second;
    Check(Start(second, path, args), "second instance started");
    const bool ended = WaitForSingleObject(second.pi.hProcess, kTimeoutMs) == WAIT_OBJECT_0;
    DWORD code = 1;
    GetExitCodeProcess(second.pi.hProcess, &code);
    Check(ended && code == 0, "second instance ends with exit code 0");
    Check(FindFrames(0).count == 1, "one frame only");
    HWND foreground = GetForegroundWindow();
    Check(foreground == f || GetAncestor(foreground, GA_ROOT) == f, "first frame in the foreground");
    Stop(second);
    CloseWithYes(in);
}

void Escape(Installer& in)
{
    HWND f = in.frame;
    Check(WaitFor([&] { return OnPage(f, WELCOME); }), "welcome page shown");
    GUITHREADINFO gui = {};
    gui.cbSize = sizeof gui;
    GetGUIThreadInfo(in.pi.dwThreadId, &gui);
    Check(gui.hwndFocus == Control(f, 1), "focus on Next");
    HWND target = gui.hwndFocus != nullptr ? gui.hwndFocus : Control(f, 1);
    PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 0x00010001);
    PostMessageW(target, WM_KEYUP, VK_ESCAPE, 0xC0010001);
    Sleep(1000);
    Check(MessageBoxOf(in) == nullptr, "Esc on the welcome page asks nothing");
    Check(WaitForSingleObject(in.pi.hProcess, 0) == WAIT_TIMEOUT && OnPage(f, WELCOME),
          "Esc on the welcome page keeps the wizard on it");
    CheckWelcomeInstallMode(f);
    CloseWithYes(in);
}

void InstalledMode(Installer& in)
{
    HWND f = in.frame;
    Check(WaitFor([&] { return OnPage(f, WELCOME); }), "welcome page shown");
    Check(ControlText(f, 308) == L"Kreska Polish is installed", "installed heading", ControlText(f, 308));
    Check(!Visible(f, 1) && !Enabled(f, 1), "Next hidden and disabled");
    Check(Visible(f, 315) && Visible(f, 2) && Visible(f, 2003), "remove, open and modify shown");
    Check(Enabled(f, 2003) && ControlText(f, 2003) == L"Modify", "modify usable");
    Screenshot(f, L"welcome_installed");
    Click(f, 2003);
    Check(WaitFor([&] { return OnPage(f, SETUP); }), "Modify goes straight to the setup page");
    Click(f, 301);
    Check(WaitFor([&] { return OnPage(f, LICENCE); }), "Back shows the licence page");
    Check(Checked(f, 305) && Enabled(f, 1), "licence already accepted after Modify");
    CloseWithYes(in);
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc < 4) {
        printf("usage: gui_driver SCENARIO INSTALLER SHOT_DIR [ARGS...]\n");
        return 2;
    }
    const Text scenario = argv[1], path = argv[2];
    shotDir = argv[3];
    CreateDirectoryW(shotDir.c_str(), nullptr);
    Text args;
    for (int i = 4; i < argc; i++)
        args += Text(argv[i]) + L" ";

    Installer in;
    if (!Start(in, path, args) || !WaitFrame(in)) {
        printf("FAIL: the installer's frame did not appear\n");
        return 1;
    }
    if (scenario == L"navigate")
        Navigate(in);
    else if (scenario == L"language")
        Language(in);
    else if (scenario == L"close")
        Close(in);
    else if (scenario == L"second")
        Second(in, path, args);
    else if (scenario == L"escape")
        Escape(in);
    else if (scenario == L"installed")
        InstalledMode(in);
    else
        Check(false, "known scenario", scenario);
    Stop(in);
    printf("%s: %d failure(s)\n", failures ? "FAILED" : "PASSED", failures);
    return failures ? 1 : 0;
}
