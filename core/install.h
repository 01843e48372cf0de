// CInstallBase, CInstall: the installer object, alive for the whole process.
//
// The entry point constructs one CInstall on its stack and calls Init, Run and
// Finish. Every subsystem reads and writes the state kept here: the machine's
// classification, the user's choices, the composed paths, what an earlier
// installation recorded, and what is to happen after the wizard closes.
#pragma once

#include <stdint.h>
#include <windows.h>

#include "engine/key_table.h"
#include "payload/guard.h"
#include "payload/text_table.h"
#include "text/gstring.h"

class CWizard;

class CInstallBase {
public:
    CInstallBase();
    virtual ~CInstallBase();

    // Overridables, in slot order
    virtual HWND OwnerWindow();
    virtual int Init(HINSTANCE instance);
    virtual void ReleaseTables();
    virtual const TextRecord* FindText(TextId id);

    // Fetches text id into target as wide text; 0 when no table has it.
    int GetText(TextId id, GString& target);

    HINSTANCE Instance;
    CGuard Guard;
    TextTable CommonTexts;
    TextTable LanguageTexts[2];
    int32_t CurrentPage;
    int32_t OsCode;
    int32_t LanguageIndex;
    int32_t Is64BitOs;
    uint16_t ProcessorArch;
    uint16_t SuiteMask;
    uint16_t ProductType;
    GString ScratchText;
};

class CInstall : public CInstallBase {
public:
    CInstall();
    ~CInstall() override;

    // Overridables
    HWND OwnerWindow() override;
    int Init(HINSTANCE instance) override;
    void ReleaseTables() override;
    const TextRecord* FindText(TextId id) override;

    // Init steps 2 and 3: loads the key material into Guard and unpacks the
    // common, extra, language-0 and language-1 texts into their tables.
    int LoadTexts();

    // Stages
    int Run();
    void Finish();

    // After the wizard
    void WritePostRunValue();
    int RestartSystem();

    // Accessors for the user interface
    int SetLanguageIndex(int index);
    int SetLayoutVariant(int variant);
    int SetKeypadDecimal(int keypadDecimal);
    int GetAltLayoutSet() const { return AltLayoutSet; }
    void SetAltLayoutSet(int value) { AltLayoutSet = value; }
    void SetModifyMode(int value);
    int DefaultLayoutVariant();
    int DefaultKeypadDecimal();

    // Environment probe (core/probe.cpp)
    int ProbeOs();                 // 0 when no version information is available
    int IsOsSupported() const;
    int IsAdminMember();
    int ActivateOtherInstance();   // 0 when another instance was found and activated
    int ShowMessage(TextId id, UINT flags);

    // Install paths (core/paths.cpp)
    int SpecialFolderPath(int csidl, GString& target);
    int ComposePaths();            // 0 when the command line has no argument

    // Run's steps between the start and the installed-state detection
    // (core/startup.cpp): interface language, probe, layout language, single
    // instance, paths, association check, administrator check.
    enum StartupResult {
        STARTUP_STOP,         // end without Finish (unsupported system, other instance)
        STARTUP_FINISH_ONLY,  // not an administrator: Finish, but no wizard
        STARTUP_CONTINUE,     // go on to the detection and the wizard
    };
    StartupResult StartupSteps();

    // Init: DefaultLayoutLanguage from its text (hexadecimal; 0 when it
    // does not parse, only the low 16 bits kept).
    void ReadDefaultLayoutLanguage();

    uint16_t DefaultLayoutLanguage;
    uint16_t LayoutLanguage;
    int32_t SetAsDefault;
    int32_t ViewerAvailable;
    int32_t IsAdmin;
    int32_t RemovalDone;
    int32_t InstallDone;
    int32_t RestartRequested;
    int32_t EulaAccepted;
    int32_t UserToggleOption;
    int32_t DesktopShortcuts;
    int32_t NoteDesktopLinkMade;
    int32_t SharedDocDesktopLinkMade;
    int32_t DocDesktopLinkMade;
    int32_t LayoutVariant;
    int32_t KeypadDecimal;
    int32_t AltLayoutSetKept;
    int32_t AltLayoutSet;
    int32_t ModifyMode;
    int32_t ScancodeMapPresent;
    KeyEntry* KeyTable;
    int32_t KeyTableCount;
    TextTable ExtraTexts;
    CWizard* Wizard;

    GString LanguageName;
    GString SavedUserLayout;
    GString InstallBaseDir;
    GString InstallDir;
    GString GroupBaseDir;
    GString GroupDir;
    GString PrevSharedDocFile;
    GString SharedDocFile;
    GString PrevSharedDocGroupLink;
    GString SharedDocGroupLink;
    GString PrevSharedDocDesktopLink;
    GString SharedDocDesktopLink;
    GString PrevDocFile;
    GString DocFile;
    GString PrevDocGroupLink;
    GString DocGroupLink;
    GString PrevDocDesktopLink;
    GString DocDesktopLink;
    GString PrevNoteFile;
    GString NoteFile;
    GString PrevNoteGroupLink;
    GString NoteGroupLink;
    GString PrevNoteDesktopLink;
    GString NoteDesktopLink;
    GString PrevPointerGroupFile;
    GString PointerGroupFile;
    GString PrevPointerDesktopFile;
    GString PointerDesktopFile;
    GString PrevPointerTarget;
    GString PointerTarget;
    GString SelfPath;
    GString UninstallTitle;
    GString PrevSetupCopy;
    GString SetupCopy;
    GString PrevUninstallLink;
    GString UninstallLink;

    uint32_t DocVersion;
    uint32_t SharedDocVersion;
    uint32_t SharedDocRefCount;
    uint32_t InstalledVersion;
    uint32_t InstallCount;
};
