// Shell services: shell links and the executable associated with a file type.
// COM must be initialised on the calling thread (the entry point does it).
#pragma once

#include <windows.h>

#include "payload/text_id.h"
#include "text/gstring.h"

class CInstallBase;

// Saves a shell link to target at linkPath. icon may be null (the link then
// shows the target's own icon). 1 once the link object could be made and
// asked to save; the save itself is not checked.
int CreateShortcut(const WChar* target, const WChar* linkPath, const WChar* description, const WChar* icon,
                   int iconIndex);
// The executable that opens the file type of text association.
int QueryAssocExecutable(CInstallBase& app, TextId association, GString& out);
// Runs command format with the associated executable and argument.
int LaunchAssociated(CInstallBase& app, TextId association, TextId format, const WChar* argument);
// Whether the associated executable's path, upper-cased, contains text needle.
int AssocExecutableContains(CInstallBase& app, TextId association, TextId needle);
