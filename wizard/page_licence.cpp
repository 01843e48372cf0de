// The licence page: the agreement in the interface language; Next only once
// the acceptance box is ticked.
#include "ui/messages.h"
#include "wizard/pages.h"
#include "wizard/resource.h"
#include "wizard/wizard.h"

const CaptionEntry kLicenceCaptions[] = {
    {IDC_LICENCE_HEADING, TXT_LICENCE_HEADING},
    {IDC_ACCEPT,          TXT_LICENCE_ACCEPT},
    {IDC_CANCEL,          TXT_BUTTON_CANCEL},
    {IDC_BACK,            TXT_BUTTON_BACK},
    {IDC_NEXT,            TXT_BUTTON_NEXT},
    {0,                   0},
};

int CDlgEula::OnInitDialog()
{
    if (!owner->HasInstall())
        return 0;
    SetPage(PAGE_LICENCE);
    FitPage();
    const int accepted = owner->GetEulaAccepted() != 0;
    SetCheck(IDC_ACCEPT, accepted);
    EnableControl(IDC_NEXT, accepted);
    SetCaptions(kLicenceCaptions);
    GString licence;
    if (owner->LoadCurrentLicence(licence))
        SetControlText(IDC_LICENCE_TEXT, licence.ToWide(0));
    SetFocus(GetDlgItem(hwnd, IDC_ACCEPT));
    SetForegroundWindow(hwnd);
    return 1;
}

int CDlgEula::OnCommand()
{
    if (notifyCode == BN_CLICKED) {
        switch (ctrlId) {
        case IDC_NEXT:
            PostToMain(UM_NEXT);
            return 1;
        case IDC_CANCEL:
            PostToMain(UM_CANCEL);
            return 1;
        case IDC_BACK:
            PostToMain(UM_BACK);
            return 1;
        case IDC_ACCEPT: {
            const int accepted = IsChecked(IDC_ACCEPT);
            EnableControl(IDC_NEXT, accepted);
            owner->SetEulaAccepted(accepted);
            return 1;
        }
        default:
            return 0;
        }
    }
    if (notifyCode == EN_SETFOCUS) {
        // The edit control selects all its text when it gets the focus.
        if (ctrlId == IDC_LICENCE_TEXT)
            SendMessageW(ctrlHwnd, EM_SETSEL, (WPARAM)-1, -1);
        return 1;
    }
    return 0;
}
