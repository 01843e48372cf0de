// CWizard: the user-interface controller owned by the installer object.
//
// It holds the frame object and one slot per page object, makes the pages on
// request and switches between them, runs the message loop, and is the
// window objects' only path to texts, message boxes and the installer's
// state. Plain object, no virtual operations.
//
//   CWizard   the controller (this header)
//   PAGE_*    the page numbers kept in the installer's CurrentPage
#pragma once

#include <stdint.h>
#include <windows.h>

#include "payload/text_id.h"
#include "text/gstring.h"

class CInstall;
class CWndBase;
class CWndMain;
class CDlgWelcome;
class CDlgEula;
class CDlgSetup;
class CDlgExpert1;
class CDlgExpert2;
class CDlgDone;

// Page numbers. 5 is not used; PAGE_FINISHED also marks a page that is
// closing the wizard itself, so that closing needs no confirmation.
enum : int32_t {
    PAGE_WELCOME = 1,
    PAGE_LICENCE = 2,
    PAGE_SETUP = 3,
    PAGE_EXPERT = 4,
    PAGE_FINISHED = 6,
};

class CWizard {
public:
    // Construction
    explicit CWizard(CInstall* install);
    ~CWizard();  // DestroyWindows

    // Lifecycle
    int PrepareUi(HINSTANCE instance);  // font, common controls; 0 without owner or instance
    int RunMessageLoop();               // 0 when the frame cannot be made
    void DestroyWindows();              // font, frame and page objects

    // Pages
    int SwitchPage(int templateId, CWndBase* page);
    int ShowWelcomePage();
    int ShowLicencePage();
    int ShowSetupPage();
    int ShowExpertPage1();
    int ShowExpertPage2();
    int ShowDonePage();
    // Called by a window object from its WM_NCDESTROY: deletes it and
    // forgets every reference to it.
    void ReleaseWindow(CWndBase* object);
    // Disables every child control of the current page.
    void DisableCurrentPage();

    // Texts and messages
    int LoadText(TextId id);
    int LoadText(TextId id, GString& target);
    int ShowMessageText(const WChar* text, UINT flags);
    int ShowMessage(TextId id, UINT flags);
    HWND GetMainHwnd() const;

    // The installer's state, for the pages
    int HasInstall() const { return install != nullptr; }
    int32_t GetPage() const;
    void SetPage(int32_t page);
    int32_t GetOsCode() const;
    int32_t GetLanguageIndex() const;
    void SetLanguageIndex(int32_t index);  // 0 and 1 only
    uint32_t GetInstalledVersion() const;
    int32_t GetIsAdmin() const;
    int32_t GetRemovalDone() const;
    int32_t GetViewerAvailable() const;
    int32_t GetModifyMode() const;
    void SetModifyMode(int32_t on);        // on also accepts the licence
    int32_t GetEulaAccepted() const;
    void SetEulaAccepted(int32_t accepted);
    int SetRestartRequested();             // 0 without an installer
    // Opens the licence text of the current language into target (UTF-8).
    int LoadCurrentLicence(GString& target);

    // Fields, in their documented order
    HINSTANCE hInstance;
    CInstall* install;
    CWndMain* mainWnd;
    CWndBase* currentPage;
    CDlgWelcome* welcomePage;
    CDlgEula* licencePage;
    CDlgSetup* setupPage;
    CDlgExpert1* expertPage1;
    CDlgExpert2* expertPage2;
    CDlgDone* donePage;
    GString text;
    HFONT titleFont;
    int32_t mainSized;
    int32_t headerHeight;

private:
    CWizard(const CWizard&) = delete;
    CWizard& operator=(const CWizard&) = delete;
};
