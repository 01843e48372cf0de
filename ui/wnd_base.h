// The window framework: one object per window or dialog.
//
//   CWndBase         fields, virtual handlers, creation, binding, helpers
//   CWndMain         the frame: header band, wizard messages, closing
//   CDlgInstallBase  base of the first expert page
//   WindowProc       the frame class's window procedure
//   DialogProc       the dialog procedure of every page
//
// Both procedures find the object in the window's user data and call its
// virtual handlers. Every handler returns non-zero when it handled the
// message; a handler that wants a particular message result writes `result`.
#pragma once

#include <stdint.h>
#include <windows.h>

#include "payload/text_id.h"
#include "text/gstring.h"
#include "ui/control_tables.h"

class CWizard;

LRESULT CALLBACK WindowProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK DialogProc(HWND h, UINT message, WPARAM wParam, LPARAM lParam);

class CWndBase {
public:
    CWndBase();
    virtual ~CWndBase();

    // Overridables, in slot order
    virtual int OnMessage();
    virtual int OnCommand();
    virtual int OnNcDestroy();
    virtual int OnCreate();
    virtual int OnPaint();
    virtual int OnDestroy();
    virtual int OnClose();
    virtual int OnInitDialog();
    virtual int Close();

    // Creation and binding
    int Create(TextId titleTextId, DWORD style, int width, int height);
    int RegisterWindowClass();
    int ShowDialog(int templateId, HWND parent);
    int Attach(HWND h);
    void Detach();
    BOOL DestroyWnd();
    LRESULT DispatchWindowMessage();
    INT_PTR DispatchDialogMessage();

    // Texts, messages, page number (through the owner)
    int LoadText(TextId id);
    int LoadText(TextId id, GString& target);
    int ShowMessageText(const WChar* message, UINT flags);
    int ShowMessage(TextId id, UINT flags);
    int32_t GetPage();
    void SetPage(int32_t page);

    // Layout and painting of the frame and its pages
    int MeasureTextHeight();
    int FitPage();
    void PaintHeader(HDC dc);

    // Control helpers, all on this window's controls by id
    int EnableControl(int id, int enable);
    int EnableControls(const IdList* ids, int enable);
    int ShowControl(int id, int show);
    int ShowControls(const IdList* ids, int show);
    int SetCaption(int id, TextId textId);
    int SetControlText(int id, const WChar* wide);
    void SetCaptions(const CaptionEntry* table);
    int IsChecked(int id);
    int SetCheck(int id, int on);
    int32_t GetComboData(int id);
    LRESULT SelectComboItem(HWND list, int index);
    int FillCombo(HWND list, const OptionEntry* table, int32_t select);
    int FillComboById(int id, const OptionEntry* table, int32_t select);
    static int32_t LookupValue(int32_t key, const PairEntry* table);
    static const PairEntry* FindPair(int32_t key, const PairEntry* table);
    BOOL PostToMain(UINT message);

    // Fields, in their documented order
    HWND hwnd;
    int32_t isDialog;
    uint16_t classAtom;
    CWizard* owner;
    GString text;
    int32_t result;
    uint16_t notifyCode;
    uint16_t ctrlId;
    HWND ctrlHwnd;
    uint32_t nmCode;
    NMHDR* nmhdr;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    int32_t textHeight;

private:
    CWndBase(const CWndBase&) = delete;
    CWndBase& operator=(const CWndBase&) = delete;
    void ClearMessageState();
};

class CWndMain : public CWndBase {
public:
    int OnMessage() override;
    int OnCreate() override;
    int OnPaint() override;
    int OnDestroy() override;
    int OnClose() override;

    // Overridables of the frame, slots 10 to 16
    virtual int OnFinish();
    virtual int ShowDonePage();
    virtual int GoBack();
    virtual int GoNext();
    virtual int ShowSetupPage();
    virtual int ShowExpertPage1();
    virtual int ShowExpertPage2();
};

class CDlgInstallBase : public CWndBase {
};
