// The welcome page: greeting, the interface-language switch, and in installed
// mode the remove, modify and open-the-guide buttons instead of Next.
#include "ui/messages.h"
#include "wizard/pages.h"
#include "wizard/resource.h"
#include "wizard/wizard.h"

// The version code this installer records.
const uint32_t kThisVersion = 190;

const CaptionEntry kWelcomeCaptions[] = {
    {IDC_LANGUAGE_LABEL, TXT_LANGUAGE_LABEL},
    {IDC_REMOVE,         TXT_BUTTON_UNINSTALL},
    {IDC_CANCEL,         TXT_BUTTON_CANCEL},
    {IDC_NEXT,           TXT_BUTTON_NEXT},
    {IDC_OPEN_DOC,       TXT_BUTTON_OPEN_DOC},
    {IDC_MODIFY,         TXT_BUTTON_MODIFY},
    {0,                  0},
};

// Item data = LanguageIndex.
enum { LANGUAGE_OPTION_COUNT = 2 };
const OptionEntry kLanguageOptions[] = {
    {TXT_LANGUAGE_ITEM_0, 0},
    {TXT_LANGUAGE_ITEM_1, 1},
    {0,                   0},
};
static_assert(TableRows(kLanguageOptions) == LANGUAGE_OPTION_COUNT + 1, "one item per interface language");

// Shown in installed mode only.
const IdList kInstalledControls[] = {IDC_REMOVE, IDC_OPEN_DOC, IDC_MODIFY, 0};
// Installed-mode buttons whose actions (removal, opening the guide) the
// installer does not offer yet: shown, but kept disabled.
const IdList kUnavailableControls[] = {IDC_REMOVE, IDC_OPEN_DOC, 0};

static int IsInstalled(CWizard* owner)
{
    return owner->GetInstalledVersion() == kThisVersion;
}

int CDlgWelcome::OnInitDialog()
{
    SetPage(PAGE_WELCOME);
    FitPage();
    const int installed = IsInstalled(owner);
    UpdateTexts();
    EnableControls(kInstalledControls, installed);
    ShowControls(kInstalledControls, installed);
    EnableControls(kUnavailableControls, 0);
    EnableControl(IDC_NEXT, !installed);
    ShowControl(IDC_NEXT, !installed);
    SetForegroundWindow(hwnd);
    return 1;
}

void CDlgWelcome::UpdateTexts()
{
    const int installed = IsInstalled(owner);
    GString name, heading;
    LoadText(TXT_LAYOUT_DISPLAY_NAME, name);
    LoadText(installed ? TXT_WELCOME_HEADING_INSTALLED : TXT_WELCOME_HEADING_NEW, heading);
    SetFocus(GetDlgItem(hwnd, installed ? IDC_OPEN_DOC : IDC_NEXT));
    if (text.Format(heading.WideAt(0), name.WideAt(0)))
        SetControlText(IDC_WELCOME_HEADING, text.WideAt(0));
    SetCaption(IDC_WELCOME_BODY, installed ? TXT_WELCOME_BODY_INSTALLED : TXT_WELCOME_BODY_NEW);
    SetCaptions(kWelcomeCaptions);
    FillComboById(IDC_UI_LANGUAGE, kLanguageOptions, owner->GetLanguageIndex());
}

int CDlgWelcome::OnCommand()
{
    if (ctrlId == IDC_UI_LANGUAGE && notifyCode == CBN_SELENDOK) {
        owner->SetLanguageIndex(GetComboData(IDC_UI_LANGUAGE));
        UpdateTexts();
    }
    if (notifyCode != BN_CLICKED)
        return 0;
    const int installed = IsInstalled(owner);
    switch (ctrlId) {
    case IDC_NEXT:
        if (!installed)
            PostToMain(UM_NEXT);
        return 1;
    case IDC_OPEN_DOC:
        // Esc arrives here too. Opening the guide is for installed mode;
        // the installer does not offer it yet, so nothing happens.
        return 1;
    case IDC_CANCEL:
        PostToMain(UM_CANCEL);
        return 1;
    case IDC_REMOVE:
        return 1;  // removal is not offered yet; the button stays disabled
    case IDC_MODIFY:
        if (installed) {
            owner->SetModifyMode(1);
            SetPage(PAGE_SETUP);
            PostToMain(UM_SETUP);
        }
        return 0;
    default:
        return 0;
    }
}
