// The installer's texts: opening the key and the four text tables, and
// fetching a text by TextId with the language fallback.
#include "core/install.h"

#include "payload/payload.h"

// The table of the UI language first, then the language-independent one.
const TextRecord* CInstallBase::FindText(TextId id)
{
    const TextTable* language = (uint32_t)LanguageIndex < 2 ? &LanguageTexts[LanguageIndex] : nullptr;
    const TextTable* order[] = {language, &CommonTexts};
    return LookupInOrder(order, 2, id);
}

// The small extra table is consulted last.
const TextRecord* CInstall::FindText(TextId id)
{
    const TextRecord* record = CInstallBase::FindText(id);
    return record != nullptr ? record : ExtraTexts.Lookup(id);
}

int CInstallBase::GetText(TextId id, GString& target)
{
    target.Clear();
    const TextRecord* record = FindText(id);
    if (record == nullptr || !target.AssignRecord(record))
        return 0;
    // A narrow record holding invalid UTF-8 stays narrow; callers see an
    // empty wide view of it.
    target.ToWide(-1);
    return 1;
}

int CInstall::LoadTexts()
{
    const PayloadBlob key = PayloadItemBlob(ITEM_KEY_BLOCK);
    if (!Guard.Load(key.Data, key.Size))
        return 0;

    struct TableItem {
        int Item;
        TextTable* Table;
    };
    const TableItem tables[] = {
        {ITEM_COMMON_TEXTS,    &CommonTexts},
        {ITEM_EXTRA_TEXTS,     &ExtraTexts},
        {ITEM_LANGUAGE0_TEXTS, &LanguageTexts[0]},
        {ITEM_LANGUAGE1_TEXTS, &LanguageTexts[1]},
    };
    for (const TableItem& t : tables) {
        const PayloadBlob blob = PayloadItemBlob(t.Item);
        if (!UnpackTextTable(Guard, blob.Data, blob.Size, *t.Table))
            return 0;
    }
    return 1;
}
