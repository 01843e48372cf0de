// The start-up steps of Run: who the user is, what the machine is, and
// whether the installer may go on; and the post-run value written after an
// install or a removal.
#include "core/install.h"

#include "services/registry.h"
#include "services/shell.h"

namespace {

const LANGID kPolishLanguage = 1045;

}  // namespace

CInstall::StartupResult CInstall::StartupSteps()
{
    LanguageIndex = GetUserDefaultLangID() == kPolishLanguage ? 1 : 0;
    ProbeOs();  // on failure OsCode stays 0 and the next test refuses the system
    if (!IsOsSupported()) {
        ShowMessage(TXT_MSG_UNSUPPORTED, MB_ICONWARNING);
        return STARTUP_STOP;
    }
    LayoutLanguage = OsCode >= 60 ? GetUserDefaultLangID() : DefaultLayoutLanguage;
    if (OsCode < 51)
        SetAsDefault = 0;
    if (!ActivateOtherInstance())
        return STARTUP_STOP;
    ComposePaths();
    ViewerAvailable = AssocExecutableContains(*this, TXT_DOC_EXTENSION, TXT_VIEWER_NAME_PART);
    IsAdmin = IsAdminMember();
    if (!IsAdmin) {
        ShowMessage(TXT_MSG_NEED_ADMIN, MB_OK);
        return STARTUP_FINISH_ONLY;
    }
    return STARTUP_CONTINUE;
}

void CInstall::WritePostRunValue()
{
    SetHklmTextValue(*this, TXT_POST_RUN_KEY, TXT_NOTE_BASE_NAME,
                     OsCode > 50 ? TXT_POST_RUN_DATA_NEW : TXT_POST_RUN_DATA_OLD);
}
