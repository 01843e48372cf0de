// The completion page: what happened, and the restart button.
#include "ui/messages.h"
#include "wizard/pages.h"
#include "wizard/resource.h"
#include "wizard/wizard.h"

// Windows Vista: from here on the layout is added to the input languages.
const int32_t kOsVista = 60;

const CaptionEntry kDoneCaptions[] = {
    {IDC_RESTART, TXT_BUTTON_RESTART},
    {0,           0},
};

int CDlgDone::OnInitDialog()
{
    if (!owner->HasInstall())
        return 0;
    SetPage(PAGE_FINISHED);
    FitPage();
    SetCaptions(kDoneCaptions);
    GString heading, message;
    if (owner->GetRemovalDone()) {
        LoadText(TXT_DONE_REMOVED, message);
    } else {
        LoadText(TXT_WELCOME_BODY_INSTALLED, heading);
        if (owner->GetOsCode() >= kOsVista) {
            LoadText(TXT_DONE_INSTALLED_VISTA, message);
        } else {
            // Before Vista the user adds the layout after the restart.
            GString format, name;
            LoadText(TXT_DONE_ADD_LAYOUT_FORMAT, format);
            LoadText(TXT_LAYOUT_DISPLAY_NAME, name);
            message.Format(format.WideAt(0), name.WideAt(0));
        }
        if (!owner->GetViewerAvailable() && LoadText(TXT_DONE_NO_VIEWER_NOTE)) {
            message.AppendWide(WSTR("\n\n"), 2);
            message.Append(text);
        }
    }
    SetControlText(IDC_DONE_HEADING, heading.WideAt(0));
    SetControlText(IDC_DONE_MESSAGE, message.WideAt(0));
    SetFocus(GetDlgItem(hwnd, IDC_RESTART));
    SetForegroundWindow(hwnd);
    return 1;
}

int CDlgDone::OnCommand()
{
    if (notifyCode != BN_CLICKED || ctrlId != IDC_RESTART)
        return 0;
    SetPage(PAGE_FINISHED);
    PostToMain(UM_FINISH);
    return 1;
}
