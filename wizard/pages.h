// The wizard's pages: one class per dialog template.
//
//   CDlgWelcome  template 200: greeting, language switch, installed mode
//   CDlgEula     template 201: licence agreement and its acceptance
//   CDlgSetup    template 202: setup options, install
//   CDlgDone     template 203: result, restart
//   CDlgExpert1  template 204: virtual-key overrides of single keys
//   CDlgExpert2  template 205: scan-code remaps (no control leads here)
//
// Pages keep no state of their own: they read and write the installer's
// state through the controller.
#pragma once

#include "ui/wnd_base.h"

class CDlgWelcome : public CWndBase {
public:
    int OnInitDialog() override;
    int OnCommand() override;
    void UpdateTexts();
};

class CDlgEula : public CWndBase {
public:
    int OnInitDialog() override;
    int OnCommand() override;
};

class CDlgSetup : public CWndBase {
public:
    int OnInitDialog() override;
    int OnCommand() override;
};

class CDlgDone : public CWndBase {
public:
    int OnInitDialog() override;
    int OnCommand() override;
};

class CDlgExpert1 : public CDlgInstallBase {
public:
    int OnInitDialog() override;
    int OnCommand() override;
    int OnPaint() override { return 1; }  // nothing to paint; handled
};

class CDlgExpert2 : public CWndBase {
public:
    int OnInitDialog() override;
    int OnCommand() override;
};
