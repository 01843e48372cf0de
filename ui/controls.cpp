// Control helpers: the pages handle their dialog controls by id, driven by
// the constant tables of control_tables.h.
#include "ui/wnd_base.h"
#include "wizard/wizard.h"

// Text storage reserved per list item when a list is filled.
const int kComboBytesPerItem = 100;

int CWndBase::EnableControl(int id, int enable)
{
    HWND control = GetDlgItem(hwnd, id);
    if (control == nullptr)
        return 0;
    EnableWindow(control, enable != 0);
    return 1;
}

int CWndBase::EnableControls(const IdList* ids, int enable)
{
    if (ids == nullptr)
        return 0;
    for (; *ids != 0; ids++)
        EnableControl(*ids, enable);  // ids the template lacks are skipped
    return 1;
}

int CWndBase::ShowControl(int id, int show)
{
    HWND control = GetDlgItem(hwnd, id);
    if (control == nullptr)
        return 0;
    ShowWindow(control, show ? SW_SHOW : SW_HIDE);
    return 1;
}

int CWndBase::ShowControls(const IdList* ids, int show)
{
    if (ids == nullptr)
        return 0;
    for (; *ids != 0; ids++)
        ShowControl(*ids, show);
    return 1;
}

int CWndBase::SetCaption(int id, TextId textId)
{
    if (GetDlgItem(hwnd, id) == nullptr || !LoadText(textId))
        return 0;
    SetDlgItemTextW(hwnd, id, text.WideAt(0));
    return 1;
}

int CWndBase::SetControlText(int id, const WChar* wide)
{
    if (wide == nullptr || GetDlgItem(hwnd, id) == nullptr)
        return 0;
    SetDlgItemTextW(hwnd, id, wide);
    return 1;
}

void CWndBase::SetCaptions(const CaptionEntry* table)
{
    if (table == nullptr)
        return;
    for (; table->ctrlId != 0; table++) {
        if (GetDlgItem(hwnd, table->ctrlId) != nullptr && LoadText(table->textId))
            SetDlgItemTextW(hwnd, table->ctrlId, text.WideAt(0));
    }
}

int CWndBase::IsChecked(int id)
{
    HWND control = GetDlgItem(hwnd, id);
    if (control == nullptr)
        return 0;
    return SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

int CWndBase::SetCheck(int id, int on)
{
    HWND control = GetDlgItem(hwnd, id);
    if (control == nullptr)
        return 0;
    SendMessageW(control, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
    return 1;
}

// Item data of the selection; 0 (no change) when nothing is selected.
int32_t CWndBase::GetComboData(int id)
{
    HWND list = GetDlgItem(hwnd, id);
    if (list == nullptr)
        return 0;
    const LRESULT index = SendMessageW(list, CB_GETCURSEL, 0, 0);
    if (index < 0)
        return 0;
    return (int32_t)SendMessageW(list, CB_GETITEMDATA, index, 0);
}

LRESULT CWndBase::SelectComboItem(HWND list, int index)
{
    return SendMessageW(list, CB_SETCURSEL, index, 0);
}

// Fills a list from an option table and selects the entry whose data is
// `select` (the last such entry; none when no entry carries it).
int CWndBase::FillCombo(HWND list, const OptionEntry* table, int32_t select)
{
    if (list == nullptr || table == nullptr)
        return 0;
    int count = 0;
    while (table[count].textId != 0)
        count++;
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    SendMessageW(list, CB_INITSTORAGE, count, count * kComboBytesPerItem);
    for (const OptionEntry* entry = table; entry->textId != 0; entry++) {
        if (!LoadText(entry->textId))
            return 0;
        const LRESULT index = SendMessageW(list, CB_ADDSTRING, 0, (LPARAM)text.WideAt(0));
        if (index < 0)
            return 0;
        SendMessageW(list, CB_SETITEMDATA, index, entry->data);
        if (entry->data == select)
            SelectComboItem(list, (int)index);
    }
    return 1;
}

int CWndBase::FillComboById(int id, const OptionEntry* table, int32_t select)
{
    HWND list = GetDlgItem(hwnd, id);
    return list != nullptr ? FillCombo(list, table, select) : 0;
}

int32_t CWndBase::LookupValue(int32_t key, const PairEntry* table)
{
    const PairEntry* pair = FindPair(key, table);
    return pair != nullptr ? pair->value : 0;
}

const PairEntry* CWndBase::FindPair(int32_t key, const PairEntry* table)
{
    if (table == nullptr || key == 0)
        return nullptr;
    for (; table->key != 0; table++) {
        if (table->key == key)
            return table;
    }
    return nullptr;
}

BOOL CWndBase::PostToMain(UINT message)
{
    if (owner == nullptr)
        return 0;
    return PostMessageW(owner->GetMainHwnd(), message, 0, 0);
}
