// Loads every layout image of this architecture that sits beside the
// verifier, walks every table through KbdLayerDescriptor and compares it
// with the layout source; then tailors each image as the installer does
// (patterns from the given patterns file) and reads the patches back
// through the library's own tables.
//
//   verify_layouts.exe PATTERNS_FILE
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include "layout/kbd_tables.h"
#include "layout/tests/expect.h"

// The table header as the system reads it: pointer-sized fields in order.
#define PTR sizeof(void *)
_Static_assert(offsetof(KBDTABLES, pusVSCtoVK) == 6 * PTR, "scan-code table");
_Static_assert(offsetof(KBDTABLES, bMaxVSCtoVK) == 7 * PTR, "scan-code count");
_Static_assert(offsetof(KBDTABLES, pVSCtoVK_E0) == 8 * PTR, "E0 table");
_Static_assert(offsetof(KBDTABLES, fLocaleFlags) == 10 * PTR, "locale flags");
_Static_assert(offsetof(KBDTABLES, pLigature) == ((10 * PTR + 6 + PTR - 1) & ~(PTR - 1)), "ligatures");
_Static_assert(sizeof(VSC_VK) == 4 && sizeof(DEADKEY) == 8, "record sizes");

typedef const KBDTABLES *(WINAPI *LayerDescriptorFn)(void);

static int failures;
static const wchar_t *current;

#define CHECK(cond, ...)                                            \
    do {                                                            \
        if (!(cond)) {                                              \
            ++failures;                                             \
            printf("%ls: ", current);                               \
            printf(__VA_ARGS__);                                    \
            printf("\n");                                           \
        }                                                           \
    } while (0)

// ---- walking the tables ---------------------------------------------------

static void CheckModifiers(const MODIFIERS *mods)
{
    static const VK_TO_BIT bits[] = { { 0x10, KBDSHIFT }, { 0x11, KBDCTRL }, { 0x12, KBDALT }, { 0, 0 } };
    static const BYTE numbers[8] = { 0, 1, 2, SHFT_INVALID, SHFT_INVALID, SHFT_INVALID, 3, 4 };
    for (int i = 0; i < 4; ++i)
        CHECK(mods->pVkToBit[i].Vk == bits[i].Vk && mods->pVkToBit[i].ModBits == bits[i].ModBits,
              "modifier %d is %02x/%02x", i, mods->pVkToBit[i].Vk, mods->pVkToBit[i].ModBits);
    CHECK(mods->wMaxModBits == 7, "wMaxModBits %u", mods->wMaxModBits);
    CHECK(memcmp(mods->ModNumber, numbers, sizeof numbers) == 0, "modification numbers differ");
}

static void CheckScanCodes(const KBDTABLES *kt, const unsigned short *scan)
{
    CHECK(kt->bMaxVSCtoVK == 0x7F, "bMaxVSCtoVK %u", kt->bMaxVSCtoVK);
    for (int sc = 0; sc < 0x7F; ++sc)
        CHECK(kt->pusVSCtoVK[sc] == scan[sc], "scan %02x: vk %04x, expected %04x",
              sc, kt->pusVSCtoVK[sc], scan[sc]);
}

static void CheckPrefixed(const char *name, const VSC_VK *run, const ExpectVscVk *want)
{
    int i = 0;
    for (; want[i].scan; ++i)
        CHECK(run[i].Vsc == want[i].scan && run[i].Vk == want[i].vk,
              "%s record %d is %02x/%04x, expected %02x/%04x",
              name, i, run[i].Vsc, run[i].Vk, want[i].scan, want[i].vk);
    CHECK(run[i].Vsc == 0 && run[i].Vk == 0, "%s table does not end after %d records", name, i);
}

static const ExpectRow *FindRow(const ExpectRow *rows, BYTE vk)
{
    for (; rows->vk; ++rows)
        if (rows->vk == vk)
            return rows;
    return NULL;
}

static void CheckRow(const VK_TO_WCHARS1 *row, const VK_TO_WCHARS1 *next, int n, const ExpectRow *want)
{
    CHECK(row->Attributes == want->attr, "vk %02x: attributes %02x", row->VirtualKey, row->Attributes);
    CHECK(n == want->ncols, "vk %02x: in the %d-column table, expected %d", row->VirtualKey, n, want->ncols);
    for (int c = 0; c < n && c < want->ncols; ++c) {
        if (want->deadmask & (1 << c)) {
            CHECK(row->wch[c] == WCH_DEAD, "vk %02x column %d: %04x is not dead", row->VirtualKey, c, row->wch[c]);
            CHECK(next->VirtualKey == 0xFF && next->wch[c] == want->ch[c],
                  "vk %02x column %d: diacritic %04x, expected %04x", row->VirtualKey, c, next->wch[c], want->ch[c]);
        } else {
            CHECK(row->wch[c] == want->ch[c], "vk %02x column %d: %04x, expected %04x",
                  row->VirtualKey, c, row->wch[c], want->ch[c]);
        }
    }
}

static void CheckCharacters(const KBDTABLES *kt, const ExpectRow *rows)
{
    int seen[256] = { 0 };
    int lastWidth = 0;
    for (const VK_TO_WCHAR_TABLE *t = kt->pVkToWcharTable; t->pVkToWchars; ++t) {
        int n = t->nModifications;
        CHECK(t->cbSize == 2 + 2 * n, "%d-column table: cbSize %u", n, t->cbSize);
        const BYTE *p = (const BYTE *)t->pVkToWchars;
        for (; ((const VK_TO_WCHARS1 *)p)->VirtualKey; p += t->cbSize) {
            const VK_TO_WCHARS1 *row = (const VK_TO_WCHARS1 *)p;
            const VK_TO_WCHARS1 *next = (const VK_TO_WCHARS1 *)(p + t->cbSize);
            const ExpectRow *want = FindRow(rows, row->VirtualKey);
            CHECK(want != NULL, "vk %02x is not in the source", row->VirtualKey);
            CHECK(!seen[row->VirtualKey], "vk %02x appears twice", row->VirtualKey);
            seen[row->VirtualKey] = 1;
            if (!want)
                continue;
            CheckRow(row, next, n, want);
            if (want->deadmask)
                p += t->cbSize;  // the diacritic row belongs to the dead key
        }
        lastWidth = n;
    }
    // The keypad digits come last, after the digits of the main keys.
    CHECK(lastWidth == 1, "the last character table has %d columns", lastWidth);
    for (const ExpectRow *r = rows; r->vk; ++r)
        CHECK(seen[r->vk], "vk %02x is missing", r->vk);
}

static void CheckDeadKeys(const DEADKEY *dk, const ExpectDead *want)
{
    int i = 0;
    for (; want[i].diacritic; ++i)
        CHECK(dk[i].dwBoth == (DWORD)MAKELONG(want[i].base, want[i].diacritic) &&
              dk[i].wchComposed == want[i].composed && dk[i].uFlags == 0,
              "dead key %d: %08lx -> %04x", i, (unsigned long)dk[i].dwBoth, dk[i].wchComposed);
    CHECK(dk[i].dwBoth == 0, "dead-key table does not end after %d entries", i);
}

static void CheckNames(const char *what, const VSC_LPWSTR *names, const ExpectName *want)
{
    int i = 0;
    for (; want[i].name; ++i)
        CHECK(names[i].vsc == want[i].key && names[i].pwsz && wcscmp(names[i].pwsz, want[i].name) == 0,
              "%s %d: %02x \"%ls\"", what, i, names[i].vsc, names[i].pwsz ? names[i].pwsz : L"(null)");
    CHECK(names[i].vsc == 0 && names[i].pwsz == NULL, "%s do not end after %d", what, i);
}

static void CheckDeadNames(const WCHAR *const *names, const ExpectName *want)
{
    int i = 0;
    for (; want[i].name; ++i)
        CHECK(names[i] && wcscmp(names[i], want[i].name) == 0, "dead-key name %d", i);
    CHECK(names[i] == NULL, "dead-key names do not end after %d", i);
}

static void CheckImage(const KBDTABLES *kt, const ExpectImage *e)
{
    CheckModifiers(kt->pCharModifiers);
    CheckScanCodes(kt, e->scan);
    CheckPrefixed("E0", kt->pVSCtoVK_E0, e->e0);
    CheckPrefixed("E1", kt->pVSCtoVK_E1, e->e1);
    CheckCharacters(kt, e->rows);
    CheckDeadKeys(kt->pDeadKey, e->dead);
    CheckNames("key names", kt->pKeyNames, e->names);
    CheckNames("extended key names", kt->pKeyNamesExt, e->names_ext);
    CheckDeadNames(kt->pKeyNamesDead, e->names_dead);
    CHECK(kt->fLocaleFlags == (DWORD)MAKELONG(KLLF_ALTGR, KBD_VERSION), "locale flags %08lx",
          (unsigned long)kt->fLocaleFlags);
    CHECK(kt->nLgMax == 0 && kt->pLigature == NULL, "unexpected ligatures");
    CHECK(kt->dwType == 4 && kt->dwSubType == 0, "type %lu/%lu",
          (unsigned long)kt->dwType, (unsigned long)kt->dwSubType);
}

// Loads a library, checks its name resource and hands its tables to check.
static int WithTables(const wchar_t *path, const ExpectImage *e,
                      void (*check)(const KBDTABLES *, const ExpectImage *))
{
    HMODULE lib = LoadLibraryW(path);
    CHECK(lib != NULL, "cannot load (error %lu)", GetLastError());
    if (!lib)
        return 0;
    LayerDescriptorFn descriptor = (LayerDescriptorFn)(void (*)(void))GetProcAddress(lib, "KbdLayerDescriptor");
    CHECK(descriptor != NULL, "no KbdLayerDescriptor export");
    if (descriptor)
        check(descriptor(), e);
    wchar_t name[64] = L"";
    LoadStringW(lib, 1000, name, 64);
    CHECK(wcscmp(name, L"Kreska Polish") == 0, "string 1000 is \"%ls\"", name);
    FreeLibrary(lib);
    return 1;
}

// ---- tailoring as the installer does it -----------------------------------

typedef struct { unsigned char *bytes; size_t cb; } Bytes;

static Bytes ReadAll(const wchar_t *path)
{
    Bytes b = { NULL, 0 };
    FILE *f = _wfopen(path, L"rb");
    if (!f)
        return b;
    fseek(f, 0, SEEK_END);
    long cb = ftell(f);
    fseek(f, 0, SEEK_SET);
    b.bytes = malloc(cb > 0 ? (size_t)cb : 1);
    if (b.bytes && fread(b.bytes, 1, (size_t)cb, f) == (size_t)cb)
        b.cb = (size_t)cb;
    fclose(f);
    return b;
}

// Pattern texts by number, decoded from the build's patterns file.
static Bytes patterns[152];

static int LoadPatterns(const wchar_t *path)
{
    FILE *f = _wfopen(path, L"r");
    if (!f)
        return 0;
    char line[1024];
    while (fgets(line, sizeof line, f)) {
        int id;
        char hex[1000];
        if (sscanf(line, "%d\t%999s", &id, hex) != 2 || id < 146 || id > 151)
            continue;
        size_t cch = strlen(hex);
        patterns[id].bytes = malloc(cch / 2 + 1);
        patterns[id].cb = cch / 2;
        for (size_t i = 0; i < cch / 2; ++i) {
            unsigned v;
            sscanf(hex + 2 * i, "%2X", &v);
            patterns[id].bytes[i] = (unsigned char)v;
        }
    }
    fclose(f);
    for (int id = 146; id <= 151; ++id)
        if (!patterns[id].cb)
            return 0;
    return 1;
}

// Offset of the only occurrence of pattern id; -1 when absent or repeated.
static long FindOnly(const Bytes *data, int id)
{
    const Bytes *p = &patterns[id];
    long found = -1;
    for (size_t i = 0; i + p->cb <= data->cb; ++i)
        if (memcmp(data->bytes + i, p->bytes, p->cb) == 0) {
            if (found >= 0)
                return -1;
            found = (long)i;
        }
    return found;
}

static void PutU16(unsigned char *at, unsigned short v) { at[0] = (unsigned char)v; at[1] = (unsigned char)(v >> 8); }

// Overrides the first record of a run for scan code sc, as the installer does.
static void PatchRun(Bytes *data, long q, unsigned char sc, unsigned short vk)
{
    for (long r = q; r + 4 <= (long)data->cb && data->bytes[r]; r += 4)
        if (data->bytes[r] == sc) {
            PutU16(data->bytes + r + 2, vk);
            return;
        }
}

enum {
    kCapsVk = 0x00A2,     // Caps Lock becomes Left Ctrl
    kLastVk = 0x0099,     // the last scan code, 0x7E, at P + 0xFC
    kWinVk = 0x015D,      // E0 5B (Left Windows) becomes Application
    kPauseVk = 0x0091,    // E1 1D (Pause) becomes Scroll Lock
};

static const VSC_VK *FindRecord(const VSC_VK *run, BYTE sc)
{
    for (; run->Vsc; ++run)
        if (run->Vsc == sc)
            return run;
    return NULL;
}

static void CheckTailored(const KBDTABLES *kt, const ExpectImage *e)
{
    for (int sc = 0; sc < 0x7F; ++sc) {
        unsigned short want = sc == 0x3A ? kCapsVk : sc == 0x7E ? kLastVk : e->scan[sc];
        CHECK(kt->pusVSCtoVK[sc] == want, "tailored scan %02x: %04x, expected %04x", sc, kt->pusVSCtoVK[sc], want);
    }
    const VSC_VK *win = FindRecord(kt->pVSCtoVK_E0, 0x5B);
    CHECK(win && win->Vk == kWinVk, "tailored E0 5B: %04x", win ? win->Vk : 0);
    const VSC_VK *pause = FindRecord(kt->pVSCtoVK_E1, 0x1D);
    CHECK(pause && pause->Vk == kPauseVk, "tailored E1 1D: %04x", pause ? pause->Vk : 0);
    for (int i = 0; e->e0[i].scan; ++i)
        if (e->e0[i].scan != 0x5B)
            CHECK(kt->pVSCtoVK_E0[i].Vk == e->e0[i].vk, "E0 %02x changed", e->e0[i].scan);
    int decimals = 0;
    for (const VK_TO_WCHAR_TABLE *t = kt->pVkToWcharTable; t->pVkToWchars; ++t)
        for (const BYTE *p = (const BYTE *)t->pVkToWchars; *p; p += t->cbSize) {
            const VK_TO_WCHARS1 *row = (const VK_TO_WCHARS1 *)p;
            if (row->VirtualKey == 0x6E) {
                ++decimals;
                CHECK(t->nModifications == 2 && row->wch[0] == L',' && ((const WCHAR *)row->wch)[1] == L',',
                      "tailored keypad decimal: %04x %04x", row->wch[0], ((const WCHAR *)row->wch)[1]);
            }
        }
    CHECK(decimals == 1, "keypad decimal key found %d times", decimals);
}

static void Tailor(const wchar_t *dir, const ExpectImage *e, int index)
{
    wchar_t path[MAX_PATH], out[MAX_PATH], temp[MAX_PATH];
    swprintf(path, MAX_PATH, L"%ls\\%ls", dir, e->file);
    GetTempPathW(MAX_PATH, temp);
    swprintf(out, MAX_PATH, L"%lskbdtailor%d.dll", temp, index);
    Bytes data = ReadAll(path);
    CHECK(data.cb > 0, "cannot read");
    long p = FindOnly(&data, 147 + e->variant);
    long q = FindOnly(&data, 150);
    long q1 = FindOnly(&data, 151);
    long d = FindOnly(&data, 146);
    CHECK(p >= 0 && q >= 0 && q1 >= 0 && d >= 0, "patterns: P %ld, E0 %ld, E1 %ld, D %ld", p, q, q1, d);
    if (p >= 0 && q >= 0 && q1 >= 0 && d >= 0 && p + 0xFE <= (long)data.cb && d + 4 <= (long)data.cb) {
        PutU16(data.bytes + p + 2 * 0x3A, kCapsVk);
        PutU16(data.bytes + p + 2 * 0x7E, kLastVk);
        PatchRun(&data, q, 0x5B, kWinVk);
        PatchRun(&data, q, 0x7A, 0x0041);  // not in the E0 run: nothing changes
        PatchRun(&data, q1, 0x1D, kPauseVk);
        data.bytes[d] = 0x2C;
        data.bytes[d + 2] = 0x2C;
        FILE *f = _wfopen(out, L"wb");
        CHECK(f && fwrite(data.bytes, 1, data.cb, f) == data.cb, "cannot write the tailored copy");
        if (f)
            fclose(f);
        WithTables(out, e, CheckTailored);
        DeleteFileW(out);
    }
    free(data.bytes);
}

int wmain(int argc, wchar_t **argv)
{
    if (argc != 2 || !LoadPatterns(argv[1])) {
        printf("usage: verify_layouts PATTERNS_FILE (with texts 146-151)\n");
        return 2;
    }
    wchar_t dir[MAX_PATH];
    DWORD cch = GetModuleFileNameW(NULL, dir, MAX_PATH);
    while (cch > 0 && dir[cch - 1] != L'\\')
        --cch;
    dir[cch ? cch - 1 : 0] = 0;
    for (int i = 0; i < kExpectImageCount; ++i) {
        const ExpectImage *e = &kExpectImages[i];
        wchar_t path[MAX_PATH];
        swprintf(path, MAX_PATH, L"%ls\\%ls", dir, e->file);
        current = e->file;
        int before = failures;
        WithTables(path, e, CheckImage);
        Tailor(dir, e, i);
        printf("%-20ls %s\n", e->file, failures == before ? "ok" : "FAILED");
    }
    printf("%d image(s), %d failure(s)\n", kExpectImageCount, failures);
    return failures ? 1 : 0;
}
