// The setup options page. This stage of the installer shows the page with its
// captions and navigation; the options and the install button are not wired
// yet, so the install button stays disabled.
#include "ui/messages.h"
#include "wizard/pages.h"
#include "wizard/resource.h"
#include "wizard/wizard.h"

const CaptionEntry kSetupCaptions[] = {
    {IDC_CANCEL,         TXT_BUTTON_CANCEL},
    {IDC_BACK,           TXT_BUTTON_BACK},
    {IDC_INSTALL,        TXT_BUTTON_INSTALL},
    {IDC_SHORTCUTS,      TXT_SETUP_DESKTOP_SHORTCUTS},
    {IDC_USER_TOGGLE,    TXT_SETUP_TOGGLE_KEYS_OFF},
    {IDC_ALT_SET,        TXT_SETUP_ALT_LAYOUT_SET},
    {IDC_VARIANT_LABEL,  TXT_SETUP_VARIANT_LABEL},
    {IDC_KEYPAD_LABEL,   TXT_SETUP_KEYPAD_DECIMAL_LABEL},
    {IDC_SETUP_NOTE,     TXT_SETUP_RESTART_NOTE},
    {IDC_EXPERT1,        TXT_BUTTON_EXPERT_1},
    {IDC_EXPERT2,        TXT_BUTTON_EXPERT_2},
    {0,                  0},
};

// The second expert page has no way in.
const IdList kSetupHidden[] = {IDC_EXPERT2, 0};

int CDlgSetup::OnInitDialog()
{
    if (!owner->HasInstall())
        return 0;
    SetPage(PAGE_SETUP);
    FitPage();
    EnableControls(kSetupHidden, 0);
    ShowControls(kSetupHidden, 0);
    SetCaptions(kSetupCaptions);
    GString format, name;
    if (LoadText(TXT_SETUP_LANGUAGE_LABEL_FORMAT, format) && LoadText(TXT_LAYOUT_DISPLAY_NAME, name) &&
        text.Format(format.WideAt(0), name.WideAt(0)))
        SetControlText(IDC_INPUT_LANGUAGE_LABEL, text.WideAt(0));
    EnableControl(IDC_INSTALL, 0);  // installing is not offered yet
    SetFocus(GetDlgItem(hwnd, IDC_BACK));
    SetForegroundWindow(hwnd);
    return 0;
}

int CDlgSetup::OnCommand()
{
    if (notifyCode != BN_CLICKED)
        return 0;
    switch (ctrlId) {
    case IDC_NEXT:    PostToMain(UM_NEXT); return 1;  // no next page: GoNext does nothing
    case IDC_CANCEL:  PostToMain(UM_CANCEL); return 1;
    case IDC_BACK:    PostToMain(UM_BACK); return 1;
    case IDC_EXPERT1: PostToMain(UM_EXPERT1); return 1;
    case IDC_EXPERT2: PostToMain(UM_EXPERT2); return 1;
    default:          return 0;
    }
}
