// The expert pages. This stage shows the first one with its captions and its
// way back; the key rows are not filled yet and stay disabled.
#include "ui/messages.h"
#include "wizard/pages.h"
#include "wizard/resource.h"
#include "wizard/wizard.h"

const CaptionEntry kExpertCaptions[] = {
    {IDC_CANCEL,  TXT_BUTTON_CANCEL},
    {IDC_BACK,    TXT_BUTTON_BACK},
    {IDC_EXPERT1, TXT_BUTTON_EXPERT_1},
    {0,           0},
};

// Rows 15 to 20 and the way to the second page.
const IdList kExpertHidden[] = {
    1315, 1316, 1317, 1318, 1319, 1320,
    1415, 1416, 1417, 1418, 1419, 1420,
    IDC_EXPERT2, 0,
};

int CDlgExpert1::OnInitDialog()
{
    if (!owner->HasInstall())
        return 0;
    SetPage(PAGE_EXPERT);
    FitPage();
    EnableControls(kExpertHidden, 0);
    ShowControls(kExpertHidden, 0);
    SetCaptions(kExpertCaptions);
    SetFocus(GetDlgItem(hwnd, IDC_BACK));
    SetForegroundWindow(hwnd);
    return 0;
}

int CDlgExpert1::OnCommand()
{
    if (notifyCode != BN_CLICKED)
        return 0;
    switch (ctrlId) {
    case IDC_NEXT:   PostToMain(UM_NEXT); return 1;
    case IDC_CANCEL: PostToMain(UM_CANCEL); return 1;
    case IDC_BACK:   PostToMain(UM_SETUP); return 1;
    default:         return 0;
    }
}

// No control leads to the second page.
int CDlgExpert2::OnInitDialog()
{
    if (!owner->HasInstall())
        return 0;
    SetPage(PAGE_EXPERT);
    FitPage();
    SetCaptions(kExpertCaptions);
    return 1;
}

int CDlgExpert2::OnCommand()
{
    if (notifyCode != BN_CLICKED)
        return 0;
    switch (ctrlId) {
    case IDC_CANCEL: PostToMain(UM_CANCEL); return 1;
    case IDC_BACK:   PostToMain(UM_SETUP); return 1;
    default:         return 0;
    }
}
