// Install paths and the option defaults that depend on texts and the
// user's locale.
#include "core/install.h"

#include <shellapi.h>
#include <shlobj.h>

int CInstall::SpecialFolderPath(int csidl, GString& target)
{
    target.ClearWide();
    WChar* tail = target.WideTail(MAX_PATH + 1);
    if (tail == nullptr)
        return 0;
    tail[0] = 0;
    if (!SHGetSpecialFolderPathW(OwnerWindow(), tail, csidl, FALSE)) {
        target.SetLength(0);
        return 0;
    }
    return target.SetLength(-1);
}

namespace {

// base \ name, then extension (which carries its own dot).
void JoinPath(GString& field, const GString& base, const GString& name, const GString& extension)
{
    field.Assign(base);
    field.AppendPath(name);
    field.Append(extension);
}

}  // namespace

int CInstall::ComposePaths()
{
    GString programFiles, programs, desktop;
    SpecialFolderPath(CSIDL_PROGRAM_FILES, programFiles);
    SpecialFolderPath(CSIDL_COMMON_PROGRAMS, programs);
    SpecialFolderPath(CSIDL_COMMON_DESKTOPDIRECTORY, desktop);

    // A missing text is empty text: the paths are still composed.
    GString noteName, pointerName, pointerTarget, sharedName, qualifier;
    GetText(TXT_NOTE_BASE_NAME, noteName);
    GetText(TXT_POINTER_BASE_NAME, pointerName);
    GetText(TXT_POINTER_TARGET_NAME, pointerTarget);
    GetText(TXT_SHARED_DOC_BASE_NAME, sharedName);
    GetText(TXT_SHARED_DOC_QUALIFIER, qualifier);
    const WChar open[] = {' ', '('};
    const WChar close[] = {')'};
    sharedName.ToWide(-1);
    sharedName.AppendWide(open, 2);
    sharedName.Append(qualifier);
    sharedName.AppendWide(close, 1);

    GString docName, docExt, linkExt, noteExt, pointerExt, uninstallFormat, displayName, vendor, product;
    GetText(TXT_DOC_BASE_NAME, docName);
    GetText(TXT_DOC_EXTENSION, docExt);
    GetText(TXT_LINK_EXTENSION, linkExt);
    GetText(TXT_NOTE_EXTENSION, noteExt);
    GetText(TXT_POINTER_EXTENSION, pointerExt);
    GetText(TXT_UNINSTALL_TITLE_FORMAT, uninstallFormat);
    GetText(TXT_LAYOUT_DISPLAY_NAME, displayName);
    GetText(TXT_VENDOR_FOLDER, vendor);
    GetText(TXT_PRODUCT_KEY_AND_FOLDER, product);

    InstallBaseDir.Assign(programFiles);
    InstallBaseDir.AppendPath(vendor);
    InstallDir.Assign(InstallBaseDir);
    InstallDir.AppendPath(product);
    GroupBaseDir.Assign(programs);
    GroupBaseDir.AppendPath(vendor);
    GroupDir.Assign(GroupBaseDir);
    GroupDir.AppendPath(product);

    GString none;
    none.ClearWide();
    JoinPath(SharedDocFile, InstallDir, sharedName, docExt);
    JoinPath(SharedDocGroupLink, GroupDir, sharedName, linkExt);
    JoinPath(SharedDocDesktopLink, desktop, sharedName, linkExt);
    JoinPath(DocFile, InstallDir, docName, docExt);
    JoinPath(DocGroupLink, GroupDir, docName, linkExt);
    JoinPath(DocDesktopLink, desktop, docName, linkExt);
    JoinPath(NoteFile, InstallDir, noteName, noteExt);
    JoinPath(NoteGroupLink, GroupDir, noteName, linkExt);
    JoinPath(NoteDesktopLink, desktop, noteName, linkExt);
    JoinPath(PointerGroupFile, GroupDir, pointerName, pointerExt);
    JoinPath(PointerDesktopFile, desktop, pointerName, pointerExt);
    JoinPath(PointerTarget, InstallDir, pointerTarget, none);

    int argc = 0;
    WChar** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr || argc < 1) {
        if (argv != nullptr)
            LocalFree(argv);
        return 0;
    }
    SelfPath.AssignWide(argv[0], -1);
    LocalFree(argv);

    GString fileName;
    fileName.Assign(SelfPath);
    int lastSeparator = fileName.FindLastChar('\\', 0);
    if (lastSeparator >= 0)
        fileName.CutFront(lastSeparator + 1);
    SetupCopy.Assign(InstallDir);
    SetupCopy.AppendPath(fileName);

    UninstallTitle.Format(uninstallFormat.WideAt(0), displayName.WideAt(0));
    JoinPath(UninstallLink, GroupDir, UninstallTitle, linkExt);
    return 1;
}

int CInstall::DefaultLayoutVariant()
{
    if (LayoutVariant >= 0)
        return LayoutVariant;
    GString needle;
    GetText(TXT_VARIANT_DEFAULT_MARK, needle);
    LayoutVariant = 0;
    // The first variant whose name carries the mark; an empty mark is found
    // nowhere.
    const TextId names[] = {TXT_VARIANT_0, TXT_VARIANT_1, TXT_VARIANT_2};
    for (int variant = 0; variant < 3; variant++) {
        if (GetText(names[variant], ScratchText) && !needle.IsEmpty() && ScratchText.Find(needle, 0) >= 0) {
            LayoutVariant = variant;
            break;
        }
    }
    return LayoutVariant;
}

int CInstall::DefaultKeypadDecimal()
{
    if (KeypadDecimal >= 0)
        return KeypadDecimal;
    int cch = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, nullptr, 0);
    if (cch == 0)
        return -1;
    GString separator;
    separator.ClearWide();
    WChar* tail = separator.WideTail(cch + 1);
    if (tail == nullptr || GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, tail, cch) == 0)
        return -1;
    separator.SetLength(-1);
    const WChar comma[] = {','};
    KeypadDecimal = separator.CompareWide(comma, 1) == 0 ? 0 : 1;  // exactly one comma
    return KeypadDecimal;
}
