// The tables of a Windows keyboard-layout library, as user32 and the kernel
// read them through KbdLayerDescriptor. Written from the public description
// of the format; every layout image of this folder is built on them.
#pragma once

#include <windows.h>

// Pointers inside the tables. A build for the 32-bit system folder of 64-bit
// Windows would widen them to 64 bits; ours keep the native size (see README).
#define KBD_PTR(type) type *

// Shift-state bits of aVkToBits and the column numbers they select.
#define KBDSHIFT      0x01
#define KBDCTRL       0x02
#define KBDALT        0x04
#define SHFT_INVALID  0x0F

// Flag bits beside a virtual key in the scan-code tables.
#define KBDEXT        0x0100
#define KBDMULTIVK    0x0200
#define KBDSPECIAL    0x0400
#define KBDNUMPAD     0x0800

// Row attributes of the character tables.
#define CAPLOK        0x01
#define SGCAPS        0x02
#define CAPLOKALTGR   0x04

// Special characters of the character tables.
#define WCH_NONE      0xF000
#define WCH_DEAD      0xF001
#define WCH_LGTR      0xF002

#define KLLF_ALTGR    0x0001
#define KBD_VERSION   1

typedef struct {
    BYTE Vk;
    BYTE ModBits;
} VK_TO_BIT;

typedef struct {
    KBD_PTR(const VK_TO_BIT) pVkToBit;
    WORD wMaxModBits;
    BYTE ModNumber[8];
} MODIFIERS;

// One row per virtual key; the tables differ only in the number of columns.
#define DEFINE_VK_TO_WCHARS(n) \
    typedef struct { BYTE VirtualKey; BYTE Attributes; WCHAR wch[n]; } VK_TO_WCHARS##n
DEFINE_VK_TO_WCHARS(1);
DEFINE_VK_TO_WCHARS(2);
DEFINE_VK_TO_WCHARS(3);
DEFINE_VK_TO_WCHARS(4);
DEFINE_VK_TO_WCHARS(5);
DEFINE_VK_TO_WCHARS(6);

typedef struct {
    KBD_PTR(const VK_TO_WCHARS1) pVkToWchars;
    BYTE nModifications;
    BYTE cbSize;
} VK_TO_WCHAR_TABLE;

typedef struct {
    DWORD dwBoth;          // MAKELONG(base character, diacritic)
    WCHAR wchComposed;
    USHORT uFlags;
} DEADKEY;

typedef struct {
    BYTE vsc;
    KBD_PTR(const WCHAR) pwsz;
} VSC_LPWSTR;

typedef struct {
    BYTE Vsc;
    USHORT Vk;
} VSC_VK;

typedef struct {
    KBD_PTR(const MODIFIERS) pCharModifiers;
    KBD_PTR(const VK_TO_WCHAR_TABLE) pVkToWcharTable;
    KBD_PTR(const DEADKEY) pDeadKey;
    KBD_PTR(const VSC_LPWSTR) pKeyNames;
    KBD_PTR(const VSC_LPWSTR) pKeyNamesExt;
    KBD_PTR(const WCHAR *const) pKeyNamesDead;
    KBD_PTR(const USHORT) pusVSCtoVK;
    BYTE bMaxVSCtoVK;
    KBD_PTR(const VSC_VK) pVSCtoVK_E0;
    KBD_PTR(const VSC_VK) pVSCtoVK_E1;
    DWORD fLocaleFlags;
    BYTE nLgMax;
    BYTE cbLgEntry;
    KBD_PTR(const void) pLigature;
    DWORD dwType;
    DWORD dwSubType;
} KBDTABLES;
