// CWizard: pages, the message loop, texts and message boxes, and the
// installer's state as the pages see it.
#include "wizard/wizard.h"

#include <commctrl.h>
#include <new>

#include "core/install.h"
#include "payload/payload.h"
#include "ui/wnd_base.h"
#include "wizard/licence_text.h"
#include "wizard/pages.h"
#include "wizard/resource.h"

// The frame before the first page sizes it.
const DWORD kFrameStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
const int kFrameWidth = 500;
const int kFrameHeight = 400;

// The title font of the header band.
const LONG kTitleFontHeight = -30;
const LONG kTitleFontWeight = FW_BOLD;

CWizard::CWizard(CInstall* owner)
    : hInstance(nullptr), install(owner), mainWnd(nullptr), currentPage(nullptr), welcomePage(nullptr),
      licencePage(nullptr), setupPage(nullptr), expertPage1(nullptr), expertPage2(nullptr), donePage(nullptr),
      titleFont(nullptr), mainSized(0), headerHeight(0)
{
}

CWizard::~CWizard()
{
    DestroyWindows();
}

int CWizard::PrepareUi(HINSTANCE instance)
{
    if (install == nullptr || instance == nullptr)
        return 0;
    hInstance = instance;
    LOGFONTW font;
    ZeroMemory(&font, sizeof font);
    font.lfHeight = kTitleFontHeight;
    font.lfWeight = kTitleFontWeight;
    if (LoadText(TXT_TITLE_FONT_FACE)) {
        const int cch = text.Length() < LF_FACESIZE - 1 ? text.Length() : LF_FACESIZE - 1;
        CopyMemory(font.lfFaceName, text.WideAt(0), cch * sizeof(WCHAR));
    }
    titleFont = CreateFontIndirectW(&font);  // without it the DC's own font is used
    InitCommonControls();
    return 1;
}

int CWizard::RunMessageLoop()
{
    mainWnd = new (std::nothrow) CWndMain;
    if (mainWnd == nullptr)
        return 0;
    mainWnd->owner = this;
    // Nothing would ever post the quit message for a frame that was not made.
    if (!mainWnd->RegisterWindowClass() || !mainWnd->Create(TXT_WINDOW_TITLE, kFrameStyle, kFrameWidth, kFrameHeight))
        return 0;
    HACCEL accelerators = LoadAcceleratorsW(hInstance, MAKEINTRESOURCEW(IDA_WIZARD));

    MSG message;
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        if (currentPage != nullptr) {
            if (IsDialogMessageW(currentPage->hwnd, &message))
                continue;
            if (mainWnd == nullptr || TranslateAcceleratorW(mainWnd->hwnd, accelerators, &message))
                continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 1;
}

void CWizard::DestroyWindows()
{
    if (titleFont != nullptr)
        DeleteObject(titleFont);
    titleFont = nullptr;
    // Each slot is cleared before its object goes, so that nothing the
    // destruction sends can reach a deleted object through the controller.
    CWndBase* objects[] = {mainWnd, welcomePage, licencePage, setupPage, expertPage1, expertPage2, donePage};
    mainWnd = nullptr;
    welcomePage = nullptr;
    licencePage = nullptr;
    setupPage = nullptr;
    expertPage1 = nullptr;
    expertPage2 = nullptr;
    donePage = nullptr;
    currentPage = nullptr;
    for (CWndBase* object : objects)
        delete object;
}

int CWizard::SwitchPage(int templateId, CWndBase* page)
{
    if (page == nullptr)
        return 0;
    if (currentPage != nullptr)
        currentPage->DestroyWnd();  // released through ReleaseWindow
    currentPage = page;
    page->owner = this;
    page->ShowDialog(templateId, GetMainHwnd());
    return 1;
}

// Makes the page object of a slot and shows it; 0 while the slot is taken.
template <typename Page>
static int ShowPage(CWizard* wizard, Page*& slot, int templateId)
{
    if (slot != nullptr)
        return 0;
    slot = new (std::nothrow) Page;
    if (slot == nullptr)
        return 0;
    return wizard->SwitchPage(templateId, slot);
}

int CWizard::ShowWelcomePage() { return ShowPage(this, welcomePage, IDD_WELCOME); }
int CWizard::ShowLicencePage() { return ShowPage(this, licencePage, IDD_LICENCE); }
int CWizard::ShowSetupPage() { return ShowPage(this, setupPage, IDD_SETUP); }
int CWizard::ShowExpertPage1() { return ShowPage(this, expertPage1, IDD_EXPERT1); }
int CWizard::ShowExpertPage2() { return ShowPage(this, expertPage2, IDD_EXPERT2); }
int CWizard::ShowDonePage() { return ShowPage(this, donePage, IDD_DONE); }

template <typename Page>
static int ReleaseFrom(Page*& slot, CWndBase* object)
{
    if (slot == nullptr || static_cast<CWndBase*>(slot) != object)
        return 0;
    slot = nullptr;
    return 1;
}

void CWizard::ReleaseWindow(CWndBase* object)
{
    if (object == nullptr)
        return;
    const int known = ReleaseFrom(mainWnd, object) || ReleaseFrom(welcomePage, object) ||
                      ReleaseFrom(licencePage, object) || ReleaseFrom(setupPage, object) ||
                      ReleaseFrom(expertPage1, object) || ReleaseFrom(expertPage2, object) ||
                      ReleaseFrom(donePage, object);
    if (currentPage == object)
        currentPage = nullptr;
    if (known)
        delete object;
}

void CWizard::DisableCurrentPage()
{
    if (currentPage == nullptr || currentPage->hwnd == nullptr)
        return;
    HWND child = GetWindow(GetWindow(currentPage->hwnd, GW_CHILD), GW_HWNDFIRST);
    for (; child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        EnableWindow(child, FALSE);
}

int CWizard::LoadText(TextId id)
{
    return LoadText(id, text);
}

int CWizard::LoadText(TextId id, GString& target)
{
    return install != nullptr ? install->GetText(id, target) : 0;
}

int CWizard::ShowMessageText(const WChar* message, UINT flags)
{
    GString caption;
    LoadText(TXT_WINDOW_TITLE, caption);
    return MessageBoxW(GetMainHwnd(), message, caption.WideAt(0), flags);
}

int CWizard::ShowMessage(TextId id, UINT flags)
{
    GString message;
    LoadText(id, message);
    return ShowMessageText(message.WideAt(0), flags);
}

HWND CWizard::GetMainHwnd() const
{
    return mainWnd != nullptr ? mainWnd->hwnd : nullptr;
}

// The installer's state -------------------------------------------------------

int32_t CWizard::GetPage() const { return install != nullptr ? install->CurrentPage : -1; }
void CWizard::SetPage(int32_t page) { if (install != nullptr) install->CurrentPage = page; }
int32_t CWizard::GetOsCode() const { return install != nullptr ? install->OsCode : 0; }
int32_t CWizard::GetLanguageIndex() const { return install != nullptr ? install->LanguageIndex : 0; }
void CWizard::SetLanguageIndex(int32_t index) { if (install != nullptr) install->SetLanguageIndex(index); }
uint32_t CWizard::GetInstalledVersion() const { return install != nullptr ? install->InstalledVersion : 0; }
int32_t CWizard::GetIsAdmin() const { return install != nullptr ? install->IsAdmin : 0; }
int32_t CWizard::GetRemovalDone() const { return install != nullptr ? install->RemovalDone : 0; }
int32_t CWizard::GetViewerAvailable() const { return install != nullptr ? install->ViewerAvailable : 0; }
int32_t CWizard::GetModifyMode() const { return install != nullptr ? install->ModifyMode : 0; }
void CWizard::SetModifyMode(int32_t on) { if (install != nullptr) install->SetModifyMode(on); }
int32_t CWizard::GetEulaAccepted() const { return install != nullptr ? install->EulaAccepted : 0; }
void CWizard::SetEulaAccepted(int32_t accepted) { if (install != nullptr) install->EulaAccepted = accepted; }

int CWizard::SetRestartRequested()
{
    if (install == nullptr)
        return 0;
    install->RestartRequested = 1;
    return 1;
}

int CWizard::LoadCurrentLicence(GString& target)
{
    if (install == nullptr)
        return 0;
    const PayloadBlob blob = LicenceBlob(install->LanguageIndex);
    return LoadLicenceText(install->Guard, blob.Data, blob.Size, target);
}
